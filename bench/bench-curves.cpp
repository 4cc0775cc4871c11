// Curves drawn without a display: one report with 100,000 data rows read, parsed
// and drawn into a PNG (target under 0.5 s), and 20 reports overlaid with their
// derivatives (target under 1 s). Prints figures; never fails on time.
#include "TempDir.h"
#include "core/Ini.h"
#include "core/Language.h"
#include "core/RegularFile.h"
#include "documents/chart/CurveChart.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>

namespace fs = std::filesystem;

namespace {

constexpr int kLargeRows = 100000;
constexpr int kOverlaid = 20;
constexpr int kOverlaidRows = 5000;
constexpr int kRuns = 5;
const QSize kPicture(800, 500);

// A titration whose pH rises through one end point at 90 % of the volume.
std::string titrationReport(int id, int rows) {
    char line[128];
    std::string text = "\tQX502 Potentiometric Titrator\r\n\tTitration Report\r\n";
    std::snprintf(line, sizeof line, "\tReport ID: %05d\r\n\tSample Name: Red wine %d\r\n", id, id);
    text += line;
    const double end = rows * 0.0001 * (1 + id * 0.01);
    std::snprintf(line, sizeof line, "\tEnd Point Volume: %.3f mL\r\n\r\n", end * 0.9);
    text += line;
    text += "\t Nr  Volume[mL]      pH      mV\r\n";
    for (int i = 1; i <= rows; ++i) {
        const double v = end * i / rows;
        const double ph = 7 + 4.5 * std::tanh((v - end * 0.9) / (end * 0.01));
        std::snprintf(line, sizeof line, "\t%6d  %10.4f  %6.3f  %6.1f\r\n", i, v, ph,
                      (7 - ph) * 58.3);
        text += line;
    }
    return text + "\r\n\tSignature:\r\n";
}

double secondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* what, std::vector<double> times, double points, double target) {
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("%-40s median %7.3f s  best %7.3f s  %10.0f points/s  target < %.1f s: %s\n", what,
                median, times.front(), points / median, target, median < target ? "met" : "MISSED");
}

// Read, parse and draw, as `veltran-cli plot` does.
bool plot(const std::vector<fs::path>& files, bool derivative, const fs::path& png) {
    std::vector<CurveRun> runs;
    for (const fs::path& f : files) {
        std::string bytes, error;
        CurveRun run;
        if (!readRegularFile(f, kMaxDocumentBytes, bytes, error) ||
            readRun(f.filename().string(), bytes, run))
            return false;
        runs.push_back(std::move(run));
    }
    const CurveSeries s = curveSeries(runs, {defaultAxes(*runs[0].report), derivative, false});
    std::string error;
    return saveChartPng(png, kPicture, 1, kScreenDpi, offscreenCurve(s, runs, kPicture), error);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setLanguageTable(readLanguageTable(IniFile::load(VT_SOURCE_DIR "/data/lang/english.lng")));
    TempDir dir;
    bool ok = true;

    const fs::path large = dir.write("TI_00001.RPT", titrationReport(1, kLargeRows));
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run)
        times.push_back(
            secondsOf([&] { ok = plot({large}, false, dir.path() / "large.png") && ok; }));
    report("1 report x 100000 rows to PNG", times, kLargeRows, 0.5);

    std::vector<fs::path> files;
    for (int i = 0; i < kOverlaid; ++i)
        files.push_back(dir.write("TI_" + std::to_string(10000 + i) + ".RPT",
                                  titrationReport(i + 2, kOverlaidRows)));
    times.clear();
    for (int run = 0; run < kRuns; ++run)
        times.push_back(
            secondsOf([&] { ok = plot(files, true, dir.path() / "overlay.png") && ok; }));
    report("20 reports x 5000 rows, derivatives", times, kOverlaid * kOverlaidRows, 1.0);
    if (!ok)
        std::printf("a picture could not be drawn\n");
    return ok ? 0 : 1;
}
