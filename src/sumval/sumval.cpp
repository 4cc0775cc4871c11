// libsumval: see sumval.h for the contract of each function.

#include "sumval.h"

#include "crc.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Blocks of the file checksum go through one static buffer so that an upgrade
// file of any size is checked without allocating.
constexpr std::size_t kReadBlock = 4000;
unsigned char g_readBuffer[kReadBlock];

// The MethType search reads like fgets into an 80-byte buffer: a longer line
// arrives in pieces of at most 79 characters and each piece is judged alone.
constexpr int kLineBuffer = 80;

// Rebuilt on every call; the largest family (1) yields six cells.
constexpr std::size_t kMaxAllowed = 6;
std::int32_t g_allowed[kMaxAllowed];
std::size_t g_allowedCount = 0;

constexpr std::int32_t kTypeBase = 32;
constexpr std::int32_t kFlagWeight = 8;

char asciiUpper(char c) {
    // Not std::toupper: the host application sets a locale, and the name rule
    // must not depend on it.
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Base name: between the last separator and the last dot after it. Only this
// part of the path takes part in the name test, so only it is upper-cased.
std::string upperBaseName(const char* path) {
    const char* start = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (isSeparator(*p)) {
            start = p + 1;
        }
    }
    const char* end = std::strrchr(start, '.');
    if (end == nullptr) {
        end = start + std::strlen(start);
    }
    std::string base(start, end);
    for (char& c : base) {
        c = asciiUpper(c);
    }
    return base;
}

// Standard methods (any name with "QX") carry the number after a two-letter
// prefix, user methods after "USER". Four digits, value above 0. Requiring all
// four to be digits also makes blanks and a sign impossible, so reading them
// as an integer reduces to "not 0000".
bool nameIsValid(const std::string& base) {
    const bool standard = base.find("QX") != std::string::npos;
    const std::size_t fieldStart = standard ? 2 : 4;
    constexpr std::size_t kDigits = 4;
    if (base.size() < fieldStart + kDigits) {
        return false;
    }
    int value = 0;
    for (std::size_t i = fieldStart; i < fieldStart + kDigits; ++i) {
        if (!isDigit(base[i])) {
            return false;
        }
        value = value * 10 + (base[i] - '0');
    }
    return value > 0;
}

struct FamilyRule {
    const std::int32_t* kinds;
    std::size_t kindCount;
    const std::int32_t* flags;
    std::size_t flagCount;
};

constexpr std::int32_t kKinds0[] = {0};
constexpr std::int32_t kKinds1[] = {0, 1, 5};
constexpr std::int32_t kKinds2[] = {2};
constexpr std::int32_t kKinds3[] = {4};
constexpr std::int32_t kFlagsBoth[] = {0, 1};
constexpr std::int32_t kFlagsNone[] = {0};

FamilyRule ruleFor(std::int32_t family) {
    switch (family) {
    case 0:
        return {kKinds0, 1, kFlagsBoth, 2};
    case 1:
        return {kKinds1, 3, kFlagsBoth, 2};
    case 2:
        return {kKinds2, 1, kFlagsNone, 1};
    case 3:
        return {kKinds3, 1, kFlagsNone, 1};
    default:
        return {kKinds0, 1, kFlagsNone, 1};
    }
}

// Kinds 1, 2, 4 and 5 have no flagged variant; their flagged cell stays at the
// plain base type, which repeats a value already allowed.
void buildAllowed(std::int32_t family) {
    const FamilyRule rule = ruleFor(family);
    g_allowedCount = 0;
    for (std::size_t k = 0; k < rule.kindCount; ++k) {
        for (std::size_t f = 0; f < rule.flagCount; ++f) {
            const std::int32_t kind = rule.kinds[k];
            const std::int32_t flag = rule.flags[f];
            const bool noFlagged = kind == 1 || kind == 2 || kind == 4 || kind == 5;
            g_allowed[g_allowedCount++] =
                (flag == 1 && noFlagged) ? kTypeBase : kTypeBase + kind + kFlagWeight * flag;
        }
    }
}

bool isAllowed(std::int32_t type) {
    for (std::size_t i = 0; i < g_allowedCount; ++i) {
        if (g_allowed[i] == type) {
            return true;
        }
    }
    return false;
}

// atoi-like (leading white space, optional sign, digits up to the first
// non-digit) but saturating, since the text comes from a file.
std::int32_t readDecimal(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    long long value = 0;
    for (; isDigit(*text); ++text) {
        value = value * 10 + (*text - '0');
        if (value > static_cast<long long>(INT32_MAX) + 1) {
            value = static_cast<long long>(INT32_MAX) + 1;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT32_MAX) {
        value = INT32_MAX;
    }
    return static_cast<std::int32_t>(value);
}

// Far above any method or upgrade file (an upgrade holds at most 65535 blocks of 256 bytes).
constexpr off_t kMaxFileBytes = 64L * 1024 * 1024;

// Opens only a regular file of a sane size: a FIFO would block the open or the
// read for ever, and a device such as /dev/zero never ends.
std::FILE* openRegular(const char* path, const char* mode) {
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxFileBytes ||
        ::fcntl(fd, F_SETFL, 0) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, mode);
    if (file == nullptr) {
        ::close(fd);
    }
    return file;
}

bool readMethodType(const char* path, std::int32_t& type) {
    std::FILE* file = openRegular(path, "r");
    if (file == nullptr) {
        return false;
    }
    static const char kKey[] = "MethType";
    char piece[kLineBuffer];
    bool found = false;
    while (std::fgets(piece, kLineBuffer, file) != nullptr) {
        if (std::strstr(piece, kKey) == nullptr) {
            continue;
        }
        const char* blank = std::strchr(piece, ' ');
        if (blank == nullptr || std::strstr(blank + 1, kKey) != nullptr) {
            continue;
        }
        type = readDecimal(blank + 1);
        found = true;
        break;
    }
    std::fclose(file);
    return found;
}

} // namespace

extern "C" {

std::uint32_t GetFileChecksum(const char* path) {
    if (path == nullptr) {
        return SUMVAL_UNREADABLE;
    }
    std::FILE* file = openRegular(path, "rb");
    if (file == nullptr) {
        return SUMVAL_UNREADABLE;
    }
    // Our own block buffer is the only buffer needed.
    std::setvbuf(file, nullptr, _IONBF, 0);
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        size = std::ftell(file);
    }
    if (size <= 0) {
        std::fclose(file);
        return SUMVAL_UNREADABLE;
    }
    std::uint32_t reg = sumval::kCrcInit;
    long position = 0;
    while (position < size && std::ferror(file) == 0) {
        if (std::fseek(file, position, SEEK_SET) != 0) {
            break;
        }
        const std::size_t count = std::fread(g_readBuffer, 1, kReadBlock, file);
        // A file that shrank since its size was taken would otherwise make us
        // seek to the same position for ever.
        if (count == 0) {
            break;
        }
        // A file that grew meanwhile is only checked up to the size taken.
        const std::size_t remaining = static_cast<std::size_t>(size - position);
        const std::size_t used = count < remaining ? count : remaining;
        reg = sumval::crcUpdate(reg, reinterpret_cast<const char*>(g_readBuffer), used);
        position += static_cast<long>(count);
    }
    std::fclose(file);
    return reg;
}

std::int16_t GetStringChecksum(const char* text) {
    const char* bytes = text != nullptr ? text : "";
    const std::uint32_t reg = sumval::crcUpdate(sumval::kCrcInit, bytes, std::strlen(bytes));
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(reg & 0xFFFFu));
}

std::int32_t VerifyMethodFile(const char* path, std::int32_t family) {
    if (path == nullptr || !nameIsValid(upperBaseName(path))) {
        return SUMVAL_BAD_NAME;
    }
    if (GetFileChecksum(path) != 0) {
        return SUMVAL_BAD_CHECKSUM;
    }
    buildAllowed(family);
    std::int32_t type = 0;
    if (!readMethodType(path, type) || !isAllowed(type)) {
        return SUMVAL_BAD_METHOD_TYPE;
    }
    return SUMVAL_VALID;
}

} // extern "C"
