#include "link/Frame.h"

namespace frame {

uint16_t stringChecksum(std::string_view text) {
    uint32_t sum = 0;
    for (unsigned char c : text)
        sum += c;
    return static_cast<uint16_t>(sum & 0xFFFF);
}

std::string hex4(uint32_t n) {
    static const char digits[] = "0123456789ABCDEF";
    n &= 0xFFFF;
    std::string out(4, '0');
    for (int i = 3; i >= 0; --i) {
        out[i] = digits[n & 0xF];
        n >>= 4;
    }
    return out;
}

uint32_t hexToNumber(std::string_view text) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4 && i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 'a' && c <= 'z')
            c = static_cast<unsigned char>(c - 'a' + 'A');
        int digit = c - 48;
        if (digit > 9)
            digit = c - 55;
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return value;
}

std::string commandLine(std::string_view command) {
    std::string line;
    line.reserve(command.size() + 6);
    line += kCommandStart;
    line += command;
    line += hex4(stringChecksum(command));
    line += kCommandEnd;
    return line;
}

bool parseCommandLine(std::string_view line, std::string& command) {
    if (!line.empty() && line.back() == kCommandEnd)
        line.remove_suffix(1);
    if (line.size() < 5 || line.front() != kCommandStart)
        return false;
    std::string_view text = line.substr(1, line.size() - 5);
    std::string_view sum = line.substr(line.size() - 4);
    if (hex4(stringChecksum(text)) != sum && hexToNumber(sum) != stringChecksum(text))
        return false;
    command.assign(text);
    return true;
}

std::string escape(std::string_view payload) {
    std::string out;
    out.reserve(payload.size() + 8);
    for (char c : payload) {
        out += c;
        if (c == '\\')
            out += '\\';
    }
    return out;
}

std::string buildFrame(char type, uint32_t field, std::string_view payload) {
    std::string f;
    f.reserve(payload.size() + 2 * kMinFrameLength);
    f += '\\';
    f += type;
    f += hex4(field);
    f += escape(payload);
    const uint16_t sum = stringChecksum(f);
    f += "\\c";
    f += hex4(sum);
    return f;
}

std::string getType(std::string_view f) {
    return f.size() < 2 ? std::string() : std::string(1, f[1]);
}

std::string getMsg(std::string_view f) {
    if (f.size() < kMinFrameLength)
        return {};
    std::string_view raw = f.substr(kHeaderLength, f.size() - kMinFrameLength);
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '\\') {
            out += raw[i];
        } else if (i + 1 < raw.size() && raw[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else {
            ++i; // a lone backslash swallows itself and the next character
        }
    }
    return out;
}

uint32_t getFrameField(std::string_view f) {
    return f.size() < kHeaderLength ? 65535u : hexToNumber(f.substr(2, 4));
}

std::string header(std::string_view f) {
    return std::string(f.substr(0, kHeaderLength));
}

bool isComplete(std::string_view f) {
    const std::size_t len = f.size();
    if (len < kMinFrameLength)
        return false;
    // "\c" sits at 0-based positions len-6 and len-5.
    if (f[len - 6] != '\\' || f[len - 5] != 'c')
        return false;
    // Backslashes directly before it, back to the last character of the header at most.
    std::size_t count = 0;
    for (std::size_t i = len - 7; i >= kHeaderLength - 1 && f[i] == '\\'; --i)
        ++count;
    return count % 2 == 0;
}

bool hasValidChecksum(std::string_view f) {
    if (f.size() < kMinFrameLength)
        return false;
    return hexToNumber(f.substr(f.size() - 4)) == stringChecksum(f.substr(0, f.size() - 6));
}

uint32_t blockCount(uint64_t size) {
    return static_cast<uint32_t>(size / kBlockSize + (size % kBlockSize ? 1 : 0));
}

} // namespace frame
