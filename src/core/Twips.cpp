#include "core/Twips.h"

#include <climits>
#include <cmath>

int roundHalfEven(double value) {
    if (!std::isfinite(value))
        return 0;
    // Saturate: a wild window size must not wrap into a negative position.
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    double whole = std::floor(value);
    double fraction = value - whole;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    return static_cast<int>(whole);
}

TwipsScale TwipsScale::fromDpi(double dpiX, double dpiY) {
    TwipsScale scale;
    if (dpiX > 0)
        scale.perPixelX = kTwipsPerInch / dpiX;
    if (dpiY > 0)
        scale.perPixelY = kTwipsPerInch / dpiY;
    return scale;
}
