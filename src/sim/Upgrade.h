#pragma once
// The titrator's side of a firmware upgrade: its identification ("info"), the
// checksum the PC announces ("upgcs"), the file received at the upgrade
// destination and the verdict ("upgcheck").
#include "sim/Models.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sim {

class Upgrade {
public:
    // Where the PC sends an upgrade: the folder UPGRADE below the root.
    static constexpr std::string_view kFolder = "UPGRADE";
    static constexpr std::string_view kFile = "upgrade.exe";
    static constexpr std::string_view kAccepted = "ok";
    static constexpr std::string_view kNoFile = "no upgrade file";
    static constexpr std::string_view kBadChecksum = "checksum error";

    Upgrade(std::string info, std::string verdict);

    // "QX502 I502v3.00 S/N 0412": the PC reads the model identification between
    // the first "I" and the next "v", and compares it with the first three
    // characters of the upgrade file's name.
    static std::string defaultInfo(const Model& model, const Firmware& firmware);
    // C:\UPGRADE\upgrade.exe, without regard to case.
    static bool isDestination(std::string_view devicePath);
    // The low 16 bits of the CRC register the checksum library runs over a file.
    static uint16_t checksum(std::string_view data);

    const std::string& info() const { return info_; }
    // "upgcs N", N a signed 16-bit decimal: the answer, or nothing when N is not one.
    // A new announcement forgets a file received before it.
    std::optional<std::string> announce(std::string_view argument);
    // The upgrade file has been stored (an empty one never passes).
    void received(std::string_view data);
    // The configured verdict when the file received after the announcement has
    // the announced checksum; otherwise why not.
    std::string verdict() const;

private:
    std::string info_;
    std::string verdict_;
    std::optional<uint16_t> announced_;
    std::optional<uint16_t> received_;
};

} // namespace sim
