// The upgrade's commands; the upgrade file itself arrives through "put".
#include "sim/Commands.h"

namespace sim {

Status identify(CommandContext& ctx, std::string_view) {
    return ctx.answer(ctx.upgrade.info());
}

// A value that is not a signed 16-bit decimal is refused: the PC must send the low 16 bits.
Status announceChecksum(CommandContext& ctx, std::string_view value) {
    return ctx.answerOrRefuse(ctx.upgrade.announce(value));
}

Status checkUpgrade(CommandContext& ctx, std::string_view) {
    return ctx.answer(ctx.upgrade.verdict());
}

} // namespace sim
