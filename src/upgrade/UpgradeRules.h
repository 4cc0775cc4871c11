#pragma once
// The small rules of a firmware upgrade that need no link: where the file goes
// on the titrator, how its checksum is announced, which model an "info" answer
// names, and which PC files can be sent at all.
#include <cstdint>
#include <filesystem>
#include <string>

// The titrator's upgrade folder and file name, on its own drive.
inline constexpr const char* kUpgradeDestination = "C:\\UPGRADE\\upgrade.exe";
// Characters 1 to 3 of an upgrade file name name the model it is meant for.
inline constexpr std::size_t kUpgradeModelLength = 3;

// The "upgcs" argument: the low 16 bits of the checksum register as a signed
// decimal, whatever the register holds above them ("-1" for 0xFFFF).
std::string upgradeChecksumArgument(std::uint32_t fileChecksum);

// The model identification in an "info" answer: the text between the first
// "I" and the next "v" after it; "" without both (an answer that names no model).
std::string upgradeModelIdentification(const std::string& info);

// Percent for a progress fraction 0..1, rounded half to even.
int upgradeProgressPercent(double fraction);

// Whether the file can be sent whole: a readable regular file that is not empty
// and fits the 65535 blocks a transfer can count. Otherwise false with an
// errno-style number and an English reason.
bool upgradeFileUsable(const std::filesystem::path& file, int& number, std::string& reason);
