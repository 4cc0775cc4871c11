#pragma once
// The file type codes every part of the program shares, the file type a name
// says it is, the masks of each type, and mask matching as instrument file
// names need it (without regard to ASCII case, also on Linux).
#include <string>
#include <string_view>

namespace ftype {
constexpr int kOther = 0;
constexpr int kAllMethods = 1;
constexpr int kStandardMethods = 2;
constexpr int kUserMethods = 3;
constexpr int kReports = 4;
constexpr int kTrp = 5;
constexpr int kCrp = 6;
constexpr int kLogs = 7;
constexpr int kPictures = 8;
constexpr int kSequences = 10;
constexpr int kTrayReports = 11;
constexpr int kTrayFolderReports = 12; // reports inside one tray folder

inline bool isMethod(int t) {
    return t == kAllMethods || t == kStandardMethods || t == kUserMethods;
}
inline bool isReport(int t) {
    return t == kReports || t == kTrp || t == kCrp || t == kTrayFolderReports;
}
} // namespace ftype

// SelectedFileType: ".rpt" 4, "SEQ" and ".mtd" 10, "USER" and ".mtd" 3, "qx" and
// ".mtd" 2, ".log" 7, ".bmp" 8, else 0 (case-insensitive substrings, in this order).
int selectedFileType(std::string_view fileName);

// getFileMask. restricted: the titrator is of the QX50x series with a firmware
// below 1.6, whose method names carry the model number in positions 5 and 6.
std::string fileMask(int fileType, int titType, bool restricted);

// "*" any run, "?" one character; letters match in either case.
bool maskMatches(std::string_view mask, std::string_view name);
