#pragma once

#include <QByteArray>
#include <QString>

class QTextCursor;
class QTextDocument;

struct RtfReadResult {
    // False when the file was refused whole; the document is then left as it was.
    bool ok = true;
    // Why the file was refused, for the user (Chinese).
    QString error;
    // Set when the file was damaged (truncated, unbalanced, not RTF at all) but what could be
    // read was read; for the user (Chinese).
    QString warning;
};

// Reads RTF as written by word processors, pandoc and writeRtf: text, paragraphs, line breaks,
// tabs; bold, italic, underline, font family, size, colour per run; alignment per paragraph.
// Pictures, objects, headers, footers, style sheets and other hidden parts are left out.
// Character bytes are decoded in the document's code page (\ansicpg) or the font's \fcharset.

// Replaces the content of the document, clears its undo history and marks it unmodified.
RtfReadResult readRtf(const QByteArray& rtf, QTextDocument& document);

// Inserts at the cursor, replacing its selection, as one undo step (paste). The paragraph
// marks of the RTF split the current paragraph; a paragraph whose mark is pasted takes the
// pasted alignment, the rest keeps its own.
RtfReadResult insertRtf(const QByteArray& rtf, QTextCursor& cursor);

// Nesting limit of groups: a file nested deeper is refused.
inline constexpr int RtfMaxGroupDepth = 200;
