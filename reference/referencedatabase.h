#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include "platform/outcome.h"

class QSqlError;

// The tables the program builds are keyed by this integer column; the other columns hold
// texts. A table made by another tool may hold it as an ordinary column, or not at all.
inline const QString ReferenceKeyColumn = QStringLiteral("序号");

// One table of a reference database and the rows it starts with: a UTF-8 CSV file whose
// header names the columns, the key column first.
struct ReferenceTable {
    QString name;
    QString csvPath;
    // The columns a window reads by name; an existing table without one of them is refused.
    QStringList requiredColumns = {};
};

// A database file of reference tables as the program ships it.
struct ReferenceDatabaseFile {
    QString fileName;  // inside the data folder
    QList<ReferenceTable> tables;
};

// The folder of the reference databases: $QUORVEL_DATA_DIR when set, otherwise the user's
// data folder for the program.
QString referenceDataFolder();

// An SQL name (of a table or column) in double quotes, quotes inside it doubled.
QString quoted(const QString& name);

// Why SQLite refused a statement, in words for the user.
QString sqlFailureReason(const QSqlError& error);

// An open connection to one reference database in the data folder, under a connection name
// of its own. A missing file, or an empty one (left by a tool that created it and stopped), is
// first built from the shipped rows; any other file is opened as it is, never rebuilt,
// completed or upgraded: its rows are the user's.
class ReferenceDatabase {
  public:
    enum class Access { ReadWrite, ReadOnly };
    // How long a statement waits for another program's lock before it gives up, in ms: the
    // window is frozen meanwhile, and a lock held longer is reported as the file being in use.
    static constexpr int DefaultBusyTimeoutMs = 2'000;

    explicit ReferenceDatabase(const ReferenceDatabaseFile& file, Access access = Access::ReadWrite,
                               int busyTimeoutMs = DefaultBusyTimeoutMs);
    ~ReferenceDatabase();
    ReferenceDatabase(const ReferenceDatabase&) = delete;
    ReferenceDatabase& operator=(const ReferenceDatabase&) = delete;

    bool isOpen() const { return outcome_.ok(); }
    // Open, or why the file could not be opened or built, naming it.
    const Outcome& outcome() const { return outcome_; }
    const QString& filePath() const { return filePath_; }

    // The connection; every copy of it must be gone before this object is destroyed.
    QSqlDatabase connection() const;

  private:
    // `replaceEmpty`: the file at the path is an empty one, which the new file replaces.
    Outcome build(const ReferenceDatabaseFile& file, bool replaceEmpty);
    Outcome openExisting(const ReferenceDatabaseFile& file, Access access, int busyTimeoutMs);

    QString connectionName_;
    QString filePath_;
    Outcome outcome_ = Outcome::failed({});
};
