// The progress and replace windows, offscreen: what they show, what their
// buttons and close boxes answer. VT_SHOTS=DIR saves a picture of each.
#include "FileRig.h"
#include "core/FileTypes.h"
#include "files/ui/PercentBar.h"
#include "files/ui/ProgressWindow.h"
#include "files/ui/ReplaceWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

void shoot(QWidget& w, const char* name) {
    if (const char* dir = std::getenv("VT_SHOTS"))
        w.grab().save(QString(dir) + "/" + name + ".png");
}

// Runs `act` on the open modal question once it is shown.
void whenShown(ReplaceWindow& w, std::function<void()> act) {
    QTimer::singleShot(0, &w, [&w, act] {
        if (w.isVisible())
            act();
    });
}

} // namespace

TEST(ProgressWindow, BarsNameAndAbort) {
    filetest::loadEnglish();
    ProgressWindow w;
    w.showProgress(true);
    w.setFileName("/home/lab/reports/TI_00031.RPT");
    w.setFileStatus(0.62);
    w.setTotalStatus(0.25);
    EXPECT_EQ(w.filePercent(), 62);
    EXPECT_EQ(w.totalPercent(), 25);
    EXPECT_EQ(w.windowTitle(), "Copying Files");
    shoot(w, "progress");
    w.setTotalStatus(7.0); // clamped
    EXPECT_EQ(w.totalPercent(), 100);
    w.clear();
    EXPECT_EQ(w.filePercent(), 0);
    EXPECT_EQ(w.totalPercent(), 0);
    EXPECT_EQ(w.fileName(), "");

    int signalled = 0;
    QObject::connect(&w, &ProgressWindow::abortPressed, [&] { ++signalled; });
    EXPECT_FALSE(w.abortRequested());
    EXPECT_EQ(w.abortButton()->text(), "Abort");
    QTest::keyClick(w.abortButton(), Qt::Key_Space); // keyboard reaches the abort button
    EXPECT_TRUE(w.abortRequested());
    w.clearAbort();
    w.close(); // the close box aborts as well
    EXPECT_TRUE(w.abortRequested());
    EXPECT_EQ(signalled, 2);
}

// Bytes done of the total (growing by the files a listing did not show) at the
// line's pace, and the time the rest takes at it.
TEST(ProgressWindow, BytesRateAndTimeLeft) {
    filetest::loadEnglish();
    QLocale::setDefault(QLocale::c());
    ProgressWindow w;
    w.setTotalBytes(3000);
    EXPECT_EQ(w.bytesText(), "0 of 3000 bytes");
    EXPECT_EQ(w.timeLeftText(), "");
    // The first entry was listed with 1000 bytes; a companion announces 5000 more.
    w.setBytesAhead(1000, 2000);
    w.announced(5000);
    EXPECT_EQ(w.bytesText(), "0 of 7000 bytes");
    w.moved(1000);
    EXPECT_TRUE(w.bytesText().startsWith("1000 of 7000 bytes")) << w.bytesText().toStdString();
    w.clear(); // an operation whose size is not known shows none
    EXPECT_EQ(w.bytesText(), "");

    struct Case {
        std::int64_t done, total, elapsedMs, rate, left;
    } cases[] = {{1000, 3000, 1000, 1000, 2},
                 {1920, 1920 * 601, 1000, 1920, 600},
                 {500, 400, 1000, 500, 0},
                 {0, 3000, 1000, 0, -1},
                 {1000, -1, 1000, 1000, -1}};
    for (const Case& c : cases) {
        const TransferPace pace = transferPace(c.done, c.total, c.elapsedMs);
        EXPECT_EQ(static_cast<std::int64_t>(pace.bytesPerSecond), c.rate) << c.done;
        EXPECT_EQ(pace.secondsLeft, c.left) << c.done;
    }
}

TEST(ProgressWindow, OpensCentredOverTheMainWindow) {
    filetest::loadEnglish();
    QWidget main;
    main.setGeometry(300, 200, 780, 560);
    main.show();
    ProgressWindow w(&main);
    w.showProgress(true);
    // A pixel or two each way is rounding; a corner would be hundreds away.
    EXPECT_LE((w.geometry().center() - main.geometry().center()).manhattanLength(), 4);
}

// Where the fill edge runs through the figure, the part over the empty bar
// must still differ from the empty bar.
TEST(PercentBar, FigureStaysReadableOnBothSidesOfTheFillEdge) {
    PercentBar bar;
    bar.resize(240, 40);
    const QColor empty = bar.palette().base().color();
    for (double fraction : {0.45, 0.5, 0.55}) {
        bar.setFraction(fraction);
        const QImage image = bar.grab().toImage();
        const int edge = static_cast<int>(239 * fraction);
        int inked = 0;
        for (int x = edge + 1; x < 160; ++x)
            for (int y = 4; y < 36; ++y)
                inked += image.pixelColor(x, y) != empty;
        EXPECT_GT(inked, 0) << "at " << fraction;
    }
}

TEST(ReplaceWindow, ButtonsAnswerAndTheCloseBoxSkips) {
    filetest::loadEnglish();
    ProgressWindow progress;
    progress.setFileName("TI_00031.RPT");
    ReplaceWindow w(nullptr, &progress);
    EXPECT_EQ(w.button(4), nullptr);
    for (int code : {ReplacePrompt::Replace, ReplacePrompt::ReplaceAll, ReplacePrompt::Skip,
                     ReplacePrompt::Cancel}) {
        whenShown(w, [&w, code] { QTest::mouseClick(w.button(code), Qt::LeftButton); });
        EXPECT_EQ(w.askReplace({"Question?", {}}), code);
    }
    EXPECT_EQ(progress.fileName(), ""); // a button press empties the progress file name
    whenShown(w, [&w] { QTest::keyClick(&w, Qt::Key_Return); });
    EXPECT_EQ(w.askReplace({"Question?", {}}), ReplacePrompt::Skip); // Enter never overwrites

    ReplacePrompt prompt(w, ftype::kUserMethods);
    whenShown(w, [&w] {
        shoot(w, "replace");
        w.close();
    });
    EXPECT_EQ(prompt.checkReplaceOnTitr("USER0001.MTD", "1.0", "2.0"), ReplacePrompt::Skip);
    EXPECT_EQ(w.question(), "The method USER0001.MTD already exists on the titrator.\n"
                            "Revision on the titrator: 1.0\nRevision on the PC: 2.0\n"
                            "Replace the copy on the titrator?");
    whenShown(w, [&w] { w.closeWith(ReplacePrompt::Cancel); });
    EXPECT_EQ(prompt.checkReplaceForm("X.RPT"), ReplacePrompt::Cancel);
}

// Both copies' size and date, the newer one marked, in either direction; a copy
// whose listing line says nothing of them gets no line.
TEST(ReplaceWindow, ShowsBothCopiesAndMarksTheNewer) {
    filetest::loadEnglish();
    QLocale::setDefault(QLocale::c());
    ReplaceWindow w;
    const FileFacts older{802, DateTime{2026, 12, 7, 17, 47, 0}};
    const FileFacts newer{992, DateTime{2026, 12, 8, 9, 5, 30}};
    struct Case {
        CopyFacts facts;
        QString titrator, pc;
    } cases[] = {
        {{true, older, newer},
         "Titrator: 802 bytes, 2026-12-07 17:47",
         "PC: 992 bytes, 2026-12-08 09:05 (newer)"},
        {{true, newer, older},
         "Titrator: 992 bytes, 2026-12-08 09:05 (newer)",
         "PC: 802 bytes, 2026-12-07 17:47"},
        {{true, older, older},
         "Titrator: 802 bytes, 2026-12-07 17:47",
         "PC: 802 bytes, 2026-12-07 17:47"},
        {{true, {}, older}, "", "PC: 802 bytes, 2026-12-07 17:47"},
        {{false, older, newer}, "", ""},
    };
    for (const Case& c : cases) {
        whenShown(w, [&w, first = &c == cases] {
            if (first)
                shoot(w, "replace-facts");
            w.close();
        });
        w.askReplace(
            {"The file TI_00031.RPT already exists.\rDo you want to replace it?", c.facts});
        EXPECT_EQ(w.titratorFacts(), c.titrator);
        EXPECT_EQ(w.pcFacts(), c.pc);
    }
}
