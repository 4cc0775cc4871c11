#pragma once
// The titrator's half of the block transfer: sends data as a "t" frame and
// 256-byte "p" frames, each waited for its echo; receives frames, echoing each
// good one at once and asking for a bad one again.
#include "sim/Faults.h"
#include "sim/Link.h"

#include <string>
#include <string_view>

namespace sim {

class Transfer {
public:
    static constexpr int kReadTimeoutMs = 5000; // inactivity limit, as on the PC side
    static constexpr int kHeaderSends = 3;      // sends of a "t" frame before giving up
    static constexpr int kBlockSends = 4;       // sends of one "p" frame
    static constexpr int kBadFramesAllowed = 3; // in a row; the fourth ends a reception
    static constexpr uint32_t kMaxBlocks = 0xFFFF;

    Transfer(Link& link, const FaultPlan& faults, FaultCounters& counters);

    // Ok when every frame was echoed.
    Status send(std::string_view data);
    // Ok when the announced number of blocks has arrived.
    Status receive(std::string& data);

private:
    Status sendFrame(const std::string& frame, int maxSends);
    Status readFrame(std::string& frame);
    Status echo(const std::string& frame);

    Link& link_;
    const FaultPlan& faults_;
    FaultCounters& counters_;
};

} // namespace sim
