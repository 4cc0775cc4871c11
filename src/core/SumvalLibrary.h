#pragma once
// The application's binding to libsumval. The library is loaded and each
// function looked up by name at its first call, so a missing library or
// function is an error of that call (with an English reason) and never a
// start-up failure; a later call tries again.
//
// Where the library is looked for: $VELTRAN_SUMVAL (a full path) when set;
// otherwise libsumval.so beside the program (the build tree), then in the
// installed private folder (<program>/../lib/<multiarch>/veltran), then the
// plain name "sumval" through the system's library search. Calls are serialised: the library
// keeps a static buffer and must not be entered twice at once.
#include <cstdint>
#include <filesystem>
#include <string>

namespace sumval {

// Results of verifyMethodFile's code (the library's own values).
inline constexpr std::int32_t kValid = 0;
inline constexpr std::int32_t kBadName = 3;
inline constexpr std::int32_t kBadChecksum = 4;
inline constexpr std::int32_t kBadMethodType = 5;
// fileChecksum's value for a file that cannot be read or is empty.
inline constexpr std::uint32_t kUnreadable = 0xFFFF;

// Each returns false with `error` set when the library cannot be used or the
// argument cannot be passed (a NUL byte inside a path or text would silently
// shorten it). The outputs are only written on success.
bool verifyMethodFile(const std::filesystem::path& file, int family, std::int32_t& code,
                      std::string& error);
bool fileChecksum(const std::filesystem::path& file, std::uint32_t& value, std::string& error);
bool stringChecksum(const std::string& text, std::int16_t& value, std::string& error);

} // namespace sumval
