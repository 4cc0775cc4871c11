#include "documents/ExportRun.h"

#include "core/AuditLog.h"
#include "core/Language.h"
#include "core/Sha256.h"
#include "core/Text.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTrayPrefix = "TRAY";
constexpr int kNoSelectionText = 306;
constexpr int kSelectionTitle = 334;

// The file name of a list entry: the text before its first blank.
std::string fileNameOf(const std::string& entry) {
    return entry.substr(0, entry.find(' '));
}

// The selection check: ".rpt" or ".RPT", nothing in between.
bool isReportName(const std::string& name) {
    return name.find(".rpt") != std::string::npos || name.find(".RPT") != std::string::npos;
}

// A tray report's folder has the report's name without its extension ("TRAYnnnn").
std::string trayFolderOf(const std::string& name) {
    return name.substr(0, name.find('.'));
}

bool isTrayName(const std::string& name) {
    return text::upper(name).rfind(kTrayPrefix, 0) == 0;
}

bool hasRptExtension(const std::string& name) {
    const std::string upper = text::upper(name);
    return upper.size() > 4 && upper.compare(upper.size() - 4, 4, ".RPT") == 0;
}

// The .rpt files of a PC folder, by name.
std::vector<std::string> reportFilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (hasRptExtension(name) && it->is_regular_file(ec))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

ExportError folderError(const fs::path& folder, const std::error_code& ec) {
    ExportError e = exporterr::fileAccess(folder.string() + ": " + ec.message());
    e.report = folder.filename().string();
    return e;
}

} // namespace

bool ExportHost::fetchReport(const TitratorReport&, std::string&, ExportError& error) {
    error = exporterr::fileAccess("the titrator cannot be reached from here");
    return false;
}

bool ExportHost::listTrayFolder(const std::string&, std::vector<std::string>&, ExportError& error) {
    error = exporterr::fileAccess("the titrator cannot be reached from here");
    return false;
}

std::string csvNameFor(const std::string& reportName) {
    return reportName.substr(0, reportName.find('.')) + ".csv";
}

bool safeDeviceName(const std::string& name) {
    return !name.empty() && name != "." && name.find_first_of("/\\") == std::string::npos &&
           name.find("..") == std::string::npos && !text::containsControl(name);
}

ExportOutcome exportSelectedReports(const ExportRequest& request, ExportHost& host) {
    return ExportRun(request, host).run();
}

ExportRun::ExportRun(const ExportRequest& request, ExportHost& host)
    : request_(request), host_(host), export_(request.options, host) {}

ExportOutcome ExportRun::run() {
    host_.setActive(false);
    host_.initReplace();
    if (!checkSelection()) {
        finish();
        return outcome_;
    }
    if (request_.entries.size() > 1)
        export_.startSummary(request_.language);
    host_.progressShow();
    const std::size_t count = request_.entries.size();
    std::size_t i = 0;
    for (; i < count && !stopping(); ++i) {
        host_.setTotalStatus(static_cast<double>(i) / static_cast<double>(count));
        exportEntry(request_.entries[i]);
    }
    for (; i < count; ++i)
        record(fileNameOf(request_.entries[i].text), {}, TransferOutcome::Aborted,
               formatMsg(langText(kTextReasonStopped), {}));
    if (export_.summaryOn() && !outcome_.cancelled) {
        const fs::path path = request_.summaryName.empty()
                                  ? freeFileName(request_.destination, summaryFileName(localNow()))
                                  : request_.destination / request_.summaryName;
        if (ExportFault fault = export_.writeSummary(path)) {
            fault->report = path.filename().string();
            host_.showExportError(*fault);
            ++outcome_.failed;
        } else {
            outcome_.summary = path;
            outcome_.leftOutOfSummary = export_.leftOutOfSummary();
            host_.fileWritten(path);
            recordSummary(path);
        }
    }
    finish();
    return outcome_;
}

bool ExportRun::checkSelection() {
    outcome_.commandFailed = true;
    if (request_.entries.empty()) {
        host_.message(formatMsg(langText(kNoSelectionText), {}),
                      formatMsg(langText(kSelectionTitle), {}), Host::Icon::Warning);
        outcome_.cancelled = true;
        return false;
    }
    for (const ExportEntry& entry : request_.entries) {
        if (host_.checkFileName(entry.text) != 1)
            return false;
        if (!isReportName(entry.text)) {
            host_.showExportError(exporterr::unexportable());
            outcome_.cancelled = true;
            return false;
        }
    }
    if (request_.destination.empty()) {
        host_.showExportError(exporterr::noFolder());
        outcome_.cancelled = true;
        return false;
    }
    outcome_.commandFailed = false;
    return true;
}

void ExportRun::recordSummary(const fs::path& path) {
    AuditEvent e;
    e.operation = audit::kExport;
    e.target = path.string();
    std::string error;
    sha256OfFile(path, e.sha256, error, &e.size);
    audited(recordAudit(e));
}

bool ExportRun::stopping() {
    if (!outcome_.cancelled && host_.cancelRequested())
        outcome_.cancelled = true;
    return outcome_.cancelled;
}

fs::path ExportRun::csvTarget(const fs::path& folder, const std::string& reportName,
                              const std::string& source) {
    const std::string csvName = csvNameFor(reportName);
    // An existing file is written over under the name it has on disk.
    const fs::path path = findInFolder(folder, csvName);
    // Two reports of one name from two folders: the first one's CSV stays.
    if (const auto first = writtenFrom_.find(path.string()); first != writtenFrom_.end()) {
        report(exporterr::csvAlreadyWritten(path.string(), first->second, source), reportName);
        return {};
    }
    source_ = source;
    answer_ = 0;
    std::error_code ec;
    if (fs::exists(path, ec)) {
        const auto given = request_.answers.find(reportName);
        answer_ = given != request_.answers.end() ? given->second : host_.checkReplaceOnPc(csvName);
        if (answer_ == kReplaceCancel)
            outcome_.cancelled = true;
        if (answer_ < kReplaceThis || answer_ >= kSkipThis) {
            ++outcome_.skipped;
            record(reportName, path, TransferOutcome::Skipped,
                   formatMsg(
                       langText(answer_ == kReplaceCancel ? kTextReasonStopped : kTextReasonKept),
                       {}));
            return {};
        }
    }
    return path;
}

void ExportRun::report(ExportFault fault, const std::string& name, const fs::path& csv) {
    if (fault) {
        if (fault->report.empty())
            fault->report = name;
        host_.showExportError(*fault);
        ++outcome_.failed;
        record(name, csv, TransferOutcome::Failed, fault->source + ": " + fault->description);
        return;
    }
    ++outcome_.written;
    writtenFrom_[csv.string()] = source_;
    host_.fileWritten(csv);
    record(name, csv, TransferOutcome::Done, {});
}

void ExportRun::record(const std::string& name, const fs::path& csv, TransferOutcome outcome,
                       const std::string& reason) {
    TransferRecord r;
    r.timeMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::system_clock::now().time_since_epoch())
                   .count();
    r.operation = TransferOperation::Export;
    const bool titrator = request_.pane == ExportPane::Titrator;
    r.direction = titrator ? TransferDirection::ToPc : TransferDirection::OnPc;
    r.entry = name;
    if (titrator)
        r.titratorName = name;
    r.pcName = csv.string();
    r.result = outcome;
    r.reason = reason;
    r.answer = answer_;
    std::string error;
    if (outcome == TransferOutcome::Done)
        sha256OfFile(csv, r.sha256, error, &r.size);
    answer_ = 0;
    audited(recordTransfer(r));
    host_.record(r);
}

// An event the log could not take stops the export before its next report.
void ExportRun::audited(bool recorded) {
    if (recorded || outcome_.cancelled)
        return;
    outcome_.cancelled = true;
    host_.message(auditText(kTextAuditStopped), "", Host::Icon::Critical);
}

void ExportRun::exportEntry(const ExportEntry& entry) {
    const std::string name = fileNameOf(entry.text);
    const bool titrator = request_.pane == ExportPane::Titrator;
    if (titrator && !safeDeviceName(name)) {
        report(exporterr::unusableFileName(), name);
        return;
    }
    const fs::path folder = entry.folder.empty() ? request_.destination : entry.folder;
    const fs::path csv =
        csvTarget(request_.destination, name, titrator ? name : (folder / name).string());
    if (csv.empty())
        return;
    host_.setFileName(name);
    if (!titrator) {
        report(export_.toCsv(folder / name, csv), name, csv);
        if (isTrayName(name)) {
            const fs::path tray = findInFolder(folder, trayFolderOf(name));
            exportTrayFolderOnPc(tray, request_.destination / tray.filename());
        }
        return;
    }
    TitratorReport wanted{request_.fileType,
                          request_.fileType == kTrayFolderType ? request_.trayFolder : "", name};
    std::string bytes;
    ExportError error;
    if (host_.fetchReport(wanted, bytes, error))
        report(export_.toCsv(bytes, name, csv), name, csv);
    else
        report(error, name, csv);
    // The folder of a listed tray set follows from its name, not from the folder
    // the pane showed last.
    if (isTrayName(name))
        exportTrayFolderFromTitrator(trayFolderOf(name) + "\\", request_.destination);
}

void ExportRun::exportTrayFolderOnPc(const fs::path& folder, const fs::path& destination) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return;
    const std::vector<std::string> names = reportFilesIn(folder);
    if (!fs::exists(destination, ec) && !fs::create_directories(destination, ec)) {
        report(folderError(destination, ec), {});
        return;
    }
    for (const std::string& name : names) {
        if (stopping())
            return;
        const fs::path csv = csvTarget(destination, name, (folder / name).string());
        if (csv.empty())
            continue;
        host_.setFileName(name);
        report(export_.toCsv(folder / name, csv), name, csv);
    }
}

void ExportRun::exportTrayFolderFromTitrator(const std::string& trayFolder,
                                             const fs::path& destination) {
    const std::string folderName = trayFolder.substr(0, trayFolder.find('\\'));
    if (!safeDeviceName(folderName)) {
        report(exporterr::unusableFolderName(), trayFolder);
        return;
    }
    std::vector<std::string> names;
    ExportError error;
    if (!host_.listTrayFolder(trayFolder, names, error)) {
        report(error, trayFolder);
        return;
    }
    const fs::path folder = findInFolder(destination, folderName);
    std::error_code ec;
    if (!fs::exists(folder, ec) && !fs::create_directories(folder, ec)) {
        report(folderError(folder, ec), {});
        return;
    }
    for (const std::string& name : names) {
        if (!hasRptExtension(name))
            continue;
        if (stopping())
            return;
        if (!safeDeviceName(name)) {
            report(exporterr::unusableFileName(), name);
            continue;
        }
        const fs::path csv = csvTarget(folder, name, trayFolder + name);
        if (csv.empty())
            continue;
        host_.setFileName(name);
        std::string bytes;
        if (host_.fetchReport({kTrayFolderType, trayFolder, name}, bytes, error))
            report(export_.toCsv(bytes, name, csv), name, csv);
        else
            report(error, name, csv);
    }
}

void ExportRun::finish() {
    host_.progressHide();
    host_.exportFinished(outcome_.cancelled);
    host_.setActive(true);
}
