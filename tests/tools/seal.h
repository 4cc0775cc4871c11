#pragma once
// Seals a method text the way the titrator does: its CRC, high byte first,
// appended, so that libsumval's whole-file register comes out at exactly 0.
#include "sumval/crc.h"

#include <cstdint>
#include <string>

namespace sumval {

inline std::string sealed(std::string text) {
    const std::uint32_t reg = crcUpdate(kCrcInit, text.data(), text.size());
    text.push_back(static_cast<char>((reg >> 8) & 0xFF));
    text.push_back(static_cast<char>(reg & 0xFF));
    return text;
}

} // namespace sumval
