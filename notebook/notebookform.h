#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#include "platform/documentwindow.h"

class ChildHost;
class NotebookEditor;
class Prompter;
class QTextDocument;

// The notebook, object name "saveform": one rich-text editor in which the user writes notes and
// reports, loaded from and saved to RTF and plain-text files, printed, and formatted through the
// main window's document commands. Its caption is "保存内容" until a file was read or written,
// then that file's full path.
class NotebookForm : public QWidget, public DocumentWindow {
    Q_OBJECT
  public:
    explicit NotebookForm(ChildHost& host, QWidget* parent = nullptr);
    ~NotebookForm() override;

    // Open with no child window active: asks for a file and, once it was read, shows it in the
    // notebook, which opens for it.
    static void openInNotebook(ChildHost& host);
    // The answer of Open and Save As while the active child window holds no document.
    static void refuseForeignWindow(Prompter& prompter);

    // The file's full path once one was read or written, else empty.
    QString filePath() const { return filePath_; }

    // DocumentWindow
    void openDocument() override;
    void saveDocumentAs() override;
    void saveRecordedContent() override;
    void printDocument(QPrinter& printer) override;
    void cut() override;
    void copy() override;
    void paste() override;
    std::optional<bool> toggleAttribute(Attribute attribute) override;
    void setAlignment(Qt::Alignment alignment) override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void layoutEditor();
    // Asks whether to save content that changed since it was opened, loaded or saved; true
    // when the caller may replace or drop it (saved, or the user chose not to).
    bool maySetContentAside();
    // Replaces the editor's document with one read from `path`.
    void adopt(std::unique_ptr<QTextDocument> document, const QString& path);
    bool save(const QString& title, const QString& filter, bool rtf);
    void setFilePath(const QString& path);
    bool selectionHas(Attribute attribute) const;

    ChildHost& host_;
    NotebookEditor* editor_ = nullptr;  // RichTextBox1
    QString filePath_;
    bool placed_ = false;
};
