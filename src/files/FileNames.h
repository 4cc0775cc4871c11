#pragma once
// Names as the file service handles them: whether a name that came from the
// titrator may become a PC file, the base pattern of a report and its
// companions, and the titrator list's own name rule.
#include <string>
#include <vector>

namespace filenames {

// A plain file name: not empty, no "\", "/", "..", ":" or control character.
// Names from the titrator that fail it never reach the PC's file system.
bool isSafeName(const std::string& name);

// "REP0001." for "REP0001.RPT": the name up to and including the "." of the
// first occurrence of ext (".rpt", ".log" or ".bmp"; without regard to case);
// "" when the name holds no such extension, so that no pattern is ever a bare "*".
std::string baseOf(const std::string& name, const std::string& ext);

// A report's companion: base + "rpt", "log" or "bmp", compared without regard to case.
bool isCompanion(const std::string& base, const std::string& fileName);

// Names compared as instrument file names: without regard to ASCII case.
bool sameName(const std::string& a, const std::string& b);

// The name of a list line: its first blank-separated token.
std::string firstToken(const std::string& line);

// True when a line of the titrator list names the file (first token, trimmed,
// without regard to case).
bool isOnList(const std::vector<std::string>& lines, const std::string& name);

} // namespace filenames
