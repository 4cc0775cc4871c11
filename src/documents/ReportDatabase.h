#pragma once
// The report database: an SQLite file (VUVez.mdb) with one table,
// Report(line INTEGER, text TEXT), that holds exactly the document being
// printed. Texts are stored as Unicode and come back as the same 8-bit bytes.
#include "documents/PrintError.h"

#include <filesystem>
#include <string>
#include <vector>

class QSqlError;

inline constexpr const char* kReportDatabaseName = "VUVez.mdb";

class ReportDatabase {
public:
    // Opens the file, creating it and its table when missing. A file that is no
    // SQLite database is left as it is and reported.
    explicit ReportDatabase(const std::filesystem::path& file);
    ~ReportDatabase();
    ReportDatabase(const ReportDatabase&) = delete;
    ReportDatabase& operator=(const ReportDatabase&) = delete;

    bool isOpen() const { return !error_.failed(); }
    const PrintError& error() const { return error_; }

    // Deletes every row.
    bool EmptySettingsMDB();
    // Adds rows 1..count: line number k, text lines[k - 1]. Line numbers are 64-bit
    // in SQLite, so no document is too long for the table.
    bool PutSettingsIntoMDB(const std::vector<std::string>& lines, std::size_t count);
    // The texts of every row in line-number order (fields by position).
    bool readLines(std::vector<std::string>& lines);
    std::size_t rowCount();

private:
    bool fail(const std::string& what);
    bool fail(const std::string& what, const QSqlError& error);

    std::string connection_;
    std::filesystem::path file_;
    PrintError error_;
};

// The main window's names for the two steps, on the given database file.
bool MainEmptySettingsMDB(const std::filesystem::path& database, PrintError& error);
bool MainPutSettingsIntoMDB(const std::filesystem::path& database,
                            const std::vector<std::string>& lines, std::size_t count,
                            PrintError& error);
