#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

// The sqlite3 command-line program reads and prepares the database files in these tests: a
// reader that shares no code with the program.
struct SqliteResult {
    bool ok = false;
    QString output;  // standard output, or the error text when not ok
};

inline SqliteResult runSqlite(const QString& file, const QString& sql,
                              const QStringList& options = {}) {
    QProcess process;
    process.start(QStringLiteral("sqlite3"),
                  QStringList{QStringLiteral("-batch")} + options + QStringList{file, sql});
    if (!process.waitForFinished(60'000))
        return {false, QStringLiteral("sqlite3 did not run: ") + process.errorString()};
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {false, QString::fromUtf8(process.readAllStandardError())};
    return {true, QString::fromUtf8(process.readAllStandardOutput())};
}

// One value or a few lines: the output without its final line break; "<error>" on failure.
inline QString sqliteValue(const QString& file, const QString& sql) {
    const SqliteResult result = runSqlite(file, sql);
    if (!result.ok) {
        qWarning("sqlite3: %s", qPrintable(result.output));
        return QStringLiteral("<error>");
    }
    QString out = result.output;
    if (out.endsWith(QLatin1Char('\n'))) out.chop(1);
    return out;
}

inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The names in a folder, hidden ones included.
inline QStringList folderEntries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}
