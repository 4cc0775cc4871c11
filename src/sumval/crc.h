#pragma once
// The CRC register shared by libsumval and the tools that seal method files.
// Header-only and internal: it is not part of the library's exported interface.

#include <cstddef>
#include <cstdint>

namespace sumval {

inline constexpr std::uint32_t kCrcInit = 0xFFFF;
inline constexpr std::uint32_t kCrcPolynomial = 0x1021;

// One byte into the register, most significant bit first. The register is
// deliberately never masked to 16 bits: the high half keeps the bits shifted
// out of bit 15, so a sealed file leaves the whole 32-bit value at exactly 0
// while a file that merely matches in the low 16 bits does not.
constexpr std::uint32_t crcStep(std::uint32_t reg, unsigned char byte) {
    reg ^= static_cast<std::uint32_t>(byte) << 8;
    for (int bit = 0; bit < 8; ++bit) {
        const bool carry = (reg & 0x8000u) != 0;
        reg <<= 1;
        if (carry) {
            reg ^= kCrcPolynomial;
        }
    }
    return reg;
}

constexpr std::uint32_t crcUpdate(std::uint32_t reg, const char* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        reg = crcStep(reg, static_cast<unsigned char>(data[i]));
    }
    return reg;
}

} // namespace sumval
