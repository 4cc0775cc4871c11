// list, get, put and delete from the command line: exit codes and what the
// simulated titrator was told.
#include "CliRun.h"
#include "PcSide.h"

#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>

namespace {

using Result = CliResult;

Result cli(const std::string& home, const std::string& args) {
    return runCli(home, args);
}

std::string lastLines(const std::string& log, int n) {
    std::string text = simtest::readFile(log);
    std::size_t at = text.size();
    for (int i = 0; i <= n && at != std::string::npos && at > 0; ++i)
        at = text.rfind('\n', at - 1);
    return at == std::string::npos ? text : text.substr(at + 1);
}

} // namespace

TEST(CliFiles, ListGetPutDeleteWithTheirExitCodes) {
    TempDir dir;
    const std::string root = dir.str() + "/root", log = dir.str() + "/sim.log";
    dir.write("root/QX502/reports/TI_00001.RPT", "\tQX502 report\r\n");
    dir.write("root/QX502/reports/TI_00001.LOG", "log");
    dir.write("root/QX502/reports/TI_00002.RPT", "\tQX502 report\r\n");
    simtest::SimProcess sim({"--model", "QX502", "--root", root, "--log", log, "--persist"});
    const std::string home = dir.str() + "/home", port = "--port " + sim.pty() + " ";

    const Result list = cli(home, port + "list reports");
    EXPECT_EQ(list.exitCode, 0) << list.out;
    EXPECT_NE(list.out.find("TI_00001.RPT "), std::string::npos) << list.out;

    const Result get =
        cli(home, port + "get reports TI_00001.RPT NONE.RPT --to " + dir.str() + "/pc");
    EXPECT_EQ(get.exitCode, 1) << get.out; // NONE.RPT is not there
    EXPECT_NE(get.out.find("NONE.RPT: not on the titrator"), std::string::npos);
    EXPECT_EQ(dir.read("pc/TI_00001.LOG"), "log");

    const std::string file = dir.str() + "/pc/TI_00001.RPT";
    EXPECT_EQ(cli(home, port + "put reports " + file + " --replace none").exitCode, 1);
    EXPECT_EQ(lastLines(log, 1), "extdir \\QX502\\reports\\*.rpt\n");
    EXPECT_EQ(cli(home, port + "put reports " + file + " --replace all").exitCode, 0);
    EXPECT_NE(simtest::readFile(log).find("put \\QX502\\reports\\TI_00001.LOG"), std::string::npos);

    const Result unconfirmed = cli(home, port + "delete reports TI_00002.RPT");
    EXPECT_EQ(unconfirmed.exitCode, 1);
    EXPECT_NE(unconfirmed.out.find("(answered no)"), std::string::npos);
    EXPECT_EQ(
        cli(home, port + "get reports TI_00002.RPT --move --to " + dir.str() + "/pc").exitCode, 0);
    EXPECT_FALSE(std::ifstream(root + "/QX502/reports/TI_00002.RPT").good());
    EXPECT_EQ(cli(home, port + "delete reports TI_00001.RPT --yes").exitCode, 0);
    EXPECT_EQ(lastLines(log, 4),
              "dir \\QX502\\reports\\TI_00001.*\ndel \\QX502\\reports\\TI_00001.LOG\n"
              "del \\QX502\\reports\\TI_00001.RPT\nextdir \\QX502\\reports\\*.rpt\n");

    EXPECT_EQ(cli(home, port + "put bogus x").exitCode, 2);
    EXPECT_EQ(cli(home, "--port /dev/veltran-no-such-port list methods").exitCode, 3);
}
