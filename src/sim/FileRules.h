#pragma once
// The titrator's own rules for its files: which names each file type accepts,
// where each type lives, how many slots it has, and the listing masks.
// The type codes are the PC's (1 all methods .. 11 tray reports).
#include "link/ModelTable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

// What the titrator counts slots for.
enum class SlotKind { StandardMethods, UserMethods, Reports, Sequences, TrayReports };
inline constexpr std::size_t kSlotKinds = 5;

struct SlotLimits {
    static constexpr uint32_t kDefault = 100;
    std::array<uint32_t, kSlotKinds> perKind{kDefault, kDefault, kDefault, kDefault, kDefault};

    uint32_t of(SlotKind kind) const { return perKind[static_cast<std::size_t>(kind)]; }
    void set(SlotKind kind, uint32_t n) { perKind[static_cast<std::size_t>(kind)] = n; }
};

// "std", "user", "reports", "sequences", "trays".
std::optional<SlotKind> slotKindNamed(std::string_view word);
std::string_view slotKindName(SlotKind kind);

// The kinds a type code covers: 1 both method kinds, 4..6 the reports; none for
// a code the titrator does not take files of.
std::vector<SlotKind> kindsOfType(int typeCode);

// The name rules, without regard to case: standard methods "QX" + four digits
// (not 0000) + two letters, digits or "_"; user methods "USER" + four digits;
// sequences "SEQ" + four digits; tray reports "TRAY" + four digits; reports
// one to eight letters, digits or "_" - each with its extension.
bool nameFitsType(int typeCode, std::string_view name);
bool nameFitsKind(SlotKind kind, std::string_view name);

// The device folder of a kind ("\QX502\methods\"), or "" when the model has none.
std::string folderOfKind(SlotKind kind, const DeviceFolders& folders);

// A listing mask: "*" any run of characters, "?" exactly one, the rest compared

} // namespace sim
