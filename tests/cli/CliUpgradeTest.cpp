// veltran-cli upgrade against the simulated titrator, with the sample upgrade files.
#include "CliRun.h"
#include "PcSide.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

const std::string kSamples = VT_SOURCE_DIR "/data/samples/pc/upgrade/";
const std::string kGood = kSamples + "50231096.upg";    // announced as -16713
const std::string kBadName = kSamples + "50231097.upg"; // name checksum is 96

using Result = CliResult;

Result upgrade(const TempDir& home, const std::string& port, const std::string& file) {
    return runCli(home.str(), "--port '" + port + "' upgrade '" + file + "'", "", Stderr::Apart);
}

TEST(CliUpgrade, AcceptedFileArrivesByteForByte) {
    TempDir home, root;
    simtest::SimProcess sim(
        {"--model", "QX502", "--root", root.str(), "--log", home.str() + "/log"});
    const Result r = upgrade(home, sim.pty(), kGood);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "ok\n");
    EXPECT_NE(r.err.find("upgrade: 100 %"), std::string::npos) << r.err;
    EXPECT_EQ(simtest::readFile(root.str() + "/UPGRADE/upgrade.exe"), simtest::readFile(kGood));
    EXPECT_NE(simtest::readFile(home.str() + "/log")
                  .find("info \nupgcs -16713\nput C:\\UPGRADE\\upgrade.exe\nupgcheck \n"),
              std::string::npos);
}

TEST(CliUpgrade, RejectedVerdictAndRefusedFilesExitOne) {
    TempDir home;
    simtest::SimProcess rejecting({"--model", "QX502", "--verdict", "flash error"});
    const Result rejected = upgrade(home, rejecting.pty(), kGood);
    EXPECT_EQ(rejected.exitCode, 1);
    EXPECT_EQ(rejected.out, "flash error\n");
    EXPECT_NE(rejected.err.find("did not accept"), std::string::npos) << rejected.err; // 389

    // A wrong name checksum is refused before the port is even opened.
    simtest::SimProcess sim({"--model", "QX502", "--log", home.str() + "/log"});
    const Result badName = upgrade(home, sim.pty(), kBadName);
    EXPECT_EQ(badName.exitCode, 1);
    EXPECT_NE(badName.err.find("name of this upgrade file is not valid"), std::string::npos);
    EXPECT_EQ(simtest::readFile(home.str() + "/log"), "");
}

TEST(CliUpgrade, LinkAndUsageErrors) {
    TempDir home;
    EXPECT_EQ(upgrade(home, "/dev/veltran-no-such-port", kGood).exitCode, 3);
    EXPECT_EQ(upgrade(home, "/dev/null", "").exitCode, 1);                      // no file chosen
    simtest::SimProcess unplugged({"--model", "QX502", "--hangup-after", "3"}); // after identifying
    const Result r = upgrade(home, unplugged.pty(), kGood);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("Communication error 3"), std::string::npos) << r.err;
}

} // namespace
