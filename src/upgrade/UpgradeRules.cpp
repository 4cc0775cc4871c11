#include "upgrade/UpgradeRules.h"

#include "link/Frame.h"
#include "link/Serial.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>

std::string upgradeChecksumArgument(std::uint32_t fileChecksum) {
    const auto low = static_cast<std::uint16_t>(fileChecksum & 0xFFFFu);
    return std::to_string(static_cast<std::int16_t>(low));
}

std::string upgradeModelIdentification(const std::string& info) {
    const std::size_t i = info.find('I');
    if (i == std::string::npos)
        return {};
    const std::size_t v = info.find('v', i + 1);
    return v == std::string::npos ? std::string() : info.substr(i + 1, v - i - 1);
}

int upgradeProgressPercent(double fraction) {
    // The bar's fraction is single precision; the default rounding mode rounds halves to even.
    return static_cast<int>(std::lrint(static_cast<float>(fraction) * 100.0f));
}

bool upgradeFileUsable(const std::filesystem::path& file, int& number, std::string& reason) {
    constexpr std::uintmax_t kMaxBytes = std::uintmax_t(Serial::kMaxBlocks) * frame::kBlockSize;
    const std::string name = file.string();
    std::error_code ec;
    // Only a regular file: opening a FIFO would block, a device never ends.
    if (!std::filesystem::is_regular_file(file, ec)) {
        number = ec ? ec.value() : ENOENT;
        reason = name + " is not a readable file" + (ec ? ": " + ec.message() : std::string());
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec) {
        number = ec.value();
        reason = name + " cannot be read: " + ec.message();
        return false;
    }
    if (size == 0) {
        number = ENODATA;
        reason = name + " is empty.";
        return false;
    }
    if (size > kMaxBytes) {
        number = EFBIG;
        reason = name + " is larger than the " + std::to_string(kMaxBytes) +
                 " bytes a transfer can send.";
        return false;
    }
    errno = 0;
    std::ifstream probe(file, std::ios::binary);
    if (!probe || probe.peek() == std::ifstream::traits_type::eof()) {
        number = errno != 0 ? errno : EIO;
        reason = name + " cannot be read: " + std::strerror(number);
        return false;
    }
    return true;
}
