#include "core/Text.h"

#include "core/Dates.h"
#include "core/Numbers.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>

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

TEST(Dates, SecondsCountFromTheEpochWithoutAZone) {
    const char* zone = std::getenv("TZ");
    const std::string saved = zone ? zone : "";
    for (const char* tz : {"UTC", "America/New_York", "Asia/Tokyo"}) {
        ::setenv("TZ", tz, 1);
        ::tzset();
        EXPECT_EQ(secondsToDate(0), "1970-01-01 00:00") << tz;
        EXPECT_EQ(secondsToDate(1706711400), "2024-01-31 14:30") << tz;
        EXPECT_EQ(secondsToDate(4102444800LL), "2100-01-01 00:00") << tz; // past 2038
        EXPECT_EQ(secondsToDate(-60), "1969-12-31 23:59") << tz;
    }
    zone ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
    ::tzset();
}

TEST(Dates, TextsThatReadAsDates) {
    struct Case {
        const char* text;
        std::optional<DateTime> expected;
    };
    const Case cases[] = {
        {"2026-12-07", DateTime{2026, 12, 7}},
        {"2024-01-31 14:30:05", DateTime{2024, 1, 31, 14, 30, 5}},
        {"07.12.2026 10:15:00", DateTime{2026, 12, 7, 10, 15}},
        {"31/01/2024", DateTime{2024, 1, 31}},
        {"01/31/2024", DateTime{2024, 1, 31}}, // month first when day first cannot be
        {"14:30 Jan 31, 2024", DateTime{2024, 1, 31, 14, 30}},
        {"02:30 PM Jan 31, 2024", DateTime{2024, 1, 31, 14, 30}},
        {"12:10 AM Jan 07, 2009", DateTime{2009, 1, 7, 0, 10}},
        {"09:05 Out 02, 2023", DateTime{2023, 10, 2, 9, 5}},   // Portuguese
        {"09:05 Dic 24, 2023", DateTime{2023, 12, 24, 9, 5}},  // Spanish
        {"09:05 Ene 02, 2023", DateTime{2023, 1, 2, 9, 5}},    // Spanish
        {"09:05 F\xE9v 02, 2023", DateTime{2023, 2, 2, 9, 5}}, // French, Windows-1252
        {"09:05 Avr 02, 2023", DateTime{2023, 4, 2, 9, 5}},    // French
        {"  14:30 Jan 31, 2024  ", DateTime{2024, 1, 31, 14, 30}},
        {"QX0201AB.MTD", std::nullopt},
        {"2026-13-45", std::nullopt},
        {"2023-02-29", std::nullopt},
        {"13:30 PM Jan 31, 2024", std::nullopt},
        {"14:30 Foo 31, 2024", std::nullopt},
        {"14:30 Jan 31", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseDateText(c.text), c.expected) << c.text;
        EXPECT_EQ(isDateText(c.text), c.expected.has_value()) << c.text;
    }
}

TEST(Numbers, MaxOfAndNumericTexts) {
    EXPECT_EQ(maxOf(1.5, 2.5), 2.5);
    EXPECT_EQ(maxOf(3.0, -1.0), 3.0);
    EXPECT_TRUE(text::isNumeric(" 21 "));
    EXPECT_TRUE(text::isNumeric("-3"));
    EXPECT_FALSE(text::isNumeric("abc"));
    EXPECT_FALSE(text::isNumeric("1.5"));
    EXPECT_FALSE(text::isNumeric(""));
}

TEST(Numbers, TextsReadAndWrittenInTheCLocale) {
    struct Case {
        const char* text;
        double leading;
        std::optional<double> whole;
    };
    const Case cases[] = {
        {"3.00 2026", 3.0, std::nullopt},
        {"x3", 0.0, std::nullopt},
        {"2.10", 2.10, 2.10},
        {" -1.5 ", -1.5, -1.5},
        {"+7", 7.0, 7.0},
        {".5", 0.5, 0.5},
        {"2,10", 2.0, std::nullopt},
        {"inf", 0.0, std::nullopt},
        {"nan", 0.0, std::nullopt},
        {"", 0.0, std::nullopt},
        {"1e999", 0.0, std::nullopt},
        {"1.5e2x", 150.0, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(num::leadingNumber(c.text), c.leading) << c.text;
        EXPECT_EQ(num::parseDouble(c.text), c.whole) << c.text;
    }
    EXPECT_EQ(num::parseInteger(" 42 "), 42);
    EXPECT_EQ(num::parseInteger("4.2"), std::nullopt);
    EXPECT_EQ(num::parseInteger("99999999999999999999"), std::nullopt);
    EXPECT_EQ(num::fixed(2.1, 2), "2.10");
    EXPECT_EQ(num::fixed(-0.125, 1), "-0.1");
}

// Labs run on German, French, Spanish and Portuguese PCs: the locale must not
// change how a number in a file, on the wire or in config.ini reads.
TEST(Numbers, CommaDecimalLocaleChangesNothing) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "the de_DE.UTF-8 locale is missing: scripts/setup installs it";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    EXPECT_STREQ(probe, "1,5") << "the locale did not take effect";
    EXPECT_DOUBLE_EQ(num::leadingNumber("2.10"), 2.10);
    EXPECT_EQ(num::parseDouble("1.50"), 1.50);
    EXPECT_EQ(num::fixed(2.1, 2), "2.10");
    EXPECT_EQ(parseDateText("02:30 PM Jan 31, 2024"), (DateTime{2024, 1, 31, 14, 30}));
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(TextFromFileLines, EveryLineEndsWithCrLf) {
    EXPECT_EQ(textFromFileLines("a\nb\r\nc\rd"), "a\r\nb\r\nc\r\nd\r\n");
    EXPECT_EQ(textFromFileLines("a\n\nb\n"), "a\r\n\r\nb\r\n");
    EXPECT_EQ(textFromFileLines(""), "");
}
