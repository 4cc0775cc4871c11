#include "sim/Commands.h"

#include "core/AtomicFile.h"
#include "link/Frame.h"

namespace sim {
namespace {

Status echo(CommandContext& ctx, std::string_view) {
    return ctx.ack();
}

// "ver 4": identification; "ver 0": firmware version. Other queries are unknown.
Status version(CommandContext& ctx, std::string_view argument) {
    if (argument == "4")
        return ctx.answer(identificationAnswer(ctx.model));
    if (argument == "0")
        return ctx.answer(versionAnswer(ctx.model, ctx.firmware));
    return Status::Ok;
}

// A missing or unreadable file is refused before the ACK, so the PC fails at
// once instead of waiting for frames that never come.
Status getFile(CommandContext& ctx, std::string_view argument) {
    const auto file = ctx.files.existingFile(argument);
    const auto data = file ? DeviceFs::readFile(*file) : std::nullopt;
    if (!data || frame::blockCount(data->size()) > Transfer::kMaxBlocks)
        return Status::Ok;
    return ctx.answer(*data);
}

// A new file of a kind whose slots are all used is refused; so is a path
// outside the tree. The upgrade destination's folder is made when first needed.
Status putFile(CommandContext& ctx, std::string_view argument) {
    const bool upgrade = Upgrade::isDestination(argument);
    if (upgrade && !ctx.files.createFolders(Upgrade::kFolder))
        return Status::Ok;
    const auto target = ctx.files.targetFile(argument);
    if (!target || !ctx.service.hasRoomFor(*target))
        return Status::Ok;
    if (Status s = ctx.ack(); s != Status::Ok)
        return s;
    std::string data;
    if (Status s = ctx.transfer.receive(data); s != Status::Ok)
        return s;
    if (!writeFileAtomically(*target, data))
        return Status::Failed;
    if (upgrade)
        ctx.upgrade.received(data);
    return Status::Ok;
}

} // namespace

Status CommandContext::answer(std::string_view text) {
    if (Status s = ack(); s != Status::Ok)
        return s;
    return transfer.send(text);
}

Status CommandContext::answerOrRefuse(const std::optional<std::string>& text) {
    return text ? answer(std::string_view(*text)) : Status::Ok;
}

CommandTable standardCommands() {
    return {
        {"echo", echo},
        {"ver", version},
        {"get", getFile},
        {"put", putFile},
        {"extdir", listFiles},
        {"dir", listCompanions},
        {"del", deleteFile},
        {"delSeqRpt", deleteTraySet},
        {"reloadMethods", reloadMethods},
        {"changeId", changeId},
        {"checkFileName", checkFileName},
        {"existFile", existFile},
        {"getFreeFiles", getFreeFiles},
        {"sumvalhod", sameMethod},
        {"info", identify},
        {"upgcs", announceChecksum},
        {"upgcheck", checkUpgrade},
    };
}

} // namespace sim
