#pragma once
// SHA-256 as lower-case hexadecimal, for the audit trail and whoever records
// what went over the link or was written.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

std::string sha256Hex(std::string_view bytes);

// The digest of a regular file's content, read in pieces, and the number of bytes
// it covers (so that a record's size and hash always agree); false with a reason
// when it cannot be read (a FIFO or device is refused rather than read forever).
bool sha256OfFile(const std::filesystem::path& file, std::string& hex, std::string& error,
                  std::int64_t* size = nullptr);
