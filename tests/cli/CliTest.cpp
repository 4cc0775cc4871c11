// veltran-cli as scripts use it: output lines and exit codes.
#include "CliRun.h"
#include "PcSide.h"
#include "core/Version.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using Result = CliResult;

Result cli(const std::string& home, const std::string& args, const std::string& env = "") {
    return runCli(home, args, env);
}

} // namespace

TEST(CliIdentify, PrintsTheIdentityLine) {
    TempDir home;
    ASSERT_EQ(cli(home.str(), "config set Options Debug True").exitCode, 0);
    simtest::SimProcess sim({"--model", "QX502", "--firmware", "2.10", "--persist"});
    // A German PC reads "2.10" as two point one all the same.
    const Result r = cli(home.str(), "--port " + sim.pty() + " identify", "LC_ALL=de_DE.UTF-8");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_EQ(r.out,
              "model=QX502 typeCode=2 titType=1 modelCode=QX502B series=QX50x firmware=2.10\n");
    // Debug=True traces the exchanges as the window does.
    EXPECT_NE(home.read("debug.log").find(" : !ver 4"), std::string::npos);

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

    EXPECT_EQ(cli(home.str(), "config get Options NoSuchKey").exitCode, 1);
    EXPECT_EQ(cli(home.str(), "config get Options CrtPath").exitCode, 0); // there, but empty
    const Result speed = cli(home.str(), "config set Options Speed 1200");
    EXPECT_EQ(speed.exitCode, 2);
    EXPECT_EQ(speed.out, "Speed: \"1200\" is not allowed; use 4800, 9600 or 19200\n");
    EXPECT_EQ(cli(home.str(), "config get Options Speed").out, "19200\n");
}

// The parser's contract: --help and --version on stdout with 0; a usage error as
// one line naming it, then the command's usage, on stderr with 2.
TEST(CliUsage, HelpVersionAndUsageErrors) {
    TempDir home;
    const std::string version = appVersionText() + "\n";
    struct Case {
        std::string command; // a program in the build's bin folder and its words
        int exitCode;
        bool onStdout; // the other stream stays empty
        std::vector<std::string> shown;
    };
    for (const Case& c : {
             Case{"veltran-cli --version", 0, true, {"veltran-cli " + version}},
             Case{"veltran-sim --version", 0, true, {"veltran-sim " + version}},
             // No display: a QApplication made first would abort.
             Case{"veltran --version", 0, true, {"veltran " + version}},
             Case{"veltran --help", 0, true, {"Usage: veltran [OPTIONS]", "--version"}},
             Case{"veltran-cli render --help",
                  0,
                  true,
                  {"Usage: veltran-cli render [OPTIONS] FILE"}},
             Case{"veltran-cli --help", 0, true, {"upgrade-name", "--replace", "Exit codes:"}},
             Case{"veltran-cli", 2, false, {"Usage: veltran-cli [OPTIONS] COMMAND"}},
             Case{"veltran-cli render X.MTD --bogus 1",
                  2,
                  false,
                  {"unknown option --bogus\n", "Usage: veltran-cli render"}},
             Case{"veltran-cli put reports X.RPT --replace",
                  2,
                  false,
                  {"--replace needs a value\n", "Usage: veltran-cli put"}},
             Case{"veltran-cli --port",
                  2,
                  false,
                  {"--port needs a value\n", "Usage: veltran-cli ["}},
             Case{"veltran-cli --port tcp://127.0.0.1:47001/x identify",
                  2,
                  false,
                  {"--port: \"tcp://127.0.0.1:47001/x\" is not a network port address: use "
                   "tcp://HOST:PORT or rfc2217://HOST:PORT\n",
                   "Usage: veltran-cli ["}},
         }) {
        const std::string errFile = home.str() + "/stderr";
        CliResult r = runCommand(
            "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb VELTRAN_HOME='" + home.str() +
            "' " VT_BIN_DIR "/" + c.command + " 2>'" + errFile + "' </dev/null");
        r.err = home.read("stderr");
        EXPECT_EQ(r.exitCode, c.exitCode) << c.command << "\n" << r.out << r.err;
        const std::string& shown = c.onStdout ? r.out : r.err;
        for (const std::string& fragment : c.shown)
            EXPECT_NE(shown.find(fragment), std::string::npos) << c.command << ": " << fragment;
        EXPECT_EQ(c.onStdout ? r.err : r.out, "") << c.command;
    }
}
