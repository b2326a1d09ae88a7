#pragma once

#include <QByteArray>
#include <QString>

#include "platform/outcome.h"

class QTextCursor;
class QTextDocument;

// Reads RTF as written by word processors, pandoc and writeRtf: text, paragraphs, line breaks,
// tabs; bold, italic, underline, font family, size, colour per run; alignment per paragraph.
// Pictures, objects, headers, footers, style sheets and other hidden parts are left out.
// Character bytes are decoded in the document's code page (\ansicpg) or the font's \fcharset.

// Not ok when the file is refused whole (the document is then left as it was); a warning when
// it was damaged (truncated, unbalanced, not RTF at all) but what could be read was read.

// Replaces the content of the document, clears its undo history and marks it unmodified.
Outcome readRtf(const QByteArray& rtf, QTextDocument& document);

// Inserts at the cursor, replacing its selection, as one undo step (paste). The paragraph
// marks of the RTF split the current paragraph; a paragraph whose mark is pasted takes the
// pasted alignment, the rest keeps its own.
Outcome insertRtf(const QByteArray& rtf, QTextCursor& cursor);

// Nesting limit of groups: a file nested deeper is refused.
inline constexpr int RtfMaxGroupDepth = 200;
