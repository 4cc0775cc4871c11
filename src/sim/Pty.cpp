#include "sim/Pty.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/ioctl.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace sim {
namespace {

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool makeRaw(int fd) {
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    cfsetspeed(&t, B19200);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

std::string linkTarget(const std::string& path) {
    std::error_code ec;
    const auto target = std::filesystem::read_symlink(path, ec);
    return ec ? std::string() : target.string();
}

} // namespace

std::optional<Pty> Pty::open(std::string& error) {
    const int fd = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = systemError("posix_openpt");
        return std::nullopt;
    }
    char name[PATH_MAX];
    if (grantpt(fd) != 0 || unlockpt(fd) != 0 || ptsname_r(fd, name, sizeof name) != 0 ||
        !makeRaw(fd)) {
        error = systemError("pseudo-terminal set-up");
        ::close(fd);
        return std::nullopt;
    }
    return Pty(fd, name);
}

Pty::Pty(Pty&& other) noexcept : fd_(other.fd_), slave_(std::move(other.slave_)) {
    other.fd_ = -1;
}

Pty::~Pty() {
    close();
}

// The input queue of the slave is visible only from a slave descriptor, and
// bytes reach it from the master a moment after the write: hence the settling.
void Pty::waitUntilPeerRead(int timeoutMs) const {
    constexpr auto kSettle = std::chrono::milliseconds(20);
    constexpr auto kLook = std::chrono::milliseconds(10);
    const int slave = ::open(slave_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return;
    std::this_thread::sleep_for(kSettle);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int unread = 0;
    while (::ioctl(slave, FIONREAD, &unread) == 0 && unread > 0 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(kLook);
    ::close(slave);
}

void Pty::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool makeLink(const std::string& path, const std::string& target, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto status = fs::symlink_status(path, ec);
    if (fs::exists(status) && !fs::is_symlink(status)) {
        error = path + ": exists and is not a symbolic link";
        return false;
    }
    // Made beside the path and renamed over it, so the path never dangles.
    const std::string temp = path + ".new-" + std::to_string(::getpid());
    fs::remove(temp, ec);
    if (::symlink(target.c_str(), temp.c_str()) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        error = systemError(path);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

void removeLink(const std::string& path, const std::string& target) {
    if (linkTarget(path) == target)
        ::unlink(path.c_str());
}

} // namespace sim
