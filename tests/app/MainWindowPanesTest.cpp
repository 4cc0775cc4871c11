// The main window's panes driven as a user drives them, offline and against
// the simulated titrator with the sample files.
#include "SampleWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

using namespace panestest;

TEST(MainWindowPanes, OfflineOnlyReportsAndTheCheckBoxesExcludeEachOther) {
    Window win(false);
    EXPECT_EQ(win.items("pcList"),
              (std::vector<std::string>{"DR_00044.RPT", "KF_00045.RPT", "PH_00014.RPT",
                                        "TI_00031.RPT", "TI_00090.RPT"}));
    EXPECT_FALSE(win.enabled("StdMtdCheckbox"));
    EXPECT_TRUE(win.enabled("SeqRptCheckBox"));
    EXPECT_FALSE(win.enabled("titList"));
    EXPECT_FALSE(win.enabled("copyBtn"));
    EXPECT_TRUE(win.enabled("deleteBtn"));

    win.click("ShowCSVPcFilesCb");
    EXPECT_TRUE(contains(win.items("pcList"), "TI_00031.csv"));
    EXPECT_FALSE(win.enabled("ViewBtn"));
    win.click("ShowAllPcFilesCb");
    EXPECT_FALSE(win.get<QCheckBox>("ShowCSVPcFilesCb")->isChecked());
    EXPECT_TRUE(win.get<QCheckBox>("ShowAllPcFilesCb")->isChecked());
    EXPECT_TRUE(contains(win.items("pcList"), "QX0101AV.MTD"));
    EXPECT_FALSE(win.enabled("deleteBtn"));
    win.click("ShowCSVPcFilesCb");
    EXPECT_FALSE(win.get<QCheckBox>("ShowAllPcFilesCb")->isChecked());
    EXPECT_TRUE(win.get<QCheckBox>("ShowCSVPcFilesCb")->isChecked());
}

TEST(MainWindowPanes, OnlineEachCategoryListsBothPanesForTheModel) {
    Window win(true);
    EXPECT_TRUE(contains(win.items("titList"), "TI_00017.RPT")) << win.items("titList").size();
    EXPECT_EQ(win.items("pcList"), (std::vector<std::string>{"TI_00031.RPT", "TRAY0005.RPT"}));

    win.click("StdMtdCheckbox");
    EXPECT_EQ(win.items("titList"), (std::vector<std::string>{"QX0102TA.MTD", "QX0202CL.MTD",
                                                              "QX0302SV.MTD", "QX0402PH.MTD"}));
    // Only the methods the QX502 accepts.
    EXPECT_EQ(win.items("pcList"), (std::vector<std::string>{"QX0101AV.MTD", "QX0102TA.MTD",
                                                             "QX0231AC.MTD", "QX0302SV.MTD"}));
    EXPECT_FALSE(win.enabled("ExportBtn"));
    EXPECT_TRUE(win.enabled("copyBtn"));
    win.click("UsrMtdCheckBox");
    EXPECT_EQ(win.items("titList"), (std::vector<std::string>{"USER0001.MTD", "USER0002.MTD",
                                                              "USER0003.MTD", "USER0004.MTD"}));
    win.click("SeqCheckBox");
    EXPECT_TRUE(contains(win.items("titList"), "SEQ0001.MTD"));
    EXPECT_EQ(win.items("pcList"), std::vector<std::string>{"SEQ0003.MTD"});

    win.click("RptCheckbox");
    win.list("pcList")->setFocus();
    EXPECT_FALSE(win.enabled("copyBtn")); // reports from the PC pane are not copied
    win.list("titList")->setFocus();
    EXPECT_TRUE(win.enabled("copyBtn"));
}

TEST(MainWindowPanes, TrayFoldersAreEnteredAndLeftOnBothSides) {
    Window win(true);
    win.click("SeqRptCheckBox");
    EXPECT_EQ(win.items("titList"), std::vector<std::string>{"TRAY0001.RPT"});

    win.select("titList", "TRAY0001.RPT");
    win.click("titOpenDirBtn");
    EXPECT_EQ(win.get<QPushButton>("titOpenDirBtn")->text(), "Back");
    EXPECT_EQ(win.w->linkMonitor().folders().trayFolder, "TRAY0001\\");
    EXPECT_EQ(win.w->panes().fileType(), 12);
    EXPECT_FALSE(win.items("titList").empty());
    EXPECT_EQ(win.items("pcList"), std::vector<std::string>{"TRAY0005.RPT"}); // the tray folders

    win.select("pcList", "TRAY0005.RPT");
    win.click("pcOpenDirBtn");
    EXPECT_EQ(win.w->panes().pcPath(), (win.dir.path() / "pc" / "TRAY0005").string());
    EXPECT_EQ(win.get<QPushButton>("pcOpenDirBtn")->text(), "Back");

    // Leaving one side keeps the tray type while the other is still inside.
    QTest::keyClick(win.list("titList"), Qt::Key_Escape);
    EXPECT_EQ(win.get<QPushButton>("titOpenDirBtn")->text(), "Open Directory");
    EXPECT_EQ(win.w->panes().fileType(), 12);
    QTest::keyClick(win.list("pcList"), Qt::Key_Escape);
    EXPECT_EQ(win.w->panes().pcPath(), (win.dir.path() / "pc").string());
    EXPECT_EQ(win.w->panes().fileType(), 11);
    QTest::keyClick(win.list("pcList"), Qt::Key_Escape); // nothing left to leave
    EXPECT_EQ(win.w->panes().pcPath(), (win.dir.path() / "pc").string());

    win.list("titList")->clearSelection();
    win.click("titOpenDirBtn"); // nothing selected: told so, nothing changes
    ASSERT_FALSE(win.host.messages.empty());
    EXPECT_EQ(win.w->panes().fileType(), 11);
}

TEST(MainWindowPanes, DisconnectingShowsReportsAndEmptiesTheTitratorPane) {
    Window win(true);
    win.click("AllMtdCheckBox");
    win.click("connectBtn"); // disconnect
    EXPECT_TRUE(win.get<QRadioButton>("RptCheckbox")->isChecked());
    EXPECT_TRUE(win.items("titList").empty());
    EXPECT_FALSE(win.enabled("AllMtdCheckBox"));
}

TEST(MainWindowPanes, ChangingThePcFolderListsItAndACancelKeepsIt) {
    Window win(false);
    const fs::path other = win.dir.path() / "other";
    fs::create_directory(other);
    win.dir.write("other/TI_1.RPT", "x");
    std::string offered;
    win.w->setFolderBrowser([&](const std::string&, const std::string& start) {
        offered = start;
        return other.string();
    });
    win.click("ChangePathBtn");
    EXPECT_EQ(offered, (win.dir.path() / "pc").string());
    EXPECT_EQ(win.items("pcList"), std::vector<std::string>{"TI_1.RPT"});
    EXPECT_EQ(win.get<QLabel>("PCPathLabel")->text().toStdString(), other.string() + "  ");
    win.w->setFolderBrowser([](const std::string&, const std::string&) { return std::string(); });
    win.click("ChangePathBtn");
    EXPECT_EQ(win.w->panes().pcPath(), other.string());
}

// Panes stay left and right, the buttons below them, and nothing overlaps,
// whatever size the window is given; below the minimum it is not made smaller.
TEST(MainWindowPanes, LayoutFollowsTheWindowSize) {
    Window win(false);
    const char* controls[] = {"RptCheckbox", "SeqRptCheckBox", "pcFrame",    "pcOpenDirBtn",
                              "titFrame",    "titOpenDirBtn",  "pcList",     "titList",
                              "PCPathLabel", "ChangePathBtn",  "connectBtn", "deleteBtn",
                              "statusBar"};
    for (QSize size : {QSize(700, 500), QSize(1200, 900), QSize(300, 200)}) {
        win.w->resize(size);
        QCoreApplication::processEvents();
        EXPECT_GE(win.w->width(), win.w->minimumWidth());
        const QRect pc = win.list("pcList")->geometry(), tit = win.list("titList")->geometry();
        EXPECT_LT(pc.right(), tit.left()) << size.width();
        EXPECT_GT(pc.height(), 100) << size.width();
        EXPECT_GT(win.get<QWidget>("copyBtn")->geometry().top(), pc.bottom());
        for (const char* a : controls) {
            for (const char* b : controls) {
                if (a == b)
                    continue;
                EXPECT_FALSE(
                    win.get<QWidget>(a)->geometry().intersects(win.get<QWidget>(b)->geometry()))
                    << a << " overlaps " << b << " at " << size.width();
            }
        }
        EXPECT_LE(tit.right(), win.w->centralWidget()->width());
    }
}

// A key as the user presses it: to whatever has the focus, or the window.
void press(Window& win, Qt::Key key) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : win.w.get(), key);
}

// With both panes inside tray folders, the titrator side's Back lists the tray
// sets, and Esc works right after a double click entered the folder.
TEST(MainWindowPanes, BackFromBothTrayFoldersListsTheTitratorsSets) {
    Window win(true);
    win.click("SeqRptCheckBox");
    win.select("pcList", "TRAY0005.RPT");
    win.click("pcOpenDirBtn");
    QListWidget* tit = win.list("titList");
    win.select("titList", "TRAY0001.RPT"); // the first click of the double click
    QTest::mouseDClick(tit->viewport(), Qt::LeftButton, {},
                       tit->visualItemRect(tit->item(0)).center());
    EXPECT_EQ(win.listings().back(), "\\QX502\\asreport\\TRAY0001\\*.rpt");
    EXPECT_FALSE(contains(win.items("titList"), "TRAY0001.RPT"));

    press(win, Qt::Key_Escape);
    EXPECT_EQ(win.listings().back(), "\\QX502\\asreport\\TRAY????.rpt");
    EXPECT_EQ(win.items("titList"), std::vector<std::string>{"TRAY0001.RPT"});
    EXPECT_EQ(win.get<QPushButton>("titOpenDirBtn")->text(), "Open Directory");
    EXPECT_EQ(win.w->panes().pcPath(), (win.dir.path() / "pc" / "TRAY0005").string());
}

// Connecting keeps a PC tray folder open; a category the model lacks gives way to
// Reports before anything is listed.
TEST(MainWindowPanes, ConnectKeepsThePcTrayFolderOrFallsBackToReports) {
    Window win(true, {}, false);
    win.click("SeqRptCheckBox");
    win.select("pcList", "TRAY0005.RPT");
    win.click("pcOpenDirBtn");
    const std::vector<std::string> inside = win.items("pcList");
    ASSERT_FALSE(inside.empty());
    win.connect();
    EXPECT_EQ(win.items("pcList"), inside);
    EXPECT_EQ(win.listings(), std::vector<std::string>{"\\QX502\\asreport\\TRAY????.rpt"});
    EXPECT_EQ(win.items("titList"), std::vector<std::string>{"TRAY0001.RPT"});

    Window qx503(true, {"--model", "QX503"}, false);
    qx503.click("SeqRptCheckBox");
    qx503.host.messages.clear();
    qx503.connect();
    EXPECT_TRUE(qx503.get<QRadioButton>("RptCheckbox")->isChecked());
    EXPECT_EQ(qx503.listings(), std::vector<std::string>{"\\QX503\\reports\\*.rpt"});
    EXPECT_TRUE(qx503.host.messages.empty()) << qx503.host.messages[0].text;
}

// At the minimum window size the widest line still reads whole: the rows are as
// wide as it, and the list scrolls sideways.
TEST(MainWindowPanes, TheWidestLineSetsTheHorizontalScrollRange) {
    Window win(false);
    const std::string longName = "TI_" + std::string(150, 'L') + ".RPT";
    win.dir.write("pc/" + longName, "x");
    win.click("ShowAllPcFilesCb");
    win.w->resize(win.w->minimumSize());
    QCoreApplication::processEvents();
    QListWidget* pc = win.list("pcList");
    const auto rows = pc->findItems(QString::fromStdString(longName), Qt::MatchExactly);
    ASSERT_EQ(rows.size(), 1);
    const int textWidth = pc->fontMetrics().horizontalAdvance(rows[0]->text());
    EXPECT_GE(pc->visualItemRect(rows[0]).width(), textWidth);
    EXPECT_GE(pc->horizontalScrollBar()->maximum(), textWidth - pc->viewport()->width());
    EXPECT_EQ(pc->horizontalScrollBar()->value(), 0);
}

// An option button clicked gets tab index 0: after the last command button Tab
// comes back to it.
TEST(MainWindowPanes, AClickedOptionLeadsTheTabOrder) {
    Window win(false);
    auto nextTabStop = [](QWidget* from) {
        QWidget* w = from->nextInFocusChain();
        while (w != from && !(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        return w;
    };
    win.click("SeqRptCheckBox");
    EXPECT_EQ(nextTabStop(win.get<QWidget>("deleteBtn")), win.get<QWidget>("SeqRptCheckBox"));
    EXPECT_EQ(nextTabStop(win.get<QWidget>("pcList")), win.get<QWidget>("titList"));
    win.click("RptCheckbox");
    EXPECT_EQ(nextTabStop(win.get<QWidget>("deleteBtn")), win.get<QWidget>("RptCheckbox"));
}
