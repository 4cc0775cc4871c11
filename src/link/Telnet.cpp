#include "link/Telnet.h"

#include <utility>

namespace telnet {

namespace {
// Far above any COM-PORT-OPTION message; a peer that never ends one loses it.
constexpr std::size_t kMaxSubnegotiation = 1024;
} // namespace

std::string escape(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    for (const char c : data) {
        out += c;
        if (static_cast<uint8_t>(c) == kIac)
            out += c;
    }
    return out;
}

std::string subnegotiation(uint8_t option, std::string_view payload) {
    std::string out{char(kIac), char(kSb), char(option)};
    out += escape(payload);
    out += char(kIac);
    out += char(kSe);
    return out;
}

Connection::Connection(std::set<uint8_t> ours, std::set<uint8_t> theirs)
    : acceptOurs_(std::move(ours)), acceptTheirs_(std::move(theirs)) {
    ours_.fill(OptionState::Off);
    theirs_.fill(OptionState::Off);
}

std::string Connection::command(uint8_t verb, uint8_t option) {
    return {char(kIac), char(verb), char(option)};
}

// A request already in force, or already asked, is not sent again.
std::string Connection::askOurs(uint8_t option) {
    if (ours_[option] == OptionState::On || ours_[option] == OptionState::Asked)
        return {};
    ours_[option] = OptionState::Asked;
    return command(kWill, option);
}

std::string Connection::askTheirs(uint8_t option) {
    if (theirs_[option] == OptionState::On || theirs_[option] == OptionState::Asked)
        return {};
    theirs_[option] = OptionState::Asked;
    return command(kDo, option);
}

void Connection::receive(std::string_view bytes) {
    for (const char c : bytes)
        onByte(static_cast<uint8_t>(c));
}

void Connection::onByte(uint8_t b) {
    switch (parse_) {
    case Parse::Data:
        if (b == kIac)
            parse_ = Parse::Iac;
        else
            data_ += char(b);
        return;
    case Parse::Iac:
        parse_ = Parse::Data;
        if (b == kIac) {
            data_ += char(b);
        } else if (b == kSb) {
            sb_.clear();
            parse_ = Parse::Sb;
        } else if (b >= kWill) {
            verb_ = b;
            parse_ = Parse::Verb;
        }
        return; // NOP, GA, DM and the other two-byte commands mean nothing here
    case Parse::Verb:
        parse_ = Parse::Data;
        onVerb(verb_, b);
        return;
    case Parse::Sb:
        if (b == kIac)
            parse_ = Parse::SbIac;
        else if (sb_.size() < kMaxSubnegotiation)
            sb_ += char(b);
        return;
    case Parse::SbIac:
        if (b == kIac) {
            parse_ = Parse::Sb;
            if (sb_.size() < kMaxSubnegotiation)
                sb_ += char(b);
        } else {
            // IAC SE ends it; any other command inside is a broken peer's, and ends it too.
            parse_ = Parse::Data;
            if (!sb_.empty())
                subnegotiations_.push_back({static_cast<uint8_t>(sb_[0]), sb_.substr(1)});
        }
        return;
    }
}

void Connection::onVerb(uint8_t verb, uint8_t option) {
    if (verb == kWill || verb == kWont)
        negotiate(theirs_[option], acceptTheirs_.count(option) > 0, verb == kWill, option, kDo,
                  kDont);
    else
        negotiate(ours_[option], acceptOurs_.count(option) > 0, verb == kDo, option, kWill, kWont);
}

void Connection::negotiate(OptionState& state, bool acceptable, bool yes, uint8_t option,
                           uint8_t accept, uint8_t refuse) {
    const bool on = state == OptionState::On;
    if (yes) {
        if (on)
            return;
        if (state == OptionState::Asked) {
            state = OptionState::On; // the answer to our request
            return;
        }
        state = acceptable ? OptionState::On : OptionState::Off;
        replies_ += command(acceptable ? accept : refuse, option);
        return;
    }
    if (state == OptionState::Asked) {
        state = OptionState::Refused;
        return;
    }
    if (on) {
        state = OptionState::Off;
        replies_ += command(refuse, option); // an option must be allowed to go off
    }
}

std::string Connection::takeData() {
    return std::exchange(data_, {});
}

std::string Connection::takeReplies() {
    return std::exchange(replies_, {});
}

std::vector<Subnegotiation> Connection::takeSubnegotiations() {
    return std::exchange(subnegotiations_, {});
}

} // namespace telnet
