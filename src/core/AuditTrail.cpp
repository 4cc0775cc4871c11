#include "core/AuditTrail.h"

#include "core/Sha256.h"

#include <QDateTime>
#include <QString>
#include <fstream>

namespace {

// A line's own hash checked: "" when it is right, else why not.
std::string ownHashFault(std::string_view text) {
    AuditLine line;
    std::string reason;
    return parseAuditLine(text, line, reason) ? std::string() : reason;
}

void markBroken(AuditVerdict& verdict, std::int64_t number, std::string reason,
                std::string_view text) {
    verdict.brokenLine = number;
    verdict.reason = std::move(reason);
    verdict.brokenText = text;
}

// Whether line `number` follows `prevText`, the line before it; a previous line that was
// itself edited is the first broken one.
void checkChain(AuditVerdict& verdict, std::int64_t number, const AuditLine& line,
                std::string_view text, const std::string& prevText, bool ended) {
    const bool first = number == 1;
    if (first != (line.event.operation == audit::kCreate))
        return markBroken(verdict, number,
                          first ? "the first line does not record the log's creation"
                                : "a second creation line",
                          text);
    if (line.prev != (first ? audit::kNoPrevious : sha256Hex(prevText))) {
        if (std::string fault = first ? "" : ownHashFault(prevText); !fault.empty())
            return markBroken(verdict, number - 1, fault, prevText);
        return markBroken(verdict, number,
                          "does not follow line " + std::to_string(number - 1) +
                              " (a line was edited, removed or moved)",
                          text);
    }
    if (!ended)
        markBroken(verdict, number, "the last line is cut short", text);
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
        // Each line's own hash is left to the chain: the next line's "prev" covers its bytes.
        const bool parsed = parseAuditLine(text, line, reason, false);
        if (verdict.intact()) {
            if (parsed)
                checkChain(verdict, number, line, text, prevText, !in.eof());
            else
                markBroken(verdict, number, reason, text);
            if (!verdict.intact() && !visit)
                break;
        }
        if (visit)
            visit(number, text, parsed ? &line : nullptr);
        prevText.swap(text);
    }
    if (verdict.intact() && number > 0) // nothing follows the last line
        if (std::string fault = ownHashFault(prevText); !fault.empty())
            markBroken(verdict, number, fault, prevText);
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
