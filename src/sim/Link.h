#pragma once
// The titrator's end of the serial line: a file descriptor (the pty master) read
// with inactivity time-outs and written at the pace of the configured baud rate.
// Every wait sleeps in ppoll; nothing spins.
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace sim {

enum class Status {
    Ok,
    Timeout, // nothing arrived within the limit
    Failed,  // the exchange was given up (retries spent, refused data)
    Closed,  // the peer hung up or the descriptor failed
    Stopped, // a stop signal arrived
};

class Link {
public:
    static constexpr int kForever = -1;
    // A peer that stops reading for this long is treated as gone.
    static constexpr int kWriteTimeoutMs = 5000;

    // baud 0: unpaced. The descriptor is not owned.
    explicit Link(int fd, uint32_t baud = 0);

    Status readByte(char& c, int timeoutMs);
    // Reads n bytes; the limit counts afresh for every byte, as on the PC side.
    Status readExactly(std::string& out, std::size_t n, int timeoutMs);
    Status write(std::string_view bytes);
    Status pause(int ms);
    // True while a peer holds the line open (no hang-up reported).
    bool peerPresent() const;
    // Forgets buffered input, for a new peer.
    void reset();

private:
    using Clock = std::chrono::steady_clock;

    // events 0: sleep until the deadline without watching the descriptor.
    Status waitFor(short events, Clock::time_point deadline, bool forever) const;
    Status fill(int timeoutMs);
    Status writeAll(std::string_view bytes);
    Status awaitArrival(std::size_t count);

    int fd_;
    uint32_t baud_;
    std::string input_;
    std::size_t inputPos_ = 0;
    Clock::time_point lineFree_{};     // when our last paced byte has left
    Clock::time_point inputArrived_{}; // when the PC's last byte has crossed the line
};

} // namespace sim
