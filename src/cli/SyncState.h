#pragma once
// What report collection has taken from a titrator into one folder: the state
// file veltran-sync.json there, one entry per report, keyed by the titrator
// (its serial number, else its model) and the report's name, size and date.
// Every change is written whole and atomically, so a pass cut short leaves the
// state of the last report it finished.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct CollectedReport {
    std::string titrator; // serial number, else model
    std::string file;     // as the titrator lists it
    std::int64_t size = -1;
    std::string date;      // "2026-12-07T17:47" as listed; "" when the line gives none
    std::string sha256;    // of the bytes received
    std::string collected; // UTC, ISO 8601
};

class SyncState {
public:
    static constexpr char kFileName[] = "veltran-sync.json";

    explicit SyncState(std::filesystem::path folder);
    const std::filesystem::path& file() const { return file_; }

    // Reads the state file (none: an empty state). A file that is not a state
    // file is renamed aside and an empty state begins: `note` says so. False
    // with `error` when the file cannot be read at all.
    bool load(std::string& note, std::string& error);

    // The same titrator, name (without regard to case), size and date.
    bool has(const CollectedReport& report) const;
    // Adds the report (once) and writes the file; false with `error` when it
    // could not be written (the state in memory keeps it).
    bool add(const CollectedReport& report, std::string& error);

    const std::vector<CollectedReport>& reports() const { return reports_; }

private:
    std::filesystem::path file_;
    std::vector<CollectedReport> reports_;
};
