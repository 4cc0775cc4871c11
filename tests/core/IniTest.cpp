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

// Hostile files and writes: what is read, whether the write is stored, and the
// file afterwards. A refused write names the key and leaves the file as it was.
TEST(Ini, HostileFilesAndWritesKeepThePrivateProfileRules) {
    enum class Kind { Plain, ReadOnly, Symlink };
    struct Case {
        const char* what;
        Kind kind;
        std::string before;
        std::string section, key; // read back after the write
        std::string read;
        std::string value; // written to section/key when not empty
        bool stored;
        std::string after; // the file afterwards ("" = as it was)
    } cases[] = {
        {"byte-order mark", Kind::Plain, "\xEF\xBB\xBF[Options]\nCOM=2\n", "Options", "COM", "3",
         "3", true, "\xEF\xBB\xBF[Options]\nCOM=3\n"},
        {"the first of two sections wins", Kind::Plain,
         "[Options]\nCOM=2\n[OPTIONS]\nCOM=5\nSpeed=9600\n", "Options", "Speed", "", "", false, ""},
        {"quoted value", Kind::Plain, "[Options]\nCrtPath = \"/home/lab one\"  \n", "Options",
         "CrtPath", "/home/lab one", "", false, ""},
        {"padded names", Kind::Plain, "[Options]\nCOM=2\n", " Options ", " COM ", "4", "4", true,
         "[Options]\nCOM=4\n"},
        {"line feed in a value", Kind::Plain, "[Options]\nCOM=2\n", "Options", "CrtPath", "",
         "/lab\n[Versions]\nQX502_MAX=99", false, ""},
        {"carriage return in a value", Kind::Plain, "[Options]\nCOM=2\n", "Options", "CrtPath", "",
         "/lab\rQX502_MAX=99", false, ""},
        {"NUL in a value", Kind::Plain, "[Options]\nCOM=2\n", "Options", "CrtPath", "",
         std::string("/lab\0x", 6), false, ""},
        {"line break in a key", Kind::Plain, "[Options]\nCOM=2\n", "Options", "COM\nQX502_MAX", "",
         "9", false, ""},
        {"= in a key", Kind::Plain, "[Options]\nCOM=2\n", "Options", "QX502_MAX=9;x", "", "1",
         false, ""},
        {"] in a section", Kind::Plain, "[Options]\nCOM=2\n", "Options]\n[Versions", "COM", "", "1",
         false, ""},
        {"read-only file", Kind::ReadOnly, "[Options]\nCOM=2\n", "Options", "COM", "2", "7", false,
         ""},
        {"symlink", Kind::Symlink, "[Options]\nCOM=2\n", "Options", "COM", "8", "8", true,
         "[Options]\nCOM=8\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const auto real = dir.write(c.kind == Kind::Symlink ? "real.ini" : "config.ini", c.before);
        const auto config = dir.path() / "config.ini";
        if (c.kind == Kind::Symlink)
            std::filesystem::create_symlink("real.ini", config);
        if (c.kind == Kind::ReadOnly)
            std::filesystem::permissions(real, std::filesystem::perms::owner_read |
                                                   std::filesystem::perms::group_read |
                                                   std::filesystem::perms::others_read);
        if (!c.value.empty()) {
            std::string error;
            EXPECT_EQ(writeIniString(config, c.section, c.key, c.value, &error), c.stored);
            const std::string named = c.kind == Kind::ReadOnly ? "config.ini" : c.key.substr(0, 3);
            EXPECT_EQ(error.find(named) != std::string::npos, !c.stored) << error;
        }
        EXPECT_EQ(dir.read(real.filename().string()), c.after.empty() ? c.before : c.after);
        EXPECT_EQ(std::filesystem::is_symlink(config), c.kind == Kind::Symlink);
        EXPECT_EQ(getIniString(config, c.section, c.key), c.read);
    }
}
