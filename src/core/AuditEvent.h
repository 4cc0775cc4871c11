#pragma once
// One event of the audit trail and its line in audit.jsonl: a JSON object that
// carries the SHA-256 of the previous line ("prev") and of its own content
// ("hash"), so that editing, removing or reordering lines breaks the chain.
#include <cstdint>
#include <string>
#include <string_view>

namespace audit {
// Operations.
inline constexpr char kCreate[] = "create"; // the log's first line
inline constexpr char kConnect[] = "connect";
inline constexpr char kIdentify[] = "identify";
inline constexpr char kDisconnect[] = "disconnect";
inline constexpr char kLinkLost[] = "link-lost";
inline constexpr char kPut[] = "put";
inline constexpr char kGet[] = "get";
inline constexpr char kMove[] = "move";
inline constexpr char kDelete[] = "delete";
inline constexpr char kExport[] = "export";
inline constexpr char kPrint[] = "print";
inline constexpr char kUpgrade[] = "upgrade";
inline constexpr char kConfig[] = "config";
// Results.
inline constexpr char kOk[] = "ok";
inline constexpr char kFailed[] = "failed";
inline constexpr char kAborted[] = "aborted";
inline constexpr char kRefused[] = "refused";
// "prev" of the first line.
inline constexpr char kNoPrevious[] =
    "0000000000000000000000000000000000000000000000000000000000000000";
} // namespace audit

// Every text is UTF-8: names from the titrator are converted before they get here.
struct AuditEvent {
    // Filled in by AuditLog::append when left empty.
    std::string time;    // UTC, ISO 8601 with milliseconds: 2024-05-01T12:34:56.789Z
    std::string user;    // the operating-system user
    std::string host;    // the host name
    std::string program; // "veltran" or "veltran-cli"
    std::string version;
    // What the caller knows.
    std::string port;     // "COM1 /dev/ttyS0"
    std::string titrator; // the model
    std::string serial;   // the serial number, where "info" gives it
    std::string firmware;
    std::string operation;
    std::string source;     // the file name on the side it came from
    std::string target;     // the file name on the side it went to
    std::int64_t size = -1; // bytes; -1: none or unknown
    std::string sha256;     // of the bytes that went over the link or were written
    std::string result = audit::kOk;
    std::string reason;
};

// A line read back.
struct AuditLine {
    AuditEvent event;
    std::string prev; // SHA-256 of the previous line as written
    std::string hash; // SHA-256 of this line's content
};

// The line of `event` chained to `prevSha`, without its line end.
std::string auditLineText(const AuditEvent& event, const std::string& prevSha);

// One line: JSON, every field of its type and (checkOwnHash) its own hash right. False
// with a reason. A checker of the whole log needs the own hash only of the last line
// and of a line the next one does not follow: every other edit breaks the chain.
bool parseAuditLine(std::string_view text, AuditLine& line, std::string& reason,
                    bool checkOwnHash = true);

// A configuration value set: "[Section] Key=value" before (source) and after (target).
AuditEvent configChangeEvent(const std::string& section, const std::string& key,
                             const std::string& before, const std::string& after, bool written);
