#pragma once
// A report read as data: its header lines and the summary labels found in them,
// the data table (columns with names and units, rows as numbers), the end-point
// volumes and, for a tray report, its beakers. The CSV export, the curve view
// and the command-line tool all take this one reading of a report.
#include "documents/ExportError.h"
#include "documents/ReportVocabulary.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ReportColumn {
    std::string name;     // the header cell as written: "Volume[mL]", "mV rel", "Temp.Comp."
    std::string quantity; // the name without its unit: "Volume"
    std::string unit;     // "mL"; "s" for a time column, whose "hh:mm:ss" cells read as seconds
};

// A summary label met in a header line and the text after it, trimmed.
struct LabelMatch {
    int field = 0;
    std::string value;
};

struct EndPoint {
    int number = 1; // "End Point Volume" is 1, "End Point 2 Volume" 2
    double volume = 0;
};

// A row of a tray report's table.
struct TrayRow {
    // A beaker: number, sample name, result, unit, report ID, date. Otherwise the row's words.
    std::vector<std::string> cells;
    bool beaker = false;
    bool failed = false; // the result is the tray language's "Error" or "Stopped" word
};

struct ReportData {
    static constexpr std::size_t npos = std::string_view::npos;

    ReportType type = ReportType::Unknown;
    std::vector<std::string> headerLines; // every line outside the table, without its TAB
    std::vector<LabelMatch> labels;       // in the order the summary search meets them
    std::vector<EndPoint> endPoints;      // by number

    bool tableFound = false; // the column-header line (a tray report: its second dashes)
    std::vector<ReportColumn> columns;
    std::size_t tempCompColumn = npos;
    std::vector<std::string> rowText; // each data row as written
    std::vector<double> values;       // row by row; NaN where a cell holds no number

    int trayLanguage = 0;
    bool twelveHour = false;
    std::vector<TrayRow> trayRows;

    std::size_t rowCount() const { return rowText.size(); }
    double value(std::size_t row, std::size_t column) const {
        return values[row * columns.size() + column];
    }
    // A column by its name or quantity, in any case ("Volume[mL]", "volume").
    std::optional<std::size_t> column(std::string_view name) const;
    // The value of the last label met for a summary field; "" when none.
    std::string label(int field) const;
    std::string sampleName() const;
    std::string methodName() const;
    std::string reportId() const;
    std::string dateText() const;
    // A logging kind whose method is "pH/mV/ISE logging".
    bool logging() const;
    // A table of numbers that can be drawn.
    bool hasCurve() const { return type != ReportType::Tray && !columns.empty() && rowCount() > 0; }
};

// Reads a report; its file name (a bare name or a path) gives its kind. Fails as the
// export does: not a report, an unknown kind, or data columns out of order.
ExportFault parseReport(std::string_view bytes, std::string_view fileName, ReportData& out);

// A data row's cells under the columns: its words, with an empty cell where the
// temperature compensation column has no value of its own.
std::vector<std::string_view> rowCells(const ReportData& report, std::string_view row);

// A cell as a number: "-----" and words are NaN, "hh:mm:ss" and "mm:ss" are seconds.
double cellValue(std::string_view cell);
