// The upgrade-file name checksum (characters 7 and 8 of an upgrade file name).
#include "upgrade/UpgradeName.h"

#include "LibraryEnv.h"

#include <gtest/gtest.h>

namespace {

TEST(UpgradeNameText, DecimalWithTheSignAndNoPadding) {
    const std::pair<std::int16_t, const char*> cases[] = {
        {0, "0"},   {5, "5"},     {10, "10"},   {99, "99"},      {100, "0"},    {31173, "73"},
        {-1, "-1"}, {-99, "-99"}, {-8500, "0"}, {-31184, "-84"}, {32767, "67"}, {-32768, "-68"}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(upgradeNameChecksumText(value), text) << value;
    }
}

TEST(UpgradeName, ExpectedChecksumOfSixCharacters) {
    LibraryEnv env;
    // GetStringChecksum of each name, worked out independently, in the comment.
    const std::pair<const char*, const char*> cases[] = {
        {"QX5010", "73"},  // 31173
        {"QX5011", "8"},   // 27108
        {"QX50D9", "0"},   // 8000
        {"QX5040", "-84"}, // -31184
        {"qx5010", "29"},  // 17529: case matters
    };
    for (const auto& [name, expected] : cases) {
        std::string checksum;
        std::string error;
        ASSERT_TRUE(expectedUpgradeNameChecksum(name, checksum, error)) << name << ": " << error;
        EXPECT_EQ(checksum, expected) << name;
    }
}

TEST(UpgradeName, OnlySixCharactersAreAccepted) {
    LibraryEnv env;
    for (const char* name : {"", "QX501", "QX50107", "QX501073.upg"}) {
        std::string checksum = "unchanged";
        std::string error;
        EXPECT_FALSE(expectedUpgradeNameChecksum(name, checksum, error)) << name;
        EXPECT_NE(error.find("exactly 6"), std::string::npos) << error;
        EXPECT_EQ(checksum, "unchanged");
    }
}

// Only a remainder of 10 to 99 fits two characters: "502308" has -11 and "502327" 0,
// and no name of theirs passes the gate before a firmware write.
TEST(UpgradeName, FileNameMatch) {
    LibraryEnv env;
    const std::pair<const char*, bool> cases[] = {
        {"QX501073.upg", true},   {"/media/usb/firmware/QX501073.upg", true},
        {"QX501073", true}, // nothing after the checksum
        {"50231096.upg", true},   {"QX501074.upg", false},
        {"50230889.upg", false}, // -11 counted up from 100 is no longer accepted
        {"50232700.upg", false}, // 0 padded to two digits neither
        {"QX501108.upg", false}, // 8 written with a leading zero
        {"QX50118.upg", false},  // "8." against "8"
        {"QX50118", true},       // the name ends after character 7
        {"QX5040-84.upg", false}, {"/x/QX501073/QX501074.upg", false}, // folders do not matter
        {"QX5010.upg", false},    {"QX5010", false},
        {"qx501073.upg", false}, // "qx5010" has its own checksum
    };
    for (const auto& [file, expected] : cases) {
        bool matches = !expected;
        std::string error;
        ASSERT_TRUE(upgradeNameChecksumMatches(file, matches, error)) << file << ": " << error;
        EXPECT_EQ(matches, expected) << file;
    }
}

TEST(UpgradeName, MissingLibraryIsReported) {
    LibraryEnv env(std::string("/nonexistent/libsumval.so"));
    std::string checksum;
    std::string error;
    EXPECT_FALSE(expectedUpgradeNameChecksum("QX5010", checksum, error));
    EXPECT_NE(error.find("could not be loaded"), std::string::npos) << error;
    bool matches = true;
    error.clear();
    EXPECT_FALSE(upgradeNameChecksumMatches("QX501073.upg", matches, error));
    EXPECT_FALSE(error.empty());
}

} // namespace
