// Copy, move and delete against the simulated titrator: the commands on the
// wire (the simulator's log) and the files on both sides afterwards.
#include "FileRig.h"
#include "ScopedEnv.h"
#include "core/AtomicFile.h"
#include "core/FileTypes.h"
#include "core/Sha256.h"
#include "files/DeviceFiles.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>

using filetest::onDisk;
using filetest::SimRig;
using Log = std::vector<std::string>;

namespace {

bool inOrder(const Log& log, const std::vector<std::string>& wanted) {
    auto at = log.begin();
    for (const std::string& w : wanted) {
        at = std::find(at, log.end(), w);
        if (at == log.end())
            return false;
        ++at;
    }
    return true;
}

int puts(const Log& log) {
    return static_cast<int>(std::count_if(
        log.begin(), log.end(), [](const std::string& l) { return l.rfind("put ", 0) == 0; }));
}

Log starting(const Log& log, const std::string& prefix) {
    Log out;
    std::copy_if(log.begin(), log.end(), std::back_inserter(out),
                 [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
    return out;
}

// The names in a folder, sorted; temporary files show as themselves.
std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every message the user was shown, one a line.
std::string shown(const SimRig& rig) {
    std::string all;
    for (const std::string& t : rig.shownTexts())
        all += t + "\n";
    return all;
}

// A full disk for one file name while it lives.
struct FullDisk {
    explicit FullDisk(const std::string& name) {
        AtomicFile::simulateWriteError(name, name.empty() ? 0 : ENOSPC);
    }
    ~FullDisk() { AtomicFile::simulateWriteError("", 0); }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;
};

} // namespace

TEST(CopyToTitrator, AReportGoesWithItsLogAndPictureButNotItsExport) {
    SimRig rig;
    rig.putPc("TI_00031.RPT", filetest::report("QX502"));
    rig.putPc("TI_00031.log", "log");
    rig.putPc("TI_00031.BMP", "bmp");
    rig.putPc("TI_00031.csv", "csv");
    rig.putPc("TI_00032.RPT", filetest::report("QX502"));
    ASSERT_TRUE(rig.start());
    const auto result = rig.copy(rig.request(0, ftype::kReports, {"TI_00031.RPT", "TI_00032.RPT"}));
    const Log log = rig.log();
    EXPECT_TRUE(
        inOrder(log, {"checkFileName 4 TI_00031.RPT", "existFile 4 TI_00031.RPT", "getFreeFiles 4",
                      "put \\QX502\\reports\\TI_00031.RPT", "put \\QX502\\reports\\TI_00031.BMP",
                      "put \\QX502\\reports\\TI_00031.log", "put \\QX502\\reports\\TI_00032.RPT",
                      "extdir \\QX502\\reports\\*.rpt"}))
        << ::testing::PrintToString(log);
    EXPECT_EQ(puts(log), 4);
    EXPECT_EQ(rig.count("reloadMethods"), 0); // reports need no reload
    EXPECT_EQ(result.done, 2);
    EXPECT_EQ(result.namesAdded, (std::vector<std::string>{"TI_00031.RPT", "TI_00032.RPT"}));
    EXPECT_NE(result.titratorListing.find("TI_00031.RPT"), std::string::npos);
    EXPECT_TRUE(onDisk(rig.titrator("reports/TI_00031.log")));
    EXPECT_FALSE(onDisk(rig.titrator("reports/TI_00031.csv")));
}

TEST(CopyToTitrator, AUserMethodIsFollowedByChangeIdAndThePause) {
    for (int category : {ftype::kUserMethods, ftype::kAllMethods}) {
        SCOPED_TRACE(category);
        SimRig rig;
        rig.putPc("USER0003.MTD", filetest::sealedMethod("USER0003", "1.0"));
        ASSERT_TRUE(rig.start());
        const auto request = rig.request(0, category, {"USER0003.MTD"});
        devfiles::FileLink link{*rig.session, rig.host, rig.progress};
        EXPECT_EQ(devfiles::uploadFile(link, ftype::kUserMethods, "USER0003.MTD", rig.pc(),
                                       "USER0003.MTD"),
                  TransferResult::Done);
        EXPECT_TRUE(rig.session->serial().isRecovering()); // the 800 ms pause runs
        EXPECT_EQ(rig.log(), (Log{"put \\QX502\\methods\\USER0003.MTD",
                                  "changeId \\QX502\\methods\\USER0003.MTD"}));
        std::filesystem::remove(rig.titrator("methods/USER0003.MTD"));
        rig.mark();
        const auto result = rig.copy(request);
        EXPECT_EQ(result.done, 1);
        EXPECT_TRUE(inOrder(rig.log(),
                            {"checkFileName 3 USER0003.MTD", "put \\QX502\\methods\\USER0003.MTD",
                             "changeId \\QX502\\methods\\USER0003.MTD", "reloadMethods "}))
            << ::testing::PrintToString(rig.log());
    }
}

TEST(CopyToTitrator, TheSecondOfThreeReportsFailsTheModelTextTest) {
    SimRig rig;
    rig.putPc("TI_00001.RPT", filetest::report("QX502"));
    rig.putPc("TI_00002.RPT", filetest::report("QX531"));
    rig.putPc("TI_00003.RPT", filetest::report("QX502"));
    ASSERT_TRUE(rig.start({"--firmware", "2.10"})); // a QX502B
    const auto result =
        rig.copy(rig.request(0, ftype::kReports, {"TI_00001.RPT", "TI_00002.RPT", "TI_00003.RPT"}));
    EXPECT_EQ(rig.shownTexts(),
              (std::vector<std::string>{
                  "The selected report is not valid for QX502. Operation aborted!"}));
    EXPECT_TRUE(onDisk(rig.titrator("reports/TI_00001.RPT")));
    EXPECT_FALSE(onDisk(rig.titrator("reports/TI_00002.RPT")));
    EXPECT_TRUE(onDisk(rig.titrator("reports/TI_00003.RPT")));
    EXPECT_EQ(result.done, 2);
    EXPECT_FALSE(result.everyFileWent(3));
}

TEST(CopyToTitrator, AMethodTheLibraryRefusesEndsTheCopy) {
    const std::pair<const char*, std::string> bad[] = {
        {"QX0000AA.MTD", filetest::sealedMethod("QX0000AA", "1.0")},       // 3: name
        {"QX0299ZZ.MTD", filetest::sealedMethod("QX0299ZZ", "1.0") + "x"}, // 4: checksum
        {"QX0103KW.MTD", filetest::sealedMethod("QX0103KW", "1.0", 34)},   // 5: type
    };
    for (const auto& [name, content] : bad) {
        SCOPED_TRACE(name);
        SimRig rig;
        rig.putPc(name, content);
        rig.putPc("QX0102TA.MTD", filetest::sealedMethod("QX0102TA", "1.0"));
        ASSERT_TRUE(rig.start());
        const auto result = rig.copy(rig.request(0, ftype::kAllMethods, {name, "QX0102TA.MTD"}));
        EXPECT_EQ(rig.shownTexts(),
                  (std::vector<std::string>{
                      "The selected metod is not valid for QX502. Operation aborted!"}));
        EXPECT_EQ(puts(rig.log()), 0);
        EXPECT_EQ(rig.count("checkFileName"), 0);
        EXPECT_EQ(result.done, 0);
    }
}

TEST(CopyToTitrator, ReplaceAnswersDecideEachFile) {
    struct Case {
        int initial;
        std::deque<int> answers;
        int questions, sent;
        bool cancelled;
    } cases[] = {
        {0, {0, 0}, 2, 0, false}, // the close box skips, never overwrites
        {0, {1, 3}, 2, 1, false}, {0, {2}, 1, 2, false}, {0, {3, 3}, 2, 0, false},
        {0, {5}, 1, 0, true},     {4, {}, 0, 0, false},  {2, {}, 0, 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.answers) + " from " + std::to_string(c.initial));
        SimRig rig;
        for (const char* n : {"SEQ0001.MTD", "SEQ0002.MTD"}) {
            rig.putPc(n, "NAM PC\r\n");
            rig.putTitrator(std::string("sequence/") + n, "NAM OLD\r\n");
        }
        ASSERT_TRUE(rig.start());
        rig.replace.answers = c.answers;
        auto request = rig.request(0, ftype::kSequences, {"SEQ0001.MTD", "SEQ0002.MTD"});
        request.initialReplaceStatus = c.initial;
        const auto result = rig.copy(request);
        EXPECT_EQ(static_cast<int>(rig.replace.questions.size()), c.questions);
        EXPECT_EQ(puts(rig.log()), c.sent);
        EXPECT_EQ(result.cancelled, c.cancelled);
        // Answer 5 ends with the reload and the refresh, unless nothing was handled.
        const int finish = c.answers.empty() || c.answers.front() != 5 ? 1 : 0;
        EXPECT_EQ(rig.count("reloadMethods"), finish);
        EXPECT_EQ(rig.count("extdir"), finish);
        EXPECT_FALSE(rig.progress.visible);
        if (!rig.replace.questions.empty()) {
            EXPECT_EQ(rig.replace.questions[0],
                      "The file SEQ0001.MTD already exists.\rDo you want to replace it?");
        }
    }
}

TEST(CopyToPc, ReplaceAnswersDecideEachFile) {
    struct Case {
        int initial;
        std::deque<int> answers;
        int questions, fetched;
    } cases[] = {
        {0, {0, 0}, 2, 0}, {0, {1, 3}, 2, 1}, {0, {2}, 1, 2}, {0, {3, 3}, 2, 0},
        {0, {5}, 1, 0},    {4, {}, 0, 0},     {2, {}, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.answers) + " from " + std::to_string(c.initial));
        SimRig rig;
        for (const char* n : {"SEQ0001.MTD", "SEQ0002.MTD"}) {
            rig.putPc(n, "NAM PC\r\n");
            rig.putTitrator(std::string("sequence/") + n, "NAM TITRATOR\r\n");
        }
        ASSERT_TRUE(rig.start());
        rig.replace.answers = c.answers;
        auto request = rig.request(1, ftype::kSequences, {"SEQ0001.MTD", "SEQ0002.MTD"});
        request.initialReplaceStatus = c.initial;
        rig.copy(request);
        EXPECT_EQ(static_cast<int>(rig.replace.questions.size()), c.questions);
        EXPECT_EQ(rig.count("get "), c.fetched);
        int replaced = 0;
        for (const char* n : {"SEQ0001.MTD", "SEQ0002.MTD"})
            replaced += filetest::onDisk(rig.pc() / n) &&
                        rig.dir.read(std::string("pc/") + n) == "NAM TITRATOR\r\n";
        EXPECT_EQ(replaced, c.fetched);
    }
}

TEST(CopyToTitrator, AnAbortInTheMiddleOfAFileStopsTheCopyThere) {
    SimRig rig;
    const std::string big(3000, 'x');
    for (const char* n : {"TI_00001.RPT", "TI_00002.RPT", "TI_00003.RPT"})
        rig.putPc(n, filetest::report("QX502") + big);
    ASSERT_TRUE(rig.start());
    rig.progress.onProgress = [&](int file, double f) {
        if (file == 2 && f > 0.2)
            rig.progress.requestAbort();
    };
    const auto result =
        rig.copy(rig.request(0, ftype::kReports, {"TI_00001.RPT", "TI_00002.RPT", "TI_00003.RPT"}));
    EXPECT_TRUE(result.aborted);
    EXPECT_EQ(result.done, 1);
    EXPECT_TRUE(onDisk(rig.titrator("reports/TI_00001.RPT")));
    EXPECT_FALSE(onDisk(rig.titrator("reports/TI_00002.RPT"))); // never half a file
    EXPECT_EQ(rig.count("put \\QX502\\reports\\TI_00003"), 0);
    EXPECT_TRUE(rig.shownTexts().empty());
    // The titrator got its settling pause, then the refresh went through.
    EXPECT_NE(result.titratorListing.find("TI_00001.RPT"), std::string::npos);
}

TEST(MoveToTitrator, AHangUpInTheMiddleLosesNothing) {
    SimRig rig;
    for (const char* n : {"TI_00001.RPT", "TI_00002.RPT", "TI_00003.RPT"})
        rig.putPc(n, filetest::report("QX502") + std::string(2000, 'y'));
    // Connect (3), the first file (4: three queries and "put"), the second file's queries and
    // "put".
    ASSERT_TRUE(rig.start({"--hangup-after", "11"}));
    auto request =
        rig.request(0, ftype::kReports, {"TI_00001.RPT", "TI_00002.RPT", "TI_00003.RPT"});
    request.move = true;
    const auto result = rig.copy(request);
    EXPECT_TRUE(result.linkLost);
    EXPECT_EQ(result.done, 1);
    EXPECT_FALSE(onDisk(rig.pc() / "TI_00001.RPT"));
    EXPECT_TRUE(onDisk(rig.titrator("reports/TI_00001.RPT")));
    EXPECT_TRUE(onDisk(rig.pc() / "TI_00002.RPT")); // its send failed: the PC keeps it
    EXPECT_FALSE(onDisk(rig.titrator("reports/TI_00002.RPT")));
    EXPECT_TRUE(onDisk(rig.pc() / "TI_00003.RPT"));
    // The pane is refreshed to nothing rather than left with stale entries.
    EXPECT_TRUE(result.refreshTitrator);
    EXPECT_EQ(result.titratorListing, "");
}

// A move's PC file goes to the desktop trash where there is one (veltran-cli
// put --move takes this road too).
TEST(MoveToTitrator, TheSentPcFileGoesToTheTrash) {
    SimRig rig;
    std::filesystem::create_directories(rig.dir.path() / "home");
    std::filesystem::create_directories(rig.dir.path() / "xdg-data");
    const ScopedEnv home("HOME", (rig.dir.path() / "home").string());
    const ScopedEnv data("XDG_DATA_HOME", (rig.dir.path() / "xdg-data").string());
    rig.putPc("TI_00001.RPT", filetest::report("QX502"));
    ASSERT_TRUE(rig.start());
    auto request = rig.request(0, ftype::kReports, {"TI_00001.RPT"});
    request.move = true;
    EXPECT_EQ(rig.copy(request).done, 1);
    EXPECT_FALSE(onDisk(rig.pc() / "TI_00001.RPT"));
    EXPECT_EQ(rig.dir.read("xdg-data/Trash/files/TI_00001.RPT"), filetest::report("QX502"));
}

TEST(MoveToPc, EachTitratorFileGoesOnlyAfterItsOwnFetch) {
    SimRig rig;
    rig.putTitrator("reports/TI_00001.RPT", filetest::report("QX502"));
    rig.putTitrator("reports/TI_00001.LOG", "log");
    rig.putTitrator("reports/TI_00002.RPT", filetest::report("QX502"));
    ASSERT_TRUE(rig.start());
    auto request = rig.request(1, ftype::kReports, {"TI_00001.RPT", "TI_00002.RPT"});
    request.move = true;
    const auto result = rig.copy(request);
    EXPECT_EQ(result.done, 2);
    EXPECT_TRUE(inOrder(rig.log(),
                        {"dir \\QX502\\reports\\TI_00001.*", "get \\QX502\\reports\\TI_00001.LOG",
                         "get \\QX502\\reports\\TI_00001.RPT", "dir \\QX502\\reports\\TI_00001.*",
                         "del \\QX502\\reports\\TI_00001.LOG", "del \\QX502\\reports\\TI_00001.RPT",
                         "dir \\QX502\\reports\\TI_00002.*", "get \\QX502\\reports\\TI_00002.RPT",
                         "del \\QX502\\reports\\TI_00002.RPT"}))
        << ::testing::PrintToString(rig.log());
    EXPECT_EQ(rig.dir.read("pc/TI_00001.LOG"), "log");
    EXPECT_FALSE(onDisk(rig.titrator("reports/TI_00001.RPT")));
}

TEST(MoveToPc, AHangUpInTheMiddleKeepsTheTitratorFile) {
    SimRig rig;
    for (const char* n : {"TI_00001.RPT", "TI_00002.RPT", "TI_00003.RPT"})
        rig.putTitrator(std::string("reports/") + n,
                        filetest::report("QX502") + std::string(3000, 'z'));
    // Connect (3), the listing (1), the first file: dir, get, dir, del; the second: dir.
    ASSERT_TRUE(rig.start({"--hangup-after", "9"}));
    auto request =
        rig.request(1, ftype::kReports, {"TI_00001.RPT", "TI_00002.RPT", "TI_00003.RPT"});
    request.move = true;
    const auto result = rig.copy(request);
    EXPECT_TRUE(result.linkLost);
    EXPECT_TRUE(onDisk(rig.pc() / "TI_00001.RPT"));
    EXPECT_FALSE(onDisk(rig.titrator("reports/TI_00001.RPT")));
    EXPECT_FALSE(onDisk(rig.pc() / "TI_00002.RPT")); // no partial file
    EXPECT_TRUE(onDisk(rig.titrator("reports/TI_00002.RPT")));
    EXPECT_TRUE(onDisk(rig.titrator("reports/TI_00003.RPT")));
}

TEST(TitratorNames, AHostileNameNeverReachesThePc) {
    SimRig rig;
    rig.putTitrator("reports/BAD.RPT", "r");
    rig.putTitrator(std::string("reports/BAD.\x01LOG"), "l");
    ASSERT_TRUE(rig.start());
    auto request = rig.request(1, ftype::kReports, {"BAD.RPT"});
    request.selected.push_back({"..\\EVIL.RPT", "..\\EVIL.RPT 12 2025-01-01 00:00"});
    request.selected.push_back({"C:EVIL.RPT", "C:EVIL.RPT 12 2025-01-01 00:00"});
    const auto result = rig.copy(request);
    EXPECT_EQ(result.done, 0);
    EXPECT_EQ(rig.count("get"), 0);
    EXPECT_EQ(rig.host.messages.size(), 3u);
    EXPECT_TRUE(std::filesystem::is_empty(rig.pc()));
    EXPECT_FALSE(onDisk(rig.dir.path() / "EVIL.RPT"));
}

TEST(DeleteOnTitrator, EmptyDirTraySetsAndNothingSelected) {
    SimRig rig;
    rig.putTitrator("asreport/TRAY0001.RPT", "t");
    rig.putTitrator("asreport/TRAY0001.LOG", "l");
    rig.putTitrator("asreport/TRAY0001/TI_00021.RPT", "r");
    ASSERT_TRUE(rig.start());

    auto none = rig.request(1, ftype::kReports, {});
    devfiles::deleteFiles(*rig.session, none, rig.ui);
    EXPECT_EQ(rig.shownTexts(),
              (std::vector<std::string>{"No file is selected.\rPlease select a file first."}));
    EXPECT_TRUE(rig.log().empty());

    auto gone = rig.request(1, ftype::kReports, {});
    gone.selected.push_back({"GONE.RPT", "GONE.RPT 1 2025-01-01 00:00"});
    const auto r1 = devfiles::deleteFiles(*rig.session, gone, rig.ui);
    EXPECT_EQ(rig.log(), (Log{"dir \\QX502\\reports\\GONE.*", "extdir \\QX502\\reports\\*.rpt"}));
    EXPECT_EQ(r1.done, 1);                   // nothing there to delete is no error
    EXPECT_EQ(rig.host.messages.size(), 2u); // the confirmation only

    auto sets = rig.request(1, ftype::kTrayReports, {"TRAY0001.RPT"});
    devfiles::deleteFiles(*rig.session, sets, rig.ui);
    EXPECT_TRUE(inOrder(rig.log(), {"delSeqRpt TRAY0001", "reloadMethods ",
                                    "extdir \\QX502\\asreport\\TRAY????.rpt"}))
        << ::testing::PrintToString(rig.log());
    EXPECT_FALSE(onDisk(rig.titrator("asreport/TRAY0001")));
}

TEST(CopyToPc, ATraySetComesWithItsLogAndItsReports) {
    SimRig rig;
    rig.putTitrator("asreport/TRAY0001.RPT", "t");
    rig.putTitrator("asreport/TRAY0001.LOG", "l");
    rig.putTitrator("asreport/TRAY0001/TI_00021.RPT", "r1");
    rig.putTitrator("asreport/TRAY0001/TI_00021.LOG", "l1");
    rig.putTitrator("asreport/TRAY0001/TI_00022.RPT", "r2");
    ASSERT_TRUE(rig.start());
    rig.session->monitor().folders().trayFolder = "";
    const auto result = rig.copy(rig.request(1, ftype::kTrayReports, {"TRAY0001.RPT"}));
    EXPECT_EQ(result.done, 1);
    EXPECT_EQ(rig.dir.read("pc/TRAY0001/TI_00021.LOG"), "l1");
    EXPECT_EQ(rig.dir.read("pc/TRAY0001/TI_00022.RPT"), "r2");
    EXPECT_EQ(rig.dir.read("pc/TRAY0001.LOG"), "l");            // as the titrator spells it
    EXPECT_EQ(rig.session->monitor().folders().trayFolder, ""); // restored
    std::vector<std::string> names{"first"};
    devfiles::FileLink link{*rig.session, rig.host, rig.progress};
    EXPECT_EQ(devfiles::listTrayFolder(link, "TRAY0001", names), TransferResult::Done);
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[1].rfind("TI_00021.RPT ", 0), 0u);
    EXPECT_DOUBLE_EQ(rig.progress.totals[rig.progress.totals.size() - 2], 1.0);
}

TEST(CopyToTitrator, TheMethodBranchFollowsModelAndFirmware) {
    struct Case {
        const char* what;
        const char* model;
        const char* firmware;
        const char* folder; // the methods folder in the device tree
        const char* name;
        std::string titratorCopy;
        std::deque<int> answers; // replace questions
        bool yes;                // yes/no questions
        std::vector<std::string> wire;
        bool sent;
        const char* question; // the start of the one yes/no question, "" for none
    } cases[] = {
        {"standard, revisions from 1.6",
         "QX501",
         "1.60",
         "methods",
         "QX0101AV.MTD",
         filetest::sealedMethod("QX0101AV", "1.0"),
         {1},
         true,
         {"get \\methods\\QX0101AV.MTD", "checkFileName 2 QX0101AV.MTD",
          "get \\methods\\QX0101AV.MTD", "put \\methods\\QX0101AV.MTD", "reloadMethods "},
         true,
         "The method QX0101AV.MTD already exists on the titrator.\rRevision on the titrator: "
         "1.0\rRevision on the PC: 2.5"},
        {"standard, no revisions below 1.6",
         "QX501",
         "1.50",
         "methods",
         "QX0101AV.MTD",
         filetest::sealedMethod("QX0101AV", "1.0"),
         {1},
         false,
         {"checkFileName 2 QX0101AV.MTD", "getFreeFiles 2", "reloadMethods "},
         false,
         "This method already exists on the titrator."},
        {"user, same method above 1.61",
         "QX501",
         "1.62",
         "methods",
         "USER0001.MTD",
         filetest::sealedMethod("USER0001", "1.0"),
         {1, 1},
         true,
         {"sumvalhod USER0001.MTD", "get \\methods\\USER0001.MTD", "put \\methods\\USER0001.MTD",
          "changeId \\methods\\USER0001.MTD"},
         true,
         ""},
        {"user, slot search at 1.61",
         "QX501",
         "1.61",
         "methods",
         "USER0001.MTD",
         filetest::sealedMethod("USER0001", "1.0"),
         {1, 3},
         true,
         {"getFreeFiles 3", "get \\methods\\USER0001.MTD", "reloadMethods "},
         false,
         ""},
        {"user, sumvalhod then slot search below 1.6",
         "QX501",
         "1.50",
         "methods",
         "USER0001.MTD",
         filetest::sealedMethod("USER0001", "1.0"),
         {1},
         true,
         {"sumvalhod USER0001.MTD", "get \\methods\\USER0001.MTD", "put \\methods\\USER0001.MTD",
          "changeId \\methods\\USER0001.MTD"},
         true,
         ""},
        {"user on a Karl Fischer titrator, broken titrator copy",
         "QX503",
         "3.00",
         "QX503/methods",
         "USER0001.MTD",
         filetest::sealedMethod("USER0001", "1.0", 34) + "!",
         {1},
         true,
         {"getFreeFiles 3", "get \\QX503\\methods\\USER0001.MTD", "reloadMethods "},
         false,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimRig rig(c.model);
        const std::string base = std::string(c.name).substr(0, 8);
        const int methType = std::string(c.model) == "QX503" ? 34 : 32;
        rig.putPc(c.name, filetest::sealedMethod(base, "2.5", methType));
        std::filesystem::create_directories(rig.dir.path() / "root" / c.folder);
        std::ofstream(rig.dir.path() / "root" / c.folder / c.name, std::ios::binary)
            << c.titratorCopy;
        ASSERT_TRUE(rig.start({"--firmware", c.firmware}));
        rig.replace.answers = c.answers;
        rig.host.answer = c.yes;
        const auto result = rig.copy(rig.request(0, ftype::kAllMethods, {c.name}));
        EXPECT_TRUE(inOrder(rig.log(), c.wire)) << ::testing::PrintToString(rig.log());
        EXPECT_EQ(puts(rig.log()), c.sent ? 1 : 0);
        EXPECT_EQ(result.done, c.sent ? 1 : 0);
        const bool asked = !rig.host.messages.empty();
        EXPECT_EQ(asked, *c.question != '\0');
        if (asked) {
            EXPECT_EQ(rig.host.messages[0].text.rfind(c.question, 0), 0u)
                << rig.host.messages[0].text;
        }
        EXPECT_TRUE(!onDisk(rig.dir.path() / "data" / "tmp") ||
                    std::filesystem::is_empty(rig.dir.path() / "data" / "tmp"));
    }
}

// The titrator takes names without regard to case: two PC files it would take
// for one never both go, and a move then deletes nothing.
TEST(MoveToTitrator, CaseTwinsNeverBecomeOneTitratorFile) {
    struct Case {
        const char* what;
        std::vector<std::string> pc; // each file holds its own name
        std::vector<std::string> selected;
        Log sent;
        std::vector<std::string> left;  // on the PC afterwards
        std::vector<std::string> twins; // named by the refusal
    } cases[] = {
        {"a twin is no companion",
         {"TI_00077.RPT", "TI_00077.log", "TI_00077.rpt"},
         {"TI_00077.rpt"},
         {"put \\QX502\\reports\\TI_00077.rpt", "put \\QX502\\reports\\TI_00077.log"},
         {"TI_00077.RPT", "TI_00077.log"},
         {}},
        {"twin companions",
         {"TI_00078.LOG", "TI_00078.RPT", "TI_00078.log"},
         {"TI_00078.RPT"},
         {},
         {"TI_00078.LOG", "TI_00078.RPT", "TI_00078.log"},
         {"TI_00078.LOG", "TI_00078.log"}},
        {"twins selected",
         {"TI_00079.RPT", "ti_00079.rpt"},
         {"TI_00079.RPT", "ti_00079.rpt"},
         {},
         {"TI_00079.RPT", "ti_00079.rpt"},
         {"TI_00079.RPT", "ti_00079.rpt"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimRig rig;
        for (const std::string& f : c.pc)
            rig.putPc(f, f);
        ASSERT_TRUE(rig.start());
        auto request = rig.request(0, ftype::kReports, c.selected);
        request.move = true;
        const auto result = rig.copy(request);
        EXPECT_EQ(starting(rig.log(), "put "), c.sent);
        EXPECT_EQ(namesIn(rig.pc()), c.left);
        EXPECT_EQ(result.everyFileWent(c.selected.size()), c.twins.empty());
        EXPECT_EQ(rig.shownTexts().size(), c.twins.empty() ? 0u : 1u);
        for (const std::string& twin : c.twins)
            EXPECT_NE(shown(rig).find(twin), std::string::npos) << twin;
        if (c.twins.empty()) {
            EXPECT_EQ(rig.dir.read("root/QX502/reports/TI_00077.rpt"), "TI_00077.rpt");
        }
    }
}

// A PC folder takes names as the titrator does: a fetched file replaces its
// case twin under the twin's name, after the question about that file.
TEST(CopyToPc, AFetchedFileReplacesItsCaseTwin) {
    SimRig rig;
    rig.putTitrator("reports/TI_00017.RPT", "new report");
    rig.putTitrator("reports/TI_00017.LOG", "new log");
    rig.putPc("ti_00017.rpt", "old report");
    rig.putPc("TI_00017.log", "old log");
    ASSERT_TRUE(rig.start());
    rig.replace.answers = {1};
    rig.copy(rig.request(1, ftype::kReports, {"TI_00017.RPT"}));
    ASSERT_EQ(rig.replace.questions.size(), 1u);
    EXPECT_NE(rig.replace.questions[0].find("ti_00017.rpt"), std::string::npos);
    EXPECT_EQ(namesIn(rig.pc()), (std::vector<std::string>{"TI_00017.log", "ti_00017.rpt"}));
    EXPECT_EQ(rig.dir.read("pc/ti_00017.rpt"), "new report");
    EXPECT_EQ(rig.dir.read("pc/TI_00017.log"), "new log");
}

// A report and its companions replace the PC's files together or not at all.
TEST(CopyToPc, AReportSetIsWholeOnThePcOrAbsent) {
    struct Case {
        const char* what;
        std::vector<std::string> simArgs;
        const char* fullFile; // "" for none
        std::string error;    // the runtime error shown, "" for none
    } cases[] = {
        {"disk full", {}, "TI_00017.RPT", "TI_00017.RPT: No space left on device"},
        // Connect (3), the listing, "dir", and the .BMP and .LOG fetches are answered.
        {"link lost", {"--hangup-after", "7"}, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimRig rig;
        rig.putTitrator("reports/TI_00017.BMP", "new picture");
        rig.putTitrator("reports/TI_00017.LOG", "new log");
        rig.putTitrator("reports/TI_00017.RPT", "new report");
        rig.putPc("TI_00017.BMP", "old picture");
        ASSERT_TRUE(rig.start(c.simArgs));
        FullDisk full(c.fullFile);
        const auto result = rig.copy(rig.request(1, ftype::kReports, {"TI_00017.RPT"}));
        EXPECT_EQ(result.done, 0);
        EXPECT_EQ(namesIn(rig.pc()), (std::vector<std::string>{"TI_00017.BMP"}));
        EXPECT_EQ(rig.dir.read("pc/TI_00017.BMP"), "old picture");
        EXPECT_EQ(rig.view.runtimeErrors,
                  c.error.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.error});
    }
}

// A tray set moves like any other without the .LOG the titrator does not have;
// only a file that did not arrive keeps it there, and says which.
TEST(MoveToPc, ATraySetWithoutItsLogMovesAndARealFailureKeepsIt) {
    struct Case {
        const char* what;
        const char* fullFile;
        bool moved;
        std::string message;
    } cases[] = {
        {"no log", "", true, ""},
        {"a folder report fails", "TI_00032.RPT", false,
         "TRAY0002.RPT stays on the titrator: TI_00032.RPT did not arrive complete."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SimRig rig;
        rig.putTitrator("asreport/TRAY0002.RPT", "t");
        rig.putTitrator("asreport/TRAY0002/TI_00031.RPT", "r1");
        rig.putTitrator("asreport/TRAY0002/TI_00032.RPT", "r2");
        ASSERT_TRUE(rig.start());
        FullDisk full(c.fullFile);
        auto request = rig.request(1, ftype::kTrayReports, {"TRAY0002.RPT"});
        request.move = true;
        const auto result = rig.copy(request);
        EXPECT_EQ(result.done, c.moved ? 1 : 0);
        EXPECT_EQ(rig.count("get \\QX502\\asreport\\TRAY0002."), 1); // the report alone
        EXPECT_EQ(onDisk(rig.titrator("asreport/TRAY0002.RPT")), !c.moved);
        EXPECT_EQ(rig.dir.read("pc/TRAY0002.RPT"), "t");
        EXPECT_EQ(rig.dir.read("pc/TRAY0002/TI_00031.RPT"), "r1");
        EXPECT_EQ(rig.shownTexts(), c.message.empty() ? std::vector<std::string>{}
                                                      : std::vector<std::string>{c.message});
    }
}

// Nothing is announced with "put" that cannot be sent whole.
TEST(CopyToTitrator, APcFileIsCheckedBeforeItsPut) {
    const char* kinds[] = {"missing", "fifo", "too large"};
    for (const std::string kind : kinds) {
        SCOPED_TRACE(kind);
        SimRig rig;
        const auto file = rig.pc() / "TI_00090.RPT";
        if (kind == "fifo") {
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        }
        if (kind == "too large") {
            rig.putPc("TI_00090.RPT", "");
            std::filesystem::resize_file(file, std::size_t(Serial::kMaxBlocks) * 256 + 1);
        }
        ASSERT_TRUE(rig.start());
        const auto result = rig.copy(rig.request(0, ftype::kReports, {"TI_00090.RPT"}));
        EXPECT_EQ(rig.count("put "), 0);
        EXPECT_EQ(result.done, 0);
        EXPECT_EQ(rig.shownTexts().size(), 1u);
        EXPECT_NE(shown(rig).find("TI_00090.RPT"), std::string::npos);
    }
}

// Each file of a copy is one record with its bytes' digest; a file the user keeps
// is one record that says so; the question showed both copies' size and date.
TEST(TransferRecords, EveryFileOfACopyIsOneRecord) {
    using namespace std::chrono;
    SimRig rig;
    rig.putTitrator("reports/TI_00001.RPT", filetest::report("QX502"));
    rig.putTitrator("reports/TI_00001.LOG", "log");
    rig.putTitrator("reports/TI_00002.RPT", "\tQX502 newer\r\n");
    rig.putPc("TI_00002.RPT", "old");
    const sys_days day = year(2026) / December / 7;
    std::filesystem::last_write_time(
        rig.titrator("reports/TI_00002.RPT"),
        file_clock::from_sys(sys_seconds(day + hours(17) + minutes(47))));
    ASSERT_TRUE(rig.start());
    rig.replace.answers = {ReplacePrompt::Skip};
    rig.copy(rig.request(1, ftype::kReports, {"TI_00001.RPT", "TI_00002.RPT"}));

    ASSERT_EQ(rig.replace.facts.size(), 1u);
    const CopyFacts& facts = rig.replace.facts[0];
    EXPECT_EQ(facts.titrator.size, 14);
    EXPECT_EQ(facts.titrator.date, (DateTime{2026, 12, 7, 17, 47, 0}));
    EXPECT_EQ(facts.pc.size, 3);
    EXPECT_EQ(facts.pc.date, pcFileFacts(rig.pc() / "TI_00002.RPT").date);

    const auto& r = rig.records.all;
    ASSERT_EQ(r.size(), 3u);
    const std::string report = filetest::report("QX502");
    EXPECT_EQ(r[0].titratorName, "TI_00001.LOG");
    EXPECT_EQ(r[0].sha256, sha256Hex("log"));
    EXPECT_EQ(r[1].titratorName, "TI_00001.RPT");
    EXPECT_EQ(r[1].size, static_cast<std::int64_t>(report.size()));
    EXPECT_EQ(r[1].sha256, sha256Hex(report));
    EXPECT_EQ(r[1].pcName, (rig.pc() / "TI_00001.RPT").string());
    for (int i : {0, 1}) {
        EXPECT_EQ(r[i].result, TransferOutcome::Done);
        EXPECT_EQ(r[i].entry, "TI_00001.RPT");
        EXPECT_EQ(r[i].direction, TransferDirection::ToPc);
    }
    EXPECT_EQ(r[2].result, TransferOutcome::Skipped);
    EXPECT_EQ(r[2].reason, "The existing file was kept");
    EXPECT_EQ(r[2].answer, ReplacePrompt::Skip);
}

// Report collection takes a report only with the size its listing line gave: a
// file that arrives with another stays off the PC and, moved, on the titrator.
TEST(MoveToPc, AReportOfAnotherSizeThanListedIsNeitherKeptNorDeleted) {
    SimRig rig;
    const std::string report = filetest::report("QX502");
    rig.putTitrator("reports/TI_00001.RPT", report);
    ASSERT_TRUE(rig.start());
    auto request = rig.request(1, ftype::kReports, {"TI_00001.RPT"});
    request.move = true;
    request.verifyListedSize = true;
    for (const std::string& size : {std::string("9999"), std::to_string(report.size())}) {
        request.selected[0].line = "TI_00001.RPT " + size + " 2026-12-07 17:47";
        rig.mark();
        const auto result = rig.copy(request);
        const bool listedRight = size != "9999";
        EXPECT_EQ(result.done, listedRight ? 1 : 0);
        EXPECT_EQ(onDisk(rig.pc() / "TI_00001.RPT"), listedRight);
        EXPECT_EQ(onDisk(rig.titrator("reports/TI_00001.RPT")), !listedRight);
        EXPECT_EQ(rig.count("del "), listedRight ? 1 : 0);
    }
    ASSERT_FALSE(rig.records.all.empty());
    EXPECT_EQ(rig.records.all[0].result, TransferOutcome::Failed);
    EXPECT_EQ(rig.records.all[0].reason,
              std::to_string(report.size()) + " bytes arrived, the titrator listed 9999");
}
