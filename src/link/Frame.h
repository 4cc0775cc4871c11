#pragma once
// Wire format shared by the application and the simulated titrator.
//   command line:  "!" + text + hex4(sum(text)) + CR, answered by "ACK"
//   frame:         "\" + type + hex4(field) + payload (each "\" doubled) + "\c" + hex4(sum)
// Texts are 8-bit bytes kept in std::string.
#include <cstdint>
#include <string>
#include <string_view>

namespace frame {

constexpr char kCommandStart = '!';
constexpr char kCommandEnd = '\r';
constexpr std::string_view kAck = "ACK";
constexpr std::string_view kRepeatRequest = "\\uFFFF";
constexpr std::size_t kHeaderLength = 6;
constexpr std::size_t kMinFrameLength = 12;
constexpr std::size_t kBlockSize = 256;

constexpr char kTypeHeader = 't';
constexpr char kTypeData = 'p';

// Sum of the byte values modulo 65536.
uint16_t stringChecksum(std::string_view text);

// n modulo 65536 as four upper-case hex digits.
std::string hex4(uint32_t n);

// Value of the first four characters read as hex. Lower case is accepted; other
// characters give out-of-range digit values instead of an error, as the titrator does.
uint32_t hexToNumber(std::string_view text);

std::string commandLine(std::string_view command);

// Parses a command line without its CR; false when the start or checksum is wrong.
bool parseCommandLine(std::string_view line, std::string& command);

std::string escape(std::string_view payload);
std::string buildFrame(char type, uint32_t field, std::string_view payload);

// The frame type letter, or "" for a text shorter than 2.
std::string getType(std::string_view frame);

// The unescaped payload, or "" for a text shorter than a whole frame.
std::string getMsg(std::string_view frame);

// The header field, or 65535 when the text is shorter than a header.
uint32_t getFrameField(std::string_view frame);

// The header a receiver echoes back.
std::string header(std::string_view frame);

// True when the text ends in an unescaped "\c" followed by four checksum characters.
bool isComplete(std::string_view frame);

// True when the trailing checksum matches the text before "\c".
bool hasValidChecksum(std::string_view frame);

// Number of frames a file of the given size needs.
uint32_t blockCount(uint64_t size);

} // namespace frame
