#pragma once
// One report turned into CSV text: the header lines in the first column, an
// empty column, then the data table; and the report's summary fields.
#include "documents/ExportError.h"
#include "documents/ExportOptions.h"
#include "documents/ReportData.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

// A summary field: its text and the quote the export's rule puts around it.
struct SummaryCell {
    std::string text = "----";
    std::string quote;
    bool operator==(const SummaryCell&) const = default;
};
using SummaryFields = std::array<SummaryCell, kSummaryFields>;

// Field 0 (the running number) empty, every other field "----".
SummaryFields emptySummaryFields();

// A beaker of a tray report: its sample name and the ID of its report.
struct TrayEntry {
    std::string sampleName;
    std::string reportId;
    bool used = false;
};
using TrayTable = std::vector<TrayEntry>;

struct ConvertedReport {
    ReportType type = ReportType::Unknown;
    std::string csv;             // CR LF lines
    std::size_t dataColumns = 0; // N: every row has N + 2 fields
    SummaryFields fields = emptySummaryFields();
    bool logging = false;

    // Drift, tray and logging reports add no line to the summary.
    bool addsSummaryLine() const;
};

// Converts one report; its file name gives its kind. With `summaryOn` the labels of the
// header lines fill the summary fields. A tray report refills `tray`.
ExportFault convertReport(std::string_view bytes, std::string_view fileName,
                          const ExportOptions& options, bool summaryOn, TrayTable& tray,
                          ConvertedReport& out);
// The same for a report already read.
void convertReport(const ReportData& report, const ExportOptions& options, bool summaryOn,
                   TrayTable& tray, ConvertedReport& out);
