#pragma once
// The export settings: field separator, decimal separator, quote character and
// the order of the summary, as config.ini's [Options] csvSep, decSep and orderBy give them.
#include <filesystem>
#include <string>

struct ExportOptions {
    int csvSep = 0;  // 0 ",", 1 ";"
    int decSep = 0;  // 0 ".", 1 "," with every converted value quoted
    int orderBy = 0; // 0 oldest first, 1 newest first, 2 order of export
    std::string listSeparator = ",";
    std::string decimalSeparator = ".";
    std::string quoteChar; // "" or "\""
};

// The settings for the three indices; an index out of its range counts as 0.
ExportOptions exportOptionsFor(int csvSep, int decSep, int orderBy);

// Reads [Options] csvSep, decSep and orderBy; a missing or invalid value is 0.
ExportOptions loadExportOptions(const std::filesystem::path& configIni);

// The process-wide settings: loaded at start, changed by the settings dialog.
ExportOptions& appExportOptions();
