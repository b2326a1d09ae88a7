#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Blocks of cells as spreadsheet programs put them on the clipboard: one line per row, cells
// separated by tabs; a cell holding a tab, a line break or a quote is quoted, its quotes doubled.
namespace celltext {

QString toTabSeparated(const QList<QStringList>& rows);

// Reads both what this program and the spreadsheet programs write: lines ending in CR LF or LF,
// quoted cells across lines. The line break after the last row does not make an empty row.
QList<QStringList> fromTabSeparated(const QString& text);

}  // namespace celltext
