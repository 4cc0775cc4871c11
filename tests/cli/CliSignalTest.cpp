// Ctrl-C and SIGTERM in the middle of a transfer: the command stops as Abort
// does, leaves no temporary file, exits 128 + the signal, and the titrator
// answers the next command at once.
#include "CliRun.h"
#include "PcSide.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct Interrupted {
    std::string name;
    std::string command;  // run in the PC folder
    std::string underway; // the sim's log line that starts the transfer
    int signal;
    std::string next; // a command that must then succeed
};

// An upgrade file the sample name rule accepts ("upgrade-name 502300" is 93),
// large enough to be still under way when the signal comes.
const std::string kUpgradeFile = "50230093.upg";

const Interrupted kCases[] = {
    {"CtrlCDuringGet", "get reports BIG.RPT", "get \\QX502\\reports\\BIG.RPT", SIGINT,
     "list reports"},
    {"SigtermDuringUpgrade", "upgrade " + kUpgradeFile, "put C:\\UPGRADE\\upgrade.exe", SIGTERM,
     "identify"},
};

class CliSignal : public ::testing::TestWithParam<Interrupted> {};

void PrintTo(const Interrupted& c, std::ostream* os) {
    *os << c.name;
}

bool temporaryFileIn(const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().starts_with(".veltran-"))
            return true;
    return false;
}

} // namespace

TEST_P(CliSignal, StopsCleanlyAndTheNextCommandWorks) {
    const Interrupted& c = GetParam();
    TempDir home, root, pc;
    root.write("QX502/reports/BIG.RPT", simtest::awkwardBytes(40000));
    pc.write(kUpgradeFile, simtest::awkwardBytes(20000));
    const std::string log = home.str() + "/sim.log";
    simtest::SimProcess sim(
        {"--model", "QX502", "--root", root.str(), "--baud", "19200", "--log", log, "--persist"});
    const std::string port = "--port " + sim.pty() + " ";

    const pid_t cli = startCli(home.str(), pc.str(), port + c.command);
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (simtest::readFile(log).find(c.underway) == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(50ms);
    std::this_thread::sleep_for(1s); // blocks are moving
    if (c.signal == SIGINT) {
        EXPECT_TRUE(temporaryFileIn(pc.path())) << "the get was not under way";
    }
    ::kill(cli, c.signal);

    EXPECT_EQ(exitCodeWithin(cli, 60s), 128 + c.signal) << home.read("stderr");
    EXPECT_FALSE(temporaryFileIn(pc.path()));
    EXPECT_FALSE(fs::exists(pc.path() / "BIG.RPT"));
    EXPECT_FALSE(fs::exists(root.path() / "UPGRADE/upgrade.exe")); // nothing half-sent is kept
    // A titrator still inside the abandoned transfer would not answer its echoes.
    const CliResult next = runCli(home.str(), port + c.next);
    EXPECT_EQ(next.exitCode, 0) << next.out;
}

INSTANTIATE_TEST_SUITE_P(Cases, CliSignal, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return info.param.name; });
