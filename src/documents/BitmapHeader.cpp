#include "documents/BitmapHeader.h"

#include "core/Language.h"
#include "core/Text.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kCoreHeaderBytes = 12;    // OS/2 1.x: 16-bit sizes
constexpr std::size_t kInfoHeaderBytes = 40;    // Windows and later: 32-bit sizes
constexpr std::size_t kLargestInfoHeader = 124; // the V5 header
constexpr std::size_t kHeaderBytesRead = kFileHeaderBytes + kInfoHeaderBytes;

constexpr int kTextNotBmp = 163;
constexpr int kTextDamaged = 164;
constexpr int kTextTooLarge = 165; // %v x %v pixels, the limit in megapixels
constexpr int kTextUnreadable = 166;
constexpr int kTextShort = 167;

std::uint32_t u16(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
std::uint32_t u32(std::string_view b, std::size_t at) {
    return u16(b, at) | u16(b, at + 2) << 16;
}
std::int64_t s32(std::string_view b, std::size_t at) {
    return static_cast<std::int32_t>(u32(b, at));
}

bool validDepth(std::uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// BI_RGB, BI_BITFIELDS and BI_ALPHABITFIELDS store whole rows, padded to 4 bytes.
bool uncompressed(std::uint32_t compression) {
    return compression == 0 || compression == 3 || compression == 6;
}

std::int64_t rowBytes(std::int64_t width, std::uint32_t bits) {
    return (width * bits + 31) / 32 * 4;
}

} // namespace

bool checkBitmapHeader(std::string_view h, BitmapSize& size, std::string& reason) {
    if (h.size() < kFileHeaderBytes + kCoreHeaderBytes || h[0] != 'B' || h[1] != 'M') {
        reason = langText(kTextNotBmp);
        return false;
    }
    const std::uint32_t infoBytes = u32(h, kFileHeaderBytes);
    std::uint32_t bits = 0, compression = 0;
    if (infoBytes == kCoreHeaderBytes) {
        size.width = u16(h, 18);
        size.height = u16(h, 20);
        bits = u16(h, 24);
    } else if (infoBytes >= kInfoHeaderBytes && infoBytes <= kLargestInfoHeader &&
               h.size() >= kFileHeaderBytes + kInfoHeaderBytes) {
        size.width = s32(h, 18);
        size.height = s32(h, 22); // negative: stored top-down
        if (size.height < 0)
            size.height = -size.height;
        bits = u16(h, 28);
        compression = u32(h, 30);
    } else {
        reason = langText(kTextDamaged);
        return false;
    }
    if (size.width <= 0 || size.height <= 0 || !validDepth(bits)) {
        reason = langText(kTextDamaged);
        return false;
    }
    if (size.width * size.height > kMaxPicturePixels) {
        reason = formatMsg(langText(kTextTooLarge),
                           {std::to_string(size.width), std::to_string(size.height),
                            std::to_string(kMaxPicturePixels / 1'000'000)});
        return false;
    }
    size.promisedBytes =
        uncompressed(compression) ? u32(h, 10) + rowBytes(size.width, bits) * size.height : 0;
    return true;
}

bool checkBitmapFile(const std::filesystem::path& file, BitmapSize& size, std::string& reason) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    std::array<char, kHeaderBytesRead> buf{};
    struct stat st {};
    ssize_t got = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        got = ::read(fd, buf.data(), buf.size());
    ::close(fd);
    if (got < 0) {
        reason = langText(kTextUnreadable);
        return false;
    }
    if (!checkBitmapHeader(std::string_view(buf.data(), static_cast<std::size_t>(got)), size,
                           reason))
        return false;
    if (size.promisedBytes > st.st_size) {
        reason = langText(kTextShort);
        return false;
    }
    return true;
}
