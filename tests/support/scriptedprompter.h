#pragma once

#include <QList>
#include <QQueue>
#include <QString>
#include <functional>

#include "platform/prompter.h"

// A Prompter for tests: records every call and answers from queues. A prompt that finds no
// queued answer fails the running test.
class ScriptedPrompter : public Prompter {
  public:
    struct Call {
        QString kind;  // "ask", "open", "save", "print", "page setup"
        QString text;
        QString title;
        PromptButtons buttons = PromptButtons::Ok;
        QString startPath;    // save dialogs
        int printRange = -1;  // print dialogs: the QPrinter::PrintRange preset by the caller
    };
    // What the user does in a print dialog: changes the printer's settings there (prints to a
    // PDF file, picks the whole document) before accepting.
    using PrinterChoice = std::function<void(QPrinter&)>;

    void queueAnswer(PromptAnswer answer) { answers_.enqueue(answer); }
    void queueFileName(const QString& path) { fileNames_.enqueue(path); }
    // The answer to the next print or page setup dialog; `choose` runs only when it accepts.
    void queuePrint(bool print, PrinterChoice choose = {}) {
        prints_.enqueue({print, std::move(choose)});
    }

    const QList<Call>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    // Answers queued but never asked for.
    int pendingAnswers() const { return answers_.size() + fileNames_.size() + prints_.size(); }

    PromptAnswer ask(const QString& text, const QString& title, PromptButtons buttons) override;
    QString openFileName(const QString& title, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& filter,
                         const QString& startPath = QString()) override;
    bool choosePrinter(QPrinter& printer, const QString& title) override;
    bool setupPrinter(QPrinter& printer, const QString& title) override;

  private:
    void unexpected(const Call& call);
    bool answerPrinter(QPrinter& printer, const QString& kind, const QString& title);

    QList<Call> calls_;
    QQueue<PromptAnswer> answers_;
    QQueue<QString> fileNames_;
    QQueue<std::pair<bool, PrinterChoice>> prints_;
};
