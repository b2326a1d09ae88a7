#include "notebook/notebookform.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPdfWriter>
#include <QPointer>
#include <QPrinter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include "notebook/notebookeditor.h"
#include "notebook/notebookfile.h"
#include "platform/childhost.h"
#include "platform/fonts.h"
#include "platform/prompter.h"
#include "platform/twips.h"

namespace {

const QString Caption = QStringLiteral("保存内容");

const QString OpenTitle = QStringLiteral("Open");
const QString OpenFilter = QStringLiteral("文本文件 (*.txt)|*.txt|word文档（*.doc)|*.doc");
const QString SaveAsTitle = QStringLiteral("Save As");
const QString SaveAsFilter = QStringLiteral("文本(*.txt)|*.txt|Word文档（*.doc)|*.doc");
const QString RecordedFilter = QStringLiteral("Word文档（*.doc)|*.doc");
const QString PrintTitle = QStringLiteral("Print");

const QString SystemOrderTitle = QStringLiteral("system order");
const QString SystemOrderText = QStringLiteral(
    "你当前的活动窗体文件必须为Word(*.doc)文档或文本(*.TXT)文件\n"
    "如果不是,请先关掉不是上述格式文件的窗体或使活动窗体为上述格式文件窗体");

const QString CloseQuestion = QStringLiteral("笔记本中的内容还没有保存，要保存吗？");

const QString CannotOpen = QStringLiteral("无法打开文件“%1”：\n%2");
const QString ReadInPart = QStringLiteral("文件“%1”：\n%2");
const QString CannotSave = QStringLiteral("无法保存文件“%1”：\n%2");
const QString CannotPrint = QStringLiteral("无法打印到文件“%1”：\n%2");

// Layout of the editor in the window, twips: its margin on every side, and how much narrower
// than the editor its lines wrap.
constexpr double EditorMargin = 100;
constexpr double WrapInset = 400;
// Share of the main window's client area a new notebook takes, as the desktop places a new
// document window.
constexpr double DefaultShare = 0.75;

QFont editorFont() {
    // 五号, the size Chinese documents are written in.
    QFont font(SongFace);
    font.setPointSizeF(10.5);
    // Shaping gives the digits of the CJK faces glyphs that Qt's PDF output cannot map back to
    // characters: a notebook printed to PDF would lose every number to searching and copying.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

std::unique_ptr<QTextDocument> newDocument() {
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(editorFont());
    return document;
}

// The file in a new document, or nullptr after telling the user why not; `warning` receives
// what the user should hear once the document is shown.
std::unique_ptr<QTextDocument> readDocument(Prompter& prompter, const QString& path,
                                            QString& warning) {
    std::unique_ptr<QTextDocument> document = newDocument();
    const Outcome read = readNotebookFile(path, *document);
    const QString shown = QDir::toNativeSeparators(path);
    if (!read.ok()) {
        prompter.ask(CannotOpen.arg(shown, read.reason()), OpenTitle, PromptButtons::Ok);
        return nullptr;
    }
    if (!read.warning().isEmpty()) warning = ReadInPart.arg(shown, read.warning());
    return document;
}

bool hasAttribute(const QTextCharFormat& format, DocumentWindow::Attribute attribute) {
    switch (attribute) {
        case DocumentWindow::Attribute::Bold:
            return format.fontWeight() >= QFont::DemiBold;
        case DocumentWindow::Attribute::Italic:
            return format.fontItalic();
        case DocumentWindow::Attribute::Underline:
            return format.fontUnderline();
    }
    return false;
}

// A PDF is a file the program writes: through a temporary file renamed over the target, like
// every other, so a failed print leaves the old file. Returns an empty text or why it failed.
QString printToPdfFile(const QTextDocument& content, const QPrinter& printer) {
    QSaveFile file(printer.outputFileName());
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    {
        QPdfWriter pdf(&file);
        pdf.setPageLayout(printer.pageLayout());
        pdf.setResolution(printer.resolution());
        pdf.setCreator(printer.creator());
        pdf.setTitle(printer.docName());
        content.print(&pdf);
    }
    if (!file.commit()) return file.errorString();
    return {};
}

}  // namespace

NotebookForm::NotebookForm(ChildHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    setObjectName(QStringLiteral("saveform"));
    setWindowTitle(Caption);
    setAttribute(Qt::WA_DeleteOnClose);
    editor_ = new NotebookEditor(this);
    editor_->setFont(editorFont());
    editor_->document()->setDefaultFont(editorFont());
    editor_->setLineWrapMode(QTextEdit::FixedPixelWidth);
    layoutEditor();
}

NotebookForm::~NotebookForm() = default;

void NotebookForm::openInNotebook(ChildHost& host) {
    const QString path = host.prompter().openFileName(OpenTitle, OpenFilter);
    if (path.isEmpty()) return;
    QString warning;
    std::unique_ptr<QTextDocument> document = readDocument(host.prompter(), path, warning);
    if (!document) return;
    auto* notebook = host.showChild<NotebookForm>();
    // Should a notebook be open without being the active window, it still asks before its
    // content is replaced.
    if (!notebook->maySetContentAside()) return;
    notebook->adopt(std::move(document), path);
    if (!warning.isEmpty()) host.prompter().ask(warning, OpenTitle, PromptButtons::Ok);
}

void NotebookForm::refuseForeignWindow(Prompter& prompter) {
    prompter.ask(SystemOrderText, SystemOrderTitle, PromptButtons::Ok);
}

void NotebookForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutEditor();
}

void NotebookForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (placed_) return;
    placed_ = true;
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame || !frame->mdiArea()) return;
    frame->resize(frame->mdiArea()->viewport()->size() * DefaultShare);
}

void NotebookForm::layoutEditor() {
    if (const auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
        frame && frame->isMinimized())
        return;
    const double dpi = logicalDpiX();
    const double width = pixelsToTwips(this->width(), dpi) - 2 * EditorMargin;
    const double height = pixelsToTwips(this->height(), dpi) - 2 * EditorMargin;
    // A window smaller than the margins keeps the editor where it was.
    if (width >= 0 && height >= 0) {
        const int margin = twipsToPixels(EditorMargin, dpi);
        editor_->setGeometry(margin, margin, twipsToPixels(width, dpi), twipsToPixels(height, dpi));
    }
    const double wrap = pixelsToTwips(editor_->width(), dpi) - WrapInset;
    if (wrap >= 0) editor_->setLineWrapColumnOrWidth(twipsToPixels(wrap, dpi));
}

void NotebookForm::closeEvent(QCloseEvent* event) {
    if (!maySetContentAside()) {
        event->ignore();
        return;
    }
    event->accept();
}

bool NotebookForm::maySetContentAside() {
    const QTextDocument* document = editor_->document();
    // An empty notebook holds nothing to lose, whatever was typed and deleted before.
    if (!document->isModified() || document->isEmpty()) return true;
    switch (host_.prompter().ask(CloseQuestion, Caption, PromptButtons::YesNoCancel)) {
        case PromptAnswer::Yes:
            return save(SaveAsTitle, RecordedFilter, true);
        case PromptAnswer::No:
            return true;
        default:
            return false;
    }
}

void NotebookForm::adopt(std::unique_ptr<QTextDocument> document, const QString& path) {
    // The editor deletes the document it made itself; those it was given are the window's.
    const QPointer<QTextDocument> previous = editor_->document();
    document->setParent(editor_);
    editor_->setDocument(document.release());
    if (previous && previous->parent() == editor_) delete previous.data();
    setFilePath(path);
}

void NotebookForm::setFilePath(const QString& path) {
    filePath_ = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    setWindowTitle(filePath_);
}

void NotebookForm::openDocument() {
    if (!maySetContentAside()) return;
    const QString path = host_.prompter().openFileName(OpenTitle, OpenFilter);
    if (path.isEmpty()) return;
    QString warning;
    std::unique_ptr<QTextDocument> document = readDocument(host_.prompter(), path, warning);
    if (!document) return;
    adopt(std::move(document), path);
    if (!warning.isEmpty()) host_.prompter().ask(warning, OpenTitle, PromptButtons::Ok);
}

void NotebookForm::saveDocumentAs() { save(SaveAsTitle, SaveAsFilter, false); }

void NotebookForm::saveRecordedContent() { save(SaveAsTitle, RecordedFilter, true); }

bool NotebookForm::save(const QString& title, const QString& filter, bool rtf) {
    // The dialog starts in the file's folder but not on its name: the file replaces any of
    // that name without a question, and a plain-text save over the RTF it was opened from would
    // lose the formatting at one press of Enter.
    const QString folder = filePath_.isEmpty() ? QString() : QFileInfo(filePath_).absolutePath();
    const QString path = host_.prompter().saveFileName(title, filter, folder);
    if (path.isEmpty()) return false;
    QTextDocument* document = editor_->document();
    const Outcome written = writeNotebookFile(
        path, *document, rtf ? NotebookFileFormat::Rtf : NotebookFileFormat::PlainText);
    if (!written.ok()) {
        host_.prompter().ask(CannotSave.arg(QDir::toNativeSeparators(path), written.reason()),
                             title, PromptButtons::Ok);
        return false;
    }
    document->setModified(false);
    setFilePath(path);
    return true;
}

void NotebookForm::printDocument(QPrinter& printer) {
    const QTextCursor cursor = editor_->textCursor();
    printer.setPrintRange(cursor.hasSelection() ? QPrinter::Selection : QPrinter::AllPages);
    if (!host_.prompter().choosePrinter(printer, PrintTitle)) return;

    const QTextDocument* content = editor_->document();
    // In the dialog the user may have gone back from the selection to the whole document.
    std::unique_ptr<QTextDocument> selection;
    if (printer.printRange() == QPrinter::Selection && cursor.hasSelection()) {
        selection = newDocument();
        QTextCursor(selection.get()).insertFragment(cursor.selection());
        content = selection.get();
    }
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        const QString failure = printToPdfFile(*content, printer);
        if (!failure.isEmpty()) {
            host_.prompter().ask(
                CannotPrint.arg(QDir::toNativeSeparators(printer.outputFileName()), failure),
                PrintTitle, PromptButtons::Ok);
        }
        return;
    }
    content->print(&printer);
}

void NotebookForm::cut() { editor_->cut(); }

void NotebookForm::copy() { editor_->copy(); }

void NotebookForm::paste() { editor_->paste(); }

bool NotebookForm::selectionHas(Attribute attribute) const {
    const QTextCursor cursor = editor_->textCursor();
    if (!cursor.hasSelection()) return hasAttribute(editor_->currentCharFormat(), attribute);
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    bool seen = false;
    for (QTextBlock block = editor_->document()->findBlock(start);
         block.isValid() && block.position() < end; block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() >= end || fragment.position() + fragment.length() <= start)
                continue;
            if (!hasAttribute(fragment.charFormat(), attribute)) return false;
            seen = true;
        }
    }
    // A selection of paragraph marks only has the format at the cursor.
    return seen || hasAttribute(cursor.charFormat(), attribute);
}

std::optional<bool> NotebookForm::toggleAttribute(Attribute attribute) {
    // A selection that is only partly bold becomes bold, as in word processors.
    const bool on = !selectionHas(attribute);
    QTextCharFormat change;
    switch (attribute) {
        case Attribute::Bold:
            change.setFontWeight(on ? QFont::Bold : QFont::Normal);
            break;
        case Attribute::Italic:
            change.setFontItalic(on);
            break;
        case Attribute::Underline:
            change.setFontUnderline(on);
            break;
    }
    editor_->mergeCurrentCharFormat(change);
    return selectionHas(attribute);
}

void NotebookForm::setAlignment(Qt::Alignment alignment) { editor_->setAlignment(alignment); }
