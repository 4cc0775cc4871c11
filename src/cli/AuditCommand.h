#pragma once
// veltran-cli audit: the data folder's audit log checked or shown.
#include <iosfwd>
#include <string>

struct AuditOptions {
    enum class Action { Verify, Show };
    Action action = Action::Verify;
    std::string log;   // verify FILE; empty: audit.jsonl of the data folder
    std::string since; // show --since DATE (auditTimeOf)
    std::string file;  // show --file NAME
    bool json = false; // show --json: the log's own lines (JSON Lines)
};

// audit verify: prints "FILE: N events, chain intact", exit 0; or the first broken
// line, exit 1 (also for a missing log); 2 when the log cannot be read.
// audit show: one line per event for people, or JSON Lines; exit 0, 2 for a bad DATE.
int cmdAudit(const AuditOptions& options, std::ostream& out, std::ostream& err);
