#include "app/ui/GuiExportHost.h"

#include "app/FailedFiles.h"
#include "core/FileTypes.h"
#include "core/Language.h"
#include "files/DeviceFiles.h"
#include "files/ui/ProgressWindow.h"
#include "files/ui/ReplaceWindow.h"

GuiExportHost::GuiExportHost(Window window) : w_(std::move(window)) {}

void GuiExportHost::message(const std::string& text, const std::string& title, Icon icon) {
    w_.host.message(text, title, icon);
}

bool GuiExportHost::askYesNo(const std::string& text, const std::string& title) {
    return w_.host.askYesNo(text, title);
}

int GuiExportHost::checkFileName(const std::string& entry) {
    return w_.checkFileName(entry);
}

void GuiExportHost::setActive(bool enabled) {
    w_.setActive(enabled);
}

void GuiExportHost::initReplace() {
    prompt_ = std::make_unique<ReplacePrompt>(w_.replace, ftype::kReports);
}

int GuiExportHost::checkReplaceOnPc(const std::string& fileName) {
    if (!prompt_)
        initReplace();
    return prompt_->checkReplaceForm(fileName);
}

void GuiExportHost::progressShow() {
    w_.progress.clearAbort();
    w_.progress.clear();
    w_.progress.showProgress(true);
}

void GuiExportHost::setTotalStatus(double fraction) {
    w_.progress.setTotalStatus(fraction);
}

void GuiExportHost::setFileName(const std::string& name) {
    w_.progress.setFileName(name);
}

void GuiExportHost::progressHide() {
    w_.progress.showProgress(false);
}

bool GuiExportHost::cancelRequested() {
    return w_.progress.abortRequested();
}

// A report's error waits for the end of the run, where one box names every
// report that failed; the command's own errors are shown at once.
void GuiExportHost::showExportError(const ExportError& error) {
    if (error.report.empty())
        showErrorInfo(w_.host, error.number, error.description, error.source);
    else
        failed_.push_back(error.report + ": " + error.source + ": " + error.description);
}

// The report comes into memory: no file of it is written anywhere but its CSV.
bool GuiExportHost::fetchReport(const TitratorReport& report, std::string& bytes,
                                ExportError& error) {
    devfiles::FileLink link{w_.session, w_.host, w_.progress};
    const TransferResult result =
        devfiles::fetchReportText(link, report.fileType, report.trayFolder, report.name, bytes);
    if (!succeeded(result))
        error = exporterr::fileAccess(langText(resultText(result)));
    return succeeded(result);
}

bool GuiExportHost::listTrayFolder(const std::string& trayFolder, std::vector<std::string>& names,
                                   ExportError& error) {
    devfiles::FileLink link{w_.session, w_.host, w_.progress};
    const TransferResult result = devfiles::trayFolderReportNames(link, trayFolder, names);
    if (!succeeded(result))
        error = exporterr::fileAccess(langText(resultText(result)));
    return succeeded(result);
}

void GuiExportHost::record(const TransferRecord& r) {
    if (w_.observer)
        w_.observer->record(r);
}

void GuiExportHost::exportFinished(bool cancelled) {
    w_.finished(cancelled);
    reportFailedFiles(w_.host, failed_);
    failed_.clear();
}
