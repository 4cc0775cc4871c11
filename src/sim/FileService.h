#pragma once
// The titrator's side of the file service: listings, deletes and the answers
// to the file-rule queries, worked out from the device tree. Each returns the
// answer text, or nothing when the titrator refuses the command (no "ACK").
#include "sim/DeviceFs.h"
#include "sim/FileRules.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class FileService {
public:
    FileService(const DeviceFs& files, DeviceFolders folders, SlotLimits limits);

    const DeviceFolders& folders() const { return folders_; }

    // folder + mask ("\QX502\methods\*.mtd"): one line per matching file, each
    // ended by CR LF, in name order. "extdir" lines are name, size and
    // "yyyy-mm-dd hh:mm"; "dir" lines the bare name, which the PC fetches as it is.
    std::optional<std::string> listing(std::string_view folderAndMask, bool details) const;

    // A regular file; false when there is none.
    bool deleteFile(std::string_view devicePath) const;
    // "TRAY0001": TRAY0001.RPT, .LOG, .BMP of the tray folder and the folder
    // TRAY0001 with the reports in it. False when there was nothing to delete.
    bool deleteTraySet(std::string_view setName) const;
    // An existing user method in the methods folder ("changeId").
    bool isUserMethod(std::string_view devicePath) const;

    // "TYPE NAME" -> "1" acceptable / "0" not.
    std::optional<std::string> checkFileName(std::string_view argument) const;
    // "TYPE NAME" -> "1" the type's folder holds it / "0".
    std::optional<std::string> existFile(std::string_view argument) const;
    // "TYPE" -> the number of free slots, "0" when full or unknown.
    std::optional<std::string> freeFiles(std::string_view argument) const;
    // "sumvalhod NAME": the listing line of the method file of that name.
    std::optional<std::string> sameMethod(std::string_view name) const;

    // False when target would be a new file of a kind whose slots are all used.
    bool hasRoomFor(const std::filesystem::path& target) const;

private:
    std::optional<std::filesystem::path> folderOf(SlotKind kind) const;
    std::optional<std::filesystem::path> fileOfType(int typeCode, std::string_view name) const;
    uint32_t usedSlots(SlotKind kind) const;
    uint32_t freeSlots(SlotKind kind) const;

    const DeviceFs& files_;
    DeviceFolders folders_;
    SlotLimits limits_;
};

} // namespace sim
