#include "upgrade/UpgradeName.h"

#include "core/SumvalLibrary.h"

std::string upgradeNameChecksumText(std::int16_t stringChecksum) {
    int remainder = stringChecksum % 100;
    if (remainder < 0) {
        remainder += 100;
    }
    return {static_cast<char>('0' + remainder / 10), static_cast<char>('0' + remainder % 10)};
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
    if (base.size() < kUpgradeNameCovered + kUpgradeNameChecksumLength) {
        matches = false;
        return true;
    }
    std::string expected;
    if (!expectedUpgradeNameChecksum(base.substr(0, kUpgradeNameCovered), expected, error)) {
        return false;
    }
    matches = base.compare(kUpgradeNameCovered, kUpgradeNameChecksumLength, expected) == 0;
    return true;
}
