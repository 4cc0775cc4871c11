#pragma once
// The port a [Ports] entry or --port names, whatever its form: a serial device
// (QtSerialPort), or a serial device server on the network, tcp://HOST:PORT
// (TcpPort) or rfc2217://HOST:PORT (Rfc2217Port). Everything above link/ sees
// only the Port.
#include "link/Port.h"
#include "link/PortNames.h"
#include "link/TcpPort.h"

#include <filesystem>
#include <functional>
#include <memory>

constexpr int kDefaultConnectTimeoutS = 5;
constexpr int kMaxConnectTimeoutS = 60;

// [Options] ConnectTimeout of config.ini: the seconds a network port may take
// to connect and to answer its line settings (5 when unset or not 1..60).
int connectTimeoutMs(const std::filesystem::path& configIni);

class AddressedPort : public Port {
public:
    using Note = TcpPort::Note;

    // configIni: where the connect time-out is read at every open;
    // note: lines for the serial trace.
    explicit AddressedPort(std::filesystem::path configIni, Note note = {});
    ~AddressedPort() override;

    PortError open(const std::string& address, int baud) override;
    void close() override;
    bool isOpen() const override;
    std::size_t bytesWaiting() override;
    std::string read(std::size_t n) override;
    bool write(const std::string& bytes) override;
    PortError error() const override;
    std::string errorText() const override;

private:
    std::filesystem::path configIni_;
    Note note_;
    PortKind kind_ = PortKind::Device;
    std::unique_ptr<Port> port_;
};

// The adapter for an address's form.
std::unique_ptr<Port> makePort(PortKind kind, int connectTimeoutMs, TcpPort::Note note = {});
// kind: RawTcp or Rfc2217.
std::unique_ptr<TcpPort> makeNetworkPort(PortKind kind, int connectTimeoutMs,
                                         TcpPort::Note note = {});

// Whether a network port can be opened now. A server that closes the new
// connection at once (ser2net's "Port already in use") counts as taken.
bool networkPortAvailable(const std::string& address, int connectTimeoutMs);
