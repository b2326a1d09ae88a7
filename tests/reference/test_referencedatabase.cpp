#include <sys/stat.h>

#include <QCoreApplication>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "reference/referencedatabase.h"
#include "reference/referencefiles.h"
#include "sqlitecli.h"

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
    void startingRowsFromAnInstalledFolder_data();
    void startingRowsFromAnInstalledFolder();

  private:
    // Two levels that do not exist yet.
    QString folder() const { return dir_->filePath(QStringLiteral("数据/子文件夹")); }

    std::unique_ptr<QTemporaryDir> dir_;
};

void TestReferenceDatabase::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    qputenv("QUORVEL_DATA_DIR", folder().toUtf8());
}

void TestReferenceDatabase::buildsEveryTableFromShippedRows_data() {
    QTest::addColumn<bool>("lookup");
    QTest::addColumn<QString>("table");
    for (const bool lookup : {true, false})
        for (const ReferenceTable& t :
             (lookup ? lookupDatabaseFile() : equipmentDatabaseFile()).tables)
            QTest::addRow("%s", qPrintable(t.name)) << lookup << t.name;
}

void TestReferenceDatabase::buildsEveryTableFromShippedRows() {
    QFETCH(bool, lookup);
    QFETCH(QString, table);
    QString path;
    {
        ReferenceDatabase db(lookup ? lookupDatabaseFile() : equipmentDatabaseFile());
        QVERIFY2(db.isOpen(), qPrintable(db.outcome().reason()));
        path = db.filePath();
    }
    // Nothing but the database is left in the folder: no temporary file, no journal. Its
    // mode is that of any new file: the user's umask applied to rw-rw-rw-.
    QCOMPARE(folderEntries(folder()), QStringList{QFileInfo(path).fileName()});
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat status {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
    QCOMPARE(status.st_mode & 0777, 0666 & ~mask);

    // Listed by sqlite3 with commas between the values, the table is the shipped file again:
    // texts such as "0.0015" and "0.8~1.0" as they were, an empty field as no value. (The
    // shipped values hold no commas or quotes that a plain list would need to escape.)
    const SqliteResult dump = runSqlite(path, QStringLiteral("SELECT * FROM \"%1\"").arg(table),
                                        {"-list", "-separator", ",", "-header", "-newline", "\n"});
    QVERIFY2(dump.ok, qPrintable(dump.output));
    QCOMPARE(
        dump.output,
        QString::fromUtf8(fileBytes(QStringLiteral(QUORVEL_SHIPPED_DATA "/%1.csv").arg(table))));

    // The key is an integer primary key; every other value is text or nothing.
    QStringList kinds{QStringLiteral("typeof(序号) <> 'integer'")};
    for (const QString& column :
         sqliteValue(
             path,
             QStringLiteral("SELECT name FROM pragma_table_info('%1') WHERE pk = 0").arg(table))
             .split(QLatin1Char('\n')))
        kinds << QStringLiteral("typeof(\"%1\") NOT IN ('text', 'null')").arg(column);
    QCOMPARE(
        sqliteValue(path, QStringLiteral("SELECT type FROM pragma_table_info('%1') WHERE pk = 1 "
                                         "AND name = '序号'")
                              .arg(table)),
        QStringLiteral("INTEGER"));
    QCOMPARE(sqliteValue(path, QStringLiteral("SELECT count(*) FROM \"%1\" WHERE %2")
                                   .arg(table, kinds.join(QStringLiteral(" OR ")))),
             QStringLiteral("0"));
}

void TestReferenceDatabase::existingFileIsOpenedAsItIs_data() {
    QTest::addColumn<QByteArray>("content");  // written as it is, when there is no script
    QTest::addColumn<QString>("script");      // run by sqlite3 on a new file
    QTest::addColumn<QString>("reasonPart");  // a word of the message; none when it opens

    // The user's copy: every table, and rows of the user's own.
    QString own;
    for (const ReferenceTable& t : lookupDatabaseFile().tables)
        own += QStringLiteral("CREATE TABLE \"%1\"(序号 INTEGER PRIMARY KEY, x TEXT);").arg(t.name);
    own += QStringLiteral("INSERT INTO 粗糙度 VALUES (1, '我自己的管材');");

    QTest::newRow("empty file") << QByteArray() << QString() << QStringLiteral("空");
    QTest::newRow("CSV text") << QByteArray("序号,管材\n1,钢管\n") << QString()
                              << QStringLiteral("不是 SQLite");
    QTest::newRow("damaged after the header")
        << QByteArray("SQLite format 3\0", 16) + QByteArray(4080, 'Z') << QString()
        << QStringLiteral("SQLite");
    QTest::newRow("one table missing") << QByteArray()
                                       << QString(own).remove(QRegularExpression(
                                              QStringLiteral("CREATE TABLE \"推荐水速\"[^;]*;")))
                                       << QStringLiteral("推荐水速");
    QTest::newRow("table without the key")
        << QByteArray()
        << QString(own).replace(QStringLiteral("\"粗糙度\"(序号 INTEGER PRIMARY KEY"),
                                QStringLiteral("\"粗糙度\"(序号 INTEGER"))
        << QStringLiteral("粗糙度");
    QTest::newRow("user's own rows") << QByteArray() << own << QString();
}

void TestReferenceDatabase::existingFileIsOpenedAsItIs() {
    QFETCH(QByteArray, content);
    QFETCH(QString, script);
    QFETCH(QString, reasonPart);
    QVERIFY(QDir().mkpath(folder()));
    const QString path = QDir(folder()).filePath(QStringLiteral("供查数据库.sqlite"));
    if (script.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    } else {
        QVERIFY(runSqlite(path, script).ok);
    }
    const QByteArray before = fileBytes(path);
    const QDateTime modified = QFileInfo(path).lastModified();
    {
        ReferenceDatabase db(lookupDatabaseFile());
        QCOMPARE(db.isOpen(), reasonPart.isEmpty());
        if (db.isOpen()) {
            QSqlQuery query(db.connection());
            QVERIFY(query.exec(QStringLiteral("SELECT group_concat(x) FROM 粗糙度")) &&
                    query.next());
            QCOMPARE(query.value(0).toString(), QStringLiteral("我自己的管材"));
        } else {
            QVERIFY2(db.outcome().reason().contains(QDir::toNativeSeparators(path)) &&
                         db.outcome().reason().contains(reasonPart),
                     qPrintable(db.outcome().reason()));
        }
    }
    QCOMPARE(fileBytes(path), before);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    QCOMPARE(folderEntries(folder()), QStringList{QStringLiteral("供查数据库.sqlite")});
}

void TestReferenceDatabase::folderThatCannotHoldTheFile_data() {
    QTest::addColumn<QString>("dataFolder");  // under the temporary folder, or absolute
    QTest::newRow("a plain file where a folder should be") << QStringLiteral("文件/数据");
    QTest::newRow("the data folder is a plain file") << QStringLiteral("文件");
    // Nobody, root included, may create files here.
    QTest::newRow("folder without write access") << QStringLiteral("/proc/self");
}

void TestReferenceDatabase::folderThatCannotHoldTheFile() {
    QFETCH(QString, dataFolder);
    QFile blocker(dir_->filePath(QStringLiteral("文件")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString chosen = QDir(dir_->path()).filePath(dataFolder);
    qputenv("QUORVEL_DATA_DIR", chosen.toUtf8());

    ReferenceDatabase db(equipmentDatabaseFile());
    QVERIFY(!db.isOpen());
    QVERIFY2(db.outcome().reason().contains(QDir::toNativeSeparators(
                 QDir(chosen).filePath(QStringLiteral("供查数据库97.sqlite")))),
             qPrintable(db.outcome().reason()));
    QCOMPARE(folderEntries(dir_->path()), QStringList{QStringLiteral("文件")});
    QCOMPARE(blocker.size(), 0);
}

void TestReferenceDatabase::fileLockedByAnotherProgram() {
    const QString path = ReferenceDatabase(lookupDatabaseFile()).filePath();
    {
        QSqlDatabase other =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(path);
        QVERIFY(other.open());
        QSqlQuery hold(other);
        QVERIFY(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        // A wait of 50 ms instead of the program's 30 s: the same outcome, sooner.
        ReferenceDatabase blocked(lookupDatabaseFile(), ReferenceDatabase::Access::ReadWrite, 50);
        QVERIFY(!blocked.isOpen());
        QVERIFY2(blocked.outcome().reason().contains(QDir::toNativeSeparators(path)) &&
                     blocked.outcome().reason().contains(QStringLiteral("另一个程序")),
                 qPrintable(blocked.outcome().reason()));
        QVERIFY(hold.exec(QStringLiteral("ROLLBACK")));
        QVERIFY(ReferenceDatabase(lookupDatabaseFile(), ReferenceDatabase::Access::ReadWrite, 50)
                    .isOpen());
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
}

void TestReferenceDatabase::startingRowsFromAnInstalledFolder_data() {
    QTest::addColumn<QString>("installed");  // the folder given, under the temporary folder
    QTest::addColumn<QString>("ownFile");    // a 粗糙度.csv of its own there; empty for none
    QTest::addColumn<bool>("ownRows");       // the database starts from that file
    const QString folder = QStringLiteral("share/quorvel");
    const QString own = folder + QStringLiteral("/粗糙度.csv");
    QTest::newRow("folder with one table") << folder << own << true;
    QTest::newRow("folder missing") << folder << QString() << false;
    // An empty name is no folder, not the current one.
    QTest::newRow("no folder given") << QString() << QStringLiteral("粗糙度.csv") << false;
    QTest::newRow("a folder in place of the file") << folder << own + QLatin1Char('/') << false;
}

// An installed copy starts the databases from the CSV files of its data folder; a table
// without its file there, or no folder at all, starts from the rows built into the program.
void TestReferenceDatabase::startingRowsFromAnInstalledFolder() {
    QFETCH(QString, installed);
    QFETCH(QString, ownFile);
    QFETCH(bool, ownRows);
    const QByteArray roughness = QByteArrayLiteral("序号,管材,粗糙度\n1,装好的管材,0.05\n");
    const QDir temporary(dir_->path());
    const QString previousCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(temporary.path()));
    const auto restoreCurrent = qScopeGuard([&] { QDir::setCurrent(previousCurrent); });
    if (ownFile.endsWith(QLatin1Char('/'))) {
        QVERIFY(temporary.mkpath(ownFile));
    } else if (!ownFile.isEmpty()) {
        QVERIFY(temporary.mkpath(QFileInfo(ownFile).path()));
        QFile file(temporary.filePath(ownFile));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(roughness);
    }
    QString path;
    {
        ReferenceDatabase db(
            lookupDatabaseFile(installed.isEmpty() ? QString() : temporary.filePath(installed)));
        QVERIFY2(db.isOpen(), qPrintable(db.outcome().reason()));
        path = db.filePath();
    }
    const auto dump = [&](const QString& table) {
        return runSqlite(path, QStringLiteral("SELECT * FROM \"%1\"").arg(table),
                         {"-list", "-separator", ",", "-header", "-newline", "\n"})
            .output;
    };
    const auto shipped = [](const QString& table) {
        return QString::fromUtf8(
            fileBytes(QStringLiteral(QUORVEL_SHIPPED_DATA "/%1.csv").arg(table)));
    };
    QCOMPARE(dump(QStringLiteral("粗糙度")),
             ownRows ? QString::fromUtf8(roughness) : shipped(QStringLiteral("粗糙度")));
    QCOMPARE(dump(QStringLiteral("推荐水速")), shipped(QStringLiteral("推荐水速")));
}

QTEST_GUILESS_MAIN(TestReferenceDatabase)
#include "test_referencedatabase.moc"
