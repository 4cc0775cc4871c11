#include "core/Numbers.h"

#include <charconv>
#include <cmath>

namespace num {
namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool startsNumber(std::string_view s) {
    return !s.empty() && ((s[0] >= '0' && s[0] <= '9') || s[0] == '.');
}

// Parses what from_chars takes after an optional sign; `used` is the count of characters read.
std::optional<double> parsePrefix(std::string_view s, std::size_t& used) {
    used = 0;
    bool negative = false;
    std::size_t at = 0;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        at = 1;
    }
    const std::string_view body = s.substr(at);
    if (!startsNumber(body))
        return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value,
                                           std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        return std::nullopt;
    }
    if (ec != std::errc())
        return std::nullopt;
    used = at + static_cast<std::size_t>(end - body.data());
    return negative ? -value : value;
}

} // namespace

double leadingNumber(std::string_view text) {
    std::size_t used = 0;
    const auto v = parsePrefix(trimmed(text), used);
    return v.value_or(0.0);
}

std::optional<double> parseDouble(std::string_view text) {
    const std::string_view t = trimmed(text);
    std::size_t used = 0;
    const auto v = parsePrefix(t, used);
    if (!v || used != t.size())
        return std::nullopt;
    return v;
}

std::optional<std::int64_t> parseInteger(std::string_view text) {
    std::string_view t = trimmed(text);
    if (!t.empty() && t[0] == '+')
        t.remove_prefix(1);
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return value;
}

std::string fixed(double value, int decimals) {
    if (!std::isfinite(value))
        return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    char buf[400];
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    return ec == std::errc() ? std::string(buf, end) : std::string();
}

} // namespace num
