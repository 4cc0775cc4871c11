#include "cli/ExportCommand.h"

#include "cli/CliExportHost.h"
#include "cli/CliInterrupt.h"
#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "cli/JsonLines.h"
#include "core/AppPaths.h"
#include "core/Settings.h"
#include "documents/ExportRun.h"
#include "files/CopyProgress.h"
#include "files/DeviceFiles.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"

#include <memory>
#include <optional>
#include <ostream>

namespace fs = std::filesystem;

namespace {

// Why a converted report has no line in the summary.
const char* leftOutReason(const LeftOutOfSummary& r) {
    if (r.logging)
        return "logging reports have no summary line";
    return r.type == ReportType::Tray ? "tray reports have no summary line"
                                      : "drift reports have no summary line";
}

// --to, made when missing; else the first report's folder.
bool destinationFolder(const ExportCommandOptions& a, fs::path& destination, std::ostream& err) {
    destination = a.to.empty() ? fs::absolute(a.reports[0]).parent_path() : fs::absolute(a.to);
    std::error_code ec;
    if (fs::is_directory(destination, ec) ||
        (!a.to.empty() && fs::create_directories(destination, ec)))
        return true;
    err << destination.string() << ": " << (ec ? ec.message() : "not a folder") << "\n";
    return false;
}

// A summary name without an extension gets ".csv".
std::string summaryName(const std::string& name) {
    return name.empty() || fs::path(name).has_extension() ? name : name + ".csv";
}

} // namespace

int cmdExport(const ExportCommandOptions& a, const LinkOptions& options, std::ostream& out,
              std::ostream& err) {
    fs::path destination;
    if (!destinationFolder(a, destination, err))
        return cliexit::kUsage;
    CliInterrupt interrupt;
    JsonRecords jsonLines(out);
    CliExportHost host(out, err, a.replace, interrupt, a.json ? &jsonLines : nullptr);
    std::unique_ptr<CliLink> link;
    CopyProgress quiet;
    std::optional<CliInterrupt::Stop> stopFetches;
    std::unique_ptr<devfiles::FileLink> files;
    if (a.titratorType > 0) {
        link = std::make_unique<CliLink>(options, err);
        if (!link->ready())
            return cliexit::kUsage;
        link->stopOn(interrupt);
        stopFetches.emplace(interrupt.onSignal([&quiet] { quiet.requestAbort(); }));
        if (const int failed = link->connect())
            return interrupt.exitCode(failed);
        files = std::make_unique<devfiles::FileLink>(
            devfiles::FileLink{link->session(), link->host(), quiet});
        host.link_ = files.get();
    }
    const AppPaths paths = cliAppPaths(err);
    Settings settings;
    if (!loadSettings(paths, host, settings))
        return cliexit::kUsage;
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
    request.summaryName = summaryName(a.summaryName);
    for (const std::string& report : a.reports) {
        const fs::path path = a.titratorType > 0 ? fs::path(report) : fs::absolute(report);
        request.entries.push_back(
            {path.filename().string(), a.titratorType > 0 ? destination : path.parent_path()});
    }
    const ExportOutcome outcome = exportSelectedReports(request, host);
    if (a.json && !outcome.summary.empty())
        writeJsonLine(out, {{"summary", QString::fromStdString(outcome.summary.string())}});
    for (const LeftOutOfSummary& report : outcome.leftOutOfSummary)
        err << report.report << ": left out of the summary (" << leftOutReason(report) << ")\n";
    int code = outcome.commandFailed || outcome.failed > 0 ? cliexit::kFailed : cliexit::kOk;
    if (link && interrupt.caught())
        link->settle();
    else if (link && !link->monitor().titratorOnline()) {
        err << link->statusText() << "\n";
        code = cliexit::kNoLink;
    }
    return interrupt.exitCode(code);
}
