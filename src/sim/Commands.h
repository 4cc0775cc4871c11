#pragma once
// The command table: command word -> handler. A handler that accepts its
// command calls ack() first; one that refuses returns without it, and the PC
// side sees a missing "ACK". Adding a command is one function and one entry.
#include "sim/DeviceFs.h"
#include "sim/FileService.h"
#include "sim/Link.h"
#include "sim/Models.h"
#include "sim/Transfer.h"
#include "sim/Upgrade.h"

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
    const FileService& service;
    Upgrade& upgrade;

    Status ack() { return link.write("ACK"); }
    // ACK, then the answer as frames.
    Status answer(std::string_view text);
    // The same, or no ACK at all when there is no answer (the command is refused).
    Status answerOrRefuse(const std::optional<std::string>& text);
};

using CommandHandler = std::function<Status(CommandContext&, std::string_view argument)>;
using CommandTable = std::map<std::string, CommandHandler, std::less<>>;

// Everything the titrator answers: identification, files, file rules, upgrade.
CommandTable standardCommands();

// The handlers, by the file that holds them.
// FileCommands.cpp
Status listFiles(CommandContext& ctx, std::string_view folderAndMask);      // extdir
Status listCompanions(CommandContext& ctx, std::string_view folderAndMask); // dir
Status deleteFile(CommandContext& ctx, std::string_view devicePath);        // del
Status deleteTraySet(CommandContext& ctx, std::string_view setName);        // delSeqRpt
Status reloadMethods(CommandContext& ctx, std::string_view);
Status changeId(CommandContext& ctx, std::string_view devicePath);
Status checkFileName(CommandContext& ctx, std::string_view typeAndName);
Status existFile(CommandContext& ctx, std::string_view typeAndName);
Status getFreeFiles(CommandContext& ctx, std::string_view type);
Status sameMethod(CommandContext& ctx, std::string_view name); // sumvalhod
// UpgradeCommands.cpp
Status identify(CommandContext& ctx, std::string_view);               // info
Status announceChecksum(CommandContext& ctx, std::string_view value); // upgcs
Status checkUpgrade(CommandContext& ctx, std::string_view);           // upgcheck

} // namespace sim
