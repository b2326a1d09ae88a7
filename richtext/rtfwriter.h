#pragma once

#include <QByteArray>

class QTextCursor;
class QTextDocument;

// The notebook's RTF: code page 936 with every non-ASCII character as \uN followed by its GBK
// bytes, so that programs reading either the Unicode value or the legacy bytes show the same
// text. Per run: bold, italic, underline, font family, size, colour; per paragraph: alignment.
// The output depends only on the document, so saving twice gives identical files.

// Every paragraph ends with \par; the reader takes the last \par as the end of the last
// paragraph, so a document keeps its number of paragraphs through a save and a load.
QByteArray writeRtf(const QTextDocument& document);

// The selection of the cursor, for the clipboard. A \par is written only for the paragraph
// marks inside the selection, so pasting it (insertRtf) breaks lines exactly where the copy did.
QByteArray writeRtf(const QTextCursor& selection);
