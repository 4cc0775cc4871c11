// What the PC pane lists: masks, per-model filters and one-line summaries.
#include "app/PcListing.h"

#include "TempDir.h"
#include "app/CommandFlags.h"
#include "core/Language.h"
#include "core/RegularFile.h"
#include "link/LinkMonitor.h"
#include "seal.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

std::vector<std::string> names(const PcListing& l) {
    std::vector<std::string> out;
    for (const PaneLine& line : l.lines)
        out.push_back(line.name);
    return out;
}

std::string method(const std::string& name, const std::string& stamp, int type = 32) {
    std::string text = "Name " + name + "\r\n";
    if (!stamp.empty())
        text += "TimeStamp " + stamp + "\r\n";
    return sumval::sealed(text + "Rev 1.0\r\nMethType " + std::to_string(type) + "\r\n");
}

std::string report(const std::string& model, const std::string& date) {
    return "Titrator " + model + "\r\n\tMethod Name: Acid wine\r\n" +
           (date.empty() ? "" : "\tTime & Date: " + date + "\r\n") + "Result 1.0\r\n";
}

TitratorIdentity titrator(int typeCode, int titType, float firmware, SeriesCode series) {
    TitratorIdentity t;
    t.typeCode = typeCode;
    t.titType = titType;
    t.firmwareVersion = firmware;
    t.seriesCode = series;
    return t;
}

struct PcFolder : ::testing::Test {
    TempDir dir;
    static void SetUpTestSuite() { ::setenv("VELTRAN_SUMVAL", VT_BIN_DIR "/libsumval.so", 1); }
    PcListing list(int fileType, std::uint8_t flags, const TitratorIdentity* t) {
        return listPcPane({dir.path(), fileType, flags, t});
    }
};

} // namespace

TEST_F(PcFolder, OfflineOnlyReportNamesInMaskOrderEachOnce) {
    for (const char* n : {"TI_2.RPT", "ise_1.rpt", "ISE_0.RPT", "MVR9.RPT", "PLAIN.RPT", "A_1.CSV",
                          "QX0101AV.MTD", ".veltran-TI_3.RPT.a1b2c3"})
        dir.write(n, report("QX502", "14:30 Jan 31, 2024"));
    EXPECT_EQ(names(list(4, kReports, nullptr)),
              (std::vector<std::string>{"ISE_0.RPT", "ise_1.rpt", "TI_2.RPT", "MVR9.RPT"}));
    EXPECT_EQ(list(4, kReports, nullptr).lines[0].text, "ISE_0.RPT"); // names only
    EXPECT_EQ(names(list(4, kReports | pane::kCsvFiles, nullptr)),
              std::vector<std::string>{"A_1.CSV"});
    EXPECT_TRUE(list(2, kStandardMethods, nullptr).lines.empty());
    EXPECT_EQ(names(list(4, kReports | pane::kAllFiles, nullptr)).size(), 7u); // hidden left out
}

TEST_F(PcFolder, MethodsAreListedWhenTheyVerifyForTheTitratorWithTheirStamp) {
    dir.write("QX0101AV.MTD", method("Total acidity", "0"));
    dir.write("QX0102TA.MTD", method("No stamp", ""));
    dir.write("QX0103BS.MTD", method("Other family", "0", 34));
    dir.write("QX0104XX.MTD", "not sealed");
    dir.write("QX0105ZZ.MTD", method("Late", "4102444800")); // 2100, past a 32-bit stamp
    const TitratorIdentity t = titrator(1, 0, 3.0f, SeriesCode::QX50x);
    const PcListing l = list(2, kStandardMethods, &t);
    ASSERT_EQ(names(l), (std::vector<std::string>{"QX0101AV.MTD", "QX0102TA.MTD", "QX0105ZZ.MTD"}));
    EXPECT_EQ(l.lines[0].text, "QX0101AV.MTD 1970-01-01 00:00 Total acidity");
    EXPECT_EQ(l.lines[1].text, "QX0102TA.MTD");
    EXPECT_EQ(l.lines[2].text, "QX0105ZZ.MTD 2100-01-01 00:00 Late");
}

TEST_F(PcFolder, EarlyFirmwareNarrowsTheMethodMaskToTheModel) {
    dir.write("QX0101AV.MTD", method("Own", "0"));
    dir.write("QX0102TA.MTD", method("Other model", "0"));
    const TitratorIdentity early = titrator(1, 0, 1.5f, SeriesCode::QX50x);
    const TitratorIdentity later = titrator(1, 0, 1.6f, SeriesCode::QX50x);
    EXPECT_EQ(names(list(1, kAllMethods, &early)), std::vector<std::string>{"QX0101AV.MTD"});
    EXPECT_EQ(names(list(1, kAllMethods, &later)).size(), 2u);
}

TEST_F(PcFolder, ReportsAreListedForTheModelThatWroteThem) {
    dir.write("TI_1.RPT", report("QX501", "02:30 PM Jan 31, 2024"));
    dir.write("TI_2.RPT", report("QX502", "14:30 Jan 31, 2024"));
    dir.write("DR_3.RPT", report("QX502", ""));
    dir.write("TI_4.RPT", report("QX503", "14:30 Foo 31, 2024"));
    // Too large to read: listed by its name for any model with a name.
    std::filesystem::resize_file(dir.write("TI_5.RPT", ""), kMaxDocumentBytes + 1);
    struct Case {
        const char* what;
        TitratorIdentity t;
        std::vector<std::string> expected;
    } cases[] = {
        // A QX501 below firmware 2.0 lists its own reports (none would show otherwise).
        {"QX501 1.5", titrator(1, 0, 1.5f, SeriesCode::QX50x), {"TI_1.RPT", "TI_5.RPT"}},
        {"QX502 1.5", titrator(2, 1, 1.5f, SeriesCode::QX50x), {"DR_3.RPT", "TI_5.RPT"}},
        {"QX502 3.0",
         titrator(2, 1, 3.0f, SeriesCode::QX50x),
         {"DR_3.RPT", "TI_2.RPT", "TI_5.RPT"}},
        {"QX503 1.5", titrator(3, 2, 1.5f, SeriesCode::QX50x), {"TI_4.RPT", "TI_5.RPT"}},
        {"unknown", titrator(9, 0, 3.0f, SeriesCode::QX50x), {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(names(list(4, kReports, &c.t)), c.expected) << c.what;
    const TitratorIdentity t = titrator(2, 1, 3.0f, SeriesCode::QX50x);
    const PcListing l = list(4, kReports, &t);
    EXPECT_EQ(l.lines[0].text, "DR_3.RPT"); // no date tag: the name alone
    EXPECT_EQ(l.lines[1].text, "TI_2.RPT     2024-01-31 14:30 Acid wine");
    EXPECT_EQ(l.lines[2].text, "TI_5.RPT");
}

// A tray report is dated in whichever language its titrator writes, whatever
// the window's language.
TEST_F(PcFolder, InsideATitratorTrayFolderThePcPaneShowsTheTrayFoldersDated) {
    LanguageTable texts;
    texts[1099] = "Sample:";
    texts[1100] = "Datum und Uhrzeit:";
    setLanguageTable(texts);
    dir.write("TRAY0001.RPT", "\tSample: Run 1\r\n\tDate & Time: 14:30 Jan 31, 2024\r\n");
    dir.write("TRAY0002.RPT", "\tSample: Run 2\r\n\tData & Hora: 09:00 Abr 22, 2025\r\n");
    dir.write("TRAY0003.RPT", "\tFecha y Hora: 11:05 PM Dic 03, 2024\r\n\tSample: Run 3\r\n");
    dir.write("TRAY0004.RPT", "\tSample: Run 4\r\n\tDatum und Uhrzeit: 09:00 Abr 22, 2025\r\n");
    dir.write("TI_2.RPT", report("QX502", ""));
    const TitratorIdentity t = titrator(2, 1, 3.0f, SeriesCode::QX50x);
    const PcListing l = list(12, kTrayReports | pane::kTitratorInTray, &t);
    ASSERT_EQ(names(l), (std::vector<std::string>{"TRAY0001.RPT", "TRAY0002.RPT", "TRAY0003.RPT",
                                                  "TRAY0004.RPT"}));
    EXPECT_EQ(l.lines[0].text, "TRAY0001.RPT 2024-01-31 14:30 Run 1");
    EXPECT_EQ(l.lines[1].text, "TRAY0002.RPT 2025-04-22 09:00 Run 2");
    EXPECT_EQ(l.lines[2].text, "TRAY0003.RPT 2024-12-03 23:05 Run 3");
    EXPECT_EQ(l.lines[3].text, "TRAY0004.RPT"); // no titrator writes that label
}

TEST_F(PcFolder, AFolderThatIsGoneGivesAnEmptyPaneAndAReason) {
    const PcListing l = listPcPane({dir.path() / "gone", 4, kReports, nullptr});
    EXPECT_TRUE(l.lines.empty());
    EXPECT_NE(l.error.find("gone"), std::string::npos) << l.error;
}
