// A spreadsheet opens the exported files directly: LibreOffice converts a summary and
// a report CSV to xlsx, and back to CSV, with every cell where it belongs.
#include "CsvReader.h"
#include "QuietExportHost.h"
#include "TempDir.h"
#include "documents/ExportRun.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

bool haveLibreOffice() {
    return std::system("command -v libreoffice >/dev/null 2>&1") == 0;
}

// LibreOffice converts `file` with the given filter options into `outDir`.
bool convert(const TempDir& work, const fs::path& file, const std::string& args,
             const fs::path& outDir) {
    const std::string command = "libreoffice --headless -env:UserInstallation=file://" +
                                work.str() + "/profile " + args + " --outdir '" + outDir.string() +
                                "' '" + file.string() + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// A CSV that went through the spreadsheet, back as records (UTF-8).
std::vector<CsvRecord> roundTrip(const TempDir& work, const fs::path& csv) {
    const fs::path xlsxDir = work.path() / "xlsx", backDir = work.path() / "back";
    fs::create_directories(xlsxDir);
    fs::create_directories(backDir);
    // 44 ",", 34 the quote, 1 Windows-1252
    EXPECT_TRUE(convert(work, csv, "--infilter=CSV:44,34,1 --convert-to xlsx", xlsxDir));
    const fs::path xlsx = xlsxDir / (csv.stem().string() + ".xlsx");
    EXPECT_EQ(work.read(fs::relative(xlsx, work.path()).string()).substr(0, 2), "PK");
    EXPECT_TRUE(
        convert(work, xlsx, "--convert-to 'csv:Text - txt - csv (StarCalc):44,34,76'", backDir));
    std::string text = work.read("back/" + csv.stem().string() + ".csv");
    std::string crlf;
    for (char c : text)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    if (crlf.size() < 2 || crlf.compare(crlf.size() - 2, 2, "\r\n") != 0)
        crlf += "\r\n";
    std::string error;
    auto records = readCsv(crlf, ',', &error);
    EXPECT_TRUE(records) << error;
    return records.value_or(std::vector<CsvRecord>{});
}

} // namespace

TEST(ExportOffice, ASpreadsheetOpensTheSummaryAndAReport) {
    if (!haveLibreOffice())
        GTEST_SKIP() << "libreoffice is not installed (Debian package libreoffice-calc-nogui)";
    TempDir work;
    const fs::path samples = fs::path(VT_SOURCE_DIR) / "data/samples/export";
    ExportRequest request;
    for (const char* n : {"TI_00201.RPT", "ISE00207.RPT", "MVR00204.RPT"}) {
        fs::copy(samples / n, work.path() / n);
        request.entries.push_back({n, {}});
    }
    request.destination = work.path();
    request.summaryName = "summary.csv";
    QuietExportHost host;
    ASSERT_EQ(exportSelectedReports(request, host).written, 3);
    ASSERT_TRUE(host.errors.empty());

    const auto summary = roundTrip(work, work.path() / "summary.csv");
    ASSERT_EQ(summary.size(), 4u);
    EXPECT_EQ(summary[1][1], "Min\xC3\xA9rio lote 7"); // read as Windows-1252
    EXPECT_EQ(summary[1][2], "55.12");
    EXPECT_EQ(summary[2][1], "HCl, 0.1 N");
    EXPECT_EQ(summary[2][8], "09:12 Apr 02, 2025");
    EXPECT_EQ(summary[3][1], "Well \"B\" water");
    EXPECT_EQ(summary[3][3], "mmol/L");

    const auto report = roundTrip(work, work.path() / "TI_00201.csv");
    ASSERT_GT(report.size(), 12u);
    EXPECT_EQ(report[0][2], "Nr");
    EXPECT_EQ(report[0][5], "mV");
    EXPECT_EQ(report[10][0], "Sample Name: HCl, 0.1 N");
    EXPECT_EQ(report[10][2], "10");
    for (const auto& row : report)
        EXPECT_EQ(row.size(), 6u);
}
