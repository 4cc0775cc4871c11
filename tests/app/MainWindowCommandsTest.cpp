// The file commands of the main window, from the button to the files on both sides.
#include "SampleWindow.h"
#include "ScopedEnv.h"
#include "app/TransferLog.h"
#include "app/ui/NetworkPortDialog.h"
#include "app/ui/TransferLogWindow.h"
#include "core/Language.h"
#include "documents/ui/CurveView.h"
#include "documents/ui/CurveWindow.h"
#include "documents/ui/ViewerWindow.h"
#include "link/Serial.h"
#include "link/ui/DebugWindow.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>
#include <set>

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
    EXPECT_EQ(win.host.messages.back().text,
              "Delete the selected files from the titrator permanently? They cannot be "
              "restored.\r\rQX0231AC.MTD");
    EXPECT_FALSE(contains(win.items("titList"), "QX0231AC.MTD"));
    EXPECT_FALSE(fs::exists(win.dir.path() / "titrator" / "QX502" / "methods" / "QX0231AC.MTD"));
}

// PC deletes go to the desktop trash where there is one (here a private one,
// with its companions); without one they are for good, and the question says
// so. It names the first ten files, then how many more.
TEST(MainWindowCommands, PcDeletesGoToTheTrashWhereThereIsOne) {
    for (const bool trash : {true, false}) {
        Window win(false);
        const fs::path data = win.dir.path() / "data";
        fs::create_directory(win.dir.path() / "home"); // the same file system as the files
        if (trash)
            fs::create_directory(data);
        else
            win.dir.write("data", ""); // a file: no trash can be made in it
        ScopedEnv home("HOME", (win.dir.path() / "home").string());
        ScopedEnv dataHome("XDG_DATA_HOME", data.string());
        for (int i = 0; i < 8; ++i)
            win.dir.write("pc/TI_0010" + std::to_string(i) + ".RPT", "x");
        win.w->panes().showFiles();
        ASSERT_EQ(win.items("pcList").size(), 13u);
        win.select("pcList", "DR_00044.RPT");
        QTest::keyClick(win.list("pcList"), Qt::Key_A, Qt::ControlModifier);
        win.host.messages.clear();
        win.click("deleteBtn");
        ASSERT_FALSE(win.host.messages.empty());
        EXPECT_EQ(win.host.messages[0].text,
                  std::string(trash ? "Move the selected files to the trash?"
                                    : "Delete the selected files permanently? They cannot be "
                                      "restored.") +
                      "\r\rDR_00044.RPT\rKF_00045.RPT\rPH_00014.RPT\rTI_00031.RPT\rTI_00090.RPT"
                      "\rTI_00100.RPT\rTI_00101.RPT\rTI_00102.RPT\rTI_00103.RPT\rTI_00104.RPT"
                      "\rand 3 more");
        EXPECT_TRUE(win.items("pcList").empty());
        EXPECT_FALSE(fs::exists(win.dir.path() / "pc" / "KF_00045.LOG"));
        for (const char* name : {"DR_00044.RPT", "KF_00045.LOG", "TI_00107.RPT"}) {
            EXPECT_EQ(fs::exists(data / "Trash" / "files" / name), trash) << name;
            EXPECT_EQ(fs::exists(data / "Trash" / "info" / (name + std::string(".trashinfo"))),
                      trash)
                << name;
        }
    }
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
    win.select("pcList", "KF_00209.RPT");
    win.select("pcList", "PH_00014.RPT", Qt::ControlModifier);
    win.host.messages.clear();
    win.click("ExportBtn");
    EXPECT_TRUE(fs::exists(win.dir.path() / "pc" / "PH_00014.csv"));
    ASSERT_EQ(win.host.messages.size(), 1u);
    EXPECT_EQ(win.host.messages[0].text,
              "These files failed:\rKF_00209.RPT: Export.inlineSearch: column");
}

TEST(MainWindowCommands, ViewWithSeveralReportsSelectedComparesTheirCurves) {
    Window win(false);
    win.select("pcList", "TI_00031.RPT");
    win.select("pcList", "TI_00090.RPT", Qt::ControlModifier);
    win.select("pcList", "KF_00045.RPT", Qt::ControlModifier);
    std::size_t runs = 0;
    std::string note;
    whenModal([&](QWidget* w) {
        if (auto* compare = dynamic_cast<CurveWindow*>(w)) {
            runs = compare->curve().runs().size();
            note = compare->note().toStdString();
        }
    });
    const std::size_t shown = win.host.messages.size();
    win.click("ViewBtn");
    EXPECT_EQ(runs, 2u);
    EXPECT_NE(note.find("KF_00045.RPT"), std::string::npos) << note;
    EXPECT_EQ(win.host.messages.size(), shown); // not "select one file"
}

// The transfer log lists every file with its result and reason, a failed and a
// refused one among them. Retry runs only the failed and aborted ones of the last
// operation again; Save writes the log as CSV.
TEST(MainWindowCommands, TheTransferLogListsEveryFileAndRetriesTheFailedOnes) {
    Window win(true, {"--drop-echo", "1", "--slots", "sequences=2"});
    win.click("StdMtdCheckbox");
    win.select("pcList", "QX0101AV.MTD");
    win.select("pcList", "QX0231AC.MTD", Qt::ControlModifier);
    win.click("copyBtn"); // the first put loses an echo and fails
    auto* link = win.get<QLabel>("transferLogLink");
    ASSERT_TRUE(link->isVisible());
    EXPECT_TRUE(link->text().contains("Transfer log: 1 of 2 files went"))
        << link->text().toStdString();
    emit link->linkActivated("log");
    auto* log = win.w->findChild<TransferLogWindow*>("transferLogWindow");
    ASSERT_TRUE(log && log->isVisible());
    const auto row = [&](int r) {
        std::vector<std::string> cells;
        for (int c = 1; c < kTransferLogColumns; ++c)
            cells.push_back(log->table()->model()->index(r, c).data().toString().toStdString());
        return cells;
    };
    using Cells = std::vector<std::string>;
    ASSERT_EQ(log->table()->model()->rowCount(), 2);
    EXPECT_EQ(row(0), (Cells{"PC to titrator", "QX0101AV.MTD", "1757", "failed",
                             "The titrator did not answer"}));
    EXPECT_EQ(row(1)[3], "done");

    const std::size_t before = win.simLog().size();
    QTest::mouseClick(log->retryButton(), Qt::LeftButton);
    std::vector<std::string> puts;
    const auto sent = win.simLog();
    for (std::size_t i = before; i < sent.size(); ++i)
        if (sent[i].rfind("put ", 0) == 0)
            puts.push_back(sent[i]);
    EXPECT_EQ(puts, (std::vector<std::string>{"put \\QX502\\methods\\QX0101AV.MTD"}));
    ASSERT_EQ(log->table()->model()->rowCount(), 3);
    EXPECT_EQ(row(2)[3], "done");
    EXPECT_FALSE(log->retryButton()->isEnabled());

    // A sequence the titrator has no room for is refused, and Retry leaves it.
    win.click("SeqCheckBox");
    win.select("pcList", "SEQ0003.MTD");
    win.click("copyBtn");
    ASSERT_EQ(log->table()->model()->rowCount(), 4);
    EXPECT_EQ(row(3), (Cells{"PC to titrator", "SEQ0003.MTD", "566", "refused",
                             "The titrator has no free memory for it"}));
    EXPECT_FALSE(log->retryButton()->isEnabled());

    const fs::path csv = win.dir.path() / "transfers.csv";
    log->setFileChooser([&] { return QString::fromStdString(csv.string()); });
    log->saveCsv();
    const std::string saved = win.dir.read("transfers.csv");
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 5) << saved;
    EXPECT_EQ(saved.rfind("Time,Direction,File,Size,Result,Reason\r\n", 0), 0u) << saved;
}

namespace {

// Every text of the English file as "#N#" (with its placeholders): a text on
// screen that lacks such a mark did not come from the language table.
std::string markedLanguage() {
    const LanguageTable english = loadLanguageTable(VT_RESOURCE_DIR "/lang/english.lng");
    std::string file = "[Strings]\n";
    for (int n = 0; n < kLanguageTextCount; ++n) {
        if (english[n].empty())
            continue;
        file += std::to_string(n) + "=#" + std::to_string(n) + "#";
        for (std::size_t at = english[n].find("%v"); at != std::string::npos;
             at = english[n].find("%v", at + 1))
            file += " %v";
        file += "\n";
    }
    return file;
}

struct ShownTexts {
    std::string prefix; // the PC folder: a path is no text
    std::set<int> marks;
    std::vector<std::string> unmarked;
    int seen = 0;

    void take(const QString& text, const QObject* where) {
        static const QRegularExpression plain(R"(^(\.\.\.|COM\d+(\t.*)?|[\d %]*)$)");
        static const QRegularExpression mark(R"(#(\d+)#)");
        if (text.isEmpty())
            return;
        ++seen;
        bool marked = false;
        for (auto it = mark.globalMatch(text); it.hasNext(); marked = true)
            marks.insert(it.next().captured(1).toInt());
        if (!marked && !plain.match(text).hasMatch() &&
            !text.trimmed().startsWith(QString::fromStdString(prefix)))
            unmarked.push_back(where->objectName().toStdString() + ": " + text.toStdString());
    }
    // The captions, titles, tips, list entries and column titles of a window and
    // its children; the lists' and charts' contents are data.
    void takeWindow(QWidget* window) {
        QList<QWidget*> widgets = window->findChildren<QWidget*>();
        widgets.prepend(window);
        for (QWidget* w : widgets) {
            if (w->isWindow())
                take(w->windowTitle(), w);
            take(w->toolTip(), w);
            if (auto* b = qobject_cast<QAbstractButton*>(w))
                take(b->text(), w);
            else if (auto* l = qobject_cast<QLabel*>(w))
                take(l->text(), w);
            else if (auto* g = qobject_cast<QGroupBox*>(w))
                take(g->title(), w);
            else if (auto* m = qobject_cast<QMenu*>(w))
                take(m->title(), w);
            else if (auto* h = qobject_cast<QHeaderView*>(w); h && h->model())
                for (int i = 0; i < h->count(); ++i)
                    take(h->model()->headerData(i, h->orientation()).toString(), w);
            auto* c = qobject_cast<QComboBox*>(w);
            if (c && c->objectName() != "xAxisCb" && c->objectName() != "yAxisCb")
                for (int i = 0; i < c->count(); ++i)
                    take(c->itemText(i), w);
        }
        for (QAction* a : window->findChildren<QAction*>())
            take(a->text(), a);
    }
};

} // namespace

// Each window in a language whose every text is marked: nothing the user can
// read comes from anywhere but the language table.
TEST(MainWindowLanguage, EveryCaptionTitleTipAndMessageComesFromTheLanguageTable) {
    TempDir lang;
    const std::string marked = lang.write("marked.lng", markedLanguage()).string();
    Window win(false, {}, false, marked);
    ShownTexts shown;
    shown.prefix = (win.dir.path() / "pc").string();
    const auto takeModal = [&] { whenModal([&](QWidget* w) { shown.takeWindow(w); }); };

    takeModal();
    win.w->findChild<QAction*>("mnuSetting")->trigger();
    takeModal();
    win.w->findChild<QAction*>("mnuUpgrade")->trigger();
    win.w->findChild<QAction*>("mnuFileAudit")->trigger();
    win.w->findChild<QAction*>("mnuFileTransferLog")->trigger();
    NetworkPortDialog network;
    shown.takeWindow(&network);
    DebugWindow debug;
    shown.takeWindow(&debug);
    win.select("pcList", "TI_00031.RPT"); // with its picture
    takeModal();
    win.click("ViewBtn");
    win.select("pcList", "TI_00090.RPT"); // on its curve
    takeModal();
    win.click("ViewBtn");
    win.select("pcList", "TI_00031.RPT", Qt::ControlModifier); // compared
    takeModal();
    win.click("ViewBtn");
    win.click("SeqRptCheckBox");
    shown.takeWindow(win.w.get());
    for (const auto& m : win.host.messages) {
        shown.take(QString::fromStdString(m.text), win.w.get());
        shown.take(QString::fromStdString(m.title), win.w.get());
    }

    EXPECT_EQ(shown.unmarked, std::vector<std::string>{});
    // Each window was reached: one of its own texts is among the marks.
    for (int text : {131,  132,  135,  136, 137, 61, 1131, 982, // main window
                     148,  151,  154,  441,                     // settings
                     156,  157,  11,                            // upgrade
                     82,   83,   102,                           // audit
                     1178, 1179, 1182,                          // transfer log
                     42,   46,                                  // network port
                     168,  170,                                 // debug
                     408,  228,  1141,                          // viewer, curve
                     209,  223})                                // progress, replace
        EXPECT_TRUE(shown.marks.count(text)) << "text " << text << " was not seen";
    EXPECT_GT(shown.seen, 150);
}
