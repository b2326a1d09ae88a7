#pragma once

#include <QList>
#include <QQueue>
#include <QString>

#include "platform/prompter.h"

// A Prompter for tests: records every call and answers from queues. A prompt that finds no
// queued answer fails the running test.
class ScriptedPrompter : public Prompter {
  public:
    struct Call {
        QString kind;  // "ask", "open", "save", "print"
        QString text;
        QString title;
        PromptButtons buttons = PromptButtons::Ok;
        QString startPath;  // save dialogs
    };

    void queueAnswer(PromptAnswer answer) { answers_.enqueue(answer); }
    void queueFileName(const QString& path) { fileNames_.enqueue(path); }
    void queuePrint(bool print) { prints_.enqueue(print); }

    const QList<Call>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    // Answers queued but never asked for.
    int pendingAnswers() const { return answers_.size() + fileNames_.size() + prints_.size(); }

    PromptAnswer ask(const QString& text, const QString& title, PromptButtons buttons) override;
    QString openFileName(const QString& title, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& filter,
                         const QString& startPath = QString()) override;
    bool choosePrinter(QPrinter& printer, const QString& title) override;

  private:
    void unexpected(const Call& call);

    QList<Call> calls_;
    QQueue<PromptAnswer> answers_;
    QQueue<QString> fileNames_;
    QQueue<bool> prints_;
};
