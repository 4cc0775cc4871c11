#pragma once
// The device link for command-line use: settings from the data folder, the
// port from --port/--com/--speed, and a window stand-in that remembers the
// status text and writes messages to stderr.
#include "core/Host.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

class CliInterrupt;
class DeviceSession;
class FileTally;
class Host;
class LinkMonitor;
class Serial;
struct AppPaths;
struct Settings;

// A message or language text for a terminal: UTF-8, its carriage returns as line breaks.
std::string cliText(const std::string& bytes);

// Messages go to stderr; yes/no questions go to the policy (default: no).
class CliHost : public Host {
public:
    using YesNo = std::function<bool(const std::string& text, const std::string& title)>;
    explicit CliHost(std::ostream& err) : err_(err) {}
    void message(const std::string& text, const std::string& title, Icon) override;
    bool askYesNo(const std::string& text, const std::string& title) override;
    YesNo yesNo;

protected:
    std::ostream& err_;
};

// The data folder, config.ini and the language table, loaded as the application
// does at start. False when no language is configured (the reason went to `host`).
bool loadCliSettings(AppPaths& paths, Settings& settings, Host& host, std::ostream& err);

// The program's folders as a command sees them: located as the window locates them,
// the data folder prepared (a warning on `err` when it cannot be) and made process-wide.
AppPaths cliAppPaths(std::ostream& err);

// The data folder's audit log as the process's, a torn last line told on stderr.
void setCliAuditLog(const AppPaths& paths);

// Whether the process's audit log can be written; when not, the reason on `err`
// (the command then exits 2 before it starts).
bool cliAuditWritable(std::ostream& err);

// The options before the command that choose the port.
struct LinkOptions {
    std::string device; // --port DEV
    int com = 0;        // --com N (0: the configured port)
    int speed = 0;      // --speed B (0: the configured speed)
};

class CliLink {
public:
    CliLink(const LinkOptions& options, std::ostream& err);
    ~CliLink();
    // Settings and language loaded; false when the program cannot run (message shown).
    bool ready() const;
    // Connects like the Connect button: opens the port, checks the link, identifies.
    // The exit code every command gives when that fails (the reason on stderr):
    // 3 no link, 4 a titrator not identified or with a refused firmware; 0 when connected.
    int connect();
    // Ctrl-C and SIGTERM stop the running transfer; what the abandoned exchange
    // makes fail afterwards is not reported.
    void stopOn(CliInterrupt& interrupt);
    // After a stop: quiet until the titrator has given up what it was doing, then
    // the link check, so that the next command finds it listening at once.
    void settle();
    // While set, what goes wrong with a file goes to its line of the tally.
    void reportFilesTo(FileTally* tally);
    // The last status bar text a window would show.
    std::string statusText() const;
    bool firmwareRefused() const;
    LinkMonitor& monitor();
    Serial& serial();
    DeviceSession& session();
    // Messages go to stderr; yes/no questions go to the policy (default: no).
    Host& host();
    using YesNo = CliHost::YesNo;
    void setYesNo(YesNo policy);

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};
