#include "link/Rfc2217Port.h"

#include "link/NetworkTexts.h"

#include <cerrno>

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
    settingsAsked_ = false;
    foreignBytes_ = false;
}

void Rfc2217Port::received(const std::string& raw) {
    telnet_->receive(raw);
    const std::string data = telnet_->takeData();
    // Data before the option was agreed: no RFC 2217 server talks first.
    foreignBytes_ = foreignBytes_ || (!data.empty() && !settingsAsked_);
    deliver(data);
    for (const telnet::Subnegotiation& s : telnet_->takeSubnegotiations())
        if (s.option == telnet::kComPortOption)
            line_->answer(s.payload);
    std::string replies = telnet_->takeReplies();
    // The server said DO COM-PORT-OPTION: now the line settings.
    if (!settingsAsked_ && telnet_->ours(telnet::kComPortOption) == OptionState::On) {
        replies += line_->requests();
        settingsAsked_ = true;
    }
    if (!replies.empty())
        sendRaw(replies);
}

// The client says WILL COM-PORT-OPTION, the server answers DO; then the line settings.
void Rfc2217Port::startLine() {
    sendRaw(telnet_->askOurs(telnet::kComPortOption) + telnet_->askOurs(telnet::kBinary) +
            telnet_->askTheirs(telnet::kBinary));
}

TcpPort::Line Rfc2217Port::lineState() const {
    const OptionState comPort = telnet_->ours(telnet::kComPortOption);
    if (comPort == OptionState::Asked)
        return Line::Pending;
    if (comPort != OptionState::On)
        return Line::Failed;
    switch (line_->verdict()) {
    case rfc2217::LineCheck::Verdict::Pending:
        return Line::Pending;
    case rfc2217::LineCheck::Verdict::Accepted:
        return Line::Ready;
    default:
        return Line::Failed;
    }
}

TcpPort::Failure Rfc2217Port::lineError() const {
    return telnet_->ours(telnet::kComPortOption) != OptionState::On ? comPortError()
                                                                    : lineSettingError();
}

TcpPort::Failure Rfc2217Port::silenceError() const {
    if (!connected())
        return closedAtOnce();
    if (foreignBytes_)
        return {EPROTO, netText(kTextNotRfc2217, {address()})};
    return noAnswer();
}

// A refusal breaks the protocol the port needs: EPROTO.
TcpPort::Failure Rfc2217Port::comPortError() const {
    const bool refused = telnet_->ours(telnet::kComPortOption) == OptionState::Refused;
    return refused ? Failure{EPROTO, netText(kTextNoComPort, {address()})} : silenceError();
}

TcpPort::Failure Rfc2217Port::lineSettingError() const {
    const std::string setting = rfc2217::describe(line_->culprit());
    if (line_->verdict() == rfc2217::LineCheck::Verdict::Refused)
        return {EPROTO, netText(kTextSettingRefused, {address(), setting})};
    if (!connected())
        return closedAtOnce();
    return {ETIMEDOUT, netText(kTextSettingSilent, {address(), setting})};
}

void Rfc2217Port::lineUp() {
    std::string settings;
    for (const rfc2217::LineSetting& s : line_->answered())
        settings += (settings.empty() ? "" : ", ") + rfc2217::describe(s);
    note("--- " + netText(kTextLineSet, {address(), settings}));
    if (const auto control = line_->unansweredControl())
        note("--- " + netText(kTextControlSilent, {address(), rfc2217::describe(*control)}));
}
