#include "app/Text.h"

#include <gtest/gtest.h>

TEST(FormatMsg, FillsPlaceholdersInOrderAndBreaksLines) {
    EXPECT_EQ(formatMsg("a %v b %v", {"1", "2"}), "a 1 b 2");
    EXPECT_EQ(formatMsg("first\\nsecond", {}), "first\rsecond");
    EXPECT_EQ(formatMsg("%v%v", {"x"}), "x%v");
    // Each search starts again from the beginning: an argument holding %v is filled next.
    EXPECT_EQ(formatMsg("%v and %v", {"%v", "B"}), "B and %v");
    EXPECT_EQ(formatMsg("no places", {"1"}), "no places");
}

TEST(TakeToken, SplitsAtTheFirstDelimiter) {
    std::string src = "QX502 S/N 0412 V3";
    EXPECT_EQ(takeToken(src, " "), "QX502");
    EXPECT_EQ(src, "S/N 0412 V3");
    std::string single = "word";
    EXPECT_EQ(takeToken(single, " "), "word");
    EXPECT_EQ(single, "");
    std::string multi = "a::b";
    EXPECT_EQ(takeToken(multi, "::"), "a");
    EXPECT_EQ(multi, "b");
}

TEST(ReplaceAll, ContinuesAfterEachReplacement) {
    EXPECT_EQ(replaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(replaceAll("x\\ny\\n", "\\n", "\r"), "x\ry\r");
    EXPECT_EQ(replaceAll("abc", "", "z"), "abc");
}

TEST(VersionText, RevisionMarksReleaseCandidates) {
    EXPECT_EQ(versionText(2, 5, 9999), "2.05");
    EXPECT_EQ(versionText(2, 5, 3), "2.05RC-3");
    EXPECT_EQ(versionText(10, 12, 0), "10.12RC-0");
}

TEST(Dates, SecondsAndDateTexts) {
    EXPECT_TRUE(isDateText(secondsToDate(0)));
    EXPECT_TRUE(isDateText("2026-12-07"));
    EXPECT_TRUE(isDateText("07.12.2026 10:15:00"));
    EXPECT_FALSE(isDateText("QX0201AB.MTD"));
    EXPECT_FALSE(isDateText("2026-13-45"));
    EXPECT_NE(secondsToDate(86400), secondsToDate(0));
}

TEST(Numbers, MaxOfAndNumericTexts) {
    EXPECT_EQ(maxOf(1.5, 2.5), 2.5);
    EXPECT_EQ(maxOf(3.0, -1.0), 3.0);
    EXPECT_TRUE(text::isNumeric(" 21 "));
    EXPECT_TRUE(text::isNumeric("-3"));
    EXPECT_FALSE(text::isNumeric("abc"));
    EXPECT_FALSE(text::isNumeric("1.5"));
    EXPECT_FALSE(text::isNumeric(""));
    EXPECT_DOUBLE_EQ(text::leadingNumber("3.00 2026"), 3.0);
    EXPECT_DOUBLE_EQ(text::leadingNumber("x3"), 0.0);
}
