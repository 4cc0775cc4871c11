#pragma once
// What leaves the curve as text: the plotted series as CSV, the cross-hair's
// reading of a measured row, and a parsed report as JSON for scripts and LIMS.
#include "documents/CurveSeries.h"
#include "documents/ExportOptions.h"

#include <string>
#include <vector>

// One line per plotted point: its report, its row (1 = first), x and y as drawn and,
// with the derivative, dY/dX at that point (empty where it has none). Separators and
// quotes as the CSV export's options say.
std::string seriesCsv(const CurveSeries& series, const std::vector<CurveRun>& runs,
                      const ExportOptions& options);

// "TI_00031.RPT, row 34: Nr 34, Volume[mL] 9.699, pH 7.095, mV -1.5"
std::string rowReadout(const CurveRun& run, std::size_t row);

// The shortest C-locale text that reads back as the same number.
std::string numberText(double value);

// The report as a JSON object (UTF-8): kind, names, date, end points, columns with
// their units, and the rows as numbers (null where a cell holds none); a tray
// report lists its beakers instead.
std::string reportJson(const std::string& name, const ReportData& report);
// Several reports as a JSON array.
std::string reportsJson(const std::vector<CurveRun>& runs);
