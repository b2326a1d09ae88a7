#pragma once

#include <QList>
#include <QRect>

class SettingsStore;

// The main window's left edge, top edge, outer width and height, in twips, as kept in the
// settings store between runs.
struct MainPosition {
    float left = 1000;
    float top = 1000;
    float width = 6500;
    float height = 6500;

    friend bool operator==(const MainPosition&, const MainPosition&) = default;
};

// Reads the four keys in the order left, top, width, height. An absent key, or a text that is
// not a number, gives that key's default.
MainPosition readMainPosition(const SettingsStore& store);

// Stores the four keys, each as the general text of a single-precision number ("1000").
void writeMainPosition(SettingsStore& store, const MainPosition& position);

QRect positionToPixels(const MainPosition& position, double logicalDpi);
MainPosition pixelsToPosition(const QRect& rect, double logicalDpi);

// A window whose rectangle meets no available screen area could never be reached: it goes to
// the default top-left corner, keeping its size. A partly visible window stays where it is.
QRect reachablePlacement(const QRect& wanted, const QList<QRect>& availableScreens,
                         const QPoint& defaultTopLeft);
