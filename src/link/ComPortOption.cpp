#include "link/ComPortOption.h"

#include "link/Telnet.h"

namespace rfc2217 {

namespace {

std::string commandName(uint8_t command) {
    switch (command) {
    case kSetBaudRate:
        return "SET-BAUDRATE";
    case kSetDataSize:
        return "SET-DATASIZE";
    case kSetParity:
        return "SET-PARITY";
    case kSetStopSize:
        return "SET-STOPSIZE";
    default:
        return "SET-CONTROL";
    }
}

// The value an answer carries; a truncated one counts as 0, which no request asks for.
uint32_t answerValue(const std::string& payload) {
    const std::size_t width =
        static_cast<uint8_t>(payload[0]) == kServerOffset + kSetBaudRate ? 4 : 1;
    if (payload.size() < 1 + width)
        return 0;
    uint32_t value = 0;
    for (std::size_t i = 1; i <= width; ++i)
        value = (value << 8) | static_cast<uint8_t>(payload[i]);
    return value;
}

} // namespace

std::string request(const LineSetting& s) {
    std::string payload(1, char(s.command));
    if (s.command == kSetBaudRate)
        for (int shift = 24; shift >= 0; shift -= 8)
            payload += char((s.value >> shift) & 0xFF);
    else
        payload += char(s.value);
    return payload;
}

std::string describe(const LineSetting& s) {
    const bool none = (s.command == kSetParity && s.value == kParityNone) ||
                      (s.command == kSetControl && s.value == kNoFlowControl);
    return commandName(s.command) + " " + (none ? std::string("NONE") : std::to_string(s.value));
}

LineCheck::LineCheck(int baud) {
    for (const LineSetting& s :
         {LineSetting{kSetBaudRate, static_cast<uint32_t>(baud), true},
          LineSetting{kSetDataSize, kDataBits8, true}, LineSetting{kSetParity, kParityNone, true},
          LineSetting{kSetStopSize, kStopBits1, true},
          LineSetting{kSetControl, kNoFlowControl, false}})
        entries_.push_back({s, std::nullopt});
}

std::string LineCheck::requests() const {
    std::string out;
    for (const Entry& e : entries_)
        out += telnet::subnegotiation(telnet::kComPortOption, request(e.setting));
    return out;
}

void LineCheck::answer(const std::string& payload) {
    if (payload.empty())
        return;
    const uint8_t code = static_cast<uint8_t>(payload[0]);
    for (Entry& e : entries_)
        if (code == kServerOffset + e.setting.command)
            e.answer = answerValue(payload);
}

LineCheck::Verdict LineCheck::verdict() const {
    bool pending = false;
    for (const Entry& e : entries_) {
        if (!e.setting.required)
            continue;
        if (e.answer && *e.answer != e.setting.value)
            return Verdict::Refused;
        pending = pending || !e.answer;
    }
    return pending ? Verdict::Pending : Verdict::Accepted;
}

LineSetting LineCheck::culprit() const {
    for (const Entry& e : entries_)
        if (e.setting.required && e.answer && *e.answer != e.setting.value)
            return e.setting;
    for (const Entry& e : entries_)
        if (e.setting.required && !e.answer)
            return e.setting;
    return entries_.front().setting;
}

std::vector<LineSetting> LineCheck::answered() const {
    std::vector<LineSetting> out;
    for (const Entry& e : entries_)
        if (e.answer)
            out.push_back({e.setting.command, *e.answer, e.setting.required});
    return out;
}

std::optional<LineSetting> LineCheck::unansweredControl() const {
    const Entry& control = entries_.back();
    return control.answer ? std::nullopt : std::optional<LineSetting>(control.setting);
}

} // namespace rfc2217
