#include "documents/chart/CurveChart.h"

#include "core/AtomicFile.h"
#include "core/Encoding.h"
#include "core/Language.h"
#include "core/Numbers.h"
#include "core/Text.h"

#include <QBuffer>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>
#include <array>

namespace {

constexpr int kDerivativeText = 1144;
constexpr int kEndPointText = 1154;
constexpr int kSteepestText = 1155;
constexpr int kTextTooLarge = 196;
constexpr int kTextNotEncoded = 197;
constexpr int kLabelPixels = 12;
constexpr int kTitlePixels = 13;
constexpr int kVolumeDecimals = 3;
constexpr double kCurveWidth = 1.6;
constexpr int kTicks = 8;
constexpr int kLabelRows = 4;        // end-point label heights of overlaid runs
constexpr double kLabelStep = 0.06;  // of the y span, between two label heights
constexpr double kEndlessDash = 1e9; // in pen widths
constexpr double kNoGap = 1e-9;
constexpr double kMarkerSize = 8;
constexpr double kPageAspect = 0.62; // height of the printed curve to its width
constexpr int kPageLayoutWidth = 760;
constexpr double kMetresPerInch = 0.0254;

const QColor kSlopeColour(0xC0, 0x10, 0x10);
const QColor kEndPointColour(0x10, 0x80, 0x30);

QFont pixelFont(int pixels, bool bold = false) {
    QFont f;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QValueAxis* addAxis(QChart& chart, const std::string& title, const Range& r, Qt::Alignment side) {
    auto* axis = new QValueAxis;
    axis->setTitleText(toQt(title));
    axis->setTitleFont(pixelFont(kTitlePixels));
    axis->setLabelsFont(pixelFont(kLabelPixels));
    // The data's own range, ticks on round values inside it.
    axis->setRange(r.min, r.max);
    const double step = tickStep(r, kTicks);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(tickDecimals(step)));
    chart.addAxis(axis, side);
    return axis;
}

template <typename Series>
Series* addSeries(QChart& chart, QValueAxis* x, QValueAxis* y, const QString& name, bool inLegend) {
    auto* series = new Series;
    series->setName(name);
    chart.addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
    for (QLegendMarker* m : chart.legend()->markers(series))
        m->setVisible(inLegend);
    return series;
}

QList<QPointF> pointsOf(const std::vector<CurvePoint>& points) {
    QList<QPointF> out;
    out.reserve(static_cast<qsizetype>(points.size()));
    for (const CurvePoint& p : points)
        out.append(QPointF(p.x, p.y));
    return out;
}

// A single point that carries a text above it and shows no marker of its own.
void addLabel(QChart& chart, QValueAxis* x, QValueAxis* y, QPointF at, const std::string& text,
              const QColor& colour, bool marker) {
    auto* s = addSeries<QScatterSeries>(chart, x, y, QString(), false);
    s->append(at);
    s->setMarkerSize(marker ? kMarkerSize : 1);
    s->setColor(marker ? colour : QColor(Qt::transparent));
    s->setBorderColor(marker ? colour : QColor(Qt::transparent));
    s->setPointLabelsFont(pixelFont(kLabelPixels, true));
    s->setPointLabelsColor(colour);
    s->setPointLabelsFormat(toQt(text));
    s->setPointLabelsVisible(!text.empty());
}

// A solid line drawn as one endless dash: Qt Charts then strokes the curve as one
// path with proper joins (a plain solid pen gives one separate line per segment).
QPen curvePen(const QColor& colour, double width) {
    QPen pen(colour, width, Qt::CustomDashLine);
    pen.setDashPattern({kEndlessDash, kNoGap});
    return pen;
}

std::string volumeText(double v) {
    return num::fixed(v, kVolumeDecimals);
}

struct Axes {
    QValueAxis* x;
    QValueAxis* y;
    QValueAxis* slope;
};

// Overlaid runs put their end-point labels one above the other, so that close end
// points stay readable. A label goes to the top of the plot, or to the bottom when
// the derivative's marker near that end point is in the upper half.
void drawEndPoints(QChart& chart, const Axes& a, const RunSeries& rs, const QColor& colour,
                   std::size_t position) {
    const double span = a.y->max() - a.y->min();
    // Labels stand above their point and are clipped to the plot: the top row starts
    // one step down.
    const double row = static_cast<double>(position % kLabelRows) * kLabelStep * span;
    for (std::size_t k = 0; k < rs.endPoints.size(); ++k) {
        const EndPoint& e = rs.endPoints[k];
        const auto& marker = k < rs.extrema.size() ? rs.extrema[k] : std::nullopt;
        const bool markerHigh =
            a.slope && marker && marker->y > (a.slope->min() + a.slope->max()) / 2;
        auto* line = addSeries<QLineSeries>(chart, a.x, a.y, QString(), false);
        line->append(e.volume, a.y->min());
        line->append(e.volume, a.y->max());
        line->setPen(QPen(colour, 1, Qt::DashLine));
        addLabel(
            chart, a.x, a.y,
            QPointF(e.volume, markerHigh ? a.y->min() + row : a.y->max() - row - kLabelStep * span),
            formatMsg(langText(kEndPointText),
                      {std::to_string(e.number), volumeText(e.volume - rs.shift)}),
            colour, false);
    }
}

void drawRun(QChart& chart, const Axes& a, const CurveSeries& s, std::size_t position,
             const std::vector<CurveRun>& runs, bool single) {
    const RunSeries& rs = s.runs[position];
    const QColor colour = runColour(single ? 0 : rs.run);
    auto* curve = addSeries<QLineSeries>(
        chart, a.x, a.y, toQt(single ? s.yTitle : runLabel(runs[rs.run])), !single || a.slope);
    curve->setPen(curvePen(colour, kCurveWidth));
    curve->replace(pointsOf(rs.points));
    if (s.endPointsShown)
        drawEndPoints(chart, a, rs, single ? kEndPointColour : colour, position);
    if (!a.slope)
        return;
    const QColor slopeColour = single ? kSlopeColour : colour;
    auto* slope =
        addSeries<QLineSeries>(chart, a.x, a.slope, toQt(langText(kDerivativeText)), single);
    slope->setPen(single ? curvePen(slopeColour, 1) : QPen(slopeColour, 1, Qt::DashLine));
    slope->replace(pointsOf(rs.slope));
    // Overlaid, the marker alone: its volume would cover the end-point labels.
    for (const auto& e : rs.extrema)
        if (e)
            addLabel(chart, a.x, a.slope, QPointF(e->x, e->y),
                     single ? formatMsg(langText(kSteepestText), {volumeText(e->x - rs.shift)})
                            : std::string(),
                     slopeColour, true);
}

// A chart in a scene of its own, laid out at a size, for painting without a window.
class OffscreenChart {
public:
    OffscreenChart(const CurveSeries& s, const std::vector<CurveRun>& runs, QSize size)
        : chart_(new QChart), size_(size) {
        scene_.addItem(chart_);
        chart_->setGeometry(QRectF(QPointF(0, 0), QSizeF(size)));
        drawCurve(*chart_, s, runs);
        chart_->layout()->activate();
        scene_.setSceneRect(QRectF(QPointF(0, 0), QSizeF(size)));
    }
    void paint(QPainter& p, const QRectF& target) {
        scene_.render(&p, target, QRectF(QPointF(0, 0), QSizeF(size_)), Qt::IgnoreAspectRatio);
    }

private:
    QGraphicsScene scene_;
    QChart* chart_; // owned by the scene
    QSize size_;
};

bool writeWhole(const std::filesystem::path& file, const QByteArray& bytes, std::string& error) {
    return writeFileAtomically(file, bytes.toStdString(), &error,
                               AtomicFile::Durability::Regenerable);
}

} // namespace

QColor runColour(std::size_t n) {
    static const std::array<QColor, 10> palette{QColor(0x1F, 0x3A, 0x93), QColor(0xD9, 0x5F, 0x02),
                                                QColor(0x1B, 0x9E, 0x77), QColor(0x7B, 0x2D, 0x8E),
                                                QColor(0xE7, 0x29, 0x8A), QColor(0x66, 0xA6, 0x1E),
                                                QColor(0xA6, 0x76, 0x1D), QColor(0x00, 0x8B, 0xA8),
                                                QColor(0x66, 0x66, 0x66), QColor(0xB2, 0x18, 0x2B)};
    return palette[n % palette.size()];
}

void drawCurve(QChart& chart, const CurveSeries& s, const std::vector<CurveRun>& runs) {
    const bool single = runs.size() == 1;
    chart.setTitle(single && !s.runs.empty() ? toQt(runLabel(runs.front())) : QString());
    chart.setTitleFont(pixelFont(kTitlePixels, true));
    chart.legend()->setFont(pixelFont(kLabelPixels));
    chart.legend()->setVisible(!single || s.derivative);
    chart.legend()->setAlignment(Qt::AlignBottom);
    Axes a{addAxis(chart, s.xTitle, s.x, Qt::AlignBottom),
           addAxis(chart, s.yTitle, s.y, Qt::AlignLeft), nullptr};
    if (s.derivative) {
        // Headroom above the highest slope for the label of its marker.
        const Range slope{s.slope.min, s.slope.max + kLabelStep * (s.slope.max - s.slope.min)};
        a.slope = addAxis(chart, s.slopeTitle, slope, Qt::AlignRight);
        a.slope->setGridLineVisible(false); // the pH or mV grid serves both
    }
    for (std::size_t i = 0; i < s.runs.size(); ++i)
        drawRun(chart, a, s, i, runs, single);
}

void paintCurve(QPainter& painter, const QRectF& target, const CurveSeries& series,
                const std::vector<CurveRun>& runs, QSize layout) {
    painter.setRenderHint(QPainter::Antialiasing);
    OffscreenChart(series, runs, layout).paint(painter, target);
}

ChartPainter offscreenCurve(const CurveSeries& series, const std::vector<CurveRun>& runs,
                            QSize layout) {
    return [&series, &runs, layout](QPainter& p, const QRectF& target) {
        paintCurve(p, target, series, runs, layout);
    };
}

bool saveChartPng(const std::filesystem::path& file, QSize size, double scale, double dpi,
                  const ChartPainter& paint, std::string& error) {
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        error = langText(kTextTooLarge);
        return false;
    }
    image.fill(Qt::white);
    const int dotsPerMetre = qRound(dpi / kMetresPerInch);
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        paint(p, QRectF(image.rect()));
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        error = langText(kTextNotEncoded);
        return false;
    }
    return writeWhole(file, buffer.data(), error);
}

bool saveChartSvg(const std::filesystem::path& file, QSize size, const QString& title,
                  const ChartPainter& paint, std::string& error) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(title);
        QPainter p(&svg);
        paint(p, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    return writeWhole(file, buffer.data(), error);
}

ExtraPage curvePage(const CurveSeries& series, const std::vector<CurveRun>& runs) {
    return [series, runs](QPainter& p, const QRectF& body) {
        const double height = std::min(body.width() * kPageAspect, body.height());
        const QSize layout(kPageLayoutWidth, qRound(kPageLayoutWidth * height / body.width()));
        paintCurve(p, QRectF(body.topLeft(), QSizeF(body.width(), height)), series, runs, layout);
    };
}

std::vector<ExtraPage> reportCurvePages(const std::string& text, const std::string& name,
                                        const CurveOptions* options) {
    CurveRun run;
    if (readRun(name, text, run) || !run.report->hasCurve())
        return {};
    const std::vector<CurveRun> runs{run};
    const CurveOptions o =
        options ? *options : CurveOptions{defaultAxes(*run.report), false, false};
    return {curvePage(curveSeries(runs, o), runs)};
}
