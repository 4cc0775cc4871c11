#pragma once
// The audit log of one data folder, audit.jsonl: appended to, never rewritten.
// Each append takes an advisory lock (flock) so that the window and several
// command-line runs keep one linear chain, writes its line with a single
// write on an O_APPEND descriptor and syncs it, so that a crash loses at most
// the event being written.
#include "core/AuditEvent.h"

#include <filesystem>
#include <memory>
#include <string>

class AuditLog {
public:
    static constexpr char kFileName[] = "audit.jsonl";

    // program: "veltran" or "veltran-cli", recorded with the version in every event.
    AuditLog(std::filesystem::path file, std::string program);

    const std::filesystem::path& file() const { return file_; }

    // Opens the log for appending (a new one gets its first line): false with the
    // reason when events could not be recorded. Run it before starting work.
    bool check();
    // Records one event; the time, user, host, program and version left empty are
    // filled in. False with the reason in lastError().
    bool append(AuditEvent event);
    const std::string& lastError() const { return error_; }

private:
    bool fail(const std::string& what, int error);
    AuditEvent stamped(AuditEvent event) const;
    // Opens and locks the log, then appends `event` (none: only the first line of a new log).
    bool write(const AuditEvent* event);
    // Writes `event` behind the last line of the locked log fd (the first line when empty).
    bool appendLocked(int fd, const AuditEvent* event);

    std::filesystem::path file_;
    std::string program_;
    std::string user_, host_;
    std::string error_;
};

// The process's log: the window and the command-line tool set it once at start.
// Without one (tests, tools), events are not recorded.
void setAuditLog(std::unique_ptr<AuditLog> log);
AuditLog* auditLog();

// One line per event. True when recorded or when no log is set; false when the
// log could not be written (the reason in auditLog()->lastError()).
bool recordAudit(const AuditEvent& event);
