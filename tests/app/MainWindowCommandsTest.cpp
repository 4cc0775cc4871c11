// The file commands of the main window, from the button to the files on both sides.
#include "SampleWindow.h"
#include "documents/ui/ViewerWindow.h"
#include "link/Serial.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTextEdit>
#include <QTimer>

using namespace panestest;

namespace {

// Runs once the next modal window is up (looking every 20 ms), then closes it.
void whenModal(std::function<void(QWidget*)> look) {
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [poll, look] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        poll->stop();
        poll->deleteLater();
        look(modal);
        modal->close();
    });
    poll->start();
}

} // namespace

TEST(MainWindowCommands, CopyMoveAndDeleteActOnTheSelectedPane) {
    Window win(true);
    win.click("StdMtdCheckbox");
    win.select("pcList", "QX0101AV.MTD");
    win.click("copyBtn");
    EXPECT_TRUE(contains(win.items("titList"), "QX0101AV.MTD"));
    EXPECT_TRUE(contains(win.items("pcList"), "QX0101AV.MTD"));

    win.select("pcList", "QX0231AC.MTD");
    win.click("moveBtn");
    EXPECT_TRUE(contains(win.items("titList"), "QX0231AC.MTD"));
    EXPECT_FALSE(contains(win.items("pcList"), "QX0231AC.MTD"));
    EXPECT_FALSE(fs::exists(win.dir.path() / "pc" / "QX0231AC.MTD"));

    win.select("titList", "QX0231AC.MTD");
    win.click("deleteBtn"); // the recording host answers the confirmation with yes
    EXPECT_FALSE(contains(win.items("titList"), "QX0231AC.MTD"));
    EXPECT_FALSE(fs::exists(win.dir.path() / "titrator" / "QX502" / "methods" / "QX0231AC.MTD"));
}

TEST(MainWindowCommands, DropsFollowTheCopyRule) {
    Window offline(false);
    EXPECT_FALSE(offline.w->dropAllowed(0));
    Window win(true);
    EXPECT_FALSE(win.w->dropAllowed(0)); // PC reports are not copied to the titrator
    EXPECT_TRUE(win.w->dropAllowed(1));
    win.click("StdMtdCheckbox");
    EXPECT_TRUE(win.w->dropAllowed(0));
    EXPECT_TRUE(win.w->dropAllowed(1));
    win.click("SeqRptCheckBox");
    EXPECT_FALSE(win.w->dropAllowed(0)); // nothing is dropped onto tray reports
}

TEST(MainWindowCommands, ExportWritesTheCsvAndShowsTheCsvFiles) {
    Window win(false);
    win.select("pcList", "PH_00014.RPT");
    win.click("ExportBtn");
    EXPECT_TRUE(fs::exists(win.dir.path() / "pc" / "PH_00014.csv"));
    EXPECT_TRUE(win.get<QCheckBox>("ShowCSVPcFilesCb")->isChecked());
    EXPECT_TRUE(contains(win.items("pcList"), "PH_00014.csv"));
}

TEST(MainWindowCommands, ViewShowsAPcReportAndATitratorMethod) {
    Window win(true);
    win.select("pcList", "TI_00031.RPT");
    std::string shown;
    whenModal([&](QWidget* w) {
        if (auto* text = w->findChild<QTextEdit*>())
            shown = text->toPlainText().toStdString();
    });
    win.click("ViewBtn");
    EXPECT_NE(shown.find("Total acidity wine"), std::string::npos) << shown;

    win.click("StdMtdCheckbox");
    win.select("titList", "QX0102TA.MTD");
    shown.clear();
    whenModal([&](QWidget* w) {
        if (auto* text = w->findChild<QTextEdit*>())
            shown = text->toPlainText().toStdString();
    });
    win.click("ViewBtn");
    EXPECT_NE(shown.find("QX0102TA"), std::string::npos) << shown;
}

// A put whose echo never comes: the red error keeps the status bar for its 10 s,
// whatever the busy release and the link check want to show meanwhile, and a box
// names the file that did not go.
TEST(MainWindowCommands, AFailedPutKeepsItsErrorAndNamesTheFile) {
    Window win(true, {"--drop-echo", "1"});
    win.click("StdMtdCheckbox");
    win.select("pcList", "QX0101AV.MTD");
    win.click("copyBtn");
    auto* status = win.get<QLabel>("statusBar");
    const QString error = status->text();
    EXPECT_TRUE(error.startsWith("Communication error")) << error.toStdString();
    EXPECT_TRUE(status->styleSheet().contains("#ff0000")) << status->styleSheet().toStdString();
    ASSERT_FALSE(win.host.messages.empty());
    EXPECT_EQ(win.host.messages.back().text, "These files failed:\rQX0101AV.MTD");

    // Once the settling pause is over the link check runs and finds the titrator.
    Serial& serial = win.w->serial();
    ASSERT_TRUE(defaultPump().waitUntil([&] { return !serial.isRecovering(); }, 5000));
    win.w->linkMonitor().checkLinkTimer();
    EXPECT_EQ(status->text(), error);
}

// Printing a titrator file whose fetch fails (the titrator is unplugged): the
// status bar says why, no box repeats it.
TEST(MainWindowCommands, AFailedFetchForPrintIsReportedOnce) {
    Window win(true);
    win.select("titList", "TI_00017.RPT");
    win.host.messages.clear();
    win.sim->terminate();
    win.click("printBtn");
    EXPECT_TRUE(win.get<QLabel>("statusBar")->styleSheet().contains("#ff0000"));
    EXPECT_TRUE(win.host.messages.empty()) << win.host.messages[0].text;
}

// An export in which a report fails names it, with its error, in one box at the end.
TEST(MainWindowCommands, AFailedExportNamesTheReport) {
    Window win(false);
    fs::copy(VT_SOURCE_DIR "/data/samples/export/KF_00209.RPT", win.dir.path() / "pc");
    win.w->panes().showFiles();
    QListWidget* pc = win.list("pcList");
    for (const char* name : {"KF_00209.RPT", "PH_00014.RPT"})
        pc->findItems(name, Qt::MatchStartsWith)[0]->setSelected(true);
    win.host.messages.clear();
    win.click("ExportBtn");
    EXPECT_TRUE(fs::exists(win.dir.path() / "pc" / "PH_00014.csv"));
    ASSERT_EQ(win.host.messages.size(), 1u);
    EXPECT_EQ(win.host.messages[0].text,
              "These files failed:\rKF_00209.RPT: Export.inlineSearch: column");
}
