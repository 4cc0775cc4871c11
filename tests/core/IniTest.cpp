#include "core/Ini.h"

#include "TempDir.h"

#include <gtest/gtest.h>

TEST(Ini, ReadsCaseInsensitiveSectionsAndKeysAndTrimsBlanks) {
    TempDir dir;
    const auto f = dir.write(
        "a.ini", "; comment\r\n[Options]\r\nLanguage = 3   \r\ncom=5\r\n[other]\r\nLanguage=9\r\n");
    EXPECT_EQ(getIniString(f, "options", "LANGUAGE"), "3");
    EXPECT_EQ(getIniString(f, "OPTIONS", "Com"), "5");
    EXPECT_EQ(getIniString(f, "Other", "language"), "9");
    EXPECT_EQ(getIniString(f, "Options", "Missing"), "");
    EXPECT_EQ(getIniString(dir.path() / "none.ini", "Options", "Language"), "");
}

TEST(Ini, KeysBeforeAnySectionAndCommentLinesAreIgnored) {
    const IniFile ini =
        IniFile::parse("Language=7\n[Options]\n;Language=8\nLanguage=2\nLanguage=4\n");
    EXPECT_EQ(ini.value("Options", "Language"), "2"); // the first occurrence wins
    EXPECT_TRUE(ini.hasSection("OPTIONS"));
    EXPECT_FALSE(ini.hasSection("Nothing"));
}

TEST(Ini, LongValuesAreCutAt254Characters) {
    const std::string longValue(300, 'x');
    const IniFile ini = IniFile::parse("[S]\nk=" + longValue + "\n");
    EXPECT_EQ(ini.value("S", "k").size(), 254u);
}

TEST(Ini, WriteReplacesKeyAndKeepsEverythingElse) {
    TempDir dir;
    const std::string original = "; top comment\r\n[Options]\r\nLanguage=1\r\n; keep "
                                 "me\r\nCOM=2\r\n\r\n[Ports]\r\n1=/dev/ttyUSB0\r\n";
    const auto f = dir.write("c.ini", original);
    ASSERT_TRUE(writeIniString(f, "OPTIONS", "language", "3"));
    EXPECT_EQ(dir.read("c.ini"), "; top comment\r\n[Options]\r\nlanguage=3\r\n; keep "
                                 "me\r\nCOM=2\r\n\r\n[Ports]\r\n1=/dev/ttyUSB0\r\n");
}

TEST(Ini, WriteAddsKeyToItsSectionOrAddsTheSection) {
    TempDir dir;
    const auto f = dir.write("c.ini", "[Options]\nCOM=2\n\n[Ports]\n1=/dev/x\n");
    ASSERT_TRUE(writeIniString(f, "Options", "CrtPath", "/home/lab"));
    ASSERT_TRUE(writeIniString(f, "Versions", "QX501_MIN", "1.0"));
    EXPECT_EQ(
        dir.read("c.ini"),
        "[Options]\nCOM=2\nCrtPath=/home/lab\n\n[Ports]\n1=/dev/x\n\n[Versions]\nQX501_MIN=1.0\n");
    EXPECT_EQ(getIniString(f, "options", "crtpath"), "/home/lab");
}

TEST(Ini, WriteCreatesMissingFileAndFailsCleanlyInUnwritableFolder) {
    TempDir dir;
    ASSERT_TRUE(writeIniString(dir.path() / "new.ini", "Options", "COM", "4"));
    EXPECT_EQ(getIniString(dir.path() / "new.ini", "Options", "COM"), "4");

    // A folder that cannot hold files (its "parent" is a plain file) fails even for root.
    const auto blocker = dir.write("blocker", "not a folder");
    EXPECT_FALSE(writeIniString(blocker / "c.ini", "Options", "COM", "9"));
    EXPECT_EQ(dir.read("blocker"), "not a folder");
}
