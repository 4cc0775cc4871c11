#pragma once
// Numbers as files, the wire and config.ini write them: always the C locale,
// whatever the user's locale says ("2.10" is two point one on a German PC too).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace num {

// The number a text starts with, after blanks and an optional sign: "3.00 2026" is 3,
// "x3" and "" are 0. Digits with an optional point and exponent; never "inf" or "nan".
double leadingNumber(std::string_view text);

// The whole text (blanks around allowed) as a number, or nothing.
std::optional<double> parseDouble(std::string_view text);
std::optional<std::int64_t> parseInteger(std::string_view text);

// Fixed-point text with the given decimals and a "." ("2.10").
std::string fixed(double value, int decimals);

} // namespace num
