#include "documents/FileTypes.h"

#include "core/Text.h"

#include <string>

int selectedFileType(std::string_view fileName) {
    const std::string name = text::lower(std::string(fileName));
    auto has = [&](const char* part) { return name.find(part) != std::string::npos; };
    if (has(".rpt"))
        return filetype::kReports;
    if (has("seq") && has(".mtd"))
        return filetype::kSequences;
    if (has("user") && has(".mtd"))
        return filetype::kUserMethods;
    if (has("qx") && has(".mtd"))
        return filetype::kStandardMethods;
    if (has(".log"))
        return filetype::kLogs;
    if (has(".bmp"))
        return filetype::kPictures;
    return filetype::kOther;
}
