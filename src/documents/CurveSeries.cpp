#include "documents/CurveSeries.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr int kNrColumn = 0;
constexpr int kVolumeColumn = 1;
constexpr int kTitrWaterColumn = 2;
constexpr int kPhColumn = 3;
constexpr int kDriftColumn = 18;
constexpr int kTimeColumn = 21;
constexpr double kMargin = 0.03;    // of the data's span, on each side of an axis
constexpr int kMaxDecimals = 9;     // of an axis label, however close the values
constexpr double kLabelRoom = 0.07; // of the x span, on each side of an end point: its label
constexpr const char* kLabelGap = "  \xB7  "; // a middle dot between the parts

// The column that carries vocabulary name k in any report language ("Volume[" opens a
// name with its unit; the other names stand alone).
std::optional<std::size_t> vocabularyColumn(const ReportData& r, int k) {
    for (std::size_t c = 0; c < r.columns.size(); ++c)
        for (std::string_view name : columnNames()[k]) {
            const std::string& have = r.columns[c].name;
            if (name.back() == '[' ? have.rfind(name, 0) == 0 : have == name)
                return c;
        }
    return std::nullopt;
}

std::optional<std::size_t> namedColumn(const ReportData& r, std::string_view name) {
    for (std::size_t c = 0; c < r.columns.size(); ++c)
        if (r.columns[c].name == name)
            return c;
    return std::nullopt;
}

bool isTitration(ReportType t) {
    return t == ReportType::Titration || t == ReportType::MvRel || t == ReportType::KarlFischer;
}

std::optional<std::size_t> defaultY(const ReportData& r) {
    switch (r.type) {
    case ReportType::Titration:
    case ReportType::Ph:
        if (const auto ph = vocabularyColumn(r, kPhColumn))
            return ph;
        return vocabularyColumn(r, kMvColumn);
    case ReportType::MvRel:
        return vocabularyColumn(r, kMvRelColumn);
    case ReportType::Drift:
        return vocabularyColumn(r, kDriftColumn);
    default:
        return vocabularyColumn(r, kMvColumn);
    }
}

Range rangeOf(double lo, double hi) {
    if (!(lo <= hi))
        return {};
    const double span = hi - lo;
    const double pad = span > 0 ? span * kMargin : std::max(std::abs(hi) * kMargin, 1.0);
    return {lo - pad, hi + pad};
}

struct Extent {
    double lo = INFINITY, hi = -INFINITY;
    void add(double v) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    Range range() const { return rangeOf(lo, hi); }
};

void shiftRun(RunSeries& s, double dx) {
    s.shift = dx;
    for (CurvePoint& p : s.points)
        p.x += dx;
    for (CurvePoint& p : s.slope)
        p.x += dx;
    for (EndPoint& e : s.endPoints)
        e.volume += dx;
    for (auto& e : s.extrema)
        if (e)
            e->x += dx;
}

// Each run's first end point onto that of the first run that has one.
void align(std::vector<RunSeries>& runs) {
    const auto ref = std::find_if(runs.begin(), runs.end(),
                                  [](const RunSeries& s) { return !s.endPoints.empty(); });
    if (ref == runs.end())
        return;
    const double target = ref->endPoints.front().volume;
    for (RunSeries& s : runs)
        if (!s.endPoints.empty())
            shiftRun(s, target - s.endPoints.front().volume);
}

std::vector<double> volumes(const std::vector<EndPoint>& endPoints) {
    std::vector<double> v;
    for (const EndPoint& e : endPoints)
        v.push_back(e.volume);
    return v;
}

} // namespace

CurveAxes defaultAxes(const ReportData& r) {
    std::optional<std::size_t> x;
    if (isTitration(r.type)) {
        x = vocabularyColumn(r, kVolumeColumn);
        if (!x)
            x = vocabularyColumn(r, kTitrWaterColumn);
    } else {
        x = vocabularyColumn(r, kTimeColumn);
    }
    if (!x)
        x = vocabularyColumn(r, kNrColumn);
    std::optional<std::size_t> y = defaultY(r);
    // Whatever the kind, a table gives a curve: the first columns left, the row
    // number last.
    const auto nr = vocabularyColumn(r, kNrColumn);
    auto firstOther = [&](std::optional<std::size_t> taken) -> std::optional<std::size_t> {
        for (std::size_t c = 0; c < r.columns.size(); ++c)
            if (c != taken && c != nr)
                return c;
        return nr != taken ? nr : std::nullopt;
    };
    if (!x)
        x = firstOther(y);
    if (!y || y == x)
        y = firstOther(x);
    CurveAxes axes;
    if (x)
        axes.x = r.columns[*x].name;
    if (y)
        axes.y = r.columns[*y].name;
    return axes;
}

std::vector<CurvePoint> columnPoints(const ReportData& r, std::size_t x, std::size_t y) {
    std::vector<CurvePoint> points;
    points.reserve(r.rowCount());
    for (std::size_t row = 0; row < r.rowCount(); ++row) {
        const double vx = r.value(row, x), vy = r.value(row, y);
        if (std::isfinite(vx) && std::isfinite(vy))
            points.push_back({vx, vy, row});
    }
    return points;
}

std::vector<CurvePoint> derivative(const std::vector<CurvePoint>& p) {
    std::vector<CurvePoint> slope;
    if (p.size() < 3)
        return slope;
    slope.reserve(p.size() - 2);
    for (std::size_t i = 1; i + 1 < p.size(); ++i) {
        const double dx = p[i + 1].x - p[i - 1].x;
        if (dx != 0)
            slope.push_back({p[i].x, (p[i + 1].y - p[i - 1].y) / dx, p[i].row});
    }
    return slope;
}

std::vector<std::optional<CurvePoint>> extremaNear(const std::vector<CurvePoint>& slope,
                                                   const std::vector<double>& endPoints) {
    std::vector<double> sorted = endPoints;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::optional<CurvePoint>> out;
    for (double ep : endPoints) {
        const auto at = std::lower_bound(sorted.begin(), sorted.end(), ep);
        const double lo = at == sorted.begin() ? -INFINITY : (*(at - 1) + ep) / 2;
        const auto next = std::upper_bound(sorted.begin(), sorted.end(), ep);
        const double hi = next == sorted.end() ? INFINITY : (*next + ep) / 2;
        std::optional<CurvePoint> best;
        for (const CurvePoint& p : slope)
            if (p.x >= lo && p.x <= hi && (!best || std::abs(p.y) > std::abs(best->y)))
                best = p;
        out.push_back(best);
    }
    return out;
}

std::string axisTitle(const ReportColumn& c) {
    return c.unit.empty() ? c.quantity : c.quantity + " [" + c.unit + "]";
}

std::string slopeTitle(const ReportColumn& x, const ReportColumn& y) {
    const std::string over = x.unit.empty() ? "" : "/" + x.unit;
    const std::string unit = (y.unit.empty() ? (over.empty() ? "" : "1") : y.unit) + over;
    const std::string title = "d" + y.quantity + "/d" + x.quantity;
    return unit.empty() ? title : title + " [" + unit + "]";
}

ExportFault readRun(const std::string& name, std::string_view text, CurveRun& run) {
    auto report = std::make_shared<ReportData>();
    const ExportFault fault = parseReport(text, name, *report);
    run = {name, std::move(report), true};
    return fault;
}

std::string runLabel(const CurveRun& run) {
    std::string label = run.report ? run.report->reportId() : "";
    if (label.empty())
        label = run.name;
    if (!run.report)
        return label;
    for (const std::string& part : {run.report->sampleName(), run.report->dateText()})
        if (!part.empty())
            label += kLabelGap + part;
    return label;
}

double tickStep(const Range& r, int ticks) {
    const double span = r.max - r.min;
    if (!(span > 0) || ticks < 1)
        return 1;
    const double rough = span / ticks;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= rough)
            return m * power;
    return 10 * power;
}

int tickDecimals(double step) {
    if (!(step < 1))
        return 0;
    return std::min(kMaxDecimals, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
}

bool endPointAxis(const ReportData& r, std::size_t column) {
    return vocabularyColumn(r, kVolumeColumn) == column;
}

CurveSeries curveSeries(const std::vector<CurveRun>& runs, const CurveOptions& o) {
    CurveSeries s;
    s.derivative = o.derivative;
    bool titled = false;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        if (!runs[i].visible || !runs[i].report)
            continue;
        const ReportData& r = *runs[i].report;
        const auto xc = namedColumn(r, o.axes.x), yc = namedColumn(r, o.axes.y);
        if (!xc || !yc)
            continue;
        if (!titled) {
            s.xTitle = axisTitle(r.columns[*xc]);
            s.yTitle = axisTitle(r.columns[*yc]);
            s.slopeTitle = slopeTitle(r.columns[*xc], r.columns[*yc]);
            titled = true;
        }
        RunSeries rs;
        rs.run = i;
        rs.points = columnPoints(r, *xc, *yc);
        if (endPointAxis(r, *xc)) {
            rs.endPoints = r.endPoints;
            s.endPointsShown = true;
        }
        if (o.derivative) {
            rs.slope = derivative(rs.points);
            rs.extrema = extremaNear(rs.slope, volumes(rs.endPoints));
        }
        s.runs.push_back(std::move(rs));
    }
    if (o.align)
        align(s.runs);
    Extent x, y, slope;
    for (const RunSeries& rs : s.runs) {
        for (const CurvePoint& p : rs.points) {
            x.add(p.x);
            y.add(p.y);
        }
        for (const CurvePoint& p : rs.slope)
            slope.add(p.y);
    }
    // Room beside each end point for its label, which is centred on it.
    const double room = x.lo <= x.hi ? kLabelRoom * (x.hi - x.lo) : 0;
    for (const RunSeries& rs : s.runs)
        for (const EndPoint& e : rs.endPoints) {
            x.add(e.volume - room);
            x.add(e.volume + room);
        }
    s.x = x.range();
    s.y = y.range();
    s.slope = slope.range();
    return s;
}

std::vector<CurveRun> overlayable(const std::vector<CurveRun>& runs, std::vector<CurveRun>& rest) {
    // The kind most of the runs are of leads; the first of its runs gives the axes.
    std::map<ReportType, int> kinds;
    for (const CurveRun& run : runs)
        if (run.report && run.report->hasCurve())
            ++kinds[run.report->type];
    const ReportData* first = nullptr;
    for (const CurveRun& run : runs)
        if (run.report && run.report->hasCurve() &&
            (!first || kinds[run.report->type] > kinds[first->type]))
            first = run.report.get();
    std::vector<CurveRun> fit;
    rest.clear();
    const CurveAxes axes = first ? defaultAxes(*first) : CurveAxes{};
    for (const CurveRun& run : runs) {
        const ReportData* r = run.report.get();
        if (r && r->hasCurve() && r->type == first->type && namedColumn(*r, axes.x) &&
            namedColumn(*r, axes.y))
            fit.push_back(run);
        else
            rest.push_back(run);
    }
    return fit;
}

std::vector<std::string> commonColumns(const std::vector<CurveRun>& runs) {
    std::vector<std::string> names;
    if (runs.empty() || !runs.front().report)
        return names;
    for (const ReportColumn& c : runs.front().report->columns) {
        const bool everywhere = std::all_of(runs.begin(), runs.end(), [&](const CurveRun& run) {
            return run.report && namedColumn(*run.report, c.name);
        });
        if (everywhere)
            names.push_back(c.name);
    }
    return names;
}
