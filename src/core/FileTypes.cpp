#include "core/FileTypes.h"

#include "core/Text.h"

namespace {

bool contains(const std::string& upperName, std::string_view upperPart) {
    return upperName.find(upperPart) != std::string::npos;
}

char fold(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

int selectedFileType(std::string_view fileName) {
    const std::string n = text::upper(std::string(fileName));
    const bool method = contains(n, ".MTD");
    if (contains(n, ".RPT"))
        return ftype::kReports;
    if (contains(n, "SEQ") && method)
        return ftype::kSequences;
    if (contains(n, "USER") && method)
        return ftype::kUserMethods;
    if (contains(n, "QX") && method)
        return ftype::kStandardMethods;
    if (contains(n, ".LOG"))
        return ftype::kLogs;
    if (contains(n, ".BMP"))
        return ftype::kPictures;
    return ftype::kOther;
}

std::string fileMask(int fileType, int titType, bool restricted) {
    const bool narrow = restricted && (titType == 0 || titType == 1);
    const std::string model = titType == 0 ? "01" : "02";
    switch (fileType) {
    case ftype::kAllMethods:
        return narrow ? "????" + model + "??.mtd" : "*.mtd";
    case ftype::kStandardMethods:
        return narrow ? "qx??" + model + "??.mtd" : "qx*.mtd";
    case ftype::kUserMethods:
        return narrow ? "user" + model + "??.mtd" : "user*.mtd";
    case ftype::kReports:
    case ftype::kTrayFolderReports:
        return "*.rpt";
    case ftype::kTrp:
        return "*.trp";
    case ftype::kCrp:
        return "*.crp";
    case ftype::kSequences:
        return "seq????.mtd";
    case ftype::kTrayReports:
        return "TRAY????.rpt";
    default:
        return "*.*";
    }
}

bool maskMatches(std::string_view mask, std::string_view name) {
    if (mask == "*.*")
        return true; // every file, with or without an extension
    // Iterative glob with one backtrack point: linear enough for file names.
    std::size_t m = 0, n = 0, starM = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (m < mask.size() && (mask[m] == '?' || fold(mask[m]) == fold(name[n]))) {
            ++m;
            ++n;
        } else if (starM != std::string_view::npos) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}
