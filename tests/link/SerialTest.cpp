#include "link/Serial.h"

#include "RecordingSerialHost.h"
#include "ScriptedPeer.h"
#include "TempDir.h"
#include "VirtualPump.h"
#include "core/Language.h"
#include "link/Frame.h"
#include "link/Trace.h"

#include <fstream>
#include <gtest/gtest.h>

using frame::buildFrame;

namespace {

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const std::filesystem::path& p, const std::string& content) {
    std::ofstream(p, std::ios::binary) << content;
}

std::string pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    return s;
}

std::vector<std::string> headersOf(const std::vector<std::string>& frames) {
    std::vector<std::string> out;
    for (const auto& f : frames)
        out.push_back(frame::header(f));
    return out;
}

bool onlyTarget(const std::filesystem::path& dir) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir))
        ++n;
    return n == 1;
}

// Remembers what a progress window would have shown.
struct RecordingSink : TransferSink {
    std::vector<std::string> names;
    std::vector<double> fractions;
    void started(const std::string& name) override { names.push_back(name); }
    void progress(double f) override { fractions.push_back(f); }
};

using R = TransferResult;

class LinkSerial : public ::testing::Test {
protected:
    VirtualPump pump;
    RecordingSink sink;
    ScriptedPeer peer{pump};
    RecordingSerialHost host;
    TempDir dir;
    std::vector<int> resolved;
    Serial serial{peer, pump, host, [this](int n) {
                      resolved.push_back(n);
                      return "/dev/fake" + std::to_string(n);
                  }};

    static void SetUpTestSuite() {
        static LanguageTable texts;
        texts[330] = "Communication error %v";
        texts[348] = "Please wait";
        texts[979] = "Invalid port";
        texts[1201] = "No access to %v: ask for the dialout group";
        setLanguageTable(texts);
    }

    void SetUp() override {
        serial.setClock([this] { return pump.now; });
        ASSERT_TRUE(serial.openPort(1, 19200));
    }

    std::filesystem::path file(const std::string& name, const std::string& content) {
        const auto p = dir.path() / name;
        writeFile(p, content);
        return p;
    }
    R send(const std::string& name, const std::string& content) {
        return serial.transmission(file(name, content), sink);
    }
    std::string command(const std::string& text, R expected = R::Done) {
        std::string answer = "stale";
        EXPECT_EQ(serial.sendCommand(text, answer), expected) << text;
        return answer;
    }
};

// ------------------------------------------------------------ sending files

TEST_F(LinkSerial, EmptyFileIsAHeaderWithoutBlocks) {
    EXPECT_EQ(send("empty.mtd", ""), R::Done);
    ASSERT_EQ(peer.framesIn.size(), 1u);
    EXPECT_EQ(frame::header(peer.framesIn[0]), "\\t0000");
    EXPECT_EQ(sink.fractions, std::vector<double>{1.0});
}

TEST_F(LinkSerial, FileOfOneBlockAndOneMore) {
    const std::string exact = pattern(256);
    EXPECT_EQ(send("a.mtd", exact), R::Done);
    EXPECT_EQ(headersOf(peer.framesIn), (std::vector<std::string>{"\\t0001", "\\p0000"}));
    EXPECT_EQ(peer.receivedFile(), exact);

    peer.framesIn.clear();
    const std::string more = pattern(257);
    EXPECT_EQ(send("b.mtd", more), R::Done);
    EXPECT_EQ(headersOf(peer.framesIn),
              (std::vector<std::string>{"\\t0002", "\\p0000", "\\p0001"}));
    EXPECT_EQ(frame::getMsg(peer.framesIn[2]), more.substr(256));
    EXPECT_EQ(peer.receivedFile(), more);
}

TEST_F(LinkSerial, EveryByteValueCrossesUnchanged) {
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    all += "\\c0000\\";
    EXPECT_EQ(send("bytes.mtd", all), R::Done);
    EXPECT_EQ(peer.receivedFile(), all);
}

TEST_F(LinkSerial, ProgressBeforeEachBlockGoesToTheCallersSink) {
    // Any file, an upgrade file too, reports to the sink its caller passed.
    EXPECT_EQ(send("fw.upg", pattern(600)), R::Done);
    EXPECT_EQ(sink.fractions, (std::vector<double>{0.0, 1.0 / 3, 2.0 / 3, 1.0}));
    EXPECT_EQ(sink.names, std::vector<std::string>{(dir.path() / "fw.upg").string()});
}

TEST_F(LinkSerial, WrongHeaderEchoIsSentAgainUpToThreeSends) {
    peer.echoFor = [](const std::string& f, int receipt) {
        return frame::getType(f) == "t" && receipt < 2 ? std::string("\\t00XX") : frame::header(f);
    };
    EXPECT_EQ(send("a.mtd", "abc"), R::Done);
    EXPECT_EQ(headersOf(peer.framesIn),
              (std::vector<std::string>{"\\t0001", "\\t0001", "\\t0001", "\\p0000"}));
}

TEST_F(LinkSerial, ThirdWrongHeaderEchoEndsTheTransfer) {
    peer.echoFor = [](const std::string& f, int) {
        return frame::getType(f) == "t" ? std::string("\\t00XX") : frame::header(f);
    };
    EXPECT_EQ(send("a.mtd", "abc"), R::BadAnswer);
    EXPECT_EQ(headersOf(peer.framesIn),
              (std::vector<std::string>{"\\t0001", "\\t0001", "\\t0001"}));
}

TEST_F(LinkSerial, WrongBlockEchoIsSentAgainUpToFourSends) {
    peer.echoFor = [](const std::string& f, int receipt) {
        return frame::header(f) == "\\p0001" && receipt < 3 ? std::string("\\p0009")
                                                            : frame::header(f);
    };
    EXPECT_EQ(send("a.mtd", pattern(700)), R::Done);
    EXPECT_EQ(headersOf(peer.framesIn),
              (std::vector<std::string>{"\\t0003", "\\p0000", "\\p0001", "\\p0001", "\\p0001",
                                        "\\p0001", "\\p0002"}));
    EXPECT_EQ(peer.receivedFile(), pattern(700));
}

TEST_F(LinkSerial, FourthWrongBlockEchoEndsTheTransfer) {
    peer.echoFor = [](const std::string& f, int) {
        return frame::header(f) == "\\p0001" ? std::string("\\p0009") : frame::header(f);
    };
    EXPECT_EQ(send("a.mtd", pattern(700)), R::BadAnswer);
    EXPECT_EQ(headersOf(peer.framesIn),
              (std::vector<std::string>{"\\t0003", "\\p0000", "\\p0001", "\\p0001", "\\p0001",
                                        "\\p0001"}));
}

TEST_F(LinkSerial, MissingEchoEndsTheTransferWithoutResending) {
    peer.echoFor = [](const std::string& f, int) {
        return frame::getType(f) == "p" ? std::string() : frame::header(f);
    };
    EXPECT_EQ(send("a.mtd", pattern(300)), R::TimedOut);
    EXPECT_EQ(headersOf(peer.framesIn), (std::vector<std::string>{"\\t0002", "\\p0000"}));
    EXPECT_TRUE(serial.timedOut());
}

TEST_F(LinkSerial, AbortEndsSendingBeforeTheNextBlockAndIsNoSuccess) {
    peer.onFrame = [this](const std::string& f) {
        if (frame::header(f) == "\\p0001")
            sink.requestAbort();
    };
    EXPECT_EQ(send("a.mtd", pattern(1000)), R::Aborted);
    EXPECT_EQ(headersOf(peer.framesIn),
              (std::vector<std::string>{"\\t0004", "\\p0000", "\\p0001"}));
    EXPECT_FALSE(serial.isRecovering()); // the pause is the caller's explicit step
    serial.settleAfter(R::Aborted);
    EXPECT_TRUE(serial.isRecovering());
    // The request stays with its sink: a batch polling it stops too; a new sink starts clean.
    EXPECT_EQ(send("b.mtd", "x"), R::Aborted);
    TransferSink fresh;
    EXPECT_EQ(serial.transmission(file("c.mtd", "x"), fresh), R::Done);
}

TEST_F(LinkSerial, UnreadableFileIsReportedAndNothingIsSent) {
    EXPECT_EQ(serial.transmission(dir.path() / "missing.mtd", sink), R::FileFailed);
    std::filesystem::create_directory(dir.path() / "folder.mtd");
    EXPECT_EQ(serial.transmission(dir.path() / "folder.mtd", sink), R::FileFailed);
    EXPECT_TRUE(peer.written.empty());
    EXPECT_EQ(host.runtimeErrors.size(), 2u);
}

// ------------------------------------------------------------ receiving files

TEST_F(LinkSerial, ReceivesAFileOfSeveralBlocks) {
    const auto target = dir.path() / "r.rpt";
    const std::string content = pattern(600) + "\\c0000\\";
    peer.answer = framesFor(content);
    peer.startSending();
    EXPECT_EQ(serial.reception(target, sink), R::Done);
    EXPECT_EQ(readFile(target), content);
    EXPECT_TRUE(onlyTarget(dir.path()));
    EXPECT_EQ(peer.echoesIn, headersOf(framesFor(content)));
    EXPECT_EQ(sink.fractions, (std::vector<double>{0.0, 1.0 / 3, 2.0 / 3, 1.0}));
    EXPECT_EQ(sink.names, std::vector<std::string>{target.string()});
}

TEST_F(LinkSerial, CountZeroGivesAnEmptyFileInPlaceOfTheOldOne) {
    const auto target = file("r.rpt", "old content");
    peer.answer = {buildFrame('t', 0, "")};
    peer.startSending();
    EXPECT_EQ(serial.reception(target, sink), R::Done);
    EXPECT_TRUE(std::filesystem::exists(target));
    EXPECT_EQ(std::filesystem::file_size(target), 0u);
    EXPECT_TRUE(onlyTarget(dir.path()));
}

TEST_F(LinkSerial, RepeatedBlockIsEchoedAgainButWrittenOnce) {
    const auto target = dir.path() / "r.rpt";
    peer.answer = {buildFrame('t', 2, ""), buildFrame('p', 0, "first"), buildFrame('p', 0, "first"),
                   buildFrame('p', 1, "second")};
    peer.startSending();
    EXPECT_EQ(serial.reception(target, sink), R::Done);
    EXPECT_EQ(readFile(target), "firstsecond");
    EXPECT_EQ(peer.echoesIn,
              (std::vector<std::string>{"\\t0002", "\\p0000", "\\p0000", "\\p0001"}));
}

TEST_F(LinkSerial, OtherFrameTypesAreEchoedAndIgnored) {
    std::string text;
    peer.answer = {buildFrame('t', 1, ""), buildFrame('x', 5, "junk"), buildFrame('p', 0, "data")};
    peer.startSending();
    EXPECT_EQ(serial.stringReception(text, sink), R::Done);
    EXPECT_EQ(text, "data");
    EXPECT_EQ(peer.echoesIn, (std::vector<std::string>{"\\t0001", "\\x0005", "\\p0000"}));
}

TEST_F(LinkSerial, ThreeBadFramesInARowAreAskedAgain) {
    const auto target = dir.path() / "r.rpt";
    peer.answer = framesFor("payload");
    peer.mutateOut = [](int send, const std::string& f) {
        return send >= 1 && send <= 3 ? badChecksum(f) : f;
    };
    peer.startSending();
    EXPECT_EQ(serial.reception(target, sink), R::Done);
    EXPECT_EQ(readFile(target), "payload");
    EXPECT_EQ(peer.repeatRequests, 3);
}

TEST_F(LinkSerial, BadFramesCountOnlyInARow) {
    std::string text;
    peer.answer = framesFor(pattern(300));
    // Three bad sends of the header and three of the second block: each run is forgiven.
    peer.mutateOut = [](int send, const std::string& f) {
        return (send < 3 || (send >= 5 && send < 8)) ? badChecksum(f) : f;
    };
    peer.startSending();
    EXPECT_EQ(serial.stringReception(text, sink), R::Done);
    EXPECT_EQ(text, pattern(300));
    EXPECT_EQ(peer.repeatRequests, 6);
}

TEST_F(LinkSerial, FourthBadFrameFailsAndKeepsTheOldFile) {
    const auto target = file("r.rpt", "old content");
    peer.answer = framesFor("payload");
    peer.mutateOut = [](int send, const std::string& f) { return send >= 1 ? badChecksum(f) : f; };
    peer.startSending();
    EXPECT_EQ(serial.reception(target, sink), R::BadAnswer);
    EXPECT_EQ(peer.repeatRequests, 3);
    EXPECT_EQ(readFile(target), "old content");
    EXPECT_TRUE(onlyTarget(dir.path()));
}

TEST_F(LinkSerial, TimeOutMidwayKeepsTheOldFile) {
    const auto target = file("r.rpt", "old content");
    peer.answer = framesFor(pattern(700));
    peer.mutateOut = [](int send, const std::string& f) { return send == 3 ? std::string() : f; };
    peer.startSending();
    EXPECT_EQ(serial.reception(target, sink), R::TimedOut);
    EXPECT_TRUE(serial.timedOut());
    EXPECT_EQ(readFile(target), "old content");
    EXPECT_TRUE(onlyTarget(dir.path()));
}

TEST_F(LinkSerial, AbortMidwayKeepsTheOldFileAndIsNoSuccess) {
    const auto target = file("r.rpt", "old content");
    peer.answer = framesFor(pattern(700));
    peer.onEchoed = [this](std::size_t k) {
        if (k == 1)
            sink.requestAbort();
    };
    peer.startSending();
    EXPECT_EQ(serial.reception(target, sink), R::Aborted);
    EXPECT_EQ(readFile(target), "old content");
    EXPECT_TRUE(onlyTarget(dir.path()));
}

TEST_F(LinkSerial, DataBlockBeforeItsHeaderIsABadFrame) {
    std::string text;
    peer.answer = {buildFrame('p', 0, "early"), buildFrame('p', 0, "early"),
                   buildFrame('p', 0, "early"), buildFrame('p', 0, "early")};
    peer.startSending();
    EXPECT_EQ(serial.stringReception(text, sink), R::BadAnswer);
    EXPECT_EQ(peer.repeatRequests, 3);
    EXPECT_TRUE(peer.echoesIn.empty());
    for (double f : sink.fractions)
        EXPECT_TRUE(f >= 0.0 && f <= 1.0);
}

TEST_F(LinkSerial, UnwritableTargetStillTakesEveryFrame) {
    const auto target = dir.path() / "no-such-folder" / "r.rpt";
    peer.answer = framesFor(pattern(300));
    peer.startSending();
    EXPECT_EQ(serial.reception(target, sink), R::FileFailed);
    EXPECT_EQ(host.runtimeErrors.size(), 1u);
    EXPECT_EQ(peer.echoesIn.size(), 3u);
    EXPECT_FALSE(std::filesystem::exists(target.parent_path()));
}

TEST_F(LinkSerial, AbortedStringReceptionGivesAnEmptyText) {
    std::string text = "stale";
    peer.answer = framesFor(pattern(700));
    peer.onEchoed = [this](std::size_t k) {
        if (k == 2)
            serial.abortRunningTransfer(); // as closing the window does
    };
    peer.startSending();
    EXPECT_EQ(serial.stringReception(text, sink), R::Aborted);
    EXPECT_EQ(text, "");
}

// ------------------------------------------------------------ commands

TEST_F(LinkSerial, CommandWithFramedAnswer) {
    peer.answer = framesFor("QX502 extra");
    EXPECT_EQ(command("ver 4"), "QX502 extra");
    EXPECT_EQ(peer.commandLines, std::vector<std::string>{frame::commandLine("ver 4")});
    EXPECT_TRUE(host.statuses.empty());
}

TEST_F(LinkSerial, StaleInputIsDiscardedBeforeTheCommand) {
    peer.deliver("junk\\p00");
    peer.answer = framesFor("answer");
    EXPECT_EQ(command("ver 0"), "answer");
}

TEST_F(LinkSerial, CommandWithoutAckIsTriedThreeTimesSilently) {
    peer.ackDrops = 3;
    peer.answer = framesFor("never");
    EXPECT_EQ(command("ver 4", R::TimedOut), "");
    EXPECT_EQ(peer.commandLines, std::vector<std::string>(3, frame::commandLine("ver 4")));
    EXPECT_TRUE(host.statuses.empty());
    EXPECT_FALSE(serial.wasSerialError());
}

TEST_F(LinkSerial, AckOnTheThirdAttemptIsEnough) {
    peer.ackDrops = 2;
    peer.answer = framesFor("late");
    EXPECT_EQ(command("ver 4"), "late");
    EXPECT_EQ(peer.commandLines.size(), 3u);
}

TEST_F(LinkSerial, FailedAnswerIsReportedAsError13) {
    EXPECT_EQ(command("ver 4", R::TimedOut), ""); // ACK, then no frames
    ASSERT_EQ(host.statuses.size(), 1u);
    EXPECT_EQ(host.statuses[0].text, "Communication error 13");
    EXPECT_EQ(host.statuses[0].colour, colour::kRed);
    EXPECT_EQ(host.statuses[0].ms, 10000);
    EXPECT_TRUE(serial.wasSerialError());
    EXPECT_TRUE(serial.isRecovering());
    pump.now += Serial::kRecoveryMs;
    EXPECT_FALSE(serial.isRecovering());
}

TEST_F(LinkSerial, AcknowledgedCommandWithoutAnswer) {
    EXPECT_EQ(serial.sendCommandAck("del", "\\QX501\\methods\\a.mtd"), R::Done);
    EXPECT_EQ(peer.commandLines,
              std::vector<std::string>{frame::commandLine("del \\QX501\\methods\\a.mtd")});
    peer.ackDrops = 3;
    EXPECT_EQ(serial.sendCommandAck("reloadMethods", ""), R::TimedOut);
    EXPECT_EQ(peer.commandLines.size(), 4u);
    EXPECT_EQ(peer.commandLines.back(), frame::commandLine("reloadMethods "));
}

TEST_F(LinkSerial, WrongAcknowledgementIsNoAcknowledgement) {
    peer.ackDrops = 3;
    peer.deliver("NAK");
    EXPECT_FALSE(serial.waitAcknowledge());
}

// ------------------------------------------------------------ reading

TEST_F(LinkSerial, TricklingInputWithinTheLimitDoesNotTimeOut) {
    serial.setReadTimeoutMs(1000);
    peer.trickle("ABCDEFGH", 900);
    std::string text;
    EXPECT_TRUE(serial.readPort(text, 8));
    EXPECT_EQ(text, "ABCDEFGH");
    EXPECT_FALSE(serial.timedOut());
}

TEST_F(LinkSerial, APauseLongerThanTheLimitTimesOut) {
    serial.setReadTimeoutMs(1000);
    peer.trickle("ABC", 1100);
    std::string text;
    EXPECT_FALSE(serial.readPort(text, 3));
    EXPECT_TRUE(serial.timedOut());
    EXPECT_EQ(serial.lastPortError(), PortError::None);
}

TEST_F(LinkSerial, ReadTakesExactlyTheCountAndLeavesTheRest) {
    peer.deliver("ACKextra");
    std::string text;
    EXPECT_TRUE(serial.readPort(text, 3));
    EXPECT_EQ(text, "ACK");
    EXPECT_EQ(peer.bytesWaiting(), 5u);
    EXPECT_EQ(serial.readAllInput(), "extra");
}

TEST_F(LinkSerial, PortFaultsEndAReadAtOnceAndAreKept) {
    pump.after(10, [this] { peer.vanish(PortError::DeviceVanished); });
    std::string text;
    EXPECT_FALSE(serial.readPort(text, 3));
    EXPECT_EQ(serial.lastPortError(), PortError::DeviceVanished);
    EXPECT_LT(pump.now, Serial::kReadTimeoutMs);

    serial.closePort();
    EXPECT_FALSE(serial.readPort(text, 1));
    EXPECT_EQ(serial.lastPortError(), PortError::DeviceVanished);
}

TEST_F(LinkSerial, ClosedPortFailsReadsAndWrites) {
    serial.closePort();
    std::string text;
    EXPECT_FALSE(serial.readPort(text, 1));
    EXPECT_EQ(serial.lastPortError(), PortError::NotOpen);
    EXPECT_FALSE(serial.sendString("x"));
    EXPECT_EQ(serial.lastPortError(), PortError::NotOpen);
    EXPECT_EQ(pump.now, 0);
}

// ------------------------------------------------------------ opening the port

TEST_F(LinkSerial, OpenResolvesThePortNumber) {
    EXPECT_TRUE(serial.openPort(7, 9600));
    EXPECT_EQ(resolved, (std::vector<int>{1, 7}));
    EXPECT_TRUE(serial.isPortOpen());
    EXPECT_TRUE(host.portErrors.empty());
}

TEST_F(LinkSerial, OpenErrorsTakeTheirBranches) {
    peer.openResult = PortError::NotFound;
    EXPECT_FALSE(serial.openPort(2, 19200));
    peer.openResult = PortError::Busy;
    EXPECT_FALSE(serial.openPort(2, 19200));
    peer.openResult = PortError::Permission;
    EXPECT_FALSE(serial.openPort(2, 19200));
    peer.openResult = PortError::Other;
    EXPECT_FALSE(serial.openPort(2, 19200));
    ASSERT_EQ(host.portErrors.size(), 4u);
    EXPECT_EQ(host.portErrors[0], "Invalid port");
    EXPECT_EQ(host.portErrors[1], "Invalid port");
    EXPECT_NE(host.portErrors[2].find("/dev/fake2"), std::string::npos);
    EXPECT_NE(host.portErrors[2].find("dialout"), std::string::npos);
    EXPECT_EQ(host.portErrors[3], "Communication error " +
                                      std::to_string(static_cast<int>(PortError::Other)) +
                                      " - system says no");
    EXPECT_FALSE(serial.isPortOpen());
}

// ------------------------------------------------------------ the busy flag

TEST_F(LinkSerial, HoldsNestAndTheLinkIsFreeAfterTheOutermostRelease) {
    serial.setSerialError();
    ASSERT_TRUE(serial.beginExchange());
    EXPECT_FALSE(serial.wasSerialError());
    EXPECT_TRUE(serial.isSerialBusy());
    EXPECT_FALSE(serial.canStartExchange());
    // A command the holder calls takes the flag again and lets it go.
    serial.setSerialError();
    EXPECT_TRUE(serial.setSerialBusy(true));
    EXPECT_FALSE(serial.wasSerialError());
    EXPECT_EQ(serial.holdDepth(), 2);
    serial.setSerialBusy(false);
    EXPECT_TRUE(serial.isSerialBusy());
    serial.endExchange();
    EXPECT_FALSE(serial.isSerialBusy());
    serial.endExchange(); // an unmatched release changes nothing
    EXPECT_EQ(serial.holdDepth(), 0);
    EXPECT_EQ(host.busy, (std::vector<bool>{true, false}));
    {
        Serial::Exchange ex(serial);
        EXPECT_TRUE(ex);
        Serial::Exchange inner(serial);
        EXPECT_TRUE(inner);
    }
    EXPECT_FALSE(serial.isSerialBusy());
}

TEST_F(LinkSerial, ACommandStartedInsideAnExchangeWaitSendsNothing) {
    peer.replyDelayMs = 50;
    peer.answer = framesFor("outer answer");
    std::string intruderResult = "not run";
    R intruderSent = R::Done;
    bool intruderGotLink = true;
    pump.after(20, [&] {
        intruderGotLink = serial.beginExchange();
        intruderSent = serial.sendCommand("intruder", intruderResult);
        serial.endExchange();
    });
    ASSERT_TRUE(serial.beginExchange());
    EXPECT_EQ(command("ver 4"), "outer answer");
    EXPECT_TRUE(serial.isSerialBusy()); // the intruder's release did not end it
    serial.endExchange();

    EXPECT_FALSE(intruderGotLink);
    EXPECT_EQ(intruderSent, R::Refused);
    EXPECT_EQ(intruderResult, "");
    EXPECT_EQ(peer.commandLines, std::vector<std::string>{frame::commandLine("ver 4")});
    ASSERT_FALSE(host.statuses.empty());
    EXPECT_EQ(host.statuses[0].text, "Please wait");
}

TEST_F(LinkSerial, TransfersStartedInsideAWaitTouchNothing) {
    const auto target = file("r.rpt", "old");
    const auto source = file("s.mtd", "abc");
    peer.replyDelayMs = 50;
    peer.answer = framesFor(pattern(300));
    std::vector<R> results;
    bool noise = true;
    std::string text = "x";
    TransferSink other;
    pump.after(20, [&] {
        serial.abortRunningTransfer();
        results.push_back(serial.reception(target, other));
        results.push_back(serial.transmission(source, other));
        results.push_back(serial.stringReception(text, other));
        results.push_back(serial.sendCommandAck("del", "x"));
        noise = serial.sendString("noise");
    });
    peer.startSending();
    std::string received;
    // The abort given meanwhile still stops the running transfer.
    EXPECT_EQ(serial.stringReception(received, sink), R::Aborted);
    EXPECT_EQ(results, std::vector<R>(4, R::Refused));
    EXPECT_FALSE(noise);
    EXPECT_EQ(received, "");
    EXPECT_EQ(readFile(target), "old");
    EXPECT_TRUE(peer.framesIn.empty());
    EXPECT_TRUE(peer.commandLines.empty());
    EXPECT_EQ(peer.written.find("noise"), std::string::npos);
}

TEST_F(LinkSerial, NoExchangeStartsWhileAPortWaitRuns) {
    bool could = true;
    pump.after(10, [&] { could = serial.canStartExchange(); });
    std::string text;
    EXPECT_FALSE(serial.readPort(text, 1));
    EXPECT_FALSE(could);
    EXPECT_TRUE(serial.canStartExchange());
}

// ------------------------------------------------------------ pauses and trace

TEST_F(LinkSerial, SettlingPauses) {
    EXPECT_FALSE(serial.isRecovering());
    serial.startRecoveryWaitMs(800);
    EXPECT_TRUE(serial.isRecovering());
    EXPECT_FALSE(serial.recoveryDone());
    bool couldStart = true;
    pump.after(100, [&] { couldStart = serial.canStartExchange(); });
    serial.waitRecovery();
    EXPECT_GE(pump.now, 800);
    EXPECT_FALSE(couldStart); // a click during the pause starts nothing
    EXPECT_TRUE(serial.recoveryDone());
    serial.settleAfter(R::TimedOut);
    EXPECT_FALSE(serial.isRecovering());
    serial.settleAfter(R::Aborted);
    EXPECT_TRUE(serial.isRecovering());
    pump.now += Serial::kRecoveryMs - 1;
    EXPECT_TRUE(serial.isRecovering());
    pump.now += 1;
    EXPECT_FALSE(serial.isRecovering());
}

TEST_F(LinkSerial, DelayShowsTheHourglassOnlyWhenAsked) {
    serial.delayMs(300, true);
    EXPECT_EQ(pump.now, 300);
    serial.delayMs(100);
    EXPECT_EQ(pump.now, 400);
    EXPECT_EQ(host.cursor, (std::vector<bool>{true, false}));
}

TEST(LinkSerialTrace, ExchangeIsTracedInBothDirections) {
    VirtualPump pump;
    ScriptedPeer peer(pump);
    RecordingSerialHost host;
    TempDir dir;
    Trace trace(dir.path() / "debug.log", [] { return std::string("T"); });
    std::vector<std::string> sent, received;
    trace.setListener([&](Trace::Direction d, const std::string& line) {
        (d == Trace::Direction::Sent ? sent : received).push_back(line);
    });
    Serial serial(
        peer, pump, host, [](int) { return std::string("x"); }, &trace);
    ASSERT_TRUE(serial.openPort(1, 19200));
    peer.answer = framesFor("ok");
    std::string answer;
    EXPECT_EQ(serial.sendCommand("ver 0", answer), TransferResult::Done);
    EXPECT_EQ(answer, "ok");
    const std::string line = frame::commandLine("ver 0");
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], " S T e(0) " + std::to_string(line.size()) + " : " + line);
    EXPECT_EQ(sent[1], " S T e(0) 6 : \\t0001");
    // A good "ACK" is not traced; only a failed acknowledgement shows what arrived.
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0], " R T e(0) 12 : " + framesFor("ok")[0]);
    EXPECT_TRUE(std::filesystem::exists(trace.logFile()));

    received.clear();
    peer.ackDrops = 3;
    peer.deliver("NAK");
    EXPECT_FALSE(serial.waitAcknowledge());
    EXPECT_EQ(received, std::vector<std::string>{" R T e(0) 3 : NAK"});
}

} // namespace
