// veltran-cli print: a PDF through the same engine as the Print command, and
// the refusals and errors a script sees.
#include "CliRun.h"
#include "TempDir.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

using Result = CliResult;

Result run(const std::string& command) {
    return runCommand(command);
}

Result print(const TempDir& home, const std::string& args) {
    // No display: the command must find its own way to fonts.
    return run("cd '" + home.str() + "' && env -u DISPLAY -u QT_QPA_PLATFORM VELTRAN_HOME='" +
               home.str() + "' " VT_BIN_DIR "/veltran-cli print " + args + " 2>&1");
}

const std::string kSamples = VT_SOURCE_DIR "/data/samples/pc/";

} // namespace

TEST(CliPrint, WritesThePdfOfAReportWithItsCurveAfterTheText) {
    TempDir home;
    const Result r = print(home, kSamples + "TI_00031.RPT --pdf report.pdf");
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("report.pdf: 3 pages\n"), std::string::npos) << r.out;
    const Result text = run("pdftotext -layout '" + home.str() + "/report.pdf' -");
    EXPECT_NE(text.out.find("Result: 7.29 g/L"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Page 2 of 3"), std::string::npos);
    const Result curve = run("pdftotext -f 3 -l 3 '" + home.str() + "/report.pdf' -");
    for (const char* shown : {"EP1 9.695", "Volume [mL]", "Red wine lot 25-040", "Page 3 of 3"})
        EXPECT_NE(curve.out.find(shown), std::string::npos) << shown << "\n" << curve.out;

    // Without --pdf the file's name with ".pdf", in the current folder.
    EXPECT_EQ(print(home, kSamples + "SEQ0003.MTD").exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(home.path() / "SEQ0003.pdf"));
}

TEST(CliPrint, RefusalsAndFailuresExitTwoAndWriteNothing) {
    TempDir home;
    home.write("NOTES.TXT", "hello\n");
    home.write("R0001.RPT", "x\n");
    home.write("print.rpc", "[Page]\nSize=Huge\n"); // the data folder's template wins
    struct Case {
        std::string args;
        const char* shown;
    };
    for (const Case& c : {
             Case{"NOTES.TXT --pdf out.pdf", "You cannot print this type of file."},
             {"R0001.RPT --pdf", "--pdf needs a value"},
             {"R0001.RPT --out out.pdf", "unknown option --out"},
             {"R0001.RPT --pdf out.pdf", "Size=Huge"},
         }) {
        const Result r = print(home, c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args;
        EXPECT_NE(r.out.find(c.shown), std::string::npos) << r.out;
        EXPECT_FALSE(std::filesystem::exists(home.path() / "out.pdf")) << c.args;
    }
}
