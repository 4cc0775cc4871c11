#include "core/NumberFormat.h"

#include "documents/DocumentText.h"

#include <cfloat>
#include <clocale>
#include <gtest/gtest.h>

TEST(FormatLine, PadsToTheWidthOrJoinsWithOneBlank) {
    const std::string line = formatLine("Name", "abc", 54);
    EXPECT_EQ(line, "Name:" + std::string(46, ' ') + "abc\r\n");
    EXPECT_EQ(line.size(), 54u + 2);
    const std::string long60(60, 'v');
    EXPECT_EQ(formatLine("Name", long60, 54), "Name: " + long60 + "\r\n");
    // Exactly reaching the width also joins with one blank.
    EXPECT_EQ(formatLine("Name", std::string(49, 'v'), 54),
              "Name: " + std::string(49, 'v') + "\r\n");
    EXPECT_EQ(formatLine("Head", "", 20), "Head:" + std::string(15, ' ') + "\r\n");
}

TEST(FormatSignificant, SevenStepsWithFiveFigures) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {{0.012345, "1.2345E-2"}, {0.12345, "0.12345"}, {123.45, "123.45"},
                          {12345, "12345"},        {123456, "1.2346E5"}, {1.5, "1.5000"},
                          {-0.12345, "-0.12345"},  {0, "0.0000"},        {99999.6, "1.0000E5"}};
    for (const Case& c : cases)
        EXPECT_EQ(formatSignificant(c.value, 5), c.text) << c.value;
    EXPECT_EQ(formatSignificant(2.5, 1), "2.5"); // below two figures: general form
    // A Single is rounded from the text it was read from, not from its binary value.
    EXPECT_EQ(formatSignificant(0.0125f, 2), "1.3E-2");
}

TEST(FormatFixed, RoundsHalfAwayFromZeroOnTheDecimalText) {
    EXPECT_EQ(formatFixed(8.25f, 1), "8.3");
    EXPECT_EQ(formatFixed(2.015f, 2), "2.02");
    EXPECT_EQ(formatFixed(-2000.0f, 1), "-2000.0");
    EXPECT_EQ(formatFixed(9.9996f, 3), "10.000");
    EXPECT_EQ(formatFixed(-0.0001f, 3), "0.000");
    EXPECT_EQ(formatFixed(1e-30f, 4), "0.0000");
    EXPECT_EQ(formatFixed(FLT_MAX, 0).size(), 39u);
    EXPECT_EQ(generalForm(0.1f), "0.1");
    EXPECT_EQ(generalForm(2.0f), "2");
    EXPECT_EQ(generalForm(1e16), "1E+16");
    EXPECT_EQ(generalForm(-1.5e-7f), "-1.5E-07");
}

TEST(FieldValues, FitTheirFieldOrAreNotNumbers) {
    EXPECT_EQ(integerValue("2.5"), 2); // halves go to the even neighbour
    EXPECT_EQ(integerValue("3.5"), 4);
    EXPECT_EQ(integerValue("-2.5"), -2);
    EXPECT_EQ(integerValue(" 7 "), 7);
    EXPECT_EQ(integerValue("32767.4"), 32767);
    EXPECT_FALSE(integerValue("32767.5"));
    EXPECT_FALSE(integerValue("40000"));
    EXPECT_FALSE(integerValue("1e999"));
    EXPECT_FALSE(integerValue("12abc"));
    EXPECT_FALSE(integerValue("1,5"));
    EXPECT_FALSE(integerValue(""));
    EXPECT_EQ(longValue("4102444800"), 4102444800); // 2100-01-01: past 2038
    EXPECT_FALSE(longValue("1e19"));
    EXPECT_FALSE(singleValue("1e39"));
    EXPECT_FALSE(singleValue("nan"));
    EXPECT_EQ(singleValue("-1.5E2"), -150.0f);
    EXPECT_EQ(doubleValue("1e300"), 1e300);
    EXPECT_FALSE(doubleValue("1e999"));
}

TEST(FieldValues, IgnoreTheUsersLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(singleValue("1.25"), 1.25f);
    EXPECT_FALSE(singleValue("1,25"));
    EXPECT_EQ(formatFixed(1.25f, 1), "1.3");
    std::setlocale(LC_ALL, "C");
}

TEST(ApplyIndent, EveryLineAndTheEnd) {
    EXPECT_EQ(applyIndent("a\r\nb\r\n", 2), "  a\r\n  b\r\n  ");
    EXPECT_EQ(applyIndent("a\rb", 2), "  a\rb");
    EXPECT_EQ(applyIndent("x\r\n", 0), "x\r\n");
}
