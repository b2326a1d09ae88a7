#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include "platform/frame.h"
#include "shell/mainposition.h"

class ChildWindow;
class QAction;
class QActionGroup;
class QMdiArea;
class QMenu;
class QStatusBar;
class QToolBar;
class SettingsStore;
class StatusPanels;

// The main window, object name "fMainform_计算管理界面": the MDI frame that hosts every other
// window of the program, with its menus, toolbar and status bar. It restores its position
// from `settings` when it is created and stores it when it closes.
class MainForm : public QMainWindow, public Frame {
    Q_OBJECT
  public:
    MainForm(Prompter& prompter, SettingsStore& settings, QWidget* parent = nullptr);
    ~MainForm() override;

    // Frame
    void setCaptionPanelText(const QString& text) override;
    QWidget* showChild(const QString& key, const std::function<QWidget*()>& create) override;
    using Frame::showChild;
    QWidget* activeChild() const override;
    Prompter& prompter() override;

    QMdiArea* mdiArea() const { return mdiArea_; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void loadPosition();
    void storePosition();
    void toolbarClick(QAction* button);

    // The document commands act on the notebook window, which is not built yet: until then
    // they do nothing.
    void fileOpen() {}
    void fileSaveAs() {}
    void filePageSetup() {}
    void filePrint() {}
    void editCut() {}
    void editCopy() {}
    void editPaste() {}
    void saveRecordedContent() {}
    void formatBold() {}
    void formatItalic() {}
    void formatUnderline() {}
    void alignLeft() {}
    void alignCenter() {}
    void alignRight() {}

    Prompter& prompter_;
    SettingsStore& settings_;

    QMdiArea* mdiArea_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QActionGroup* alignGroup_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    StatusPanels* panels_ = nullptr;
    QAction* viewToolbar_ = nullptr;
    QAction* viewStatusBar_ = nullptr;

    QHash<QString, QPointer<ChildWindow>> children_;
    // The position as loaded, in twips and as placed in pixels.
    MainPosition loadedPosition_;
    QRect loadedPixels_;
};
