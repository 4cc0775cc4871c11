#pragma once
// Windows keep their positions in twips (1/1440 inch); layout arithmetic is in
// pixels. Conversions round halves to even, as the stored window positions expect.

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
int roundHalfEven(double value);

struct TwipsScale {
    static constexpr double kTwipsPerInch = 1440.0;
    static constexpr double kDefaultTwipsPerPixel = 15.0; // a 96 dpi screen

    double perPixelX = kDefaultTwipsPerPixel;
    double perPixelY = kDefaultTwipsPerPixel;

    // The scale of a screen with these logical dots per inch.
    static TwipsScale fromDpi(double dpiX, double dpiY);

    int twipsToPixelsX(double twips) const { return roundHalfEven(twips / perPixelX); }
    int twipsToPixelsY(double twips) const { return roundHalfEven(twips / perPixelY); }
    int pixelsToTwipsX(double pixels) const { return roundHalfEven(pixels * perPixelX); }
    int pixelsToTwipsY(double pixels) const { return roundHalfEven(pixels * perPixelY); }
};
