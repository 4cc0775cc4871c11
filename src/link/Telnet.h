#pragma once
// The telnet layer under RFC 2217 (RFC 854, option negotiation as RFC 1143
// keeps it free of loops): data bytes with IAC doubled, commands and
// subnegotiations taken out of the stream, even when a read splits them.
#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace telnet {

constexpr uint8_t kIac = 255;
constexpr uint8_t kDont = 254;
constexpr uint8_t kDo = 253;
constexpr uint8_t kWont = 252;
constexpr uint8_t kWill = 251;
constexpr uint8_t kSb = 250;
constexpr uint8_t kSe = 240;

constexpr uint8_t kBinary = 0;
constexpr uint8_t kEcho = 1;
constexpr uint8_t kSuppressGoAhead = 3;
constexpr uint8_t kComPortOption = 44;

// Data as it goes on the wire: every IAC byte doubled.
std::string escape(std::string_view data);
// IAC SB option payload IAC SE, the payload escaped.
std::string subnegotiation(uint8_t option, std::string_view payload);

// Where one side of an option stands. Refused: we asked and the peer said no.
enum class OptionState { Off, Asked, On, Refused };

struct Subnegotiation {
    uint8_t option = 0;
    std::string payload; // unescaped
};

class Connection {
public:
    // The options we agree to run on our side (WILL) and on the peer's (DO);
    // every other request is refused.
    Connection(std::set<uint8_t> ours, std::set<uint8_t> theirs);

    // Asks for an option on our side (WILL) or on the peer's (DO); the bytes to send.
    std::string askOurs(uint8_t option);
    std::string askTheirs(uint8_t option);

    // Takes received bytes; a sequence cut off at the end waits for the next call.
    void receive(std::string_view bytes);
    // What receive() produced: the data bytes, the answers to send, the subnegotiations.
    std::string takeData();
    std::string takeReplies();
    std::vector<Subnegotiation> takeSubnegotiations();

    OptionState ours(uint8_t option) const { return ours_[option]; }
    OptionState theirs(uint8_t option) const { return theirs_[option]; }

private:
    enum class Parse { Data, Iac, Verb, Sb, SbIac };
    void onByte(uint8_t b);
    void onVerb(uint8_t verb, uint8_t option);
    static std::string command(uint8_t verb, uint8_t option);
    // One side's answer to a WILL/DO (yes) or WONT/DONT (no) from the peer.
    void negotiate(OptionState& state, bool acceptable, bool yes, uint8_t option, uint8_t accept,
                   uint8_t refuse);

    std::set<uint8_t> acceptOurs_, acceptTheirs_;
    std::array<OptionState, 256> ours_{}, theirs_{};
    Parse parse_ = Parse::Data;
    uint8_t verb_ = 0;
    std::string data_, replies_, sb_;
    std::vector<Subnegotiation> subnegotiations_;
};

} // namespace telnet
