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
#include <vector>

class Pump;

constexpr int kDefaultConnectTimeoutS = 5;
constexpr int kMaxConnectTimeoutS = 60;

// [Options] ConnectTimeout of config.ini: the seconds a network port may take
// to connect and to answer its line settings (5 when unset or not 1..60).
int connectTimeoutMs(const std::filesystem::path& configIni);

class AddressedPort : public Port {
public:
    using Note = TcpPort::Note;

    // configIni: where the connect time-out is read at every open; pump: what a
    // network port waits through while it connects; note: lines for the serial trace.
    AddressedPort(std::filesystem::path configIni, Pump& pump, Note note = {});
    ~AddressedPort() override;

    PortError open(const std::string& address, int baud) override;
    void close() override;
    bool isOpen() const override;
    std::size_t bytesWaiting() override;
    std::string read(std::size_t n) override;
    bool write(const std::string& bytes) override;
    PortError error() const override;
    std::string errorText() const override;
    int systemError() const override;

private:
    std::filesystem::path configIni_;
    Pump& pump_;
    Note note_;
    PortKind kind_ = PortKind::Device;
    std::unique_ptr<Port> port_;
};

struct NetworkPortCheck {
    bool available = false;
    std::string failure; // why not: the open's error text
};

// Whether each network port can be opened now. All connect at once through the
// pump, so that any number of silent servers costs one connect time-out, not
// one each. A server that closes the new connection at once (ser2net's "Port
// already in use") counts as taken.
std::vector<NetworkPortCheck> checkNetworkPorts(const std::vector<std::string>& addresses,
                                                Pump& pump, int connectTimeoutMs);
