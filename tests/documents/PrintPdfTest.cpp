// Documents printed to PDF through the report database and read back as a
// person reads a printout: every line in order, the pages, header and footer.
#include "EnglishTexts.h"
#include "PdfText.h"
#include "TempDir.h"
#include "core/Encoding.h"
#include "core/FileTypes.h"
#include "core/Numbers.h"
#include "core/RegularFile.h"
#include "core/Text.h"
#include "documents/PrintJob.h"
#include "documents/PrintLines.h"
#include "documents/RenderDocument.h"
#include "documents/ReportDatabase.h"
#include "documents/ReportEngine.h"

#include <QString>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <regex>

namespace {

const std::string kTemplate = VT_SOURCE_DIR "/data/print.rpc";

std::string sample(const std::string& name) {
    std::string bytes, error;
    EXPECT_TRUE(
        readRegularFile(VT_SOURCE_DIR "/data/samples/pc/" + name, kMaxDocumentBytes, bytes, error))
        << error;
    return textFromFileLines(bytes);
}

std::string utf8(const std::string& bytes) {
    return toQt(bytes).toUtf8().toStdString();
}

// Lines per page the template promises: the printable height in line pitches, less
// two for the header and two for the footer.
int bodyLinesOf(const PrintTemplate& t) {
    const double heightPt = (t.pageHeightMm - t.marginTopMm - t.marginBottomMm) / 25.4 * 72;
    return static_cast<int>(std::floor(heightPt / t.linePitchPt)) - 4;
}

struct Printed {
    std::vector<std::string> rows; // as stored in the table
    std::string pdf;
    int pages = 0;
};

Printed printToPdf(const TempDir& dir, const std::string& text, int type) {
    Printed p;
    const PrintJob job = renderPrintJob(text, type, 0, TitratorInfo{3.0f, Series::QX50x, 2});
    const auto database = dir.path() / kReportDatabaseName;
    PrintError error;
    EXPECT_TRUE(storePrintJob(job, database, error)) << error.description;
    ReportEngine engine;
    EXPECT_TRUE(engine.load(database, kTemplate, error)) << error.description;
    engine.setTitle(job.title);
    engine.setPrintDate("2025-03-17 09:30");
    p.rows = engine.rows();
    p.pdf = (dir.path() / "out.pdf").string();
    p.pages = engine.writePdf(p.pdf, error);
    EXPECT_GT(p.pages, 0) << error.description;
    return p;
}

std::vector<std::string> nonEmpty(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const std::string& l : lines)
        if (!squeezed(l).empty())
            out.push_back(squeezed(l));
    return out;
}

} // namespace

TEST(PrintPdf, EveryLineInOrderOnTheExpectedPagesUnderItsTitle) {
    useEnglishTexts();
    PrintTemplate t;
    PrintError error;
    ASSERT_TRUE(loadPrintTemplate(kTemplate, t, error));
    const int perPage = bodyLinesOf(t);
    std::string longReport;
    for (int i = 1; i <= 9500; ++i)
        longReport += "\tline " + std::to_string(i) + "\r\n";
    struct Case {
        std::string name, text;
        int type;
        const char* title;
    };
    for (const Case& c : {
             Case{"method", sample("QX0101AV.MTD"), ftype::kStandardMethods, "VELTRAN - Method"},
             {"report", sample("TI_00031.RPT"), ftype::kReports, "VELTRAN - Report"},
             {"sequence", sample("SEQ0003.MTD"), ftype::kSequences, "VELTRAN - Sequence"},
             {"long report", longReport, ftype::kReports, "VELTRAN - Report"},
         }) {
        TempDir dir;
        const Printed p = printToPdf(dir, c.text, c.type);
        const int expected = static_cast<int>((p.rows.size() + perPage - 1) / perPage);
        EXPECT_EQ(p.pages, expected) << c.name;
        ASSERT_EQ(pdfPageCount(p.pdf), expected) << c.name;

        // pdftotext ends each page with a form feed.
        const std::string all = pdfText(p.pdf);
        std::vector<std::string> body;
        std::size_t at = 0;
        for (int n = 1; n <= expected; ++n) {
            const std::size_t end = all.find('\f', at);
            ASSERT_NE(end, std::string::npos) << c.name << " page " << n;
            const std::vector<std::string> page = nonEmpty(textLines(all.substr(at, end - at)));
            at = end + 1;
            ASSERT_GE(page.size(), 2u) << c.name << " page " << n;
            EXPECT_EQ(page.front(), c.title) << c.name;
            EXPECT_EQ(page.back(), "Printed 2025-03-17 09:30 Page " + std::to_string(n) + " of " +
                                       std::to_string(expected))
                << c.name;
            body.insert(body.end(), page.begin() + 1, page.end() - 1);
        }
        std::vector<std::string> rows;
        for (const std::string& r : p.rows)
            rows.push_back(utf8(r));
        EXPECT_EQ(body, nonEmpty(rows)) << c.name;
    }
}

TEST(PrintPdf, ColumnsOfAReportTableStayAligned) {
    useEnglishTexts();
    TempDir dir;
    const Printed p = printToPdf(dir, sample("TI_00031.RPT"), ftype::kReports);
    // Words with their right edges; the table rows are "Nr Volume pH mV".
    const std::string boxes = pdfText(p.pdf, 0, "-bbox");
    const std::regex word(
        R"re(<word xMin="[\d.]+" yMin="([\d.]+)" xMax="([\d.]+)"[^>]*>([^<]*)</word>)re");
    std::map<std::string, std::vector<std::pair<double, std::string>>> lines;
    int page = 0;
    for (const std::string& l : textLines(boxes)) {
        page += l.find("<page ") != std::string::npos;
        std::smatch m;
        if (std::regex_search(l, m, word))
            lines[std::to_string(page) + "/" + m[1].str()].emplace_back(
                num::parseDouble(m[2].str()).value_or(-1), m[3]);
    }
    const std::regex number(R"(-?\d+(\.\d+)?)");
    std::vector<std::vector<double>> table;
    for (const auto& [y, words] : lines) {
        if (words.size() != 4)
            continue;
        bool numeric = true;
        for (const auto& w : words)
            numeric = numeric && std::regex_match(w.second, number);
        if (numeric)
            table.push_back({words[0].first, words[1].first, words[2].first, words[3].first});
    }
    ASSERT_EQ(table.size(), 34u); // the 34 measurements, over two pages
    for (const auto& row : table)
        for (std::size_t col = 0; col < 4; ++col)
            EXPECT_NEAR(row[col], table[0][col], 0.05) << col;
}

TEST(PrintPdf, APdfThatCannotBeWrittenLeavesNoFile) {
    ReportEngine engine;
    engine.setRows({"a"});
    TempDir dir;
    PrintError error;
    EXPECT_EQ(engine.writePdf(dir.path() / "missing" / "out.pdf", error), 0);
    EXPECT_TRUE(error.failed());
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}
