#pragma once
// The command table: command word -> handler. A handler that accepts its
// command calls ack() first; one that refuses returns without it, and the PC
// side sees a missing "ACK". Adding a command is one function and one entry.
#include "sim/DeviceFs.h"
#include "sim/Link.h"
#include "sim/Models.h"
#include "sim/Transfer.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace sim {

struct CommandContext {
    const Model& model;
    const Firmware& firmware;
    const DeviceFs& files;
    Link& link;
    Transfer& transfer;

    Status ack() { return link.write("ACK"); }
    // ACK, then the answer as frames.
    Status answer(std::string_view text);
};

using CommandHandler = std::function<Status(CommandContext&, std::string_view argument)>;
using CommandTable = std::map<std::string, CommandHandler, std::less<>>;

// echo, ver, get, put.
CommandTable standardCommands();

} // namespace sim
