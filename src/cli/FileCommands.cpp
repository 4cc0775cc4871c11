#include "cli/FileCommands.h"

#include "cli/CliInterrupt.h"
#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "cli/FileTally.h"
#include "cli/JsonLines.h"
#include "core/FileTypes.h"
#include "core/Host.h"
#include "files/CopyFiles.h"
#include "files/CopyProgress.h"
#include "files/DeviceFiles.h"
#include "files/FileNames.h"
#include "files/ReplacePrompt.h"
#include "files/TitratorFiles.h"
#include "files/TransferRecords.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"
#include "link/Transfer.h"

#include <filesystem>
#include <iostream>
#include <map>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

bool onTerminal() {
    return ::isatty(STDIN_FILENO) && ::isatty(STDERR_FILENO);
}

std::string printable(std::string s) {
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = '?';
    return s;
}

// A question on the terminal; the first character of the answer, or 0.
char askTerminal(const std::string& question, const std::string& choices) {
    std::cerr << question << " " << choices << " " << std::flush;
    std::string line;
    if (!std::getline(std::cin, line) || line.empty())
        return 0;
    return static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
}

// The replace question: asked on a terminal, otherwise answered No (skip).
class CliReplace : public ReplaceAsker {
public:
    int askReplace(const ReplaceQuestion& question) override {
        std::string shown = question.text;
        for (char& c : shown)
            if (c == '\r')
                c = '\n';
        if (!onTerminal()) {
            std::cerr << shown << " (skipped)\n";
            return ReplacePrompt::Skip;
        }
        switch (askTerminal(shown, "[r]eplace, replace [a]ll, [s]kip, [c]ancel:")) {
        case 'r':
            return ReplacePrompt::Replace;
        case 'a':
            return ReplacePrompt::ReplaceAll;
        case 'c':
            return ReplacePrompt::Cancel;
        default:
            return ReplacePrompt::Skip;
        }
    }
};

int initialReplaceStatus(const std::string& policy) {
    if (policy == "all")
        return ReplacePrompt::ReplaceAll;
    if (policy == "none")
        return ReplacePrompt::SkipAll;
    return ReplacePrompt::None;
}

// --replace as given, else asked on a terminal and "none" in a script.
std::string replacePolicy(const FileCommandOptions& a) {
    return !a.replace.empty() ? a.replace : onTerminal() ? "ask" : "none";
}

// Every record goes to the tally and, with --json, to stdout.
class TallyRecords : public TransferObserver {
public:
    TallyRecords(FileTally& tally, TransferObserver* json) : tally_(tally), json_(json) {}
    void record(const TransferRecord& r) override {
        tally_.record(r);
        if (json_)
            json_->record(r);
    }

private:
    FileTally& tally_;
    TransferObserver* json_;
};

// A named file that never reached the file service: its record, which gives its
// line on stderr and, for scripts, its JSON line.
void notSelected(const FileCommandOptions& a, const std::string& name, const std::string& reason,
                 TransferObserver& records) {
    TransferRecord r;
    r.timeMs = devfiles::recordTimeNow();
    r.operation = a.command == "delete" ? TransferOperation::Delete
                  : a.move              ? TransferOperation::Move
                                        : TransferOperation::Copy;
    r.direction = a.command == "put"      ? TransferDirection::ToTitrator
                  : a.command == "delete" ? TransferDirection::OnTitrator
                                          : TransferDirection::ToPc;
    r.entry = name;
    (a.command == "put" ? r.pcName : r.titratorName) = name;
    r.result = TransferOutcome::Failed;
    r.reason = reason;
    records.record(r);
}

// The selected titrator entries by name; a name the titrator does not list fails.
void selectOnTitrator(const FileCommandOptions& a, devfiles::CopyRequest& r,
                      TransferObserver& records) {
    for (const std::string& name : a.names) {
        bool found = false;
        for (const std::string& line : r.titratorEntries) {
            if (filenames::sameName(filenames::firstToken(line), name)) {
                r.selected.push_back({filenames::firstToken(line), line});
                found = true;
                break;
            }
        }
        if (!found)
            notSelected(a, name, "not on the titrator", records);
    }
}

// The PC files of one folder; a name without a folder is in the current one.
bool selectOnPc(const FileCommandOptions& a, devfiles::CopyRequest& r, TransferObserver& records,
                std::ostream& err) {
    const auto folderOf = [](const fs::path& p) {
        return p.parent_path().empty() ? fs::path(".") : p.parent_path();
    };
    r.pcFolder = folderOf(a.names.front());
    for (const std::string& name : a.names) {
        const fs::path p(name);
        std::error_code ec;
        if (!fs::equivalent(folderOf(p), r.pcFolder, ec)) {
            err << name << ": all files of one put must be in one folder\n";
            return false;
        }
        if (!fs::is_regular_file(p, ec)) {
            notSelected(a, name, "no such file", records);
            continue;
        }
        r.selected.push_back({p.filename().string(), p.filename().string()});
    }
    return true;
}

// The progress of a command-line copy: nothing to show, but each file's outcome counts.
class TallyProgress : public CopyProgress {
public:
    explicit TallyProgress(FileTally& tally) : tally_(tally) {}
    void entryStarted(const std::string& name) override { tally_.start(name); }
    void entryEnded(bool went) override { tally_.end(went); }

private:
    FileTally& tally_;
};

const char* verbOf(const FileCommandOptions& a) {
    return a.command == "delete" ? "deleted" : a.move ? "moved" : "copied";
}

// The policy for yes/no questions: --yes (delete) or --replace all and none, else
// asked on a terminal, else no.
void answerQuestions(const FileCommandOptions& a, const std::string& replace, CliLink& link,
                     std::ostream& err) {
    const bool interactive = onTerminal();
    link.setYesNo([&a, replace, interactive, &err](const std::string& text, const std::string&) {
        const bool ask = a.command == "delete" ? !a.yes && interactive : replace == "ask";
        if (!ask) {
            const bool yes = a.command == "delete" ? a.yes : replace == "all";
            err << text << (yes ? " (answered yes)\n" : " (answered no)\n");
            return yes;
        }
        return askTerminal(text, "[y/n]") == 'y';
    });
}

// get, put and delete once connected and listed.
int transferFiles(const FileCommandOptions& a, devfiles::CopyRequest& r, CliLink& link,
                  CliInterrupt& interrupt, std::ostream& out, std::ostream& err) {
    JsonRecords jsonLines(out);
    TransferObserver* json = a.json ? &jsonLines : nullptr;
    const std::string replace = replacePolicy(a);
    answerQuestions(a, replace, link, err);
    r.move = a.move;
    r.initialReplaceStatus = initialReplaceStatus(replace);
    r.source = a.command == "put" ? 0 : 1;
    r.pcFolder = a.to.empty() ? fs::path(".") : fs::path(a.to);
    std::error_code ec;
    if (a.command == "get" && !fs::is_directory(r.pcFolder, ec) &&
        !fs::create_directories(r.pcFolder, ec)) {
        err << a.to << ": " << ec.message() << "\n";
        return cliexit::kUsage;
    }
    FileTally tally(err, verbOf(a), a.names.size());
    TallyRecords records(tally, json);
    if (a.command != "put")
        selectOnTitrator(a, r, records);
    else if (!selectOnPc(a, r, records, err))
        return cliexit::kUsage;
    if (r.selected.empty() || interrupt.caught()) {
        tally.close();
        return cliexit::kFailed;
    }
    CliReplace replaceAsker;
    TallyProgress progress(tally);
    const auto stop = interrupt.onSignal([&progress, &tally] {
        tally.takeReason(describe(TransferResult::Aborted));
        progress.requestAbort();
    });
    devfiles::CopyUi ui{link.host(), progress, replaceAsker, &records};
    link.reportFilesTo(&tally);
    const devfiles::CopyResult result = a.command == "delete"
                                            ? devfiles::deleteFiles(link.session(), r, ui)
                                            : devfiles::copyFile(link.session(), r, ui);
    link.reportFilesTo(nullptr);
    tally.close();
    if (result.linkLost) {
        err << link.statusText() << "\n";
        return cliexit::kNoLink;
    }
    return tally.failures() == 0 && result.everyFileWent(a.names.size()) ? cliexit::kOk
                                                                         : cliexit::kFailed;
}

int runFiles(const FileCommandOptions& a, CliLink& link, CliInterrupt& interrupt, std::ostream& out,
             std::ostream& err) {
    DeviceSession& session = link.session();
    devfiles::CopyRequest r;
    r.fileType = a.fileType;
    if (!a.tray.empty()) {
        session.monitor().folders().trayFolder = a.tray + "\\";
        r.fileType = ftype::kTrayFolderReports;
        r.titratorInTrayFolder = true;
    }
    std::string listing;
    if (!succeeded(devfiles::listTitratorFiles(session, link.host(), r.fileType,
                                               session.monitor().identity().titType, listing))) {
        err << "the titrator did not list its files\n";
        return cliexit::kNoLink;
    }
    r.titratorEntries = devfiles::listingLines(listing);
    if (a.command != "list")
        return transferFiles(a, r, link, interrupt, out, err);
    for (const std::string& line : r.titratorEntries) {
        if (a.json)
            writeJsonLine(out, listedFileJson(line));
        else
            out << printable(line) << "\n";
    }
    return cliexit::kOk;
}

} // namespace

const std::map<std::string, int>& fileCategories() {
    static const std::map<std::string, int> categories = {
        {"methods", ftype::kAllMethods},       {"std-methods", ftype::kStandardMethods},
        {"user-methods", ftype::kUserMethods}, {"reports", ftype::kReports},
        {"sequences", ftype::kSequences},      {"tray-reports", ftype::kTrayReports},
    };
    return categories;
}

int cmdFiles(const FileCommandOptions& a, const LinkOptions& options, std::ostream& out,
             std::ostream& err) {
    if (a.command == "put" && a.fileType == ftype::kTrayReports) {
        err << "put tray-reports: tray sets are written only by the titrator\n";
        return cliexit::kUsage;
    }
    CliInterrupt interrupt;
    CliLink link(options, err);
    if (!link.ready())
        return cliexit::kUsage;
    link.stopOn(interrupt);
    if (const int failed = link.connect())
        return interrupt.exitCode(failed);
    const int code = interrupt.caught() ? cliexit::kFailed : runFiles(a, link, interrupt, out, err);
    if (interrupt.caught())
        link.settle();
    return interrupt.exitCode(code);
}
