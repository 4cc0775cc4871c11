#include "documents/RenderDocument.h"

#include "EnglishTexts.h"
#include "core/FileTypes.h"

#include <gtest/gtest.h>

TEST(CleanReportText, JoinsContinuedLinesAndMendsTabsAndDegrees) {
    EXPECT_EQ(cleanReportText("\tSample Name: long \r\n\t\tname\r\n"),
              "  Sample Name: longname\r\n");
    EXPECT_EQ(cleanReportText("a\r\n\t\tb"), "ab");
    EXPECT_EQ(cleanReportText("\tTemp.\t25.0 \xA7"
                              "C\r\n"),
              "  Temp.  25.0 \xB0"
              "C\r\n");
}

TEST(RenderDocument, DispatchesByTypeAndKind) {
    useEnglishTexts();
    const std::string method = "Name Water\r\nMode 0\r\n";
    const TitratorInfo t{3.0f, Series::QX50x, 1};
    auto has = [](const std::string& s, const char* part) {
        return s.find(part) != std::string::npos;
    };
    EXPECT_TRUE(has(renderDocument(method, 2, 0, t), "Dosing:"));
    EXPECT_TRUE(has(renderDocument(method, 3, 2, t), "Pre-dispense:"));
    EXPECT_TRUE(has(renderDocument(method, 1, 3, t), "Solvent Type:"));
    EXPECT_TRUE(has(renderDocument("NAM Run\r\n", 10, 0, t), "Sequence Name:"));
    EXPECT_EQ(renderDocument("a\tb", 11, 0, t), "a  b");
    EXPECT_EQ(renderDocument("a\tb", 7, 2, t), "a\tb");
}
