#pragma once

#include <algorithm>
#include <cmath>

// Window geometry is given in twips, 1/1440 inch: 15 twips a pixel at 96 dpi.
constexpr double TwipsPerInch = 1440.0;

// Rounds half away from zero. Values beyond what a window system can place (a hand-edited
// setting of 1E+30 twips) saturate instead of overflowing the integer.
inline int twipsToPixels(double twips, double logicalDpi = 96.0) {
    constexpr double Limit = 16777215;  // the largest widget size Qt accepts
    const double px = std::round(twips * logicalDpi / TwipsPerInch);
    if (std::isnan(px)) return 0;
    return static_cast<int>(std::clamp(px, -Limit, Limit));
}

inline double pixelsToTwips(int pixels, double logicalDpi = 96.0) {
    return pixels * TwipsPerInch / logicalDpi;
}
