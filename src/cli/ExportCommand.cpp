#include "cli/ExportCommand.h"

#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "core/AppPaths.h"
#include "core/Settings.h"
#include "documents/ExportRun.h"
#include "files/CopyProgress.h"
#include "files/DeviceFiles.h"

#include <memory>
#include <ostream>

namespace fs = std::filesystem;

namespace {

// Messages to stderr; existing CSV files are replaced unless --no-replace.
class CliExportHost : public ExportHost {
public:
    CliExportHost(std::ostream& out, std::ostream& err, bool replace)
        : out_(out), err_(err), terminal_(err), replace_(replace) {}

    void message(const std::string& text, const std::string& title, Icon icon) override {
        terminal_.message(text, title, icon);
    }
    bool askYesNo(const std::string& text, const std::string& title) override {
        return terminal_.askYesNo(text, title);
    }
    int checkFileName(const std::string&) override { return 1; }
    void initReplace() override {}
    int checkReplaceOnPc(const std::string& fileName) override {
        if (!replace_)
            err_ << fileName << " exists: kept (--no-replace)\n";
        return replace_ ? kReplaceAll : kSkipAll;
    }
    bool cancelRequested() override { return false; }
    // The titrator side, once connected: reports fetched into memory.
    bool fetchReport(const TitratorReport& report, std::string& bytes,
                     ExportError& error) override {
        const TransferResult r =
            link_ ? devfiles::fetchReportText(*link_, report.fileType, report.trayFolder,
                                              report.name, bytes)
                  : TransferResult::Refused;
        if (!succeeded(r))
            error = exporterr::fileAccess(report.name + ": " + describe(r));
        return succeeded(r);
    }
    bool listTrayFolder(const std::string& trayFolder, std::vector<std::string>& names,
                        ExportError& error) override {
        const TransferResult r = link_ ? devfiles::trayFolderReportNames(*link_, trayFolder, names)
                                       : TransferResult::Refused;
        if (!succeeded(r))
            error = exporterr::fileAccess(trayFolder + ": " + describe(r));
        return succeeded(r);
    }
    devfiles::FileLink* link_ = nullptr;
    void showExportError(const ExportError& e) override {
        err_ << e.source << ": error " << e.number << ": " << cliText(e.description) << "\n";
    }
    void fileWritten(const fs::path& file) override { out_ << file.string() << "\n"; }

private:
    std::ostream& out_;
    std::ostream& err_;
    CliHost terminal_;
    bool replace_;
};

} // namespace

int cmdExport(const ExportCommandOptions& a, const LinkOptions& options, std::ostream& out,
              std::ostream& err) {
    const fs::path destination =
        a.to.empty() ? fs::absolute(a.reports[0]).parent_path() : fs::absolute(a.to);
    std::error_code ec;
    if (!fs::is_directory(destination, ec)) {
        err << destination.string() << " is not a folder\n";
        return 2;
    }
    CliExportHost host(out, err, a.replace);
    std::unique_ptr<CliLink> link;
    CopyProgress quiet;
    std::unique_ptr<devfiles::FileLink> files;
    if (a.titratorType > 0) {
        link = std::make_unique<CliLink>(options, err);
        if (!link->ready())
            return 2;
        if (!link->connect()) {
            err << link->statusText() << "\n";
            return cliexit::kNoLink;
        }
        files = std::make_unique<devfiles::FileLink>(
            devfiles::FileLink{link->session(), link->host(), quiet});
        host.link_ = files.get();
    }
    const AppPaths paths = cliAppPaths(err);
    Settings settings;
    if (!loadSettings(paths, host, settings))
        return 2;
    const ExportOptions stored = loadExportOptions(paths.configPath());
    ExportRequest request;
    if (a.titratorType > 0) {
        request.pane = ExportPane::Titrator;
        request.fileType = a.titratorType;
    }
    request.options =
        exportOptionsFor(a.csvSep.value_or(stored.csvSep), a.decSep.value_or(stored.decSep),
                         a.order.value_or(stored.orderBy));
    request.destination = destination;
    request.language = settings.languageIndex;
    request.summaryName = a.summaryName;
    for (const std::string& report : a.reports) {
        const fs::path path = a.titratorType > 0 ? fs::path(report) : fs::absolute(report);
        request.entries.push_back(
            {path.filename().string(), a.titratorType > 0 ? destination : path.parent_path()});
    }
    const ExportOutcome outcome = exportSelectedReports(request, host);
    return outcome.commandFailed || outcome.failed > 0 ? 1 : 0;
}
