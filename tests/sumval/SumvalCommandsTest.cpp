// veltran-cli's verify, checksum and upgrade-name commands.
#include "cli/SumvalCommands.h"

#include "LibraryEnv.h"
#include "SumvalFixture.h"
#include "cli/CommandLine.h"

#include <functional>
#include <sstream>

namespace {

struct Outcome {
    int exit;
    std::string out;
    std::string err;
};

Outcome run(const std::function<int(std::ostream&, std::ostream&)>& command) {
    std::ostringstream out;
    std::ostringstream err;
    const int exit = command(out, err);
    return {exit, out.str(), err.str()};
}

template <typename Command, typename Options> Outcome run(Command command, const Options& o) {
    return run([&](std::ostream& out, std::ostream& err) { return command(o, out, err); });
}

// The words after "veltran-cli", through its parser.
Outcome cli(std::vector<std::string> words) {
    words.insert(words.begin(), "veltran-cli");
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    return run([&](std::ostream& out, std::ostream& err) {
        return runCommandLine(static_cast<int>(argv.size()), argv.data(), out, err);
    });
}

class SumvalCommands : public SumvalFixture {
protected:
    LibraryEnv env_;
};

TEST_F(SumvalCommands, VerifyPrintsTheCodeAndExitsByIt) {
    const std::string valid = write("QX1201AB.MTD", method("MethType 37")).string();
    Outcome r = run(cmdVerify, VerifyOptions{valid, 1});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "0 valid\n");
    EXPECT_EQ(r.err, "");

    r = cli({"verify", "--family=2", valid});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out, "5 type not allowed for the family\n");

    r = run(cmdVerify, VerifyOptions{write("QX0000.MTD", method("MethType 32")).string(), 0});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out, "3 bad name\n");

    r = run(cmdVerify, VerifyOptions{(dir_ / "USER0001.MTD").string(), 0});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.out, "4 checksum\n") << "a missing file fails the checksum";

    // A family outside 0..3 is the library's "other" family, not a usage error.
    r = cli({"verify", write("USER0002.MTD", method("MethType 32")).string(), "--family", "-1"});
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "0 valid\n");

    // "--" lets a file name start with a dash; without it the name is an option.
    write("-ABC0001.MTD", method("MethType 32"));
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    const Outcome dashed = cli({"verify", "--family", "0", "--", "-ABC0001.MTD"});
    const Outcome option = cli({"verify", "--family", "0", "-ABC0001.MTD"});
    std::filesystem::current_path(cwd);
    EXPECT_EQ(dashed.exit, 0) << dashed.err;
    EXPECT_EQ(dashed.out, "0 valid\n");
    EXPECT_EQ(option.exit, 2);
}

TEST_F(SumvalCommands, VerifyUsageErrors) {
    const std::string file = write("USER0001.MTD", method("MethType 32")).string();
    const std::vector<std::vector<std::string>> bad = {
        {"verify"},
        {"verify", file},
        {"verify", "--family", "1"},
        {"verify", file, "--family"},
        {"verify", file, "--family", "one"},
        {"verify", file, "--family", "1x"},
        {"verify", file, "--family", ""},
        {"verify", file, "--family", "99999999999"},
        {"verify", file, file, "--family", "1"},
        {"verify", file, "--familie", "1"},
    };
    for (const auto& args : bad) {
        const Outcome r = cli(args);
        EXPECT_EQ(r.exit, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("Usage: veltran-cli verify [OPTIONS] FILE"), std::string::npos)
            << r.err;
    }
}

TEST_F(SumvalCommands, ChecksumPrintsTheRegister) {
    Outcome r = run(cmdChecksum, write("abc.bin", "abc").string());
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "0xF00A514A\n");
    r = run(cmdChecksum, write("sealed.mtd", method("MethType 32")).string());
    EXPECT_EQ(r.out, "0x00000000\n");
    // A mistyped path must not look like a checksum to a script.
    for (const std::string& unreadable :
         {(dir_ / "missing.bin").string(), write("empty.bin", "").string(), dir_.string()}) {
        r = run(cmdChecksum, unreadable);
        EXPECT_EQ(r.exit, 2) << unreadable;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("cannot read " + unreadable), std::string::npos) << r.err;
    }

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"checksum"}, std::vector<std::string>{"checksum", "a", "b"}}) {
        r = cli(args);
        EXPECT_EQ(r.exit, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("Usage: veltran-cli checksum [OPTIONS] FILE"), std::string::npos)
            << r.err;
    }
}

TEST_F(SumvalCommands, UpgradeNamePrintsTheRemainderText) {
    Outcome r = run(cmdUpgradeName, std::string("QX5010"));
    EXPECT_EQ(r.exit, 0);
    EXPECT_EQ(r.out, "73\n");
    EXPECT_EQ(run(cmdUpgradeName, std::string("QX5011")).out, "8\n");
    EXPECT_EQ(run(cmdUpgradeName, std::string("502308")).out, "-11\n");

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"upgrade-name"},
          std::vector<std::string>{"upgrade-name", "QX501"},
          std::vector<std::string>{"upgrade-name", "QX501073.upg"},
          std::vector<std::string>{"upgrade-name", "QX5010", "x"}}) {
        r = cli(args);
        EXPECT_EQ(r.exit, 2) << ::testing::PrintToString(args);
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(r.err.empty());
    }
}

TEST_F(SumvalCommands, MissingLibraryExitsWith2) {
    LibraryEnv missing(std::string("/nonexistent/libsumval.so"));
    const std::string file = write("USER0001.MTD", method("MethType 32")).string();
    for (const Outcome& r : {run(cmdVerify, VerifyOptions{file, 0}), run(cmdChecksum, file),
                             run(cmdUpgradeName, std::string("QX5010"))}) {
        EXPECT_EQ(r.exit, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("The checksum library libsumval.so could not be loaded"),
                  std::string::npos)
            << r.err;
    }
}

} // namespace
