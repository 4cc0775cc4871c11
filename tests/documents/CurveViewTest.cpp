// The curve in the viewer and in Compare Runs, as a user works it: the mode a
// report opens in, the derivative, zoom and reset, the cross-hair, the exports,
// printing what is shown, and the runs that do or do not fit together.
#include "documents/ui/CurveView.h"

#include "EnglishTexts.h"
#include "PdfText.h"
#include "RecordingHost.h"
#include "Screenshot.h"
#include "TempDir.h"
#include "core/AppPaths.h"
#include "documents/ui/CurveWindow.h"
#include "documents/ui/ViewerWindow.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QImage>
#include <QListWidget>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
const fs::path kSamples = VT_SOURCE_DIR "/data/samples";

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

TEST(CurveView, AReportWithoutAPictureOpensOnItsCurveThatZoomsReadsAndExports) {
    Fixture f;
    const OpenedDocument doc = openPcDocument(kSamples / "pc", "TI_00090.RPT", DocumentUse::View);
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

    const fs::path png = f.dir.path() / "c.png", big = f.dir.path() / "c300.png",
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

TEST(CurveView, PrintingFromTheViewerAddsTheCurveAsShown) {
    Fixture f;
    const OpenedDocument doc = openPcDocument(kSamples / "pc", "TI_00031.RPT", DocumentUse::View);
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
    const fs::path tray = kSamples / "titrator/QX502/asreport/TRAY0001";
    std::vector<OpenedDocument> docs;
    for (const char* name : {"TI_00021.RPT", "TI_00022.RPT", "TI_00023.RPT"})
        docs.push_back(openPcDocument(tray, name, DocumentUse::View));
    docs.push_back(openPcDocument(kSamples / "pc", "KF_00045.RPT", DocumentUse::View));
    docs.push_back(openPcDocument(kSamples / "pc", "TI_09999.RPT", DocumentUse::View));
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
