#include "sim/FileRules.h"

#include "sim/DeviceFs.h"

namespace sim {
namespace {

constexpr std::string_view kSlotKindNames[kSlotKinds] = {"std", "user", "reports", "sequences",
                                                         "trays"};
constexpr std::size_t kMaxBaseLength = 8;
constexpr std::string_view kNumberField = "####";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isNameChar(char c) {
    return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// shape: "#" a digit, "@" a name character, anything else itself (any case).
bool fitsShape(std::string_view shape, std::string_view name) {
    if (shape.size() != name.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool fits = shape[i] == '#' ? isDigit(name[i])
                          : shape[i] == '@'
                              ? isNameChar(name[i])
                              : DeviceFs::sameName(shape.substr(i, 1), name.substr(i, 1));
        if (!fits)
            return false;
    }
    return true;
}

// prefix + four digits (slot 0000 does not exist) + tail.
bool numberedName(std::string_view prefix, std::string_view tail, std::string_view name) {
    const std::string shape = std::string(prefix) + std::string(kNumberField) + std::string(tail);
    return fitsShape(shape, name) && name.substr(prefix.size(), kNumberField.size()) != "0000";
}

bool reportName(std::string_view extension, std::string_view name) {
    const std::size_t dot = name.find('.');
    if (dot == 0 || dot == name.npos || dot > kMaxBaseLength)
        return false;
    for (char c : name.substr(0, dot)) {
        if (!isNameChar(c))
            return false;
    }
    return DeviceFs::sameName(name.substr(dot), extension);
}

// The type codes that make up a kind.
std::vector<int> typesOfKind(SlotKind kind) {
    switch (kind) {
    case SlotKind::StandardMethods:
        return {2};
    case SlotKind::UserMethods:
        return {3};
    case SlotKind::Reports:
        return {4, 5, 6};
    case SlotKind::Sequences:
        return {10};
    case SlotKind::TrayReports:
        return {11};
    }
    return {};
}

} // namespace

std::optional<SlotKind> slotKindNamed(std::string_view word) {
    for (std::size_t i = 0; i < kSlotKinds; ++i) {
        if (kSlotKindNames[i] == word)
            return static_cast<SlotKind>(i);
    }
    return std::nullopt;
}

std::string_view slotKindName(SlotKind kind) {
    return kSlotKindNames[static_cast<std::size_t>(kind)];
}

std::vector<SlotKind> kindsOfType(int typeCode) {
    switch (typeCode) {
    case 1:
        return {SlotKind::StandardMethods, SlotKind::UserMethods};
    case 2:
        return {SlotKind::StandardMethods};
    case 3:
        return {SlotKind::UserMethods};
    case 4:
    case 5:
    case 6:
        return {SlotKind::Reports};
    case 10:
        return {SlotKind::Sequences};
    case 11:
        return {SlotKind::TrayReports};
    }
    return {};
}

bool nameFitsType(int typeCode, std::string_view name) {
    switch (typeCode) {
    case 1:
        return nameFitsType(2, name) || nameFitsType(3, name);
    case 2:
        return numberedName("QX", "@@.MTD", name);
    case 3:
        return numberedName("USER", ".MTD", name);
    case 4:
        return reportName(".RPT", name);
    case 5:
        return reportName(".TRP", name);
    case 6:
        return reportName(".CRP", name);
    case 10:
        return numberedName("SEQ", ".MTD", name);
    case 11:
        return numberedName("TRAY", ".RPT", name);
    }
    return false;
}

bool nameFitsKind(SlotKind kind, std::string_view name) {
    for (int type : typesOfKind(kind)) {
        if (nameFitsType(type, name))
            return true;
    }
    return false;
}

std::string folderOfKind(SlotKind kind, const DeviceFolders& folders) {
    switch (kind) {
    case SlotKind::StandardMethods:
    case SlotKind::UserMethods:
        return folders.methodsPath;
    case SlotKind::Reports:
        return folders.reportsPath;
    case SlotKind::Sequences:
        return folders.sequencePath;
    case SlotKind::TrayReports:
        return folders.trayReportsPath;
    }
    return {};
}

} // namespace sim
