#pragma once
// The upgrade-file name rule: characters 7 and 8 of an upgrade file's name
// carry a checksum of its first six characters, GetStringChecksum of those six
// bytes reduced modulo 100.
//
// The two characters are always two decimal digits, "00" to "99": the
// remainder is taken in 0..99 (a negative checksum counts up from 100) and
// padded with a leading zero. Written with the sign of the number and without
// padding, a remainder below 10 would be one character and one below -9 three,
// and no name "XXXXXXnn.upg" could carry either.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

inline constexpr std::size_t kUpgradeNameCovered = 6;        // characters 1 to 6
inline constexpr std::size_t kUpgradeNameChecksumLength = 2; // characters 7 and 8

// The two characters for a GetStringChecksum value.
std::string upgradeNameChecksumText(std::int16_t stringChecksum);

// The two characters expected after `name6`, which must be exactly six bytes
// (8-bit text). False with `error` set for another length or when the
// checksum library cannot be used.
bool expectedUpgradeNameChecksum(const std::string& name6, std::string& checksum,
                                 std::string& error);

// Whether the file's name (its folders do not matter) carries the expected
// checksum as characters 7 and 8. A name shorter than eight characters does
// not match. False with `error` set only when the library cannot be used.
bool upgradeNameChecksumMatches(const std::filesystem::path& file, bool& matches,
                                std::string& error);
