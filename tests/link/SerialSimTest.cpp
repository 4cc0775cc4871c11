// The serial layer the application uses (Serial over QtSerialPort, the event pump)
// against the simulated titrator over a real pseudo-terminal: real bytes, real time-outs.
#include "PcSide.h"
#include "RecordingSerialHost.h"
#include "TempDir.h"
#include "core/Language.h"
#include "core/Pump.h"
#include "link/Frame.h"
#include "link/QtSerialPort.h"
#include "link/Serial.h"
#include "link/Trace.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;
using simtest::awkwardBytes;
using simtest::readFile;
using simtest::writeFile;

namespace {

const std::string kReports = "\\QX502\\reports\\";
const std::string kOld = "old contents, kept unless a transfer completes";
constexpr int kPacedBaud = 19200;
constexpr std::size_t kPacedSize = 8192; // about 5 s on the paced line
constexpr int kInterruptAfterMs = 500;
// The protocol's figures, written out so that a changed constant in the code shows.
constexpr int kReadLimitMs = 5000;
constexpr int kSlackMs = 500;

LanguageTable testTexts() {
    LanguageTable t;
    t[330] = "Communication error %v";
    t[348] = "Please wait";
    t[979] = "Invalid port";
    return t;
}

// Binary contents compared without printing kilobytes of bytes on a mismatch.
::testing::AssertionResult sameBytes(const std::string& actual, const std::string& expected) {
    if (actual == expected)
        return ::testing::AssertionSuccess();
    const auto diff = std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end());
    return ::testing::AssertionFailure()
           << actual.size() << " bytes instead of " << expected.size() << ", first difference at "
           << (diff.first - actual.begin());
}

std::vector<std::string> folderEntries(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// One simulated QX502 with its file system under our temporary folder, and the
// application's serial layer opened on its pseudo-terminal.
struct Rig {
    TempDir dir;
    fs::path root = dir.path() / "titrator";
    fs::path pc = dir.path() / "pc";
    fs::path commandLog = dir.path() / "commands.log";
    std::unique_ptr<simtest::SimProcess> sim;
    QtSerialPort port;
    RecordingSerialHost host;
    TransferSink sink;
    Trace trace{dir.path() / "debug.log"};
    Serial serial{port, defaultPump(), host, [this](int) { return sim->pty(); }, &trace};
    std::vector<std::string> sent, received;

    explicit Rig(const std::vector<std::string>& options = {}) {
        setLanguageTable(testTexts());
        fs::create_directories(pc);
        std::vector<std::string> args{"--model",     "QX502", "--root",
                                      root.string(), "--log", commandLog.string()};
        args.insert(args.end(), options.begin(), options.end());
        sim = std::make_unique<simtest::SimProcess>(args);
        trace.setListener([this](Trace::Direction d, const std::string& line) {
            (d == Trace::Direction::Sent ? sent : received).push_back(traceMessagePart(line));
        });
    }

    bool open() { return !sim->pty().empty() && serial.openPort(1, 19200); }

    fs::path deviceFile(const std::string& name) const { return root / "QX502" / "reports" / name; }
    fs::path deviceFolder() const { return root / "QX502" / "reports"; }

    // The application's get and put: command, then the block transfer.
    TransferResult get(const std::string& name, const fs::path& target) {
        Serial::Exchange ex(serial);
        if (!ex)
            return TransferResult::Refused;
        const TransferResult ack = serial.sendCommandAck("get", kReports + name);
        return succeeded(ack) ? serial.reception(target, sink) : ack;
    }
    TransferResult put(const fs::path& source, const std::string& name) {
        Serial::Exchange ex(serial);
        if (!ex)
            return TransferResult::Refused;
        const TransferResult ack = serial.sendCommandAck("put", kReports + name);
        return succeeded(ack) ? serial.transmission(source, sink) : ack;
    }
    std::string command(const std::string& text) {
        Serial::Exchange ex(serial);
        std::string answer = "<link refused>";
        if (ex)
            serial.sendCommand(text, answer);
        return answer;
    }
    // The titrator stores a received file after echoing its last block, and
    // handles commands in order: once a query is answered, the put is on its disk.
    bool sync() { return command("ver 0") == "V3.00 2026-01-15"; }

    long sentCount(const std::string& text) const {
        return std::count(sent.begin(), sent.end(), text);
    }
    // What the titrator logged, one command a line (a dropped one too).
    std::vector<std::string> commandsSeen() const {
        std::vector<std::string> lines;
        std::istringstream in(readFile(commandLog.string()));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
};

std::string devicePath(const std::string& name) {
    return kReports + name;
}

} // namespace

// ------------------------------------------------------------------ clean transfers

TEST(LinkSimTransfer, GetAndPutAreByteExactAtTheBlockEdges) {
    Rig rig;
    ASSERT_TRUE(rig.open());
    struct Case {
        std::string name, data, header; // header: the "t" frame's block count on the wire
    } cases[] = {
        {"EMPTY.BIN", "", "\\t0000"},
        {"B256.BIN", awkwardBytes(256), "\\t0001"},
        {"B257.BIN", awkwardBytes(257), "\\t0002"},
        {"B64K.BIN", awkwardBytes(64 * 1024), "\\t0100"},
        // Every block ends in "\", which must not swallow the real "\c".
        {"SLASH.BIN", std::string(300, '\\'), "\\t0002"},
    };
    for (const Case& c : cases) {
        const fs::path source = rig.pc / ("out-" + c.name);
        writeFile(source.string(), c.data);
        rig.sent.clear();
        ASSERT_EQ(rig.put(source, c.name), TransferResult::Done) << c.name;
        ASSERT_GE(rig.sent.size(), 2u);
        EXPECT_EQ(rig.sent[1].substr(0, 6), c.header) << c.name; // after the command line

        // A get replaces an existing local file, longer than the new one.
        const fs::path target = rig.pc / ("in-" + c.name);
        writeFile(target.string(), kOld);
        ASSERT_EQ(rig.get(c.name, target), TransferResult::Done) << c.name;
        EXPECT_TRUE(sameBytes(readFile(target.string()), c.data)) << c.name;
        EXPECT_TRUE(sameBytes(readFile(rig.deviceFile(c.name).string()), c.data)) << c.name;
    }
    EXPECT_TRUE(rig.host.statuses.empty());
    EXPECT_TRUE(rig.host.runtimeErrors.empty());
    EXPECT_FALSE(rig.serial.wasSerialError());
    EXPECT_FALSE(rig.serial.isSerialBusy());
    // No part file left beside any target.
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        expected.push_back("in-" + c.name);
        expected.push_back("out-" + c.name);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folderEntries(rig.pc), expected);
}

// ------------------------------------------------------------------ command lines

TEST(LinkSimCommand, ALostAckIsAnsweredOnTheSecondAttempt) {
    {
        Rig rig({"--drop-ack", "1"});
        ASSERT_TRUE(rig.open());
        EXPECT_EQ(rig.command("ver 4"), "QX502 S/N 0412 VELTRAN-SIM");
        EXPECT_EQ(rig.commandsSeen(), (std::vector<std::string>{"ver 4", "ver 4"}));
        EXPECT_EQ(rig.sentCount(frame::commandLine("ver 4")), 2);
        EXPECT_TRUE(rig.host.statuses.empty());
        EXPECT_FALSE(rig.serial.wasSerialError());
    }
    {
        Rig rig({"--drop-ack", "1"});
        ASSERT_TRUE(rig.open());
        const std::string data = awkwardBytes(700);
        writeFile((rig.pc / "A.BIN").string(), data);
        EXPECT_EQ(rig.put(rig.pc / "A.BIN", "A.BIN"), TransferResult::Done);
        ASSERT_TRUE(rig.sync());
        EXPECT_TRUE(sameBytes(readFile(rig.deviceFile("A.BIN").string()), data));
        EXPECT_EQ(rig.commandsSeen(),
                  (std::vector<std::string>{"put " + devicePath("A.BIN"),
                                            "put " + devicePath("A.BIN"), "ver 0"}));
        EXPECT_TRUE(rig.host.statuses.empty());
    }
}

// ------------------------------------------------------------------ faults inside a transfer

TEST(LinkSimFault, ACorruptFrameOfAGetIsAskedForAgain) {
    // Frame 3 is block 1: the titrator sends it once with a wrong checksum.
    Rig rig({"--corrupt-frame", "3"});
    ASSERT_TRUE(rig.open());
    const std::string data = awkwardBytes(1000);
    writeFile(rig.deviceFile("C.BIN").string(), data);
    const fs::path target = rig.pc / "C.BIN";
    writeFile(target.string(), kOld);
    ASSERT_EQ(rig.get("C.BIN", target), TransferResult::Done);
    EXPECT_TRUE(sameBytes(readFile(target.string()), data));
    EXPECT_EQ(rig.sentCount(std::string(frame::kRepeatRequest)), 1);
    EXPECT_TRUE(rig.host.statuses.empty());
    EXPECT_EQ(folderEntries(rig.pc), std::vector<std::string>{"C.BIN"});
}

TEST(LinkSimFault, ALostEchoEndsThePutAfterTheReadTimeOut) {
    // Frame 3 the titrator receives is block 1; it takes it but sends no echo.
    Rig rig({"--drop-echo", "3"});
    ASSERT_TRUE(rig.open());
    writeFile(rig.deviceFile("E.BIN").string(), kOld);
    const std::string data = awkwardBytes(1000);
    writeFile((rig.pc / "E.BIN").string(), data);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(rig.put(rig.pc / "E.BIN", "E.BIN"), TransferResult::TimedOut);
    EXPECT_GE(clock.elapsed(), kReadLimitMs - kSlackMs);
    EXPECT_EQ(rig.serial.lastPortError(), PortError::None); // a plain time-out
    EXPECT_TRUE(rig.host.statuses.empty());
    EXPECT_TRUE(rig.host.runtimeErrors.empty());
    EXPECT_FALSE(rig.serial.isSerialBusy());
    // Block 1 was sent once and never again: a missing echo is not a reason to resend.
    EXPECT_EQ(rig.sentCount(frame::buildFrame(frame::kTypeData, 1, data.substr(256, 256))), 1);

    // The titrator gives up its reception after the same silence; the link then works.
    rig.serial.delayMs(500);
    EXPECT_TRUE(sameBytes(readFile(rig.deviceFile("E.BIN").string()), kOld));
    EXPECT_EQ(rig.put(rig.pc / "E.BIN", "E.BIN"), TransferResult::Done);
    ASSERT_TRUE(rig.sync());
    EXPECT_TRUE(sameBytes(readFile(rig.deviceFile("E.BIN").string()), data));
    EXPECT_TRUE(rig.host.statuses.empty());
}

TEST(LinkSimFault, AGarbledEchoSendsTheFrameAgain) {
    const std::string data = awkwardBytes(1000);
    struct Case {
        const char* ordinal;
        std::string frame;
    } cases[] = {
        {"1", frame::buildFrame(frame::kTypeHeader, 4, "")},                  // the "t" frame
        {"3", frame::buildFrame(frame::kTypeData, 1, data.substr(256, 256))}, // block 1
    };
    for (const Case& c : cases) {
        Rig rig({"--garble-echo", c.ordinal});
        ASSERT_TRUE(rig.open());
        writeFile(rig.deviceFile("G.BIN").string(), kOld);
        writeFile((rig.pc / "G.BIN").string(), data);
        EXPECT_EQ(rig.put(rig.pc / "G.BIN", "G.BIN"), TransferResult::Done) << c.ordinal;
        ASSERT_TRUE(rig.sync());
        EXPECT_TRUE(sameBytes(readFile(rig.deviceFile("G.BIN").string()), data)) << c.ordinal;
        EXPECT_EQ(rig.sentCount(c.frame), 2) << c.ordinal;
        EXPECT_TRUE(rig.host.statuses.empty());
    }
}

TEST(LinkSimFault, AStallShorterThanTheLimitIsWaitedOut) {
    Rig rig({"--stall", "4000", "--stall-at", "1"});
    ASSERT_TRUE(rig.open());
    const std::string data = awkwardBytes(600);
    writeFile(rig.deviceFile("S.BIN").string(), data);
    QElapsedTimer clock;
    clock.start();
    ASSERT_EQ(rig.get("S.BIN", rig.pc / "S.BIN"), TransferResult::Done);
    EXPECT_GE(clock.elapsed(), 4000); // the stall did happen
    EXPECT_TRUE(sameBytes(readFile((rig.pc / "S.BIN").string()), data));
    EXPECT_EQ(rig.commandsSeen(), std::vector<std::string>{"get " + devicePath("S.BIN")});
    EXPECT_TRUE(rig.host.statuses.empty());
}

// The simulator's --hangup-after acts between commands only, so this one ends
// the simulator process while its frames are on the line.

TEST(LinkSimFault, AHangUpInTheMiddleOfATransferKeepsBothOldFiles) {
    for (const bool getting : {true, false}) {
        SCOPED_TRACE(getting ? "get" : "put");
        Rig rig({"--baud", std::to_string(kPacedBaud)});
        ASSERT_TRUE(rig.open());
        writeFile(rig.deviceFile("H.BIN").string(), getting ? awkwardBytes(kPacedSize) : kOld);
        const fs::path local = rig.pc / "H.BIN";
        writeFile(local.string(), getting ? kOld : awkwardBytes(kPacedSize));
        bool hungUp = false;
        QObject scope;
        QTimer::singleShot(kInterruptAfterMs, &scope, [&] {
            hungUp = rig.sim->terminate().has_value(); // its pty master closes with it
        });
        EXPECT_EQ(getting ? rig.get("H.BIN", local) : rig.put(local, "H.BIN"),
                  TransferResult::PortFailed);
        ASSERT_TRUE(hungUp);
        EXPECT_EQ(rig.serial.lastPortError(), PortError::DeviceVanished);
        EXPECT_TRUE(
            sameBytes(readFile((getting ? local : rig.deviceFile("H.BIN")).string()), kOld));
        EXPECT_EQ(folderEntries(rig.pc), std::vector<std::string>{"H.BIN"});
        EXPECT_EQ(folderEntries(rig.deviceFolder()), std::vector<std::string>{"H.BIN"});
        EXPECT_TRUE(rig.host.runtimeErrors.empty());
        EXPECT_FALSE(rig.serial.isSerialBusy());
    }
}

// ------------------------------------------------------------------ abort by the user

TEST(LinkSimAbort, AnAbortedGetIsNoSuccessAndKeepsTheOldFile) {
    Rig rig({"--baud", std::to_string(kPacedBaud)});
    ASSERT_TRUE(rig.open());
    writeFile(rig.deviceFile("AG.BIN").string(), awkwardBytes(kPacedSize));
    const fs::path target = rig.pc / "AG.BIN";
    writeFile(target.string(), kOld);
    QObject scope;
    QTimer::singleShot(kInterruptAfterMs, &scope, [&] { rig.sink.requestAbort(); });
    EXPECT_EQ(rig.get("AG.BIN", target), TransferResult::Aborted);
    const long blocks = std::count_if(rig.received.begin(), rig.received.end(),
                                      [](const std::string& s) { return s.rfind("\\p", 0) == 0; });
    EXPECT_GT(blocks, 0);
    EXPECT_LT(blocks, static_cast<long>(kPacedSize / frame::kBlockSize)); // stopped midway
    EXPECT_FALSE(rig.serial.isRecovering());
    rig.serial.settleAfter(TransferResult::Aborted);
    EXPECT_TRUE(rig.serial.isRecovering()); // the settling pause after an abort
    EXPECT_TRUE(sameBytes(readFile(target.string()), kOld));
    EXPECT_EQ(folderEntries(rig.pc), std::vector<std::string>{"AG.BIN"});
    EXPECT_TRUE(rig.host.statuses.empty());
    EXPECT_TRUE(rig.host.runtimeErrors.empty());
}

TEST(LinkSimAbort, AnAbortedPutIsNoSuccessAndLeavesTheTitratorsFile) {
    Rig rig({"--baud", std::to_string(kPacedBaud)});
    ASSERT_TRUE(rig.open());
    writeFile(rig.deviceFile("AP.BIN").string(), kOld);
    const std::string data = awkwardBytes(kPacedSize);
    writeFile((rig.pc / "AP.BIN").string(), data);
    QObject scope;
    QTimer::singleShot(kInterruptAfterMs, &scope, [&] { rig.sink.requestAbort(); });
    EXPECT_EQ(rig.put(rig.pc / "AP.BIN", "AP.BIN"), TransferResult::Aborted);
    const long blocks = std::count_if(rig.sent.begin(), rig.sent.end(),
                                      [](const std::string& s) { return s.rfind("\\p", 0) == 0; });
    EXPECT_GT(blocks, 0);
    EXPECT_LT(blocks, static_cast<long>(kPacedSize / frame::kBlockSize));
    rig.serial.settleAfter(TransferResult::Aborted);
    EXPECT_TRUE(rig.serial.isRecovering());
    EXPECT_TRUE(sameBytes(readFile((rig.pc / "AP.BIN").string()), data));

    // The titrator abandons the incomplete file once the line has been quiet for
    // its own limit; its old file stays, and the link serves the next command.
    rig.serial.waitRecovery();
    rig.serial.delayMs(kReadLimitMs - Serial::kRecoveryMs + 1000);
    EXPECT_TRUE(sameBytes(readFile(rig.deviceFile("AP.BIN").string()), kOld));
    EXPECT_EQ(folderEntries(rig.deviceFolder()), std::vector<std::string>{"AP.BIN"});
    const fs::path back = rig.pc / "BACK.BIN";
    rig.sink.clearAbort();
    ASSERT_EQ(rig.get("AP.BIN", back), TransferResult::Done);
    EXPECT_TRUE(sameBytes(readFile(back.string()), kOld));
    EXPECT_TRUE(rig.host.statuses.empty());
}
