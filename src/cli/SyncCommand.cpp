#include "cli/SyncCommand.h"

#include "cli/CliExportHost.h"
#include "cli/CliInterrupt.h"
#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "cli/JsonLines.h"
#include "cli/SyncState.h"
#include "core/AppPaths.h"
#include "core/Encoding.h"
#include "core/FileTypes.h"
#include "core/Pump.h"
#include "core/Text.h"
#include "documents/ExportOptions.h"
#include "documents/ExportRun.h"
#include "files/CopyFiles.h"
#include "files/CopyProgress.h"
#include "files/FileNames.h"
#include "files/PcFiles.h"
#include "files/ReplacePrompt.h"
#include "files/TitratorFiles.h"
#include "files/TransferRecords.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"
#include "link/Serial.h"

#include <QDateTime>
#include <algorithm>
#include <filesystem>
#include <map>
#include <ostream>

namespace fs = std::filesystem;

namespace {

// Tries after a lost link: 1, 2, 4 ... seconds, never more than a minute apart.
constexpr int kFirstRetrySeconds = 1;
constexpr int kLastRetrySeconds = 60;

std::string utcNow() {
    return QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString();
}

// "QX502 I502v3.00 S/N 0412" -> "0412"; "" when the answer names none.
std::string serialNumberOf(const std::string& info) {
    const std::size_t at = info.find("S/N");
    if (at == std::string::npos)
        return {};
    const std::string rest = text::trim(info.substr(at + 3));
    return text::printable(rest.substr(0, rest.find(' ')));
}

// Each event: one line on stderr and, with --json, one object on stdout.
class SyncLog {
public:
    SyncLog(std::ostream& out, std::ostream& err, bool json) : out_(out), err_(err), json_(json) {}
    void event(const char* name, const std::string& line, QJsonObject fields = {}) {
        err_ << cliText(line) << "\n" << std::flush;
        if (!json_)
            return;
        fields.insert("event", name);
        writeJsonLine(out_, fields);
    }

private:
    std::ostream& out_;
    std::ostream& err_;
    bool json_;
};

// The copy of one pass stops between files once a signal came.
class SyncProgress : public CopyProgress {
public:
    explicit SyncProgress(const bool& stopping) : stopping_(stopping) {}
    void entryEnded(bool) override {
        if (stopping_)
            requestAbort();
    }

private:
    const bool& stopping_;
};

// Never asked: a file of the same name and size in DIR is the report itself.
struct ReplaceSame : ReplaceAsker {
    int askReplace(const ReplaceQuestion&) override { return ReplacePrompt::ReplaceAll; }
};

class SyncRun : public TransferObserver {
public:
    SyncRun(const SyncOptions& options, const fs::path& dir, CliLink& link, SyncState& state,
            SyncLog& log, CliInterrupt& interrupt, std::ostream& err)
        : o_(options), dir_(dir), link_(link), state_(state), log_(log), interrupt_(interrupt),
          err_(err) {}

    // After a connect: what the reports of this titrator are filed under.
    void identify();
    // One pass over the titrator's reports (and tray sets).
    int pass();
    void stop() { stopping_ = true; }
    bool stopping() const { return stopping_; }

    void record(const TransferRecord& r) override;

private:
    int collect(int fileType, int& found, int& fresh);
    bool keptOut(const devfiles::ListedFile& file);
    void collected(const TransferRecord& r);
    void exportCsv(const std::string& report);

    const SyncOptions& o_;
    fs::path dir_;
    CliLink& link_;
    SyncState& state_;
    SyncLog& log_;
    CliInterrupt& interrupt_;
    std::ostream& err_;
    std::string titrator_;
    bool stopping_ = false;
    CopyProgress* progress_ = nullptr;
    std::map<std::string, CollectedReport> pending_; // this copy's reports by name
    std::vector<std::string> toExport_;
    int collected_ = 0, failed_ = 0;
};

void SyncRun::identify() {
    Serial& serial = link_.serial();
    serial.waitRecovery();
    std::string answer;
    {
        Serial::Exchange hold(serial);
        if (hold && !succeeded(serial.sendCommand("info", answer)))
            answer.clear();
    }
    const std::string number = serialNumberOf(answer);
    // A model that does not answer "info" files its reports under the model.
    titrator_ = number.empty() ? link_.monitor().identity().idText : "S/N " + number;
    log_.event("connected", "connected: " + titrator_, {{"titrator", toQt(titrator_)}});
}

int SyncRun::pass() {
    collected_ = failed_ = 0;
    int found = 0, fresh = 0, code = cliexit::kOk;
    for (int type : {ftype::kReports, ftype::kTrayReports}) {
        if (type == ftype::kTrayReports && !o_.tray)
            continue;
        code = std::max(code, collect(type, found, fresh));
        if (code == cliexit::kNoLink || stopping_)
            break;
    }
    if (code == cliexit::kOk && failed_ > 0)
        code = cliexit::kFailed;
    log_.event("pass",
               "pass: " + std::to_string(found) + " listed, " + std::to_string(fresh) + " new, " +
                   std::to_string(collected_) + " collected, " + std::to_string(failed_) +
                   " failed",
               {{"listed", found},
                {"new", fresh},
                {"collected", collected_},
                {"failed", failed_},
                {"exit", code}});
    return code;
}

// A different file of the report's name in DIR stays; the report is not taken.
bool SyncRun::keptOut(const devfiles::ListedFile& file) {
    const fs::path existing = pcfiles::pcFilePath(dir_, file.name);
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(existing, ec)))
        return false;
    const auto size = fs::file_size(existing, ec);
    if (!ec && file.size >= 0 && static_cast<std::int64_t>(size) == file.size)
        return false; // the report itself, left by a pass cut short: fetched again
    ++failed_;
    log_.event("kept",
               file.name + ": not collected: " + existing.string() +
                   " is another file of that name",
               {{"file", toQt(file.name)}, {"path", QString::fromStdString(existing.string())}});
    return true;
}

int SyncRun::collect(int fileType, int& found, int& fresh) {
    DeviceSession& session = link_.session();
    std::string listing;
    if (!succeeded(devfiles::listTitratorFiles(session, link_.host(), fileType,
                                               session.monitor().identity().titType, listing))) {
        if (!session.monitor().titratorOnline())
            return cliexit::kNoLink;
        ++failed_;
        log_.event("not-listed", "the titrator did not list its files", {{"category", fileType}});
        return cliexit::kFailed;
    }
    devfiles::CopyRequest request;
    request.source = 1;
    request.fileType = fileType;
    request.pcFolder = dir_;
    request.titratorEntries = devfiles::listingLines(listing);
    request.move = o_.move;
    request.verifyListedSize = true;
    request.initialReplaceStatus = ReplacePrompt::ReplaceAll;
    pending_.clear();
    for (const std::string& line : request.titratorEntries) {
        const devfiles::ListedFile file = devfiles::listedFile(line);
        const CollectedReport report{
            titrator_, file.name, file.size, devfiles::recordDate(file.date), {}, {}};
        ++found;
        if (state_.has(report) || keptOut(file))
            continue;
        ++fresh;
        pending_[file.name] = report;
        request.selected.push_back({file.name, line});
    }
    if (request.selected.empty() || stopping_)
        return cliexit::kOk;
    SyncProgress progress(stopping_);
    progress_ = &progress;
    ReplaceSame same;
    devfiles::CopyUi ui{link_.host(), progress, same, this};
    const devfiles::CopyResult result = devfiles::copyFile(session, request, ui);
    progress_ = nullptr;
    pending_.clear();
    std::vector<std::string> reports;
    reports.swap(toExport_);
    for (const std::string& report : reports)
        exportCsv(report);
    return result.linkLost ? cliexit::kNoLink : cliexit::kOk;
}

void SyncRun::record(const TransferRecord& r) {
    std::string line = r.operation == TransferOperation::Export
                           ? fs::path(r.pcName).filename().string()
                           : (r.titratorName.empty() ? r.entry : r.titratorName);
    line += std::string(": ") + operationWord(r.operation) + " " + outcomeWord(r.result);
    if (!r.reason.empty())
        line += ": " + r.reason;
    log_.event("file", line, recordJson(r));
    const bool own = filenames::sameName(r.titratorName, r.entry);
    if (r.operation == TransferOperation::Export || !own)
        return;
    if (r.result == TransferOutcome::Done)
        collected(r);
    else if (r.result != TransferOutcome::Aborted || !stopping_)
        ++failed_;
}

// Recorded at once: a pass cut short after this report never takes it again.
void SyncRun::collected(const TransferRecord& r) {
    const auto it = pending_.find(r.entry);
    if (it == pending_.end())
        return;
    CollectedReport report = it->second;
    report.sha256 = r.sha256;
    report.collected = utcNow();
    std::string error;
    if (!state_.add(report, error)) {
        ++failed_;
        log_.event("state-not-written", state_.file().string() + ": " + error,
                   {{"path", QString::fromStdString(state_.file().string())}});
        if (progress_)
            progress_->requestAbort(); // nothing more is taken that cannot be recorded
        return;
    }
    ++collected_;
    log_.event("collected", report.file + ": collected (" + std::to_string(report.size) + " bytes)",
               {{"file", toQt(report.file)},
                {"size", static_cast<qint64>(report.size)},
                {"date", toQt(report.date)},
                {"sha256", QString::fromStdString(report.sha256)},
                {"path", QString::fromStdString(r.pcName)}});
    if (o_.exportCsv)
        toExport_.push_back(report.file);
}

// As the Export command does from the PC pane, with config.ini's export settings.
void SyncRun::exportCsv(const std::string& report) {
    const ExportOptions stored = loadExportOptions(appPaths().configPath());
    ExportRequest request;
    request.pane = ExportPane::Pc;
    request.entries.push_back({report, dir_});
    request.destination = dir_;
    request.options = exportOptionsFor(stored.csvSep, stored.decSep, stored.orderBy);
    // Its records come here; only its messages go out, on stderr.
    CliExportHost host(err_, err_, true, interrupt_, this);
    exportSelectedReports(request, host);
}

// Waits the given seconds; false when a signal ended the wait.
bool waitSeconds(CliInterrupt& interrupt, int seconds) {
    return !defaultPump().waitUntil([&] { return interrupt.caught(); }, seconds * 1000);
}

} // namespace

int cmdSync(const SyncOptions& o, const LinkOptions& options, std::ostream& out,
            std::ostream& err) {
    std::error_code ec;
    const fs::path dir = fs::absolute(o.to, ec);
    if (ec || (!fs::is_directory(dir, ec) && !fs::create_directories(dir, ec))) {
        err << o.to << ": " << (ec ? ec.message() : "not a folder") << "\n";
        return cliexit::kUsage;
    }
    CliInterrupt interrupt;
    CliLink link(options, err);
    if (!link.ready())
        return cliexit::kUsage;
    SyncState state(dir);
    std::string note, error;
    if (!state.load(note, error)) {
        err << error << "\n";
        return cliexit::kUsage;
    }
    SyncLog log(out, err, o.json);
    if (!note.empty())
        log.event("state-damaged", note, {{"path", QString::fromStdString(state.file().string())}});
    SyncRun run(o, dir, link, state, log, interrupt, err);
    const auto stop = interrupt.onSignal([&run, &log] {
        run.stop();
        log.event("stopping", "stopping after the file in hand");
    });
    bool connected = false, everConnected = false;
    int retry = kFirstRetrySeconds;
    for (;;) {
        int code = cliexit::kOk;
        if (!connected) {
            if (everConnected)
                link.session().disconnect();
            code = link.connect();
            connected = code == cliexit::kOk;
            everConnected = everConnected || connected;
            if (connected)
                run.identify();
        }
        if (connected && !run.stopping())
            code = run.pass();
        if (interrupt.caught() || o.every <= 0)
            return interrupt.exitCode(code);
        if (code == cliexit::kNoLink || code == cliexit::kNotIdentified) {
            connected = false;
            log.event("no-link", "no link: trying again in " + std::to_string(retry) + " s",
                      {{"retryIn", retry}});
            if (!waitSeconds(interrupt, retry))
                return interrupt.exitCode(code);
            retry = std::min(retry * 2, kLastRetrySeconds);
            continue;
        }
        retry = kFirstRetrySeconds;
        if (!waitSeconds(interrupt, o.every))
            return interrupt.exitCode(code);
    }
}
