#pragma once

#include <QByteArray>
#include <QString>

#include "platform/outcome.h"

class QTextDocument;

// What a file opened in the notebook turned out to be.
struct NotebookFileContent {
    enum class Kind { Rtf, PlainText };
    // Not ok when the file is neither: the reason says why.
    Outcome outcome = Outcome::done();
    Kind kind = Kind::PlainText;
    QByteArray rtf;  // Kind::Rtf: the file without a leading byte-order mark, for readRtf
    QString text;    // Kind::PlainText: paragraphs separated by '\n'
};

// RTF when the file starts with "{\rtf" (after a UTF-8 byte-order mark and blanks); otherwise
// text in UTF-16 (with its byte-order mark), UTF-8 (with or without one) or GB18030, with CR LF,
// CR and LF all taken as paragraph ends. Binary files (NUL bytes, other control characters,
// undecodable bytes) are not read.
NotebookFileContent decodeNotebookFile(const QByteArray& bytes);

// The visible text of the document as a plain-text file: UTF-8 without a byte-order mark, one
// line per paragraph and per line break, lines ended the platform's way.
QByteArray plainTextFileBytes(const QTextDocument& document);
