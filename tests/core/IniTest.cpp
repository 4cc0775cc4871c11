#include "core/Ini.h"

#include "TempDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

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

// A FIFO would block the open, /dev/zero never ends, a folder has no content:
// each reads as empty with a reason, at once.
TEST(Ini, FilesThatAreNotRegularAreRefusedWithAReason) {
    TempDir dir;
    const auto fifo = dir.path() / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(dir.path() / "folder.ini");
    for (const std::filesystem::path& p :
         {fifo, dir.path() / "folder.ini", std::filesystem::path("/dev/zero")}) {
        std::string error;
        const IniFile ini = IniFile::load(p, &error);
        EXPECT_FALSE(ini.hasSection("Options")) << p;
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << p << ": " << error;
        EXPECT_EQ(iniReadError(p), error);
    }
    std::string error = "stale";
    IniFile::load(dir.path() / "missing.ini", &error);
    EXPECT_EQ(error, ""); // a missing file is no error: it reads as empty
}

TEST(Ini, ACachedFileIsReadAgainWhenItChangesOnDisk) {
    TempDir dir;
    const auto f = dir.write("c.ini", "[Options]\nCOM=1\n");
    EXPECT_EQ(getIniString(f, "Options", "COM"), "1");
    dir.write("c.ini", "[Options]\nCOM=2\n"); // same size, rewritten by another program
    EXPECT_EQ(getIniString(f, "Options", "COM"), "2");
    std::filesystem::rename(dir.write("other.ini", "[Options]\nCOM=3\n"), f);
    EXPECT_EQ(getIniString(f, "Options", "COM"), "3");
}

TEST(Ini, ManyEntriesAreIndexedOnce) {
    std::string text = "[Strings]\n";
    for (int i = 0; i < 200000; ++i)
        text += std::to_string(i) + "=text " + std::to_string(i) + "\n";
    const IniFile ini = IniFile::parse(text);
    EXPECT_EQ(ini.value("strings", "199999"), "text 199999");
    EXPECT_EQ(ini.value("strings", "0"), "text 0");
}
