#pragma once
// list, get, put and delete: the file service from the command line, through
// the same copy, move and delete logic as the main window.
#include <iosfwd>
#include <string>
#include <vector>

struct CliOptions;

// True for the words cmdFiles handles.
bool isFileCommand(const std::string& word);

// Exit codes: 0 every file went, 1 a file was refused or failed, 2 usage, 3 link error.
int cmdFiles(const CliOptions& options, std::ostream& out, std::ostream& err);
