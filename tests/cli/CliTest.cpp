// veltran-cli as scripts use it: output lines and exit codes.
#include "CliRun.h"
#include "PcSide.h"

#include <gtest/gtest.h>

namespace {

using Result = CliResult;

Result cli(const std::string& home, const std::string& args, const std::string& env = "") {
    return runCli(home, args, env);
}

} // namespace

TEST(CliIdentify, PrintsTheIdentityLine) {
    TempDir home;
    simtest::SimProcess sim({"--model", "QX502", "--firmware", "2.10", "--persist"});
    // A German PC reads "2.10" as two point one all the same.
    const Result r = cli(home.str(), "--port " + sim.pty() + " identify", "LC_ALL=de_DE.UTF-8");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(r.out,
              "model=QX502 typeCode=2 titType=1 modelCode=QX502B series=QX50x firmware=2.10\n");

    simtest::SimProcess sim2({"--model", "QX532"});
    const Result r2 = cli(home.str(), "--port " + sim2.pty() + " --speed 9600 identify");
    EXPECT_EQ(r2.exitCode, 0) << r2.out;
    EXPECT_EQ(r2.out,
              "model=QX532 typeCode=32 titType=1 modelCode=QX502C series=QX53x firmware=3.00\n");
}

TEST(CliIdentify, NoLinkExitsThreeWithTheStatusText) {
    TempDir home;
    const Result missing = cli(home.str(), "--port /dev/veltran-no-such-port identify");
    EXPECT_EQ(missing.exitCode, 3);
    EXPECT_FALSE(missing.out.empty());

    simtest::SimProcess silent({"--stall", "20000", "--stall-at", "1"});
    const Result r = cli(home.str(), "--port " + silent.pty() + " identify");
    EXPECT_EQ(r.exitCode, 3) << r.out;
    EXPECT_NE(r.out.find("COM:"), std::string::npos) << r.out;
}

TEST(CliIdentify, AHangUpDuringIdentificationIsALinkError) {
    TempDir home;
    simtest::SimProcess sim({"--model", "QX502", "--hangup-after", "2"}); // echo, "ver 4"
    const Result r = cli(home.str(), "--port " + sim.pty() + " identify");
    EXPECT_EQ(r.exitCode, 3) << r.out;
}

TEST(CliIdentify, AFirmwareThatCouldNotBeReadIsSaidOnStderr) {
    TempDir home;
    simtest::SimProcess sim({"--model", "QX501", "--firmware", ""});
    const Result r = cli(home.str(), "--port " + sim.pty() + " identify");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("did not report its firmware version"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("model=QX501 typeCode=1"), std::string::npos) << r.out;
}

TEST(CliIdentify, RefusedFirmwareExitsFour) {
    TempDir home;
    ASSERT_EQ(cli(home.str(), "config set Versions QX503_MAX 2.0").exitCode, 0);
    simtest::SimProcess sim({"--model", "QX503", "--firmware", "3.00"});
    const Result r = cli(home.str(), "--port " + sim.pty() + " identify");
    EXPECT_EQ(r.exitCode, 4) << r.out;

    // The message in the configured language, as UTF-8 on the terminal.
    ASSERT_EQ(cli(home.str(), "config set Options Language 5").exitCode, 0);
    simtest::SimProcess sim2({"--model", "QX503", "--firmware", "3.00"});
    const Result de = cli(home.str(), "--port " + sim2.pty() + " identify");
    EXPECT_EQ(de.exitCode, 4) << de.out;
    EXPECT_NE(de.out.find("unterst\xC3\xBCtzt die Titrator-Firmware 3.00 nicht"), std::string::npos)
        << de.out;
}

TEST(CliUsage, OptionsAndCommandsAreChecked) {
    TempDir home;
    EXPECT_EQ(cli(home.str(), "").exitCode, 2);
    EXPECT_EQ(cli(home.str(), "frobnicate").exitCode, 2);
    EXPECT_EQ(cli(home.str(), "--com abc identify").exitCode, 2);
    EXPECT_EQ(cli(home.str(), "--port").exitCode, 2);
    EXPECT_EQ(cli(home.str(), "identify extra").exitCode, 2);
    EXPECT_EQ(cli(home.str(), "--help").exitCode, 0);
}

TEST(CliConfig, SetGetKeepsTheRestOfTheFile) {
    TempDir home;
    EXPECT_EQ(cli(home.str(), "config set Ports 3 /dev/ttyUSB0").exitCode, 0);
    EXPECT_EQ(cli(home.str(), "config get ports 3").out, "/dev/ttyUSB0\n");
    // The seeded defaults are still there.
    EXPECT_EQ(cli(home.str(), "config get LanguageFiles 1").out, "lang/english.lng\n");
    EXPECT_EQ(cli(home.str(), "config path").out, home.str() + "/config.ini\n");
    EXPECT_EQ(cli(home.str(), "config set Options").exitCode, 2);
}
