// The file-rule queries and the copy's reaction to them on an in-memory
// titrator and a virtual clock: time-outs of seconds cost nothing here.
#include "FileRig.h"
#include "ScriptedPeer.h"
#include "VirtualPump.h"
#include "core/FileTypes.h"
#include "files/DeviceFiles.h"
#include "files/FileChecks.h"
#include "link/Frame.h"
#include "link/Port.h"

#include <gtest/gtest.h>
#include <map>

namespace {

using Answer = std::optional<std::vector<std::string>>;

// A QX502 that answers each command word from a table; a missing word gets no "ACK".
struct PeerRig {
    TempDir dir;
    VirtualPump pump;
    ScriptedPeer* peer = nullptr;
    RecordingView view;
    RecordingHost host;
    filetest::ScriptedReplace replace;
    filetest::RecordingProgress progress;
    std::unique_ptr<DeviceSession> session;
    std::map<std::string, std::string> answers; // word -> framed text ("" = ACK only)
    std::vector<std::string> commands;

    PeerRig() {
        filetest::loadEnglish();
        answers = {{"echo", ""}, {"ver 4", "QX502 S/N 1"}, {"ver 0", "V3.00 2026-01-15"}};
        auto port = std::make_unique<ScriptedPeer>(pump);
        peer = port.get();
        peer->answerFor = [this](const std::string& c) -> Answer {
            commands.push_back(c);
            auto it = answers.find(c);
            if (it == answers.end())
                it = answers.find(c.substr(0, c.find(' ')));
            if (it == answers.end())
                return std::nullopt;
            return it->second.empty() ? std::vector<std::string>{} : framesFor(it->second);
        };
        DeviceSession::Config config;
        config.configPath = dir.write("config.ini", "[Versions]\nQX502_MIN=1\nQX502_MAX=9\n");
        config.periodicLinkCheck = false;
        session = std::make_unique<DeviceSession>(view, view, pump, config, std::move(port));
        session->serial().setClock([this] { return pump.now; });
    }
    bool connect() {
        session->connect(4, 19200);
        commands.clear();
        return session->monitor().titratorIdentified();
    }
    devfiles::FileLink link() { return {*session, host, progress}; }
};

} // namespace

TEST(FileRulePeer, QueriesAreTrimmedAndAFailedOneIsNoAnswer) {
    struct Case {
        const char* what;
        std::map<std::string, std::string> answers;
        bool ok;
        int status;
        const char* shown; // the status bar after the queries
    } cases[] = {
        {"all fine",
         {{"checkFileName", " 1\r\n"}, {"existFile", "0"}, {"getFreeFiles", " 12 "}},
         true,
         0,
         ""},
        {"every bit",
         {{"checkFileName", "0"}, {"existFile", "1 "}, {"getFreeFiles", "0"}},
         true,
         7,
         ""},
        {"existFile refused",
         {{"checkFileName", "1"}, {"getFreeFiles", "3"}},
         false,
         0,
         "Communication error 3"},
        {"garbled count",
         {{"checkFileName", "1"}, {"existFile", "0"}, {"getFreeFiles", "many"}},
         false,
         0,
         "Communication error 4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PeerRig rig;
        ASSERT_TRUE(rig.connect());
        rig.answers.insert(c.answers.begin(), c.answers.end());
        auto link = rig.link();
        int status = -1;
        EXPECT_EQ(devfiles::checkFileSending(link, 4, "TI_1.RPT", status), c.ok);
        if (c.ok) {
            EXPECT_EQ(status, c.status);
        }
        EXPECT_EQ(rig.view.status, c.shown);
        EXPECT_EQ(rig.commands.front(), "checkFileName 4 TI_1.RPT");
        EXPECT_FALSE(rig.session->serial().isSerialBusy());
    }
}

TEST(FileRulePeer, AFileWhoseQueryFailedIsSkippedAndTheNextOneGoes) {
    PeerRig rig;
    ASSERT_TRUE(rig.connect());
    rig.answers.insert({{"checkFileName 10 SEQ0001.MTD", "1"},
                        {"checkFileName 10 SEQ0002.MTD", "1"},
                        {"existFile 10 SEQ0002.MTD", "0"},
                        {"getFreeFiles", "5"},
                        {"put", ""},
                        {"reloadMethods", ""},
                        {"extdir", "SEQ0002.MTD 7 x\r\n"}});
    for (const char* n : {"SEQ0001.MTD", "SEQ0002.MTD"})
        rig.dir.write(std::string("pc/") + n, "NAM A\r\n");
    devfiles::CopyRequest r;
    r.fileType = ftype::kSequences;
    r.pcFolder = rig.dir.path() / "pc";
    r.selected = {{"SEQ0001.MTD", "SEQ0001.MTD"}, {"SEQ0002.MTD", "SEQ0002.MTD"}};
    devfiles::CopyUi ui{rig.host, rig.progress, rig.replace};
    const auto result = devfiles::copyFile(*rig.session, r, ui);
    EXPECT_EQ(result.done, 1);
    EXPECT_EQ(
        std::count(rig.commands.begin(), rig.commands.end(), "put \\QX502\\sequence\\SEQ0002.MTD"),
        1);
    EXPECT_EQ(
        std::count(rig.commands.begin(), rig.commands.end(), "put \\QX502\\sequence\\SEQ0001.MTD"),
        0);
    EXPECT_EQ(result.titratorListing, "SEQ0002.MTD 7 x\r\n");
    EXPECT_FALSE(rig.session->serial().isSerialBusy());
}

TEST(FileRulePeer, AFullUserSlotListAndAnOfflineTitratorNeedNoExchange) {
    PeerRig rig; // not connected
    auto link = rig.link();
    std::vector<std::string> entries;
    for (int i = 1; i <= 101; ++i)
        entries.push_back("USER" + std::to_string(1000 + i) + ".MTD 1 x");
    EXPECT_EQ(devfiles::findUserSlot(link, entries, "USER0001.MTD", 1).code, "2");
    EXPECT_FALSE(devfiles::downloadTrayFolder(link, "TRAY0001\\", 0, 1, rig.dir.path()));
    EXPECT_TRUE(rig.commands.empty());
}
