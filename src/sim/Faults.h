#pragma once
// Faults injected on purpose, to test the PC side's retries and time-outs.
// Ordinals count from 1 over the whole run; 0 switches a fault off. Each fires once.
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

struct FaultPlan {
    uint32_t dropAck = 0;      // the Nth command is ignored, as if its line were lost
    uint32_t corruptFrame = 0; // the Nth frame sent goes out once with a wrong checksum
    uint32_t dropEcho = 0;     // the Nth good frame received is not echoed
    uint32_t garbleEcho = 0;   // the Nth good frame received is echoed with a wrong header
    uint32_t stallMs = 0;      // sleep this long before answering command stallAt
    uint32_t stallAt = 1;
    uint32_t deafAfter = 0;   // after N commands, read and ignore everything
    uint32_t hangupAfter = 0; // after N commands, close the line and exit
    // Commands starting with one of these texts are ignored every time, as by a
    // titrator that does not know them ("ver 0").
    std::vector<std::string> ignored;
};

// Running counts shared by the command loop and the transfers.
struct FaultCounters {
    uint32_t commands = 0;
    uint32_t framesSent = 0; // distinct frames; a resend keeps its frame's ordinal
    uint32_t framesReceived = 0;
};

} // namespace sim
