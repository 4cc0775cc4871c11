// veltran-cli render: exit codes, the UTF-8 terminal text and the exact --out bytes.
#include "CliRun.h"
#include "TempDir.h"

#include <gtest/gtest.h>

namespace {

using Result = CliResult;

Result run(const std::string& home, const std::string& args, bool withErrors = false) {
    return runCli(home, "render " + args, "", withErrors ? Stderr::Merged : Stderr::Dropped);
}

} // namespace

TEST(CliRender, PrintsTheViewerTextAndWritesItsExactBytes) {
    TempDir home;
    const std::string method =
        home.write("QX0104CW.MTD", "Name Water\nMode 0\nResUnit 3\n").string();
    const Result shown = run(home.str(), method + " --kind 3");
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_NE(shown.out.find("  Method Name:"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("\xC2\xB5g/g\n"), std::string::npos) << shown.out; // UTF-8 µ
    EXPECT_EQ(shown.out.find('\r'), std::string::npos);

    const std::string out = (home.path() / "out.txt").string();
    EXPECT_EQ(run(home.str(), method + " --kind 3 --out " + out).exitCode, 0);
    const std::string bytes = home.read("out.txt");
    EXPECT_NE(bytes.find(" \xB5g/g\r\n"), std::string::npos); // Windows-1252, CR LF
    EXPECT_EQ(bytes.substr(bytes.size() - 4), "\r\n  ");

    // The type from the name: a report is only cleaned; any .MTD is a method.
    const std::string report = home.write("TI_00001.RPT", "\tA\tB\n").string();
    EXPECT_EQ(run(home.str(), report).out, "  A  B\n");
    const std::string other = home.write("TEST0001.MTD", "Name Water\n").string();
    EXPECT_NE(run(home.str(), other).out.find("  Method Name:"), std::string::npos);
}

TEST(CliRender, UsageErrorsAndUnreadableFilesExitTwo) {
    TempDir home;
    const std::string method = home.write("USER0001.MTD", "Name X\n").string();
    for (const std::string& args :
         {std::string(""), method + " --type", method + " --type x", method + " --series QX99x",
          method + " --firmware 1,6", method + " --bogus 1", method + " " + method,
          method + " --kind 1", method + " --kind 4", method + " --type 9", method + " --type 13",
          home.str() + "/missing.MTD", home.str()}) {
        const Result r = run(home.str(), args, true);
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_FALSE(r.out.empty()) << args;
    }
    EXPECT_EQ(run(home.str(), method + " --out " + home.str() + "/no/such/dir/x.txt").exitCode, 2);
}
