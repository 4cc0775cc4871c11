// QtSerialPort and Serial on real pseudo-terminals, the way the simulator is reached.
#include "link/QtSerialPort.h"

#include "RecordingSerialHost.h"
#include "core/Language.h"
#include "core/Pump.h"
#include "link/Frame.h"
#include "link/Serial.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <thread>
#include <unistd.h>

namespace {

class Pty {
public:
    Pty() {
        char name[128] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) == 0)
            path_ = name;
    }
    ~Pty() {
        closeMaster();
        if (slave_ >= 0)
            ::close(slave_);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& path() const { return path_; }
    void closeMaster() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }
    void send(const std::string& bytes) const {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Up to n bytes from the PC side, waiting at most timeoutMs for each.
    std::string take(std::size_t n, int timeoutMs = 3000) const {
        std::string out;
        while (out.size() < n) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) <= 0)
                break;
            char buf[512];
            const ssize_t got = ::read(master_, buf, std::min(sizeof buf, n - out.size()));
            if (got <= 0)
                break;
            out.append(buf, std::size_t(got));
        }
        return out;
    }
    std::string takeUntil(char last) const {
        std::string out;
        while (out.empty() || out.back() != last) {
            const std::string c = take(1);
            if (c.empty())
                break;
            out += c;
        }
        return out;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

std::string allBytes() {
    std::string s;
    for (int i = 0; i < 256; ++i)
        s += static_cast<char>(i);
    return s;
}

} // namespace

TEST(LinkQtSerialPortPty, OpensASlaveAndCarriesEveryByteBothWays) {
    Pty pty;
    ASSERT_FALSE(pty.path().empty());
    QtSerialPort port;
    ASSERT_EQ(port.open(pty.path(), 19200), PortError::None) << port.errorText();
    EXPECT_TRUE(port.isOpen());

    pty.send(allBytes());
    EXPECT_TRUE(defaultPump().waitUntil([&] { return port.bytesWaiting() >= 256; }, 3000));
    EXPECT_EQ(port.read(100), allBytes().substr(0, 100));
    EXPECT_EQ(port.read(1000), allBytes().substr(100));

    EXPECT_TRUE(port.write(allBytes()));
    EXPECT_EQ(pty.take(256), allBytes());
    EXPECT_EQ(port.error(), PortError::None);
}

TEST(LinkQtSerialPortPty, OpenFailuresAreClassified) {
    Pty pty;
    QtSerialPort first, second, missing;
    ASSERT_EQ(first.open(pty.path(), 19200), PortError::None);
    EXPECT_EQ(second.open(pty.path(), 19200), PortError::Busy);
    EXPECT_FALSE(second.isOpen());
    EXPECT_EQ(missing.open("/dev/ttyVT-no-such-device", 19200), PortError::NotFound);
    EXPECT_FALSE(missing.errorText().empty());
    first.close();
    EXPECT_EQ(second.open(pty.path(), 19200), PortError::None);
}

TEST(LinkQtSerialPortPty, UnreadableDeviceIsAPermissionError) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root opens any device node";
    Pty pty;
    ASSERT_EQ(::chmod(pty.path().c_str(), 0), 0);
    QtSerialPort port;
    EXPECT_EQ(port.open(pty.path(), 19200), PortError::Permission);
}

TEST(LinkQtSerialPortPty, ClosedMasterIsAVanishedDevice) {
    Pty pty;
    QtSerialPort port;
    ASSERT_EQ(port.open(pty.path(), 19200), PortError::None);
    pty.closeMaster();
    EXPECT_TRUE(
        defaultPump().waitUntil([&] { return port.error() == PortError::DeviceVanished; }, 3000));
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.write("x"));
    // Closing and later reads keep the cause for the link supervision.
    defaultPump().sleep(20);
    EXPECT_EQ(port.read(1), "");
    EXPECT_EQ(port.error(), PortError::DeviceVanished);
}

TEST(LinkQtSerialPortPty, AReopenedPortIsNotShutByTheOldFault) {
    Pty gone, next;
    QtSerialPort port;
    ASSERT_EQ(port.open(gone.path(), 19200), PortError::None);
    gone.closeMaster();
    ASSERT_TRUE(
        defaultPump().waitUntil([&] { return port.error() == PortError::DeviceVanished; }, 3000));
    ASSERT_EQ(port.open(next.path(), 19200), PortError::None);
    defaultPump().sleep(50); // lets any deferred close of the old session run
    EXPECT_TRUE(port.isOpen());
    next.send("ok");
    EXPECT_TRUE(defaultPump().waitUntil([&] { return port.bytesWaiting() == 2; }, 3000));
    EXPECT_EQ(port.read(2), "ok");
}

// ---------------------------------------------------------------- Serial over a pty

namespace {

class LinkSerialPty : public ::testing::Test {
protected:
    Pty pty;
    QtSerialPort port;
    RecordingSerialHost host;
    Serial serial{port, defaultPump(), host, [this](int) { return pty.path(); }};
    std::thread titrator;

    void SetUp() override { ASSERT_TRUE(serial.openPort(1, 19200)); }
    void TearDown() override {
        if (titrator.joinable())
            titrator.join();
    }
};

} // namespace

TEST_F(LinkSerialPty, AcknowledgedCommand) {
    std::string line;
    titrator = std::thread([&] {
        line = pty.takeUntil('\r');
        pty.send("ACK");
    });
    EXPECT_EQ(serial.sendCommandAck("del", "\\QX501\\methods\\a.mtd"), TransferResult::Done);
    titrator.join();
    EXPECT_EQ(line, frame::commandLine("del \\QX501\\methods\\a.mtd"));
}

TEST_F(LinkSerialPty, CommandWithFramedAnswer) {
    std::vector<std::string> echoes;
    titrator = std::thread([&] {
        pty.takeUntil('\r');
        pty.send("ACK" + frame::buildFrame('t', 1, ""));
        echoes.push_back(pty.take(6));
        pty.send(frame::buildFrame('p', 0, "QX502 \\ 2.10"));
        echoes.push_back(pty.take(6));
    });
    std::string answer;
    EXPECT_EQ(serial.sendCommand("ver 4", answer), TransferResult::Done);
    EXPECT_EQ(answer, "QX502 \\ 2.10");
    titrator.join();
    EXPECT_EQ(echoes, (std::vector<std::string>{"\\t0001", "\\p0000"}));
}

TEST_F(LinkSerialPty, SlowCharactersWithinTheLimitAreAnAcknowledgement) {
    serial.setReadTimeoutMs(1000);
    titrator = std::thread([&] {
        for (char c : std::string("ACK")) {
            std::this_thread::sleep_for(std::chrono::milliseconds(400));
            pty.send(std::string(1, c));
        }
    });
    EXPECT_TRUE(serial.waitAcknowledge());
}

// A device that is not a serial port is told with the system's error number and text.
TEST(LinkSerialOpen, AnOpenFailureNamesTheSystemsErrorNumber) {
    LanguageTable texts;
    texts[330] = "Communication error %v";
    setLanguageTable(texts);
    QtSerialPort port;
    RecordingSerialHost host;
    const std::string device = ::testing::TempDir();
    Serial serial{port, defaultPump(), host, [&](int) { return device; }};
    EXPECT_FALSE(serial.openPort(1, 19200));
    EXPECT_EQ(host.portErrors,
              (std::vector<std::string>{"Communication error " + std::to_string(EISDIR) + " - " +
                                        std::strerror(EISDIR)}));
}

TEST_F(LinkSerialPty, AReadEndsWithTheFaultWhenTheDeviceGoesAway) {
    titrator = std::thread([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pty.closeMaster();
    });
    std::string text;
    EXPECT_FALSE(serial.readPort(text, 3));
    EXPECT_FALSE(serial.timedOut());
    EXPECT_EQ(serial.lastPortError(), PortError::DeviceVanished);
}
