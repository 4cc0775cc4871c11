// The file service's rules that need no titrator: names, the replace answers,
// the PC side of a delete, the tray folder progress and the user slot search.
#include "FileRig.h"
#include "core/FileTypes.h"
#include "files/DeviceFiles.h"
#include "files/FileChecks.h"
#include "files/FileNames.h"
#include "files/PcFiles.h"

#include <gtest/gtest.h>

using namespace filenames;

TEST(FileNames, OnlyPlainNamesFromTheTitratorAreUsable) {
    for (const char* ok : {"TI_00031.RPT", "A", "QX0102TA.MTD", "a.b"})
        EXPECT_TRUE(isSafeName(ok)) << ok;
    for (const char* bad :
         {"", "..", "..\\X.RPT", "a/b", "C:X.RPT", "x\\y", "A..RPT", "A\x01.RPT", "A\x7f"})
        EXPECT_FALSE(isSafeName(bad)) << bad;
}

TEST(FileNames, BasePatternsAndCompanionsAreLiteral) {
    EXPECT_EQ(baseOf("REP0001.RPT", ".rpt"), "REP0001.");
    EXPECT_EQ(baseOf("a.rpt.rpt", ".RPT"), "a.");
    EXPECT_EQ(baseOf("SEQ0001.MTD", ".rpt"), ""); // never a bare "*"
    EXPECT_TRUE(isCompanion("TI_1.", "ti_1.LOG"));
    EXPECT_TRUE(isCompanion("TI_1.", "TI_1.bmp"));
    EXPECT_FALSE(isCompanion("TI_1.", "TI_1.csv"));
    EXPECT_FALSE(isCompanion("TI_1.", "TI_10.RPT"));
    EXPECT_FALSE(isCompanion("TI_[1].", "TI_1.RPT")); // no glob characters
    EXPECT_FALSE(isCompanion("", "X.RPT"));
    EXPECT_TRUE(isOnList({" ti_1.rpt 12 2025-01-01", "X"}, "TI_1.RPT"));
    EXPECT_FALSE(isOnList({"TI_1.RPTX 12"}, "TI_1.RPT"));
}

TEST(ReplacePrompt, AllAnswersHoldForOneCopyAndTheCloseBoxSkips) {
    filetest::loadEnglish();
    filetest::ScriptedReplace asker;
    ReplacePrompt prompt(asker, ftype::kReports);
    asker.answers = {0, 1, 2};
    EXPECT_EQ(prompt.checkReplaceForm("A.RPT"), ReplacePrompt::Skip);
    EXPECT_EQ(prompt.checkReplaceForm("B.RPT"), ReplacePrompt::Replace);
    EXPECT_EQ(prompt.checkReplaceOnTitr("C.RPT", "", ""), ReplacePrompt::ReplaceAll);
    EXPECT_EQ(prompt.checkReplaceOnPC("D.RPT", "", ""), ReplacePrompt::ReplaceAll);
    EXPECT_EQ(asker.questions.size(), 3u);
    EXPECT_EQ(asker.questions[2], "The file C.RPT already exists.\rDo you want to replace it?");

    ReplacePrompt methods(asker, ftype::kUserMethods, ReplacePrompt::Cancel);
    asker.answers = {3, 3};
    EXPECT_EQ(methods.checkReplaceOnPC("USER0001.MTD", "1.0", "2.0"), ReplacePrompt::Cancel);
    EXPECT_EQ(methods.checkReplaceOnTitr("USER0001.MTD", "1.0", "2.0"), ReplacePrompt::Skip);
    EXPECT_EQ(asker.questions.back(), "The method USER0001.MTD already exists on the titrator.\r"
                                      "Revision on the titrator: 1.0\rRevision on the PC: 2.0\r"
                                      "Replace the copy on the titrator?");
    ReplacePrompt skipAll(asker, ftype::kSequences, ReplacePrompt::SkipAll);
    EXPECT_EQ(skipAll.checkReplaceOnTitr("SEQ0001.MTD", "", ""), ReplacePrompt::SkipAll);
}

TEST(PcFiles, DeletingAReportTakesItsCompanionsButNeverItsExportOrItsCaseTwin) {
    TempDir dir;
    RecordingHost host;
    for (const char* f :
         {"TI_1.RPT", "ti_1.log", "TI_1.BMP", "TI_1.csv", "TI_10.RPT", "TI_[1].RPT", "ti_1.rpt"})
        dir.write(f, "x");
    EXPECT_TRUE(pcfiles::pcFileExists("ti_10.rpt", dir.path()));
    EXPECT_TRUE(pcfiles::deletePcFile(host, "TI_1.RPT", ftype::kReports, dir.path(), false));
    for (const char* gone : {"TI_1.RPT", "ti_1.log", "TI_1.BMP"})
        EXPECT_FALSE(filetest::onDisk(dir.path() / gone)) << gone;
    for (const char* kept : {"TI_1.csv", "TI_10.RPT", "TI_[1].RPT", "ti_1.rpt"}) // a twin stays
        EXPECT_TRUE(filetest::onDisk(dir.path() / kept)) << kept;
    EXPECT_FALSE(pcfiles::deletePcFile(host, "../TI_10.RPT", ftype::kReports, dir.path(), false));
    EXPECT_TRUE(host.messages.empty());
}

TEST(PcFiles, ATraySetFolderGoesOnlyWhenNothingElseIsInIt) {
    for (bool withExport : {false, true}) {
        TempDir dir;
        RecordingHost host;
        for (const char* f : {"TRAY0005.RPT", "TRAY0005.LOG", "TRAY0005/TI_1.RPT",
                              "TRAY0005/TI_1.LOG", "TRAY0005/sub/TI_2.RPT"})
            dir.write(f, "x");
        if (withExport)
            std::filesystem::remove_all(dir.path() / "TRAY0005/sub");
        if (withExport)
            dir.write("TRAY0005/TI_1.csv", "x");
        pcfiles::deletePcFile(host, "TRAY0005.RPT", ftype::kReports, dir.path(), false);
        EXPECT_FALSE(filetest::onDisk(dir.path() / "TRAY0005.LOG"));
        EXPECT_FALSE(filetest::onDisk(dir.path() / "TRAY0005/TI_1.RPT"));
        // Never recursive: a sub-folder or an export keeps the folder.
        EXPECT_TRUE(filetest::onDisk(dir.path() / "TRAY0005"));
        EXPECT_EQ(filetest::onDisk(dir.path() / "TRAY0005/sub/TI_2.RPT"), !withExport);
    }
    TempDir dir;
    RecordingHost host;
    dir.write("TRAY0006.RPT", "x");
    dir.write("TRAY0006/TI_1.RPT", "x");
    pcfiles::deletePcFile(host, "TRAY0006.RPT", ftype::kReports, dir.path(), false);
    EXPECT_FALSE(filetest::onDisk(dir.path() / "TRAY0006"));
}

TEST(FileChecks, NamesBeforeADelete) {
    filetest::loadEnglish();
    RecordingHost host;
    EXPECT_EQ(devfiles::checkFileName(host, "TI_00031.RPT", false), devfiles::kNameValid);
    EXPECT_EQ(devfiles::checkFileName(host, "NOEXTENSIONATALL", false), devfiles::kNameValid);
    EXPECT_EQ(devfiles::checkFileName(host, "summary_2025.csv", true), devfiles::kNameValid);
    EXPECT_EQ(devfiles::checkFileName(host, "summary_2025.csv", false), devfiles::kNameTooLong);
    EXPECT_EQ(devfiles::checkFileName(host, "TI 00031.RPT", false), devfiles::kNameInvalidChar);
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_EQ(host.messages[0].title, "File Name");
}

TEST(FileChecks, TheFirstFreeUserSlotIgnoresCase) {
    EXPECT_EQ(devfiles::firstFreeUserSlot({}), "USER0001.MTD");
    EXPECT_EQ(devfiles::firstFreeUserSlot({"user0001.mtd 12 x", "USER0003.MTD", "USER0002.MTD 1"}),
              "USER0004.MTD");
}

TEST(DeviceFiles, TrayFolderProgressStaysWithinItsShare) {
    EXPECT_DOUBLE_EQ(devfiles::trayFolderProgress(1, 4, 0, 1), 0.25);
    EXPECT_DOUBLE_EQ(devfiles::trayFolderProgress(2, 4, 1, 2), 0.75);
    EXPECT_DOUBLE_EQ(devfiles::trayFolderProgress(3, 0, 0, 0), 1.0); // no division by zero
    EXPECT_DOUBLE_EQ(devfiles::trayFolderProgress(4, 4, 3, 2), 1.0);
}
