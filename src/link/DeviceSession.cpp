#include "link/DeviceSession.h"

#include "core/Language.h"
#include "link/AddressedPort.h"
#include "link/ComPorts.h"
#include "link/LinkAudit.h"
#include "link/LinkMonitor.h"
#include "link/PortNames.h"
#include "link/Serial.h"
#include "link/SerialHost.h"
#include "link/Trace.h"

// Passes what an exchange shows on to the caller's host, and the busy flag
// first to the link check, so that no check runs inside an exchange.
class DeviceSession::BusyRelay : public SerialHost {
public:
    explicit BusyRelay(SerialHost& host) : host_(host) {}
    LinkMonitor* monitor = nullptr;
    bool probing = false; // the link is held for a port probe, not an exchange

    void statusMessage(const std::string& text, uint32_t colour, int ms) override {
        host_.statusMessage(text, colour, ms);
    }
    void portError(const std::string& text) override { host_.portError(text); }
    // A probe is no exchange: its end must not blank the status bar (a port
    // error, "Disconnected"); the wait cursor shows the wait instead.
    void busyChanged(bool busy) override {
        if (monitor && probing)
            monitor->pauseChecks(busy);
        else if (monitor)
            monitor->busyChanged(busy);
        if (probing)
            host_.waitCursor(busy);
        host_.busyChanged(busy);
    }
    void runtimeError(int number, const std::string& description,
                      const std::string& source) override {
        host_.runtimeError(number, description, source);
    }
    void waitCursor(bool on) override { host_.waitCursor(on); }

private:
    SerialHost& host_;
};

DeviceSession::DeviceSession(LinkView& view, SerialHost& host, Pump& pump, Config config,
                             std::unique_ptr<Port> port)
    : config_(std::move(config)), pump_(pump), port_(port ? std::move(port) : addressedPort()),
      relay_(std::make_unique<BusyRelay>(host)),
      audit_(std::make_unique<LinkAudit>(view, [this](int n) { return portName(n); })) {
    if (!config_.traceLog.empty())
        trace_ = std::make_unique<Trace>(config_.traceLog);
    serial_ = std::make_unique<Serial>(
        *port_, pump, *relay_, [this](int n) { return deviceForPort(n); }, trace_.get());
    monitor_ = std::make_unique<LinkMonitor>(*serial_, *audit_, config_.configPath,
                                             config_.periodicLinkCheck);
    relay_->monitor = monitor_.get();
    audit_->monitor = monitor_.get();
    audit_->serial = serial_.get();
    if (config_.checkLinkAfterError)
        serial_->setAfterCommError([this] { monitor_->confirmLink(); });
}

// The adapter the port's address calls for; what a network server answered
// goes into the serial trace as a marker line.
std::unique_ptr<Port> DeviceSession::addressedPort() {
    return std::make_unique<AddressedPort>(config_.configPath, pump_,
                                           [this](const std::string& note) {
                                               if (trace_)
                                                   trace_->traceReceived(note);
                                           });
}

DeviceSession::~DeviceSession() {
    audit_->disconnecting(); // the port closes with the session
    relay_->monitor = nullptr;
    audit_->monitor = nullptr;
    audit_->serial = nullptr;
    serial_->setAfterCommError({});
    monitor_.reset();
    serial_.reset(); // closes the port before the adapter goes
}

Serial& DeviceSession::serial() {
    return *serial_;
}

LinkMonitor& DeviceSession::monitor() {
    return *monitor_;
}

Trace* DeviceSession::trace() {
    return trace_.get();
}

std::string DeviceSession::deviceForPort(int portNumber) const {
    return config_.fixedDevice.empty() ? ::deviceForPort(portNumber, config_.configPath)
                                       : config_.fixedDevice;
}

std::string DeviceSession::portName(int portNumber) const {
    return config_.fixedDevice.empty()
               ? "COM" + std::to_string(portNumber) + " " + deviceForPort(portNumber)
               : config_.fixedDevice;
}

void DeviceSession::connect(int comPort, int speed) {
    audit_->connecting();
    monitor_->titratorConnect(comPort, speed);
    audit_->connected();
}

void DeviceSession::disconnect() {
    audit_->disconnecting();
    monitor_->titratorDisconnect(1);
    audit_->disconnected();
}

void DeviceSession::postponeLinkCheck(int ms) {
    monitor_->postponeCheck(ms);
}

void DeviceSession::abortTransfer() {
    serial_->abortRunningTransfer();
}

bool DeviceSession::busy() const {
    return serial_->isSerialBusy();
}

// Only network ports make the probe wait, and only then is the link held (which
// shows the wait message); serial devices answer at once.
bool DeviceSession::surveyPorts(PortSurvey& survey) {
    const auto addressOf = [this](int n) { return deviceForPort(n); };
    const auto take = [&] {
        serial_->closePort();
        survey = ::surveyPorts(addressOf, pump_, connectTimeoutMs(config_.configPath));
    };
    bool network = false;
    for (int n = 1; n <= kComPortCount; ++n)
        network = network || isNetworkAddress(addressOf(n));
    if (network)
        return holdLinkForProbe(take);
    if (!serial_->canStartExchange()) { // the port is in use by a waiting exchange
        relay_->statusMessage(langText(Serial::kTextWait), colour::kBlue, Serial::kWaitShowMs);
        return false;
    }
    take();
    return true;
}

bool DeviceSession::tryNetworkPort(const std::string& address, std::string& failure) {
    NetworkPortCheck check{false, langText(Serial::kTextWait)};
    holdLinkForProbe([&] {
        check = checkNetworkPorts({address}, pump_, connectTimeoutMs(config_.configPath))[0];
    });
    failure = check.failure;
    return check.available;
}

bool DeviceSession::holdLinkForProbe(const std::function<void()>& work) {
    relay_->probing = true;
    const bool held = serial_->holdLinkWhile(work);
    relay_->probing = false;
    return held;
}
