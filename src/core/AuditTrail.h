#pragma once
// Reading the audit log back: its chain checked line by line, and the events a
// reader asks for.
#include "core/AuditEvent.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

struct AuditVerdict {
    bool intact() const { return brokenLine == 0; }
    std::int64_t events = 0;     // the lines after the first, which records the creation
    std::int64_t brokenLine = 0; // the first line that breaks the chain, from 1
    std::string reason;
    std::string brokenText; // that line as it is in the file
};

// Every line as it is in the file (without its line end) and, when it parses, its event
// (an edited line too: the verdict names it).
using AuditVisitor =
    std::function<void(std::int64_t number, std::string_view text, const AuditLine* line)>;

// Reads the log through, checking each line's JSON and hash and the chain. Without a
// visitor it stops at the first break. False with `error` when the file cannot be read;
// `missing` tells a log that does not exist.
bool scanAuditLog(const std::filesystem::path& file, AuditVerdict& verdict, std::string& error,
                  const AuditVisitor& visit = {}, bool* missing = nullptr);

struct AuditFilter {
    std::string from;      // UTC time text (auditTimeOf): events at or after it
    std::string until;     // events before it
    std::string file;      // a name on either side, whole or its last part, any case
    std::string operation; // empty: any
    std::string result;    // empty: any
};

bool auditMatches(const AuditEvent& event, const AuditFilter& filter);

// An ISO 8601 date or date and time ("2024-05-01", "2024-05-01T10:00",
// "2024-05-01T10:00:00+02:00"; without a zone it is UTC) as the UTC time text
// that events are compared with; "" when it is none.
std::string auditTimeOf(std::string_view dateText);
