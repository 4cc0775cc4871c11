// The network ports on real sockets: servers that refuse, never answer or turn
// RFC 2217 down, and Debian's ser2net setting the line of the simulator's pty.
#include "PcSide.h"
#include "RecordingSerialHost.h"
#include "RecordingView.h"
#include "Ser2net.h"
#include "TempDir.h"
#include "core/Ini.h"
#include "core/Language.h"
#include "core/Pump.h"
#include "core/Text.h"
#include "link/AddressedPort.h"
#include "link/ComPorts.h"
#include "link/DeviceSession.h"
#include "link/NetworkTexts.h"
#include "link/Serial.h"

#include <QElapsedTimer>
#include <QTimer>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <utility>

using simtest::NetMode;

namespace {

constexpr int kTimeoutS = 1; // ConnectTimeout of the tests' config.ini
constexpr int kSlackMs = 100;
constexpr int kShortReadMs = 300;

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

int listener(int backlog) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::listen(fd, backlog);
    return fd;
}

int portOf(int fd) {
    sockaddr_in a{};
    socklen_t length = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    return ntohs(a.sin_port);
}

int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    return fd;
}

// A server that answers each new connection with canned bytes, then reads and
// says nothing more; it hangs up hangUpMs later (0: at once), or never.
class CannedServer {
public:
    static constexpr int kNever = -1;
    static constexpr int kInUse = 0; // ser2net's answer while another client has the port

    CannedServer(std::string answer, int hangUpMs)
        : fd_(listener(4)), thread_([this, answer, hangUpMs] { serve(answer, hangUpMs); }) {}
    ~CannedServer() {
        stop_ = true;
        thread_.join();
        for (const Client& c : clients_)
            if (c.fd >= 0)
                ::close(c.fd);
        ::close(fd_);
    }
    int port() const { return portOf(fd_); }

private:
    using Clock = std::chrono::steady_clock;
    struct Client {
        int fd;
        Clock::time_point hangUp;
    };

    void serve(const std::string& answer, int hangUpMs) {
        while (!stop_) {
            hangUpDue();
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) != 1)
                continue;
            const int c = ::accept(fd_, nullptr, nullptr);
            if (!answer.empty())
                (void)::write(c, answer.data(), answer.size());
            if (hangUpMs == 0)
                ::close(c);
            else
                clients_.push_back({c, hangUpMs == kNever
                                           ? Clock::time_point::max()
                                           : Clock::now() + std::chrono::milliseconds(hangUpMs)});
        }
    }
    void hangUpDue() {
        for (Client& c : clients_)
            if (c.fd >= 0 && Clock::now() >= c.hangUp)
                ::close(std::exchange(c.fd, -1));
    }

    int fd_;
    std::vector<Client> clients_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A port whose backlog is full: the system answers no further connection at all,
// as a host that is switched off does.
class UnansweringHost {
public:
    UnansweringHost() : fd_(listener(0)), filler_(connectTo(portOf(fd_))) {}
    ~UnansweringHost() {
        ::close(filler_);
        ::close(fd_);
    }
    int port() const { return portOf(fd_); }

private:
    int fd_, filler_;
};

// The application's serial layer on a network address, with the real texts.
struct NetRig {
    TempDir dir;
    std::string address;
    std::vector<std::string> notes;
    AddressedPort port{
        dir.write("config.ini", "[Options]\nConnectTimeout=" + std::to_string(kTimeoutS) + "\n"),
        defaultPump(), [this](const std::string& n) { notes.push_back(n); }};
    RecordingSerialHost host;
    Serial serial{port, defaultPump(), host, [this](int) { return address; }};

    explicit NetRig(std::string a) : address(std::move(a)) {
        setLanguageTable(readLanguageTable(IniFile::load(VT_SOURCE_DIR "/data/lang/english.lng")));
    }
    std::string portError() const { return host.portErrors.empty() ? "" : host.portErrors[0]; }
};

std::string address(NetMode mode, int port) {
    return (mode == NetMode::Raw ? "tcp://127.0.0.1:" : "rfc2217://127.0.0.1:") +
           std::to_string(port);
}

::testing::AssertionResult contains(const std::string& text, const std::string& part) {
    if (text.find(part) != std::string::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << text << "\" lacks \"" << part << "\"";
}

// The status bar's open error: the system's error number and the adapter's text.
std::string openError(int number, const std::string& text) {
    return formatMsg(langText(Serial::kTextCommError), {std::to_string(number)}) + " - " + text;
}

} // namespace

// The resolver's own code for a host, as the system states it.
int resolverCode(const std::string& host) {
    addrinfo* found = nullptr;
    const int code = ::getaddrinfo(host.c_str(), nullptr, nullptr, &found);
    if (found)
        ::freeaddrinfo(found);
    return code;
}

TEST(NetPortLink, ARefusedUnansweredBusyOrUnknownServerIsAClearOpenError) {
    const std::string unknownHost = "veltran-test.invalid"; // a name that never resolves
    const int notFound = resolverCode(unknownHost);
    ASSERT_NE(notFound, 0);
    for (const NetMode mode : {NetMode::Raw, NetMode::Rfc2217}) {
        SCOPED_TRACE(mode == NetMode::Raw ? "raw" : "RFC 2217");
        {
            NetRig rig(address(mode, simtest::freeTcpPort()));
            EXPECT_FALSE(rig.serial.openPort(1, 19200));
            EXPECT_EQ(rig.portError(),
                      openError(ECONNREFUSED, netText(kTextRefused, {rig.address})));
        }
        {
            UnansweringHost host;
            NetRig rig(address(mode, host.port()));
            QElapsedTimer clock;
            clock.start();
            EXPECT_FALSE(rig.serial.openPort(1, 19200));
            EXPECT_GE(clock.elapsed(), kTimeoutS * 1000 - kSlackMs);
            EXPECT_EQ(rig.portError(),
                      openError(ETIMEDOUT,
                                netText(kTextNoAnswer, {rig.address, std::to_string(kTimeoutS)})));
        }
        {
            CannedServer server("Port already in use\r\n", CannedServer::kInUse);
            NetRig rig(address(mode, server.port()));
            EXPECT_FALSE(rig.serial.openPort(1, 19200));
            EXPECT_EQ(rig.portError(),
                      openError(ECONNRESET, netText(kTextClosedAtOnce, {rig.address})));
        }
        {
            NetRig rig((mode == NetMode::Raw ? "tcp://" : "rfc2217://") + unknownHost + ":2000");
            EXPECT_FALSE(rig.serial.openPort(1, 19200));
            EXPECT_EQ(rig.portError(),
                      openError(notFound, netText(kTextHostNotFound, {rig.address})));
        }
    }
}

// Connecting and probing wait as every wait of the link does, running events,
// with the link held: a command an event starts meanwhile is refused. Silent
// servers are probed together, so three cost one connect time-out.
TEST(NetPortLink, WaitsForServersRunEventsWithTheLinkHeld) {
    UnansweringHost silent[3];
    TempDir dir;
    std::string config = "[Options]\nConnectTimeout=" + std::to_string(kTimeoutS) + "\n[Ports]\n";
    for (int i = 0; i < 3; ++i)
        config += std::to_string(i + 1) + "=" +
                  address(i == 0 ? NetMode::Raw : NetMode::Rfc2217, silent[i].port()) + "\n";
    RecordingView view;
    DeviceSession session(view, view, defaultPump(),
                          {dir.write("config.ini", config), {}, {}, false});
    Serial& serial = session.serial();
    PortSurvey survey;
    std::string failure;
    const std::pair<const char*, std::function<bool()>> cases[] = {
        {"opening a port", [&] { return !serial.openPort(1, 19200); }},
        {"surveying the ports",
         [&] {
             return session.surveyPorts(survey) && !survey.numbers[0].available &&
                    !survey.numbers[1].available && !survey.numbers[2].available;
         }},
        {"trying a network port",
         [&] { return !session.tryNetworkPort(address(NetMode::Raw, silent[0].port()), failure); }},
    };
    for (const auto& [what, run] : cases) {
        SCOPED_TRACE(what);
        const bool probe = what != cases[0].first;
        bool ran = false, refused = false;
        QTimer::singleShot(kShortReadMs, [&] {
            ran = true;
            refused = !serial.beginExchange();
            if (!refused)
                serial.endExchange();
            view.status = "Disconnected"; // what the refusal's wait message stood over
        });
        QElapsedTimer clock;
        clock.start();
        EXPECT_TRUE(run());
        EXPECT_TRUE(ran);
        EXPECT_TRUE(refused);
        EXPECT_LT(clock.elapsed(), 2 * kTimeoutS * 1000 + kShortReadMs);
        EXPECT_TRUE(serial.canStartExchange()); // and free again afterwards
        // A probe is no exchange: the status bar is left as it was.
        EXPECT_EQ(view.status == "Disconnected", probe);
    }
}

TEST(NetPortLink, AnRfc2217ServerMustTakeTheOptionAndTheLineSettings) {
    const std::string doComPort = bytes({255, 253, 44});
    const auto answer = [](std::initializer_list<int> payload) {
        std::string s = bytes({255, 250, 44});
        for (int b : payload)
            s += static_cast<char>(b);
        return s + bytes({255, 240});
    };
    struct Case {
        const char* what;
        std::string canned;
        int text;
        std::string setting;
        int number; // errno
    } cases[] = {
        {"a telnet server without RFC 2217", bytes({255, 254, 44}), kTextNoComPort, "", EPROTO},
        {"a server that sets another baud rate",
         doComPort + answer({101, 0, 0, 0x25, 0x80}) + answer({102, 8}), kTextSettingRefused,
         "SET-BAUDRATE 19200", EPROTO},
        {"a server that leaves the stop bits unanswered",
         doComPort + answer({101, 0, 0, 0x4B, 0}) + answer({102, 8}) + answer({103, 1}),
         kTextSettingSilent, "SET-STOPSIZE 1", ETIMEDOUT},
        {"a server that never answers", "", kTextNoAnswer, std::to_string(kTimeoutS), ETIMEDOUT},
        {"a server that talks first, and not telnet", "SSH-2.0-x\r\n", kTextNotRfc2217, "", EPROTO},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CannedServer server(c.canned, CannedServer::kNever);
        NetRig rig(address(NetMode::Rfc2217, server.port()));
        EXPECT_FALSE(rig.serial.openPort(1, 19200));
        std::vector<std::string> values{rig.address};
        if (!c.setting.empty())
            values.push_back(c.setting);
        EXPECT_EQ(rig.portError(), openError(c.number, netText(c.text, values)));
    }
}

// A raw stream cannot tell: the port opens, and the titrator's silence or the
// dropped connection is met as on a cable.
TEST(NetPortLink, ARawStreamThatIsSilentOrDroppedFailsTheExchange) {
    for (const bool hangUp : {false, true}) {
        SCOPED_TRACE(hangUp ? "dropped" : "silent");
        CannedServer server("", hangUp ? 2 * TcpPort::kInUseGraceMs : CannedServer::kNever);
        NetRig rig(address(NetMode::Raw, server.port()));
        ASSERT_TRUE(rig.serial.openPort(1, 19200));
        rig.serial.setReadTimeoutMs(kShortReadMs);
        rig.serial.delayMs(kShortReadMs); // the server's greeting and hang-up arrive
        EXPECT_EQ(rig.serial.sendCommandAck("del", "X"),
                  hangUp ? TransferResult::PortFailed : TransferResult::TimedOut);
        EXPECT_EQ(rig.serial.lastPortError(), hangUp ? PortError::DeviceVanished : PortError::None);
    }
}

TEST(NetPortLink, Rfc2217SetsTheBaudRateOfTheServersLine) {
    struct Case {
        NetMode mode;
        int baud;
        speed_t onTheLine; // ser2net's own configuration says 19200
    } cases[] = {{NetMode::Raw, 9600, B19200},
                 {NetMode::Rfc2217, 9600, B9600},
                 {NetMode::Rfc2217, 4800, B4800}};
    simtest::SimProcess sim({"--persist"});
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.baud) + (c.mode == NetMode::Raw ? " raw" : " RFC 2217"));
        simtest::Ser2net server(sim.pty(), c.mode);
        ASSERT_TRUE(server.running()) << server.log();
        NetRig rig(server.address());
        ASSERT_TRUE(rig.serial.openPort(1, c.baud)) << rig.portError();
        // The pty as ser2net has set it, read while the connection holds it open.
        const int fd = ::open(sim.pty().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        termios t{};
        ASSERT_EQ(::tcgetattr(fd, &t), 0);
        ::close(fd);
        EXPECT_EQ(cfgetospeed(&t), c.onTheLine);
        if (c.mode == NetMode::Raw) {
            EXPECT_TRUE(rig.notes.empty());
            continue;
        }
        ASSERT_FALSE(rig.notes.empty());
        EXPECT_TRUE(contains(rig.notes[0], "--- " + netText(kTextLineSet, {rig.address, ""})));
        EXPECT_TRUE(
            contains(rig.notes[0], "SET-BAUDRATE " + std::to_string(c.baud) +
                                       ", SET-DATASIZE 8, SET-PARITY NONE, SET-STOPSIZE 1"));
    }
}
