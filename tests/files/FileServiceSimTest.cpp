// Copy, move and delete against the simulated titrator: the commands on the
// wire (the simulator's log) and the files on both sides afterwards.
#include "FileRig.h"
#include "core/FileTypes.h"
#include "files/DeviceFiles.h"

#include <algorithm>
#include <gtest/gtest.h>

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
        // Answer 5 still ends with the reload and the refresh.
        EXPECT_EQ(rig.count("reloadMethods"), 1);
        EXPECT_EQ(rig.count("extdir"), 1);
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
    EXPECT_EQ(rig.dir.read("pc/TRAY0001.log"), "l");
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
