#include "documents/ExportError.h"

#include "core/Language.h"
#include "core/Text.h"

namespace exporterr {
namespace {

constexpr int kTextNotReport = 172;
constexpr int kTextUnknownType = 173;
constexpr int kTextColumn = 174;
constexpr int kTextUnexportable = 175;
constexpr int kTextNoFolder = 176;
constexpr int kTextInvalidTime = 177;
constexpr int kTextInvalidMonth = 178;
constexpr int kTextInvalidDate = 179;
constexpr int kTextAlreadyWritten = 180; // CSV, first report, second report
constexpr int kTextUnusableFile = 181;
constexpr int kTextUnusableFolder = 182;

const char* const kToCsv = "Export.toCsv";
const char* const kExportCommand = "main.mnuFileExport";

} // namespace

ExportError notReport() {
    return {kNotReport, langText(kTextNotReport), kToCsv};
}
ExportError unknownType() {
    return {kUnknownType, langText(kTextUnknownType), kToCsv};
}
ExportError column() {
    return {kColumn, langText(kTextColumn), "Export.inlineSearch"};
}
ExportError unexportable() {
    return {kUnexportable, langText(kTextUnexportable), kExportCommand};
}
ExportError noFolder() {
    return {kNoFolder, langText(kTextNoFolder), kExportCommand};
}
ExportError invalidTime() {
    return {kDateText, langText(kTextInvalidTime), "Export.tt224hr"};
}
ExportError invalidMonth() {
    return {kDateText, langText(kTextInvalidMonth), "Export.month2byte"};
}
ExportError invalidDate() {
    return {kDateText, langText(kTextInvalidDate), "Export.reportDateKey"};
}
ExportError fileAccess(std::string description) {
    return {kFileAccess, std::move(description), kToCsv};
}
ExportError unusableFileName() {
    return fileAccess(langText(kTextUnusableFile));
}
ExportError unusableFolderName() {
    return fileAccess(langText(kTextUnusableFolder));
}
ExportError csvAlreadyWritten(const std::string& csv, const std::string& firstSource,
                              const std::string& secondSource) {
    return fileAccess(formatMsg(langText(kTextAlreadyWritten), {csv, firstSource, secondSource}));
}

} // namespace exporterr
