#include "core/Settings.h"

#include "RecordingHost.h"
#include "TempDir.h"
#include "core/AppPaths.h"
#include "core/Ini.h"
#include "core/Language.h"

#include <gtest/gtest.h>

namespace {

struct Fixture {
    TempDir dir;
    AppPaths paths;
    RecordingHost host;
    Settings settings;
    Fixture() {
        paths.programDir = paths.resourceDir = paths.dataDir = dir.path();
        setAppPaths(paths);
    }
    void config(const std::string& text) { dir.write("config.ini", text); }
    bool load() { return loadSettings(paths, host, settings); }
};

const char* const kTwoLanguages = "[LanguageFiles]\n3=lang/three.lng\n7=lang/seven.lng\n";

} // namespace

TEST(LoadSettings, MissingChosenLanguageFallsBackToFirstConfiguredAndStoresIt) {
    Fixture f;
    f.config(std::string("[Options]\nLanguage=1\n") + kTwoLanguages);
    f.dir.write("lang/three.lng", "[Strings]\n1=Three\n5=Title three\n");
    f.dir.write("lang/seven.lng", "[Strings]\n1=Seven\n");
    ASSERT_TRUE(f.load());
    EXPECT_FALSE(f.settings.languageMenu[1].visible);
    EXPECT_EQ(f.settings.languageIndex, 3);
    EXPECT_TRUE(f.settings.languageMenu[3].checked);
    EXPECT_FALSE(f.settings.languageMenu[7].checked);
    EXPECT_EQ(f.settings.languageMenu[3].caption, "Three");
    EXPECT_EQ(f.settings.languageMenu[7].caption, "Seven");
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].text,
              "The configured language is not present!\rAnother language was configured!");
    EXPECT_EQ(getIniString(f.paths.configPath(), "Options", "Language"), "3");
    EXPECT_EQ(langText(5), "Title three");
}

TEST(LoadSettings, OutOfRangeOrNonNumericLanguageReadsAsOne) {
    for (const char* value : {"21", "abc", "0", ""}) {
        Fixture f;
        f.config(std::string("[Options]\nLanguage=") + value +
                 "\n[LanguageFiles]\n1=en.lng\n2=de.lng\n");
        f.dir.write("en.lng", "[Strings]\n1=English\n");
        ASSERT_TRUE(f.load());
        EXPECT_EQ(f.settings.languageIndex, 1) << value;
        EXPECT_TRUE(f.settings.languageMenu[1].checked) << value;
        EXPECT_TRUE(f.host.messages.empty()) << value;
    }
}

TEST(LoadSettings, NoLanguageFileEndsWithTheFixedMessage) {
    Fixture f; // no config.ini at all
    EXPECT_FALSE(f.load());
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].text, "No language file found!\rCannot continue");
    EXPECT_FALSE(std::filesystem::exists(f.paths.configPath())); // nothing written

    Fixture g;
    g.config("[Options]\nLanguage=2\n[LanguageFiles]\n");
    EXPECT_FALSE(g.load());
}

TEST(LoadSettings, LanguageTextsLoseCommentsAndBlanks) {
    Fixture f;
    f.config("[LanguageFiles]\n1=en.lng\n");
    f.dir.write("en.lng",
                "[Strings]\n1=English\n12=  Exit   ;closes the program\n13=word ;comment\n"
                "14=;only a comment\n1210=Last\n1211=Beyond the table\n");
    ASSERT_TRUE(f.load());
    EXPECT_EQ(langText(12), "Exit");
    EXPECT_EQ(langText(13), "word");
    EXPECT_EQ(langText(14), "");
    EXPECT_EQ(langText(5), "");
    EXPECT_EQ(langText(1210), "Last");
    EXPECT_EQ(langText(1211), "");
    EXPECT_EQ(langText(-1), "");
}

TEST(LoadSettings, PortSpeedAndTraceOptions) {
    struct Case {
        const char *com, *speed, *debug;
        int wantCom, wantSpeed;
        bool wantDebug;
    } cases[] = {{"3", "9600", "True", 3, 9600, true},
                 {"abc", "14400", "true", 1, 19200, false},
                 {"", "4800", "TRUE ", 1, 4800, false},
                 {"16", "fast", "", 16, 19200, false}};
    for (const Case& c : cases) {
        Fixture f;
        f.config(std::string("[Options]\nCOM=") + c.com + "\nSpeed=" + c.speed +
                 "\nDebug=" + c.debug + "\n[LanguageFiles]\n1=en.lng\n");
        ASSERT_TRUE(f.load());
        EXPECT_EQ(f.settings.comPort, c.wantCom) << c.com;
        EXPECT_EQ(f.settings.comSpeed, c.wantSpeed) << c.speed;
        EXPECT_EQ(f.settings.debugEnabled, c.wantDebug) << c.debug;
    }
}

TEST(LoadSettings, MissingLanguageFileKeepsFileNameAsMenuCaption) {
    Fixture f;
    f.config("[LanguageFiles]\n1=missing.lng\n");
    ASSERT_TRUE(f.load());
    EXPECT_EQ(f.settings.languageMenu[1].caption, "missing.lng");
    EXPECT_EQ(langText(1), "");
}

TEST(LanguageMenu, ChoiceIsStoredAndAnnouncedButTableStays) {
    Fixture f;
    f.config("[LanguageFiles]\n1=en.lng\n2=de.lng\n");
    f.dir.write("en.lng", "[Strings]\n1=English\n303=Restart to apply\n");
    ASSERT_TRUE(f.load());
    chooseLanguage(f.settings, 2, f.host);
    EXPECT_EQ(getIniString(f.paths.configPath(), "Options", "Language"), "2");
    EXPECT_TRUE(f.settings.languageMenu[2].checked);
    EXPECT_FALSE(f.settings.languageMenu[1].checked);
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].text, "Restart to apply");
    EXPECT_EQ(langText(1), "English");
}

TEST(ShutDown, TrayFolderStoresItsParent) {
    EXPECT_EQ(folderToStore("/home/lab/data/TRAY0001", true), "/home/lab/data");
    EXPECT_EQ(folderToStore("/home/lab/data/TRAY0001", false), "/home/lab/data/TRAY0001");
    EXPECT_EQ(folderToStore("/home/lab/data/reports1", true), "/home/lab/data/reports1");
    EXPECT_EQ(folderToStore("TRAY", true), "TRAY");
}

TEST(DataFolder, SeedsConfigFromDefaultsAndNeverWritesResources) {
    TempDir res, data;
    res.write("config.ini", "[LanguageFiles]\n1=en.lng\n");
    AppPaths paths;
    paths.resourceDir = res.path();
    paths.dataDir = data.path() / "home";
    std::string error;
    ASSERT_TRUE(prepareDataDir(paths, error)) << error;
    EXPECT_EQ(getIniString(paths.configPath(), "LanguageFiles", "1"), "en.lng");
    EXPECT_EQ(paths.configPath(), data.path() / "home" / "config.ini");

    // A data folder that cannot exist: settings come from the default, which stays untouched.
    const auto blocker = data.write("blocker", "x");
    AppPaths broken;
    broken.resourceDir = res.path();
    broken.dataDir = blocker / "home";
    EXPECT_FALSE(prepareDataDir(broken, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(broken.configPath(), res.path() / "config.ini");
    EXPECT_TRUE(broken.isReadOnly(broken.configPath()));
    setAppPaths(broken);
    RecordingHost host;
    setIniString(broken.configPath(), "Options", "CrtPath", "/tmp", host);
    EXPECT_EQ(res.read("config.ini"), "[LanguageFiles]\n1=en.lng\n");
    EXPECT_EQ(host.messages.size(), 1u);
}

TEST(DataFolder, EnvironmentOverridesAndPortableMode) {
    TempDir prog;
    ::setenv("VELTRAN_HOME", (prog.path() / "home").c_str(), 1);
    EXPECT_EQ(locateAppPaths(prog.path()).dataDir, prog.path() / "home");
    ::unsetenv("VELTRAN_HOME");
    prog.write("config.ini", "[Options]\n");
    EXPECT_EQ(locateAppPaths(prog.path()).dataDir, prog.path());
    EXPECT_EQ(locateAppPaths(prog.path()).resourceDir, prog.path());
}

TEST(LoadSettings, GarbageFilesNeverCrashAndAreLeftAsTheyWere) {
    std::string garbage;
    for (int i = 0; i < 20000; ++i)
        garbage += static_cast<char>((i * 7919) % 256);
    garbage +=
        "\n[Options\n=\n[]\n==x\n[LanguageFiles]\n  1  =  en.lng  \n" + std::string(100000, 'y');
    Fixture f;
    f.config(garbage);
    f.dir.write("en.lng", garbage + "\n[Strings]\n5=Title\n7=" + std::string(1000, 'z') + "\n");
    ASSERT_TRUE(f.load());
    EXPECT_EQ(langText(5), "Title");
    EXPECT_EQ(langText(7).size(), 254u); // a value is cut like any configuration value
    EXPECT_EQ(f.dir.read("config.ini"), garbage);
    EXPECT_EQ(f.settings.comSpeed, 19200);

    Fixture g;
    g.config(std::string("[LanguageFiles]\n1=\0x\n", 21));
    EXPECT_FALSE(g.load()); // a value cut at its NUL is empty: no language
}

TEST(LoadSettings, AConfigurationThatCannotBeReadIsReportedOnce) {
    Fixture f;
    std::filesystem::create_directory(f.dir.path() / "config.ini");
    EXPECT_FALSE(f.load());
    ASSERT_EQ(f.host.messages.size(), 2u);
    EXPECT_NE(f.host.messages[0].text.find("config.ini is not a regular file"), std::string::npos);
    EXPECT_EQ(f.host.messages[1].text, "No language file found!\rCannot continue");
}
