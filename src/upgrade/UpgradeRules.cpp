#include "upgrade/UpgradeRules.h"

#include "core/Language.h"
#include "core/Text.h"
#include "link/Frame.h"
#include "link/Serial.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>

namespace {

constexpr int kTextNotReadable = 189; // %v = the file
constexpr int kTextCannotRead = 190;  // the file, the system's reason
constexpr int kTextEmpty = 191;
constexpr int kTextTooLarge = 192; // the file, the bytes a transfer can send

} // namespace

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
        reason = formatMsg(langText(kTextNotReadable), {name}) +
                 (ec ? ": " + ec.message() : std::string());
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec) {
        number = ec.value();
        reason = formatMsg(langText(kTextCannotRead), {name, ec.message()});
        return false;
    }
    if (size == 0) {
        number = ENODATA;
        reason = formatMsg(langText(kTextEmpty), {name});
        return false;
    }
    if (size > kMaxBytes) {
        number = EFBIG;
        reason = formatMsg(langText(kTextTooLarge), {name, std::to_string(kMaxBytes)});
        return false;
    }
    errno = 0;
    std::ifstream probe(file, std::ios::binary);
    if (!probe || probe.peek() == std::ifstream::traits_type::eof()) {
        number = errno != 0 ? errno : EIO;
        reason = formatMsg(langText(kTextCannotRead), {name, std::strerror(number)});
        return false;
    }
    return true;
}
