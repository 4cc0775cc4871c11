// The curve as numbers: default axes, the centred derivative and its extremum at
// every sample's end point, alignment of runs, ticks, titles, the series CSV.
#include "documents/CurveSeries.h"

#include "EnglishTexts.h"
#include "ReportText.h"
#include "core/RegularFile.h"
#include "documents/CurveExport.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
const fs::path kSamples = VT_SOURCE_DIR "/data/samples";

CurveRun run(const fs::path& file) {
    std::string bytes, error;
    EXPECT_TRUE(readRegularFile(file, kMaxDocumentBytes, bytes, error)) << error;
    auto r = std::make_shared<ReportData>();
    EXPECT_FALSE(parseReport(bytes, file.filename().string(), *r)) << file;
    return {file.filename().string(), r, true};
}

CurveRun run(const std::string& name, const std::string& table,
             const std::vector<std::string>& rows, const std::vector<std::string>& head = {}) {
    auto r = std::make_shared<ReportData>();
    EXPECT_FALSE(parseReport(report(head, table, rows), name, *r)) << name;
    return {name, r, true};
}

std::vector<std::pair<double, double>> xy(const std::vector<CurvePoint>& points) {
    std::vector<std::pair<double, double>> out;
    for (const CurvePoint& p : points)
        out.push_back({p.x, p.y});
    return out;
}

} // namespace

// The derivative's extremum near each stated end point lies within one measured
// increment of it, in every sample titration.
TEST(CurveSeries, TheSteepestPointSitsOnEverySampleEndPoint) {
    int checked = 0;
    for (const auto& e : fs::recursive_directory_iterator(kSamples)) {
        const std::string name = e.path().filename().string();
        const bool titration =
            name.rfind("TI_", 0) == 0 || name.rfind("MVR", 0) == 0 || name.rfind("KF_", 0) == 0;
        if (!titration || e.path().extension() != ".RPT" || name == "KF_00209.RPT")
            continue;
        const CurveRun r = run(e.path());
        if (r.report->endPoints.empty())
            continue;
        const CurveSeries s = curveSeries({r}, {defaultAxes(*r.report), true, false});
        ASSERT_EQ(s.runs.size(), 1u) << name;
        const RunSeries& rs = s.runs[0];
        ASSERT_TRUE(s.endPointsShown) << name;
        for (std::size_t k = 0; k < rs.endPoints.size(); ++k) {
            ASSERT_TRUE(rs.extrema[k]) << name;
            const std::size_t row = rs.extrema[k]->row;
            const auto at = std::find_if(rs.points.begin(), rs.points.end(),
                                         [&](const CurvePoint& p) { return p.row == row; });
            ASSERT_TRUE(at != rs.points.begin() && at + 1 != rs.points.end()) << name;
            const double increment = std::max(at->x - (at - 1)->x, (at + 1)->x - at->x);
            EXPECT_LE(std::abs(rs.extrema[k]->x - rs.endPoints[k].volume), increment + 1e-9)
                << name << " end point " << rs.endPoints[k].number;
            ++checked;
        }
    }
    EXPECT_GE(checked, 30);
}

TEST(CurveSeries, DerivativeIsTheCentredDifferenceOfMeasuredPoints) {
    const std::vector<CurvePoint> points{{0, 0, 0}, {1, 1, 1}, {3, 5, 2},
                                         {3, 6, 3}, {4, 8, 4}, {6, 9, 5}};
    EXPECT_EQ(xy(derivative(points)),
              (std::vector<std::pair<double, double>>{{1, 5.0 / 3}, {3, 2.5}, {3, 3}, {4, 1}}));
    const std::vector<CurvePoint> flat{{1, 1, 0}, {2, 5, 1}, {1, 7, 2}};
    EXPECT_TRUE(derivative(flat).empty()); // equal x on both sides
    EXPECT_TRUE(derivative({{0, 0, 0}, {1, 1, 1}}).empty());
}

TEST(CurveSeries, EachEndPointTakesTheExtremumOfItsOwnStretch) {
    const std::vector<CurvePoint> slope{{1, 2, 0}, {2, -9, 1}, {3, 1, 2}, {6, 4, 3}, {8, 7, 4}};
    const auto e = extremaNear(slope, {7.5, 2.5}); // stretches meet at 5
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0]->x, 8);
    EXPECT_EQ(e[1]->x, 2); // the largest magnitude, falling
    EXPECT_FALSE(extremaNear({}, {1})[0]);
}

TEST(CurveSeries, DefaultAxesFollowTheKindOfReport) {
    struct Case {
        const char* file;
        const char* x;
        const char* y;
    };
    const Case cases[] = {
        {"pc/TI_00031.RPT", "Volume[mL]", "pH"},
        {"titrator/QX502/reports/TI_00018.RPT", "Volume[mL]", "mV"},
        {"export/MVR00204.RPT", "Volume[mL]", "mV rel"},
        {"pc/KF_00045.RPT", "Volume[mL]", "mV"},
        {"titrator/QX504/reports/KF_00061.RPT", "TitrWater[\xB5g]", "mV"},
        {"pc/DR_00044.RPT", "Time", "Drift[\xB5g/min]"},
        {"export/DR_00206.RPT", "Hora", "Deriva[\xB5g/min]"},
        {"pc/PH_00014.RPT", "Time", "pH"},
        {"export/MV_00203.RPT", "Hora", "mV"},
        {"export/ISE00207.RPT", "Time", "mV"},
    };
    for (const Case& c : cases) {
        const CurveAxes a = defaultAxes(*run(kSamples / c.file).report);
        EXPECT_EQ(a.x, c.x) << c.file;
        EXPECT_EQ(a.y, c.y) << c.file;
    }
    // A table without the kind's columns still gives a curve.
    EXPECT_EQ(defaultAxes(*run("TI_1.RPT", " Nr  Volume[mL]  User", {"1 2 3"}).report).y, "User");
}

TEST(CurveSeries, AlignedRunsMeetAtTheFirstRunsEndPoint) {
    const std::string table = " Nr  Volume[mL]      pH";
    const std::vector<CurveRun> runs{
        run("TI_1.RPT", table, {"1 4.0 3", "2 5.0 5", "3 6.0 9"}, {"End Point Volume: 5.0 mL"}),
        run("TI_2.RPT", table, {"1 5.5 3", "2 6.5 5", "3 7.5 9"}, {"End Point Volume: 6.5 mL"}),
        run("TI_3.RPT", table, {"1 1.0 3", "2 2.0 4"})};
    const CurveSeries s = curveSeries(runs, {{"Volume[mL]", "pH"}, false, true});
    ASSERT_EQ(s.runs.size(), 3u);
    EXPECT_EQ(s.runs[1].shift, -1.5);
    EXPECT_EQ(s.runs[1].points[0].x, 4.0);
    EXPECT_EQ(s.runs[1].endPoints[0].volume, 5.0);
    EXPECT_EQ(s.runs[2].shift, 0); // no end point: left where it is
    EXPECT_LT(s.x.min, 1.0);
    EXPECT_GT(s.x.max, 6.0);

    // Hidden runs are left out; on a time axis there are no end points to show.
    std::vector<CurveRun> hidden = runs;
    hidden[0].visible = false;
    EXPECT_EQ(curveSeries(hidden, {{"Volume[mL]", "pH"}, false, true}).runs[0].run, 1u);
    EXPECT_FALSE(curveSeries(runs, {{"pH", "Volume[mL]"}, false, false}).endPointsShown);
}

TEST(CurveSeries, RunsOfAnotherKindOrWithoutTheColumnsAreNotOverlaid) {
    const std::vector<CurveRun> runs{run(kSamples / "pc/KF_00045.RPT"),
                                     run(kSamples / "pc/TI_00031.RPT"),
                                     run(kSamples / "titrator/QX502/reports/TI_00018.RPT"),
                                     run(kSamples / "titrator/QX502/reports/TI_00017.RPT")};
    std::vector<CurveRun> rest;
    const auto fit = overlayable(runs, rest);
    // Titrations lead, three to one; the first of them gives the axes.
    ASSERT_EQ(fit.size(), 2u);
    EXPECT_EQ(fit[0].name, "TI_00031.RPT");
    EXPECT_EQ(fit[1].name, "TI_00017.RPT");
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].name, "KF_00045.RPT");
    EXPECT_EQ(rest[1].name, "TI_00018.RPT"); // no pH column
    EXPECT_EQ(commonColumns(fit), (std::vector<std::string>{"Nr", "Volume[mL]", "pH", "mV"}));
    EXPECT_EQ(commonColumns({fit[0], runs[2]}),
              (std::vector<std::string>{"Nr", "Volume[mL]", "mV"}));
}

TEST(CurveSeries, TicksAndTitles) {
    struct Tick {
        Range r;
        double step;
        int decimals;
    };
    for (const Tick& t :
         {Tick{{0, 10}, 2, 0}, Tick{{-0.3, 9.99}, 2, 0}, Tick{{2.1, 2.3}, 0.05, 2},
          Tick{{0, 1500}, 200, 0}, Tick{{5, 5}, 1, 0}, Tick{{0, 1e-300}, 2e-301, 9}}) {
        EXPECT_DOUBLE_EQ(tickStep(t.r, 8), t.step) << t.r.min << ".." << t.r.max;
        EXPECT_EQ(tickDecimals(t.step), t.decimals) << t.step;
    }
    const ReportColumn volume{"Volume[mL]", "Volume", "mL"}, ph{"pH", "pH", ""},
        time{"Time", "Time", "s"}, drift{"Drift[ug/min]", "Drift", "ug/min"};
    EXPECT_EQ(axisTitle(volume), "Volume [mL]");
    EXPECT_EQ(axisTitle(ph), "pH");
    EXPECT_EQ(slopeTitle(volume, ph), "dpH/dVolume [1/mL]");
    EXPECT_EQ(slopeTitle(time, drift), "dDrift/dTime [ug/min/s]");
    EXPECT_EQ(slopeTitle(ph, ph), "dpH/dpH");
}

TEST(CurveExport, SeriesCsvFollowsTheExportOptions) {
    useEnglishTexts();
    const std::vector<CurveRun> runs{run("TI_1.RPT", " Nr  Volume[mL]      pH",
                                         {"1 0.5 3", "2 1.0 -----", "3 1.5 4", "4 2.0 6"})};
    const CurveSeries s = curveSeries(runs, {{"Volume[mL]", "pH"}, true, false});
    EXPECT_EQ(seriesCsv(s, runs, exportOptionsFor(0, 0, 0)),
              "Report,Row,Volume [mL],pH,dpH/dVolume [1/mL]\r\n"
              "TI_1.RPT,1,0.5,3,\r\n"
              "TI_1.RPT,3,1.5,4,2\r\n" // (6 - 3) / (2 - 0.5): row 2 holds no pH
              "TI_1.RPT,4,2,6,\r\n");
    const CurveSeries plain = curveSeries(runs, {{"Volume[mL]", "pH"}, false, false});
    EXPECT_EQ(seriesCsv(plain, runs, exportOptionsFor(1, 1, 0)),
              "\"Report\";\"Row\";\"Volume [mL]\";\"pH\"\r\n"
              "\"TI_1.RPT\";\"1\";\"0,5\";\"3\"\r\n"
              "\"TI_1.RPT\";\"3\";\"1,5\";\"4\"\r\n"
              "\"TI_1.RPT\";\"4\";\"2\";\"6\"\r\n");
}

TEST(CurveExport, ReadoutShowsTheRowAsWritten) {
    useEnglishTexts();
    const CurveRun r = run(kSamples / "pc/KF_00045.RPT");
    EXPECT_EQ(rowReadout(r, 1).rfind("KF_00045.RPT, row 2: Nr 2, Volume[mL] ", 0), 0u)
        << rowReadout(r, 1);
    EXPECT_NE(rowReadout(r, 1).find(", Time 00:00:06"), std::string::npos) << rowReadout(r, 1);
}
