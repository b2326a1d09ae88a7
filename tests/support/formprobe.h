#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include "tests/support/scriptedprompter.h"

// Finding and working the controls of a window by their object names, as a user's script would.
namespace formprobe {

template <typename T = QLineEdit>
T* control(const QWidget* form, const char* name) {
    T* w = form->findChild<T*>(QString::fromUtf8(name));
    if (!w) qFatal("no control %s", name);
    return w;
}

inline void click(const QWidget* form, const char* name) {
    QTest::mouseClick(control<QPushButton>(form, name), Qt::LeftButton);
}

// Exactly one message was shown, this one. Check QTest::currentTestFailed() after it.
inline void expectOnePrompt(const ScriptedPrompter& prompter, const QString& text,
                            const QString& title, PromptButtons buttons) {
    QCOMPARE(prompter.calls().size(), 1);
    const ScriptedPrompter::Call& call = prompter.calls().first();
    QCOMPARE(call.text, text);
    QCOMPARE(call.title, title);
    QCOMPARE(call.buttons, buttons);
}

// The colour that covers most of a widget as it is drawn, such as a button's face.
inline QColor dominantColour(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y) | 0xff000000u];
    QRgb best = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) best = it.key(), most = it.value();
    return QColor(best);
}

}  // namespace formprobe
