#pragma once
// Number texts of the rendered documents. A Single is shown from the shortest
// decimal text that reads back as the same float (2.015 stays 2.015, not
// 2.01499996), and rounding goes half away from zero on that text, so a value
// typed as 8.25 shows as 8.3 with one decimal. Always C-locale.
#include <string>

// Pattern "0.000" and its kin ("###0.000", "##0.000" and "####0.000" are the
// same for one value): `decimals` digits after the point, no grouping.
std::string formatFixed(float value, int decimals);
std::string formatFixed(double value, int decimals);

// `digits` significant figures: the mantissa alone when the exponent is 0,
// 0.12345 for -1, the point moved right for 1..digits-1, else 1.2345E-3 or
// 1.2346E5. Below 2 digits, the general form.
std::string formatSignificant(float value, int digits);
std::string formatSignificant(double value, int digits);

// The shortest general form: "2", "0.5", "1E+16".
std::string generalForm(float value);
std::string generalForm(double value);
