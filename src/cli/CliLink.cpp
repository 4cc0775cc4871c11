#include "cli/CliLink.h"

#include "cli/CliInterrupt.h"
#include "cli/ExitCodes.h"
#include "cli/FileTally.h"
#include "core/AppPaths.h"
#include "core/AuditLog.h"
#include "core/Encoding.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/Pump.h"
#include "core/Settings.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"
#include "link/LinkView.h"
#include "link/Serial.h"
#include "link/SerialHost.h"

#include <QCoreApplication>
#include <QString>
#include <QStringDecoder>
#include <cstring>
#include <iostream>
#include <optional>
#include <ostream>

namespace {

// What a window would show, kept as text; messages go to stderr.
class CliView : public LinkView, public SerialHost, public CliHost {
public:
    explicit CliView(std::ostream& err) : CliHost(err) {}
    std::string status;
    bool errorPending = false;
    bool refused = false;
    FileTally* tally = nullptr;
    bool stopped = false; // by a signal: what the abandoned exchange makes fail is no news

    void message(const std::string& text, const std::string& title, Icon icon) override {
        if (!stopped && (!tally || !tally->takeReason(text)))
            CliHost::message(text, title, icon);
    }
    // A failure the window shows in its status bar (a communication error).
    void failure(const std::string& text) {
        if (!stopped && (!tally || !tally->takeReason(text)))
            err_ << cliText(text) << "\n";
    }

    void showMessage(const std::string& text, uint32_t, int) override { status = text; }
    void setStatusBar(const std::string& text, uint32_t) override {
        if (!text.empty())
            status = text;
    }
    bool statusErrorPending() const override { return errorPending; }
    void clearStatusError() override { errorPending = false; }
    void setTitratorLabel(const std::string&, uint32_t) override {}
    void setTitratorCaption(const std::string&) override {}
    void clearTitratorList() override {}
    void setActive(bool) override {}
    void linkStateChanged() override {}
    void onlineControls() override {}
    void offlineFilters() override {}
    void titratorIdentified() override {}
    void tickComPort(int) override {}
    void portDeviceVanished() override {}
    void firmwareRefused(const std::string& title, const std::string& text) override {
        refused = true;
        err_ << cliText(title) << ": " << cliText(text) << "\n";
    }

    void statusMessage(const std::string& text, uint32_t colour, int) override {
        status = text;
        if (colour == colour::kRed)
            failure(text);
    }
    void portError(const std::string& text) override {
        status = text;
        errorPending = true;
    }
    void busyChanged(bool) override {}
    // A file fault in plain words: inside a file only the system's reason, since
    // the file's line names the entry; elsewhere the description with its file.
    void runtimeError(int number, const std::string& description, const std::string&) override {
        const std::string reason = std::strerror(number);
        const bool ownReason =
            description.size() > reason.size() && description.ends_with(": " + reason);
        if (stopped || (tally && ownReason && tally->takeReason(reason)))
            return;
        failure(description);
    }
};

} // namespace

void CliHost::message(const std::string& text, const std::string& title, Icon) {
    err_ << (title.empty() ? "" : cliText(title) + ": ") << cliText(text) << "\n";
}

bool CliHost::askYesNo(const std::string& text, const std::string& title) {
    if (yesNo)
        return yesNo(cliText(text), cliText(title));
    err_ << cliText(text) << " (answered no)\n";
    return false;
}

bool loadCliSettings(AppPaths& paths, Settings& settings, Host& host, std::ostream& err) {
    paths = cliAppPaths(err);
    return loadSettings(paths, host, settings);
}

std::string cliText(const std::string& bytes) {
    // The terminal reads UTF-8. Language texts are Windows-1252; a text that is
    // already valid UTF-8 (a path from the command line) is left alone.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString decoded = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError())
        decoded = toQt(bytes);
    std::string text = decoded.toStdString();
    for (char& c : text)
        if (c == '\r')
            c = '\n';
    return text;
}

void setCliAuditLog(const AppPaths& paths) {
    auto log = std::make_unique<AuditLog>(paths.dataDir / AuditLog::kFileName, "veltran-cli");
    log->onTornLine = [file = log->file()] {
        std::cerr << "warning: " << file.string()
                  << ": the last line was cut short by an interrupted write; it is kept as found "
                     "and recorded by the next line (see audit verify)\n";
    };
    setAuditLog(std::move(log));
}

AppPaths cliAppPaths(std::ostream& err) {
    AppPaths paths = locateAppPaths(QCoreApplication::applicationDirPath().toStdString());
    std::string dataError;
    if (!prepareDataDir(paths, dataError))
        err << "warning: " << dataError << "\n";
    setAppPaths(paths);
    setCliAuditLog(paths);
    return paths;
}

bool cliAuditWritable(std::ostream& err) {
    if (auditWritable())
        return true;
    err << "the audit log cannot be written: " << auditLog()->lastError() << "\n";
    return false;
}

struct CliLink::Parts {
    explicit Parts(std::ostream& stream) : err(stream), view(stream) {}
    std::ostream& err;
    CliView view;
    AppPaths paths;
    Settings settings;
    bool ready = false;
    std::unique_ptr<DeviceSession> session;
    std::optional<CliInterrupt::Stop> stop;
    int com = 1;
    int speed = 19200;
};

CliLink::CliLink(const LinkOptions& options, std::ostream& err)
    : parts_(std::make_unique<Parts>(err)) {
    Parts& p = *parts_;
    p.ready = loadCliSettings(p.paths, p.settings, p.view, err);
    p.ready = p.ready && cliAuditWritable(err); // nothing goes over the link unrecorded
    p.com = options.com > 0 ? options.com : p.settings.comPort;
    p.speed = options.speed > 0 ? options.speed : p.settings.comSpeed;
    DeviceSession::Config config;
    config.configPath = p.paths.configPath();
    config.fixedDevice = options.device;
    config.periodicLinkCheck = false;  // one check on connect; a script gets no periodic checks
    config.checkLinkAfterError = true; // a silent titrator ends the command, not its time-outs
    if (p.settings.debugEnabled)
        config.traceLog = p.paths.dataDir / "debug.log";
    p.session = std::make_unique<DeviceSession>(p.view, p.view, defaultPump(), config);
    p.session->monitor().setStatusComPort(p.com);
}

CliLink::~CliLink() = default;

bool CliLink::ready() const {
    return parts_->ready;
}

int CliLink::connect() {
    Parts& p = *parts_;
    p.session->connect(p.com, p.speed);
    if (monitor().titratorOnline() && monitor().titratorIdentified())
        return cliexit::kOk;
    if (monitor().titratorOnline() || p.view.refused) {
        p.err << "the titrator answers but could not be identified\n";
        return cliexit::kNotIdentified;
    }
    p.err << statusText() << "\n";
    return cliexit::kNoLink;
}

void CliLink::stopOn(CliInterrupt& interrupt) {
    parts_->stop.emplace(interrupt.onSignal([this] {
        Parts& p = *parts_;
        p.view.stopped = true;
        session().abortTransfer();
        p.err << cliText(langText(Serial::kTextWait)) << "\n";
    }));
}

void CliLink::settle() {
    monitor().confirmLink();
}

void CliLink::reportFilesTo(FileTally* tally) {
    parts_->view.tally = tally;
}

std::string CliLink::statusText() const {
    return cliText(parts_->view.status);
}
bool CliLink::firmwareRefused() const {
    return parts_->view.refused;
}
LinkMonitor& CliLink::monitor() {
    return parts_->session->monitor();
}
Serial& CliLink::serial() {
    return parts_->session->serial();
}
DeviceSession& CliLink::session() {
    return *parts_->session;
}
Host& CliLink::host() {
    return parts_->view;
}
void CliLink::setYesNo(YesNo policy) {
    parts_->view.yesNo = std::move(policy);
}
