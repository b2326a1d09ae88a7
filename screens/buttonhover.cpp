#include "screens/buttonhover.h"

#include <QAbstractButton>
#include <QEvent>
#include <QPalette>
#include <QWidget>

ButtonHover::ButtonHover(QWidget* background, const QList<QAbstractButton*>& buttons)
    : QObject(background), background_(background) {
    background_->setMouseTracking(true);
    background_->installEventFilter(this);
    for (QAbstractButton* button : buttons) {
        buttons_.append(button);
        button->setMouseTracking(true);
        // A button ignores a move without a pressed mouse button; passed on to the window it
        // would count as a move over the background and undo the green at once.
        button->setAttribute(Qt::WA_NoMousePropagation);
        button->installEventFilter(this);
    }
}

bool ButtonHover::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseMove) return false;
    if (watched == background_) {
        for (const QPointer<QAbstractButton>& button : std::as_const(buttons_))
            if (button) setGreen(button, false);
    } else if (auto* button = qobject_cast<QAbstractButton*>(watched)) {
        setGreen(button, true);
    }
    return false;
}

void ButtonHover::setGreen(QAbstractButton* button, bool green) {
    // A style sheet fills the face flat with exactly this colour; a palette colour alone would
    // be shaded into a gradient by the widget style. The palette says the same for whoever
    // reads the button's face colour.
    button->setStyleSheet(green ? flatFace(hoverColour()) : QString());
    if (green) {
        QPalette palette = button->palette();
        palette.setColor(QPalette::Button, hoverColour());
        button->setPalette(palette);
    } else {
        // Back to the inherited palette, the system's button face.
        button->setPalette(QPalette());
    }
}

QString ButtonHover::flatFace(const QColor& colour) {
    return QStringLiteral(
               "QPushButton { background-color: %1; border: 1px solid #808080;"
               " border-radius: 2px; padding: 2px; }"
               "QPushButton:pressed { border-style: inset; }")
        .arg(colour.name());
}
