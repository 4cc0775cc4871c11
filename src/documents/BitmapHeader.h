#pragma once
// A titration-curve picture is checked by its header before anything decodes
// it: a damaged or enormous file must not take the viewer down.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// Larger pictures are not decoded (a 40-megapixel image takes 160 MB as pixels).
inline constexpr std::int64_t kMaxPicturePixels = 40'000'000;

struct BitmapSize {
    std::int64_t width = 0, height = 0;
    // The file length the header promises: where the pixels begin plus their rows,
    // when they are stored uncompressed; 0 when compressed (not known beforehand).
    std::int64_t promisedBytes = 0;
};

// The first bytes of a file (at least the 14-byte file header and the size
// fields of the info header). False with the reason when it is no BMP we show.
bool checkBitmapHeader(std::string_view header, BitmapSize& size, std::string& reason);

// Reads only the header of the file (a FIFO or device is refused unread); a file
// shorter than its header promises is refused too (it would decode as black).
bool checkBitmapFile(const std::filesystem::path& file, BitmapSize& size, std::string& reason);
