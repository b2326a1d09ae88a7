#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>

class QAbstractButton;
class QWidget;

// The green face of the calculation screens' main buttons: a button turns green when the pointer
// moves over it and stays green, wherever else the pointer goes, until the pointer moves over the
// window's own background; then every watched button gets its ordinary face back.
class ButtonHover : public QObject {
  public:
    ButtonHover(QWidget* background, const QList<QAbstractButton*>& buttons);

    static QColor hoverColour() { return QColor(0, 255, 0); }
    // A style sheet that gives a push button a flat face of this colour.
    static QString flatFace(const QColor& colour);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void setGreen(QAbstractButton* button, bool green);

    QWidget* background_;
    QList<QPointer<QAbstractButton>> buttons_;
};
