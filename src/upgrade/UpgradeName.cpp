#include "upgrade/UpgradeName.h"

#include "core/SumvalLibrary.h"

std::string upgradeNameChecksumText(std::int16_t stringChecksum) {
    return std::to_string(stringChecksum % 100); // C++ keeps the dividend's sign
}

bool expectedUpgradeNameChecksum(const std::string& name6, std::string& checksum,
                                 std::string& error) {
    if (name6.size() != kUpgradeNameCovered) {
        error = "An upgrade name checksum covers exactly " + std::to_string(kUpgradeNameCovered) +
                " characters, not " + std::to_string(name6.size()) + ".";
        return false;
    }
    std::int16_t value = 0;
    if (!sumval::stringChecksum(name6, value, error)) {
        return false;
    }
    checksum = upgradeNameChecksumText(value);
    return true;
}

bool upgradeNameChecksumMatches(const std::filesystem::path& file, bool& matches,
                                std::string& error) {
    const std::string base = file.filename().string();
    if (base.size() <= kUpgradeNameCovered) {
        matches = false;
        return true;
    }
    std::string expected;
    if (!expectedUpgradeNameChecksum(base.substr(0, kUpgradeNameCovered), expected, error)) {
        return false;
    }
    matches = base.substr(kUpgradeNameCovered, kUpgradeNameChecksumLength) == expected;
    return true;
}
