#pragma once
// list, get, put and delete: the file service from the command line, through
// the same copy, move and delete logic as the main window.
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

struct LinkOptions;

struct FileCommandOptions {
    std::string command; // list, get, put or delete
    int fileType = 0;    // the CATEGORY's file type
    std::vector<std::string> names;
    std::string tray;    // list --tray NAME (tray-reports only)
    std::string to;      // get --to DIR
    std::string replace; // get, put --replace ask|all|none; "": ask on a terminal, else none
    bool move = false;   // get, put --move
    bool yes = false;    // delete --yes
    bool json = false;   // JSON Lines on stdout: one a listing line or a file
};

// The CATEGORY words and their file types.
const std::map<std::string, int>& fileCategories();

// Exit codes: 0 every file went, 1 a file was refused or failed, 2 put
// tray-reports or a folder that cannot be made, 3 no link or the link was lost,
// 4 a titrator not identified or refused; 130/143 after Ctrl-C/SIGTERM. Each
// file that did not go is named on stderr with the reason; several files end
// with the count ("3 copied, 1 skipped, 1 failed").
int cmdFiles(const FileCommandOptions& options, const LinkOptions& link, std::ostream& out,
             std::ostream& err);
