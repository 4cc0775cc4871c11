#pragma once
// The pseudo-terminal the simulator serves on. The simulator keeps only the
// master; the line discipline is set raw through it (Linux applies termios set
// on the master to the slave side), so the slave is never opened here and the
// master reports a hang-up only after a peer has opened and closed the slave.
#include <optional>
#include <string>

namespace sim {

class Pty {
public:
    // The error text is set when nothing is returned.
    static std::optional<Pty> open(std::string& error);

    Pty(Pty&& other) noexcept;
    Pty& operator=(Pty&&) = delete;
    ~Pty();

    int masterFd() const { return fd_; }
    const std::string& slavePath() const { return slave_; }
    // Closing the master discards what the peer has not read yet; this waits
    // (at most timeoutMs) until the peer has taken everything sent.
    void waitUntilPeerRead(int timeoutMs) const;
    void close();

private:
    Pty(int fd, std::string slave) : fd_(fd), slave_(std::move(slave)) {}

    int fd_;
    std::string slave_;
};

// A symbolic link path -> target that replaces an older symbolic link there
// (a previous run's); any other kind of file is left alone and refused.
bool makeLink(const std::string& path, const std::string& target, std::string& error);
// Removes path when it still points to target (a newer run may have taken it over).
void removeLink(const std::string& path, const std::string& target);

} // namespace sim
