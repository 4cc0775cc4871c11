// The file service's commands: listings, deletes, method housekeeping and the
// file-rule queries. The rules themselves are FileService's.
#include "sim/Commands.h"

namespace sim {
namespace {

// What the titrator writes after a delete; the PC reads two characters.
constexpr std::string_view kDeleted = "OK";

Status acknowledgeDelete(CommandContext& ctx, bool deleted) {
    if (!deleted)
        return Status::Ok;
    if (Status s = ctx.ack(); s != Status::Ok)
        return s;
    return ctx.link.write(kDeleted);
}

} // namespace

Status listFiles(CommandContext& ctx, std::string_view folderAndMask) {
    return ctx.answerOrRefuse(ctx.service.listing(folderAndMask, true));
}

Status listCompanions(CommandContext& ctx, std::string_view folderAndMask) {
    return ctx.answerOrRefuse(ctx.service.listing(folderAndMask, false));
}

Status deleteFile(CommandContext& ctx, std::string_view devicePath) {
    return acknowledgeDelete(ctx, ctx.service.deleteFile(devicePath));
}

Status deleteTraySet(CommandContext& ctx, std::string_view setName) {
    return acknowledgeDelete(ctx, ctx.service.deleteTraySet(setName));
}

// The method table is read from the files on every command, so there is nothing to reload.
Status reloadMethods(CommandContext& ctx, std::string_view) {
    return ctx.ack();
}

// Accepted for a user method the titrator holds; the command log shows it.
Status changeId(CommandContext& ctx, std::string_view devicePath) {
    return ctx.service.isUserMethod(devicePath) ? ctx.ack() : Status::Ok;
}

Status checkFileName(CommandContext& ctx, std::string_view typeAndName) {
    return ctx.answerOrRefuse(ctx.service.checkFileName(typeAndName));
}

Status existFile(CommandContext& ctx, std::string_view typeAndName) {
    return ctx.answerOrRefuse(ctx.service.existFile(typeAndName));
}

Status getFreeFiles(CommandContext& ctx, std::string_view type) {
    return ctx.answerOrRefuse(ctx.service.freeFiles(type));
}

Status sameMethod(CommandContext& ctx, std::string_view name) {
    return ctx.answerOrRefuse(ctx.service.sameMethod(name));
}

} // namespace sim
