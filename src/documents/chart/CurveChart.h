#pragma once
// The curve drawn with Qt Charts: one colour per run, the first derivative on a
// second y axis, each end point a dashed vertical line with its volume, and the
// derivative's extremum near it marked. The view, the printed page, the picture
// files and `veltran-cli plot` all draw through here. Fonts are in pixels, so a
// chart scales as one picture onto any device.
#include "documents/CurveSeries.h"
#include "documents/ReportEngine.h"

#include <QSize>
#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class QChart;
class QColor;
class QPainter;
class QRectF;

// Fills a new, empty chart.
void drawCurve(QChart& chart, const CurveSeries& series, const std::vector<CurveRun>& runs);

// The colour of run n of a window (a single run is dark blue).
QColor runColour(std::size_t n);

// Paints the chart, laid out at `layout` pixels, scaled into `target`.
void paintCurve(QPainter& painter, const QRectF& target, const CurveSeries& series,
                const std::vector<CurveRun>& runs, QSize layout);

// Something that paints a chart into a target rectangle (an offscreen chart, or the
// one a window shows).
using ChartPainter = std::function<void(QPainter&, const QRectF& target)>;
ChartPainter offscreenCurve(const CurveSeries& series, const std::vector<CurveRun>& runs,
                            QSize layout);

// Picture files of a chart of `size` pixels; the PNG is `scale` times larger and
// carries `dpi`. Written whole or not at all; false with the reason.
bool saveChartPng(const std::filesystem::path& file, QSize size, double scale, double dpi,
                  const ChartPainter& paint, std::string& error);
bool saveChartSvg(const std::filesystem::path& file, QSize size, const QString& title,
                  const ChartPainter& paint, std::string& error);

// A printed page with the curve at the page's width, after the report's text.
ExtraPage curvePage(const CurveSeries& series, const std::vector<CurveRun>& runs);

// The curve page of a report to print, with the default axes and its end points; none
// when the text is no report with a table. `name` is the report's file name.
std::vector<ExtraPage> reportCurvePages(const std::string& text, const std::string& name,
                                        const CurveOptions* options = nullptr);

inline constexpr int kScreenDpi = 96;
inline constexpr int kPrintDpi = 300;
