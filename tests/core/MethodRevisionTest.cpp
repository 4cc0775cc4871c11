#include "core/MethodRevision.h"

#include "core/Text.h"

#include <clocale>
#include <gtest/gtest.h>

TEST(MethodRevision, ReadsRevUntilTheFirstEmptyLine) {
    const struct {
        const char* text;
        const char* revision;
    } cases[] = {
        {"Name A\r\nRev 2\r\nMethType 32\r\n", "2.0"},
        {"Name A\r\nRev 1.26\r\n", "1.3"},
        {"Name A\r\nRev 1.25\r\nRev 7\r\n", "1.3"}, // the first Rev, rounded as the viewer does
        {"Name A\r\nRevision 7\r\nRev 3.5", "3.5"}, // keys compare exactly; the last line counts
        {"Name A\r\n\r\nRev 2\r\n", ""},            // after the empty line nothing is read
        {"Name A\r\nrev 2\r\n", ""},
        {"Rev\r\n", ""},
        {"Rev abc\r\n", ""},
        {"Rev 1e999\r\n", ""},
        {"", ""},
    };
    const char* old = std::setlocale(LC_ALL, "de_DE.UTF-8");
    for (const auto& c : cases)
        EXPECT_EQ(methodRevision(c.text), c.revision) << c.text;
    std::setlocale(LC_ALL, old ? old : "C");
}

TEST(MethodRevision, PcLinesAreJoinedWithCrLf) {
    EXPECT_EQ(methodRevision(textFromFileLines("Name A\nRev 4\n")), "4.0");
}
