// Each injected fault of veltran-sim does what it says, and the line recovers.
#include "PcSide.h"
#include "link/Frame.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

using namespace simtest;

namespace {

struct Faulty {
    TempDir root;
    SimProcess sim;
    PcPort port;
    explicit Faulty(std::vector<std::string> args)
        : sim(append(std::move(args), {"--root", root.str()})), port(sim.pty()) {}
    static std::vector<std::string> append(std::vector<std::string> a, std::vector<std::string> b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    }
};

} // namespace

TEST(SimFaults, DroppedAckIsOnlyTheNthCommand) {
    Faulty t({"--drop-ack", "2"});
    EXPECT_TRUE(t.port.command("echo"));
    EXPECT_FALSE(t.port.command("ver 4", kShortWaitMs));
    EXPECT_EQ(t.port.read(1, kShortWaitMs), ""); // ignored whole: no answer frames either
    EXPECT_EQ(t.port.query("ver 4")->substr(0, 5), "QX502");
}

TEST(SimFaults, AnIgnoredCommandIsNeverAnswered) {
    Faulty t({"--ignore", "ver 0"});
    EXPECT_FALSE(t.port.command("ver 0", kShortWaitMs));
    EXPECT_FALSE(t.port.command("ver 0", kShortWaitMs));
    EXPECT_EQ(t.port.query("ver 4")->substr(0, 5), "QX502");
}

TEST(SimFaults, CorruptedFrameIsResentCorrectOnRepeatRequest) {
    Faulty t({"--corrupt-frame", "2"}); // frame 1 is the "t" of "ver 4", frame 2 its block
    ASSERT_TRUE(t.port.command("ver 4"));
    const std::string header = t.port.readFrame();
    ASSERT_TRUE(frame::hasValidChecksum(header));
    t.port.write(frame::header(header));
    const std::string corrupted = t.port.readFrame();
    EXPECT_FALSE(frame::hasValidChecksum(corrupted));
    t.port.write(frame::kRepeatRequest);
    const std::string resent = t.port.readFrame();
    EXPECT_TRUE(frame::hasValidChecksum(resent));
    EXPECT_EQ(frame::getMsg(resent), frame::getMsg(corrupted));
    EXPECT_EQ(frame::getMsg(resent).substr(0, 6), "QX502 ");
    t.port.write(frame::header(resent));
    EXPECT_EQ(t.port.query("ver 0"), "V3.00 2026-01-15"); // fired once only
}

TEST(SimFaults, DroppedEchoThenResentFrameIsEchoed) {
    Faulty t({"--drop-echo", "1"});
    ASSERT_TRUE(t.port.command("put \\QX502\\methods\\D.MTD"));
    const std::string header = frame::buildFrame('t', 1, "");
    t.port.write(header);
    EXPECT_EQ(t.port.read(6, kShortWaitMs), "");
    t.port.write(header);
    EXPECT_EQ(t.port.read(6), frame::header(header));
    const std::string block = frame::buildFrame('p', 0, "data");
    t.port.write(block);
    EXPECT_EQ(t.port.read(6), frame::header(block));
    ASSERT_TRUE(t.port.command("echo"));
    EXPECT_EQ(readFile(t.root.str() + "/QX502/methods/D.MTD"), "data");
}

TEST(SimFaults, GarbledEchoMakesTheSenderRepeatWithoutDuplicatingData) {
    Faulty t({"--garble-echo", "2"}); // the first block of the put
    const std::string data = awkwardBytes(300);
    ASSERT_TRUE(t.port.command("put \\QX502\\methods\\G.MTD"));
    const std::string header = frame::buildFrame('t', 2, "");
    t.port.write(header);
    ASSERT_EQ(t.port.read(6), frame::header(header));
    const std::string block0 = frame::buildFrame('p', 0, data.substr(0, 256));
    t.port.write(block0);
    EXPECT_EQ(t.port.read(6), "\\p0001");
    t.port.write(block0);
    EXPECT_EQ(t.port.read(6), frame::header(block0));
    const std::string block1 = frame::buildFrame('p', 1, data.substr(256));
    t.port.write(block1);
    EXPECT_EQ(t.port.read(6), frame::header(block1));
    ASSERT_TRUE(t.port.command("echo"));
    EXPECT_EQ(readFile(t.root.str() + "/QX502/methods/G.MTD"), data);
}

TEST(SimFaults, StallDelaysOnlyTheChosenCommand) {
    Faulty t({"--stall", "1500", "--stall-at", "2"});
    EXPECT_TRUE(t.port.command("echo"));
    t.port.write(frame::commandLine("echo"));
    EXPECT_EQ(t.port.read(3, kShortWaitMs), "");
    EXPECT_EQ(t.port.read(3), "ACK");
    EXPECT_TRUE(t.port.command("echo", kShortWaitMs));
}

TEST(SimFaults, DeafAfterNIgnoresEverythingButKeepsRunning) {
    Faulty t({"--deaf-after", "1"});
    EXPECT_TRUE(t.port.command("echo"));
    EXPECT_FALSE(t.port.command("echo", kShortWaitMs));
    EXPECT_FALSE(t.port.command("ver 4", kShortWaitMs));
    EXPECT_FALSE(t.sim.wait(0));
}

TEST(SimFaults, HangupAfterNEndsTheLine) {
    TempDir dir;
    const std::string link = dir.str() + "/titrator";
    Faulty t({"--hangup-after", "2", "--link", link});
    ASSERT_TRUE(t.port.query("ver 4"));
    EXPECT_TRUE(t.port.command("echo")); // the last answer still arrives
    EXPECT_EQ(t.port.read(1), "");
    EXPECT_TRUE(t.port.ended());
    EXPECT_EQ(t.sim.wait(kAnswerWaitMs), 0);
    EXPECT_FALSE(std::filesystem::is_symlink(std::filesystem::symlink_status(link)));
}

// Wrong echoes: a "t" frame goes 3 times, a "p" frame 4 times, then the send is given up.
TEST(SimFaults, WrongEchoesAreRetriedAsOftenAsThePcDoes) {
    Faulty t({});
    auto sendsUntilGivenUp = [&t](bool echoHeaderRight) {
        int sends = 0;
        for (std::string f = t.port.readFrame(); !f.empty(); f = t.port.readFrame(kShortWaitMs)) {
            if (f[1] == 't' && echoHeaderRight) {
                t.port.write(frame::header(f));
                continue;
            }
            ++sends;
            t.port.write("\\x0000");
        }
        return sends;
    };
    ASSERT_TRUE(t.port.command("ver 4"));
    EXPECT_EQ(sendsUntilGivenUp(false), 3);
    ASSERT_TRUE(t.port.command("ver 4"));
    EXPECT_EQ(sendsUntilGivenUp(true), 4);
    EXPECT_TRUE(t.port.command("echo"));
}

TEST(SimFaults, UnansweredFramesAreAbandonedAfterFiveSeconds) {
    Faulty t({});
    ASSERT_TRUE(t.port.command("ver 4"));
    ASSERT_FALSE(t.port.readFrame().empty()); // the "t" frame, never echoed
    std::this_thread::sleep_for(std::chrono::milliseconds(5500));
    EXPECT_TRUE(t.port.command("echo")); // not taken for the echo it waited for
}
