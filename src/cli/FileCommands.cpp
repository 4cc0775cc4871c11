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
int selectOnTitrator(const FileCommandOptions& a, devfiles::CopyRequest& r, std::ostream& err) {
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

int selectOnPc(const FileCommandOptions& a, devfiles::CopyRequest& r, std::ostream& err) {
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
