// veltran-cli export as scripts use it: files written, options, exit codes.
#include "CliRun.h"
#include "CsvReader.h"
#include "PcSide.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

const fs::path kSamples = fs::path(VT_SOURCE_DIR) / "data/samples/export";

using Result = CliResult;

// stdout, then stderr after a "--" line.
Result cli(const TempDir& home, const std::string& args) {
    Result r = runCli(home.str(), args, "", Stderr::Apart);
    r.out += "--\n" + r.err;
    return r;
}

class ExportCli : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* n : {"TI_00201.RPT", "ISE00207.RPT", "KF_00209.RPT", "DR_00206.RPT"})
            fs::copy(kSamples / n, reports.path() / n);
    }
    std::string report(const char* name) const {
        return "'" + (reports.path() / name).string() + "'";
    }
    TempDir home, reports;
};

} // namespace

TEST_F(ExportCli, OptionsComeFromConfigIniAndFailuresExitOne) {
    ASSERT_EQ(cli(home, "config set Options csvSep 1").exitCode, 0);
    const Result r = cli(home, "export " + report("TI_00201.RPT") + " " + report("ISE00207.RPT") +
                                   " --summary-name sum.csv");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    const std::string dir = reports.str() + "/";
    EXPECT_EQ(r.out, dir + "TI_00201.csv\n" + dir + "ISE00207.csv\n" + dir + "sum.csv\n--\n");
    const auto sum = readCsv(reports.read("sum.csv"), ';');
    ASSERT_TRUE(sum);
    ASSERT_EQ(sum->size(), 3u);
    EXPECT_EQ((*sum)[1][1], "HCl, 0.1 N");

    // A drift report converts, but the summary leaves it out and says so.
    const Result drift = cli(home, "export " + report("DR_00206.RPT") + " " +
                                       report("TI_00201.RPT") + " --summary-name sum.csv");
    EXPECT_EQ(drift.exitCode, 0) << drift.out;
    EXPECT_NE(drift.out.find(
                  "DR_00206.RPT: left out of the summary (drift reports have no summary line)\n"),
              std::string::npos)
        << drift.out;

    const Result bad = cli(home, "export " + report("KF_00209.RPT") + " " + report("TI_00201.RPT"));
    EXPECT_EQ(bad.exitCode, 1) << bad.out;
    // The report leads its error: in a batch the missing CSV is plain.
    EXPECT_NE(bad.out.find("\nKF_00209.RPT: Export.inlineSearch: column\n"), std::string::npos)
        << bad.out;
    EXPECT_FALSE(fs::exists(reports.path() / "KF_00209.csv"));
}

TEST_F(ExportCli, CommandLineOptionsAndNoReplace) {
    TempDir out;
    out.write("TI_00201.csv", "old");
    const std::string two = report("TI_00201.RPT") + " " + report("ISE00207.RPT");
    const Result r = cli(home, "export " + two + " --to " + out.str() +
                                   " --dec-sep 1 --order 1 --no-replace --summary-name s");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("TI_00201.csv exists: kept (--no-replace)"), std::string::npos) << r.out;
    EXPECT_EQ(out.read("TI_00201.csv"), "old");
    const auto s = readCsv(out.read("s.csv"), ',');
    ASSERT_TRUE(s);
    ASSERT_EQ(s->size(), 2u); // the kept report adds no line
    EXPECT_EQ((*s)[1][2], "2,48");
    EXPECT_EQ(cli(home, "export " + two + " --to " + out.str()).exitCode, 0);
    EXPECT_NE(out.read("TI_00201.csv"), "old");
    // A missing folder is made.
    EXPECT_EQ(cli(home, "export " + two + " --to " + out.str() + "/new/sub").exitCode, 0);
    EXPECT_TRUE(fs::exists(out.path() / "new/sub/ISE00207.csv"));
}

TEST_F(ExportCli, UsageErrorsExitTwo) {
    for (const std::string& args : std::vector<std::string>{
             "export", "export --order 3 " + report("TI_00201.RPT"),
             "export --csv-sep x " + report("TI_00201.RPT"),
             "export --bogus 1 " + report("TI_00201.RPT"),
             "export " + report("TI_00201.RPT") + " --to " + reports.str() + "/TI_00201.RPT/x"}) {
        const Result r = cli(home, args);
        EXPECT_EQ(r.exitCode, 2) << args << "\n" << r.out;
        EXPECT_NE(r.out.find("--\n"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(reports.path() / "TI_00201.csv"));
}

TEST(ExportCliTitrator, ReportsAreFetchedIntoMemoryAndConverted) {
    TempDir home, root, out;
    fs::copy(fs::path(VT_SOURCE_DIR) / "data/samples/titrator", root.path(),
             fs::copy_options::recursive);
    simtest::SimProcess sim({"--model", "QX502", "--root", root.str()});
    const Result r =
        cli(home, "--port " + sim.pty() +
                      " export --from-titrator reports TI_00017.RPT TI_00018.RPT --to '" +
                      out.str() + "'");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_TRUE(fs::exists(out.path() / "TI_00017.csv")) << r.out;
    EXPECT_TRUE(fs::exists(out.path() / "TI_00018.csv")) << r.out;
    EXPECT_NE(r.out.find("summary_"), std::string::npos) << r.out;
    EXPECT_FALSE(fs::exists(out.path() / "TI_00017.RPT")); // no copy of the report is left

    EXPECT_EQ(cli(home, "export --from-titrator methods A.MTD --to '" + out.str() + "'").exitCode,
              2);
    EXPECT_EQ(cli(home, "export --from-titrator reports A.RPT").exitCode, 2);
    EXPECT_EQ(cli(home, "--port /dev/veltran-none export --from-titrator reports A.RPT --to '" +
                            out.str() + "'")
                  .exitCode,
              3);
}
