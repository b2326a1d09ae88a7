#include "notebook/notebookeditor.h"

#include <QMimeData>
#include <QTextCursor>

#include "richtext/rtfreader.h"
#include "richtext/rtfwriter.h"

namespace {

// The names under which word processors on the desktop offer and accept RTF.
const QString RtfTypes[] = {QStringLiteral("text/rtf"), QStringLiteral("application/rtf")};

bool isRtfMarkup(const QString& text) {
    return QStringView(text).trimmed().startsWith(QLatin1String("{\\rtf"));
}

}  // namespace

NotebookEditor::NotebookEditor(QWidget* parent) : QTextEdit(parent) {
    setObjectName(QStringLiteral("RichTextBox1"));
    setAcceptRichText(true);
}

QMimeData* NotebookEditor::createMimeDataFromSelection() const {
    return notebookMimeData(textCursor());
}

bool NotebookEditor::canInsertFromMimeData(const QMimeData* source) const {
    if (!source) return false;
    for (const QString& type : RtfTypes)
        if (source->hasFormat(type)) return true;
    return source->hasText();
}

void NotebookEditor::insertFromMimeData(const QMimeData* source) {
    if (!source) return;
    QTextCursor cursor = textCursor();
    if (insertNotebookMimeData(*source, cursor)) {
        setTextCursor(cursor);
        ensureCursorVisible();
    }
}

QMimeData* notebookMimeData(const QTextCursor& selection) {
    auto* data = new QMimeData;
    const QByteArray rtf = writeRtf(selection);
    for (const QString& type : RtfTypes) data->setData(type, rtf);
    // Paragraph and line separators are what other programs know as line ends.
    QString text = selection.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.remove(QChar::ObjectReplacementCharacter);
    data->setText(text);
    return data;
}

bool insertNotebookMimeData(const QMimeData& source, QTextCursor& cursor) {
    for (const QString& type : RtfTypes) {
        if (!source.hasFormat(type)) continue;
        const QByteArray rtf = source.data(type);
        if (rtf.isEmpty()) continue;
        if (insertRtf(rtf, cursor).ok()) return true;
    }
    if (!source.hasText()) return false;
    const QString text = source.text();
    // Markup the reader refuses is not inserted as text either: a page of control words is
    // not what the user copied.
    if (isRtfMarkup(text)) return insertRtf(text.toUtf8(), cursor).ok();
    cursor.insertText(text);
    return true;
}
