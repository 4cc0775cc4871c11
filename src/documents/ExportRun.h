#pragma once
// The Export command: the selected reports of one pane become CSV files in the
// PC pane's folder, with a summary when several are exported together. The
// window and the command-line tool supply what the user sees and how a
// titrator report is fetched through ExportHost.
#include "core/Host.h"
#include "core/TransferRecord.h"
#include "documents/CsvExport.h"
#include "documents/ExportError.h"
#include "documents/ExportOptions.h"

#include <filesystem>
#include <map>
#include <string>
#include <vector>

enum class ExportPane { Pc = 0, Titrator = 1 };

// File type codes of the panes that the export uses.
inline constexpr int kReportsType = 4;
inline constexpr int kTrayReportsType = 11; // the pane lists tray sets (TRAYnnnn.RPT)
inline constexpr int kTrayFolderType = 12;  // the pane shows the reports inside a tray folder

// A report on the titrator, as the file service fetches it.
struct TitratorReport {
    int fileType = kReportsType;
    std::string trayFolder; // "TRAYnnnn\" for file type 12, else empty
    std::string name;
};

// Answers of the replace question.
enum ReplaceAnswer {
    kReplaceNone = 0,
    kReplaceThis = 1,
    kReplaceAll = 2,
    kSkipThis = 3,
    kSkipAll = 4,
    kReplaceCancel = 5
};

class ExportHost : public Host {
public:
    // The pane's name check of a selected entry (1: acceptable; it told the user otherwise).
    virtual int checkFileName(const std::string& entry) = 0;
    // The main window's commands off (false) and on again (true).
    virtual void setActive(bool) {}

    // The replace question: reset at the start of a run, then asked for each CSV file
    // that exists; answers as ReplaceAnswer.
    virtual void initReplace() = 0;
    virtual int checkReplaceOnPc(const std::string& fileName) = 0;

    // The progress window: cleared and shown, a total fraction, the file name, hidden.
    virtual void progressShow() {}
    virtual void setTotalStatus(double) {}
    virtual void setFileName(const std::string&) {}
    virtual void progressHide() {}
    // True once the user asked to stop (the progress window's abort button).
    virtual bool cancelRequested() = 0;

    // A failed report (named in `report`) or a failed command, with its number,
    // description and source.
    virtual void showExportError(const ExportError& error) = 0;
    // A CSV or summary file is in place.
    virtual void fileWritten(const std::filesystem::path&) {}

    // The titrator side: a report's bytes and the report names of a tray folder; false
    // with `error` set when the titrator could not deliver. The export needs only the
    // bytes; a fetch that must pass through a file keeps it in a private temporary
    // folder (QTemporaryDir) that it removes on every path, never under a fixed name
    // in the shared one.
    virtual bool fetchReport(const TitratorReport& report, std::string& bytes, ExportError& error);
    virtual bool listTrayFolder(const std::string& trayFolder, std::vector<std::string>& names,
                                ExportError& error);

    // The end of the run: refresh both panes and, unless it was cancelled, show the CSV files.
    virtual void exportFinished(bool cancelled) { (void)cancelled; }

    // One record for each report: its CSV written, kept, failed or not reached.
    virtual void record(const TransferRecord& r) { (void)r; }
};

// A selected list entry; a PC entry's report lies in `folder` (the destination when empty).
struct ExportEntry {
    std::string text;
    std::filesystem::path folder;
};

struct ExportRequest {
    ExportPane pane = ExportPane::Pc;
    std::vector<ExportEntry> entries;  // in list order
    std::filesystem::path destination; // the PC pane's folder
    int fileType = kReportsType;       // the category the titrator pane shows
    std::string trayFolder;            // the titrator pane's open tray folder (type 12)
    int language = 1;                  // the user-interface language: the summary's headers
    ExportOptions options;
    std::string summaryName; // overrides summaryFileName() when not empty
    // Replace answers given before, by report name (a retry asks nothing it was told).
    std::map<std::string, int> answers;
};

struct ExportOutcome {
    int written = 0; // CSV files
    int failed = 0;  // reports that could not be obtained, converted or written
    int skipped = 0; // reports whose CSV the user kept
    bool cancelled = false;
    bool commandFailed = false; // no selection, unexportable entry, no folder
    std::filesystem::path summary;
    std::vector<LeftOutOfSummary> leftOutOfSummary; // converted, but without a summary line
};

// The whole command.
ExportOutcome exportSelectedReports(const ExportRequest& request, ExportHost& host);

// The state of one run, for the command and its tray folders.
class ExportRun {
public:
    ExportRun(const ExportRequest& request, ExportHost& host);
    ExportOutcome run();

    // Every report of a tray folder on the PC into CSV files in `destination`
    // (the same folder when the window exports).
    void exportTrayFolderOnPc(const std::filesystem::path& folder,
                              const std::filesystem::path& destination);
    // Every report of a titrator tray folder ("TRAYnnnn\") into a PC folder of that name
    // inside `destination`.
    void exportTrayFolderFromTitrator(const std::string& trayFolder,
                                      const std::filesystem::path& destination);

private:
    bool checkSelection();
    void exportEntry(const ExportEntry& entry);
    // The CSV path to write, or empty when the user keeps the existing file or this
    // run wrote it from another report (`source` names the report for that message).
    std::filesystem::path csvTarget(const std::filesystem::path& folder,
                                    const std::string& reportName, const std::string& source);
    bool stopping();
    // One report's end: a CSV written, or a failure that names the report.
    void report(ExportFault fault, const std::string& name, const std::filesystem::path& csv = {});
    void record(const std::string& name, const std::filesystem::path& csv, TransferOutcome outcome,
                const std::string& reason);
    void finish();

    const ExportRequest& request_;
    ExportHost& host_;
    CsvExport export_;
    ExportOutcome outcome_;
    std::map<std::string, std::string> writtenFrom_; // CSV path -> the report it came from
    std::string source_;                             // the report being converted
    int answer_ = 0;                                 // the replace answer given for the CSV in hand
};

// The CSV name of a report: the part before the first "." followed by ".csv".
std::string csvNameFor(const std::string& reportName);

// A name from the titrator that may become a PC file name: no path separator, no "..",
// no control character.
bool safeDeviceName(const std::string& name);
