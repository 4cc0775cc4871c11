#pragma once
// The audit window's table without widgets: the log read back, its columns, the
// rows a filter leaves and their CSV export.
#include "core/AuditTrail.h"

#include <filesystem>
#include <string>
#include <vector>

struct AuditTable {
    std::vector<AuditEvent> events; // every line that parses, in the log's order
    AuditVerdict verdict;
    std::string error; // the log could not be read
    bool missing = false;
};

AuditTable loadAuditTable(const std::filesystem::path& file);

constexpr int kAuditColumns = 15;
// The language text of a column's title.
int auditColumnTitle(int column);
std::string auditCell(const AuditEvent& event, int column);

// The indices of the events that pass the filter.
std::vector<std::size_t> filterAuditTable(const AuditTable& table, const AuditFilter& filter);

// UTF-8 CSV: the column titles, then one row per event.
std::string auditCsv(const AuditTable& table, const std::vector<std::size_t>& rows);
