#include "system/celltext.h"

namespace celltext {

namespace {

bool needsQuotes(const QString& cell) {
    for (const QChar c : cell)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r') ||
            c == QLatin1Char('"'))
            return true;
    return false;
}

}  // namespace

QString toTabSeparated(const QList<QStringList>& rows) {
    QString text;
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c < row.size(); ++c) {
            if (c > 0) text += QLatin1Char('\t');
            const QString& cell = row[c];
            if (needsQuotes(cell)) {
                QString quoted = cell;
                quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
                text += QLatin1Char('"') + quoted + QLatin1Char('"');
            } else {
                text += cell;
            }
        }
        // What the spreadsheet programs end every row with, the last one included.
        text += QLatin1String("\r\n");
    }
    return text;
}

QList<QStringList> fromTabSeparated(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    bool cellStarted = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text[i + 1] == QLatin1Char('"')) {
                    cell += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cell += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && !cellStarted) {
            quoted = true;
            cellStarted = true;
        } else if (c == QLatin1Char('\t')) {
            row.append(cell);
            cell.clear();
            cellStarted = false;
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n')) ++i;
            row.append(cell);
            rows.append(row);
            row.clear();
            cell.clear();
            cellStarted = false;
        } else {
            cell += c;
            cellStarted = true;
        }
    }
    if (cellStarted || !cell.isEmpty() || !row.isEmpty()) {
        row.append(cell);
        rows.append(row);
    }
    return rows;
}

}  // namespace celltext
