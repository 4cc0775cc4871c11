#include "documents/ui/CurveView.h"

#include "core/AtomicFile.h"
#include "core/Encoding.h"
#include "core/Host.h"
#include "core/Language.h"
#include "core/Text.h"
#include "core/ui/GuiHost.h"
#include "core/ui/Named.h"
#include "documents/CurveExport.h"
#include "documents/ExportOptions.h"
#include "documents/chart/CurveChart.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGraphicsLineItem>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <QWheelEvent>
#include <cmath>
#include <functional>

namespace {

constexpr int kXAxisText = 1142;
constexpr int kYAxisText = 1143;
constexpr int kDerivativeText = 1144;
constexpr int kResetZoomText = 1145;
constexpr int kExportText = 1146;
constexpr int kPngScreenText = 1147;
constexpr int kPng300Text = 1148;
constexpr int kSvgText = 1149;
constexpr int kSeriesCsvText = 1150;
constexpr int kAlignText = 1151;
constexpr int kNotWrittenText = 1159;
constexpr int kExportTitle = 1160;
constexpr int kHintText = 1163;
constexpr double kWheelStep = 1.25; // zoom factor of one wheel notch
constexpr double kNotch = 120;      // angle delta of one notch
constexpr int kRunListWidth = 260;
constexpr int kSwatch = 12;

QString lt(int n) {
    return languageUiText(n);
}

QValueAxis* axisAt(QChart& chart, Qt::Alignment side) {
    for (QAbstractAxis* a : chart.axes())
        if (a->alignment() == side)
            return qobject_cast<QValueAxis*>(a);
    return nullptr;
}

} // namespace

// The chart widget: rubber-band zoom and right click out (QChartView's own), the
// wheel zooms about the pointer, moving the pointer reads the nearest point.
class CurveChartView : public QChartView {
public:
    CurveChartView(QWidget* parent, std::function<void(const QPointF&)> moved)
        : QChartView(new QChart, parent), moved_(std::move(moved)) {
        setRubberBand(QChartView::RectangleRubberBand);
        setRenderHint(QPainter::Antialiasing);
        setMouseTracking(true);
        QPen pen(Qt::gray, 0, Qt::DotLine);
        for (QGraphicsLineItem** line : {&across_, &down_}) {
            *line = scene()->addLine(QLineF(), pen);
            (*line)->setZValue(100);
            (*line)->hide();
        }
    }
    void showCrossHair(const QPointF& at) {
        const QRectF area = chart()->plotArea();
        across_->setLine(QLineF(area.left(), at.y(), area.right(), at.y()));
        down_->setLine(QLineF(at.x(), area.top(), at.x(), area.bottom()));
        across_->show();
        down_->show();
    }
    void hideCrossHair() {
        across_->hide();
        down_->hide();
    }
    // A new chart for each drawing: Qt Charts deletes a removed axis's grid and labels
    // only later, and a viewer reopened from another event loop would show them meanwhile.
    QChart& freshChart() {
        hideCrossHair();
        std::unique_ptr<QChart> old(chart());
        setChart(new QChart);
        return *chart();
    }

protected:
    void wheelEvent(QWheelEvent* e) override {
        const QRectF area = chart()->plotArea();
        const QPointF at = chart()->mapFromScene(mapToScene(e->position().toPoint()));
        if (!area.contains(at) || e->angleDelta().y() == 0)
            return;
        const double f = std::pow(kWheelStep, e->angleDelta().y() / kNotch);
        chart()->zoomIn(QRectF(at - (at - area.topLeft()) / f, area.size() / f));
        e->accept();
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        QChartView::mouseMoveEvent(e);
        moved_(e->position());
    }

private:
    std::function<void(const QPointF&)> moved_;
    QGraphicsLineItem* across_ = nullptr;
    QGraphicsLineItem* down_ = nullptr;
};

CurveView::CurveView(Host& host, QWidget* parent) : QWidget(parent), host_(host) {
    setObjectName("curveView");
    buildControls();
}

CurveView::~CurveView() = default;

void CurveView::buildControls() {
    xAxisCb = named(new QComboBox(this), "xAxisCb");
    yAxisCb = named(new QComboBox(this), "yAxisCb");
    derivativeCb = named(new QCheckBox(lt(kDerivativeText), this), "derivativeCb");
    alignCb = named(new QCheckBox(lt(kAlignText), this), "alignCb");
    resetZoomBtn = named(new QPushButton(lt(kResetZoomText), this), "resetZoomBtn");
    exportBtn = named(new QPushButton(lt(kExportText), this), "exportBtn");
    runList = named(new QListWidget(this), "runList");
    readout_ = named(new QLabel(this), "readout");
    view_ = new CurveChartView(this, [this](const QPointF& p) { readAt(p); });
    view_->setObjectName("chartView");
    for (QPushButton* b : {resetZoomBtn, exportBtn})
        b->setAutoDefault(false);
    runList->setFixedWidth(kRunListWidth);
    readout_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    readout_->setMinimumHeight(readout_->fontMetrics().height()); // the chart stays put
    readout_->setToolTip(lt(kHintText));

    auto* menu = new QMenu(exportBtn);
    for (auto [text, what] : {std::pair{kPngScreenText, Export::PngScreen},
                              {kPng300Text, Export::Png300},
                              {kSvgText, Export::Svg},
                              {kSeriesCsvText, Export::SeriesCsv}})
        menu->addAction(lt(text), this, [this, what = what] { chooseExport(what); });
    exportBtn->setMenu(menu);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(lt(kXAxisText), this));
    top->addWidget(xAxisCb);
    top->addWidget(new QLabel(lt(kYAxisText), this));
    top->addWidget(yAxisCb);
    top->addWidget(derivativeCb);
    top->addWidget(alignCb);
    top->addStretch(1);
    top->addWidget(resetZoomBtn);
    top->addWidget(exportBtn);
    auto* middle = new QHBoxLayout;
    middle->addWidget(view_, 1);
    middle->addWidget(runList);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->addLayout(top);
    root->addLayout(middle, 1);
    root->addWidget(readout_);

    auto axisChanged = [this] {
        if (filling_)
            return;
        options_.axes = {fromQt(xAxisCb->currentData().toString()),
                         fromQt(yAxisCb->currentData().toString())};
        rebuild();
    };
    connect(xAxisCb, &QComboBox::currentIndexChanged, this, axisChanged);
    connect(yAxisCb, &QComboBox::currentIndexChanged, this, axisChanged);
    connect(derivativeCb, &QCheckBox::toggled, this, [this](bool on) { setDerivative(on); });
    connect(alignCb, &QCheckBox::toggled, this, [this](bool on) {
        options_.align = on;
        rebuild();
    });
    connect(resetZoomBtn, &QPushButton::clicked, this, [this] { resetZoom(); });
    connect(runList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int n = runList->row(item);
        if (filling_ || n < 0)
            return;
        runs_[static_cast<std::size_t>(n)].visible = item->checkState() == Qt::Checked;
        rebuild();
    });
}

void CurveView::setRuns(std::vector<CurveRun> runs) {
    runs_ = std::move(runs);
    options_ = CurveOptions{};
    if (!runs_.empty() && runs_.front().report)
        options_.axes = defaultAxes(*runs_.front().report);
    options_.derivative = derivativeCb->isChecked();
    filling_ = true;
    alignCb->setChecked(false);
    fillAxisChoices();
    fillRunList();
    filling_ = false;
    rebuild();
}

void CurveView::fillAxisChoices() {
    for (QComboBox* box : {xAxisCb, yAxisCb}) {
        box->clear();
        for (const std::string& name : commonColumns(runs_)) {
            const auto c = runs_.front().report->column(name);
            box->addItem(toQt(axisTitle(runs_.front().report->columns[*c])), toQt(name));
        }
    }
    xAxisCb->setCurrentIndex(xAxisCb->findData(toQt(options_.axes.x)));
    yAxisCb->setCurrentIndex(yAxisCb->findData(toQt(options_.axes.y)));
}

void CurveView::fillRunList() {
    runList->clear();
    const bool several = runs_.size() > 1;
    runList->setVisible(several);
    alignCb->setVisible(several);
    for (std::size_t i = 0; i < runs_.size() && several; ++i) {
        QPixmap swatch(kSwatch, kSwatch);
        swatch.fill(runColour(i));
        auto* item = new QListWidgetItem(QIcon(swatch), toQt(runLabel(runs_[i])), runList);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(runs_[i].visible ? Qt::Checked : Qt::Unchecked);
    }
}

void CurveView::rebuild() {
    series_ = curveSeries(runs_, options_);
    readout_->clear();
    drawCurve(view_->freshChart(), series_, runs_);
    // End points are volumes: runs align on them only across a volume axis.
    const auto x = runs_.empty() ? std::nullopt : runs_.front().report->column(options_.axes.x);
    alignCb->setEnabled(x && endPointAxis(*runs_.front().report, *x));
}

void CurveView::setDerivative(bool on) {
    if (derivativeCb->isChecked() != on) {
        derivativeCb->setChecked(on); // comes back here through toggled
        return;
    }
    options_.derivative = on;
    rebuild();
}

void CurveView::resetZoom() {
    view_->chart()->zoomReset();
    view_->hideCrossHair();
}

bool CurveView::zoomed() const {
    return view_->chart()->isZoomed();
}

QChart& CurveView::chart() {
    return *view_->chart();
}

void CurveView::readAt(const QPointF& position) {
    QChart& c = *view_->chart();
    const QPointF at = c.mapFromScene(view_->mapToScene(position.toPoint()));
    const QRectF area = c.plotArea();
    QValueAxis* ax = axisAt(c, Qt::AlignBottom);
    QValueAxis* ay = axisAt(c, Qt::AlignLeft);
    if (!area.contains(at) || !ax || !ay || ax->max() <= ax->min() || ay->max() <= ay->min()) {
        view_->hideCrossHair();
        return;
    }
    auto toArea = [&](const CurvePoint& p) {
        return QPointF(area.left() + (p.x - ax->min()) / (ax->max() - ax->min()) * area.width(),
                       area.bottom() - (p.y - ay->min()) / (ay->max() - ay->min()) * area.height());
    };
    const RunSeries* bestRun = nullptr;
    const CurvePoint* best = nullptr;
    double bestDistance = INFINITY;
    for (const RunSeries& rs : series_.runs)
        for (const CurvePoint& p : rs.points) {
            const QPointF d = toArea(p) - at;
            const double distance = d.x() * d.x() + d.y() * d.y();
            if (distance < bestDistance) {
                bestDistance = distance;
                best = &p;
                bestRun = &rs;
            }
        }
    if (!best)
        return;
    view_->showCrossHair(c.mapToScene(toArea(*best)));
    readout_->setText(uiText(rowReadout(runs_[bestRun->run], best->row)));
}

QString CurveView::readout() const {
    return readout_->text();
}

void CurveView::chooseExport(Export what) {
    static const std::pair<const char*, const char*> kinds[] = {{".png", "PNG (*.png)"},
                                                                {".png", "PNG (*.png)"},
                                                                {".svg", "SVG (*.svg)"},
                                                                {".csv", "CSV (*.csv)"}};
    const auto& [extension, filter] = kinds[static_cast<int>(what)];
    const std::string stem =
        runs_.empty() ? "curve" : std::filesystem::path(runs_[0].name).stem().string();
    const QString file = QFileDialog::getSaveFileName(
        this, lt(kExportTitle), QString::fromStdString((folder_ / (stem + extension)).string()),
        QString::fromLatin1(filter));
    if (!file.isEmpty())
        exportTo(what, std::filesystem::path(file.toStdString()));
}

bool CurveView::exportTo(Export what, const std::filesystem::path& file) {
    // The chart as the window shows it (zoom included), without the cross-hair.
    view_->hideCrossHair();
    const QRectF source = view_->chart()->sceneBoundingRect();
    const QSize size = source.size().toSize();
    const ChartPainter shown = [this, source](QPainter& p, const QRectF& target) {
        p.setRenderHint(QPainter::Antialiasing);
        view_->scene()->render(&p, target, source, Qt::IgnoreAspectRatio);
    };
    std::string error;
    bool ok = false;
    switch (what) {
    case Export::PngScreen:
        ok = saveChartPng(file, size, 1, kScreenDpi, shown, error);
        break;
    case Export::Png300:
        ok = saveChartPng(file, size, double(kPrintDpi) / kScreenDpi, kPrintDpi, shown, error);
        break;
    case Export::Svg:
        ok = saveChartSvg(file, size, toQt(series_.yTitle), shown, error);
        break;
    case Export::SeriesCsv:
        ok = writeFileAtomically(file, seriesCsv(series_, runs_, appExportOptions()), &error,
                                 AtomicFile::Durability::Regenerable);
        break;
    }
    if (!ok)
        host_.message(formatMsg(langText(kNotWrittenText), {file.string(), error}),
                      langText(kExportTitle), Host::Icon::Warning);
    return ok;
}
