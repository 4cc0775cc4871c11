// The page template and how rows fall onto pages.
#include "documents/PageLayout.h"

#include "TempDir.h"
#include "documents/PrintTemplate.h"

#include <cerrno>
#include <clocale>
#include <gtest/gtest.h>

TEST(PageLayout, RowsWrapOnTheGridAndAreNeverSplitBetweenPages) {
    using Pages = std::vector<PrintedPage>;
    struct Case {
        std::vector<std::string> rows;
        int columns, lines;
        Pages pages;
    };
    for (const Case& c : {
             Case{{}, 10, 3, Pages{{}}}, // an empty document still has its page
             {{"a", "b", "c", "d"}, 10, 3, Pages{{"a", "b", "c"}, {"d"}}},
             // "cccccc" needs two lines; only one is left, so it starts the next page.
             {{"a", "b", "cccccc"}, 4, 3, Pages{{"a", "b"}, {"cccc", "cc"}}},
             {{"abcdefghij"}, 4, 2, Pages{{"abcd", "efgh"}, {"ij"}}}, // longer than a page
             {{"a\tb", "x   ", "\x01y"}, 20, 5, Pages{{"a       b", "x", " y"}}},
         }) {
        EXPECT_EQ(paginate(c.rows, c.columns, c.lines), c.pages) << c.rows.size();
    }
    EXPECT_EQ(printableRow("12\t|\t\t|"), "12      |               |");
}

TEST(PrintTemplate, ShippedTemplateAndItsErrors) {
    PrintTemplate t;
    PrintError error;
    ASSERT_TRUE(loadPrintTemplate(VT_SOURCE_DIR "/data/print.rpc", t, error)) << error.description;
    EXPECT_EQ(t.pageName, "A4");
    EXPECT_EQ(t.linePitchPt, 12);
    EXPECT_EQ(t.headerLeft, "{title}");
    EXPECT_EQ(t.footerRight, "Page {page} of {pages}");
    EXPECT_EQ(fillPlaceholders(t.footerRight, "T", 2, 7, "D"), "Page 2 of 7");

    // Numbers in the template are C-locale whatever the user's locale is.
    const std::string old = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    ASSERT_TRUE(parsePrintTemplate("[Page]\nSize=100.5x150\nMarginLeft=7.5\n[Font]\nSize=9\n"
                                   "[Footer]\nRight=p. {page}\n",
                                   t = {}, error));
    std::setlocale(LC_ALL, old.c_str());
    EXPECT_EQ(t.pageName, "");
    EXPECT_EQ(t.pageWidthMm, 100.5);
    EXPECT_EQ(t.marginLeftMm, 7.5);
    EXPECT_DOUBLE_EQ(t.linePitchPt, 10.8); // 1.2 times the size
    EXPECT_EQ(t.footerLeft, "");           // the section names its whole line
    EXPECT_EQ(t.footerRight, "p. {page}");

    for (const char* bad :
         {"[Page]\nSize=Huge\n", "[Page]\nSize=0x100\n", "[Page]\nOrientation=Sideways\n",
          "[Page]\nMarginLeft=7,5\n", "[Font]\nSize=2\n", "[Font]\nSize=10\nLinePitch=8\n",
          "[Page]\nSize=A5\nMarginTop=100\nMarginBottom=100\n"}) {
        error = {};
        EXPECT_FALSE(parsePrintTemplate(bad, t = {}, error)) << bad;
        EXPECT_EQ(error.number, EINVAL) << bad;
    }
    TempDir dir;
    EXPECT_FALSE(loadPrintTemplate(dir.path() / "print.rpc", t, error));
    EXPECT_EQ(error.number, ENOENT);
    EXPECT_NE(error.description.find("print.rpc is missing"), std::string::npos);
}
