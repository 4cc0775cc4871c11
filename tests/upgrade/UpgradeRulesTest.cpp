// The upgrade's link-free rules: the model in an "info" answer, the progress
// percent and the largest file a transfer can count.
#include "upgrade/UpgradeRules.h"

#include "TempDir.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

TEST(UpgradeRules, ModelIdentificationLiesBetweenIAndV) {
    const std::pair<const char*, const char*> cases[] = {{"QX502 I502v3.00 S/N 0412", "502"},
                                                         {"QX531 I531v2.10", "531"},
                                                         {"Iv", ""},
                                                         {"QX502 I502", ""}, // no "v": no model
                                                         {"QX502 i502v3.00", ""}, // no capital "I"
                                                         {"", ""}};
    for (const auto& [info, model] : cases)
        EXPECT_EQ(upgradeModelIdentification(info), model) << info;
}

TEST(UpgradeRules, ProgressRoundsHalvesToEven) {
    const std::pair<double, int> cases[] = {{0.0, 0},    {0.125, 12},   {0.375, 38},
                                            {0.625, 62}, {1.0 / 3, 33}, {1.0, 100}};
    for (const auto& [fraction, percent] : cases)
        EXPECT_EQ(upgradeProgressPercent(fraction), percent) << fraction;
}

TEST(UpgradeRules, TheLargestUsableFileHas65535Blocks) {
    TempDir dir;
    constexpr std::uintmax_t kLimit = 65535u * 256;
    for (const std::uintmax_t size : {kLimit, kLimit + 1}) {
        const auto file = dir.write("fw.upg", "x");
        std::filesystem::resize_file(file, size); // sparse: no real bytes written
        int number = 0;
        std::string reason;
        EXPECT_EQ(upgradeFileUsable(file, number, reason), size == kLimit) << size;
        EXPECT_EQ(number == EFBIG, size > kLimit) << reason;
    }
}

} // namespace
