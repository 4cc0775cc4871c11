// The run's summary, its date keys, file names, options and the atomic CSV write.
#include "documents/CsvExport.h"

#include "CsvReader.h"
#include "EnglishTexts.h"
#include "RecordingHost.h"
#include "TempDir.h"
#include "core/AtomicFile.h"
#include "documents/ReportDate.h"

#include <clocale>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const DateTime kToday{2030, 1, 2, 0, 0, 0};

SummaryFields fields(const std::string& sample, const std::string& date,
                     const std::string& id = "----") {
    SummaryFields f = emptySummaryFields();
    f[1] = {sample, ""};
    if (date != "----")
        f[8] = {date, ""};
    f[9].text = id;
    return f;
}

// The sample names of the summary in written order, with their numbers.
std::vector<std::string> order(const CsvExport& e, char sep = ',') {
    std::vector<std::string> out;
    const auto r = readCsv(e.summaryText(), sep);
    EXPECT_TRUE(r);
    for (std::size_t i = 1; r && i < r->size(); ++i)
        out.push_back((*r)[i][0] + ":" + (*r)[i][1]);
    return out;
}

std::size_t leftovers(const fs::path& dir) {
    std::size_t n = 0;
    for (const auto& e : fs::directory_iterator(dir))
        n += isAtomicTempName(e.path().filename().string());
    return n;
}

} // namespace

TEST(ReportDateKey, ReadsBothClocksAndReportsBadTexts) {
    useEnglishTexts();
    struct Case {
        const char* text;
        DateTime key;
        std::optional<std::string> error; // source of the error shown
    };
    const Case cases[] = {
        {"\"03:05 PM Jan 07, 2009\"", {2009, 1, 7, 15, 5, 0}, {}},
        {"\"12:10 AM Jan 07, 2009\"", {2009, 1, 7, 0, 10, 0}, {}},
        {"\"12:10 PM Jan 07, 2009\"", {2009, 1, 7, 12, 10, 0}, {}},
        {"  \"08:55 Mar 17, 2025\" ", {2025, 3, 17, 8, 55, 0}, {}},
        {"\"10:15 Out 14, 2024\"", {2024, 10, 14, 10, 15, 0}, {}},
        {"\"11:05 Dic 03, 2024\"", {2024, 12, 3, 11, 5, 0}, {}},
        {"\"03:05 XM Jan 07, 2009\"", kToday, "Export.tt224hr"},
        {"\"08:55 mar 17, 2025\"", kToday, "Export.month2byte"},
        {"\"08:55 Mar 32, 2025\"", kToday, "Export.reportDateKey"},
        {"\"0x:55 Mar 17, 2025\"", kToday, "Export.reportDateKey"},
        {"\"8:55 Mar 17, 2025\"", kToday, {}},
        {"\"\"", kToday, {}},
    };
    for (const Case& c : cases) {
        const DateKey k = reportDateKey(c.text, kToday);
        EXPECT_EQ(k.key, c.key) << c.text;
        EXPECT_EQ(k.error ? std::optional(k.error->source) : std::nullopt, c.error) << c.text;
    }
    EXPECT_EQ(*reportDateKey("\"03:05 XM Jan 07, 2009\"", kToday).error, exporterr::invalidTime());
    EXPECT_EQ(reportDateKey("\"08:55 Foo 17, 2025\"", kToday).error->description,
              "Invalid month string");
}

TEST(ReportDateKey, MonthNamesOfTheReportLanguages) {
    const std::pair<const char*, int> names[] = {
        {"Jan", 1}, {"Ene", 1},  {"Feb", 2},  {"Fev", 2},  {"Mar", 3},  {"Apr", 4},  {"Abr", 4},
        {"May", 5}, {"Mai", 5},  {"Jun", 6},  {"Jul", 7},  {"Aug", 8},  {"Ago", 8},  {"Sep", 9},
        {"Set", 9}, {"Oct", 10}, {"Out", 10}, {"Nov", 11}, {"Dec", 12}, {"Dez", 12}, {"Dic", 12}};
    for (const auto& [name, month] : names)
        EXPECT_EQ(month2byte(name), month) << name;
    for (const char* bad : {"JAN", "jan", "Janv", ""}) {
        ExportError e;
        EXPECT_FALSE(month2byte(bad, &e)) << bad;
        EXPECT_EQ(e, exporterr::invalidMonth());
    }
}

TEST(Summary, OrderByNumbersTheLinesAndKeepsEqualDatesInExportOrder) {
    struct Case {
        int orderBy;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {0, {"1:old", "2:tieA", "3:tieB", "4:new"}},
        {1, {"1:new", "2:tieA", "3:tieB", "4:old"}},
        {2, {"1:tieA", "2:new", "3:old", "4:tieB"}},
        {7, {"1:old", "2:tieA", "3:tieB", "4:new"}},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        CsvExport e(exportOptionsFor(0, 0, c.orderBy), host);
        e.startSummary(1);
        e.addSummaryLine(fields("tieA", "10:00 Mar 17, 2025"));
        e.addSummaryLine(fields("new", "03:05 PM Jan 07, 2026"));
        e.addSummaryLine(fields("old", "12:10 AM Jan 07, 2009"));
        e.addSummaryLine(fields("tieB", "10:00 Mar 17, 2025"));
        EXPECT_EQ(order(e), c.expected) << "orderBy " << c.orderBy;
        EXPECT_TRUE(host.messages.empty());
    }
}

TEST(Summary, HeaderByLanguageAndTheDateFieldQuoted) {
    RecordingHost host;
    CsvExport e(exportOptionsFor(0, 0, 0), host);
    e.startSummary(1);
    e.addSummaryLine(fields("HCl, 0.1 N", "08:55 Mar 17, 2025"));
    EXPECT_EQ(e.summaryText(), "#,Sample Name,Result,Unit,Sample Size,Unit,Volume Dispensed,Unit,"
                               "Date & Time,Report ID,Titration Method\r\n"
                               "1,\"HCl, 0.1 N\",----,----,----,----,----,----,"
                               "\"08:55 Mar 17, 2025\",----,----\r\n");
    CsvExport semi(exportOptionsFor(1, 1, 0), host);
    semi.startSummary(3);
    SummaryFields f = fields("x", "08:55 Mar 17, 2025");
    f[1].quote = f[8].quote = "\"";
    semi.addSummaryLine(f);
    const auto r = readCsv(semi.summaryText(), ';');
    ASSERT_TRUE(r);
    EXPECT_EQ((*r)[0][5], "Amostra Nome");
    EXPECT_EQ((*r)[0][10], "Nome M\xE9todo");
    EXPECT_NE(semi.summaryText().find("\"1\";\"x\";----"), std::string::npos);
    // A language without labels of its own (German, 5) takes the English ones.
    for (int language : {5, 20}) {
        CsvExport other(exportOptionsFor(0, 0, 0), host);
        other.startSummary(language);
        EXPECT_EQ(other.summaryText(), "#,Sample Name,Result,Unit,Sample Size,Unit,Volume "
                                       "Dispensed,Unit,Date & Time,Report ID,Titration Method\r\n")
            << language;
    }
}

TEST(Summary, BadDatesAreShownAndSortAsToday) {
    RecordingHost host;
    CsvExport e(exportOptionsFor(0, 0, 0), host);
    e.setToday(kToday);
    e.startSummary(1);
    e.addSummaryLine(fields("bad", "08:55 Foo 17, 2099"));
    e.addSummaryLine(fields("none", "----"));
    e.addSummaryLine(fields("late", "08:55 Mar 17, 2031"));
    e.addSummaryLine(fields("early", "08:55 Mar 17, 2029"));
    EXPECT_EQ(order(e), (std::vector<std::string>{"1:early", "2:bad", "3:none", "4:late"}));
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].title, "Export.month2byte");
    EXPECT_NE(e.summaryText().find(",\"----\",----,----"), std::string::npos);
}

TEST(CsvFile, AFailedConversionLeavesTheOldCsvAndNoTemporaryFile) {
    TempDir dir;
    RecordingHost host;
    CsvExport e(exportOptionsFor(0, 0, 0), host);
    e.startSummary(1);
    const fs::path csv = dir.write("KF_1.csv", "old");
    const fs::path bad = dir.write(
        "KF_1.RPT", "\tResult: 1 ppm\r\n\r\n\t Nr  Volume[mL]      mV       Time   Temp.[C]\r\n");
    EXPECT_EQ(*e.toCsv(bad, csv), exporterr::column());
    fs::create_directory(dir.path() / "TI_2.RPT");
    EXPECT_EQ(e.toCsv(dir.path() / "TI_2.RPT", csv)->number, exporterr::kFileAccess);
    EXPECT_EQ(e.toCsv(dir.path() / "TI_3.RPT", csv)->source, "Export.toCsv");
    EXPECT_EQ(*e.toCsv(dir.path() / "TI_3.TXT", csv), exporterr::notReport());
    EXPECT_EQ(dir.read("KF_1.csv"), "old");
    EXPECT_EQ(e.summaryLines(), 0u);

    const fs::path good = dir.write("TI_4.RPT", "\tResult: 1 ppm\r\n");
    EXPECT_FALSE(e.toCsv(good, csv));
    EXPECT_EQ(dir.read("KF_1.csv"), "\"Result: 1 ppm\",\r\n");
    EXPECT_EQ(e.summaryLines(), 1u);
    fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::remove);
    if (::access(dir.str().c_str(), W_OK) != 0) { // not when the tests run as root
        EXPECT_EQ(e.toCsv(good, dir.path() / "new.csv")->number, exporterr::kFileAccess);
        EXPECT_EQ(e.summaryLines(), 1u);
    }
    fs::permissions(dir.path(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(leftovers(dir.path()), 0u);
}

TEST(CsvFile, SummaryNamesNeverOverwriteAnEarlierSummary) {
    EXPECT_EQ(summaryFileName({2024, 1, 31, 23, 59, 59}), "summary_20240131235959.csv");
    EXPECT_EQ(summaryFileName({2025, 3, 7, 9, 5, 1}), "summary_20250307090501.csv");
    TempDir dir;
    const std::string name = "summary_20240131235959.csv";
    EXPECT_EQ(freeFileName(dir.path(), name), dir.path() / name);
    dir.write(name, "a");
    EXPECT_EQ(freeFileName(dir.path(), name), dir.path() / "summary_20240131235959_2.csv");
    dir.write("SUMMARY_20240131235959_2.CSV", "b");
    EXPECT_EQ(freeFileName(dir.path(), name), dir.path() / "summary_20240131235959_3.csv");
    EXPECT_EQ(findInFolder(dir.path(), "summary_20240131235959_2.csv"),
              dir.path() / "SUMMARY_20240131235959_2.CSV");
}

TEST(ExportOptionsLoad, MissingOrInvalidValuesCountAsZero) {
    struct Case {
        const char* ini;
        int csv, dec, order;
        const char* sep;
        const char* decimal;
        const char* quote;
    };
    const Case cases[] = {
        {"", 0, 0, 0, ",", ".", ""},
        {"csvSep=1\ndecSep=1\norderBy=2\n", 1, 1, 2, ";", ",", "\""},
        {"csvSep=0\ndecSep=1\norderBy=1\n", 0, 1, 1, ",", ",", "\""},
        {"csvSep=2\ndecSep=abc\norderBy=3\n", 0, 0, 0, ",", ".", ""},
        {"csvSep=-1\ndecSep= 1 \norderBy=1.5\n", 0, 1, 0, ",", ",", "\""},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const fs::path ini = dir.write("config.ini", std::string("[Options]\n") + c.ini);
        const ExportOptions o = loadExportOptions(ini);
        EXPECT_EQ(std::tie(o.csvSep, o.decSep, o.orderBy), std::tie(c.csv, c.dec, c.order))
            << c.ini;
        EXPECT_EQ(o.listSeparator, c.sep) << c.ini;
        EXPECT_EQ(o.decimalSeparator, c.decimal) << c.ini;
        EXPECT_EQ(o.quoteChar, c.quote) << c.ini;
    }
}

TEST(CsvFile, TheLocaleDoesNotChangeWhatIsReadOrWritten) {
    TempDir dir;
    const fs::path rpt =
        dir.write("TI_1.RPT", "\tTime & Date: 03:05 PM Jan 07, 2009\r\n"
                              "\tResult: 12.345 mg/L\r\n\r\n"
                              "\t Nr  Volume[mL]      mV\r\n\t 1  12.345  -5.5\r\n");
    auto run = [&](int decSep) {
        RecordingHost host;
        CsvExport e(exportOptionsFor(0, decSep, 0), host);
        e.startSummary(1);
        EXPECT_FALSE(e.toCsv(rpt, dir.path() / "out.csv"));
        return dir.read("out.csv") + e.summaryText();
    };
    const std::string point = run(0), comma = run(1);
    const std::string old = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/setup makes this locale";
    const std::string pointDe = run(0), commaDe = run(1);
    std::setlocale(LC_ALL, old.c_str());
    EXPECT_EQ(pointDe, point);
    EXPECT_EQ(commaDe, comma);
    EXPECT_NE(point.find(",,1,12.345,-5.5\r\n"), std::string::npos) << point;
    EXPECT_NE(comma.find(",,\"1\",\"12,345\",\"-5,5\"\r\n"), std::string::npos) << comma;
    EXPECT_NE(comma.find("\"12,345\",\"mg/L\""), std::string::npos) << comma;
}
