#pragma once

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

}  // namespace formprobe
