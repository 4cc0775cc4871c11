#include "cli/FileCommands.h"

#include "cli/CliLink.h"
#include "cli/ExitCodes.h"
#include "core/FileTypes.h"
#include "core/Host.h"
#include "files/CopyFiles.h"
#include "files/CopyProgress.h"
#include "files/DeviceFiles.h"
#include "files/FileNames.h"
#include "files/ReplacePrompt.h"
#include "files/TitratorFiles.h"
#include "link/DeviceSession.h"
#include "link/LinkMonitor.h"

#include <filesystem>
#include <iostream>
#include <map>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const kUsage =
    "usage: veltran-cli [link options] list CATEGORY [--tray NAME]\n"
    "       veltran-cli [link options] get CATEGORY NAME... [--to DIR] [--move]\n"
    "       veltran-cli [link options] put CATEGORY FILE... [--move] [--replace ask|all|none]\n"
    "       veltran-cli [link options] delete CATEGORY NAME... [--yes]\n"
    "CATEGORY: methods, std-methods, user-methods, reports, sequences, tray-reports\n";

const std::map<std::string, int> kCategories = {
    {"methods", ftype::kAllMethods},       {"std-methods", ftype::kStandardMethods},
    {"user-methods", ftype::kUserMethods}, {"reports", ftype::kReports},
    {"sequences", ftype::kSequences},      {"tray-reports", ftype::kTrayReports},
};

struct FileArgs {
    std::string command;
    int fileType = 0;
    std::vector<std::string> names;
    std::string tray, to, replace = "ask";
    bool move = false, yes = false;
};

bool parse(const std::vector<std::string>& words, FileArgs& a, std::string& error) {
    a.command = words.at(0);
    if (words.size() < 2 || !kCategories.count(words[1])) {
        error = words.size() < 2 ? "a category is needed" : "unknown category \"" + words[1] + "\"";
        return false;
    }
    a.fileType = kCategories.at(words[1]);
    for (std::size_t i = 2; i < words.size(); ++i) {
        const std::string& w = words[i];
        const bool valued = w == "--tray" || w == "--to" || w == "--replace";
        if (valued && i + 1 >= words.size()) {
            error = w + " needs a value";
            return false;
        }
        if (w == "--tray" && a.command == "list" && a.fileType == ftype::kTrayReports)
            a.tray = words[++i];
        else if (w == "--to" && a.command == "get")
            a.to = words[++i];
        else if (w == "--replace" && a.command == "put")
            a.replace = words[++i];
        else if (w == "--move" && (a.command == "get" || a.command == "put"))
            a.move = true;
        else if (w == "--yes" && a.command == "delete")
            a.yes = true;
        else if (w.rfind("--", 0) == 0) {
            error = "unknown option " + w + " for " + a.command;
            return false;
        } else
            a.names.push_back(w);
    }
    if (a.replace != "ask" && a.replace != "all" && a.replace != "none") {
        error = "--replace takes ask, all or none";
        return false;
    }
    if (a.command != "list" && a.names.empty()) {
        error = a.command + " needs at least one file";
        return false;
    }
    if (!a.tray.empty() &&
        (a.tray.size() != devfiles::kTraySetNameLength || !filenames::isSafeName(a.tray))) {
        error = "--tray takes a tray set name such as TRAY0001";
        return false;
    }
    return true;
}

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
    int askReplace(const std::string& question) override {
        std::string shown = question;
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

// The selected titrator entries by name; names the titrator does not list are said on stderr.
int selectOnTitrator(const FileArgs& a, devfiles::CopyRequest& r, std::ostream& err) {
    int missing = 0;
    for (const std::string& name : a.names) {
        bool found = false;
        for (const std::string& line : r.titratorEntries) {
            if (filenames::sameName(filenames::firstToken(line), name)) {
                r.selected.push_back({filenames::firstToken(line), line});
                found = true;
                break;
            }
        }
        if (!found) {
            err << name << ": not on the titrator\n";
            ++missing;
        }
    }
    return missing;
}

int selectOnPc(const FileArgs& a, devfiles::CopyRequest& r, std::ostream& err) {
    int missing = 0;
    r.pcFolder = fs::path(a.names.front()).parent_path();
    if (r.pcFolder.empty())
        r.pcFolder = ".";
    for (const std::string& name : a.names) {
        const fs::path p(name);
        std::error_code ec;
        if (!fs::equivalent(p.parent_path().empty() ? fs::path(".") : p.parent_path(), r.pcFolder,
                            ec)) {
            err << name << ": all files of one put must be in one folder\n";
            return -1;
        }
        if (!fs::is_regular_file(p, ec)) {
            err << name << ": no such file\n";
            ++missing;
            continue;
        }
        r.selected.push_back({p.filename().string(), p.filename().string()});
    }
    return missing;
}

} // namespace

bool isFileCommand(const std::string& word) {
    return word == "list" || word == "get" || word == "put" || word == "delete";
}

int cmdFiles(const CliOptions& options, std::ostream& out, std::ostream& err) {
    FileArgs a;
    std::string error;
    if (!parse(options.words, a, error)) {
        err << error << "\n" << kUsage;
        return cliexit::kUsage;
    }
    CliLink link(options, err);
    if (!link.ready())
        return cliexit::kUsage;
    if (!link.connect()) {
        err << link.statusText() << "\n";
        return cliexit::kNoLink;
    }
    const bool interactive = onTerminal();
    link.setYesNo([&](const std::string& text, const std::string&) {
        const bool policy = a.command == "delete" ? a.yes : a.replace == "all";
        if (policy || (a.command == "put" && a.replace == "none") || !interactive) {
            err << text << (policy ? " (answered yes)\n" : " (answered no)\n");
            return policy;
        }
        return askTerminal(text, "[y/n]") == 'y';
    });
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
    if (a.command == "list") {
        for (const std::string& line : r.titratorEntries)
            out << printable(line) << "\n";
        return cliexit::kOk;
    }
    r.move = a.move;
    r.initialReplaceStatus = initialReplaceStatus(a.replace);
    r.source = a.command == "put" ? 0 : 1;
    r.pcFolder = a.to.empty() ? fs::path(".") : fs::path(a.to);
    std::error_code ec;
    if (a.command == "get" && !fs::is_directory(r.pcFolder, ec) &&
        !fs::create_directories(r.pcFolder, ec)) {
        err << a.to << ": " << ec.message() << "\n";
        return cliexit::kUsage;
    }
    const int missing = a.command == "put" ? selectOnPc(a, r, err) : selectOnTitrator(a, r, err);
    if (missing < 0)
        return cliexit::kUsage;
    if (r.selected.empty())
        return cliexit::kFailed;
    CliReplace replace;
    CopyProgress progress;
    devfiles::CopyUi ui{link.host(), progress, replace};
    const devfiles::CopyResult result = a.command == "delete"
                                            ? devfiles::deleteFiles(session, r, ui)
                                            : devfiles::copyFile(session, r, ui);
    if (result.linkLost)
        return cliexit::kNoLink;
    return missing == 0 && result.everyFileWent(r.selected.size()) ? cliexit::kOk
                                                                   : cliexit::kFailed;
}
