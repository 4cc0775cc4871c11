// The viewer: a PC report with its picture, the modes, the layout, Escape, and
// its print button; the curve as a user works it (the mode a report opens in, the
// derivative, zoom and reset, the cross-hair, the exports, printing what is shown)
// and Compare Runs.
#include "documents/ui/ViewerWindow.h"

#include "EnglishTexts.h"
#include "PdfText.h"
#include "RecordingHost.h"
#include "Screenshot.h"
#include "TempDir.h"
#include "core/AppPaths.h"
#include "core/ui/WidgetControl.h"
#include "documents/RenderDocument.h"
#include "documents/ui/CurveView.h"
#include "documents/ui/CurveWindow.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QEventLoop>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QWheelEvent>
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

template <typename T> T* child(QWidget& w, const char* name) {
    return w.findChild<T*>(name);
}

// Where a data point of the chart's first series is drawn, in the chart view's viewport.
QPoint onScreen(QChartView& view, QPointF value) {
    QChart& chart = *view.chart();
    const QPointF scene = chart.mapToScene(chart.mapToPosition(value, chart.series().at(0)));
    return view.mapFromScene(scene);
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

TEST(CurveView, AReportWithoutAPictureOpensOnItsCurveThatZoomsReadsAndExports) {
    Fixture f;
    const OpenedDocument doc = openPcDocument(kSamples, "TI_00090.RPT", DocumentUse::View);
    ViewerWindow v(f.host);
    v.loadFile(doc.text, doc.fileType, 0, {}, doc.graphPath, doc.name);
    v.resize(1000, 700);
    v.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&v));
    EXPECT_EQ(v.mode(), ViewerWindow::CurveMode);
    auto* curveBtn = child<QPushButton>(v, "viewCurveBtn");
    EXPECT_EQ(curveBtn->text(), "Text");
    EXPECT_FALSE(child<QPushButton>(v, "viewGraphBtn")->isVisible());
    EXPECT_TRUE(child<QPushButton>(v, "printBtn")->isVisible());

    CurveView& c = v.curve();
    QTest::mouseClick(child<QCheckBox>(c, "derivativeCb"), Qt::LeftButton);
    ASSERT_EQ(c.series().runs.size(), 1u);
    EXPECT_FALSE(c.series().runs[0].slope.empty());
    EXPECT_EQ(c.chart().axes(Qt::Vertical).size(), 2); // pH and dpH/dVolume
    keepScreenshot(v, "viewer-curve");

    // The cross-hair reads the measured point nearest to the pointer.
    auto* view = child<QChartView>(c, "chartView");
    const CurvePoint& p = c.series().runs[0].points[10];
    QTest::mouseMove(view->viewport(), onScreen(*view, {p.x, p.y}) + QPoint(2, -1));
    EXPECT_TRUE(c.readout().startsWith("TI_00090.RPT, row 11: N\u00BA 11, Volume[mL] "))
        << c.readout().toStdString();

    // Drag a rectangle, then the wheel; Reset Zoom goes back.
    const QRect area =
        view->mapFromScene(c.chart().mapToScene(c.chart().plotArea())).boundingRect();
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, area.center());
    QTest::mouseMove(view->viewport(), area.center() + QPoint(80, 60));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, area.center() + QPoint(80, 60));
    EXPECT_TRUE(c.zoomed());
    QTest::mouseClick(child<QPushButton>(c, "resetZoomBtn"), Qt::LeftButton);
    EXPECT_FALSE(c.zoomed());
    QWheelEvent wheel(area.center(), view->viewport()->mapToGlobal(area.center()), {}, {0, 120},
                      Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view->viewport(), &wheel);
    EXPECT_TRUE(c.zoomed());
    QTest::mouseClick(child<QPushButton>(c, "resetZoomBtn"), Qt::LeftButton);
    EXPECT_FALSE(c.zoomed());

    const std::filesystem::path png = f.dir.path() / "c.png", big = f.dir.path() / "c300.png",
                                svg = f.dir.path() / "c.svg", csv = f.dir.path() / "c.csv";
    EXPECT_TRUE(c.exportTo(CurveView::Export::PngScreen, png));
    EXPECT_TRUE(c.exportTo(CurveView::Export::Png300, big));
    EXPECT_TRUE(c.exportTo(CurveView::Export::Svg, svg));
    EXPECT_TRUE(c.exportTo(CurveView::Export::SeriesCsv, csv));
    const QImage screen(QString::fromStdString(png.string()));
    const QImage print(QString::fromStdString(big.string()));
    EXPECT_EQ(screen.size(), view->size());
    EXPECT_NEAR(print.width(), view->width() * 300.0 / 96, 1);
    EXPECT_NEAR(print.dotsPerMeterX(), 300 / 0.0254, 1);
    EXPECT_NE(f.dir.read("c.svg").find("<svg"), std::string::npos);
    EXPECT_EQ(f.dir.read("c.csv").rfind("Report,Row,Volume [mL],pH,dpH/dVolume [1/mL]\r\n", 0), 0u);
    EXPECT_FALSE(c.exportTo(CurveView::Export::SeriesCsv, f.dir.path() / "none" / "c.csv"));
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0].text.rfind("The file " + (f.dir.path() / "none").string(), 0), 0u);

    QTest::mouseClick(curveBtn, Qt::LeftButton);
    EXPECT_EQ(v.mode(), ViewerWindow::TextMode);
    EXPECT_EQ(curveBtn->text(), "Curve");
}

// A viewer closed and opened on another report draws it as a fresh viewer does: no
// axes, grid or labels of the report before. As in the main window, the viewer is
// opened from an event loop and runs its own, so what Qt deletes later stays meanwhile.
TEST(CurveView, AReusedViewerDrawsTheNextReportAsAFreshOne) {
    Fixture f;
    auto view = [&](ViewerWindow& v, const char* name, const char* png) {
        OpenedDocument doc = openPcDocument(kSamples, name, DocumentUse::View);
        doc.graphPath.clear(); // opens on the curve
        v.resize(900, 600);
        QTimer::singleShot(100, &v, [&, png] {
            EXPECT_TRUE(v.curve().exportTo(CurveView::Export::PngScreen, f.dir.path() / png));
            v.closeBtn_Click();
        });
        v.viewDocument(doc, 0, {});
        return QImage(QString::fromStdString((f.dir.path() / png).string()));
    };
    ViewerWindow reused(f.host), fresh(f.host);
    QEventLoop mainLoop;
    QTimer::singleShot(0, &mainLoop, [&] {
        view(reused, "TI_00090.RPT", "first.png");
        EXPECT_TRUE(view(reused, "TI_00031.RPT", "reused.png") ==
                    view(fresh, "TI_00031.RPT", "fresh.png"));
        mainLoop.quit();
    });
    mainLoop.exec();
}

TEST(CurveView, PrintingFromTheViewerAddsTheCurveAsShown) {
    Fixture f;
    const OpenedDocument doc = openPcDocument(kSamples, "TI_00031.RPT", DocumentUse::View);
    ViewerWindow v(f.host);
    const std::string pdf = (f.dir.path() / "view.pdf").string();
    v.printer().setPrinterCheck([] { return true; });
    v.printer().setPrinterDialog([&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return true;
    });
    v.loadFile(doc.text, doc.fileType, 0, {}, doc.graphPath, doc.name);
    EXPECT_EQ(v.mode(), ViewerWindow::TextMode); // the titrator's picture is beside it
    v.curve().setDerivative(true);
    v.printBtn_Click();
    ASSERT_EQ(pdfPageCount(pdf), 3);
    const std::string curve = pdfText(pdf, 3);
    EXPECT_NE(curve.find("EP1 9.695"), std::string::npos) << curve;
    EXPECT_NE(curve.find("First derivative"), std::string::npos) << curve;
    EXPECT_NE(pdfText(pdf, 1).find("Result: 7.29 g/L"), std::string::npos);
}

TEST(CompareRuns, OverlaysTheReportsThatFitAndNamesTheOthers) {
    Fixture f;
    const std::filesystem::path tray =
        VT_SOURCE_DIR "/data/samples/titrator/QX502/asreport/TRAY0001";
    std::vector<OpenedDocument> docs;
    for (const char* name : {"TI_00021.RPT", "TI_00022.RPT", "TI_00023.RPT"})
        docs.push_back(openPcDocument(tray, name, DocumentUse::View));
    docs.push_back(openPcDocument(kSamples, "KF_00045.RPT", DocumentUse::View));
    docs.push_back(openPcDocument(kSamples, "TI_09999.RPT", DocumentUse::View));
    CurveWindow w(f.host);
    w.load(docs);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_TRUE(w.note().contains("TI_09999.RPT cannot be read")) << w.note().toStdString();
    EXPECT_TRUE(w.note().contains("others (another kind of report, or no table of measurements):\n"
                                  "KF_00045.RPT"))
        << w.note().toStdString();

    CurveView& c = w.curve();
    auto* runs = child<QListWidget>(c, "runList");
    ASSERT_EQ(runs->count(), 3);
    EXPECT_EQ(runs->item(0)->text().toStdString(), "00021  \u00B7  08:50 Mar 14, 2025");
    EXPECT_EQ(c.series().runs.size(), 3u);
    auto* align = child<QCheckBox>(c, "alignCb");
    ASSERT_TRUE(align->isEnabled());
    QTest::mouseClick(align, Qt::LeftButton);
    const double first = c.series().runs[0].endPoints[0].volume;
    for (const RunSeries& rs : c.series().runs)
        EXPECT_DOUBLE_EQ(rs.endPoints[0].volume, first);
    keepScreenshot(w, "compare-runs");

    runs->item(1)->setCheckState(Qt::Unchecked);
    ASSERT_EQ(c.series().runs.size(), 2u);
    EXPECT_EQ(c.series().runs[1].run, 2u);
}
