#pragma once
// The audit log of one data folder, audit.jsonl: appended to, never rewritten.
// Each append takes an advisory lock (flock) so that the window and several
// command-line runs keep one linear chain, writes its line with a single
// write on an O_APPEND descriptor and syncs it, so that a crash loses at most
// the event being written.
#include "core/AuditEvent.h"

#include <filesystem>
#include <functional>
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
    // Called once when an append found the last line torn (a crash inside a write):
    // the line stays as found, ended, and a "torn-line" event follows it.
    std::function<void()> onTornLine;

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

// The port and titrator the link identified (empty: none), for the events of files
// that go over the link. The link's audit sets and clears them.
void setAuditLink(const AuditEvent& facts);
// Fills in the link's facts, for an event of the titrator.
void fillAuditLink(AuditEvent& e);

struct TransferRecord;
// One file of a copy, move, delete or export, from the file service's or the
// export's record, with the link's facts when the titrator took part.
bool recordTransfer(const TransferRecord& r);

// Language texts that tell the user the log could not be written, each with its reason.
inline constexpr int kTextAuditUnwritable = 109; // status bar
inline constexpr int kTextAuditStopped = 111;    // an operation stopped after its last file
inline constexpr int kTextAuditRefused = 112;    // an operation or change not started
inline constexpr int kTextAuditTorn = 113;       // a torn last line was found and recorded
// Text n filled with the log's file or its last error (8-bit, as the table holds it).
std::string auditText(int n);

// Whether the process's log can be written now (true without a log; else the reason in
// auditLog()->lastError()). Run before any file operation or settings change.
bool auditWritable();

// One line per event. True when recorded or when no log is set; false when the
// log could not be written (the reason in auditLog()->lastError()).
bool recordAudit(const AuditEvent& event);
