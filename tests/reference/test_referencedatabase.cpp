#include <QApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "platform/referencedatabase.h"
#include "reference/referencefiles.h"
#include "sqlitecli.h"

namespace {

ReferenceDatabaseFile fileNamed(const QString& name) {
    return name == QLatin1String("lookup") ? lookupDatabaseFile() : equipmentDatabaseFile();
}

// A lookup database file the way a user's copy could look: every table, the user's own rows.
const char* const UsersOwnTables =
    "CREATE TABLE 矩形风管规格(序号 INTEGER PRIMARY KEY, 风管边长_mm TEXT);"
    "CREATE TABLE 粗糙度(序号 INTEGER PRIMARY KEY, 管材 TEXT);"
    "INSERT INTO 粗糙度 VALUES (1, '我自己的管材');"
    "CREATE TABLE 空气管道内推荐风速值(序号 INTEGER PRIMARY KEY, x TEXT);"
    "CREATE TABLE 推荐风管风速(序号 INTEGER PRIMARY KEY, x TEXT);"
    "CREATE TABLE 推荐水速(序号 INTEGER PRIMARY KEY, x TEXT);";

}  // namespace

class TestReferenceDatabase : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup() { dir_.reset(); }

    void buildsEveryTableFromShippedRows_data();
    void buildsEveryTableFromShippedRows();
    void existingFileIsOpenedAsItIs_data();
    void existingFileIsOpenedAsItIs();
    void folderThatCannotHoldTheFile_data();
    void folderThatCannotHoldTheFile();
    void fileLockedByAnotherProgram();
    void twoConnectionsToOneFile();

  private:
    QString folder() const { return dir_->filePath(QStringLiteral("数据/子文件夹")); }

    std::unique_ptr<QTemporaryDir> dir_;
};

void TestReferenceDatabase::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    // Two levels that do not exist yet.
    qputenv("QUORVEL_DATA_DIR", folder().toUtf8());
}

void TestReferenceDatabase::buildsEveryTableFromShippedRows_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("table");
    for (const QString& file : {QStringLiteral("lookup"), QStringLiteral("equipment")})
        for (const ReferenceTable& table : fileNamed(file).tables)
            QTest::addRow("%s", qPrintable(table.name)) << file << table.name;
}

void TestReferenceDatabase::buildsEveryTableFromShippedRows() {
    QFETCH(QString, file);
    QFETCH(QString, table);
    QString path;
    {
        ReferenceDatabase db(fileNamed(file));
        QVERIFY2(db.isOpen(), qPrintable(db.errorText()));
        path = db.filePath();
    }
    // Nothing but the database is left in the folder: no temporary file, no journal.
    QCOMPARE(folderEntries(folder()), QStringList{QFileInfo(path).fileName()});

    // Listed by sqlite3 with commas between the values, the table is the shipped file again:
    // texts such as "0.0015" and "0.8~1.0" as they were, an empty field as no value. (The
    // shipped values hold no commas or quotes that a plain list would need to escape.)
    const SqliteResult dump =
        runSqlite(path, QStringLiteral("SELECT * FROM \"%1\"").arg(table),
                  {QStringLiteral("-list"), QStringLiteral("-separator"), QStringLiteral(","),
                   QStringLiteral("-header"), QStringLiteral("-newline"), QStringLiteral("\n")});
    QVERIFY2(dump.ok, qPrintable(dump.output));
    const QByteArray shipped = fileBytes(QStringLiteral(QUORVEL_SHIPPED_DATA "/%1.csv").arg(table));
    QCOMPARE(dump.output, QString::fromUtf8(shipped));

    // The key is an integer primary key; every other value is text or nothing.
    QCOMPARE(
        sqliteValue(path, QStringLiteral("SELECT type || ',' || pk FROM pragma_table_info('%1')"
                                         " WHERE name = '序号'")
                              .arg(table)),
        QStringLiteral("INTEGER,1"));
    QStringList otherThanText;
    for (const QString& column :
         sqliteValue(path,
                     QStringLiteral("SELECT name FROM pragma_table_info('%1') WHERE name <> '序号'")
                         .arg(table))
             .split(QLatin1Char('\n')))
        otherThanText << QStringLiteral("typeof(\"%1\") NOT IN ('text', 'null')").arg(column);
    QCOMPARE(sqliteValue(path, QStringLiteral("SELECT count(*) FROM \"%1\" WHERE %2")
                                   .arg(table, otherThanText.join(QStringLiteral(" OR ")))),
             QStringLiteral("0"));
    QCOMPARE(
        sqliteValue(path, QStringLiteral("SELECT DISTINCT typeof(序号) FROM \"%1\"").arg(table)),
        QStringLiteral("integer"));
}

void TestReferenceDatabase::existingFileIsOpenedAsItIs_data() {
    QTest::addColumn<QByteArray>("content");  // written as it is
    QTest::addColumn<QString>("script");      // or run by sqlite3 on a new file
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("reasonPart");

    QTest::newRow("empty file") << QByteArray() << QString() << false << QStringLiteral("空");
    QTest::newRow("CSV text") << QByteArray("序号,管材\n1,钢管\n") << QString() << false
                              << QStringLiteral("不是 SQLite");
    QTest::newRow("damaged after the header")
        << QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\x5a') << QString() << false
        << QString();
    QTest::newRow("no tables") << QByteArray() << QStringLiteral("CREATE TABLE 别的(x);") << false
                               << QStringLiteral("推荐水速");
    QTest::newRow("one table missing")
        << QByteArray()
        << QString::fromUtf8(UsersOwnTables)
               .remove(QStringLiteral("CREATE TABLE 推荐水速(序号 INTEGER PRIMARY KEY, x TEXT);"))
        << false << QStringLiteral("推荐水速");
    QTest::newRow("table without the key")
        << QByteArray()
        << QString::fromUtf8(UsersOwnTables)
               .replace(QStringLiteral("粗糙度(序号 INTEGER PRIMARY KEY,"),
                        QStringLiteral("粗糙度(序号 INTEGER,"))
        << false << QStringLiteral("粗糙度");
    QTest::newRow("user's own rows")
        << QByteArray() << QString::fromUtf8(UsersOwnTables) << true << QString();
}

void TestReferenceDatabase::existingFileIsOpenedAsItIs() {
    QFETCH(QByteArray, content);
    QFETCH(QString, script);
    QFETCH(bool, opens);
    QFETCH(QString, reasonPart);
    QVERIFY(QDir().mkpath(folder()));
    const QString path = QDir(folder()).filePath(QStringLiteral("供查数据库.sqlite"));
    if (script.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    } else {
        const SqliteResult made = runSqlite(path, script);
        QVERIFY2(made.ok, qPrintable(made.output));
    }
    const QByteArray before = fileBytes(path);
    const QDateTime modified = QFileInfo(path).lastModified();

    {
        ReferenceDatabase db(lookupDatabaseFile());
        QCOMPARE(db.isOpen(), opens);
        if (!opens) {
            QVERIFY2(db.errorText().contains(QDir::toNativeSeparators(path)),
                     qPrintable(db.errorText()));
            QVERIFY2(db.errorText().contains(reasonPart), qPrintable(db.errorText()));
            QVERIFY(!db.connection().isValid());
        } else {
            QSqlQuery query(db.connection());
            QVERIFY(query.exec(QStringLiteral("SELECT 管材 FROM 粗糙度")));
            QVERIFY(query.next());
            QCOMPARE(query.value(0).toString(), QStringLiteral("我自己的管材"));
            QVERIFY(!query.next());
        }
    }
    QCOMPARE(fileBytes(path), before);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    QCOMPARE(folderEntries(folder()), QStringList{QStringLiteral("供查数据库.sqlite")});
}

void TestReferenceDatabase::folderThatCannotHoldTheFile_data() {
    QTest::addColumn<QString>("dataFolder");
    QTest::addColumn<QString>("blocker");  // a plain file created first, if any
    QTest::newRow("a file where a folder should be")
        << QStringLiteral("文件/数据") << QStringLiteral("文件");
    QTest::newRow("the data folder is a file") << QStringLiteral("文件") << QStringLiteral("文件");
    // Nobody, root included, may create files here.
    QTest::newRow("folder without write access") << QStringLiteral("/proc/self") << QString();
}

void TestReferenceDatabase::folderThatCannotHoldTheFile() {
    QFETCH(QString, dataFolder);
    QFETCH(QString, blocker);
    if (!blocker.isEmpty()) {
        QFile file(dir_->filePath(blocker));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString chosen =
        QDir::isAbsolutePath(dataFolder) ? dataFolder : dir_->filePath(dataFolder);
    qputenv("QUORVEL_DATA_DIR", chosen.toUtf8());
    const QStringList before = folderEntries(dir_->path());

    ReferenceDatabase db(equipmentDatabaseFile());
    QVERIFY(!db.isOpen());
    QVERIFY2(db.errorText().contains(QDir::toNativeSeparators(
                 QDir(chosen).filePath(QStringLiteral("供查数据库97.sqlite")))),
             qPrintable(db.errorText()));
    QCOMPARE(folderEntries(dir_->path()), before);
    if (!blocker.isEmpty()) QCOMPARE(QFileInfo(dir_->filePath(blocker)).size(), 0);
}

void TestReferenceDatabase::fileLockedByAnotherProgram() {
    QString path;
    {
        ReferenceDatabase first(lookupDatabaseFile());
        QVERIFY(first.isOpen());
        path = first.filePath();
    }
    {
        QSqlDatabase locker =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        locker.setDatabaseName(path);
        QVERIFY(locker.open());
        QSqlQuery hold(locker);
        QVERIFY(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));

        // A short wait instead of the program's 30 s: the outcome is the same, sooner.
        ReferenceDatabase blocked(lookupDatabaseFile(), ReferenceDatabase::Access::ReadWrite, 50);
        QVERIFY(!blocked.isOpen());
        QVERIFY2(blocked.errorText().contains(QDir::toNativeSeparators(path)),
                 qPrintable(blocked.errorText()));
        QVERIFY2(blocked.errorText().contains(QStringLiteral("另一个程序")),
                 qPrintable(blocked.errorText()));

        QVERIFY(hold.exec(QStringLiteral("ROLLBACK")));
        ReferenceDatabase released(lookupDatabaseFile(), ReferenceDatabase::Access::ReadWrite, 50);
        QVERIFY2(released.isOpen(), qPrintable(released.errorText()));
        locker.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
}

void TestReferenceDatabase::twoConnectionsToOneFile() {
    const QStringList before = QSqlDatabase::connectionNames();
    {
        ReferenceDatabase writer(lookupDatabaseFile());
        ReferenceDatabase reader(lookupDatabaseFile(), ReferenceDatabase::Access::ReadOnly);
        QVERIFY(writer.isOpen() && reader.isOpen());
        QSqlQuery write(writer.connection());
        QVERIFY(write.exec(QStringLiteral("UPDATE 推荐水速 SET 备注 = '改过' WHERE 序号 = 1")));
        QSqlQuery read(reader.connection());
        QVERIFY(read.exec(QStringLiteral("SELECT 备注 FROM 推荐水速 WHERE 序号 = 1")) &&
                read.next());
        QCOMPARE(read.value(0).toString(), QStringLiteral("改过"));
        // The read-only connection cannot write.
        QVERIFY(!read.exec(QStringLiteral("DELETE FROM 推荐水速")));
    }
    QCOMPARE(QSqlDatabase::connectionNames(), before);
}

QTEST_MAIN(TestReferenceDatabase)
#include "test_referencedatabase.moc"
