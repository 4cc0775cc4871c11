#pragma once
// A file being received: written beside its target under a hidden name and
// renamed over the target only once it is complete, so a failed or aborted
// transfer leaves the old file as it was.
#include <cstdio>
#include <filesystem>
#include <string>

class PartFile {
public:
    explicit PartFile(std::filesystem::path target);
    ~PartFile(); // an uncommitted part is removed
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // Appends are ignored once anything has failed.
    void append(const std::string& data);
    // Closes the part and renames it over the target.
    bool commit();

    bool failed() const { return error_ != 0; }
    int error() const { return error_; }
    const std::string& errorText() const { return errorText_; }
    const std::filesystem::path& partPath() const { return part_; }
    static std::filesystem::path partPathFor(const std::filesystem::path& target);

private:
    void fail(int error, std::string text);
    bool close();

    std::filesystem::path target_;
    std::filesystem::path part_;
    std::FILE* file_ = nullptr;
    bool committed_ = false;
    int error_ = 0;
    std::string errorText_;
};
