#include "core/Encoding.h"

#include <QString>
#include <gtest/gtest.h>

TEST(Encoding, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    EXPECT_EQ(fromQt(toQt(all)), all);
    // The five bytes Windows-1252 leaves undefined included.
    for (unsigned char c : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        EXPECT_EQ(fromQt(toQt(std::string(1, static_cast<char>(c)))),
                  std::string(1, static_cast<char>(c)));
}

TEST(Encoding, WindowsCharactersMapToTheirUnicodeCounterparts) {
    EXPECT_EQ(toQt("\x80"), QString(QChar(0x20AC))); // euro sign
    EXPECT_EQ(toQt("25 \xB0"
                   "C"),
              QStringLiteral("25 \u00B0C"));           // degree sign
    EXPECT_EQ(fromQt(QString(QChar(0x2013))), "\x96"); // en dash
    EXPECT_EQ(fromQt(QStringLiteral("\u4E2D")), "?");  // not in the code page
}

TEST(Encoding, TextFilesAreUtf8WithByteOrderMarkElseWindows1252) {
    EXPECT_EQ(decodeTextFile("\xEF\xBB\xBF"
                             "Schlie\xC3\x9F"
                             "en \xE2\x82\xAC"),
              "Schlie\xDF"
              "en \x80");
    EXPECT_EQ(decodeTextFile("Schlie\xDF"
                             "en"),
              "Schlie\xDF"
              "en");
    EXPECT_EQ(decodeTextFile("\xEF\xBB\xBF\xE4\xB8\xAD"), "?"); // not in the code page
}
