#include "link/AddressedPort.h"

#include "core/Ini.h"
#include "core/Numbers.h"
#include "link/QtSerialPort.h"
#include "link/Rfc2217Port.h"
#include "link/TcpPort.h"

namespace {
// How long a probe waits to see whether a server keeps the connection.
constexpr int kInUseGraceMs = 200;
// The line a probe asks for, as for a serial port's probe.
constexpr int kProbeBaud = 19200;
} // namespace

int connectTimeoutMs(const std::filesystem::path& configIni) {
    const auto seconds = num::parseInteger(getIniString(configIni, "Options", "ConnectTimeout"));
    const bool usable = seconds && *seconds >= 1 && *seconds <= kMaxConnectTimeoutS;
    return 1000 * (usable ? static_cast<int>(*seconds) : kDefaultConnectTimeoutS);
}

std::unique_ptr<TcpPort> makeNetworkPort(PortKind kind, int connectTimeoutMs, TcpPort::Note note) {
    if (kind == PortKind::Rfc2217)
        return std::make_unique<Rfc2217Port>(connectTimeoutMs, std::move(note));
    return std::make_unique<TcpPort>(connectTimeoutMs, std::move(note));
}

std::unique_ptr<Port> makePort(PortKind kind, int connectTimeoutMs, TcpPort::Note note) {
    if (kind == PortKind::Device)
        return std::make_unique<QtSerialPort>();
    return makeNetworkPort(kind, connectTimeoutMs, std::move(note));
}

AddressedPort::AddressedPort(std::filesystem::path configIni, Note note)
    : configIni_(std::move(configIni)), note_(std::move(note)),
      port_(makePort(PortKind::Device, 0)) {}

AddressedPort::~AddressedPort() = default;

PortError AddressedPort::open(const std::string& address, int baud) {
    const PortKind kind = parsePortAddress(address).kind;
    const int timeoutMs = connectTimeoutMs(configIni_);
    // A network adapter is made afresh each time, so that a changed time-out applies.
    if (kind != kind_ || kind != PortKind::Device) {
        port_->close();
        port_ = makePort(kind, timeoutMs, note_);
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

bool networkPortAvailable(const std::string& address, int connectTimeoutMs) {
    const PortKind kind = parsePortAddress(address).kind;
    if (kind == PortKind::Device)
        return false;
    const std::unique_ptr<TcpPort> port = makeNetworkPort(kind, connectTimeoutMs);
    const bool available =
        port->open(address, kProbeBaud) == PortError::None && port->staysOpen(kInUseGraceMs);
    port->close();
    return available;
}
