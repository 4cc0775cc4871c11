#pragma once
// veltran-cli audit: the data folder's audit log checked or shown.
#include <iosfwd>
#include <string>

struct AuditOptions {
    enum class Action { Verify, Show };
    Action action = Action::Verify;
    std::string log;   // verify or show FILE; empty: audit.jsonl of the data folder
    std::string since; // show --since DATE (auditTimeOf)
    std::string file;  // show --file NAME
    bool json = false; // show --json: the log's own lines (JSON Lines)
};

// audit verify: prints "FILE: N events, chain intact", exit 0; or the first broken
// line, exit 1 (also for a missing log); 2 when the log cannot be read.
// Lines a crash cut short, recorded by the next writer, are named and do not fail it.
// audit show: one line per event for people, or JSON Lines; exit 0, 2 for a bad DATE,
// 1 for a FILE that does not exist (a data folder without a log has no events: 0).
int cmdAudit(const AuditOptions& options, std::ostream& out, std::ostream& err);
