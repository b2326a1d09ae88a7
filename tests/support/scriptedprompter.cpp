#include "tests/support/scriptedprompter.h"

#include <QPrinter>
#include <QTest>

void ScriptedPrompter::unexpected(const Call& call) {
    const QByteArray what = QStringLiteral("unexpected prompt (%1): %2 / %3")
                                .arg(call.kind, call.text, call.title)
                                .toUtf8();
    QTest::qFail(what.constData(), __FILE__, __LINE__);
}

PromptAnswer ScriptedPrompter::ask(const QString& text, const QString& title,
                                   PromptButtons buttons) {
    calls_.append({QStringLiteral("ask"), text, title, buttons, QString(), -1});
    if (answers_.isEmpty()) {
        unexpected(calls_.last());
        return buttons == PromptButtons::YesNo ? PromptAnswer::No
               : buttons == PromptButtons::Ok  ? PromptAnswer::Ok
                                               : PromptAnswer::Cancel;
    }
    return answers_.dequeue();
}

QString ScriptedPrompter::openFileName(const QString& title, const QString& filter) {
    calls_.append({QStringLiteral("open"), filter, title, PromptButtons::Ok, QString(), -1});
    if (fileNames_.isEmpty()) {
        unexpected(calls_.last());
        return {};
    }
    return fileNames_.dequeue();
}

QString ScriptedPrompter::saveFileName(const QString& title, const QString& filter,
                                       const QString& startPath) {
    calls_.append({QStringLiteral("save"), filter, title, PromptButtons::Ok, startPath, -1});
    if (fileNames_.isEmpty()) {
        unexpected(calls_.last());
        return {};
    }
    return fileNames_.dequeue();
}

bool ScriptedPrompter::answerPrinter(QPrinter& printer, const QString& kind, const QString& title) {
    Call call{kind, QString(), title, PromptButtons::OkCancel, QString(), -1};
    call.printRange = int(printer.printRange());
    calls_.append(call);
    if (prints_.isEmpty()) {
        unexpected(calls_.last());
        return false;
    }
    const auto [print, choose] = prints_.dequeue();
    if (print && choose) choose(printer);
    return print;
}

bool ScriptedPrompter::choosePrinter(QPrinter& printer, const QString& title) {
    return answerPrinter(printer, QStringLiteral("print"), title);
}

bool ScriptedPrompter::setupPrinter(QPrinter& printer, const QString& title) {
    return answerPrinter(printer, QStringLiteral("page setup"), title);
}
