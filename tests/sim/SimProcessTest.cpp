// veltran-sim as a process: its pty line, link, temporary root, exit, log and pacing.
#include "PcSide.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

using namespace simtest;
namespace fs = std::filesystem;

TEST(SimProcess, AnnouncesThePtyLinksItAndCleansUpOnTerm) {
    TempDir tmp;
    const std::string link = tmp.str() + "/titrator";
    fs::create_symlink("/dev/pts/nonexistent", link); // a previous run's
    SimProcess sim({"--link", link, "--model", "QX532"}, {"TMPDIR=" + tmp.str()});
    ASSERT_EQ(sim.pty().rfind("/dev/pts/", 0), 0u) << sim.pty();
    EXPECT_EQ(fs::read_symlink(link), sim.pty());

    std::vector<fs::path> roots;
    for (const auto& e : fs::directory_iterator(tmp.str()))
        if (e.is_directory())
            roots.push_back(e.path());
    ASSERT_EQ(roots.size(), 1u);
    EXPECT_TRUE(fs::is_directory(roots[0] / "QX532" / "sequence"));

    PcPort port(link);
    EXPECT_TRUE(port.command("echo"));
    EXPECT_EQ(sim.terminate(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_FALSE(fs::exists(roots[0]));
}

TEST(SimProcess, RefusesToReplaceARealFileWithTheLink) {
    TempDir tmp;
    const std::string file = tmp.str() + "/titrator";
    writeFile(file, "keep");
    SimProcess sim({"--link", file});
    EXPECT_EQ(sim.pty(), "");
    EXPECT_EQ(sim.wait(kAnswerWaitMs), 1);
    EXPECT_EQ(readFile(file), "keep");
}

TEST(SimProcess, WaitsForAPeerAndEndsWhenItHangsUp) {
    SimProcess sim({});
    EXPECT_FALSE(sim.wait(kShortWaitMs)); // nobody has opened the line yet
    {
        PcPort port(sim.pty());
        EXPECT_TRUE(port.command("echo"));
    }
    EXPECT_EQ(sim.wait(kAnswerWaitMs), 0);
}

TEST(SimProcess, PersistServesTheNextPeer) {
    SimProcess sim({"--persist"});
    for (int peer = 0; peer < 2; ++peer) {
        PcPort port(sim.pty());
        EXPECT_TRUE(port.command("echo")) << peer;
    }
    EXPECT_FALSE(sim.wait(kShortWaitMs));
}

TEST(SimProcess, LogsEachCommandReceived) {
    TempDir tmp;
    const std::string log = tmp.str() + "/commands.log";
    SimProcess sim({"--log", log, "--drop-ack", "2"});
    PcPort port(sim.pty());
    std::string badLine = "!echo0000\r";
    port.write(badLine);
    EXPECT_TRUE(port.command("echo"));
    EXPECT_FALSE(port.command("ver 4", kShortWaitMs));
    EXPECT_TRUE(port.query("ver 0"));
    EXPECT_FALSE(port.command("get \\QX502\\methods\\QX0201AB.MTD", kShortWaitMs));
    EXPECT_EQ(readFile(log), "echo\nver 4\nver 0\nget \\QX502\\methods\\QX0201AB.MTD\n");
}

TEST(SimProcess, BaudPacesAFileTransfer) {
    TempDir root;
    fs::create_directories(root.str() + "/QX502/methods");
    writeFile(root.str() + "/QX502/methods/P.MTD", std::string(4096, 'x'));
    SimProcess sim({"--root", root.str(), "--baud", "19200"});
    PcPort port(sim.pty());
    const auto start = std::chrono::steady_clock::now();
    const auto data = port.query("get \\QX502\\methods\\P.MTD");
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(data, std::string(4096, 'x'));
    const double wireBytes = 3 + 12 + 16 * (256 + 12); // ACK, "t" frame, 16 blocks
    EXPECT_GE(seconds, 0.7 * wireBytes / 1920.0);
}
