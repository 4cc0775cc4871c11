// The titrator's file rules, listings, queries, deletes and upgrade check,
// worked on a copy of the sample tree without a line.
#include "PcSide.h"
#include "sim/FileRules.h"
#include "sim/FileService.h"
#include "sim/Upgrade.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <regex>

using namespace sim;
namespace fs = std::filesystem;

namespace {

// A copy of data/samples/titrator served as one model.
struct SampleTitrator {
    TempDir root;
    DeviceFs files{root.path()};
    FileService service;

    explicit SampleTitrator(const char* model = "QX502", const char* firmware = "3.00",
                            SlotLimits limits = {})
        : service(files, deviceFolders(*findModel(model), parseFirmware(firmware)), limits) {
        fs::copy(fs::path(VT_SOURCE_DIR) / "data/samples/titrator", root.path(),
                 fs::copy_options::recursive);
    }
    bool exists(const std::string& relative) const { return fs::exists(root.path() / relative); }
};

// The first token of every line, as the PC takes the file names.
std::vector<std::string> namesOf(const std::string& listing) {
    std::vector<std::string> names;
    for (std::size_t at = 0, end; (end = listing.find("\r\n", at)) != listing.npos; at = end + 2) {
        const std::string line = listing.substr(at, end - at);
        names.push_back(line.substr(0, line.find(' ')));
    }
    return names;
}

// The names the sample tree holds in one folder, sorted as the titrator lists them.
std::vector<std::string> namesOnDisk(const fs::path& dir, const std::string& extension) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.is_regular_file() && e.path().extension() == extension)
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(SimFileRules, NamesByType) {
    struct Case {
        int type;
        const char* name;
        bool fits;
    };
    const Case cases[] = {
        {2, "QX0102TA.MTD", true},  {2, "qx0102ta.mtd", true},   {2, "QX0000AA.MTD", false},
        {2, "QX01A2TA.MTD", false}, {2, "QX0102TAB.MTD", false}, {2, "USER0001.MTD", false},
        {3, "USER0001.MTD", true},  {3, "user0100.mtd", true},   {3, "USER0000.MTD", false},
        {3, "USER001.MTD", false},  {3, "USER0001.RPT", false},  {1, "QX0102TA.MTD", true},
        {1, "USER0002.MTD", true},  {1, "SEQ0001.MTD", false},   {4, "TI_00017.RPT", true},
        {4, "a.rpt", true},         {4, "TI_000170.RPT", false}, {4, "A-B.RPT", false},
        {4, ".RPT", false},         {4, "A B.RPT", false},       {4, "..\\A.RPT", false},
        {4, "TI_00017.LOG", false}, {5, "TI_00017.TRP", true},   {6, "TI_00017.CRP", true},
        {6, "TI_00017.RPT", false}, {10, "SEQ0001.MTD", true},   {10, "SEQ1.MTD", false},
        {11, "TRAY0001.RPT", true}, {11, "TRAY0001.LOG", false}, {12, "TI_00017.RPT", false},
        {7, "TI_00017.LOG", false}, {0, "A.RPT", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(nameFitsType(c.type, c.name), c.fits) << c.type << " " << c.name;
}

TEST(SimFileService, ListsTheSampleFoldersOfEveryModel) {
    for (const Model& m : allModels()) {
        SampleTitrator t(std::string(m.idText).c_str());
        const DeviceFolders& f = t.service.folders();
        const fs::path folder = t.root.path() / std::string(m.idText);
        const auto methods = t.service.listing(f.methodsPath + "*.mtd", true);
        ASSERT_TRUE(methods) << m.idText;
        EXPECT_EQ(namesOf(*methods), namesOnDisk(folder / "methods", ".MTD")) << m.idText;
        const auto reports = t.service.listing(f.reportsPath + "*.rpt", true);
        ASSERT_TRUE(reports) << m.idText;
        EXPECT_EQ(namesOf(*reports), namesOnDisk(folder / "reports", ".RPT")) << m.idText;
    }
}

TEST(SimFileService, ListingLinesAndCompanionNames) {
    SampleTitrator t;
    const auto line = t.service.listing("\\QX502\\methods\\QX0102TA.MTD", true);
    ASSERT_TRUE(line);
    const auto size = std::to_string(fs::file_size(t.root.path() / "QX502/methods/QX0102TA.MTD"));
    EXPECT_TRUE(std::regex_match(
        *line, std::regex("QX0102TA\\.MTD " + size + " \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d\r\n")))
        << *line;

    struct Case {
        const char* argument;
        const char* answer;
    };
    const Case cases[] = {
        {"\\qx502\\REPORTS\\ti_00017.*", "TI_00017.BMP\r\nTI_00017.LOG\r\nTI_00017.RPT\r\n"},
        {"\\QX502\\reports\\MV_00019.*", "MV_00019.RPT\r\n"},
        {"\\QX502\\reports\\NONE.*", ""},
        {"\\QX502\\asreport\\TRAY????.rpt", "TRAY0001.RPT\r\n"},
        {"\\QX502\\asreport\\TRAY0001\\TI_00021.*",
         "TI_00021.BMP\r\nTI_00021.LOG\r\nTI_00021.RPT\r\n"},
        {"\\methods\\user02??.mtd", "USER0201.MTD\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(t.service.listing(c.argument, false), c.answer) << c.argument;
    EXPECT_EQ(
        namesOf(*t.service.listing("\\QX502\\asreport\\TRAY0001\\*.rpt", true)),
        (std::vector<std::string>{"TI_00021.RPT", "TI_00022.RPT", "TI_00023.RPT", "TI_00024.RPT"}));
}

TEST(SimFileService, RefusesMalformedListings) {
    SampleTitrator t;
    for (const char* bad : {"", "*.mtd", "\\QX502\\methods\\", "\\QX502\\nofolder\\*.mtd",
                            "\\QX502\\..\\*.mtd", "\\QX502\\methods\\a/b", "\\QX502\\methods\\..",
                            "\\QX502\\methods\\x:y", "\\QX502\\methods\\USER0001.MTD\\*"})
        EXPECT_FALSE(t.service.listing(bad, true)) << bad;
}

TEST(SimFileService, QueriesAnswerByTypeNameAndSlots) {
    SlotLimits limits;
    limits.set(SlotKind::UserMethods, 5); // four are taken
    SampleTitrator t("QX502", "3.00", limits);
    SampleTitrator early("QX501", "3.00"); // no sequences, no tray reports
    using Query = std::optional<std::string> (FileService::*)(std::string_view) const;
    struct Case {
        const SampleTitrator& titrator;
        Query query;
        const char* argument;
        std::optional<std::string> answer;
    };
    const Query check = &FileService::checkFileName, exist = &FileService::existFile,
                free = &FileService::freeFiles;
    const Case cases[] = {
        {t, check, "3 USER0003.MTD", "1"},
        {t, check, "2 USER0003.MTD", "0"},
        {t, check, "1 USER0003.MTD", "1"},
        {t, check, "2 QX0502XY.MTD", "1"},
        {t, check, "10 SEQ0003.MTD", "1"},
        {t, check, "11 TRAY0005.RPT", "1"},
        {t, check, "4 TI_00031.RPT", "1"},
        {t, check, "4 ", "0"},
        {t, check, "12 TI_00031.RPT", "0"},
        {early, check, "10 SEQ0003.MTD", "0"},
        {t, check, "x USER0003.MTD", {}},
        {t, check, "", {}},
        {t, exist, "3 user0001.mtd", "1"},
        {t, exist, "3 USER0009.MTD", "0"},
        {t, exist, "4 TI_00017.LOG", "1"},
        {t, exist, "11 TRAY0001.RPT", "1"},
        {t, exist, "10 SEQ0002.MTD", "1"},
        {t, exist, "4 ..\\methods\\USER0001.MTD", "0"},
        {early, exist, "10 SEQ0002.MTD", "0"},
        {t, exist, "-3 USER0001.MTD", {}},
        {t, free, "3", "1"},
        {t, free, "2", "96"},
        {t, free, "1", "97"},
        {t, free, "4", "96"},
        {t, free, "11", "99"},
        {early, free, "10", "0"},
        {t, free, "12", "0"},
        {t, free, "3 ", {}},
        {t, free, "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ((c.titrator.service.*c.query)(c.argument), c.answer) << c.argument;

    const auto same = t.service.sameMethod("user0001.mtd");
    ASSERT_TRUE(same);
    EXPECT_EQ(same->substr(0, same->find(' ')), "USER0001.MTD"); // the name as stored
    for (const char* bad : {"USER0009.MTD", "TI_00017.RPT", "..\\USER0001.MTD", ""})
        EXPECT_FALSE(t.service.sameMethod(bad)) << bad;
}

TEST(SimFileService, ANewFileNeedsAFreeSlotOfItsKind) {
    SlotLimits limits;
    limits.set(SlotKind::UserMethods, 2);
    limits.set(SlotKind::Reports, 0);
    SampleTitrator t("QX502", "3.00", limits);
    const fs::path methods = t.root.path() / "QX502/methods",
                   reports = t.root.path() / "QX502/reports";
    EXPECT_FALSE(t.service.hasRoomFor(methods / "USER0009.MTD"));
    EXPECT_TRUE(t.service.hasRoomFor(methods / "USER0001.MTD")); // replaced in its slot
    EXPECT_TRUE(t.service.hasRoomFor(methods / "QX0502XY.MTD"));
    EXPECT_FALSE(t.service.hasRoomFor(reports / "TI_00099.RPT"));
    EXPECT_TRUE(t.service.hasRoomFor(reports / "TI_00099.LOG")); // companions take no slot
    EXPECT_TRUE(t.service.hasRoomFor(t.root.path() / "QX502/asreport/TRAY0001/TI_00099.RPT"));
}

TEST(SimFileService, DeletesFilesAndWholeTraySets) {
    SampleTitrator t;
    t.root.write("QX502/asreport/TRAY0002.RPT", "another set");
    EXPECT_TRUE(t.service.deleteTraySet("tray0001"));
    EXPECT_FALSE(t.exists("QX502/asreport/TRAY0001.RPT"));
    EXPECT_FALSE(t.exists("QX502/asreport/TRAY0001.LOG"));
    EXPECT_FALSE(t.exists("QX502/asreport/TRAY0001"));
    EXPECT_TRUE(t.exists("QX502/asreport/TRAY0002.RPT"));
    for (const char* gone : {"TRAY0001", "TRAY001", "..", "TRAY0002\\..", "QX502"})
        EXPECT_FALSE(t.service.deleteTraySet(gone)) << gone;
    EXPECT_FALSE(SampleTitrator("QX503").service.deleteTraySet("TRAY0001"));

    EXPECT_TRUE(t.service.deleteFile("\\QX502\\reports\\ti_00017.bmp"));
    EXPECT_FALSE(t.exists("QX502/reports/TI_00017.BMP"));
    EXPECT_TRUE(t.exists("QX502/reports/TI_00017.RPT"));
    EXPECT_FALSE(t.service.deleteFile("\\QX502\\reports\\TI_00017.BMP"));
    EXPECT_FALSE(t.service.deleteFile("\\QX502\\reports"));

    EXPECT_TRUE(t.service.isUserMethod("\\QX502\\methods\\USER0002.MTD"));
    for (const char* no : {"\\QX502\\methods\\QX0102TA.MTD", "\\QX502\\methods\\USER0009.MTD",
                           "\\methods\\USER0201.MTD"})
        EXPECT_FALSE(t.service.isUserMethod(no)) << no;
}

TEST(SimUpgrade, DefaultInfoNamesTheModelWhereThePcLooksForIt) {
    for (const Model& m : allModels()) {
        const std::string info = Upgrade::defaultInfo(m, parseFirmware("2.5"));
        const std::size_t i = info.find('I');
        ASSERT_NE(i, info.npos) << info;
        EXPECT_EQ(info.substr(i + 1, info.find('v', i) - i - 1), m.idText.substr(2)) << info;
        EXPECT_NE(info.find("2.50"), info.npos) << info;
    }
}

TEST(SimUpgrade, DestinationIsTheUpgradeFileOnDriveC) {
    for (const char* yes : {"C:\\UPGRADE\\upgrade.exe", "c:\\upgrade\\UPGRADE.EXE"})
        EXPECT_TRUE(Upgrade::isDestination(yes)) << yes;
    for (const char* no :
         {"\\UPGRADE\\upgrade.exe", "D:\\UPGRADE\\upgrade.exe", "C:\\UPGRADE\\x.exe",
          "C:\\UPGRADE\\..\\upgrade.exe", "C:\\X\\UPGRADE\\upgrade.exe", "C:UPGRADE\\upgrade.exe"})
        EXPECT_FALSE(Upgrade::isDestination(no)) << no;
}

TEST(SimUpgrade, ChecksumIsTheLibraryCrcAnnouncedAsSigned16Bits) {
    EXPECT_EQ(Upgrade::checksum("123456789"), 0x29B1);
    EXPECT_EQ(Upgrade::checksum("abc"), 0x514A);
    Upgrade u("info", "ok");
    struct Case {
        const char* argument;
        std::optional<std::string> answer;
    };
    const Case cases[] = {{"-1", "-1"},  {"32767", "32767"}, {"-32768", "-32768"}, {"0", "0"},
                          {"32768", {}}, {"40000", {}},      {"-32769", {}},       {"", {}},
                          {"-", {}},     {"+5", {}},         {"1 ", {}},           {"0x10", {}}};
    for (const Case& c : cases)
        EXPECT_EQ(u.announce(c.argument), c.answer) << c.argument;
}

TEST(SimUpgrade, VerdictNeedsTheAnnouncedChecksumOfTheFileReceivedAfterIt) {
    // A file whose checksum has the top bit set: the PC announces it as a negative number.
    std::string file = "firmware";
    while (Upgrade::checksum(file) < 0x8000)
        file += 'x';
    const std::string announced = std::to_string(static_cast<int16_t>(Upgrade::checksum(file)));
    ASSERT_EQ(announced.front(), '-');

    struct Case {
        std::vector<std::string> steps; // "=N" announces N, anything else is received
        std::string verdict;
    };
    const std::vector<Case> cases{
        {{}, "no upgrade file"},
        {{file}, "no upgrade file"},
        {{"=" + announced}, "no upgrade file"},
        {{"=" + announced, file}, "accepted"},
        {{"=" + announced, "other", file}, "accepted"}, // the last file received counts
        {{"=" + announced, file, "other"}, "checksum error"},
        {{"=1", file}, "checksum error"},
        {{"=" + announced, file, "=" + announced}, "no upgrade file"},
        {{"=-1", ""}, "no upgrade file"}, // an empty file never passes
    };
    for (const Case& c : cases) {
        Upgrade u("info", "accepted");
        for (const std::string& step : c.steps) {
            if (step.starts_with("="))
                ASSERT_TRUE(u.announce(step.substr(1)));
            else
                u.received(step);
        }
        EXPECT_EQ(u.verdict(), c.verdict) << ::testing::PrintToString(c.steps);
    }
}
