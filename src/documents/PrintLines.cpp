#include "documents/PrintLines.h"

#include "core/FileTypes.h"
#include "core/Language.h"

namespace {

constexpr int kHeadingReport = 652;
constexpr int kHeadingSequence = 655;
constexpr int kHeadingMethod = 650;
constexpr int kTitleReport = 420;
constexpr int kTitleSequence = 431;
constexpr int kTitleMethod = 422;
constexpr const char* kHeadingIndent = "          "; // ten blanks

enum class Group { Report, Sequence, Method };

Group groupOf(int fileType) {
    using namespace ftype;
    switch (fileType) {
    case kReports:
    case kTrp:
    case kCrp:
    case kTrayReports:
    case kTrayFolderReports:
        return Group::Report;
    case kSequences:
        return Group::Sequence;
    default:
        return Group::Method;
    }
}

} // namespace

int printHeadingText(int fileType) {
    switch (groupOf(fileType)) {
    case Group::Report:
        return kHeadingReport;
    case Group::Sequence:
        return kHeadingSequence;
    case Group::Method:
        break;
    }
    return kHeadingMethod;
}

int printTitleText(int fileType) {
    switch (groupOf(fileType)) {
    case Group::Report:
        return kTitleReport;
    case Group::Sequence:
        return kTitleSequence;
    case Group::Method:
        break;
    }
    return kTitleMethod;
}

std::vector<std::string> buildPrintLines(const std::string& printText, int fileType) {
    std::vector<std::string> rows{kHeadingIndent + langText(printHeadingText(fileType)), " ", " "};
    std::size_t at = 0;
    for (;;) {
        const std::size_t end = printText.find_first_of("\r\n", at);
        if (end == std::string::npos) {
            rows.push_back(printText.substr(at));
            return rows;
        }
        rows.push_back(printText.substr(at, end - at));
        const bool crlf =
            printText[end] == '\r' && end + 1 < printText.size() && printText[end + 1] == '\n';
        at = end + (crlf ? 2 : 1);
    }
}

bool printAccepts(int fileType) {
    using namespace ftype;
    switch (fileType) {
    case kStandardMethods:
    case kUserMethods:
    case kReports:
    case kSequences:
    case kTrayReports:
    case kTrayFolderReports:
        return true;
    default:
        return false;
    }
}

bool previewAccepts(int fileType) {
    using namespace ftype;
    return fileType == kStandardMethods || fileType == kUserMethods || fileType == kReports;
}
