#include "link/Trace.h"

#include "TempDir.h"

#include <fstream>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Recorded {
    Trace::Direction direction;
    std::string line;
};

class LinkTrace : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path log = dir.path() / "debug.log";
    Trace trace{log, [] { return std::string("01:02:03 PM"); }};
    std::vector<Recorded> lines;

    void SetUp() override {
        trace.setListener([this](Trace::Direction d, const std::string& line) {
            lines.push_back({d, line});
        });
    }
};

} // namespace

TEST(LinkTraceClock, TwelveHourClockWithDesignator) {
    EXPECT_EQ(formatClock(0, 0, 0), "12:00:00 AM");
    EXPECT_EQ(formatClock(9, 5, 7), "09:05:07 AM");
    EXPECT_EQ(formatClock(11, 59, 59), "11:59:59 AM");
    EXPECT_EQ(formatClock(12, 0, 1), "12:00:01 PM");
    EXPECT_EQ(formatClock(13, 30, 0), "01:30:00 PM");
    EXPECT_EQ(formatClock(23, 0, 0, "vorm.", "nachm."), "11:00:00 nachm.");
    const std::string now = localClockText();
    ASSERT_GE(now.size(), 10u);
    EXPECT_EQ(now[2], ':');
    EXPECT_EQ(now[5], ':');
    EXPECT_EQ(now[8], ' ');
}

TEST(LinkTraceLine, SentAndReceivedLayout) {
    EXPECT_EQ(Trace::formatLine(Trace::Direction::Sent, "!echo01A2\r", "01:02:03 PM"),
              " S 01:02:03 PM e(0) 10 : !echo01A2\r");
    EXPECT_EQ(Trace::formatLine(Trace::Direction::Received, "ACK", "11:00:00 AM"),
              " R 11:00:00 AM e(0) 3 : ACK");
    EXPECT_EQ(Trace::formatLine(Trace::Direction::Sent, "", "11:00:00 AM"),
              " S 11:00:00 AM e(0) 0 : ");
}

TEST(LinkTraceLine, MarkersLoseDirectionTimeAndLength) {
    EXPECT_EQ(Trace::formatLine(Trace::Direction::Sent, "--- connect", "x"), "  --- connect");
    EXPECT_EQ(Trace::formatLine(Trace::Direction::Received, "---", "x"), "  ---");
    EXPECT_EQ(Trace::formatLine(Trace::Direction::Sent, "-- x", "T"), " S T e(0) 4 : -- x");
    EXPECT_EQ(Trace::formatLine(Trace::Direction::Sent, "a---", "T"), " S T e(0) 4 : a---");
}

TEST(LinkTraceLine, RecordQuotesTheLineWithACarriageReturnInside) {
    EXPECT_EQ(Trace::logRecord(" R T e(0) 3 : ACK"), "\" R T e(0) 3 : ACK\r\"\r\n");
}

TEST_F(LinkTrace, EachTextBecomesOneRecordAndOneListenerLine) {
    trace.traceSent("!echo01A2\r");
    trace.traceReceived("ACK");
    trace.traceSent("--- marker");
    EXPECT_EQ(readFile(log), "\" S 01:02:03 PM e(0) 10 : !echo01A2\r\r\"\r\n"
                             "\" R 01:02:03 PM e(0) 3 : ACK\r\"\r\n"
                             "\"  --- marker\r\"\r\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].direction, Trace::Direction::Sent);
    EXPECT_EQ(lines[1].direction, Trace::Direction::Received);
    EXPECT_EQ(lines[1].line, " R 01:02:03 PM e(0) 3 : ACK");
    EXPECT_EQ(lines[2].direction, Trace::Direction::Sent);
    EXPECT_EQ(lines[2].line, "  --- marker");
}

TEST_F(LinkTrace, EmptyReceivedTextLeavesNoLineButEmptySentTextDoes) {
    trace.traceReceived("");
    EXPECT_FALSE(std::filesystem::exists(log));
    EXPECT_TRUE(lines.empty());
    trace.traceSent("");
    EXPECT_EQ(readFile(log), "\" S 01:02:03 PM e(0) 0 : \r\"\r\n");
    ASSERT_EQ(lines.size(), 1u);
}

TEST_F(LinkTrace, LogOfExactlyTheLimitIsKeptAndAppendedTo) {
    { std::ofstream(log, std::ios::binary) << std::string(Trace::kMaxLogBytes, 'x'); }
    trace.traceReceived("ACK");
    const std::string record = Trace::logRecord(" R 01:02:03 PM e(0) 3 : ACK");
    EXPECT_EQ(std::filesystem::file_size(log), Trace::kMaxLogBytes + record.size());
    EXPECT_EQ(readFile(log).substr(Trace::kMaxLogBytes), record);
}

TEST_F(LinkTrace, LogOneByteOverTheLimitRestartsEmpty) {
    { std::ofstream(log, std::ios::binary) << std::string(Trace::kMaxLogBytes + 1, 'x'); }
    trace.traceReceived("ACK");
    EXPECT_EQ(readFile(log), Trace::logRecord(" R 01:02:03 PM e(0) 3 : ACK"));
}

TEST(LinkTraceFailures, AnUnwritableLogIsIgnored) {
    TempDir dir;
    // The log path is a folder: nothing can be written, the caller goes on.
    std::filesystem::create_directory(dir.path() / "debug.log");
    Trace trace(dir.path() / "debug.log", [] { return std::string("T"); });
    int heard = 0;
    trace.setListener([&](Trace::Direction, const std::string&) { ++heard; });
    trace.traceSent("x");
    trace.traceReceived("y");
    EXPECT_EQ(heard, 2);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "debug.log"));
}

TEST(LinkTraceLabels, MessagePartAndCharacterCodes) {
    EXPECT_EQ(traceMessagePart(" S 01:02:03 PM e(0) 5 : a : b"), "a : b");
    EXPECT_EQ(traceMessagePart(" R 01:02:03 PM e(0) 0 : "), "");
    EXPECT_EQ(traceMessagePart("  --- a : b"), "--- a : b");
    EXPECT_EQ(characterCodes("A\r\xFF"), "41 0D FF");
    EXPECT_EQ(characterCodes(""), "");
}
