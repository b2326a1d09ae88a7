#pragma once

// Window geometry is given in twips, 1/1440 inch: 15 twips a pixel at 96 dpi.
constexpr double TwipsPerInch = 1440.0;

inline int twipsToPixels(double twips, double logicalDpi = 96.0) {
    const double px = twips * logicalDpi / TwipsPerInch;
    return static_cast<int>(px < 0 ? px - 0.5 : px + 0.5);
}

inline double pixelsToTwips(int pixels, double logicalDpi = 96.0) {
    return pixels * TwipsPerInch / logicalDpi;
}
