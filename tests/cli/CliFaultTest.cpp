// veltran-cli against a simulated titrator that refuses, fails or goes deaf:
// the exit code of each command and the line stderr gives the user.
#include "CliRun.h"
#include "PcSide.h"
#include "ScopedEnv.h"
#include "cli/CommandLine.h"
#include "core/AtomicFile.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const fs::path kSamples = fs::path(VT_SOURCE_DIR) / "data/samples";

struct Fault {
    std::string name;
    std::vector<std::string> sim; // veltran-sim's fault options
    std::string before;           // veltran-cli words run first, without the link
    std::string command;          // run in a PC folder that holds TI_00031.RPT and TI_00017.RPT
    int exitCode;
    std::string stderrHas;
    std::string stdoutHas = ""; // with --json
};

const std::string kRefusedFirmware = "does not support the titrator firmware 3.00";

const Fault kFaults[] = {
    {"ListRefusedFirmware",
     {},
     "config set Versions QX502_MAX 2.0",
     "list reports",
     4,
     kRefusedFirmware},
    {"GetRefusedFirmware",
     {},
     "config set Versions QX502_MAX 2.0",
     "get reports TI_00017.RPT",
     4,
     kRefusedFirmware},
    {"PutRefusedFirmware",
     {},
     "config set Versions QX502_MAX 2.0",
     "put reports TI_00031.RPT",
     4,
     kRefusedFirmware},
    {"DeleteRefusedFirmware",
     {},
     "config set Versions QX502_MAX 2.0",
     "delete reports TI_00017.RPT --yes",
     4,
     kRefusedFirmware},
    {"ExportRefusedFirmware",
     {},
     "config set Versions QX502_MAX 2.0",
     "export --from-titrator reports TI_00017.RPT --to .",
     4,
     kRefusedFirmware},
    {"UpgradeRefusedFirmware",
     {},
     "config set Versions QX502_MAX 2.0",
     "upgrade " + (kSamples / "pc/upgrade/50231096.upg").string(),
     4,
     kRefusedFirmware},
    // echo, "ver 4", "ver 0", "info", "extdir"; then silence: the link check ends the move.
    {"DeafDuringMove",
     {"--deaf-after", "5"},
     "",
     "get reports TI_00018.RPT --move",
     3,
     "TI_00018.RPT: Communication error 17\n"},
    // The link goes while the first of three is fetched: the other two were
    // never tried, which is no skip.
    {"DeafDuringMoveOfThree",
     {"--deaf-after", "5"}, // echo, "ver 4", "ver 0", "info", "extdir"
     "",
     "get reports TI_00018.RPT TI_00020.RPT MV_00019.RPT --move --json",
     3,
     "TI_00020.RPT: The link to the titrator failed\nMV_00019.RPT: The link to the titrator "
     "failed\n0 moved, 0 skipped, 3 failed\n",
     R"("entry":"MV_00019.RPT","file":"MV_00019.RPT","operation":"move","path":"./MV_00019.RPT",)"
     R"("reason":"The link to the titrator failed","result":"failed")"},
    // The header frame is not echoed: the file fails, the titrator still answers.
    {"PutWithoutEcho",
     {"--drop-echo", "1"},
     "",
     "put reports TI_00031.RPT",
     1,
     "TI_00031.RPT: Communication error 10\n"},
    // Without a terminal the PC's TI_00017.RPT is kept, and stderr says why.
    {"GetOneMissing",
     {},
     "",
     "get reports TI_00017.RPT NOPE.RPT",
     1,
     "NOPE.RPT: not on the titrator\nTI_00017.RPT: skipped, it exists on the PC (--replace all "
     "replaces it)\n0 copied, 1 skipped, 1 failed\n"},
    {"GetReplacesWhenAsked",
     {},
     "",
     "get reports TI_00017.RPT TI_00018.RPT --replace all",
     0,
     "2 copied, 0 skipped, 0 failed\n"},
    {"PutTrayReports",
     {},
     "",
     "put tray-reports TRAY0001.RPT",
     2,
     "tray sets are written only by the titrator\n"},
};

class CliFault : public ::testing::TestWithParam<Fault> {};

void PrintTo(const Fault& f, std::ostream* os) {
    *os << f.name;
}

} // namespace

TEST_P(CliFault, ExitCodeAndWhatStderrSays) {
    const Fault& f = GetParam();
    TempDir home, root, pc;
    fs::copy(kSamples / "titrator", root.path(), fs::copy_options::recursive);
    fs::copy(kSamples / "pc/TI_00031.RPT", pc.path() / "TI_00031.RPT");
    pc.write("TI_00017.RPT", "an older copy");
    std::vector<std::string> simArgs{"--model", "QX502", "--root", root.str()};
    simArgs.insert(simArgs.end(), f.sim.begin(), f.sim.end());
    simtest::SimProcess sim(simArgs);
    if (!f.before.empty()) {
        ASSERT_EQ(runCli(home.str(), f.before).exitCode, 0) << f.before;
    }

    const CliResult r = runCli(home.str(), "--port " + sim.pty() + " " + f.command,
                               "cd '" + pc.str() + "' &&", Stderr::Apart);
    EXPECT_EQ(r.exitCode, f.exitCode) << r.err;
    EXPECT_NE(r.err.find(f.stderrHas), std::string::npos) << r.err;
    EXPECT_NE(r.out.find(f.stdoutHas), std::string::npos) << r.out;
}

INSTANTIATE_TEST_SUITE_P(Rows, CliFault, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return info.param.name; });

// In-process, for the disk-full seam: the report asked for and the system's
// reason, though its picture is the file that did not fit.
TEST(CliFullDisk, NamesTheReportAndTheSystemsReason) {
    TempDir home, root, pc;
    fs::copy(kSamples / "titrator", root.path(), fs::copy_options::recursive);
    simtest::SimProcess sim({"--model", "QX502", "--root", root.str()});
    const ScopedEnv env("VELTRAN_HOME", home.str());
    std::vector<std::string> words{"veltran-cli", "--port",       sim.pty(), "get",
                                   "reports",     "TI_00017.RPT", "--to",    pc.str()};
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    std::ostringstream out, err;
    AtomicFile::simulateWriteError("TI_00017.BMP", ENOSPC);
    const int code = runCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
    AtomicFile::simulateWriteError("", 0);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(err.str(), "TI_00017.RPT: No space left on device\n");
}
