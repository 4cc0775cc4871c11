// The main window's panes driven as a user drives them, offline and against
// the simulated titrator with the sample files.
#include "SampleWindow.h"

#include <QAction>
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
    const char* controls[] = {"RptCheckbox", "SeqRptCheckBox", "pcFrame",     "pcOpenDirBtn",
                              "titFrame",    "titOpenDirBtn",  "pcList",      "titList",
                              "PCPathLabel", "ChangePathBtn",  "connectBtn",  "deleteBtn",
                              "statusBar",   "pcHiddenLabel",  "titFreeLabel"};
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
    QTreeView* tit = win.list("titList");
    win.select("titList", "TRAY0001.RPT"); // the first click of the double click
    QTest::mouseDClick(tit->viewport(), Qt::LeftButton, {},
                       tit->visualRect(tit->model()->index(0, 0)).center());
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

// At the minimum window size the widest name still reads whole: the name
// column is as wide as it, and the table scrolls sideways.
TEST(MainWindowPanes, TheWidestNameSetsTheHorizontalScrollRange) {
    Window win(false);
    const std::string longName = "TI_" + std::string(150, 'L') + ".RPT";
    win.dir.write("pc/" + longName, "x");
    win.click("ShowAllPcFilesCb");
    win.w->resize(win.w->minimumSize());
    QCoreApplication::processEvents();
    QTreeView* pc = win.list("pcList");
    const int textWidth = pc->fontMetrics().horizontalAdvance(QString::fromStdString(longName));
    EXPECT_GE(pc->columnWidth(0), textWidth);
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

namespace {

// A report the table can sort: its date, its sample, its size.
std::string sortableReport(const std::string& date, const std::string& sample, std::size_t size) {
    std::string text = "\tQX502 Potentiometric Titrator\r\n\tMethod Name: Acidity\r\n"
                       "\tTime & Date: " +
                       date + "\r\n\tSample Name: " + sample + "\r\n";
    text.resize(size, 'x');
    return text;
}

} // namespace

// A header sorts its column up, a second click down: names without regard to
// case, sizes as numbers, dates as dates; equal names keep the folder's order.
TEST(MainWindowPanes, EachColumnSortsBothWays) {
    Window win(false);
    const fs::path folder = win.dir.path() / "sorted";
    win.dir.write("sorted/MV_2.RPT", sortableReport("08:00 Jun 15, 2024", "gamma", 2000));
    win.dir.write("sorted/TI_1.RPT", sortableReport("14:30 Dec 31, 2024", "beta", 10000));
    win.dir.write("sorted/ti_1.rpt", sortableReport("09:00 Jan 02, 2025", "Alpha", 900));
    win.w->setFolderBrowser(
        [&](const std::string&, const std::string&) { return folder.string(); });
    win.click("ChangePathBtn");
    ASSERT_EQ(win.items("pcList"), (std::vector<std::string>{"MV_2.RPT", "TI_1.RPT", "ti_1.rpt"}));
    EXPECT_EQ(
        win.column("pcList", 2),
        (std::vector<std::string>{"2024-06-15 08:00", "2024-12-31 14:30", "2025-01-02 09:00"}));
    EXPECT_EQ(win.column("pcList", 3)[0], "gamma / Acidity");
    const struct {
        int column;
        std::vector<std::string> up, down;
    } cases[] = {
        {0, {"MV_2.RPT", "TI_1.RPT", "ti_1.rpt"}, {"TI_1.RPT", "ti_1.rpt", "MV_2.RPT"}},
        {1, {"ti_1.rpt", "MV_2.RPT", "TI_1.RPT"}, {"TI_1.RPT", "MV_2.RPT", "ti_1.rpt"}},
        {2, {"MV_2.RPT", "TI_1.RPT", "ti_1.rpt"}, {"ti_1.rpt", "TI_1.RPT", "MV_2.RPT"}},
        {3, {"ti_1.rpt", "TI_1.RPT", "MV_2.RPT"}, {"MV_2.RPT", "TI_1.RPT", "ti_1.rpt"}},
    };
    for (const auto& c : cases) {
        win.clickHeader("pcList", c.column);
        EXPECT_EQ(win.items("pcList"), c.up) << "column " << c.column;
        win.clickHeader("pcList", c.column);
        EXPECT_EQ(win.items("pcList"), c.down) << "column " << c.column;
    }
}

// Each pane's widths and sort are in config.ini after the exit and come back.
TEST(MainWindowPanes, WidthsAndSortAreRememberedPerPane) {
    Window win(false);
    win.clickHeader("pcList", 2);
    win.clickHeader("pcList", 2);
    win.list("titList")->setColumnWidth(1, 91);
    const std::vector<std::string> sorted = win.items("pcList");
    ASSERT_TRUE(win.w->close());
    const fs::path config = win.paths.configPath();
    EXPECT_EQ(getIniString(config, "PcPane", "SortColumn"), "2");
    EXPECT_EQ(getIniString(config, "PcPane", "SortOrder"), "1");
    EXPECT_EQ(getIniString(config, "TitratorPane", "SortColumn"), "-1");
    EXPECT_NE(getIniString(config, "TitratorPane", "Widths").find(",91,"), std::string::npos);

    win.w = std::make_unique<MainWindow>(win.settings, win.host, defaultPump());
    EXPECT_EQ(win.items("pcList"), sorted);
    EXPECT_EQ(win.list("pcList")->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(win.list("titList")->columnWidth(1), 91);
}

// Keys act on the table as they did on the lists: type-ahead finds a name
// whichever column was clicked, arrows move, Ctrl+A selects every row, Enter
// enters a tray set and Backspace leaves it.
TEST(MainWindowPanes, KeysWorkThroughTheTable) {
    Window win(true);
    win.click("StdMtdCheckbox");
    QTreeView* pc = win.list("pcList");
    QTest::mouseClick(pc->viewport(), Qt::LeftButton, {},
                      pc->visualRect(pc->model()->index(0, 2)).center());
    QTest::keyClicks(pc, "QX02");
    QTest::keyClick(pc, Qt::Key_Down);
    EXPECT_EQ(win.selected("pcList"), std::vector<std::string>{"QX0302SV.MTD"});
    QTest::keyClick(pc, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(win.selected("pcList"), win.items("pcList"));

    win.click("SeqRptCheckBox");
    win.select("pcList", "TRAY0005.RPT");
    QTest::keyClick(pc, Qt::Key_Return);
    EXPECT_EQ(win.w->panes().pcPath(), (win.dir.path() / "pc" / "TRAY0005").string());
    QTest::keyClick(pc, Qt::Key_Backspace);
    EXPECT_EQ(win.w->panes().pcPath(), (win.dir.path() / "pc").string());
}

// Under the PC pane: how many files the model filter hides. Where Show all
// files can be ticked, a click on the note ticks it.
TEST(MainWindowPanes, TheHiddenFileCountNamesTheModel) {
    const struct {
        const char* model;
        const char* category;
        const char* note;
    } cases[] = {
        {"QX502", "RptCheckbox", "4 files hidden: not for QX502"},
        {"QX502", "StdMtdCheckbox", "6 files hidden: not for QX502"},
        {"QX532", "RptCheckbox", "6 files hidden: not for QX532"},
    };
    for (const auto& c : cases) {
        Window win(true, {"--model", c.model});
        win.click(c.category);
        EXPECT_TRUE(win.get<QLabel>("pcHiddenLabel")->text().contains(c.note))
            << c.model << " " << c.category << ": "
            << win.get<QLabel>("pcHiddenLabel")->text().toStdString();
    }
    Window win(true, {"--model", "QX532"});
    EXPECT_TRUE(win.items("pcList").empty());
    QLabel* note = win.get<QLabel>("pcHiddenLabel");
    QTest::mouseClick(note, Qt::LeftButton, {}, QPoint(10, note->height() / 2));
    EXPECT_TRUE(win.get<QCheckBox>("ShowAllPcFilesCb")->isChecked());
    EXPECT_TRUE(contains(win.items("pcList"), "TI_00031.RPT"));
}

// Under the titrator pane: the free slots of the category, again after a copy
// to the titrator; nothing once it is gone.
TEST(MainWindowPanes, FreeSlotsFollowTheCategoryAndACopy) {
    Window win(true, {"--slots", "reports=3", "--slots", "std=6"});
    QLabel* free = win.get<QLabel>("titFreeLabel");
    EXPECT_EQ(free->text(), "Free slots: 0"); // four reports fill the three slots
    win.click("StdMtdCheckbox");
    EXPECT_EQ(free->text(), "Free slots: 2");
    win.select("pcList", "QX0101AV.MTD");
    win.click("copyBtn");
    EXPECT_EQ(free->text(), "Free slots: 1");
    win.click("connectBtn"); // disconnect
    EXPECT_EQ(free->text(), "");
}

TEST(MainWindowPanes, RefreshListsBothPanesAgain) {
    Window win(true);
    win.dir.write("pc/TI_00099.RPT", "\tQX502\r\n");
    win.dir.write("titrator/QX502/reports/TI_00098.RPT", "x");
    auto* refresh = win.w->findChild<QAction*>("mnuFileRefresh");
    EXPECT_EQ(refresh->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    refresh->trigger();
    EXPECT_TRUE(contains(win.items("pcList"), "TI_00099.RPT"));
    EXPECT_TRUE(contains(win.items("titList"), "TI_00098.RPT"));
}
