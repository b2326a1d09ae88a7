#include "reference/referencedatabase.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/outcome.h"
#include "tablefiles/csvreader.h"

namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// The first 16 bytes of every SQLite 3 database file.
const QByteArray SqliteHeader("SQLite format 3\0", 16);

// SQLite's primary result codes (sqlite3.h); the driver reports them as the native code.
enum SqliteCode {
    Busy = 5,
    Locked = 6,
    ReadOnly = 8,
    IoError = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    Constraint = 19,
    Mismatch = 20,
    NotADatabase = 26,
};

QString native(const QString& path) { return QDir::toNativeSeparators(path); }

Outcome makeFolder(const QString& folder) {
    std::error_code error;
    const std::filesystem::path path(QFile::encodeName(folder).toStdString());
    std::filesystem::create_directories(path, error);
    if (!error && std::filesystem::is_directory(path, error)) return Outcome::done();
    return Outcome::failed(QStringLiteral("数据文件夹“%1”无法建立（%2）")
                               .arg(native(folder), error
                                                        ? systemReason(error.value())
                                                        : QStringLiteral("同名的文件不是文件夹")));
}

// The rows a table starts with, as the program ships them.
struct ShippedTable {
    QStringList columns;
    QList<QVariantList> rows;
};

Outcome readShipped(const ReferenceTable& table, ShippedTable& shipped) {
    const auto fault = [&](long line) {
        return Outcome::failed(
            QStringLiteral("随程序提供的数据“%1”第 %2 行有误").arg(table.csvPath).arg(line));
    };
    QFile file(table.csvPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return Outcome::failed(QStringLiteral("随程序提供的数据“%1”缺失").arg(table.csvPath));
    const QByteArray bytes = file.readAll();
    std::size_t offset = 0;
    CsvReader csv([&bytes, &offset](char* data, std::size_t size) -> std::ptrdiff_t {
        const std::size_t n = std::min(size, std::size_t(bytes.size()) - offset);
        std::memcpy(data, bytes.constData() + offset, n);
        offset += n;
        return std::ptrdiff_t(n);
    });
    CsvReader::Status status;
    while ((status = csv.next()) == CsvReader::Status::Record) {
        if (csv.badQuoting()) return fault(csv.line());
        if (shipped.columns.isEmpty()) {
            for (std::size_t i = 0; i < csv.fieldCount(); ++i)
                shipped.columns << text(csv.field(i));
            if (shipped.columns.first() != ReferenceKeyColumn) return fault(csv.line());
            continue;
        }
        if (csv.fieldCount() != std::size_t(shipped.columns.size())) return fault(csv.line());
        QVariantList row;
        const std::string_view keyText = csv.field(0);
        qlonglong key = 0;
        const auto [end, error] =
            std::from_chars(keyText.data(), keyText.data() + keyText.size(), key);
        if (error != std::errc() || end != keyText.data() + keyText.size())
            return fault(csv.line());
        row << key;
        // An empty field is no value, which the grids show as an empty cell.
        for (std::size_t i = 1; i < csv.fieldCount(); ++i)
            row << (csv.field(i).empty() ? QVariant() : QVariant(text(csv.field(i))));
        shipped.rows << row;
    }
    if (status == CsvReader::Status::Error || shipped.columns.isEmpty()) return fault(csv.line());
    return Outcome::done();
}

Outcome fill(QSqlDatabase& db, const ReferenceDatabaseFile& file,
             const QList<ShippedTable>& shipped) {
    QSqlQuery query(db);
    const auto failed = [&] { return Outcome::failed(sqlFailureReason(query.lastError())); };
    // The file is invisible under its temporary name until it is complete, so a rollback
    // journal would protect nothing.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = OFF")) ||
        !query.exec(QStringLiteral("BEGIN")))
        return failed();
    for (qsizetype t = 0; t < file.tables.size(); ++t) {
        const ShippedTable& table = shipped[t];
        QStringList definitions{quoted(ReferenceKeyColumn) +
                                QStringLiteral(" INTEGER PRIMARY KEY")};
        for (qsizetype c = 1; c < table.columns.size(); ++c)
            definitions << quoted(table.columns[c]) + QStringLiteral(" TEXT");
        if (!query.exec(
                QStringLiteral("CREATE TABLE %1 (%2)")
                    .arg(quoted(file.tables[t].name), definitions.join(QStringLiteral(", ")))))
            return failed();
        QStringList marks;
        marks.fill(QStringLiteral("?"), table.columns.size());
        if (!query.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)")
                               .arg(quoted(file.tables[t].name), marks.join(QStringLiteral(", ")))))
            return failed();
        for (const QVariantList& row : table.rows) {
            for (qsizetype c = 0; c < row.size(); ++c) query.bindValue(int(c), row[c]);
            if (!query.exec()) return failed();
        }
    }
    return query.exec(QStringLiteral("COMMIT")) ? Outcome::done() : failed();
}

}  // namespace

QString referenceDataFolder() {
    const QString chosen = qEnvironmentVariable("QUORVEL_DATA_DIR");
    const QString folder = chosen.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                               : chosen;
    return QDir::cleanPath(QDir(folder).absolutePath());
}

QString quoted(const QString& name) {
    QString inner = name;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString sqlFailureReason(const QSqlError& error) {
    const int code = error.nativeErrorCode().toInt() &
                     0xff;  // extended codes carry the primary one in the low byte
    const QString detail = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    switch (code) {
        case Busy:
        case Locked:
            return QStringLiteral("数据库文件正被另一个程序使用，等候后仍未释放");
        case ReadOnly:
            return QStringLiteral("数据库文件是只读的，不能写入");
        case IoError:
            return QStringLiteral("读写文件时出错（%1）").arg(detail);
        case Corrupt:
            return QStringLiteral("数据库文件已损坏");
        case Full:
            return QStringLiteral("磁盘空间不足");
        case CantOpen:
            return QStringLiteral("无法打开文件");
        case Constraint: {
            // "UNIQUE constraint failed: table.column"
            if (detail.startsWith(QLatin1String("UNIQUE"))) {
                const QString column = detail.section(QLatin1Char('.'), -1);
                return QStringLiteral("“%1”的值与另一行相同").arg(column);
            }
            return QStringLiteral("不符合数据表的约束（%1）").arg(detail);
        }
        case Mismatch:
            // Only the integer key refuses a value of another kind; every other column is text.
            return QStringLiteral("“%1”必须是整数").arg(ReferenceKeyColumn);
        case NotADatabase:
            return QStringLiteral("不是 SQLite 数据库文件");
        default:
            return detail.isEmpty() ? QStringLiteral("原因不明") : detail;
    }
}

ReferenceDatabase::ReferenceDatabase(const ReferenceDatabaseFile& file, Access access,
                                     int busyTimeoutMs)
    // Unique while this object lives, which is as long as the connection does.
    : connectionName_(
          QStringLiteral("quorvel-reference-%1").arg(reinterpret_cast<quintptr>(this), 0, 16)) {
    const QString folder = referenceDataFolder();
    filePath_ = QDir(folder).filePath(file.fileName);
    if (const Outcome made = makeFolder(folder); !made.ok()) {
        outcome_ = Outcome::failed(
            QStringLiteral("无法打开数据库文件“%1”：%2。").arg(native(filePath_), made.reason()));
        return;
    }
    // A dangling symbolic link counts as present, so that it is reported and never replaced;
    // so does a link to an empty file, whose target the new file would not replace.
    const QFileInfo info(filePath_);
    const bool empty = info.isFile() && !info.isSymLink() && info.size() == 0;
    if ((!info.exists() && !info.isSymLink()) || empty) {
        if (const Outcome built = build(file, empty); !built.ok()) {
            outcome_ = Outcome::failed(QStringLiteral("无法建立数据库文件“%1”：%2。")
                                           .arg(native(filePath_), built.reason()));
            return;
        }
    }
    if (const Outcome opened = openExisting(file, access, busyTimeoutMs); !opened.ok()) {
        outcome_ = Outcome::failed(
            QStringLiteral("无法打开数据库文件“%1”：%2。").arg(native(filePath_), opened.reason()));
        return;
    }
    outcome_ = Outcome::done();
}

ReferenceDatabase::~ReferenceDatabase() {
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (db.isValid()) db.close();
    }
    if (QSqlDatabase::contains(connectionName_)) QSqlDatabase::removeDatabase(connectionName_);
}

QSqlDatabase ReferenceDatabase::connection() const {
    return isOpen() ? QSqlDatabase::database(connectionName_, false) : QSqlDatabase();
}

Outcome ReferenceDatabase::build(const ReferenceDatabaseFile& file, bool replaceEmpty) {
    // Every shipped table is read before anything is written.
    QList<ShippedTable> shipped(file.tables.size());
    for (qsizetype t = 0; t < file.tables.size(); ++t)
        if (Outcome read = readShipped(file.tables[t], shipped[t]); !read.ok()) return read;

    QByteArray pattern = QFile::encodeName(filePath_ + QStringLiteral(".XXXXXX.tmp"));
    const int fd = mkstemps(pattern.data(), 4);
    if (fd < 0)
        return Outcome::failed(QStringLiteral("不能在文件夹“%1”中写入文件（%2）")
                                   .arg(native(QFileInfo(filePath_).path()), systemReason(errno)));
    // mkstemps makes the file private; the database gets the mode any new file of the user's
    // gets, as SQLite would give it.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    const QString temporary = QFile::decodeName(pattern);

    const QString builder = connectionName_ + QStringLiteral("-build");
    Outcome filled = Outcome::failed({});
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), builder);
        db.setDatabaseName(temporary);
        filled =
            db.open() ? fill(db, file, shipped) : Outcome::failed(sqlFailureReason(db.lastError()));
        db.close();
    }
    const bool written = filled.ok();
    QSqlDatabase::removeDatabase(builder);

    // QFile::rename never replaces an existing file: a copy of the program that built the
    // file first keeps it. An empty file is replaced in one step, and only while it is still
    // empty.
    if (written && replaceEmpty) {
        const QFileInfo now(filePath_);
        if (now.isFile() && !now.isSymLink() && now.size() == 0 &&
            ::rename(QFile::encodeName(temporary).constData(),
                     QFile::encodeName(filePath_).constData()) == 0)
            return Outcome::done();
    } else if (written && QFile::rename(temporary, filePath_)) {
        return Outcome::done();
    }
    QFile::remove(temporary);
    if (!written) return filled;
    if (QFileInfo::exists(filePath_)) return Outcome::done();
    return Outcome::failed(
        QStringLiteral("新建的文件不能改名为“%1”").arg(QFileInfo(filePath_).fileName()));
}

Outcome ReferenceDatabase::openExisting(const ReferenceDatabaseFile& file, Access access,
                                        int busyTimeoutMs) {
    {
        // SQLite would take an empty or foreign file for a new database and write to it.
        QFile raw(filePath_);
        if (!raw.open(QIODevice::ReadOnly)) {
            const QFileInfo info(filePath_);
            return Outcome::failed(raw.error() == QFileDevice::PermissionsError
                                       ? QStringLiteral("没有读取权限")
                                   : info.isDir() ? QStringLiteral("它是一个文件夹")
                                   : info.isSymLink() && !info.exists()
                                       ? QStringLiteral("它是指向“%1”的链接，而那里没有文件")
                                             .arg(native(info.symLinkTarget()))
                                       : raw.errorString());
        }
        if (raw.size() == 0)
            return Outcome::failed(QStringLiteral("文件是空的，不是 SQLite 数据库"));
        if (raw.read(SqliteHeader.size()) != SqliteHeader)
            return Outcome::failed(QStringLiteral("不是 SQLite 数据库文件"));
    }

    const bool readOnly = access == Access::ReadOnly;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
    // mode=rw or ro: a file removed meanwhile is reported, never created empty.
    db.setDatabaseName(QUrl::fromLocalFile(filePath_).toString(QUrl::FullyEncoded) +
                       (readOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw")));
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1%2")
                             .arg(busyTimeoutMs)
                             .arg(readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    if (!db.open()) return Outcome::failed(sqlFailureReason(db.lastError()));

    QSqlQuery query(db);
    const auto failed = [&](const QString& reason) {
        query.finish();
        db.close();
        return Outcome::failed(reason);
    };
    if (!query.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'")))
        return failed(sqlFailureReason(query.lastError()));
    QSet<QString> present;
    while (query.next()) present.insert(query.value(0).toString());
    QStringList missing, columnless;
    for (const ReferenceTable& table : file.tables) {
        if (!present.contains(table.name)) {
            missing << QStringLiteral("“%1”").arg(table.name);
            continue;
        }
        if (table.requiredColumns.isEmpty()) continue;
        if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table.name))))
            return failed(sqlFailureReason(query.lastError()));
        QSet<QString> columns;
        // Columns of table_info: cid, name, type, notnull, dflt_value, pk.
        while (query.next()) columns.insert(query.value(1).toString());
        QStringList absent;
        for (const QString& column : table.requiredColumns)
            if (!columns.contains(column)) absent << QStringLiteral("“%1”").arg(column);
        if (!absent.isEmpty())
            columnless << QStringLiteral("数据表“%1”缺少列%2")
                              .arg(table.name, absent.join(QStringLiteral("、")));
    }
    if (!missing.isEmpty())
        return failed(QStringLiteral("缺少数据表%1").arg(missing.join(QStringLiteral("、"))));
    if (!columnless.isEmpty()) return failed(columnless.join(QStringLiteral("；")));
    query.finish();
    return Outcome::done();
}
