#pragma once

#include <QString>

#include "platform/outcome.h"

class QTextDocument;

// Reading and writing the notebook's files: RTF, or plain text as decodeNotebookFile tells them
// apart. A warning says the file was read only in part (a damaged RTF file).

// Replaces the content of `document` with the file and marks it unmodified. On failure the
// document is left exactly as it was.
Outcome readNotebookFile(const QString& path, QTextDocument& document);

enum class NotebookFileFormat { Rtf, PlainText };

// Writes through a temporary file in the target folder renamed over the target, so a failure
// leaves the old file, or none.
Outcome writeNotebookFile(const QString& path, const QTextDocument& document,
                          NotebookFileFormat format);

// Files above this size are refused rather than read: a notebook of that size would take
// minutes to lay out and gigabytes of memory. Bytes.
inline constexpr qint64 NotebookFileMaxBytes = 128ll * 1024 * 1024;
