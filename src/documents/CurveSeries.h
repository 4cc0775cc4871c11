#pragma once
// A report's curve as points to draw: two of its columns, the first derivative,
// the end points and the derivative's extremum near each, the axis ranges, and
// for several runs the shift that aligns them on their first end point. The
// chart widgets, the printed page and `veltran-cli plot` only draw this.
#include "documents/ReportData.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct CurvePoint {
    double x = 0;
    double y = 0;
    std::size_t row = 0; // the report's data row (0 = first)
};

// The columns on the axes, by name as the report writes them.
struct CurveAxes {
    std::string x;
    std::string y;
};

// Volume (or titrated water) across for titrations, time for logging, drift and
// measurement reports; up the kind's own signal: pH, mV, relative mV or drift.
CurveAxes defaultAxes(const ReportData& report);

// The rows where both columns hold a number.
std::vector<CurvePoint> columnPoints(const ReportData& report, std::size_t x, std::size_t y);

// dY/dX at every measured point that has a neighbour on each side, as the centred
// difference (y[i+1] - y[i-1]) / (x[i+1] - x[i-1]); no point where the two x are equal.
// Nothing is smoothed or interpolated.
std::vector<CurvePoint> derivative(const std::vector<CurvePoint>& points);

// For each end point (in order), the derivative point of largest magnitude between
// the midpoints to its neighbouring end points; nothing where that stretch has none.
std::vector<std::optional<CurvePoint>> extremaNear(const std::vector<CurvePoint>& slope,
                                                   const std::vector<double>& endPoints);

// "Volume [mL]", "pH", "Time [s]"; "dpH/dVolume [1/mL]" for the derivative.
std::string axisTitle(const ReportColumn& column);
std::string slopeTitle(const ReportColumn& x, const ReportColumn& y);

// One report of a curve window.
struct CurveRun {
    std::string name; // its file name
    std::shared_ptr<const ReportData> report;
    bool visible = true;
};

// A report's text as a run; the reading's error when it is no report.
ExportFault readRun(const std::string& name, std::string_view text, CurveRun& run);

// Report ID (or the file name), sample name and date, as far as the report has them.
std::string runLabel(const CurveRun& run);

struct CurveOptions {
    CurveAxes axes;
    bool derivative = false;
    bool align = false; // shift runs so that their first end points meet
};

struct Range {
    double min = 0;
    double max = 1;
};

// A round distance between axis ticks (1, 2 or 5 times a power of ten) that gives at
// most `ticks` intervals over the range, and the decimals its labels need.
double tickStep(const Range& range, int ticks);
int tickDecimals(double step);

struct RunSeries {
    std::size_t run = 0; // index into the runs
    double shift = 0;    // added to every x
    std::vector<CurvePoint> points;
    std::vector<CurvePoint> slope; // with the derivative only
    std::vector<EndPoint> endPoints;
    std::vector<std::optional<CurvePoint>> extrema; // with the derivative, one per end point
};

struct CurveSeries {
    std::string xTitle, yTitle, slopeTitle;
    std::vector<RunSeries> runs; // the visible runs that have both columns
    Range x, y, slope;           // over the visible runs, a little wider than the data
    bool derivative = false;     // a second y axis with dY/dX
    bool endPointsShown = false; // end points are volumes: shown on a volume axis only
};

CurveSeries curveSeries(const std::vector<CurveRun>& runs, const CurveOptions& options);

// The runs that can share one chart: those of the kind most of the runs are of (the
// first kind on a tie) that hold the columns of the default axes of the first of them.
// The others are listed in `rest`.
std::vector<CurveRun> overlayable(const std::vector<CurveRun>& runs, std::vector<CurveRun>& rest);

// Column names every run has, in the first run's order: the choices of an axis.
std::vector<std::string> commonColumns(const std::vector<CurveRun>& runs);

// Whether the x column carries the end points (a volume column).
bool endPointAxis(const ReportData& report, std::size_t column);
