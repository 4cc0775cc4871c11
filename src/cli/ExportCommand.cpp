#include "cli/ExportCommand.h"

#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "core/AppPaths.h"
#include "core/FileTypes.h"
#include "core/Numbers.h"
#include "core/Settings.h"
#include "documents/ExportRun.h"
#include "files/CopyProgress.h"
#include "files/DeviceFiles.h"

#include <memory>
#include <optional>
#include <ostream>

namespace fs = std::filesystem;

namespace {

const char* const kUsage =
    "usage: veltran-cli export REPORT... [--to DIR] [--csv-sep 0|1] [--dec-sep 0|1]\n"
    "                          [--order 0|1|2] [--summary-name NAME] [--no-replace]\n"
    "       veltran-cli [link options] export --from-titrator reports|tray-reports NAME...\n"
    "                          --to DIR [the options above]\n";

struct Arguments {
    int titratorType = 0; // --from-titrator: the category's file type; 0 for PC reports
    std::vector<std::string> reports;
    std::string to;
    std::optional<int> csvSep, decSep, order;
    std::string summaryName;
    bool replace = true;
};

bool index(const std::string& text, int last, std::optional<int>& value) {
    const auto v = num::parseInteger(text);
    if (!v || *v < 0 || *v > last)
        return false;
    value = static_cast<int>(*v);
    return true;
}

bool parse(const std::vector<std::string>& args, Arguments& a, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& w = args[i];
        if (w == "--no-replace") {
            a.replace = false;
            continue;
        }
        if (w.rfind("--", 0) != 0) {
            a.reports.push_back(w);
            continue;
        }
        if (w == "--from-titrator") {
            const std::string category = i + 1 < args.size() ? args[++i] : "";
            a.titratorType = category == "reports"        ? ftype::kReports
                             : category == "tray-reports" ? ftype::kTrayReports
                                                          : -1;
            if (a.titratorType < 0) {
                error = "--from-titrator takes reports or tray-reports";
                return false;
            }
            continue;
        }
        if (i + 1 >= args.size()) {
            error = w + " needs a value";
            return false;
        }
        const std::string& v = args[++i];
        bool ok = true;
        if (w == "--to")
            a.to = v;
        else if (w == "--summary-name") {
            a.summaryName = v;
            ok = !v.empty() && v.find('/') == std::string::npos;
        } else if (w == "--csv-sep")
            ok = index(v, 1, a.csvSep);
        else if (w == "--dec-sep")
            ok = index(v, 1, a.decSep);
        else if (w == "--order")
            ok = index(v, 2, a.order);
        else {
            error = "unknown option " + w;
            return false;
        }
        if (!ok) {
            error = w + ": \"" + v + "\" is not a valid value";
            return false;
        }
    }
    if (a.reports.empty())
        error = "no report given";
    else if (a.titratorType > 0 && a.to.empty())
        error = "--from-titrator needs --to DIR";
    return error.empty();
}

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
            error = exporterr::fileAccess(describe(r));
        return succeeded(r);
    }
    bool listTrayFolder(const std::string& trayFolder, std::vector<std::string>& names,
                        ExportError& error) override {
        const TransferResult r = link_ ? devfiles::trayFolderReportNames(*link_, trayFolder, names)
                                       : TransferResult::Refused;
        if (!succeeded(r))
            error = exporterr::fileAccess(describe(r));
        return succeeded(r);
    }
    devfiles::FileLink* link_ = nullptr;
    // A report's error leads with its name: in a batch the missing CSV is plain.
    void showExportError(const ExportError& e) override {
        if (e.report.empty())
            err_ << e.source << ": error " << e.number << ": " << cliText(e.description) << "\n";
        else
            err_ << cliText(e.report) << ": " << e.source << ": " << cliText(e.description) << "\n";
    }
    void fileWritten(const fs::path& file) override { out_ << file.string() << "\n"; }

private:
    std::ostream& out_;
    std::ostream& err_;
    CliHost terminal_;
    bool replace_;
};

} // namespace

int cmdExport(const CliOptions& options, std::ostream& out, std::ostream& err) {
    const std::vector<std::string> args(options.words.begin() + 1, options.words.end());
    Arguments a;
    std::string error;
    if (!parse(args, a, error)) {
        err << error << "\n" << kUsage;
        return 2;
    }
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
