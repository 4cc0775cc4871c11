// The upgrade-file name checksum (characters 7 and 8 of an upgrade file name).
#include "upgrade/UpgradeName.h"

#include "LibraryEnv.h"

#include <gtest/gtest.h>

namespace {

TEST(UpgradeNameText, AlwaysTwoDigitsFrom0To99) {
    const std::pair<std::int16_t, const char*> cases[] = {
        {0, "00"},     {5, "05"},      {10, "10"},    {99, "99"},    {100, "00"},
        {31173, "73"}, {-1, "99"},     {-2, "98"},    {-99, "01"},   {-100, "00"},
        {-8500, "00"}, {-31184, "16"}, {32767, "67"}, {-32768, "32"}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(upgradeNameChecksumText(value), text) << value;
    }
}

TEST(UpgradeName, ExpectedChecksumOfSixCharacters) {
    LibraryEnv env;
    // GetStringChecksum of each name, worked out independently, in the comment.
    const std::pair<const char*, const char*> cases[] = {
        {"QX5010", "73"}, // 31173
        {"QX5011", "08"}, // 27108: padded
        {"QX50D9", "00"}, // 8000
        {"QX5040", "16"}, // -31184: counted up from 100
        {"QX50E6", "98"}, // -8802
        {"qx5010", "29"}, // 17529: case matters
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

TEST(UpgradeName, FileNameMatch) {
    LibraryEnv env;
    const std::pair<const char*, bool> cases[] = {
        {"QX501073.upg", true},
        {"/media/usb/firmware/QX501073.upg", true},
        {"QX501073", true}, // nothing after the checksum
        {"QX501108.upg", true},
        {"QX504016.UPG", true}, // negative checksum
        {"QX501074.upg", false},
        {"QX50118.upg", false},              // unpadded form of "08"
        {"QX5040-84.upg", false},            // signed form of a negative remainder
        {"/x/QX501073/QX501074.upg", false}, // folders do not matter
        {"QX5010.upg", false},
        {"QX50107", false},      // too short to hold two characters
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
