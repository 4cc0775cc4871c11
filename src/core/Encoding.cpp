#include "core/Encoding.h"

#include <QString>
#include <string_view>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; 0 marks an unused code.
constexpr char16_t kHighTable[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

QString toQt(const std::string& bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char c : bytes) {
        char16_t u = c;
        if (c >= 0x80 && c < 0xA0 && kHighTable[c - 0x80] != 0)
            u = kHighTable[c - 0x80];
        out.append(QChar(u));
    }
    return out;
}

std::string fromQt(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += static_cast<char>(u);
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i)
            if (kHighTable[i] == u && u != 0)
                mapped = static_cast<char>(0x80 + i);
        // The five codes Windows-1252 leaves undefined travel as their own value
        // (toQt shows them as U+0081 and so on), so every byte survives a round trip.
        if (u >= 0x80 && u < 0xA0 && kHighTable[u - 0x80] == 0)
            mapped = static_cast<char>(u);
        out += mapped;
    }
    return out;
}

std::string decodeTextFile(const std::string& content) {
    static const std::string kUtf8Bom = "\xEF\xBB\xBF";
    if (content.compare(0, kUtf8Bom.size(), kUtf8Bom) != 0)
        return content;
    const std::string_view utf8 = std::string_view(content).substr(kUtf8Bom.size());
    return fromQt(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
}
