#include "core/AuditTrail.h"

#include "core/Sha256.h"

#include <QDateTime>
#include <QString>
#include <fstream>

namespace {

// Why line `number` breaks the chain, or "" when it follows `prevText`.
std::string chainFault(std::int64_t number, const AuditLine& line, const std::string& prevText) {
    const bool first = number == 1;
    if (first != (line.event.operation == audit::kCreate))
        return first ? "the first line does not record the log's creation"
                     : "a second creation line";
    const std::string expected = first ? audit::kNoPrevious : sha256Hex(prevText);
    if (line.prev != expected)
        return "does not follow line " + std::to_string(number - 1) +
               " (a line was edited, removed or moved)";
    return {};
}

bool sameName(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

bool nameMatches(const std::string& name, const std::string& wanted) {
    if (name.empty())
        return false;
    const std::size_t cut = name.find_last_of("/\\");
    return sameName(name, wanted) ||
           (cut != std::string::npos && sameName(name.substr(cut + 1), wanted));
}

} // namespace

bool scanAuditLog(const std::filesystem::path& file, AuditVerdict& verdict, std::string& error,
                  const AuditVisitor& visit, bool* missing) {
    verdict = AuditVerdict{};
    std::error_code ec;
    const bool exists = std::filesystem::exists(file, ec);
    if (missing)
        *missing = !exists;
    if (!exists || !std::filesystem::is_regular_file(file, ec)) {
        error = file.string() + ": " + (exists ? "is not a regular file" : "no audit log");
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = file.string() + ": cannot be read";
        return false;
    }
    std::string text, prevText;
    std::int64_t number = 0;
    AuditLine line;
    std::string reason;
    while (std::getline(in, text)) {
        ++number;
        const bool ended = !in.eof();
        const bool parsed = parseAuditLine(text, line, reason);
        if (verdict.intact()) {
            if (parsed)
                reason = chainFault(number, line, prevText);
            if (parsed && reason.empty() && !ended)
                reason = "the last line is cut short";
            if (!reason.empty()) {
                verdict.brokenLine = number;
                verdict.reason = reason;
                verdict.brokenText = text;
                if (!visit)
                    break;
            }
        }
        if (visit)
            visit(number, text, parsed ? &line : nullptr);
        prevText.swap(text);
    }
    if (in.bad()) {
        error = file.string() + ": cannot be read";
        return false;
    }
    if (number == 0) {
        verdict.brokenLine = 1;
        verdict.reason = "the log is empty: its first line is missing";
    }
    verdict.events = number > 0 ? number - 1 : 0;
    return true;
}

bool auditMatches(const AuditEvent& event, const AuditFilter& filter) {
    if (!filter.from.empty() && event.time < filter.from)
        return false;
    if (!filter.until.empty() && event.time >= filter.until)
        return false;
    if (!filter.operation.empty() && event.operation != filter.operation)
        return false;
    if (!filter.result.empty() && event.result != filter.result)
        return false;
    return filter.file.empty() || nameMatches(event.source, filter.file) ||
           nameMatches(event.target, filter.file);
}

std::string auditTimeOf(std::string_view dateText) {
    const QString text = QString::fromUtf8(dateText.data(), qsizetype(dateText.size()));
    QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!time.isValid()) {
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (!date.isValid())
            return {};
        time = QDateTime(date, QTime(0, 0), Qt::UTC);
    }
    if (time.timeSpec() == Qt::LocalTime)
        time.setTimeSpec(Qt::UTC); // no zone given: the log's own
    return time.toUTC().toString(Qt::ISODateWithMs).toStdString();
}
