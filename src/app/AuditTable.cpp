#include "app/AuditTable.h"

#include "core/Encoding.h"
#include "core/Language.h"
#include "documents/CsvCell.h"

#include <QString>

namespace {

constexpr int kFirstTitle = 83;
constexpr char kSeparator[] = ",";

} // namespace

AuditTable loadAuditTable(const std::filesystem::path& file) {
    AuditTable table;
    scanAuditLog(
        file, table.verdict, table.error,
        [&](std::int64_t number, std::string_view, const AuditLine* line) {
            // The first line records the log's creation: no event.
            if (line && !(number == 1 && line->event.operation == audit::kCreate))
                table.events.push_back(line->event);
        },
        &table.missing);
    return table;
}

int auditColumnTitle(int column) {
    return kFirstTitle + column;
}

std::string auditCell(const AuditEvent& e, int column) {
    switch (column) {
    case 0:
        return e.time;
    case 1:
        return e.operation;
    case 2:
        return e.result;
    case 3:
        return e.source;
    case 4:
        return e.target;
    case 5:
        return e.size < 0 ? std::string() : std::to_string(e.size);
    case 6:
        return e.sha256;
    case 7:
        return e.reason;
    case 8:
        return e.user;
    case 9:
        return e.host;
    case 10:
        return e.program + " " + e.version;
    case 11:
        return e.port;
    case 12:
        return e.titrator;
    case 13:
        return e.serial;
    case 14:
        return e.firmware;
    default:
        return {};
    }
}

std::vector<std::size_t> filterAuditTable(const AuditTable& table, const AuditFilter& filter) {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < table.events.size(); ++i)
        if (auditMatches(table.events[i], filter))
            rows.push_back(i);
    return rows;
}

std::string auditCsv(const AuditTable& table, const std::vector<std::size_t>& rows) {
    std::string out;
    csv::appendRow(
        out, kAuditColumns, [](int c) { return toQt(langText(auditColumnTitle(c))).toStdString(); },
        kSeparator);
    for (std::size_t row : rows)
        csv::appendRow(
            out, kAuditColumns, [&](int c) { return auditCell(table.events[row], c); }, kSeparator);
    return out;
}
