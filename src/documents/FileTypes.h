#pragma once
// File type codes shared by the panes, the device commands and the renderers.
#include <string_view>

namespace filetype {
inline constexpr int kOther = 0;
inline constexpr int kAllMethods = 1;
inline constexpr int kStandardMethods = 2;
inline constexpr int kUserMethods = 3;
inline constexpr int kReports = 4;
inline constexpr int kTrp = 5;
inline constexpr int kCrp = 6;
inline constexpr int kLogs = 7;
inline constexpr int kPictures = 8;
inline constexpr int kSequences = 10;
inline constexpr int kTrayReports = 11;
inline constexpr int kTrayFolderReports = 12;
} // namespace filetype

// The type of a file from its name alone, by case-insensitive substring tests in
// this order: ".rpt" 4; "seq" and ".mtd" 10; "user" and ".mtd" 3; "qx" and ".mtd"
// 2; ".log" 7; ".bmp" 8; otherwise 0.
int selectedFileType(std::string_view fileName);
