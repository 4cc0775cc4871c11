#include "cli/AuditCommand.h"

#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "core/AppPaths.h"
#include "core/AuditLog.h"
#include "core/AuditTrail.h"

#include <ostream>

namespace fs = std::filesystem;

namespace {

const char* const kUsage = "usage: veltran-cli audit verify [FILE]\n"
                           "       veltran-cli audit show [--since DATE] [--file NAME] [--json]\n";

// A log line or field on a terminal: control characters (an edited line may hold
// any) shown as "?", and no screenful from one line.
std::string printable(std::string_view text, std::size_t limit = 400) {
    std::string out;
    for (char c : text.substr(0, limit))
        out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
    return text.size() > limit ? out + "..." : out;
}

fs::path logFile(const AuditOptions& options, std::ostream& err) {
    return options.log.empty() ? cliAppPaths(err).dataDir / AuditLog::kFileName
                               : fs::path(options.log);
}

int verify(const AuditOptions& options, std::ostream& out, std::ostream& err) {
    const fs::path file = logFile(options, err);
    AuditVerdict verdict;
    std::string error;
    bool missing = false;
    if (!scanAuditLog(file, verdict, error, {}, &missing)) {
        err << error << "\n";
        return missing ? cliexit::kFailed : cliexit::kUsage;
    }
    if (!verdict.intact()) {
        out << file.string() << ": line " << verdict.brokenLine << ": " << verdict.reason << "\n"
            << printable(verdict.brokenText) << "\n";
        return cliexit::kFailed;
    }
    out << file.string() << ": " << verdict.events << " events, chain intact\n";
    return cliexit::kOk;
}

// One event on one line: when, what, the files, who, and the link.
std::string eventLine(const AuditEvent& e) {
    std::string s = e.time + "  " + e.operation + "  " + e.result;
    if (!e.reason.empty())
        s += " (" + e.reason + ")";
    if (!e.source.empty() || !e.target.empty())
        s += "  " + e.source + " -> " + e.target;
    if (e.size >= 0)
        s += "  " + std::to_string(e.size) + " bytes";
    if (!e.sha256.empty())
        s += "  sha256 " + e.sha256;
    s += "  by " + e.user + "@" + e.host + " with " + e.program + " " + e.version;
    if (!e.port.empty())
        s += "  port " + e.port;
    for (auto [label, value] :
         {std::pair{"titrator", &e.titrator}, {"serial", &e.serial}, {"firmware", &e.firmware}})
        if (!value->empty())
            s += std::string("  ") + label + " " + *value;
    return printable(s, std::string::npos);
}

int show(const AuditOptions& options, std::ostream& out, std::ostream& err) {
    AuditFilter filter;
    filter.file = options.file;
    if (!options.since.empty() && (filter.from = auditTimeOf(options.since)).empty()) {
        err << "--since: \"" << options.since << "\" is not a date\n";
        return cliexit::kUsage;
    }
    const fs::path file = logFile(options, err);
    AuditVerdict verdict;
    std::string error;
    bool missing = false;
    std::int64_t unreadable = 0;
    const bool read = scanAuditLog(
        file, verdict, error,
        [&](std::int64_t, std::string_view text, const AuditLine* line) {
            if (!line)
                ++unreadable;
            else if (auditMatches(line->event, filter))
                out << (options.json ? std::string(text) : eventLine(line->event)) << "\n";
        },
        &missing);
    if (!read) {
        err << error << "\n";
        return missing ? cliexit::kOk : cliexit::kUsage; // no log yet: no events
    }
    if (unreadable > 0)
        err << "warning: " << unreadable << " lines are not events and were left out\n";
    if (!verdict.intact())
        err << "warning: line " << verdict.brokenLine << " breaks the chain: " << verdict.reason
            << " (see audit verify)\n";
    return cliexit::kOk;
}

} // namespace

int cmdAudit(const AuditOptions& options, std::ostream& out, std::ostream& err) {
    return options.action == AuditOptions::Action::Verify ? verify(options, out, err)
                                                          : show(options, out, err);
}
