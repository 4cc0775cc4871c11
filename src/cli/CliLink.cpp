#include "cli/CliLink.h"

#include "core/AppPaths.h"
#include "core/Host.h"
#include "core/Pump.h"
#include "core/Settings.h"
#include "link/LinkMonitor.h"
#include "link/LinkView.h"
#include "link/PortNames.h"
#include "link/QtSerialPort.h"
#include "link/Serial.h"
#include "link/SerialHost.h"

#include <QCoreApplication>
#include <ostream>

namespace {

std::string plain(std::string text) {
    for (char& c : text)
        if (c == '\r')
            c = '\n';
    return text;
}

bool parseNumber(const std::string& text, int& value) {
    try {
        std::size_t used = 0;
        value = std::stoi(text, &used);
        return used == text.size() && value > 0;
    } catch (...) {
        return false;
    }
}

// What a window would show, kept as text; messages go to stderr.
class CliView : public LinkView, public SerialHost, public Host {
public:
    explicit CliView(std::ostream& err) : err_(err) {}
    LinkMonitor* monitor = nullptr;
    std::string status;
    bool errorPending = false;
    bool refused = false;

    void showMessage(const std::string& text, uint32_t, int) override { status = text; }
    void setStatusBar(const std::string& text, uint32_t) override {
        if (!text.empty())
            status = text;
    }
    bool statusErrorPending() const override { return errorPending; }
    void clearStatusError() override { errorPending = false; }
    void setTitratorLabel(const std::string&, uint32_t) override {}
    void clearTitratorList() override {}
    void setActive(bool) override {}
    void linkStateChanged() override {}
    void titratorIdentified() override {}
    void tickComPort(int) override {}
    void portDeviceVanished() override {}
    void firmwareRefused(const std::string& title, const std::string& text) override {
        refused = true;
        err_ << plain(title) << ": " << plain(text) << "\n";
    }

    void statusMessage(const std::string& text, uint32_t, int) override { status = text; }
    void portError(const std::string& text) override {
        status = text;
        errorPending = true;
    }
    void busyChanged(bool busy) override {
        // The wait message only: a script gets no periodic link checks.
        if (monitor)
            monitor->showWaitMsg(busy);
    }
    void transferStarted(const std::string&, bool) override {}
    void transferProgress(double, bool) override {}
    void runtimeError(int number, const std::string& description,
                      const std::string& source) override {
        err_ << source << ": error " << number << ": " << description << "\n";
    }

    void message(const std::string& text, const std::string& title, Icon) override {
        err_ << (title.empty() ? "" : plain(title) + ": ") << plain(text) << "\n";
    }
    bool askYesNo(const std::string& text, const std::string&) override {
        err_ << plain(text) << " (answered no)\n";
        return false;
    }

private:
    std::ostream& err_;
};

} // namespace

bool parseCliOptions(const std::vector<std::string>& args, CliOptions& o, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--port" || a == "--com" || a == "--speed") {
            if (!hasValue) {
                error = a + " needs a value";
                return false;
            }
            const std::string& v = args[++i];
            if (a == "--port")
                o.device = v;
            else if (!parseNumber(v, a == "--com" ? o.com : o.speed)) {
                error = a + " needs a positive number, not \"" + v + "\"";
                return false;
            }
        } else {
            o.words.assign(args.begin() + static_cast<long>(i), args.end());
            return true;
        }
    }
    return true;
}

AppPaths cliAppPaths(std::ostream& err) {
    AppPaths paths = locateAppPaths(QCoreApplication::applicationDirPath().toStdString());
    std::string dataError;
    if (!prepareDataDir(paths, dataError))
        err << "warning: " << dataError << "\n";
    setAppPaths(paths);
    return paths;
}

struct CliLink::Parts {
    explicit Parts(std::ostream& err) : view(err) {}
    CliView view;
    AppPaths paths;
    Settings settings;
    bool ready = false;
    QtSerialPort port;
    std::unique_ptr<Serial> serial;
    std::unique_ptr<LinkMonitor> monitor;
    int com = 1;
    int speed = 19200;
};

CliLink::CliLink(const CliOptions& options, std::ostream& err)
    : parts_(std::make_unique<Parts>(err)) {
    Parts& p = *parts_;
    p.paths = cliAppPaths(err);
    p.ready = loadSettings(p.paths, p.view, p.settings);
    p.com = options.com > 0 ? options.com : p.settings.comPort;
    p.speed = options.speed > 0 ? options.speed : p.settings.comSpeed;
    const std::string device = options.device;
    const std::filesystem::path config = p.paths.configPath();
    auto resolver = [device, config](int n) {
        return device.empty() ? deviceForPort(n, config) : device;
    };
    p.serial = std::make_unique<Serial>(p.port, defaultPump(), p.view, resolver);
    p.monitor = std::make_unique<LinkMonitor>(*p.serial, p.view, config);
    p.monitor->checkLink().stop(); // one check on connect; no periodic checks in a script
    p.monitor->setStatusComPort(p.com);
    p.view.monitor = p.monitor.get();
}

CliLink::~CliLink() = default;

bool CliLink::ready() const {
    return parts_->ready;
}

bool CliLink::connect() {
    Parts& p = *parts_;
    p.monitor->titratorConnect(p.com, p.speed);
    p.monitor->checkLink().stop();
    return p.monitor->titratorOnline() && p.monitor->titratorIdentified();
}

std::string CliLink::statusText() const {
    return plain(parts_->view.status);
}
bool CliLink::firmwareRefused() const {
    return parts_->view.refused;
}
LinkMonitor& CliLink::monitor() {
    return *parts_->monitor;
}
Serial& CliLink::serial() {
    return *parts_->serial;
}
