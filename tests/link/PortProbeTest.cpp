// Probing must tell free ports from taken ones without touching either.
#include "link/PortProbe.h"

#include "link/QtSerialPort.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A pseudo-terminal whose master stays open, reachable under a name of our own.
struct Pty {
    int master = -1, slave = -1;
    std::string slavePath, alias;
    Pty() {
        char name[256] = {};
        EXPECT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
        slavePath = name;
        alias = (std::filesystem::temp_directory_path() /
                 ("vt-probe-" + std::to_string(::getpid()) + "-" + std::to_string(master)))
                    .string();
        std::filesystem::remove(alias);
        std::filesystem::create_symlink(slavePath, alias);
        ::close(slave);
        slave = -1;
    }
    ~Pty() {
        std::filesystem::remove(alias);
        std::filesystem::remove("/tmp/LCK.." + std::filesystem::path(alias).filename().string());
        ::close(master);
    }
    std::string lockFile() const {
        return "/tmp/LCK.." + std::filesystem::path(alias).filename().string();
    }
};

speed_t speedOf(int fd) {
    termios t{};
    ::tcgetattr(fd, &t);
    return ::cfgetospeed(&t);
}

} // namespace

TEST(LinkPortProbe, FreeTerminalIsAvailableAndOtherThingsAreNot) {
    Pty pty;
    EXPECT_TRUE(deviceAvailable(pty.alias));
    EXPECT_TRUE(deviceAvailable(pty.slavePath));
    EXPECT_FALSE(deviceAvailable("/dev/veltran-no-such-device"));
    EXPECT_FALSE(deviceAvailable(""));
    const auto plain = std::filesystem::temp_directory_path() / "vt-probe-plain-file";
    std::ofstream(plain) << "x";
    EXPECT_FALSE(deviceAvailable(plain.string())); // a file is no serial port
    std::filesystem::remove(plain);
}

TEST(LinkPortProbe, PortsOtherProgramsHoldCountAsTakenAndKeepTheirSettings) {
    Pty pty;
    // Another program holds it with an advisory lock, at 4800 baud.
    const int other = ::open(pty.slavePath.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(other, 0);
    termios t{};
    ::tcgetattr(other, &t);
    ::cfsetspeed(&t, B4800);
    ::tcsetattr(other, TCSANOW, &t);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(deviceAvailable(pty.alias));
    EXPECT_EQ(speedOf(other), static_cast<speed_t>(B4800));
    ::flock(other, LOCK_UN);
    EXPECT_TRUE(deviceAvailable(pty.alias));
    EXPECT_EQ(speedOf(other), static_cast<speed_t>(B4800)); // probing changed no setting
    ::close(other);
}

TEST(LinkPortProbe, LockFilesOfLiveProgramsCount) {
    Pty pty;
    std::ofstream(pty.lockFile()) << "      " << ::getpid() << "\n";
    EXPECT_FALSE(deviceAvailable(pty.alias));
    std::ofstream(pty.lockFile()) << "999999999\n"; // a process that is gone: a stale lock
    EXPECT_TRUE(deviceAvailable(pty.alias));
}

TEST(LinkPortProbe, APortOpenInTheApplicationIsTaken) {
    Pty pty;
    QtSerialPort port;
    ASSERT_EQ(port.open(pty.alias, 19200), PortError::None);
    EXPECT_FALSE(deviceAvailable(pty.alias));
    port.close();
    EXPECT_TRUE(deviceAvailable(pty.alias));
}
