#pragma once
// The command loop of the simulated titrator: reads "!" + text + checksum + CR
// lines, applies the injected faults and hands good commands to the table.
#include "sim/Commands.h"
#include "sim/DeviceFs.h"
#include "sim/Faults.h"
#include "sim/FileRules.h"
#include "sim/FileService.h"
#include "sim/Link.h"
#include "sim/Models.h"
#include "sim/Upgrade.h"

#include <ostream>
#include <string>

namespace sim {

struct SimSettings {
    const Model* model = nullptr;
    Firmware firmware;
    FaultPlan faults;
    std::ostream* log = nullptr; // one line per command received
    bool persist = false;        // serve the next peer instead of ending at a hang-up
    SlotLimits slots;
    std::string info;                        // the "info" answer
    std::string verdict{Upgrade::kAccepted}; // "upgcheck" for a file that matches
};

enum class EndReason {
    PeerClosed, // the peer opened and closed the line
    Stopped,    // stop signal
    HungUp,     // --hangup-after fired
};

class Simulator {
public:
    static constexpr std::size_t kMaxLineLength = 1024;
    // While no peer holds the line the master reports a hang-up at once, so
    // waiting for the next one can only be a sleep-and-look loop.
    static constexpr int kPeerLookMs = 50;

    Simulator(Link& link, const DeviceFs& files, SimSettings settings,
              CommandTable commands = standardCommands());

    EndReason run();

private:
    Status readCommandLine(std::string& line);
    Status handle(const std::string& command);
    Status dispatch(const std::string& command);
    bool ignored(const std::string& command) const;
    bool waitForNextPeer();
    void log(const std::string& command);

    Link& link_;
    const DeviceFs& files_;
    SimSettings settings_;
    CommandTable commands_;
    FaultCounters counters_;
    Transfer transfer_;
    FileService service_;
    Upgrade upgrade_;
    bool deaf_ = false;
};

} // namespace sim
