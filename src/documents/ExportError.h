#pragma once
// The errors of the CSV export: a number, a description and where it arose.
// They travel as values; the export command shows them and decides whether to go on.
#include <optional>
#include <string>

struct ExportError {
    int number = 0;
    std::string description;
    std::string source;
    std::string report = {}; // the report (or folder) it concerns; "" for the command's own errors
    bool operator==(const ExportError&) const = default;
};

// Empty when the step went well.
using ExportFault = std::optional<ExportError>;

namespace exporterr {

inline constexpr int kNotReport = -2147221250;    // 0x800400FE
inline constexpr int kUnknownType = -2147221249;  // 0x800400FF
inline constexpr int kColumn = -2147221503;       // 0x80040001
inline constexpr int kUnexportable = -2147221503; // 0x80040001
inline constexpr int kNoFolder = -2147221502;     // 0x80040002
inline constexpr int kDateText = -2147220991;     // 0x80040201
// A file that could not be read or written (the platform's "path/file access error").
inline constexpr int kFileAccess = 75;

inline ExportError notReport() {
    return {kNotReport, "File is not a report!", "Export.toCsv"};
}
inline ExportError unknownType() {
    return {kUnknownType, "Unknown Report type", "Export.toCsv"};
}
inline ExportError column() {
    return {kColumn, "column", "Export.inlineSearch"};
}
inline ExportError unexportable() {
    return {kUnexportable, "Unexportable file found in selection", "main.mnuFileExport"};
}
inline ExportError noFolder() {
    return {kNoFolder, "No folder selected", "main.mnuFileExport"};
}
inline ExportError invalidTime() {
    return {kDateText, "Invalid time", "Export.tt224hr"};
}
inline ExportError invalidMonth() {
    return {kDateText, "Invalid month string", "Export.month2byte"};
}
// Digits that do not make a time or a calendar date.
inline ExportError invalidDate() {
    return {kDateText, "Invalid date", "Export.reportDateKey"};
}
inline ExportError fileAccess(std::string description) {
    return {kFileAccess, std::move(description), "Export.toCsv"};
}
// A second selected report whose CSV this run has already written from another one.
inline ExportError csvAlreadyWritten(const std::string& csv, const std::string& firstSource,
                                     const std::string& secondSource) {
    return fileAccess(csv + " was already written from " + firstSource + ", so " + secondSource +
                      " is not exported");
}

} // namespace exporterr
