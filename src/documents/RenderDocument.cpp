#include "documents/RenderDocument.h"

#include "core/FileTypes.h"
#include "core/Text.h"
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

int methodFileType(const std::string& text) {
    return readKFMethodRecord(text).fileId.find("QX") != std::string::npos ? ftype::kStandardMethods
                                                                           : ftype::kUserMethods;
}

int methodFileKind(const std::string& text) {
    constexpr int kFirstKarlFischer = 34;  // 32 + method kind 2, no flag
    constexpr int kSecondKarlFischer = 36; // 32 + method kind 4
    switch (readKFMethodRecord(text).methType) {
    case kFirstKarlFischer:
        return kKindKarlFischer;
    case kSecondKarlFischer:
        return kKindKarlFischer2;
    default:
        return kKindOrdinary;
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
