// The real veltran-sim over a pty: commands, identification, file transfers.
#include "PcSide.h"
#include "link/Frame.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace simtest;
namespace fs = std::filesystem;

namespace {

struct Titrator {
    TempDir root;
    SimProcess sim;
    PcPort port;
    explicit Titrator(std::vector<std::string> args = {})
        : sim(withRoot(std::move(args), root.str())), port(sim.pty()) {}
    static std::vector<std::string> withRoot(std::vector<std::string> args, const std::string& r) {
        args.insert(args.end(), {"--root", r});
        return args;
    }
    std::string path(const std::string& relative) const { return root.str() + "/" + relative; }
};

} // namespace

TEST(SimProtocol, EchoIsAcknowledgedButBadLinesAndUnknownCommandsAreNot) {
    Titrator t;
    EXPECT_TRUE(t.port.command("echo"));
    std::string bad = frame::commandLine("echo");
    bad[bad.size() - 2] ^= 1;
    t.port.write(bad);
    EXPECT_EQ(t.port.read(3, kShortWaitMs), "");
    EXPECT_FALSE(t.port.command("frobnicate x", kShortWaitMs));
    EXPECT_FALSE(t.port.command("ver 7", kShortWaitMs));
    t.port.write("noise\r\\p0000");
    EXPECT_TRUE(t.port.command("echo")); // stray bytes do not upset the next line
}

TEST(SimProtocol, IdentifiesEveryModelAndItsFirmware) {
    struct Case {
        std::vector<std::string> args;
        std::string ident, version, folder;
    };
    const std::vector<Case> cases{
        {{"--model", "QX501", "--firmware", "1.5"}, "QX501", "V1.50", "methods"},
        {{}, "QX502", "V3.00 2026-01-15", "QX502/asreport"},
        {{"--model", "QX502", "--firmware", "1.5"}, "QX502", "V1.50 2026-01-15", "reports"},
        {{"--model", "QX502B"}, "QX502", "V2.10 2026-01-15", "QX502/sequence"},
        {{"--model", "QX503", "--firmware", "2.5"}, "QX503", "V2.50", "QX503/methods"},
        {{"--model", "QX504"}, "QX504", "V3.00", "QX504/reports"},
        {{"--model", "QX531"}, "QX531", "V3.00", "QX531/methods"},
        {{"--model", "QX532"}, "QX532", "V3.00 2026-01-15", "QX532/asreport"},
        {{"--model", "QX533", "--firmware", "garbage"}, "QX533", "Vgarbage", "QX533/reports"},
        {{"--model", "QX534", "--firmware", "0.9"}, "QX534", "V0.90", "QX534/methods"},
    };
    for (const Case& c : cases) {
        Titrator t(c.args);
        const auto ident = t.port.query("ver 4");
        ASSERT_TRUE(ident) << c.ident;
        EXPECT_EQ(ident->substr(0, ident->find(' ')), c.ident);
        EXPECT_EQ(t.port.query("ver 0"), c.version);
        EXPECT_TRUE(fs::is_directory(t.path(c.folder))) << c.folder;
    }
}

TEST(SimProtocol, GetSendsFilesByteExact) {
    Titrator t;
    for (std::size_t size : {0, 1, 256, 257, 65536}) {
        const std::string data = awkwardBytes(size);
        writeFile(t.path("QX502/methods/F.MTD"), data);
        const auto got = t.port.query("get \\qx502\\METHODS\\f.mtd");
        ASSERT_TRUE(got) << size;
        EXPECT_EQ(*got, data) << size;
    }
}

TEST(SimProtocol, GetRefusesMissingFilesAndEscapingPaths) {
    Titrator t;
    writeFile(t.path("secret"), "x");
    EXPECT_FALSE(t.port.command("get \\QX502\\methods\\none.mtd", kShortWaitMs));
    EXPECT_FALSE(t.port.command("get \\QX502\\..\\secret", kShortWaitMs));
    EXPECT_FALSE(t.port.command("put \\QX502\\..\\evil", kShortWaitMs));
    EXPECT_FALSE(t.port.command("put \\QX502\\nofolder\\a.mtd", kShortWaitMs));
    EXPECT_FALSE(fs::exists(t.path("evil")));
    EXPECT_TRUE(t.port.command("echo"));
}

TEST(SimProtocol, PutStoresFilesByteExactAndReplacesWhole) {
    Titrator t;
    for (std::size_t size : {0, 255, 256, 513, 20000}) {
        const std::string data = awkwardBytes(size) + "\\c\\";
        ASSERT_TRUE(t.port.command("put \\QX502\\methods\\P.MTD")) << size;
        ASSERT_TRUE(t.port.send(data)) << size;
        EXPECT_TRUE(t.port.command("echo")); // the file is written before the next command
        EXPECT_EQ(readFile(t.path("QX502/methods/P.MTD")), data) << size;
    }
    EXPECT_EQ(
        std::distance(fs::directory_iterator(t.path("QX502/methods")), fs::directory_iterator()),
        1);
}

TEST(SimProtocol, PutAnswersABadFrameWithARepeatRequestAndGivesUpAfterFour) {
    Titrator t;
    std::string bad = frame::buildFrame('t', 1, "");
    bad.back() = bad.back() == '0' ? '1' : '0';
    ASSERT_TRUE(t.port.command("put \\QX502\\methods\\R.MTD"));
    t.port.write(bad);
    EXPECT_EQ(t.port.read(6), frame::kRepeatRequest);
    ASSERT_TRUE(t.port.send("fine"));
    ASSERT_TRUE(t.port.command("echo"));
    EXPECT_EQ(readFile(t.path("QX502/methods/R.MTD")), "fine");

    ASSERT_TRUE(t.port.command("put \\QX502\\methods\\R.MTD"));
    for (int i = 0; i < 3; ++i) {
        t.port.write(bad);
        EXPECT_EQ(t.port.read(6), frame::kRepeatRequest);
    }
    t.port.write(bad);
    EXPECT_EQ(t.port.read(6, kShortWaitMs), ""); // the fourth ends the reception
    EXPECT_TRUE(t.port.command("echo"));
    EXPECT_EQ(readFile(t.path("QX502/methods/R.MTD")), "fine");
}
