#pragma once

#include <QAction>
#include <QList>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <memory>

#include "platform/settingsstore.h"
#include "shell/mainform.h"
#include "tests/support/scriptedprompter.h"

// The whole program's frame for a test: a MainForm whose prompts go to a ScriptedPrompter and
// whose position goes to a settings file in a temporary folder. Only tests that link the
// shell include it.
struct MainFormHarness {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<SettingsStore> store;
    std::unique_ptr<MainForm> form;

    MainFormHarness()
        : store(std::make_unique<SettingsStore>(dir.filePath(QStringLiteral("settings.ini")))),
          form(std::make_unique<MainForm>(prompter, *store)) {}

    template <typename T = QAction>
    T* find(const QString& name) const {
        return form->findChild<T*>(name);
    }
    QList<QMdiSubWindow*> open() const { return form->mdiArea()->subWindowList(); }
};
