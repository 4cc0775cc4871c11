// The link supervision on a virtual clock: an in-memory titrator behind the
// port, so five one-second echo waits cost nothing.
#include "RecordingView.h"
#include "ScriptedPeer.h"
#include "TempDir.h"
#include "VirtualPump.h"
#include "link/DeviceSession.h"
#include "link/Frame.h"
#include "link/LinkMonitor.h"
#include "link/Serial.h"

#include <gtest/gtest.h>

namespace {

using Answer = std::optional<std::vector<std::string>>;

// A titrator that answers "echo", "ver 4" and "ver 0" while it is there.
struct Titrator {
    std::string id = "QX502 S/N 1";
    std::optional<std::string> version = "V3.00 2026-01-15"; // nullopt: "ver 0" is not answered
    bool silent = false;
    int ver4 = 0;

    Answer operator()(const std::string& command) {
        if (silent)
            return std::nullopt;
        if (command == "echo")
            return std::vector<std::string>{};
        if (command == "ver 4") {
            ++ver4;
            return framesFor(id);
        }
        if (command == "ver 0" && version)
            return framesFor(*version);
        return std::nullopt;
    }
};

struct Rig {
    TempDir dir;
    VirtualPump pump;
    ScriptedPeer* peer = nullptr;
    Titrator titrator;
    RecordingView view;
    std::unique_ptr<DeviceSession> session;

    explicit Rig(const std::string& bounds = "[Versions]\nQX502_MIN=1.0\nQX502_MAX=9.99\n") {
        setLanguageTable(supervisionTexts());
        auto port = std::make_unique<ScriptedPeer>(pump);
        peer = port.get();
        peer->answerFor = [this](const std::string& c) { return titrator(c); };
        DeviceSession::Config config;
        config.configPath = dir.write("config.ini", bounds);
        config.periodicLinkCheck = false;
        session = std::make_unique<DeviceSession>(view, view, pump, config, std::move(port));
        session->serial().setClock([this] { return pump.now; });
        monitor().setStatusComPort(4);
    }
    LinkMonitor& monitor() { return session->monitor(); }
    void connect() { session->connect(4, 19200); }
    int echoesSent() const {
        return static_cast<int>(std::count(peer->commandLines.begin(), peer->commandLines.end(),
                                           frame::commandLine("echo")));
    }
};

} // namespace

TEST(LinkSupervision, FiveUnansweredEchoesLoseTheLink) {
    Rig rig;
    rig.titrator.silent = true;
    rig.connect();
    EXPECT_EQ(rig.echoesSent(), 5);
    EXPECT_GE(rig.pump.now, 5 * LinkMonitor::kEchoTimeoutMs);
    EXPECT_FALSE(rig.monitor().linkEnabled());
    EXPECT_FALSE(rig.monitor().titratorOnline());
    EXPECT_EQ(rig.view.status, "Offline - COM:4");
    EXPECT_EQ(rig.view.statusColour, colour::kRed);
    EXPECT_EQ(rig.view.label, "No titrator");
    EXPECT_EQ(rig.view.labelColour, colour::kRed);
    EXPECT_TRUE(rig.view.active);
}

TEST(LinkSupervision, FourUnansweredEchoesAndAnAnswerKeepTheLink) {
    Rig rig;
    rig.connect();
    ASSERT_TRUE(rig.monitor().titratorIdentified());
    rig.peer->ackDrops = 4;
    const int before = rig.echoesSent();
    rig.monitor().checkLinkTimer();
    EXPECT_EQ(rig.echoesSent() - before, 5);
    EXPECT_TRUE(rig.monitor().titratorOnline());
    EXPECT_EQ(rig.view.status, "Online - COM 4");
}

TEST(LinkSupervision, IdentificationOutcomes) {
    struct Case {
        const char* what;
        std::string id;
        std::optional<std::string> version;
        std::string bounds;
        bool identified, listed;
        const char* refused;
        int ver4Queries;
    } cases[] = {
        {"within bounds", "QX502 S/N 1", "V3.00 2026-01-15", "QX502_MIN=1\nQX502_MAX=9", true, true,
         "", 1},
        {"bound itself", "QX502 S/N 1", "V2.50 2026-01-15", "QX502_MIN=2.5\nQX502_MAX=2.5", true,
         true, "", 1},
        {"unknown model", "QX999 S/N 1", "V3.00", "QX502_MIN=1\nQX502_MAX=9", false, false, "",
         LinkMonitor::kIdentifyAttempts},
        {"version empty", "QX502 S/N 1", "", "QX502_MIN=1\nQX502_MAX=9", true, false, "", 1},
        {"version unanswered", "QX502 S/N 1", std::nullopt, "QX502_MIN=1\nQX502_MAX=9", false,
         false, "", LinkMonitor::kIdentifyAttempts},
        {"below minimum", "QX502 S/N 1", "V1.50 2026-01-15", "QX502_MIN=2\nQX502_MAX=9", false,
         false, "Firmware too old", 1},
        {"no maximum", "QX501 S/N 1", "V0.50", "QX501_MIN=0", false, false, "Firmware too new", 1},
        {"not a number", "QX501 S/N 1", "Vbeta", "QX501_MIN=1\nQX501_MAX=9", false, false,
         "Firmware too old", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig("[Versions]\n" + c.bounds + "\n");
        rig.titrator.id = c.id;
        rig.titrator.version = c.version;
        rig.connect();
        EXPECT_TRUE(rig.monitor().titratorOnline());
        EXPECT_EQ(rig.monitor().titratorIdentified(), c.identified);
        EXPECT_EQ(rig.view.identifiedCalls, c.listed ? 1 : 0);
        EXPECT_NE(rig.view.refusedText.find(c.refused), std::string::npos) << rig.view.refusedText;
        EXPECT_EQ(rig.monitor().firmwareRefused(), *c.refused != '\0');
        EXPECT_EQ(rig.titrator.ver4, c.ver4Queries);
        EXPECT_FALSE(rig.session->serial().isSerialBusy());
    }
}

TEST(LinkSupervision, RefusedFirmwareNamesBothVersions) {
    Rig rig("[Versions]\nQX502_MIN=3.0\nQX502_MAX=9\n");
    rig.titrator.version = "V2.50 2026-01-15";
    rig.connect();
    EXPECT_EQ(rig.view.refusedTitle, "Firmware");
    EXPECT_EQ(rig.view.refusedText, "Program 1.0 cannot work with firmware 2.50\r\n"
                                    "Firmware too old\r\nThe program ends.");
}

// After a vanished device and a reconnect, a port that closes under us: once an
// echo read has ended (here a time-out) it is a new fault and the closed-port
// branch runs; before that it is the fault already handled. Either way the
// window Connect disabled is given back.
TEST(LinkSupervision, AClosedPortAfterAVanishedDeviceIsHandledOnce) {
    for (const int closesAtMs : {1500, 500}) {
        const bool handled = closesAtMs > LinkMonitor::kEchoTimeoutMs;
        SCOPED_TRACE(closesAtMs);
        Rig rig;
        rig.connect();
        ASSERT_TRUE(rig.monitor().titratorIdentified());
        rig.peer->vanish(PortError::DeviceVanished);
        rig.monitor().checkLinkTimer();
        EXPECT_EQ(rig.view.vanishedCalls, 1);
        EXPECT_FALSE(rig.monitor().linkEnabled());

        rig.titrator.silent = true;
        rig.pump.after(closesAtMs, [&] { rig.peer->vanish(PortError::ClosedUnderUs); });
        rig.view.status.clear();
        rig.connect();
        EXPECT_TRUE(rig.view.active);
        EXPECT_EQ(rig.monitor().linkEnabled(), !handled);
        EXPECT_EQ(rig.view.status == "Offline - COM:4", handled);
        EXPECT_EQ(rig.view.vanishedCalls, 1);
    }
}

TEST(LinkSupervision, ADeviceThatGoesAwayDuringIdentificationTakesTheLinkDown) {
    Rig rig;
    rig.peer->answerFor = [&](const std::string& c) -> Answer {
        if (c == "ver 0")
            rig.pump.after(5, [&] { rig.peer->vanish(PortError::DeviceVanished); });
        return rig.titrator(c);
    };
    rig.connect();
    EXPECT_FALSE(rig.monitor().titratorOnline());
    EXPECT_FALSE(rig.monitor().titratorIdentified());
    EXPECT_EQ(rig.view.vanishedCalls, 1);
    EXPECT_TRUE(rig.view.active);
}

TEST(LinkSupervision, CommunicationErrorSilencesTheLinkCheck) {
    Rig rig;
    rig.connect();
    ASSERT_TRUE(rig.monitor().titratorOnline());
    rig.session->serial().showCommError(13);
    EXPECT_EQ(rig.view.status, "Communication error 13");
    EXPECT_EQ(rig.view.statusColour, colour::kRed);
    EXPECT_TRUE(rig.session->serial().wasSerialError());
    const int before = rig.echoesSent();
    rig.monitor().checkLinkTimer(); // quiet during the pause
    EXPECT_EQ(rig.echoesSent(), before);
    rig.pump.now += Serial::kRecoveryMs;
    rig.monitor().checkLinkTimer();
    EXPECT_EQ(rig.echoesSent(), before + 1);
}

TEST(LinkSupervision, UserDisconnectKeepsTheLabelColour) {
    Rig rig;
    rig.connect();
    ASSERT_TRUE(rig.monitor().titratorIdentified());
    EXPECT_EQ(rig.view.labelColour, colour::kBlue);
    rig.session->disconnect();
    EXPECT_FALSE(rig.monitor().linkEnabled());
    EXPECT_FALSE(rig.session->serial().isPortOpen());
    EXPECT_EQ(rig.view.status, "Disconnected");
    EXPECT_EQ(rig.view.statusColour, colour::kBlue);
    EXPECT_EQ(rig.view.label, "No titrator");
    EXPECT_EQ(rig.view.labelColour, colour::kBlue); // red belongs to a lost link
}

TEST(LinkSupervision, NoCheckRunsWhileAnOperationHoldsTheLink) {
    Rig rig;
    rig.connect();
    Serial& serial = rig.session->serial();
    ASSERT_TRUE(serial.beginExchange());
    const int before = rig.echoesSent();
    rig.monitor().checkLinkTimer();
    EXPECT_EQ(rig.echoesSent(), before);
    serial.endExchange();
    EXPECT_EQ(rig.monitor().checkIntervalMs(), LinkMonitor::kFirstCheckMs);
}
