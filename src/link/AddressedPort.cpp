#include "link/AddressedPort.h"

#include "core/Ini.h"
#include "core/Numbers.h"
#include "core/Pump.h"
#include "link/QtSerialPort.h"
#include "link/Rfc2217Port.h"
#include "link/TcpPort.h"

#include <algorithm>

namespace {
// The line a probe asks for, as for a serial port's probe.
constexpr int kProbeBaud = 19200;
} // namespace

int connectTimeoutMs(const std::filesystem::path& configIni) {
    const auto seconds = num::parseInteger(getIniString(configIni, "Options", "ConnectTimeout"));
    const bool usable = seconds && *seconds >= 1 && *seconds <= kMaxConnectTimeoutS;
    return 1000 * (usable ? static_cast<int>(*seconds) : kDefaultConnectTimeoutS);
}

namespace {

std::unique_ptr<TcpPort> makeNetworkPort(PortKind kind, int connectTimeoutMs, Pump& pump,
                                         TcpPort::Note note = {}) {
    if (kind == PortKind::Rfc2217)
        return std::make_unique<Rfc2217Port>(connectTimeoutMs, pump, std::move(note));
    return std::make_unique<TcpPort>(connectTimeoutMs, pump, std::move(note));
}

// The adapter for an address's form.
std::unique_ptr<Port> makePort(PortKind kind, int connectTimeoutMs, Pump& pump,
                               TcpPort::Note note = {}) {
    if (kind == PortKind::Device)
        return std::make_unique<QtSerialPort>();
    return makeNetworkPort(kind, connectTimeoutMs, pump, std::move(note));
}

} // namespace

AddressedPort::AddressedPort(std::filesystem::path configIni, Pump& pump, Note note)
    : configIni_(std::move(configIni)), pump_(pump), note_(std::move(note)),
      port_(makePort(PortKind::Device, 0, pump)) {}

AddressedPort::~AddressedPort() = default;

PortError AddressedPort::open(const std::string& address, int baud) {
    const PortKind kind = parsePortAddress(address).kind;
    const int timeoutMs = connectTimeoutMs(configIni_);
    // A network adapter is made afresh each time, so that a changed time-out applies.
    if (kind != kind_ || kind != PortKind::Device) {
        port_->close();
        port_ = makePort(kind, timeoutMs, pump_, note_);
        kind_ = kind;
    }
    return port_->open(address, baud);
}

void AddressedPort::close() {
    port_->close();
}

bool AddressedPort::isOpen() const {
    return port_->isOpen();
}

std::size_t AddressedPort::bytesWaiting() {
    return port_->bytesWaiting();
}

std::string AddressedPort::read(std::size_t n) {
    return port_->read(n);
}

bool AddressedPort::write(const std::string& bytes) {
    return port_->write(bytes);
}

PortError AddressedPort::error() const {
    return port_->error();
}

std::string AddressedPort::errorText() const {
    return port_->errorText();
}

int AddressedPort::systemError() const {
    return port_->systemError();
}

std::vector<NetworkPortCheck> checkNetworkPorts(const std::vector<std::string>& addresses,
                                                Pump& pump, int connectTimeoutMs) {
    std::vector<std::unique_ptr<TcpPort>> ports;
    for (const std::string& address : addresses) {
        ports.push_back(makeNetworkPort(parsePortAddress(address).kind, connectTimeoutMs, pump));
        ports.back()->startOpen(address, kProbeBaud);
    }
    const auto settled = [&] {
        return std::none_of(ports.begin(), ports.end(), [](const auto& p) { return p->opening(); });
    };
    pump.waitUntil(settled, connectTimeoutMs);
    std::vector<PortError> opened;
    for (const auto& port : ports)
        opened.push_back(port->finishOpen());
    if (std::count(opened.begin(), opened.end(), PortError::None) > 0)
        pump.sleep(TcpPort::kInUseGraceMs); // a server in use hangs up at once
    std::vector<NetworkPortCheck> verdicts;
    for (const auto& port : ports) {
        const bool open = port->keptOpen() == PortError::None;
        verdicts.push_back({open, open ? "" : port->errorText()});
        port->close();
    }
    return verdicts;
}
