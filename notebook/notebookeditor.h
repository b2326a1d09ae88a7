#pragma once

#include <QTextEdit>

class QMimeData;
class QTextCursor;

// The notebook's rich-text editor, RichTextBox1. Whichever way the user cuts, copies, pastes
// or drags (menu, toolbar, the editor's own keys), the text travels as RTF with its visible text
// as the plain-text form, so formatting survives inside the notebook and other programs receive
// formatted or readable text, never RTF markup.
class NotebookEditor : public QTextEdit {
  public:
    explicit NotebookEditor(QWidget* parent = nullptr);

  protected:
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

// The selection as clipboard data: text/rtf and application/rtf, and its visible text.
QMimeData* notebookMimeData(const QTextCursor& selection);

// Replaces the selection of `cursor` with clipboard data: RTF when offered, then a plain text
// that is RTF markup (as older programs copy it), then the plain text as it stands. False when
// nothing was inserted.
bool insertNotebookMimeData(const QMimeData& source, QTextCursor& cursor);
