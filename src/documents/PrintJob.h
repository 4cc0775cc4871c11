#pragma once
// The widget-free half of printing: what the application keeps as its print
// text, and the print lines put into the report database.
#include "documents/PrintError.h"
#include "documents/TitratorInfo.h"

#include <filesystem>
#include <string>

struct AppPaths;

struct PrintJob {
    std::string printText; // the rendered document
    int fileType = 0;
    std::string title; // language text 420, 431 or 422: window title and page header
};

// A file's text rendered as the viewer shows it.
PrintJob renderPrintJob(const std::string& text, int fileType, int kind,
                        const TitratorInfo& titrator);
// An already rendered text (the viewer's current view text).
PrintJob renderedPrintJob(const std::string& printText, int fileType);

// Empties the table, then fills it with the job's print lines (all of them).
bool storePrintJob(const PrintJob& job, const std::filesystem::path& database, PrintError& error);

// A print in the audit log: the document, where it went (the PDF written, or the
// printer) and the SHA-256 of the bytes written (the PDF) or sent (the print text).
bool recordPrint(const std::string& document, const std::filesystem::path& pdf,
                 const std::string& printer, const std::string& printText, const PrintError& error);

// VUVez.mdb in the data folder; print.rpc from the data folder when the user put
// one there, else the shipped one.
std::filesystem::path reportDatabasePath(const AppPaths& paths);
std::filesystem::path printTemplatePath(const AppPaths& paths);
