// The progress and replace windows, offscreen: what they show, what their
// buttons and close boxes answer. VT_SHOTS=DIR saves a picture of each.
#include "FileRig.h"
#include "core/FileTypes.h"
#include "files/ui/PercentBar.h"
#include "files/ui/ProgressWindow.h"
#include "files/ui/ReplaceWindow.h"

#include <QCloseEvent>
#include <QLabel>
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
