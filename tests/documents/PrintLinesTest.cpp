// The print lines and the report database they go into.
#include "documents/PrintLines.h"

#include "EnglishTexts.h"
#include "TempDir.h"
#include "core/FileTypes.h"
#include "documents/PrintJob.h"
#include "documents/ReportDatabase.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <gtest/gtest.h>
#include <utility>

namespace {

// The table as SQLite holds it: (line, text) in line order, read past our own code.
std::vector<std::pair<long long, std::string>> tableRows(const std::filesystem::path& file) {
    std::vector<std::pair<long long, std::string>> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "check");
        db.setDatabaseName(QString::fromStdString(file.string()));
        EXPECT_TRUE(db.open());
        QSqlQuery q("SELECT line, text FROM Report ORDER BY line", db);
        while (q.next())
            rows.emplace_back(q.value(0).toLongLong(), q.value(1).toString().toStdString());
    }
    QSqlDatabase::removeDatabase("check");
    return rows;
}

std::string numberedLines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "  line " + std::to_string(i) + "\r\n";
    return text + "  ";
}

} // namespace

TEST(PrintLines, HeadingAndTitleFollowTheKindOfDocument) {
    useEnglishTexts();
    using namespace ftype;
    struct Case {
        int type, heading, title;
    };
    for (const Case c : {Case{kReports, 652, 420},
                         {kTrp, 652, 420},
                         {kCrp, 652, 420},
                         {kTrayReports, 652, 420},
                         {kTrayFolderReports, 652, 420},
                         {kSequences, 655, 431},
                         {kStandardMethods, 650, 422},
                         {kUserMethods, 650, 422},
                         {kAllMethods, 650, 422},
                         {kOther, 650, 422}}) {
        EXPECT_EQ(printHeadingText(c.type), c.heading) << c.type;
        EXPECT_EQ(printTitleText(c.type), c.title) << c.type;
    }
    const auto rows = buildPrintLines("a\r\nb", kSequences);
    EXPECT_EQ(rows,
              (std::vector<std::string>{"          Sample Changer Sequence", " ", " ", "a", "b"}));
    // A lone LF or CR ends a row too: no control character reaches the page.
    EXPECT_EQ(buildPrintLines("a\nb\rc", kReports).size(), 6u);
}

TEST(PrintLines, TypesEachCommandTakes) {
    for (int t = 0; t <= 12; ++t) {
        EXPECT_EQ(printAccepts(t), t == 2 || t == 3 || t == 4 || t == 10 || t == 11 || t == 12)
            << t;
        EXPECT_EQ(previewAccepts(t), t == 2 || t == 3 || t == 4) << t;
    }
}

TEST(ReportDatabase, ThirtyRenderedLinesGiveRowsOneToThirtyFour) {
    useEnglishTexts();
    TempDir dir;
    const auto file = dir.path() / kReportDatabaseName; // created with its table
    PrintError error;
    ASSERT_TRUE(
        storePrintJob(renderedPrintJob(numberedLines(30), ftype::kUserMethods), file, error))
        << error.description;
    const auto rows = tableRows(file);
    ASSERT_EQ(rows.size(), 34u);
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].first, static_cast<long long>(i + 1));
    EXPECT_EQ(rows[0].second, "          Titration Method");
    EXPECT_EQ(rows[1].second, " ");
    EXPECT_EQ(rows[2].second, " ");
    EXPECT_EQ(rows[3].second, "  line 1");
    EXPECT_EQ(rows[32].second, "  line 30");
    EXPECT_EQ(rows[33].second, "  "); // the indent after the last CR LF
}

TEST(ReportDatabase, ADamagedFileNamesTheReason) {
    TempDir dir;
    const auto file = dir.write(kReportDatabaseName, std::string(4096, 'x'));
    ReportDatabase db(file);
    EXPECT_FALSE(db.isOpen());
    EXPECT_EQ(db.error().number, 26); // SQLite: not a database
    EXPECT_NE(db.error().description.find("file is not a database"), std::string::npos)
        << db.error().description;
    EXPECT_EQ(dir.read(kReportDatabaseName), std::string(4096, 'x'));
}

TEST(ReportDatabase, HoldsOnlyTheLastDocumentWholeAndEveryByte) {
    useEnglishTexts();
    TempDir dir;
    const auto file = dir.path() / kReportDatabaseName;
    PrintError error;
    // Longer than the 8999 print lines a 16-bit table held: nothing is cut.
    ASSERT_TRUE(
        storePrintJob(renderedPrintJob(numberedLines(12000), ftype::kReports), file, error));
    EXPECT_EQ(tableRows(file).size(), 12004u);
    EXPECT_EQ(tableRows(file).back(), (std::pair<long long, std::string>{12004, "  "}));

    std::string bytes;
    for (int c = 0x20; c < 0x100; ++c)
        bytes += static_cast<char>(c);
    ASSERT_TRUE(storePrintJob(renderedPrintJob("25.0 \xB0"
                                               "C\r\n" +
                                                   bytes,
                                               ftype::kReports),
                              file, error));
    ReportDatabase db(file);
    std::vector<std::string> lines;
    ASSERT_TRUE(db.readLines(lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"          Titration Report", " ", " ",
                                               "25.0 \xB0"
                                               "C",
                                               bytes}));
}

TEST(ReportDatabase, AFileThatIsNoDatabaseIsReportedAndLeftAlone) {
    TempDir dir;
    std::string access = std::string("\0\1\0\0Standard Jet DB\0", 20);
    access.resize(4096, '\x55');
    const auto foreign = dir.write(kReportDatabaseName, access);
    PrintError error;
    EXPECT_FALSE(storePrintJob(renderedPrintJob("x", 4), foreign, error));
    EXPECT_TRUE(error.failed());
    EXPECT_NE(error.description.find(foreign.string()), std::string::npos) << error.description;
    EXPECT_EQ(dir.read(kReportDatabaseName), access);

    EXPECT_FALSE(storePrintJob(renderedPrintJob("x", 4), dir.path(), error)); // a folder
    EXPECT_TRUE(error.failed());
}
