#pragma once
// The two bit sets behind the main window's commands: the pane flags (what the
// panes show) and the command flags (one bit per command, set = enabled).
#include <cstdint>

namespace pane {
constexpr std::uint8_t kCategory = 0x07; // a 3-bit category number, see Category
constexpr std::uint8_t kAllFiles = 0x08; // ShowAllPcFilesCb ticked
constexpr std::uint8_t kCsvFiles = 0x10; // ShowCSVPcFilesCb ticked
constexpr std::uint8_t kTitratorFocus = 0x20;
constexpr std::uint8_t kPcInTray = 0x40;
constexpr std::uint8_t kTitratorInTray = 0x80;
} // namespace pane

// The category option buttons, as numbers in the pane flags.
enum Category : std::uint8_t {
    kStandardMethods = 0,
    kUserMethods = 1,
    kAllMethods = 2,
    kSequences = 3,
    kReports = 4,
    kTrayReports = 5,
};

namespace cmd {
constexpr std::uint32_t kReportsOption = 0x00001;
constexpr std::uint32_t kStandardOption = 0x00002;
constexpr std::uint32_t kUserOption = 0x00004;
constexpr std::uint32_t kAllMethodsOption = 0x00008;
constexpr std::uint32_t kSequencesOption = 0x00010;
constexpr std::uint32_t kTrayReportsOption = 0x00020;
constexpr std::uint32_t kShowAllFiles = 0x00040;
constexpr std::uint32_t kShowCsvFiles = 0x00080;
constexpr std::uint32_t kPcList = 0x00100;
constexpr std::uint32_t kTitratorList = 0x00200;
constexpr std::uint32_t kPcOpenDir = 0x00400;
constexpr std::uint32_t kTitratorOpenDir = 0x00800;
constexpr std::uint32_t kConnect = 0x01000;
constexpr std::uint32_t kOpen = 0x02000;
constexpr std::uint32_t kExport = 0x04000;
constexpr std::uint32_t kPrint = 0x08000;
constexpr std::uint32_t kCopy = 0x10000;
constexpr std::uint32_t kMove = 0x20000;
constexpr std::uint32_t kDelete = 0x40000;
constexpr std::uint32_t kFileCommands = kOpen | kExport | kPrint | kCopy | kMove | kDelete;
} // namespace cmd

inline void setFlag8(std::uint8_t& flags, std::uint8_t mask) {
    flags |= mask;
}
inline void clearFlag8(std::uint8_t& flags, std::uint8_t mask) {
    flags &= static_cast<std::uint8_t>(~mask);
}
// True only when every bit of the mask is set.
inline bool testFlag8(std::uint8_t flags, std::uint8_t mask) {
    return (flags & mask) == mask;
}
inline void setFlag32(std::uint32_t& flags, std::uint32_t mask) {
    flags |= mask;
}
inline void clearFlag32(std::uint32_t& flags, std::uint32_t mask) {
    flags &= ~mask;
}
inline bool testFlag32(std::uint32_t flags, std::uint32_t mask) {
    return (flags & mask) == mask;
}
