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

Status putFile(CommandContext& ctx, std::string_view argument) {
    const auto target = ctx.files.targetFile(argument);
    if (!target)
        return Status::Ok;
    if (Status s = ctx.ack(); s != Status::Ok)
        return s;
    std::string data;
    if (Status s = ctx.transfer.receive(data); s != Status::Ok)
        return s;
    return writeFileAtomically(*target, data) ? Status::Ok : Status::Failed;
}

} // namespace

Status CommandContext::answer(std::string_view text) {
    if (Status s = ack(); s != Status::Ok)
        return s;
    return transfer.send(text);
}

CommandTable standardCommands() {
    return {
        {"echo", echo},
        {"ver", version},
        {"get", getFile},
        {"put", putFile},
    };
}

} // namespace sim
