#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/prompter.h"

// The Prompter of the running program: Qt message boxes without an icon and Qt's file and
// print dialogs. Each is owned by the program's main window once there is one, so that it
// opens centred over it whichever window is active (or none is); before that by the active
// window.
class QtPrompter : public Prompter {
  public:
    void setMainWindow(QWidget* window) { mainWindow_ = window; }

    PromptAnswer ask(const QString& text, const QString& title, PromptButtons buttons) override;
    QString openFileName(const QString& title, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& filter,
                         const QString& startPath = QString()) override;
    bool choosePrinter(QPrinter& printer, const QString& title) override;
    bool setupPrinter(QPrinter& printer, const QString& title) override;

  private:
    QWidget* dialogParent() const;

    QPointer<QWidget> mainWindow_;
};

// A common-dialog filter ("Text (*.txt)|*.txt|All files|*.*": description and pattern pairs
// separated by "|") in Qt's form ("Text (*.txt);;All files (*)"). "*.*" means every file, as
// it does on the desktop the filters were written for. A text without "|" is taken to be in
// Qt's form already.
QString qtFileFilter(const QString& commonDialogFilter);
