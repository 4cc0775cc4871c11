#include "app/ui/MainWindow.h"

#include "RecordingHost.h"
#include "TempDir.h"
#include "core/AppPaths.h"
#include "core/Ini.h"
#include "core/Language.h"
#include "core/Pump.h"
#include "core/Settings.h"
#include "core/Version.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

struct Started {
    TempDir dir;
    AppPaths paths;
    RecordingHost host;
    Settings settings;
    explicit Started(const std::string& language) {
        dir.write("config.ini", "[Options]\nLanguage=1\nCrtPath=" + (dir.path() / "pc").string() +
                                    "\n[LanguageFiles]\n1=en.lng\n[HelpFiles]\n1=help.html\n");
        dir.write("en.lng", language);
        dir.write("help.html", "<html><body><a name=\"100\"></a><h1>Help</h1></body></html>");
        paths.programDir = paths.resourceDir = paths.dataDir = dir.path();
        setAppPaths(paths);
        EXPECT_TRUE(loadSettings(paths, host, settings));
    }
};

const char* const kLanguage = "[Strings]\n1=English\n5=VELTRAN\n11=Upgrade\n12=Exit\n25=Refresh\n"
                              "30=Help\n31=Contents\n32=About\n40=Language\n232=Settings\n"
                              "259=Reports\n500=PC files\n501=Titrator files\n215=View\n216=Copy\n"
                              "340=Do you really want to quit?\n341=Exit\n982=Connect\n"
                              "1131=Folder\n1132=Trace\n1133=Link (%v)\n131=&File\n"
                              "132=&Communication\n135=Sequences\n";

QAction* action(MainWindow& w, const char* name) {
    return w.findChild<QAction*>(name);
}

} // namespace

TEST(MainWindowStart, CaptionMenusAndControlsComeFromTheLanguageFile) {
    Started s(kLanguage);
    MainWindow w(s.settings, s.host, defaultPump());
    EXPECT_EQ(w.windowTitle().toStdString(), "VELTRAN " + appVersionText());
    EXPECT_EQ(w.findChild<QMenu*>("mnuFile")->title(), "&File");
    EXPECT_EQ(w.findChild<QMenu*>("mnuComm")->title(), "&Communication");
    EXPECT_EQ(w.findChild<QMenu*>("mnuLang")->title(), "Language");
    EXPECT_EQ(w.findChild<QMenu*>("mnuHelp")->title(), "Help");
    EXPECT_EQ(action(w, "mnuSetting")->text(), "Settings");
    EXPECT_EQ(action(w, "mnuUpgrade")->text(), "Upgrade");
    EXPECT_EQ(action(w, "mnuFileExit")->text(), "Exit");
    EXPECT_EQ(action(w, "mnuCommRefresh")->text(), "Refresh");
    EXPECT_EQ(action(w, "popCopy")->text(), "Copy");
    EXPECT_EQ(w.findChild<QPushButton*>("copyBtn")->text(), "Copy");
    EXPECT_EQ(w.findChild<QPushButton*>("ChangePathBtn")->text(), "...");
    EXPECT_EQ(w.findChild<QPushButton*>("ChangePathBtn")->toolTip(), "Folder");
    EXPECT_EQ(w.findChild<QLabel*>("statusBar")->toolTip(), "Trace");
    EXPECT_EQ(w.findChild<QPushButton*>("connectBtn")->toolTip(), "Link (Ctrl+K)");
    EXPECT_EQ(w.findChild<QRadioButton*>("SeqCheckBox")->text(), "Sequences");
    EXPECT_TRUE(w.findChild<QRadioButton*>("RptCheckbox")->isChecked());
    EXPECT_EQ(w.findChild<QLabel*>("pcFrame")->text(), "PC files");
    EXPECT_EQ(w.findChild<QLabel*>("PCPathLabel")->text().toStdString(),
              (s.dir.path() / "pc").string() + "  ");
    EXPECT_TRUE(w.findChild<QPushButton*>("connectBtn")->isEnabled());
    EXPECT_FALSE(w.findChild<QPushButton*>("copyBtn")->isEnabled());
    EXPECT_TRUE(action(w, "mnuLangSub1")->isChecked());
    EXPECT_EQ(action(w, "mnuLangSub1")->text(), "English");
    EXPECT_FALSE(action(w, "mnuLangSub2")->isVisible());
}

TEST(MainWindowStart, MissingTitleTextLeavesBlankBeforeVersion) {
    Started s("[Strings]\n1=English\n");
    MainWindow w(s.settings, s.host, defaultPump());
    EXPECT_EQ(w.windowTitle().toStdString(), " " + appVersionText());
}

TEST(MainWindowExit, NoKeepsTheWindowAndYesStoresTheFolder) {
    Started s(kLanguage);
    MainWindow w(s.settings, s.host, defaultPump());
    w.show();
    s.host.answer = false;
    EXPECT_FALSE(w.close());
    ASSERT_FALSE(s.host.messages.empty());
    EXPECT_EQ(s.host.messages.back().text, "Do you really want to quit?");
    EXPECT_EQ(s.host.messages.back().title, "Exit");
    EXPECT_TRUE(getIniString(s.paths.configPath(), "Options", "CrtPath") ==
                (s.dir.path() / "pc").string());

    s.settings.pcPath = (s.dir.path() / "elsewhere").string();
    s.host.answer = true;
    EXPECT_TRUE(w.close());
    EXPECT_EQ(getIniString(s.paths.configPath(), "Options", "CrtPath"),
              (s.dir.path() / "elsewhere").string());
}

// Context help takes the language's [HelpFiles] entry; Contents the resource
// folder's file named by language text 973.
TEST(MainWindowHelp, ContextHelpAndContentsOpenTheirFiles) {
    Started s(std::string(kLanguage) + "973=contents.html\n");
    s.dir.write("contents.html", "<html><body><h1>Contents page</h1></body></html>");
    MainWindow w(s.settings, s.host, defaultPump());
    w.show();
    QTest::keyClick(w.findChild<QWidget*>("pcList"), Qt::Key_F1, Qt::ControlModifier);
    QWidget* help = w.findChild<QWidget*>("helpWindow");
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    auto* browser = help->findChild<QTextBrowser*>();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->source().toLocalFile().endsWith("help.html"));
    action(w, "mnuContents")->trigger();
    EXPECT_TRUE(browser->source().toLocalFile().endsWith("contents.html"));
    EXPECT_TRUE(browser->toPlainText().contains("Contents page"));
}
