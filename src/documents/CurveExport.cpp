#include "documents/CurveExport.h"

#include "core/Dates.h"
#include "core/Encoding.h"
#include "core/Language.h"
#include "core/Text.h"
#include "documents/CsvCell.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <charconv>
#include <cmath>

namespace {

constexpr int kReadoutText = 1156;
constexpr int kReportHeading = 1157;
constexpr int kRowHeading = 1158;

std::string kindName(ReportType t) {
    switch (t) {
    case ReportType::Titration:
        return "titration";
    case ReportType::Ph:
        return "pH";
    case ReportType::Mv:
        return "mV";
    case ReportType::MvRel:
        return "mV rel";
    case ReportType::KarlFischer:
        return "Karl Fischer";
    case ReportType::Drift:
        return "drift";
    case ReportType::Ise:
        return "ISE";
    case ReportType::Tray:
        return "tray";
    default:
        return "unknown";
    }
}

class CsvLine {
public:
    explicit CsvLine(const ExportOptions& o) : o_(o) {}
    CsvLine& text(const std::string& t) {
        separate();
        csv::appendCell(line_, t, o_.quoteChar, o_.listSeparator);
        return *this;
    }
    CsvLine& number(double v) {
        return text(csv::withDecimalSeparator(numberText(v), o_.decimalSeparator));
    }
    CsvLine& empty() {
        separate();
        return *this;
    }
    std::string done() { return line_ + "\r\n"; }

private:
    void separate() {
        if (cells_++ > 0)
            line_ += o_.listSeparator;
    }
    const ExportOptions& o_;
    std::string line_;
    int cells_ = 0;
};

QJsonValue jsonNumber(double v) {
    return std::isfinite(v) ? QJsonValue(v) : QJsonValue(QJsonValue::Null);
}

QJsonObject jsonOf(const std::string& name, const ReportData& r) {
    QJsonObject o;
    o["file"] = toQt(name);
    o["kind"] = QString::fromStdString(kindName(r.type));
    o["reportId"] = toQt(r.reportId());
    o["sampleName"] = toQt(r.sampleName());
    o["methodName"] = toQt(r.methodName());
    o["date"] = toQt(r.dateText());
    if (const auto when = parseDateText(r.dateText()))
        o["dateTime"] = QString::fromStdString(formatDateTime(*when));
    QJsonArray endPoints;
    for (const EndPoint& e : r.endPoints)
        endPoints.append(QJsonObject{{"number", e.number}, {"volume", e.volume}});
    o["endPoints"] = endPoints;
    if (r.type == ReportType::Tray) {
        QJsonArray beakers;
        for (const TrayRow& row : r.trayRows) {
            if (!row.beaker)
                continue;
            beakers.append(QJsonObject{{"number", toQt(row.cells[0])},
                                       {"sampleName", toQt(row.cells[1])},
                                       {"result", toQt(row.cells[2])},
                                       {"unit", toQt(row.cells[3])},
                                       {"reportId", toQt(row.cells[4])},
                                       {"date", toQt(row.cells[5])},
                                       {"failed", row.failed}});
        }
        o["beakers"] = beakers;
        return o;
    }
    QJsonArray columns;
    for (const ReportColumn& c : r.columns)
        columns.append(QJsonObject{
            {"name", toQt(c.name)}, {"quantity", toQt(c.quantity)}, {"unit", toQt(c.unit)}});
    o["columns"] = columns;
    QJsonArray rows;
    for (std::size_t row = 0; row < r.rowCount(); ++row) {
        QJsonArray cells;
        for (std::size_t c = 0; c < r.columns.size(); ++c)
            cells.append(jsonNumber(r.value(row, c)));
        rows.append(cells);
    }
    o["rows"] = rows;
    return o;
}

} // namespace

std::string numberText(double value) {
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, end) : std::string();
}

std::string seriesCsv(const CurveSeries& s, const std::vector<CurveRun>& runs,
                      const ExportOptions& o) {
    const bool slope = std::any_of(s.runs.begin(), s.runs.end(),
                                   [](const RunSeries& r) { return !r.slope.empty(); });
    CsvLine head(o);
    head.text(langText(kReportHeading)).text(langText(kRowHeading)).text(s.xTitle).text(s.yTitle);
    if (slope)
        head.text(s.slopeTitle);
    std::string out = head.done();
    for (const RunSeries& rs : s.runs) {
        auto d = rs.slope.begin();
        for (const CurvePoint& p : rs.points) {
            CsvLine line(o);
            line.text(runs[rs.run].name)
                .number(static_cast<double>(p.row + 1))
                .number(p.x)
                .number(p.y);
            // Both lists follow the rows, so one pass pairs them.
            while (d != rs.slope.end() && d->row < p.row)
                ++d;
            if (d != rs.slope.end() && d->row == p.row)
                line.number(d->y);
            else if (slope)
                line.empty();
            out += line.done();
        }
    }
    return out;
}

std::string rowReadout(const CurveRun& run, std::size_t row) {
    const ReportData& r = *run.report;
    std::string values;
    if (row < r.rowCount()) {
        const auto cells = rowCells(r, r.rowText[row]);
        for (std::size_t c = 0; c < r.columns.size() && c < cells.size(); ++c) {
            if (cells[c].empty())
                continue;
            if (!values.empty())
                values += ", ";
            values += r.columns[c].name + " " + std::string(cells[c]);
        }
    }
    return formatMsg(langText(kReadoutText), {run.name, std::to_string(row + 1), values});
}

std::string reportJson(const std::string& name, const ReportData& report) {
    return QJsonDocument(jsonOf(name, report)).toJson(QJsonDocument::Indented).toStdString();
}

std::string reportsJson(const std::vector<CurveRun>& runs) {
    QJsonArray all;
    for (const CurveRun& run : runs)
        if (run.report)
            all.append(jsonOf(run.name, *run.report));
    return QJsonDocument(all).toJson(QJsonDocument::Indented).toStdString();
}
