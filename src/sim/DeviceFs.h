#pragma once
// The titrator's file system kept in a PC folder. Device paths use "\" and are
// matched part by part without regard to ASCII case, as on the instrument.
// A path with "..", ".", "/" or a control character is refused outright.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class DeviceFs {
public:
    explicit DeviceFs(std::filesystem::path root);

    const std::filesystem::path& root() const { return root_; }

    // The parts of a device path, or nothing when the path is refused or empty.
    static std::optional<std::vector<std::string>> splitPath(std::string_view devicePath);

    // An existing regular file.
    std::optional<std::filesystem::path> existingFile(std::string_view devicePath) const;
    // Where a file sent to the titrator goes: its folder must exist; an existing
    // file of the same name in another case is replaced under its own name.
    std::optional<std::filesystem::path> targetFile(std::string_view devicePath) const;
    // Creates a "/"-separated folder chain, reusing parts that exist in another case.
    bool createFolders(std::string_view relative) const;

    static std::optional<std::string> readFile(const std::filesystem::path& file);

private:
    std::optional<std::filesystem::path> folderOf(const std::vector<std::string>& parts) const;

    std::filesystem::path root_;
};

} // namespace sim
