#pragma once
// Replacing a file only when its new content is complete: the content goes to
// a hidden temporary file beside the target, which is renamed over the target
// on commit. A failure or an abandoned write leaves the old file as it was.
#include <filesystem>
#include <string>
#include <string_view>

class AtomicFile {
public:
    // Temporary files are ".veltran-<name>.XXXXXX" beside their target.
    static constexpr std::string_view kTempPrefix = ".veltran-";

    // Synced: the content reaches the disk before the rename, so a crash cannot
    // leave an empty file in the old one's place. Files that can be made again
    // from their source (CSV exports, hundreds at a time) may skip the wait.
    enum class Durability { Synced, Regenerable };

    explicit AtomicFile(std::filesystem::path target, Durability durability = Durability::Synced);
    ~AtomicFile(); // an uncommitted temporary file is removed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Appends are ignored once anything has failed.
    void append(std::string_view data);
    // Writes the content to disk and closes it, so that a full disk shows here;
    // commit() does it first when it has not been done.
    bool finish();
    // Renames the content over the target.
    bool commit();

    bool failed() const { return error_ != 0; }
    int error() const { return error_; }
    const std::string& errorText() const { return errorText_; }
    const std::filesystem::path& tempPath() const { return temp_; }
    const std::filesystem::path& target() const { return target_; }

    // A stand-in for a full disk or a failing device, for tests: every write to
    // a target named fileName fails with `error` from now on (0 ends it).
    static void simulateWriteError(const std::string& fileName, int error);

private:
    void fail(int error, std::string text);

    std::filesystem::path target_;
    std::filesystem::path temp_;
    int fd_ = -1;
    Durability durability_;
    bool committed_ = false;
    int error_ = 0;
    std::string errorText_;
};

// The whole content at once; false with `error` set when the target was left as it was.
bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         std::string* error = nullptr,
                         AtomicFile::Durability durability = AtomicFile::Durability::Synced);

// True for the name of one of our temporary files (listings skip them).
bool isAtomicTempName(std::string_view fileName);
