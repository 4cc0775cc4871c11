#include "core/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

// value = (negative ? -1 : 1) * d1.d2d3... * 10^exponent; digits has no leading zero
// unless the value is zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

template <class T> Decimal shortestDecimal(T value) {
    char buf[64];
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    Decimal d;
    if (ec != std::errc()) {
        d.digits = "0";
        return d;
    }
    const std::string_view s(buf, static_cast<std::size_t>(end - buf));
    std::size_t at = 0;
    if (s[at] == '-') {
        d.negative = true;
        ++at;
    }
    const std::size_t e = s.find('e');
    for (std::size_t i = at; i < e; ++i)
        if (s[i] != '.')
            d.digits += s[i];
    d.exponent = std::atoi(std::string(s.substr(e + 1)).c_str());
    if (d.digits.find_first_not_of('0') == std::string::npos) {
        d.digits = "0";
        d.exponent = 0;
        d.negative = false;
    }
    return d;
}

// Adds one to a string of decimal digits; true when it grew a digit ("99" -> "100").
bool incrementDigits(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

bool allZero(const std::string& s) {
    return s.find_first_not_of("0.") == std::string::npos;
}

std::string fixedText(const Decimal& d, int decimals) {
    if (decimals < 0)
        decimals = 0;
    // Exponents of a float or a double stay within a few hundred, so the padding is bounded.
    std::string whole;
    std::string fraction;
    if (d.exponent >= 0) {
        const std::size_t wholeDigits = static_cast<std::size_t>(d.exponent) + 1;
        whole = d.digits.substr(0, wholeDigits);
        whole.append(wholeDigits > whole.size() ? wholeDigits - whole.size() : 0, '0');
        if (d.digits.size() > wholeDigits)
            fraction = d.digits.substr(wholeDigits);
    } else {
        whole = "0";
        fraction = std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
    }
    const std::size_t keep = static_cast<std::size_t>(decimals);
    const bool roundUp = fraction.size() > keep && fraction[keep] >= '5';
    fraction.resize(keep, '0');
    std::string all = whole + fraction;
    if (roundUp)
        incrementDigits(all);
    const std::size_t wholeSize = all.size() - keep;
    std::string out = all.substr(0, wholeSize);
    if (keep > 0)
        out += "." + all.substr(wholeSize);
    if (d.negative && !allZero(out))
        out.insert(out.begin(), '-');
    return out;
}

// The digits of d rounded to `count` significant figures, half away from zero.
Decimal roundSignificant(Decimal d, int count) {
    const std::size_t n = static_cast<std::size_t>(count);
    const bool roundUp = d.digits.size() > n && d.digits[n] >= '5';
    d.digits.resize(n, '0');
    if (roundUp && incrementDigits(d.digits)) {
        d.digits.resize(n);
        ++d.exponent;
    }
    return d;
}

template <class T> std::string significantText(T value, int digits) {
    if (digits < 2 || !std::isfinite(value))
        return generalForm(value);
    const Decimal d = roundSignificant(shortestDecimal(value), digits);
    const std::string sign = d.negative ? "-" : "";
    const std::string& m = d.digits;
    const int e = d.exponent;
    if (e == 0)
        return sign + m.substr(0, 1) + "." + m.substr(1);
    if (e == -1)
        return sign + "0." + m;
    if (e >= 1 && e <= digits - 1) {
        const std::size_t point = static_cast<std::size_t>(e) + 1;
        return sign + m.substr(0, point) + (point < m.size() ? "." + m.substr(point) : "");
    }
    return sign + m.substr(0, 1) + "." + m.substr(1) + "E" + std::to_string(e);
}

template <class T> std::string generalText(T value) {
    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf");
    const Decimal d = shortestDecimal(value);
    if (d.exponent >= -5 && d.exponent < 15) {
        const int decimals = std::max(0, static_cast<int>(d.digits.size()) - 1 - d.exponent);
        return fixedText(d, decimals);
    }
    std::string out = d.negative ? "-" : "";
    out += d.digits.substr(0, 1);
    if (d.digits.size() > 1)
        out += "." + d.digits.substr(1);
    const int e = std::abs(d.exponent);
    out +=
        std::string("E") + (d.exponent < 0 ? "-" : "+") + (e < 10 ? "0" : "") + std::to_string(e);
    return out;
}

template <class T> std::string fixedOf(T value, int decimals) {
    if (!std::isfinite(value))
        return generalText(value);
    return fixedText(shortestDecimal(value), decimals);
}

} // namespace

std::string formatFixed(float value, int decimals) {
    return fixedOf(value, decimals);
}
std::string formatFixed(double value, int decimals) {
    return fixedOf(value, decimals);
}
std::string formatSignificant(float value, int digits) {
    return significantText(value, digits);
}
std::string formatSignificant(double value, int digits) {
    return significantText(value, digits);
}
std::string generalForm(float value) {
    return generalText(value);
}
std::string generalForm(double value) {
    return generalText(value);
}
