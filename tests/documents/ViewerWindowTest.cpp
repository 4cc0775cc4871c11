// The viewer: a PC report with its picture, the modes, the layout, Escape, and
// its print button.
#include "documents/ui/ViewerWindow.h"

#include "EnglishTexts.h"
#include "PdfText.h"
#include "RecordingHost.h"
#include "Screenshot.h"
#include "TempDir.h"
#include "core/AppPaths.h"
#include "core/ui/WidgetControl.h"
#include "documents/RenderDocument.h"

#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

const std::filesystem::path kSamples = VT_SOURCE_DIR "/data/samples/pc";

struct Fixture {
    TempDir dir;
    RecordingHost host;
    Fixture() {
        useEnglishTexts();
        AppPaths paths;
        paths.programDir = paths.dataDir = dir.path();
        paths.resourceDir = VT_SOURCE_DIR "/data";
        setAppPaths(paths);
    }
};

template <typename T> T* child(ViewerWindow& v, const char* name) {
    return v.findChild<T*>(name);
}

} // namespace

TEST(ViewerWindow, OpensAPcReportWithItsPictureInTextModeAndTogglesToThePicture) {
    Fixture f;
    std::filesystem::copy(kSamples / "TI_00031.RPT", f.dir.path() / "TI_00031.RPT");
    std::filesystem::copy(kSamples / "TI_00031.BMP", f.dir.path() / "ti_00031.bmp");
    const OpenedDocument doc = openPcDocument(f.dir.path(), "TI_00031.RPT", DocumentUse::View);
    ASSERT_TRUE(doc.ok());
    ViewerWindow v(f.host);
    v.loadFile(doc.text, doc.fileType, 0, {}, doc.graphPath);
    v.show();

    auto* graph = child<QPushButton>(v, "viewGraphBtn");
    auto* print = child<QPushButton>(v, "printBtn");
    auto* text = child<QTextEdit>(v, "textArea");
    EXPECT_EQ(v.windowTitle(), "Document Viewer");
    EXPECT_EQ(child<QPushButton>(v, "closeBtn")->text(), "Close");
    EXPECT_EQ(print->text(), "Print");
    EXPECT_EQ(v.mode(), ViewerWindow::TextMode);
    EXPECT_TRUE(graph->isVisible());
    EXPECT_EQ(graph->text(), "Graph");
    EXPECT_TRUE(v.hasViewText());
    EXPECT_EQ(v.viewText(), renderDocument(doc.text, doc.fileType, 0));
    EXPECT_TRUE(text->toPlainText().contains(QString::fromUtf8("Temperature: 25.0 \u00B0C")));
    EXPECT_TRUE(QFontInfo(text->font()).fixedPitch());
    keepScreenshot(v, "viewer-text");

    QTest::mouseClick(graph, Qt::LeftButton);
    EXPECT_EQ(v.mode(), ViewerWindow::PictureMode);
    EXPECT_EQ(graph->text(), "Text");
    EXPECT_FALSE(print->isVisible());
    EXPECT_FALSE(text->isVisible());
    EXPECT_EQ(child<QLabel>(v, "picture")->pixmap().size(), QSize(320, 200));
    keepScreenshot(v, "viewer-picture");

    QTest::mouseClick(graph, Qt::LeftButton);
    EXPECT_EQ(v.mode(), ViewerWindow::TextMode);
    EXPECT_TRUE(print->isVisible());
    EXPECT_TRUE(text->isVisible());
}

TEST(ViewerWindow, WithoutAPictureNoGraphButtonAndEscapeCloses) {
    Fixture f;
    ViewerWindow v(f.host);
    v.loadFile("Name A\r\nMode 0\r\n", 3, 0, {}, "");
    v.show();
    EXPECT_FALSE(child<QPushButton>(v, "viewGraphBtn")->isVisible());
    QTest::keyClick(child<QTextEdit>(v, "textArea"), Qt::Key_Escape);
    EXPECT_FALSE(v.isVisible());
    EXPECT_TRUE(v.hasViewText()); // the view text stays after the viewer closes
}

TEST(ViewerWindow, KeepsItsMinimumSizeAndFillsTheWindowInsideTheMargin) {
    Fixture f;
    ViewerWindow v(f.host);
    v.loadFile("x", 4, 0, {}, "");
    v.show();
    const TwipsScale scale = screenTwipsScale(v);
    EXPECT_EQ(v.minimumSize(), QSize(scale.twipsToPixelsX(ViewerWindow::kMinWidthTwips),
                                     scale.twipsToPixelsY(ViewerWindow::kMinHeightTwips)));
    v.resize(300, 200);
    EXPECT_EQ(v.size(), v.minimumSize());
    v.resize(1200, 900);
    const int margin = scale.twipsToPixelsX(ViewerWindow::kMarginTwips);
    const QRect area = child<QTextEdit>(v, "textArea")->parentWidget()->geometry();
    const QRect close = child<QPushButton>(v, "closeBtn")->geometry();
    EXPECT_EQ(area.topLeft(), QPoint(margin, margin));
    EXPECT_EQ(area.width(), 1200 - 2 * margin);
    EXPECT_GT(close.top(), area.bottom());
    EXPECT_GE(close.left(), 1200 / 2); // the buttons along the bottom edge
    EXPECT_LE(close.bottom(), 900 - margin + 1);
    EXPECT_GT(close.bottom(), 900 - 3 * margin);
}

TEST(ViewerWindow, AnOversizedPictureIsDescribedAndALargeOneScrolls) {
    Fixture f;
    // A header that claims 10000 x 5000 pixels; nothing behind it is decoded.
    std::string header(54, '\0');
    const unsigned char h[] = {'B', 'M', 0, 0,    0,    0, 0, 0,    0,    0, 54, 0, 0, 0,  40,
                               0,   0,   0, 0x10, 0x27, 0, 0, 0x88, 0x13, 0, 0,  1, 0, 24, 0};
    header.replace(0, sizeof h, reinterpret_cast<const char*>(h), sizeof h);
    const auto huge = f.dir.write("R0001.bmp", header);
    QImage large(2000, 1500, QImage::Format_RGB32);
    large.fill(Qt::white);
    const auto big = f.dir.path() / "R0002.bmp";
    ASSERT_TRUE(large.save(QString::fromStdString(big.string()), "BMP"));

    ViewerWindow v(f.host);
    v.loadFile("x", 4, 0, {}, huge.string());
    v.show();
    v.viewGraphBtn_Click();
    EXPECT_TRUE(v.pictureProblem().contains("10000 x 5000 pixels, more than the 40-megapixel"))
        << v.pictureProblem().toStdString();
    keepScreenshot(v, "viewer-too-large");

    v.loadFile("x", 4, 0, {}, big.string());
    EXPECT_EQ(v.mode(), ViewerWindow::TextMode); // a new document opens as text
    v.viewGraphBtn_Click();
    EXPECT_TRUE(v.pictureProblem().isEmpty());
    auto* area = child<QScrollArea>(v, "pictureArea");
    EXPECT_GT(area->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(area->verticalScrollBar()->maximum(), 0);
}

TEST(ViewerWindow, PrintButtonPrintsTheViewTextAndACancelPrintsNothing) {
    Fixture f;
    ViewerWindow v(f.host);
    const std::string pdf = (f.dir.path() / "view.pdf").string();
    bool choose = false;
    int dialogs = 0;
    v.printer().setPrinterCheck([] { return true; });
    v.printer().setPrinterDialog([&](QPrinter& printer) {
        ++dialogs;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return choose;
    });
    v.loadFile("\tTemp.\t25.0 \xA7"
               "C\r\n",
               4, 0, {}, "");
    v.show();
    QTest::mouseClick(child<QPushButton>(v, "printBtn"), Qt::LeftButton);
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(std::filesystem::exists(pdf));

    choose = true;
    QTest::mouseClick(child<QPushButton>(v, "printBtn"), Qt::LeftButton);
    const std::string text = pdfText(pdf);
    EXPECT_NE(text.find("Titration Report"), std::string::npos) << text;
    EXPECT_NE(squeezed(text).find("Temp. 25.0 \u00B0C"), std::string::npos) << text;
    EXPECT_TRUE(f.host.messages.empty());
}

TEST(ViewerWindow, AFileThatCannotBeReadOpensNoViewer) {
    Fixture f;
    ViewerWindow v(f.host);
    const OpenedDocument doc = openPcDocument(f.dir.path(), "R0009.RPT", DocumentUse::View);
    EXPECT_FALSE(v.viewDocument(doc, 0, {}));
    EXPECT_FALSE(v.isVisible());
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].text.rfind("Run-time error " + std::to_string(ENOENT) + ":", 0),
              0u)
        << f.host.messages[0].text;

    const OpenedDocument notes = openPcDocument(kSamples, "NOTES.TXT", DocumentUse::View);
    EXPECT_FALSE(v.viewDocument(notes, 0, {}));
    EXPECT_EQ(f.host.messages.back().text,
              "You cannot open this type of file.Please select a report or a method!");
}
