#include "documents/DocumentText.h"

#include "core/Dates.h"
#include "core/Language.h"
#include "core/Numbers.h"
#include "core/NumberFormat.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <cstdio>

namespace {

constexpr std::size_t kSubLineIndent = 3;
constexpr std::int64_t kFirstStamp = -62135596800; // 0001-01-01 00:00
constexpr std::int64_t kLastStamp = 253402300799;  // 9999-12-31 23:59:59
constexpr double kTwoTo63 = 9223372036854775808.0;

double roundHalfEven(double x) {
    const double low = std::floor(x);
    const double diff = x - low;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(low, 2.0) != 0.0))
        return low + 1.0;
    return low;
}

bool stampInRange(std::int64_t seconds) {
    return seconds >= kFirstStamp && seconds <= kLastStamp;
}

} // namespace

std::optional<std::int16_t> integerValue(std::string_view value) {
    const auto x = num::parseDouble(value);
    if (!x)
        return std::nullopt;
    const double r = roundHalfEven(*x);
    if (r < -32768.0 || r > 32767.0)
        return std::nullopt;
    return static_cast<std::int16_t>(r);
}

std::optional<std::int64_t> longValue(std::string_view value) {
    const auto x = num::parseDouble(value);
    if (!x)
        return std::nullopt;
    const double r = roundHalfEven(*x);
    if (r < -kTwoTo63 || r >= kTwoTo63)
        return std::nullopt;
    return static_cast<std::int64_t>(r);
}

std::optional<float> singleValue(std::string_view value) {
    const auto x = num::parseDouble(value);
    if (!x || std::fabs(*x) > static_cast<double>(FLT_MAX))
        return std::nullopt;
    return static_cast<float>(*x);
}

std::optional<double> doubleValue(std::string_view value) {
    return num::parseDouble(value);
}

std::string formatLine(const std::string& label, const std::string& value, int width) {
    std::string out = label + ":";
    const std::size_t used = out.size() + value.size();
    if (width < 0 || used >= static_cast<std::size_t>(width))
        out += " ";
    else
        out.append(static_cast<std::size_t>(width) - used, ' ');
    out += value;
    out += "\r\n";
    return out;
}

std::string applyIndent(const std::string& text, int indent) {
    const std::string blanks(indent > 0 ? static_cast<std::size_t>(indent) : 0, ' ');
    std::string out = blanks;
    out.reserve(text.size() + text.size() / 16 * blanks.size() + blanks.size());
    std::size_t at = 0;
    for (;;) {
        const std::size_t end = text.find("\r\n", at);
        if (end == std::string::npos) {
            out.append(text, at, std::string::npos);
            return out;
        }
        out.append(text, at, end + 2 - at);
        out += blanks;
        at = end + 2;
    }
}

const std::string& word(int n) {
    return langText(n);
}

std::string stampText(std::int64_t seconds) {
    if (!stampInRange(seconds))
        return std::to_string(seconds);
    const DateTime t = dateFromSeconds(seconds);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d, %02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute);
    return buf;
}

std::string stampTextWithMonthName(std::int64_t seconds) {
    static constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (!stampInRange(seconds))
        return std::to_string(seconds);
    const DateTime t = dateFromSeconds(seconds);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%s %02d, %04d %02d:%02d",
                  kMonths[static_cast<std::size_t>(t.month - 1)], t.day, t.year, t.hour, t.minute);
    return buf;
}

std::string revisionText(std::string_view value) {
    if (const auto x = num::parseDouble(value))
        return formatFixed(*x, 1);
    return std::string(value);
}

void DocumentWriter::line(const std::string& label, const std::string& value) {
    text_ += formatLine(label, value, width_);
}

void DocumentWriter::subLine(const std::string& label, const std::string& value) {
    text_.append(kSubLineIndent, ' ');
    text_ += formatLine(label, value, width_ - static_cast<int>(kSubLineIndent));
}
