#pragma once
// The command line of veltran-sim.
#include "sim/Faults.h"
#include "sim/FileRules.h"
#include "sim/Models.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

struct Options {
    const Model* model = nullptr;
    Firmware firmware;
    std::string root; // empty: a temporary tree removed at exit
    uint32_t baud = 0;
    std::string logPath;
    std::string linkPath;
    FaultPlan faults;
    SlotLimits slots;
    std::string info;    // the "info" answer; defaults to one for the model
    std::string verdict; // "upgcheck" for a file with the announced checksum
    bool persist = false;
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    std::optional<Options> options;
    std::string error;
};

ParsedOptions parseOptions(const std::vector<std::string>& args);
std::string usageText();
// "veltran-sim 1.00": the program's name and version, as the other programs print it.
std::string versionLine();

} // namespace sim
