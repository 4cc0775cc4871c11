// The link supervision against the simulated titrator over a real
// pseudo-terminal: the simulator and the application agree on every model, and
// a line that goes deaf or hangs up is noticed. The supervision's own rules
// are tested on a virtual clock (LinkSupervisionTest).
#include "link/LinkMonitor.h"

#include "PcSide.h"
#include "RecordingView.h"
#include "TempDir.h"
#include "core/AuditLog.h"
#include "core/AuditTrail.h"
#include "core/Ini.h"
#include "core/Language.h"
#include "core/Numbers.h"
#include "core/Pump.h"
#include "link/DeviceSession.h"
#include "link/Serial.h"

#include <QElapsedTimer>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {

const char* const kBounds = "[Versions]\n"
                            "QX501_MIN=1.0\nQX501_MAX=9.99\nQX502_MIN=1.0\nQX502_MAX=9.99\n"
                            "QX503_MIN=1.0\nQX503_MAX=9.99\nQX504_MIN=1.0\nQX504_MAX=9.99\n"
                            "QX531_MIN=1.0\nQX531_MAX=9.99\nQX532_MIN=1.0\nQX532_MAX=9.99\n"
                            "QX533_MIN=1.0\nQX533_MAX=9.99\nQX534_MIN=1.0\nQX534_MAX=9.99\n";

struct Rig {
    TempDir dir;
    std::unique_ptr<simtest::SimProcess> sim;
    RecordingView view;
    std::unique_ptr<DeviceSession> session;

    explicit Rig(std::vector<std::string> simArgs)
        : sim(std::make_unique<simtest::SimProcess>(std::move(simArgs))) {
        setLanguageTable(supervisionTexts());
        DeviceSession::Config config;
        config.configPath = dir.write("config.ini", kBounds);
        config.periodicLinkCheck = false; // the tests run the checks themselves
        session = std::make_unique<DeviceSession>(view, view, defaultPump(), config);
        monitor().setStatusComPort(4);
    }
    LinkMonitor& monitor() { return session->monitor(); }
    // Connects port 4 to whichever simulator runs now.
    void connect() {
        writeIniString(dir.path() / "config.ini", "Ports", "4", sim->pty());
        session->connect(4, 19200);
    }
};

struct Expected {
    const char* model;
    int typeCode, titType;
    ModelCode code;
    SeriesCode series;
    const char* firmware;
    const char* methods;
    const char* sequence;
};

} // namespace

TEST(LinkIdentify, EveryModelIsIdentifiedWithItsFolders) {
    const Expected cases[] = {
        {"QX501", 1, 0, ModelCode::QX501, SeriesCode::QX50x, "3.00", "\\QX501\\methods\\", ""},
        {"QX502", 2, 1, ModelCode::QX502C, SeriesCode::QX50x, "3.00", "\\QX502\\methods\\",
         "\\QX502\\sequence\\"},
        {"QX502", 2, 1, ModelCode::QX502B, SeriesCode::QX50x, "2.10", "\\QX502\\methods\\",
         "\\QX502\\sequence\\"},
        {"QX502", 2, 1, ModelCode::QX502, SeriesCode::QX50x, "1.50", "\\methods\\", ""},
        {"QX503", 3, 2, ModelCode::QX503, SeriesCode::QX50x, "3.00", "\\QX503\\methods\\", ""},
        {"QX504", 4, 3, ModelCode::QX504, SeriesCode::QX50x, "3.00", "\\QX504\\methods\\", ""},
        {"QX531", 31, 0, ModelCode::QX531, SeriesCode::QX53x, "3.00", "\\QX531\\methods\\", ""},
        {"QX532", 32, 1, ModelCode::QX502C, SeriesCode::QX53x, "3.00", "\\QX532\\methods\\",
         "\\QX532\\sequence\\"},
        {"QX533", 33, 2, ModelCode::QX533, SeriesCode::QX53x, "3.00", "\\QX533\\methods\\", ""},
        {"QX534", 34, 3, ModelCode::QX534, SeriesCode::QX53x, "3.00", "\\QX534\\methods\\", ""},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(std::string(e.model) + " " + e.firmware);
        Rig rig({"--model", e.model, "--firmware", e.firmware});
        rig.connect();
        ASSERT_TRUE(rig.monitor().titratorOnline()) << rig.view.status;
        ASSERT_TRUE(rig.monitor().titratorIdentified());
        const TitratorIdentity& id = rig.monitor().identity();
        EXPECT_EQ(id.typeCode, e.typeCode);
        EXPECT_EQ(id.titType, e.titType);
        EXPECT_EQ(id.modelCode, e.code);
        EXPECT_EQ(id.seriesCode, e.series);
        EXPECT_FLOAT_EQ(id.firmwareVersion, static_cast<float>(num::leadingNumber(e.firmware)));
        EXPECT_EQ(id.currentModelName, e.model);
        EXPECT_EQ(rig.monitor().folders().methodsPath, e.methods);
        EXPECT_EQ(rig.monitor().folders().sequencePath, e.sequence);
        // The end of the identification exchange clears the status bar; the next check fills it.
        EXPECT_EQ(rig.view.status, "");
        rig.monitor().checkLinkTimer();
        EXPECT_EQ(rig.view.status, "Online - COM 4");
        EXPECT_EQ(rig.view.statusColour, colour::kGreen);
        EXPECT_EQ(rig.view.label, std::string("Titrator ") + e.model);
        EXPECT_EQ(rig.view.identifiedCalls, 1);
        EXPECT_TRUE(rig.view.active);
        EXPECT_FALSE(rig.session->serial().isSerialBusy());
    }
}

TEST(LinkLoss, ALostLinkComesBackAndIsIdentifiedAgain) {
    // Connect and identify (three commands), then the line goes deaf.
    Rig rig({"--model", "QX534", "--deaf-after", "3"});
    rig.connect();
    ASSERT_TRUE(rig.monitor().titratorIdentified());
    EXPECT_EQ(rig.view.identifiedCalls, 1);
    rig.monitor().checkLinkTimer();
    EXPECT_FALSE(rig.monitor().titratorOnline());
    EXPECT_FALSE(rig.monitor().titratorIdentified());
    EXPECT_EQ(rig.view.status, "Offline - COM:4");
    EXPECT_EQ(rig.view.statusColour, colour::kRed);
    EXPECT_GT(rig.view.titListCleared, 0);

    // Another titrator answers on the port: connecting identifies it afresh.
    rig.sim = std::make_unique<simtest::SimProcess>(std::vector<std::string>{"--model", "QX533"});
    rig.connect();
    ASSERT_TRUE(rig.monitor().titratorIdentified());
    EXPECT_EQ(rig.monitor().identity().typeCode, 33);
    EXPECT_EQ(rig.view.identifiedCalls, 2);
}

TEST(LinkLoss, AHangUpTakesTheVanishedDeviceBranch) {
    Rig rig({"--model", "QX531", "--hangup-after", "4"});
    rig.connect();
    ASSERT_TRUE(rig.monitor().titratorIdentified());
    rig.monitor().checkLinkTimer(); // the fourth command, answered; then the line closes
    rig.monitor().checkLinkTimer();
    EXPECT_FALSE(rig.monitor().linkEnabled());
    EXPECT_FALSE(rig.monitor().titratorIdentified());
    EXPECT_EQ(rig.view.vanishedCalls, 1);
    EXPECT_EQ(rig.view.status, "Offline - COM:4");
}

TEST(LinkAudit, ConnectIdentificationALostLinkAndDisconnectAreRecordedInOrder) {
    Rig rig({"--model", "QX534", "--deaf-after", "3"});
    const auto log = rig.dir.path() / AuditLog::kFileName;
    setAuditLog(std::make_unique<AuditLog>(log, "veltran"));
    rig.connect();
    rig.monitor().checkLinkTimer(); // deaf: the link is lost
    rig.sim = std::make_unique<simtest::SimProcess>(std::vector<std::string>{"--model", "QX533"});
    rig.connect();
    rig.session->disconnect();
    rig.session->disconnect(); // nothing is connected any more
    setAuditLog(nullptr);

    std::vector<std::string> events;
    AuditVerdict verdict;
    std::string error;
    ASSERT_TRUE(scanAuditLog(log, verdict, error, [&](auto, auto, const AuditLine* l) {
        const AuditEvent& e = l->event;
        events.push_back(e.operation + " " + e.result + " " + e.titrator + " " + e.firmware);
        if (e.operation == audit::kConnect) {
            EXPECT_EQ(e.port.rfind("COM4 /dev/", 0), 0u) << e.port;
        }
    }));
    EXPECT_TRUE(verdict.intact());
    const std::vector<std::string> expected = {
        "create ok  ",
        "connect ok  ",
        "identify ok QX534 3.00",
        "link-lost failed QX534 3.00",
        "connect ok  ",
        "identify ok QX533 3.00",
        "disconnect ok QX533 3.00",
    };
    EXPECT_EQ(events, expected);
}
