// The upgrade procedure against an in-memory titrator on a virtual clock.
#include "upgrade/UpgradeProcedure.h"

#include "LibraryEnv.h"
#include "RecordingHost.h"
#include "RecordingSerialHost.h"
#include "ScriptedPeer.h"
#include "TempDir.h"
#include "VirtualPump.h"
#include "core/Language.h"
#include "link/Frame.h"
#include "link/Serial.h"

#include <gtest/gtest.h>
#include <map>
#include <stdexcept>

namespace {

using Outcome = UpgradeProcedure::Outcome;

constexpr UpgradeControls kIdle{};
constexpr UpgradeControls kTransferring{false, false, false, true, true};
const char* const kGoodName = "50231096.upg"; // name checksum of "502310" is 96
const char* const kPut = "put C:\\UPGRADE\\upgrade.exe";

struct RecordingUpgradeView : UpgradeView {
    UpgradeControls controls;
    std::vector<int> progress{0};
    std::string device;
    int closed = 0;
    std::function<void(int)> onProgress;

    void setControls(const UpgradeControls& c) override { controls = c; }
    void showDevice(const std::string& d) override { device = d; }
    void showFile(const std::filesystem::path&) override {}
    void showProgress(int percent) override {
        progress.push_back(percent);
        if (onProgress)
            onProgress(percent);
    }
    void closeWindow() override { ++closed; }
};

std::string image(std::size_t size) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 37 + 11) & 0xFF);
    return s;
}

enum class Reply { Normal, NoAck, NoAnswer };

class Upgrade : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static LanguageTable texts;
        for (int n : {208, 389, 390, 394, 395, 653})
            texts[n] = "T" + std::to_string(n);
        texts[330] = "Communication error %v";
        texts[189] = "T189 %v";
        texts[191] = "T191 %v";
        texts[350] = "Run-time error %v: %v";
        setLanguageTable(texts);
    }

    void SetUp() override {
        serial.setClock([this] { return pump.now; });
        ASSERT_TRUE(serial.openPort(1, 19200));
        peer.answerFor = [this](const std::string& c) -> std::optional<std::vector<std::string>> {
            commands.push_back(c);
            const std::string word = c.substr(0, c.find(' '));
            if (onCommand)
                onCommand(word);
            const Reply reply = replies.count(word) ? replies[word] : Reply::Normal;
            if (reply == Reply::NoAck)
                return std::nullopt;
            if (reply == Reply::NoAnswer || word == "put")
                return std::vector<std::string>{};
            if (word == "info")
                return framesFor(info);
            if (word == "upgcs")
                return framesFor(c.substr(c.find(' ') + 1));
            if (word == "upgcheck")
                return framesFor(verdict);
            return std::nullopt;
        };
    }

    void choose(const std::string& name, const std::string& content) {
        procedure.chooseFile(dir.write(name, content));
    }
    bool sent(const std::string& command) const {
        return std::find(commands.begin(), commands.end(), command) != commands.end();
    }
    // Nothing may stay held, whatever the outcome.
    void expectLinkReleased() {
        EXPECT_EQ(serial.holdDepth(), 0);
        EXPECT_TRUE(serialHost.busy.empty() || !serialHost.busy.back());
    }

    VirtualPump pump;
    ScriptedPeer peer{pump};
    RecordingSerialHost serialHost;
    RecordingHost host;
    RecordingUpgradeView view;
    TempDir dir;
    LibraryEnv library;
    Serial serial{peer, pump, serialHost, [](int) { return std::string("/dev/fake"); }};
    UpgradeProcedure procedure{serial, host, view};
    std::string info = "QX502 I502v3.00 S/N 0412";
    std::string verdict = "ok";
    std::map<std::string, Reply> replies;
    std::function<void(const std::string& word)> onCommand;
    std::vector<std::string> commands;
};

TEST_F(Upgrade, AcceptedFileGoesWholeToTheUpgradeFolderAndTheWindowCloses) {
    // The announced checksum is the low 16 bits as a signed number.
    const std::pair<std::string, const char*> cases[] = {{"123456789", "upgcs 10673"},
                                                         {"firmware", "upgcs -16422"}};
    for (const auto& [content, upgcs] : cases) {
        commands.clear();
        peer.framesIn.clear();
        choose(kGoodName, content);
        EXPECT_EQ(procedure.upgrade(), Outcome::Accepted);
        EXPECT_EQ(commands, (std::vector<std::string>{"info ", upgcs, kPut, "upgcheck "}));
        EXPECT_EQ(peer.receivedFile(), content);
        EXPECT_EQ(view.progress.back(), 100);
        EXPECT_EQ(view.controls, kIdle);
        expectLinkReleased();
    }
    EXPECT_EQ(view.closed, 2);
    EXPECT_TRUE(host.messages.empty());
    // One hold over the whole procedure: the link check never ran in between.
    EXPECT_EQ(serialHost.busy, (std::vector<bool>{true, false, true, false}));
}

TEST_F(Upgrade, UnusableFilesAreRefusedBeforeAnyTraffic) {
    struct Case {
        std::string name, content;
        const char* library;
        const char* message;
        Outcome outcome;
    };
    const std::string kMissingLibrary = "/nonexistent/libsumval.so";
    const Case cases[] = {
        {"", "", LibraryEnv::kBuilt, "T390", Outcome::Refused},
        {"50231097.upg", "firmware", LibraryEnv::kBuilt, "T395", Outcome::Refused},
        {"5023.upg", "firmware", LibraryEnv::kBuilt, "T395", Outcome::Refused}, // too short
        {kGoodName, "", LibraryEnv::kBuilt, "T191", Outcome::Refused},
        {"missing/" + std::string(kGoodName), "-", LibraryEnv::kBuilt, "T189", Outcome::Refused},
        {kGoodName, "firmware", kMissingLibrary.c_str(), "could not be loaded", Outcome::Failed},
    };
    for (const Case& c : cases) {
        LibraryEnv::set(std::string(c.library));
        host.messages.clear();
        if (c.name.empty())
            procedure.chooseFile({});
        else if (c.content == "-")
            procedure.chooseFile(dir.path() / c.name);
        else
            choose(c.name, c.content);
        EXPECT_EQ(procedure.upgrade(), c.outcome) << c.name;
        ASSERT_EQ(host.messages.size(), 1u) << c.name;
        EXPECT_NE(host.messages[0].text.find(c.message), std::string::npos)
            << host.messages[0].text;
        EXPECT_EQ(view.controls, kIdle);
    }
    EXPECT_TRUE(peer.written.empty());
    EXPECT_TRUE(serialHost.busy.empty());
}

TEST_F(Upgrade, FileForAnotherModelIsRefusedAfterInfoAlone) {
    choose(kGoodName, "firmware");
    for (const char* answer : {"QX503 I503v3.00 S/N 0412", "QX502 S/N 0412", "QX502 I50v3.00"}) {
        info = answer;
        commands.clear();
        host.messages.clear();
        EXPECT_EQ(procedure.upgrade(), Outcome::Refused) << answer;
        EXPECT_EQ(commands, std::vector<std::string>{"info "});
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].text, "T394");
        EXPECT_EQ(host.messages[0].icon, Host::Icon::Warning);
        EXPECT_EQ(view.controls, kIdle);
        expectLinkReleased();
    }
}

TEST_F(Upgrade, RejectedVerdictResetsProgressAndWaitsForAbort) {
    verdict = "checksum error";
    choose(kGoodName, image(700));
    EXPECT_EQ(procedure.upgrade(), Outcome::Rejected);
    EXPECT_EQ(procedure.verdict(), "checksum error");
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].text, "T389");
    EXPECT_EQ(view.progress.back(), 0);
    EXPECT_EQ(view.closed, 0);
    EXPECT_EQ(view.controls, kTransferring);
    expectLinkReleased();
    procedure.abort();
    EXPECT_EQ(view.controls, kIdle);
    EXPECT_FALSE(procedure.upgradeRunning());
}

TEST_F(Upgrade, CommunicationErrorsEndTheProcedureWithTheirCodes) {
    struct Case {
        const char* word;
        Reply reply;
        int code;
    };
    const Case cases[] = {{"info", Reply::NoAck, 3},     {"info", Reply::NoAnswer, 4},
                          {"upgcs", Reply::NoAck, 3},    {"upgcs", Reply::NoAnswer, 4},
                          {"put", Reply::NoAck, 9},      {"frames", Reply::NoAnswer, 10},
                          {"upgcheck", Reply::NoAck, 3}, {"upgcheck", Reply::NoAnswer, 4}};
    const std::vector<std::string> order{"info", "upgcs", "put", "frames", "upgcheck"};
    choose(kGoodName, image(300));
    for (const Case& c : cases) {
        replies = {{c.word, c.reply}};
        peer.echoFor = [&](const std::string& f, int) {
            return c.word == std::string("frames") && frame::getType(f) == "p" ? std::string()
                                                                               : frame::header(f);
        };
        commands.clear();
        procedure.abort(); // back to idle after the last case
        EXPECT_EQ(procedure.upgrade(), Outcome::LinkFailed) << c.word;
        ASSERT_FALSE(serialHost.statuses.empty());
        EXPECT_EQ(serialHost.statuses.back().text, "Communication error " + std::to_string(c.code))
            << c.word;
        // Nothing after the failed step went out.
        const auto failed = std::find(order.begin(), order.end(), c.word);
        for (auto later = failed + 1; later != order.end(); ++later)
            for (const std::string& sentLine : commands)
                EXPECT_NE(sentLine.rfind(*later, 0), 0u) << c.word << " then " << sentLine;
        // A failed transfer phase leaves the window waiting for Abort.
        EXPECT_EQ(procedure.upgradeRunning(), c.word != std::string("info")) << c.word;
        expectLinkReleased();
        pump.now += Serial::kRecoveryMs;
    }
}

TEST_F(Upgrade, AbortEndsTheProcedureAtEveryStepAndNothingElseStarts) {
    // Where the user presses Abort: while a command waits for its answer, or
    // while a given block goes out (the last one: the transfer itself completes).
    struct Case {
        const char* word;  // the command during which Abort is pressed, or
        const char* block; // the frame header
    };
    const Case cases[] = {{"upgcs", ""}, {"put", ""}, {"", "\\p0001"}, {"", "\\p0002"}};
    choose(kGoodName, image(700)); // three blocks
    for (const Case& c : cases) {
        commands.clear();
        std::vector<Outcome> intruders;
        const auto pressAbort = [&] {
            procedure.abort();
            // The buttons come back only when the procedure has ended.
            EXPECT_FALSE(view.controls.upgrade || view.controls.selectFile ||
                         view.controls.getSoftwareVersion || view.controls.abortEnabled);
            intruders.push_back(procedure.upgrade()); // the Upgrade button's click, re-entered
            procedure.getSoftwareVersion();
        };
        onCommand = [&](const std::string& word) {
            if (word == c.word)
                pressAbort();
        };
        peer.onFrame = [&](const std::string& f) {
            if (frame::header(f) == c.block)
                pressAbort();
        };
        EXPECT_EQ(procedure.upgrade(), Outcome::Aborted) << c.word << c.block;
        EXPECT_EQ(intruders, std::vector<Outcome>{Outcome::Ignored});
        EXPECT_FALSE(sent("upgcheck ")) << c.word << c.block;
        EXPECT_EQ(std::count(commands.begin(), commands.end(), "info "), 1);
        if (c.word == std::string("upgcs")) {
            EXPECT_FALSE(sent(kPut));
        }
        EXPECT_EQ(view.progress.back(), 0);
        EXPECT_EQ(view.controls, kIdle);
        EXPECT_FALSE(procedure.upgradeRunning());
        EXPECT_TRUE(serial.isRecovering()); // the titrator gets its settling pause
        expectLinkReleased();
        pump.now += Serial::kRecoveryMs;
        peer.answer.clear(); // in which it gives up an answer nobody took
        peer.startSending();
    }
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(Upgrade, UnexpectedErrorIsReportedAndTheWindowGoesIdle) {
    view.onProgress = [](int percent) {
        if (percent > 0)
            throw std::runtime_error("the display failed");
    };
    choose(kGoodName, image(700));
    EXPECT_EQ(procedure.upgrade(), Outcome::Failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].text.find("the display failed"), std::string::npos);
    EXPECT_FALSE(sent("upgcheck "));
    view.onProgress = nullptr;
    EXPECT_EQ(view.controls, kIdle);
    EXPECT_FALSE(procedure.upgradeRunning());
    expectLinkReleased();
    // And the next upgrade runs.
    pump.now += Serial::kRecoveryMs;
    EXPECT_EQ(procedure.upgrade(), Outcome::Accepted);
}

TEST_F(Upgrade, SoftwareVersionShowsTheTrimmedAnswerOrTheErrorCode) {
    const std::tuple<Reply, const char*, const char*> cases[] = {
        {Reply::Normal, "QX502 I502v3.00 S/N 0412", ""},
        {Reply::NoAck, "", "Communication error 3"},
        {Reply::NoAnswer, "", "Communication error 4"}};
    info = "  QX502 I502v3.00 S/N 0412 ";
    for (const auto& [reply, device, status] : cases) {
        replies = {{"info", reply}};
        view.device.clear();
        serialHost.statuses.clear();
        procedure.getSoftwareVersion();
        EXPECT_EQ(view.device, device);
        EXPECT_EQ(serialHost.statuses.empty() ? "" : serialHost.statuses.back().text, status);
        EXPECT_TRUE(view.controls.getSoftwareVersion);
        expectLinkReleased();
        pump.now += Serial::kRecoveryMs;
    }
}

} // namespace
