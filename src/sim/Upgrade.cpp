#include "sim/Upgrade.h"

#include "sim/DeviceFs.h"
#include "sumval/crc.h"

#include <limits>

namespace sim {
namespace {

constexpr std::string_view kSerial = " S/N 0412";
constexpr std::size_t kMaxDigits = 5;
constexpr std::size_t kModelNumberAt = 2; // "QX502" -> "502"

// A signed 16-bit decimal, nothing else: what the PC sends for the low 16 bits.
std::optional<int16_t> parseSigned16(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    const std::string_view digits = text.substr(negative ? 1 : 0);
    if (digits.empty() || digits.size() > kMaxDigits ||
        digits.find_first_not_of("0123456789") != digits.npos)
        return std::nullopt;
    long value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    value = negative ? -value : value;
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        return std::nullopt;
    return static_cast<int16_t>(value);
}

} // namespace

Upgrade::Upgrade(std::string info, std::string verdict)
    : info_(std::move(info)), verdict_(std::move(verdict)) {}

std::string Upgrade::defaultInfo(const Model& model, const Firmware& firmware) {
    const std::string id(model.idText);
    return id + " I" + id.substr(kModelNumberAt) + "v" + firmware.text + std::string(kSerial);
}

bool Upgrade::isDestination(std::string_view devicePath) {
    const auto parts = DeviceFs::splitPath(devicePath);
    return devicePath.size() > DeviceFs::kDrive.size() &&
           DeviceFs::sameName(devicePath.substr(0, DeviceFs::kDrive.size()), DeviceFs::kDrive) &&
           parts && parts->size() == 2 && DeviceFs::sameName((*parts)[0], kFolder) &&
           DeviceFs::sameName((*parts)[1], kFile);
}

uint16_t Upgrade::checksum(std::string_view data) {
    return static_cast<uint16_t>(sumval::crcUpdate(sumval::kCrcInit, data.data(), data.size()));
}

std::optional<std::string> Upgrade::announce(std::string_view argument) {
    const auto value = parseSigned16(argument);
    if (!value)
        return std::nullopt;
    announced_ = static_cast<uint16_t>(*value);
    received_.reset();
    return std::to_string(*value);
}

void Upgrade::received(std::string_view data) {
    if (data.empty())
        received_.reset();
    else
        received_ = checksum(data);
}

std::string Upgrade::verdict() const {
    if (!announced_ || !received_)
        return std::string(kNoFile);
    if (*announced_ != *received_)
        return std::string(kBadChecksum);
    return verdict_;
}

} // namespace sim
