#pragma once
// Debian's ser2net serving one serial device (the simulator's pty) on
// 127.0.0.1, as a serial device server in a lab would: its own configuration
// and PID file in a private folder, no root, stopped when the object goes.
#include "TempDir.h"

#include <string>
#include <sys/types.h>

namespace simtest {

enum class NetMode { Raw, Rfc2217 };

// A TCP port on 127.0.0.1 that nothing listens on now.
int freeTcpPort();
// Whether something listens on 127.0.0.1:port.
bool listening(int port);

class Ser2net {
public:
    // lowLatency false: ser2net's defaults (Nagle on, characters gathered before a send).
    Ser2net(const std::string& device, NetMode mode, bool lowLatency = true);
    ~Ser2net();
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    // Listening on its port; false when ser2net could not be started (see log()).
    bool running() const { return running_; }
    // The port's address for [Ports] and --port: tcp://127.0.0.1:N or rfc2217://...
    const std::string& address() const { return address_; }
    std::string log() const;
    // Ends ser2net and every connection it serves.
    void stop();

private:
    TempDir dir_;
    pid_t pid_ = -1;
    bool running_ = false;
    std::string address_;
};

} // namespace simtest
