#pragma once
// The device link for command-line use: settings from the data folder, the
// port from --port/--com/--speed, and a window stand-in that remembers the
// status text and writes messages to stderr.
#include "core/Host.h"

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

class DeviceSession;
class Host;
class LinkMonitor;
class Serial;
struct AppPaths;
struct Settings;

// A message or language text for a terminal: its carriage returns as line breaks.
std::string cliText(std::string text);

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
    bool connect();
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
