#pragma once

#include <QString>

class QFont;
class QLabel;
class QPushButton;
class QWidget;

// The About and help windows are built alike: a fixed-size child window with a dialog border
// and no minimize or maximize button, a word-wrapped Label1 and a Command1 that closes it.
// Sizes and positions are twips.
struct InfoWindowLayout {
    int clientWidth;
    int clientHeight;
    int labelLeft, labelTop, labelWidth, labelHeight;
    int buttonLeft, buttonTop, buttonWidth, buttonHeight;
};

struct InfoWindowControls {
    QLabel* label;
    QPushButton* button;
};

InfoWindowControls buildInfoWindow(QWidget* window, const QString& objectName,
                                   const QString& caption, const QString& text,
                                   const QString& buttonCaption, const QFont& font,
                                   const InfoWindowLayout& layout);
