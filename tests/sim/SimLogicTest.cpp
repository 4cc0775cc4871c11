// The simulator's pure parts: answers, folders, device paths, options.
#include "PcSide.h"
#include "sim/DeviceFs.h"
#include "sim/Models.h"
#include "sim/Options.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace sim;
namespace fs = std::filesystem;

// What the application reads of "ver 0": characters 2..5 for QX502/QX532, else 2.. to the end.
static std::string versionTextRead(const Model& m, const std::string& answer) {
    return versionTextOf(m, answer);
}

TEST(SimModels, VersionAnswerGivesTheFirmwareToTheApplicationForEveryModel) {
    for (const Model& m : allModels()) {
        for (const char* fw : {"3", "1.5", "2.10", "0.99"}) {
            const Firmware firmware = parseFirmware(fw);
            ASSERT_TRUE(firmware.number) << fw;
            const std::string read = versionTextRead(m, versionAnswer(m, firmware));
            EXPECT_DOUBLE_EQ(std::strtod(read.c_str(), nullptr), *firmware.number)
                << m.idText << " " << fw << " -> " << versionAnswer(m, firmware);
        }
    }
}

TEST(SimModels, NonNumericFirmwareStaysNonNumericInWhatIsRead) {
    for (const char* fw : {"3.0a", "-1", "1e3"})
        EXPECT_EQ(parseFirmware(fw).text, fw); // answered verbatim
    for (const char* fw : {"garbage", "", "x"}) {
        const Firmware firmware = parseFirmware(fw);
        EXPECT_FALSE(firmware.number) << fw;
        for (const Model& m : allModels()) {
            const std::string read = versionTextRead(m, versionAnswer(m, firmware));
            EXPECT_EQ(read.find_first_of("0123456789"), std::string::npos) << m.idText << " " << fw;
        }
    }
}

TEST(SimModels, FoldersFollowModelAndEarlyFirmware) {
    using V = std::vector<std::string>;
    const V plain{"methods", "reports"};
    EXPECT_EQ(modelFolders(*findModel("QX501"), parseFirmware("1.00")), plain);
    EXPECT_EQ(modelFolders(*findModel("QX502"), parseFirmware("1.99")), plain);
    EXPECT_EQ(modelFolders(*findModel("QX501"), parseFirmware("2.00")),
              (V{"QX501/methods", "QX501/reports"}));
    EXPECT_EQ(modelFolders(*findModel("QX501"), parseFirmware("junk")),
              (V{"QX501/methods", "QX501/reports"}));
    EXPECT_EQ(modelFolders(*findModel("QX503"), parseFirmware("1.50")),
              (V{"QX503/methods", "QX503/reports"}));
    EXPECT_EQ(modelFolders(*findModel("QX532"), parseFirmware("3.00")),
              (V{"QX532/methods", "QX532/reports", "QX532/sequence", "QX532/asreport"}));
    EXPECT_EQ(findModel("QX502C"), nullptr);
}

TEST(SimDeviceFs, RefusesUnsafePaths) {
    const std::string control1 = "\\a\x01"
                                 "b",
                      control2 = "\\a\x7f";
    for (const std::string& bad :
         {std::string(), std::string("\\"), std::string("\\Q\\..\\x"), std::string("\\.\\a"),
          std::string("\\a/b"), control1, control2, std::string("\\C:\\a"), std::string("D:\\a"),
          std::string("\\a\\b:c"), std::string("C:")}) {
        EXPECT_FALSE(DeviceFs::splitPath(bad)) << bad;
    }
    EXPECT_EQ(*DeviceFs::splitPath("\\QX502\\\\methods\\A.MTD"),
              (std::vector<std::string>{"QX502", "methods", "A.MTD"}));
    // Drive C: is the titrator's own root.
    EXPECT_EQ(*DeviceFs::splitPath("c:\\UPGRADE\\upgrade.exe"),
              (std::vector<std::string>{"UPGRADE", "upgrade.exe"}));
}

TEST(SimDeviceFs, MatchesCaseInsensitivelyAndNeedsTheFolder) {
    TempDir dir;
    const DeviceFs files(dir.path());
    ASSERT_TRUE(files.createFolders("QX502/methods"));
    ASSERT_TRUE(files.createFolders("qx502/Methods")); // reuses, no twin folder
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    simtest::writeFile(dir.str() + "/QX502/methods/Ab.mtd", "x");

    EXPECT_EQ(files.existingFile("\\qx502\\METHODS\\aB.MTD"),
              fs::path(dir.str() + "/QX502/methods/Ab.mtd"));
    EXPECT_FALSE(files.existingFile("\\QX502\\methods")); // a folder
    EXPECT_FALSE(files.existingFile("\\QX502\\methods\\none.mtd"));
    EXPECT_EQ(files.targetFile("\\QX502\\METHODS\\AB.MTD"),
              fs::path(dir.str() + "/QX502/methods/Ab.mtd")); // replaced under its own name
    EXPECT_EQ(files.targetFile("\\QX502\\methods\\New.mtd"),
              fs::path(dir.str() + "/QX502/methods/New.mtd"));
    EXPECT_FALSE(files.targetFile("\\QX502\\nofolder\\a.mtd"));
    EXPECT_FALSE(files.targetFile("\\QX502\\methods"));
}

TEST(SimOptions, DefaultsAliasesAndErrors) {
    const auto defaults = parseOptions({});
    ASSERT_TRUE(defaults.options);
    EXPECT_EQ(defaults.options->model->idText, "QX502");
    EXPECT_EQ(defaults.options->firmware.text, "3.00");
    EXPECT_EQ(defaults.options->baud, 0u);

    const auto set = parseOptions({"--model", "QX534", "--firmware=1.5", "--baud", "19200",
                                   "--stall", "250", "--stall-at", "3", "--hangup-after=2"});
    ASSERT_TRUE(set.options) << set.error;
    EXPECT_EQ(set.options->model->idText, "QX534");
    EXPECT_EQ(set.options->firmware.text, "1.50");
    EXPECT_EQ(set.options->faults.stallMs, 250u);
    EXPECT_EQ(set.options->faults.stallAt, 3u);
    EXPECT_EQ(set.options->faults.hangupAfter, 2u);

    EXPECT_EQ(set.options->info, "QX534 I534v1.50 S/N 0412"); // follows model and firmware
    EXPECT_EQ(set.options->verdict, "ok");
    EXPECT_EQ(set.options->slots.of(SlotKind::Sequences), SlotLimits::kDefault);

    const auto upgrade =
        parseOptions({"--slots", "7", "--slots=user=0", "--info", "", "--verdict", "bad file"});
    ASSERT_TRUE(upgrade.options) << upgrade.error;
    EXPECT_EQ(upgrade.options->slots.of(SlotKind::UserMethods), 0u);
    EXPECT_EQ(upgrade.options->slots.of(SlotKind::TrayReports), 7u);
    EXPECT_EQ(upgrade.options->info, "");
    EXPECT_EQ(upgrade.options->verdict, "bad file");

    const auto b = parseOptions({"--model", "QX502B"});
    ASSERT_TRUE(b.options);
    EXPECT_EQ(b.options->model->idText, "QX502");
    EXPECT_EQ(b.options->firmware.text, "2.10");

    for (const auto& bad :
         std::vector<std::vector<std::string>>{{"--model", "QX505"},
                                               {"--model", "QX502B", "--firmware", "3.00"},
                                               {"--baud", "0"},
                                               {"--drop-ack", "x"},
                                               {"--drop-ack", "0"},
                                               {"--corrupt-frame"},
                                               {"--bogus"},
                                               {"--deaf-after", "-1"},
                                               {"--slots", "10000"},
                                               {"--slots", "methods=3"},
                                               {"--slots", "user="},
                                               {"--verdict"}}) {
        EXPECT_FALSE(parseOptions(bad).options) << bad[0];
    }
}
