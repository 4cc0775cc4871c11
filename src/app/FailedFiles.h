#pragma once
// The end of a copy, move, delete or export in which some files did not go:
// one message box names them, so nobody has to guess which file is missing.
#include <string>
#include <vector>

class Host;

inline constexpr int kTextFailedFiles = 1134; // %v = the files, one a line
inline constexpr int kTextFailedFilesTitle = 1135;

// Nothing when `lines` is empty; otherwise the box, one file (with its reason) a line.
void reportFailedFiles(Host& host, const std::vector<std::string>& lines);
