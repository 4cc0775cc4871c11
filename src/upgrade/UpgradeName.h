#pragma once
// The upgrade-file name rule: characters 7 and 8 of an upgrade file's name
// carry a checksum of its first six characters, GetStringChecksum of those six
// bytes reduced modulo 100.
//
// The remainder keeps the sign of the checksum and is written in decimal
// without leading zeros ("8", "-84", "73"); it is compared as text with
// characters 7 and 8 of the name, or character 7 alone when the name ends
// there. So only a remainder of 10 to 99 fits a name "XXXXXXnn.upg": a
// remainder below 10 or a negative one refuses every such name, which keeps a
// damaged or foreign name away from the firmware write.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

inline constexpr std::size_t kUpgradeNameCovered = 6;        // characters 1 to 6
inline constexpr std::size_t kUpgradeNameChecksumLength = 2; // characters 7 and 8

// The remainder text for a GetStringChecksum value.
std::string upgradeNameChecksumText(std::int16_t stringChecksum);

// The remainder text for `name6`, which must be exactly six bytes (8-bit
// text). False with `error` set for another length or when the checksum
// library cannot be used.
bool expectedUpgradeNameChecksum(const std::string& name6, std::string& checksum,
                                 std::string& error);

// Whether the file's name (its folders do not matter) carries the remainder
// text as characters 7 and 8. False with `error` set only when the library
// cannot be used.
bool upgradeNameChecksumMatches(const std::filesystem::path& file, bool& matches,
                                std::string& error);
