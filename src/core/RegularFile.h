#pragma once
// Reading a whole file that the user or the titrator gave us. Only a regular
// file of a sane size is read: a FIFO would block, /dev/zero never ends, and a
// folder has no content.
#include <cstddef>
#include <filesystem>
#include <string>

// Caps per kind of file; far above anything real.
constexpr std::size_t kMaxIniBytes = 16u << 20;
constexpr std::size_t kMaxDocumentBytes = 64u << 20;

// False with a reason ("is not a regular file", "is larger than ...", the system's
// text) when the file cannot be read; `missing` tells a file that does not exist.
bool readRegularFile(const std::filesystem::path& file, std::size_t maxBytes,
                     std::string& content, std::string& error, bool* missing = nullptr);
