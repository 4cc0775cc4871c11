// veltran-cli's verify, checksum and upgrade-name commands.
#include "cli/SumvalCommands.h"

#include "LibraryEnv.h"
#include "SumvalFixture.h"

#include <sstream>

namespace {

struct Outcome {
    int exit;
    std::string out;
    std::string err;
};

template <typename Command> Outcome run(Command command, const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int exit = command(args, out, err);
    return {exit, out.str(), err.str()};
}

class SumvalCommands : public SumvalFixture {
protected:
    LibraryEnv env_;
};

TEST_F(SumvalCommands, VerifyPrintsTheCodeAndExitsByIt) {
    const std::string valid = write("QX1201AB.MTD", method("MethType 37")).string();
    Outcome r = run(cmdVerify, {valid, "--family", "1"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "0\n");
    EXPECT_EQ(r.err, "");

    r = run(cmdVerify, {"--family=2", valid});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out, "5\n");

    r = run(cmdVerify, {write("QX0000.MTD", method("MethType 32")).string(), "--family", "0"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out, "3\n");

    r = run(cmdVerify, {(dir_ / "USER0001.MTD").string(), "--family", "0"});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out, "4\n") << "a missing file fails the checksum";

    // A family outside 0..3 is the library's "other" family, not a usage error.
    r = run(cmdVerify, {write("USER0002.MTD", method("MethType 32")).string(), "--family", "-1"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "0\n");

    // "--" lets a file name start with a dash; without it the name is an option.
    write("-ABC0001.MTD", method("MethType 32"));
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    const Outcome dashed = run(cmdVerify, {"--family", "0", "--", "-ABC0001.MTD"});
    const Outcome option = run(cmdVerify, {"--family", "0", "-ABC0001.MTD"});
    std::filesystem::current_path(cwd);
    EXPECT_EQ(dashed.exit, 0) << dashed.err;
    EXPECT_EQ(dashed.out, "0\n");
    EXPECT_EQ(option.exit, 2);
}

TEST_F(SumvalCommands, VerifyUsageErrors) {
    const std::string file = write("USER0001.MTD", method("MethType 32")).string();
    const std::vector<std::vector<std::string>> bad = {
        {},
        {file},
        {"--family", "1"},
        {file, "--family"},
        {file, "--family", "one"},
        {file, "--family", "1x"},
        {file, "--family", ""},
        {file, "--family", "99999999999"},
        {file, file, "--family", "1"},
        {file, "--familie", "1"},
    };
    for (const auto& args : bad) {
        const Outcome r = run(cmdVerify, args);
        EXPECT_EQ(r.exit, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("usage: veltran-cli verify FILE --family N"), std::string::npos)
            << r.err;
    }
}

TEST_F(SumvalCommands, ChecksumPrintsTheRegister) {
    Outcome r = run(cmdChecksum, {write("abc.bin", "abc").string()});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "0xF00A514A\n");
    r = run(cmdChecksum, {write("sealed.mtd", method("MethType 32")).string()});
    EXPECT_EQ(r.out, "0x00000000\n");
    // A mistyped path must not look like a checksum to a script.
    for (const std::string& unreadable :
         {(dir_ / "missing.bin").string(), write("empty.bin", "").string(), dir_.string()}) {
        r = run(cmdChecksum, {unreadable});
        EXPECT_EQ(r.exit, 2) << unreadable;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("cannot read " + unreadable), std::string::npos) << r.err;
    }

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"a", "b"}}) {
        r = run(cmdChecksum, args);
        EXPECT_EQ(r.exit, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("usage: veltran-cli checksum FILE"), std::string::npos) << r.err;
    }
}

TEST_F(SumvalCommands, UpgradeNamePrintsTheRemainderText) {
    Outcome r = run(cmdUpgradeName, {"QX5010"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "73\n");
    EXPECT_EQ(run(cmdUpgradeName, {"QX5011"}).out, "8\n");
    EXPECT_EQ(run(cmdUpgradeName, {"502308"}).out, "-11\n");

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{}, std::vector<std::string>{"QX501"},
          std::vector<std::string>{"QX501073.upg"}, std::vector<std::string>{"QX5010", "x"}}) {
        r = run(cmdUpgradeName, args);
        EXPECT_EQ(r.exit, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
    }
}

TEST_F(SumvalCommands, MissingLibraryExitsWith2) {
    LibraryEnv missing(std::string("/nonexistent/libsumval.so"));
    const std::string file = write("USER0001.MTD", method("MethType 32")).string();
    for (const Outcome& r : {run(cmdVerify, {file, "--family", "0"}), run(cmdChecksum, {file}),
                             run(cmdUpgradeName, {"QX5010"})}) {
        EXPECT_EQ(r.exit, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("The checksum library libsumval.so could not be loaded"),
                  std::string::npos)
            << r.err;
    }
}

} // namespace
