// The link supervision against the simulated titrator over a real pseudo-terminal.
#include "link/LinkMonitor.h"

#include "PcSide.h"
#include "TempDir.h"
#include "core/Language.h"
#include "core/Pump.h"
#include "link/LinkView.h"
#include "link/QtSerialPort.h"
#include "link/Serial.h"
#include "link/SerialHost.h"

#include <QElapsedTimer>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>

namespace {

LanguageTable testTexts() {
    LanguageTable t;
    t[311] = "Online";
    t[312] = "Offline";
    t[330] = "Communication error %v";
    t[348] = "Please wait";
    t[424] = "No titrator";
    t[432] = "The program ends.";
    t[623] = "Titrator";
    t[630] = "Firmware";
    t[631] = "Program %v cannot work with firmware %v";
    t[632] = "Firmware too new";
    t[633] = "Firmware too old";
    t[979] = "Invalid port";
    t[984] = "Disconnected";
    return t;
}

// A window stand-in that remembers what it was told.
struct RecordingView : LinkView, SerialHost {
    LinkMonitor* monitor = nullptr;
    std::string status, label;
    uint32_t statusColour = 0, labelColour = 0;
    bool errorPending = false, active = true;
    int identifiedCalls = 0, vanishedCalls = 0, titListCleared = 0;
    std::string refusedTitle, refusedText;

    void showMessage(const std::string& t, uint32_t c, int) override {
        status = t, statusColour = c;
    }
    void setStatusBar(const std::string& t, uint32_t c) override { status = t, statusColour = c; }
    bool statusErrorPending() const override { return errorPending; }
    void clearStatusError() override { errorPending = false; }
    void setTitratorLabel(const std::string& t, uint32_t c) override { label = t, labelColour = c; }
    void clearTitratorList() override { ++titListCleared; }
    void setActive(bool enabled) override { active = enabled; }
    void linkStateChanged() override {}
    void titratorIdentified() override { ++identifiedCalls; }
    void tickComPort(int) override {}
    void portDeviceVanished() override { ++vanishedCalls; }
    void firmwareRefused(const std::string& title, const std::string& text) override {
        refusedTitle = title, refusedText = text;
    }
    void statusMessage(const std::string& t, uint32_t c, int) override {
        status = t, statusColour = c;
    }
    void portError(const std::string& t) override { status = t, errorPending = true; }
    void busyChanged(bool busy) override {
        if (monitor)
            monitor->busyChanged(busy);
    }
    void transferStarted(const std::string&, bool) override {}
    void transferProgress(double, bool) override {}
    void runtimeError(int, const std::string&, const std::string&) override {}
    void waitCursor(bool) override {}
};

const char* const kBounds = "[Versions]\n"
                            "QX501_MIN=1.0\nQX501_MAX=9.99\nQX502_MIN=1.0\nQX502_MAX=9.99\n"
                            "QX503_MIN=1.0\nQX503_MAX=9.99\nQX504_MIN=1.0\nQX504_MAX=9.99\n"
                            "QX531_MIN=1.0\nQX531_MAX=9.99\nQX532_MIN=1.0\nQX532_MAX=9.99\n"
                            "QX533_MIN=1.0\nQX533_MAX=9.99\nQX534_MIN=1.0\nQX534_MAX=9.99\n";

struct Rig {
    TempDir dir;
    std::unique_ptr<simtest::SimProcess> sim;
    QtSerialPort port;
    RecordingView view;
    Serial serial;
    LinkMonitor monitor;

    explicit Rig(std::vector<std::string> simArgs, const std::string& config = kBounds)
        : sim(std::make_unique<simtest::SimProcess>(std::move(simArgs))),
          serial(port, defaultPump(), view, [this](int) { return sim->pty(); }),
          monitor(serial, view, writeConfig(config)) {
        setLanguageTable(testTexts());
        view.monitor = &monitor;
        monitor.checkLink().stop(); // the tests run the checks themselves
        monitor.setStatusComPort(4);
    }
    std::filesystem::path writeConfig(const std::string& text) {
        const auto p = dir.path() / "config.ini";
        std::ofstream(p) << text;
        return p;
    }
    void connect() {
        monitor.titratorConnect(4, 19200);
        monitor.checkLink().stop();
    }
};

struct Expected {
    const char* model;
    int typeCode, titType;
    ModelCode code;
    SeriesCode series;
    const char* methods;
    const char* sequence;
};

} // namespace

TEST(LinkIdentify, EveryModelIsIdentifiedWithItsFolders) {
    const Expected cases[] = {
        {"QX501", 1, 0, ModelCode::QX501, SeriesCode::QX50x, "\\QX501\\methods\\", ""},
        {"QX502", 2, 1, ModelCode::QX502C, SeriesCode::QX50x, "\\QX502\\methods\\",
         "\\QX502\\sequence\\"},
        {"QX503", 3, 2, ModelCode::QX503, SeriesCode::QX50x, "\\QX503\\methods\\", ""},
        {"QX504", 4, 3, ModelCode::QX504, SeriesCode::QX50x, "\\QX504\\methods\\", ""},
        {"QX531", 31, 0, ModelCode::QX531, SeriesCode::QX53x, "\\QX531\\methods\\", ""},
        {"QX532", 32, 1, ModelCode::QX502C, SeriesCode::QX53x, "\\QX532\\methods\\",
         "\\QX532\\sequence\\"},
        {"QX533", 33, 2, ModelCode::QX533, SeriesCode::QX53x, "\\QX533\\methods\\", ""},
        {"QX534", 34, 3, ModelCode::QX534, SeriesCode::QX53x, "\\QX534\\methods\\", ""},
    };
    for (const Expected& e : cases) {
        Rig rig({"--model", e.model, "--firmware", "3.00"});
        rig.connect();
        ASSERT_TRUE(rig.monitor.titratorOnline()) << e.model << " " << rig.view.status;
        ASSERT_TRUE(rig.monitor.titratorIdentified()) << e.model;
        const TitratorIdentity& id = rig.monitor.identity();
        EXPECT_EQ(id.typeCode, e.typeCode) << e.model;
        EXPECT_EQ(id.titType, e.titType) << e.model;
        EXPECT_EQ(id.modelCode, e.code) << e.model;
        EXPECT_EQ(id.seriesCode, e.series) << e.model;
        EXPECT_FLOAT_EQ(id.firmwareVersion, 3.0f) << e.model;
        EXPECT_EQ(id.currentModelName, e.model);
        EXPECT_EQ(rig.monitor.folders().methodsPath, e.methods);
        EXPECT_EQ(rig.monitor.folders().sequencePath, e.sequence);
        // The end of the identification exchange clears the status bar; the next check fills it.
        EXPECT_EQ(rig.view.status, "");
        rig.monitor.checkLinkTimer();
        EXPECT_EQ(rig.view.status, "Online - COM 4");
        EXPECT_EQ(rig.view.statusColour, colour::kGreen);
        EXPECT_EQ(rig.view.label, std::string("Titrator ") + e.model);
        EXPECT_EQ(rig.view.identifiedCalls, 1);
        EXPECT_TRUE(rig.view.active);
        EXPECT_FALSE(rig.serial.isSerialBusy());
    }
}

TEST(LinkIdentify, Qx502FirmwareDecidesFoldersAndModelCode) {
    struct Case {
        const char* firmware;
        ModelCode code;
        const char* methods;
        const char* reports;
    } cases[] = {{"1.50", ModelCode::QX502, "\\methods\\", "\\reports\\"},
                 {"2.10", ModelCode::QX502B, "\\QX502\\methods\\", "\\QX502\\reports\\"},
                 {"3.00", ModelCode::QX502C, "\\QX502\\methods\\", "\\QX502\\reports\\"}};
    for (const Case& c : cases) {
        Rig rig({"--model", "QX502", "--firmware", c.firmware});
        rig.connect();
        ASSERT_TRUE(rig.monitor.titratorIdentified()) << c.firmware;
        EXPECT_EQ(rig.monitor.identity().modelCode, c.code) << c.firmware;
        EXPECT_EQ(rig.monitor.folders().methodsPath, c.methods) << c.firmware;
        EXPECT_EQ(rig.monitor.folders().reportsPath, c.reports) << c.firmware;
    }
}

TEST(LinkIdentify, NonNumericVersionReadsAsZeroWithTheModelFolders) {
    Rig rig({"--model", "QX501", "--firmware", "beta"});
    rig.connect();
    EXPECT_EQ(rig.monitor.identity().typeCode, 1);
    EXPECT_FLOAT_EQ(rig.monitor.identity().firmwareVersion, 0.0f);
    EXPECT_EQ(rig.monitor.folders().methodsPath, "\\QX501\\methods\\");
    // A version text is there, so the bounds apply: 0 is below the minimum.
    EXPECT_EQ(rig.view.refusedTitle, "Firmware");
    EXPECT_FALSE(rig.monitor.titratorIdentified());
}

TEST(LinkIdentify, FirmwareBoundsAreInclusiveAndAMissingMaximumRefuses) {
    {
        Rig rig({"--model", "QX503", "--firmware", "2.50"},
                "[Versions]\nQX503_MIN=2.5\nQX503_MAX=2.5\n");
        rig.connect();
        EXPECT_TRUE(rig.monitor.titratorIdentified());
        EXPECT_TRUE(rig.view.refusedText.empty());
    }
    {
        Rig rig({"--model", "QX503", "--firmware", "2.50"},
                "[Versions]\nQX503_MIN=3.0\nQX503_MAX=9\n");
        rig.connect();
        EXPECT_FALSE(rig.monitor.titratorIdentified());
        EXPECT_TRUE(rig.monitor.firmwareRefused());
        EXPECT_EQ(rig.view.refusedText, "Program 1.0 cannot work with firmware 2.50\r\n"
                                        "Firmware too old\r\nThe program ends.");
        EXPECT_EQ(rig.view.identifiedCalls, 0);
    }
    {
        Rig rig({"--model", "QX503", "--firmware", "2.50"}, "[Versions]\nQX503_MIN=1.0\n");
        rig.connect();
        EXPECT_NE(rig.view.refusedText.find("Firmware too new"), std::string::npos);
    }
}

TEST(LinkLoss, NoAnswerTakesTheWindowOfflineAfterFiveEchoes) {
    // A titrator that says nothing for far longer than the five echo waits.
    Rig rig({"--model", "QX502", "--stall", "20000", "--stall-at", "1"});
    QElapsedTimer t;
    t.start();
    rig.connect();
    EXPECT_GE(t.elapsed(), 4500); // five one-second echo waits
    EXPECT_FALSE(rig.monitor.titratorOnline());
    EXPECT_FALSE(rig.monitor.linkEnabled());
    EXPECT_EQ(rig.view.status, "Offline - COM:4");
    EXPECT_EQ(rig.view.statusColour, colour::kRed);
    EXPECT_EQ(rig.view.label, "No titrator");
}

TEST(LinkLoss, ALostLinkComesBackAndIsIdentifiedAgain) {
    // Connect and identify (three commands), then the line goes deaf.
    Rig rig({"--model", "QX534", "--deaf-after", "3"});
    rig.connect();
    ASSERT_TRUE(rig.monitor.titratorIdentified());
    EXPECT_EQ(rig.view.identifiedCalls, 1);
    rig.monitor.checkLinkTimer();
    EXPECT_FALSE(rig.monitor.titratorOnline());
    EXPECT_FALSE(rig.monitor.titratorIdentified());
    EXPECT_EQ(rig.view.status, "Offline - COM:4");
    EXPECT_EQ(rig.view.statusColour, colour::kRed);
    EXPECT_GT(rig.view.titListCleared, 0);

    // Another titrator answers on the port: connecting identifies it afresh.
    rig.sim = std::make_unique<simtest::SimProcess>(std::vector<std::string>{"--model", "QX533"});
    rig.connect();
    ASSERT_TRUE(rig.monitor.titratorIdentified());
    EXPECT_EQ(rig.monitor.identity().typeCode, 33);
    EXPECT_EQ(rig.view.identifiedCalls, 2);
}

TEST(LinkLoss, AHangUpTakesTheVanishedDeviceBranch) {
    Rig rig({"--model", "QX531", "--hangup-after", "4"});
    rig.connect();
    ASSERT_TRUE(rig.monitor.titratorIdentified());
    rig.monitor.checkLinkTimer(); // the fourth command, answered; then the line closes
    rig.monitor.checkLinkTimer();
    EXPECT_FALSE(rig.monitor.linkEnabled());
    EXPECT_FALSE(rig.monitor.titratorIdentified());
    EXPECT_EQ(rig.view.vanishedCalls, 1);
    EXPECT_EQ(rig.view.status, "Offline - COM:4");
}

TEST(LinkErrors, CommunicationErrorSilencesTheLinkCheck) {
    Rig rig({"--model", "QX502"});
    rig.connect();
    ASSERT_TRUE(rig.monitor.titratorOnline());
    rig.serial.showCommError(13);
    EXPECT_EQ(rig.view.status, "Communication error 13");
    EXPECT_EQ(rig.view.statusColour, colour::kRed);
    EXPECT_TRUE(rig.serial.wasSerialError());
    EXPECT_TRUE(rig.serial.isRecovering());
    rig.view.status.clear();
    rig.monitor.checkLinkTimer(); // quiet during the pause
    EXPECT_EQ(rig.view.status, "");
}

TEST(LinkConnect, UserDisconnectShowsDisconnected) {
    Rig rig({"--model", "QX502"});
    rig.connect();
    ASSERT_TRUE(rig.monitor.titratorOnline());
    rig.monitor.titratorDisconnect(1);
    EXPECT_FALSE(rig.monitor.linkEnabled());
    EXPECT_FALSE(rig.serial.isPortOpen());
    EXPECT_EQ(rig.view.status, "Disconnected");
    EXPECT_EQ(rig.view.statusColour, colour::kBlue);
    EXPECT_EQ(rig.view.label, "No titrator");
}
