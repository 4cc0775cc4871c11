#pragma once
// The titrator's file system kept in a PC folder. Device paths use "\" and are
// matched part by part without regard to ASCII case, as on the instrument.
// A leading "C:" is the titrator's own drive, the root. A path with "..", ".",
// "/", ":" or a control character is refused outright.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class DeviceFs {
public:
    explicit DeviceFs(std::filesystem::path root);

    static constexpr std::string_view kDrive = "C:";

    const std::filesystem::path& root() const { return root_; }

    // ASCII letters compared without regard to case.
    static bool sameName(std::string_view a, std::string_view b);

    // The parts of a device path, or nothing when the path is refused or empty.
    static std::optional<std::vector<std::string>> splitPath(std::string_view devicePath);

    // An existing regular file.
    std::optional<std::filesystem::path> existingFile(std::string_view devicePath) const;
    // An existing folder; "\\" and "" are the root.
    std::optional<std::filesystem::path> existingFolder(std::string_view devicePath) const;
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
