#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

#include "hydraulics/pipecatalog.h"
#include "hydraulics/projectfile.h"
#include "platform/documentwindow.h"
#include "system/recoverycopy.h"

class ChildHost;
class QAction;
class QTextBrowser;
class QTimer;
class QUndoStack;
class SectionTableModel;
class SettingsPanel;
class SheetView;

// The water-system calculation sheet, object name "Form_水系统水力计算": the sections of one
// project in a grid, the project's settings and the pump's summary beside it, recomputed after
// every edit. A document window: it owns its project file, its saving, its recovery copy and
// its question before closing.
class SystemSheetForm : public QWidget, public DocumentWindow {
    Q_OBJECT
  public:
    explicit SystemSheetForm(ChildHost& host, QWidget* parent = nullptr);
    ~SystemSheetForm() override;

    // At the program's start: when a recovery copy was left behind, opens the sheet and offers
    // to restore it.
    static void offerRecovery(ChildHost& host);
    // Opens the sheet with the project in `path` (the program's command line).
    static void openProjectInSheet(ChildHost& host, const QString& path);

    // The project's full path once it was opened or saved, else empty.
    QString filePath() const { return filePath_; }
    bool isModified() const;

    // The sheet's commands, as its toolbar runs them.
    void newProject();
    void openProject();
    bool saveProject();
    bool saveProjectAs();
    void exportWorkbook();
    void exportReport();
    void printReport(QPrinter& printer);

    // DocumentWindow
    void openDocument() override { openProject(); }
    void saveDocumentAs() override { saveProjectAs(); }
    void saveRecordedContent() override {}
    void printDocument(QPrinter& printer) override { printReport(printer); }
    void cut() override;
    void copy() override;
    void paste() override;
    std::optional<bool> toggleAttribute(Attribute) override { return std::nullopt; }
    void setAlignment(Qt::Alignment) override {}

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void buildToolBar(class QVBoxLayout* layout);
    // Asks whether to save a changed project; true when the caller may drop it (saved, or the
    // user chose not to).
    bool maySetProjectAside();
    // Reads a project file; on failure tells the user why, naming the file.
    std::optional<hydraulics::Project> readProject(const QString& path, const QString& title);
    bool openPath(const QString& path);
    // Writes the project to `path` and takes it as the project's file; on failure tells the
    // user why, naming the file.
    bool writeProject(const QString& path);
    void adopt(const hydraulics::Project& project, const QString& path);
    hydraulics::Project project() const;
    void restoreRecovery();
    void writeRecovery();
    void updateCaption();
    // The name the report goes by: the project's title, else its file's name.
    QString projectName() const;
    void showSummary();
    void pickFittings(int row);
    void pickEquipment(int row);

    ChildHost& host_;
    const hydraulics::PipeCatalog catalog_;
    QUndoStack* undoStack_ = nullptr;
    SectionTableModel* model_ = nullptr;
    SheetView* view_ = nullptr;
    SettingsPanel* settings_ = nullptr;
    QTextBrowser* summary_ = nullptr;
    QTimer* recoveryTimer_ = nullptr;
    RecoveryCopy recovery_;
    QString filePath_;
    std::string title_;
    bool placed_ = false;
    bool recoveryFailureTold_ = false;
};
