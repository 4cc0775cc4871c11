#include "cli/CliExportHost.h"

#include "cli/CliInterrupt.h"
#include "files/DeviceFiles.h"

#include <ostream>

CliExportHost::CliExportHost(std::ostream& out, std::ostream& err, bool replace,
                             CliInterrupt& interrupt, TransferObserver* records)
    : out_(out), err_(err), terminal_(err), replace_(replace), interrupt_(interrupt),
      records_(records) {}

void CliExportHost::message(const std::string& text, const std::string& title, Icon icon) {
    terminal_.message(text, title, icon);
}

bool CliExportHost::askYesNo(const std::string& text, const std::string& title) {
    return terminal_.askYesNo(text, title);
}

int CliExportHost::checkReplaceOnPc(const std::string& fileName) {
    if (!replace_)
        err_ << fileName << " exists: kept (--no-replace)\n";
    return replace_ ? kReplaceAll : kSkipAll;
}

bool CliExportHost::cancelRequested() {
    return interrupt_.caught();
}

bool CliExportHost::fetchReport(const TitratorReport& report, std::string& bytes,
                                ExportError& error) {
    const TransferResult r = link_
                                 ? devfiles::fetchReportText(*link_, report.fileType,
                                                             report.trayFolder, report.name, bytes)
                                 : TransferResult::Refused;
    if (!succeeded(r))
        error = exporterr::fileAccess(describe(r));
    return succeeded(r);
}

bool CliExportHost::listTrayFolder(const std::string& trayFolder, std::vector<std::string>& names,
                                   ExportError& error) {
    const TransferResult r = link_ ? devfiles::trayFolderReportNames(*link_, trayFolder, names)
                                   : TransferResult::Refused;
    if (!succeeded(r))
        error = exporterr::fileAccess(describe(r));
    return succeeded(r);
}

// A report's error leads with its name: in a batch the missing CSV is plain.
void CliExportHost::showExportError(const ExportError& e) {
    if (e.report.empty())
        err_ << e.source << ": error " << e.number << ": " << cliText(e.description) << "\n";
    else
        err_ << cliText(e.report) << ": " << e.source << ": " << cliText(e.description) << "\n";
}

void CliExportHost::fileWritten(const std::filesystem::path& file) {
    if (!records_)
        out_ << file.string() << "\n";
}

void CliExportHost::record(const TransferRecord& r) {
    if (records_)
        records_->record(r);
}
