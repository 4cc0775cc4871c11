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

// The descriptions are language texts; the numbers and sources are the program's.
ExportError notReport();
ExportError unknownType();
ExportError column();
ExportError unexportable();
ExportError noFolder();
ExportError invalidTime();
ExportError invalidMonth();
// Digits that do not make a time or a calendar date.
ExportError invalidDate();
ExportError fileAccess(std::string description);
// A titrator name that a PC file or folder cannot take.
ExportError unusableFileName();
ExportError unusableFolderName();
// A second selected report whose CSV this run has already written from another one.
ExportError csvAlreadyWritten(const std::string& csv, const std::string& firstSource,
                              const std::string& secondSource);

} // namespace exporterr
