#pragma once

#include <Qt>
#include <optional>

class QPrinter;

// A child window that holds a document. The main window's document commands (File, Edit, the
// format buttons) go to the active child window when it is one; each document window owns its
// document, its file name, its saving and its question before closing.
class DocumentWindow {
  public:
    enum class Attribute { Bold, Italic, Underline };

    virtual ~DocumentWindow() = default;

    virtual void openDocument() = 0;
    virtual void saveDocumentAs() = 0;
    virtual void saveRecordedContent() = 0;
    // `printer` is the main window's, which keeps the choices of Page Setup and of the last
    // print dialog for the rest of the run.
    virtual void printDocument(QPrinter& printer) = 0;
    virtual void cut() = 0;
    virtual void copy() = 0;
    virtual void paste() = 0;
    // Toggles the attribute of the selection; true when the selection then has it, nothing
    // for a document without character formats (the button then stays as it was).
    virtual std::optional<bool> toggleAttribute(Attribute attribute) = 0;
    virtual void setAlignment(Qt::Alignment alignment) = 0;
};
