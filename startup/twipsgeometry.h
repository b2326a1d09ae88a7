#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>

#include "platform/twips.h"

// The information windows are laid out in twips, like their forms were drawn; these turn a
// twips rectangle into pixels at the logical DPI of the screen the widget is on.
inline QRect twipsRect(const QWidget* widget, int left, int top, int width, int height) {
    const double dpiX = widget->logicalDpiX();
    const double dpiY = widget->logicalDpiY();
    return QRect(twipsToPixels(left, dpiX), twipsToPixels(top, dpiY), twipsToPixels(width, dpiX),
                 twipsToPixels(height, dpiY));
}

inline QSize twipsSize(const QWidget* widget, int width, int height) {
    return QSize(twipsToPixels(width, widget->logicalDpiX()),
                 twipsToPixels(height, widget->logicalDpiY()));
}
