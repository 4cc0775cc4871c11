#include "documents/RenderDocument.h"

#include "core/Text.h"
#include "core/FileTypes.h"
#include "documents/KFMethodRenderer.h"
#include "documents/MethodRenderer.h"
#include "documents/SequenceRenderer.h"

namespace {
constexpr int kWidth = 54;
constexpr int kIndent = 2;
} // namespace

std::string renderDocument(const std::string& text, int fileType, int kind,
                           const TitratorInfo& titrator) {
    using namespace ftype;
    switch (fileType) {
    case kAllMethods:
    case kStandardMethods:
    case kUserMethods:
        if (kind == kKindKarlFischer)
            return renderKFMethod(text, kWidth, kIndent);
        if (kind == kKindKarlFischer2)
            return renderKFMethod2(text, kWidth, kIndent);
        return renderMethod(text, kWidth, kIndent, titrator, kind);
    case kReports:
    case kTrp:
    case kCrp:
    case kTrayReports:
    case kTrayFolderReports:
        return cleanReportText(text);
    case kSequences:
        return renderSequence(text, kWidth, kIndent);
    default:
        return text;
    }
}

std::string cleanReportText(const std::string& text) {
    std::string out = replaceAll(text, " \r\n\t\t", "");
    out = replaceAll(out, "\r\n\t\t", "");
    out = replaceAll(out, "\t", "  ");
    for (char& c : out)
        if (c == '\xA7')
            c = '\xB0';
    return out;
}

std::string textFromFileLines(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 32);
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", at);
        if (end == std::string::npos) {
            out.append(bytes, at, std::string::npos);
            out += "\r\n";
            break;
        }
        out.append(bytes, at, end - at);
        out += "\r\n";
        at = end + (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1);
    }
    return out;
}
