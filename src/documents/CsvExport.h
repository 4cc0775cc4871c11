#pragma once
// One run of the export: converts reports into CSV files and gathers the summary,
// one line per report, written at the end of the run.
#include "core/Dates.h"
#include "documents/ExportError.h"
#include "documents/ExportOptions.h"
#include "documents/ReportCsv.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class Host;

// A report converted while the summary was on that adds no line to it.
struct LeftOutOfSummary {
    std::string report;
    ReportType type = ReportType::Unknown; // Drift and Tray add none
    bool logging = false;                  // nor does a pH/mV/ISE logging report
};

class CsvExport {
public:
    // Date errors of the summary are shown through `host`.
    CsvExport(const ExportOptions& options, Host& host);

    // Turns the summary on; its header row is that of the user-interface language.
    void startSummary(int language);
    bool summaryOn() const { return summaryOn_; }

    // Converts a report file into `csvPath`, replaced only when the whole text is written;
    // adds the report's summary line once its CSV is in place.
    ExportFault toCsv(const std::filesystem::path& reportPath,
                      const std::filesystem::path& csvPath);
    // The same for a report already in memory (fetched from the titrator).
    ExportFault toCsv(std::string_view bytes, std::string_view reportName,
                      const std::filesystem::path& csvPath);

    // The summary line of a converted report; an unreadable date is shown and sorts as today.
    void addSummaryLine(const SummaryFields& fields);

    // The summary text: the header, then the lines in the order of `orderBy`, numbered.
    std::string summaryText() const;
    ExportFault writeSummary(const std::filesystem::path& path) const;
    std::size_t summaryLines() const { return lines_.size(); }
    const std::vector<LeftOutOfSummary>& leftOutOfSummary() const { return leftOut_; }

    // What "today" is for a date that does not read (tests fix it).
    void setToday(const DateTime& today) { today_ = today; }

private:
    struct Line {
        std::string text; // from the separator before field 1 on
        DateTime key;
    };

    ExportOptions options_;
    Host& host_;
    bool summaryOn_ = false;
    std::string header_;
    std::vector<Line> lines_;
    std::vector<LeftOutOfSummary> leftOut_;
    TrayTable tray_;
    bool trayFlag_ = false;
    DateTime today_;
};

// The current local date and time.
DateTime localNow();

// "summary_" + yyyyMMdd + hhmmss + ".csv".
std::string summaryFileName(const DateTime& now);

// `name` in `folder`, or, when a file of that name (in any case) is there, the first of
// name_2.csv, name_3.csv, ... that is free.
std::filesystem::path freeFileName(const std::filesystem::path& folder, const std::string& name);

// The entry of `folder` whose name equals `name` in any case, else folder / name.
std::filesystem::path findInFolder(const std::filesystem::path& folder, const std::string& name);
