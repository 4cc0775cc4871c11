#include "link/Rfc2217Port.h"

#include "link/NetworkTexts.h"

namespace {

using telnet::OptionState;

// Binary both ways, so that no byte of a file is taken for a line ending;
// suppress-go-ahead is what servers offer alongside.
const std::set<uint8_t> kOurOptions{telnet::kBinary, telnet::kSuppressGoAhead,
                                    telnet::kComPortOption};
const std::set<uint8_t> kTheirOptions{telnet::kBinary, telnet::kSuppressGoAhead};

} // namespace

void Rfc2217Port::reset(int baud) {
    telnet_ = std::make_unique<telnet::Connection>(kOurOptions, kTheirOptions);
    line_ = std::make_unique<rfc2217::LineCheck>(baud);
}

void Rfc2217Port::received(const std::string& raw) {
    telnet_->receive(raw);
    deliver(telnet_->takeData());
    for (const telnet::Subnegotiation& s : telnet_->takeSubnegotiations())
        if (s.option == telnet::kComPortOption)
            line_->answer(s.payload);
    const std::string replies = telnet_->takeReplies();
    if (!replies.empty())
        sendRaw(replies);
}

// The client says WILL COM-PORT-OPTION, the server answers DO; then the line settings.
std::string Rfc2217Port::setUpLine(const QDeadlineTimer& deadline) {
    sendRaw(telnet_->askOurs(telnet::kComPortOption) + telnet_->askOurs(telnet::kBinary) +
            telnet_->askTheirs(telnet::kBinary));
    waitUntil([this] { return telnet_->ours(telnet::kComPortOption) != OptionState::Asked; },
              deadline);
    if (telnet_->ours(telnet::kComPortOption) != OptionState::On)
        return comPortError();
    sendRaw(line_->requests());
    waitUntil([this] { return line_->verdict() != rfc2217::LineCheck::Verdict::Pending; },
              deadline);
    if (line_->verdict() != rfc2217::LineCheck::Verdict::Accepted)
        return lineSettingError();
    noteLine();
    return {};
}

std::string Rfc2217Port::silenceError() const {
    return connected() ? noAnswerText() : netText(kTextClosed, {address()});
}

std::string Rfc2217Port::comPortError() const {
    const bool refused = telnet_->ours(telnet::kComPortOption) == OptionState::Refused;
    return refused ? netText(kTextNoComPort, {address()}) : silenceError();
}

std::string Rfc2217Port::lineSettingError() const {
    const std::string setting = rfc2217::describe(line_->culprit());
    if (line_->verdict() == rfc2217::LineCheck::Verdict::Refused)
        return netText(kTextSettingRefused, {address(), setting});
    return connected() ? netText(kTextSettingSilent, {address(), setting})
                       : netText(kTextClosed, {address()});
}

void Rfc2217Port::noteLine() const {
    std::string settings;
    for (const rfc2217::LineSetting& s : line_->answered())
        settings += (settings.empty() ? "" : ", ") + rfc2217::describe(s);
    note("--- " + netText(kTextLineSet, {address(), settings}));
    if (const auto control = line_->unansweredControl())
        note("--- " + netText(kTextControlSilent, {address(), rfc2217::describe(*control)}));
}
