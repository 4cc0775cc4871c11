#include "sim/Simulator.h"

#include "link/Frame.h"
#include "sim/Signals.h"

namespace sim {

Simulator::Simulator(Link& link, const DeviceFs& files, SimSettings settings, CommandTable commands)
    : link_(link), files_(files), settings_(std::move(settings)), commands_(std::move(commands)),
      transfer_(link_, settings_.faults, counters_),
      service_(files_, deviceFolders(*settings_.model, settings_.firmware), settings_.slots),
      upgrade_(settings_.info, settings_.verdict) {}

EndReason Simulator::run() {
    for (;;) {
        std::string line;
        const Status s = readCommandLine(line);
        if (s == Status::Stopped)
            return EndReason::Stopped;
        if (s == Status::Closed) {
            if (settings_.persist && waitForNextPeer())
                continue;
            return stopRequested() ? EndReason::Stopped : EndReason::PeerClosed;
        }
        std::string command;
        // A line with a bad checksum gets no ACK: the PC's retry sends it again.
        if (deaf_ || !frame::parseCommandLine(line, command))
            continue;
        const Status handled = handle(command);
        if (handled == Status::Stopped)
            return EndReason::Stopped;
        if (counters_.commands == settings_.faults.hangupAfter)
            return EndReason::HungUp;
        if (counters_.commands == settings_.faults.deafAfter)
            deaf_ = true;
        if (handled == Status::Closed && !(settings_.persist && waitForNextPeer()))
            return EndReason::PeerClosed;
    }
}

// Bytes outside a line (stray echoes, a transfer the PC abandoned) are skipped.
Status Simulator::readCommandLine(std::string& line) {
    line.clear();
    for (;;) {
        char c;
        if (Status s = link_.readByte(c, Link::kForever); s != Status::Ok)
            return s;
        if (line.empty() && c != frame::kCommandStart)
            continue;
        if (c == frame::kCommandEnd)
            return Status::Ok;
        line += c;
        if (line.size() > kMaxLineLength)
            line.clear();
    }
}

Status Simulator::handle(const std::string& command) {
    const uint32_t ordinal = ++counters_.commands;
    log(command);
    const FaultPlan& faults = settings_.faults;
    if (ordinal == faults.stallAt && faults.stallMs > 0) {
        if (Status s = link_.pause(static_cast<int>(faults.stallMs)); s != Status::Ok)
            return s;
    }
    if (ordinal == faults.dropAck || ignored(command))
        return Status::Ok;
    return dispatch(command);
}

bool Simulator::ignored(const std::string& command) const {
    for (const std::string& text : settings_.faults.ignored)
        if (command.starts_with(text))
            return true;
    return false;
}

// Unknown commands get no ACK, like a titrator that does not know the word.
Status Simulator::dispatch(const std::string& command) {
    const std::size_t blank = command.find(' ');
    const std::string_view word = std::string_view(command).substr(0, blank);
    const std::string_view argument =
        blank == command.npos ? std::string_view() : std::string_view(command).substr(blank + 1);
    const auto handler = commands_.find(word);
    if (handler == commands_.end())
        return Status::Ok;
    CommandContext ctx{*settings_.model, settings_.firmware, files_,  link_,
                       transfer_,        service_,           upgrade_};
    return handler->second(ctx, argument);
}

bool Simulator::waitForNextPeer() {
    while (!link_.peerPresent()) {
        if (link_.pause(kPeerLookMs) != Status::Ok)
            return false;
    }
    link_.reset();
    return true;
}

void Simulator::log(const std::string& command) {
    if (settings_.log)
        *settings_.log << command << std::endl;
}

} // namespace sim
