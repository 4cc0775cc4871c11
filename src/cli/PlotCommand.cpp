#include "cli/PlotCommand.h"

#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "core/AppPaths.h"
#include "core/Numbers.h"
#include "core/RegularFile.h"
#include "core/Settings.h"
#include "core/Text.h"
#include "documents/CurveExport.h"
#include "documents/chart/CurveChart.h"

#include <filesystem>
#include <ostream>

namespace fs = std::filesystem;

namespace {

constexpr int kMinSide = 50;
constexpr int kMaxSide = 10000;

std::string extensionOf(const std::string& file) {
    return text::lower(fs::path(file).extension().string());
}

// The reports as runs; those that cannot be read are named on `err`.
std::vector<CurveRun> readRuns(const std::vector<std::string>& files, std::ostream& err,
                               bool& failed) {
    std::vector<CurveRun> runs;
    for (const std::string& file : files) {
        std::string bytes, error;
        CurveRun run;
        if (!readRegularFile(file, kMaxDocumentBytes, bytes, error)) {
            err << file << ": " << error << '\n';
            failed = true;
        } else if (const ExportFault fault =
                       readRun(fs::path(file).filename().string(), bytes, run)) {
            err << file << ": " << fault->description << '\n';
            failed = true;
        } else {
            runs.push_back(std::move(run));
        }
    }
    return runs;
}

// A column asked for by name or quantity, as the first run names it.
bool resolveColumn(const std::string& asked, const CurveRun& first, std::string& name,
                   std::ostream& err) {
    if (asked.empty())
        return true;
    if (const auto c = first.report->column(asked)) {
        name = first.report->columns[*c].name;
        return true;
    }
    err << first.name << " has no column \"" << asked << "\"; its columns:";
    for (const ReportColumn& c : first.report->columns)
        err << " \"" << c.name << '"';
    err << '\n';
    return false;
}

int draw(const PlotOptions& o, std::vector<CurveRun> runs, std::ostream& report, std::ostream& err,
         bool& failed) {
    std::vector<CurveRun> rest;
    runs = overlayable(runs, rest);
    for (const CurveRun& r : rest) {
        err << r.name
            << ": cannot be drawn with the others (another kind of report, or no "
               "table of measurements)\n";
        failed = true;
    }
    if (runs.empty())
        return cliexit::kUsage;
    CurveOptions options{defaultAxes(*runs.front().report), o.derivative, false};
    if (!resolveColumn(o.x, runs.front(), options.axes.x, err) ||
        !resolveColumn(o.y, runs.front(), options.axes.y, err))
        return cliexit::kUsage;
    const CurveSeries series = curveSeries(runs, options);
    const QSize size(o.width, o.height);
    const ChartPainter paint = offscreenCurve(series, runs, size);
    std::string error;
    const bool written =
        extensionOf(o.out) == ".svg"
            ? saveChartSvg(o.out, size, QString::fromStdString(o.out), paint, error)
            : saveChartPng(o.out, size, 1, kScreenDpi, paint, error);
    if (!written) {
        err << o.out << ": " << error << '\n';
        return cliexit::kUsage;
    }
    report << o.out << ": " << series.runs.size()
           << (series.runs.size() == 1 ? " curve" : " curves") << '\n';
    return cliexit::kOk;
}

} // namespace

bool parsePlotSize(const std::string& text, int& width, int& height) {
    const std::size_t x = text::lower(text).find('x');
    if (x == std::string::npos)
        return false;
    const auto w = num::parseInteger(text.substr(0, x));
    const auto h = num::parseInteger(text.substr(x + 1));
    if (!w || !h || *w < kMinSide || *h < kMinSide || *w > kMaxSide || *h > kMaxSide)
        return false;
    width = static_cast<int>(*w);
    height = static_cast<int>(*h);
    return true;
}

bool isPlotPicture(const std::string& file) {
    return extensionOf(file) == ".png" || extensionOf(file) == ".svg";
}

int cmdPlot(const PlotOptions& o, std::ostream& out, std::ostream& err) {
    CliHost host(err);
    AppPaths paths;
    Settings settings;
    if (!loadCliSettings(paths, settings, host, err))
        return cliexit::kUsage;
    bool failed = false;
    const std::vector<CurveRun> runs = readRuns(o.reports, err, failed);
    if (runs.empty())
        return cliexit::kUsage;
    if (o.json)
        out << (runs.size() == 1 && o.reports.size() == 1
                    ? reportJson(runs[0].name, *runs[0].report)
                    : reportsJson(runs));
    if (!o.out.empty())
        if (const int code = draw(o, runs, o.json ? err : out, err, failed); code != cliexit::kOk)
            return code;
    return failed ? cliexit::kFailed : cliexit::kOk;
}
