#include "tests/support/scriptedprompter.h"

#include <QTest>

void ScriptedPrompter::unexpected(const Call& call) {
    const QByteArray what = QStringLiteral("unexpected prompt (%1): %2 / %3")
                                .arg(call.kind, call.text, call.title)
                                .toUtf8();
    QTest::qFail(what.constData(), __FILE__, __LINE__);
}

PromptAnswer ScriptedPrompter::ask(const QString& text, const QString& title,
                                   PromptButtons buttons) {
    calls_.append({QStringLiteral("ask"), text, title, buttons});
    if (answers_.isEmpty()) {
        unexpected(calls_.last());
        return buttons == PromptButtons::YesNo ? PromptAnswer::No
               : buttons == PromptButtons::Ok  ? PromptAnswer::Ok
                                               : PromptAnswer::Cancel;
    }
    return answers_.dequeue();
}

QString ScriptedPrompter::openFileName(const QString& title, const QString& filter) {
    calls_.append({QStringLiteral("open"), filter, title, PromptButtons::Ok});
    if (fileNames_.isEmpty()) {
        unexpected(calls_.last());
        return {};
    }
    return fileNames_.dequeue();
}

QString ScriptedPrompter::saveFileName(const QString& title, const QString& filter,
                                       const QString& startPath) {
    calls_.append({QStringLiteral("save"), filter, title, PromptButtons::Ok, startPath});
    if (fileNames_.isEmpty()) {
        unexpected(calls_.last());
        return {};
    }
    return fileNames_.dequeue();
}

bool ScriptedPrompter::choosePrinter(QPrinter&, const QString& title) {
    calls_.append({QStringLiteral("print"), QString(), title, PromptButtons::OkCancel});
    if (prints_.isEmpty()) {
        unexpected(calls_.last());
        return false;
    }
    return prints_.dequeue();
}
