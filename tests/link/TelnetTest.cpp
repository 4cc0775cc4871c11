// The telnet layer under RFC 2217 and the COM-PORT-OPTION line check, without a socket.
#include "link/Telnet.h"

#include "link/ComPortOption.h"

#include <gtest/gtest.h>

namespace {

using namespace telnet;

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

Connection client() {
    return Connection({kBinary, kSuppressGoAhead, kComPortOption}, {kBinary, kSuppressGoAhead});
}

std::string allByteValues() {
    std::string s;
    for (int i = 0; i < 256; ++i)
        s += static_cast<char>(i);
    return s;
}

// What a connection makes of a stream fed in the given pieces.
struct Decoded {
    std::string data, replies;
    std::vector<std::pair<int, std::string>> subnegotiations;
    bool operator==(const Decoded&) const = default;
};

Decoded decode(const std::vector<std::string>& pieces) {
    Connection c = client();
    for (const std::string& p : pieces)
        c.receive(p);
    Decoded d{c.takeData(), c.takeReplies(), {}};
    for (const Subnegotiation& s : c.takeSubnegotiations())
        d.subnegotiations.emplace_back(s.option, s.payload);
    return d;
}

} // namespace

TEST(LinkTelnet, IacIsDoubledOnTheWayOutAndUndoubledOnTheWayIn) {
    const std::string all = allByteValues();
    const std::string wire = escape(all);
    EXPECT_EQ(wire.size(), 257u);
    EXPECT_EQ(wire.substr(254), bytes({254, 255, 255}));
    EXPECT_EQ(decode({wire}).data, all);
    // Inside a subnegotiation too: a baud rate of 255 carries an IAC byte.
    const std::string sb = subnegotiation(kComPortOption, bytes({1, 0, 0, 0, 255}));
    EXPECT_EQ(sb, bytes({255, 250, 44, 1, 0, 0, 0, 255, 255, 255, 240}));
    const Decoded back = decode({sb});
    ASSERT_EQ(back.subnegotiations.size(), 1u);
    EXPECT_EQ(back.subnegotiations[0].second, bytes({1, 0, 0, 0, 255}));
    EXPECT_EQ(back.data, "");
}

TEST(LinkTelnet, ASequenceSplitAcrossReadsGivesWhatTheWholeStreamGives) {
    const std::string stream = "ab" + bytes({255, 255}) + "c" + bytes({255, 251, 1}) +
                               bytes({255, 250, 44, 101, 0, 0, 75, 0, 255, 240}) + "d" +
                               bytes({255, 253, 0}) + bytes({255, 241}) + "e";
    const Decoded whole = decode({stream});
    EXPECT_EQ(whole.data, "ab" + bytes({255}) + "cde");
    EXPECT_EQ(whole.replies, bytes({255, 254, 1, 255, 251, 0})); // DONT ECHO, WILL BINARY
    ASSERT_EQ(whole.subnegotiations.size(), 1u);
    EXPECT_EQ(whole.subnegotiations[0].second, bytes({101, 0, 0, 75, 0}));
    for (std::size_t cut = 1; cut < stream.size(); ++cut)
        EXPECT_EQ(decode({stream.substr(0, cut), stream.substr(cut)}), whole) << "cut at " << cut;
    std::vector<std::string> single;
    for (char c : stream)
        single.emplace_back(1, c);
    EXPECT_EQ(decode(single), whole);
}

TEST(LinkTelnet, OptionsAreAgreedRefusedAndNeverAnsweredTwice) {
    struct Step {
        const char* what;
        std::string ask;      // our request first, "" for none
        std::string incoming; // then the peer's bytes
        std::string replies;  // what we send back
        OptionState ours, theirs;
        int option;
    } steps[] = {
        {"peer offers echo: refused", "", bytes({255, 251, 1}), bytes({255, 254, 1}),
         OptionState::Off, OptionState::Off, kEcho},
        {"peer asks for a terminal type: refused", "", bytes({255, 253, 24}), bytes({255, 252, 24}),
         OptionState::Off, OptionState::Off, 24},
        {"peer offers binary: agreed", "", bytes({255, 251, 0}), bytes({255, 253, 0}),
         OptionState::Off, OptionState::On, kBinary},
        {"peer offers binary again: no answer", "", bytes({255, 251, 0}), "", OptionState::Off,
         OptionState::On, kBinary},
        {"we offer the COM port option, peer agrees", bytes({255, 251, 44}), bytes({255, 253, 44}),
         "", OptionState::On, OptionState::Off, kComPortOption},
        {"peer switches suppress-go-ahead on and off", "", bytes({255, 253, 3, 255, 254, 3}),
         bytes({255, 251, 3, 255, 252, 3}), OptionState::Off, OptionState::Off, kSuppressGoAhead},
    };
    Connection c = client();
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        if (!s.ask.empty()) {
            EXPECT_EQ(c.askOurs(static_cast<uint8_t>(s.option)), s.ask);
        }
        c.receive(s.incoming);
        EXPECT_EQ(c.takeReplies(), s.replies);
        EXPECT_EQ(c.ours(static_cast<uint8_t>(s.option)), s.ours);
        EXPECT_EQ(c.theirs(static_cast<uint8_t>(s.option)), s.theirs);
    }
    EXPECT_EQ(c.askOurs(kComPortOption), ""); // already in force
    EXPECT_EQ(c.takeData(), "");

    // A server without RFC 2217 says DONT to our WILL: refused, and not answered.
    Connection plain = client();
    EXPECT_EQ(plain.askOurs(kComPortOption), bytes({255, 251, 44}));
    EXPECT_EQ(plain.askOurs(kComPortOption), ""); // asked already
    plain.receive(bytes({255, 254, 44}));
    EXPECT_EQ(plain.ours(kComPortOption), OptionState::Refused);
    EXPECT_EQ(plain.takeReplies(), "");
}

TEST(LinkRfc2217, TheLineCheckWantsFourSettingsBackAsAsked) {
    using rfc2217::LineCheck;
    const auto answer = [](int command, std::initializer_list<int> value) {
        std::string p(1, static_cast<char>(100 + command));
        for (int v : value)
            p += static_cast<char>(v);
        return p;
    };
    const std::vector<std::string> allFour = {answer(1, {0, 0, 0x4B, 0}), answer(2, {8}),
                                              answer(3, {1}), answer(4, {1})};
    struct Case {
        const char* what;
        std::vector<std::string> answers;
        LineCheck::Verdict verdict;
        std::string culprit;
    } cases[] = {
        {"all four, flow control unanswered", allFour, LineCheck::Verdict::Accepted, ""},
        {"nothing yet", {}, LineCheck::Verdict::Pending, "SET-BAUDRATE 19200"},
        {"three of four, and a notification",
         {allFour[0], allFour[1], answer(7, {0}), allFour[3]},
         LineCheck::Verdict::Pending,
         "SET-PARITY NONE"},
        {"another baud rate",
         {answer(1, {0, 0, 0x25, 0x80}), allFour[1]},
         LineCheck::Verdict::Refused,
         "SET-BAUDRATE 19200"},
        {"a truncated answer",
         {allFour[0], answer(2, {})},
         LineCheck::Verdict::Refused,
         "SET-DATASIZE 8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LineCheck check(19200);
        for (const std::string& a : c.answers)
            check.answer(a);
        EXPECT_EQ(check.verdict(), c.verdict);
        if (c.verdict != LineCheck::Verdict::Accepted) {
            EXPECT_EQ(rfc2217::describe(check.culprit()), c.culprit);
        }
    }

    LineCheck check(19200);
    EXPECT_EQ(check.requests().substr(0, 10), bytes({255, 250, 44, 1, 0, 0, 0x4B, 0, 255, 240}));
    for (const std::string& a : allFour)
        check.answer(a);
    ASSERT_TRUE(check.unansweredControl());
    EXPECT_EQ(rfc2217::describe(*check.unansweredControl()), "SET-CONTROL NONE");
    check.answer(answer(5, {1}));
    EXPECT_FALSE(check.unansweredControl());
    EXPECT_EQ(check.answered().size(), 5u);
}
