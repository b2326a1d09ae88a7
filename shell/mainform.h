#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "platform/childhost.h"
#include "shell/mainposition.h"
#include "tables/tablerecorder.h"

class ChildWindow;
class DocumentWindow;
class QAction;
class QActionGroup;
class QMdiArea;
class QMenu;
class QPrinter;
class QStatusBar;
class QToolBar;
class SettingsStore;
class StatusPanels;

// The main window, object name "fMainform_计算管理界面": the MDI frame that hosts every other
// window of the program, with its menus, toolbar and status bar. It restores its position
// from `settings` when it is created and stores it when it closes.
class MainForm : public QMainWindow, public ChildHost {
    Q_OBJECT
  public:
    MainForm(Prompter& prompter, SettingsStore& settings, QWidget* parent = nullptr);
    ~MainForm() override;

    // ChildHost
    void setCaptionPanelText(const QString& text) override;
    QWidget* showChild(const QString& key, const std::function<QWidget*()>& create) override;
    using ChildHost::showChild;
    QWidget* activeChild() const override;
    void activateChild(QWidget* window) override;
    Prompter& prompter() override;
    ResultTables& resultTables() override { return tables_; }

    QMdiArea* mdiArea() const { return mdiArea_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    QAction* newAction(const char* name, const QString& caption, const QKeySequence& shortcut = {});
    // A command that also has a toolbar button: `key` is the button's key and tip.
    QAction* newToolAction(const char* name, const QString& caption, const char* key,
                           const char* icon, const QKeySequence& shortcut = {});
    void createActions();
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void loadPosition();
    void storePosition();
    static bool hasRealFrame();
    // The window's size with its frame, as the position store keeps it.
    QSize outerSize() const;
    // Once the window system has framed the window, takes the frame off the client so that
    // the outer size is the one loaded.
    void fitOuterSize();

    // Child windows not yet closed.
    int openChildren() const;
    // Brings every child that fits in the frame's view wholly into it.
    void keepChildrenInView();

    // The active child window when it holds a document, or nullptr.
    DocumentWindow* activeDocument() const;
    // Runs a document command on the active document window; nothing without one.
    void onDocument(void (DocumentWindow::*command)());
    // Open and Save As with no document window active.
    void openWithoutDocument();
    void saveAsWithoutDocument();
    // Made on first use: asking the print system for its printers takes a while.
    QPrinter& printer();

    Prompter& prompter_;
    SettingsStore& settings_;
    TableRecorder tables_{*this};

    QMdiArea* mdiArea_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QActionGroup* alignGroup_ = nullptr;
    // Every command, created once and placed in its menu and on the toolbar.
    struct {
        QAction* fileNew;
        QAction* fileOpen;
        QAction* fileSaveAs;
        QAction* filePageSetup;
        QAction* filePrint;
        QAction* fileExit;
        QAction* editCut;
        QAction* editCopy;
        QAction* editPaste;
        QAction* saveRecorded;
        QList<QAction*> attributes;  // Bold, Italic, Underline
        QList<QAction*> alignments;  // Align Left, Center, Align Right
        QAction* frictionScreen;
        QAction* localScreen;
        QAction* systemSheet;
        QAction* roughnessTable;
        QAction* waterVelocityTable;
        QAction* equipmentLossTable;
        QAction* viewToolbar;
        QAction* viewStatusBar;
        QAction* helpContents;
        QAction* about;
    } actions_{};
    QStatusBar* statusBar_ = nullptr;
    StatusPanels* panels_ = nullptr;

    QHash<QString, QPointer<ChildWindow>> children_;
    // Kept for the run, so that the choices of Page Setup and of a print dialog hold for the
    // next Print.
    std::unique_ptr<QPrinter> printer_;
    // The position as loaded, in twips and as placed in pixels.
    MainPosition loadedPosition_;
    QRect loadedPixels_;
    bool frameFitted_ = false;
    bool outerFitted_ = false;
};
