#pragma once

#include <QString>

class QPrinter;
class QWidget;

enum class PromptButtons { YesNo, Ok, OkCancel, YesNoCancel };
enum class PromptAnswer { Yes, No, Ok, Cancel };

// Every message box and standard dialog of the program goes through a Prompter, so that
// forms never open dialogs themselves and tests can answer them.
class Prompter {
  public:
    virtual ~Prompter() = default;

    // A message box with exactly this text, title and buttons, and no icon. Closing the box
    // without choosing answers No (YesNo), Ok (Ok) or Cancel (OkCancel, YesNoCancel).
    virtual PromptAnswer ask(const QString& text, const QString& title, PromptButtons buttons) = 0;

    // The chosen path, or an empty text when the user cancelled.
    virtual QString openFileName(const QString& title, const QString& filter) = 0;
    // `startPath` is the folder, or a path whose folder and file name the dialog starts with.
    // The dialog does not ask about an existing file: the caller does.
    virtual QString saveFileName(const QString& title, const QString& filter,
                                 const QString& startPath = QString()) = 0;

    // The print dialog for this printer; true when the user chose to print.
    virtual bool choosePrinter(QPrinter& printer, const QString& title) = 0;
    // The same print dialog, to choose the printer and its page settings ahead of printing:
    // no page range and no selection are offered. The choices stay on `printer` when the user
    // accepts; true then.
    virtual bool setupPrinter(QPrinter& printer, const QString& title) = 0;
};
