// Reference databases made by other tools (the sqlite3 program here), empty files, and files
// another program holds locked.

#include <sys/stat.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "platform/fonts.h"
#include "reference/datagrid.h"
#include "reference/equipmentlossform.h"
#include "reference/lookupdatabaseform.h"
#include "reference/lookuptablemodel.h"
#include "reference/referencedatabase.h"
#include "reference/referencefiles.h"
#include "sqlitecli.h"
#include "tests/support/fakechildhost.h"

// Fails the test with the reason when the step was not done.
#define QVERIFY_DONE(step)                                    \
    do {                                                      \
        const Outcome outcome = (step);                       \
        QVERIFY2(outcome.ok(), qPrintable(outcome.reason())); \
    } while (false)

namespace {

const QString EquipmentName = QStringLiteral("供查数据库97.sqlite");
const QString LookupName = QStringLiteral("供查数据库.sqlite");

// The program gives up on a lock after 2 s; the rest is slack for a loaded machine.
constexpr qint64 LockReportedWithinMs = 3'500;

QStringList column(const QTableWidget* grid, int c) {
    QStringList texts;
    for (int r = 0; r < grid->rowCount(); ++r) texts << grid->item(r, c)->text();
    return texts;
}

// The five lookup tables as a conversion tool leaves them: 序号 an ordinary column. 粗糙度 holds
// two identical rows; 推荐水速 is keyed by another column and has no row id.
QString foreignLookupTables() {
    QString script;
    for (const ReferenceTable& t : lookupDatabaseFile().tables)
        if (t.name != QStringLiteral("粗糙度") && t.name != QStringLiteral("推荐水速"))
            script += QStringLiteral(
                          "CREATE TABLE \"%1\"(序号 INTEGER, 名称 TEXT);"
                          "INSERT INTO \"%1\" VALUES (1, '甲');")
                          .arg(t.name);
    return script + QStringLiteral(
                        "CREATE TABLE 粗糙度(序号 INTEGER, 管材 TEXT, 粗糙度 REAL);"
                        "INSERT INTO 粗糙度 VALUES (1, '钢管', 0.2), (1, '钢管', 0.2),"
                        " (2, '铜管', 0.01);"
                        "CREATE TABLE 推荐水速(编号 TEXT PRIMARY KEY, 序号 INTEGER, v TEXT) "
                        "WITHOUT ROWID;"
                        "INSERT INTO 推荐水速 VALUES ('a', 1, '1.0');");
}

// Another program's connection that holds a lock on the file while it lives.
class OtherProgram {
  public:
    OtherProgram(const QString& path, const QString& begin) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), Name);
        db.setDatabaseName(path);
        held_ = db.open() && QSqlQuery(db).exec(begin);
    }
    ~OtherProgram() {
        {
            QSqlDatabase db = QSqlDatabase::database(Name, false);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(Name);
    }
    bool held() const { return held_; }

  private:
    static inline const QString Name = QStringLiteral("other-program");
    bool held_ = false;
};

}  // namespace

class TestForeignTables : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        installFontSubstitutions();
        QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 9));
    }
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        qputenv("QUORVEL_DATA_DIR", dir_->path().toUtf8());
    }
    void cleanup() { dir_.reset(); }

    void equipmentListFromOtherTools_data();
    void equipmentListFromOtherTools();
    void lookupTableWithoutKeyIsEditedByRowId();
    void lookupWindowOpensTablesWithoutKey();
    void emptyFileIsBuiltFromStarterRows_data();
    void emptyFileIsBuiltFromStarterRows();
    void lockedEquipmentListIsReportedAndReadNextTime();
    void lockedLookupIsReportedAndReadOnPageSwitch();
    void writeRefusedWhileAnotherProgramWrites();
    void tableLockedAfterOpeningIsWaitedForOnce();

  private:
    QString path(const QString& name) const { return dir_->filePath(name); }

    std::unique_ptr<QTemporaryDir> dir_;
};

void TestForeignTables::equipmentListFromOtherTools_data() {
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("numbers");  // column 序号, top to bottom
    QTest::addColumn<QStringList>("values");   // column 阻力值（kPa）
    QTest::addColumn<QString>("refusalPart");  // a word of the message; empty when shown

    QTest::newRow("序号 an ordinary integer column, values as reals")
        << "CREATE TABLE 设备阻力损失(序号 INTEGER, 设备名称 TEXT, \"阻力值（kPa）\" REAL, 备注 "
           "TEXT);"
           "INSERT INTO 设备阻力损失 VALUES (10, '十', 2.5, NULL), (2, '二', 7, ''), "
           "(1, '一', 0.5, 'x');"
        << QStringList{"1", "2", "10"} << QStringList{"0.5", "7", "2.5"} << QString();
    // Texts that are no numbers last, in the table's order.
    QTest::newRow("序号 as text")
        << "CREATE TABLE 设备阻力损失(序号 TEXT, 设备名称 TEXT, \"阻力值（kPa）\" TEXT, 备注 TEXT);"
           "INSERT INTO 设备阻力损失 VALUES ('10', 'a', '1', ''), ('备用', 'b', '2', ''),"
           " ('2', 'c', '3', ''), (NULL, 'd', '4', ''), (' 3 ', 'e', '5', ''),"
           " ('1', 'f', '6', ''), ('甲', 'g', '7', '');"
        << QStringList{"1", "2", " 3 ", "10", "备用", "", "甲"}
        << QStringList{"6", "3", "5", "1", "2", "4", "7"} << QString();
    QTest::newRow("columns without types, in another order, with a key of their own")
        << "CREATE TABLE 设备阻力损失(编号 INTEGER PRIMARY KEY, 备注, \"阻力值（kPa）\", 设备名称,"
           " 序号);"
           "INSERT INTO 设备阻力损失(序号, 设备名称, \"阻力值（kPa）\") VALUES (3, 'a', '20~49'),"
           " ('2', 'b', 1.5), (1.5, 'c', 8);"
        << QStringList{"1.5", "2", "3"} << QStringList{"8", "1.5", "20~49"} << QString();
    QTest::newRow("a column missing")
        << "CREATE TABLE 设备阻力损失(序号 INTEGER, 设备名称 TEXT, \"阻力值（kPa）\" TEXT);"
           "INSERT INTO 设备阻力损失 VALUES (1, 'a', '1');"
        << QStringList() << QStringList() << QStringLiteral("“备注”");
    QTest::newRow("the table missing") << "CREATE TABLE 设备(序号 INTEGER);" << QStringList()
                                       << QStringList() << QStringLiteral("“设备阻力损失”");
}

void TestForeignTables::equipmentListFromOtherTools() {
    QFETCH(QString, script);
    QFETCH(QStringList, numbers);
    QFETCH(QStringList, values);
    QFETCH(QString, refusalPart);
    QVERIFY(runSqlite(path(EquipmentName), script).ok);
    FakeChildHost host;
    host.scripted.queueAnswer(PromptAnswer::Ok);
    auto* form = host.showChild<EquipmentLossForm>();
    auto* grid = form->findChild<QTableWidget*>(QStringLiteral("MSHFlexGrid1"));
    if (refusalPart.isEmpty()) {
        QVERIFY(host.scripted.calls().isEmpty());
    } else {
        QCOMPARE(host.scripted.calls().size(), 1);
        QVERIFY2(host.scripted.calls()[0].text.contains(refusalPart),
                 qPrintable(host.scripted.calls()[0].text));
    }
    QCOMPARE(column(grid, 0), numbers);
    QCOMPARE(column(grid, 2), values);
}

void TestForeignTables::lookupTableWithoutKeyIsEditedByRowId() {
    const QString file = path(LookupName);
    QVERIFY(runSqlite(file, foreignLookupTables()).ok);
    ReferenceDatabase db(lookupDatabaseFile());
    QVERIFY2(db.isOpen(), qPrintable(db.outcome().reason()));
    const auto rows = [&] {
        return sqliteValue(file,
                           QStringLiteral("SELECT group_concat(rowid || ':' || 序号 || '/' "
                                          "|| typeof(序号) || ':' || 管材, ' ') FROM 粗糙度"));
    };

    LookupTableModel model(db.connection(), QStringLiteral("粗糙度"));
    QVERIFY_DONE(model.load());
    QCOMPARE(model.recordCount(), 3);
    QVERIFY(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    QVERIFY(!model.data(model.index(0, 0), LookupTableModel::IntegerColumnRole).toBool());

    // Of two identical rows, the one edited changes.
    QVERIFY(model.setData(model.index(1, 1), QStringLiteral("镀锌钢管")));
    QVERIFY_DONE(model.submitRow(1));
    // 序号 takes what its column's type makes of the text, a number or not.
    QVERIFY(model.setData(model.index(2, 0), QStringLiteral("5")));
    QVERIFY_DONE(model.submitRow(2));
    QVERIFY(model.setData(model.index(0, 0), QStringLiteral("一甲")));
    QVERIFY_DONE(model.submitRow(0));
    QCOMPARE(rows(), QStringLiteral("1:一甲/text:钢管 2:1/integer:镀锌钢管 3:5/integer:铜管"));
    QCOMPARE(model.data(model.index(2, 0)).toString(), QStringLiteral("5"));

    QVERIFY(model.setData(model.index(3, 1), QStringLiteral("塑料管")));
    QVERIFY_DONE(model.submitRow(3));
    QVERIFY_DONE(model.removeRecords({1}));
    QCOMPARE(rows(), QStringLiteral("1:一甲/text:钢管 3:5/integer:铜管"));
    QCOMPARE(sqliteValue(file, QStringLiteral("SELECT rowid FROM 粗糙度 WHERE 管材 = '塑料管' AND "
                                              "序号 IS NULL")),
             QStringLiteral("4"));
    QCOMPARE(model.recordCount(), 3);

    // Keyed by another column and without a row id: shown, but nothing can find a row again.
    LookupTableModel noRowId(db.connection(), QStringLiteral("推荐水速"));
    QVERIFY_DONE(noRowId.load());
    QCOMPARE(noRowId.recordCount(), 1);
    QVERIFY(!(noRowId.flags(noRowId.index(0, 0)) & Qt::ItemIsEditable));
}

void TestForeignTables::lookupWindowOpensTablesWithoutKey() {
    QVERIFY(runSqlite(path(LookupName), foreignLookupTables()).ok);
    FakeChildHost host;
    auto* form = host.showChild<LookupDatabaseForm>();
    QVERIFY(host.scripted.calls().isEmpty());
    for (int page = 1; page <= LookupDatabaseForm::PageCount; ++page) {
        auto* grid = form->findChild<DataGrid*>(QStringLiteral("DataGrid%1").arg(page));
        QVERIFY(grid->model());
        // The row for appending comes after the stored ones.
        QCOMPARE(grid->model()->rowCount(), page == 2 ? 4 : 2);
    }
}

void TestForeignTables::emptyFileIsBuiltFromStarterRows_data() {
    QTest::addColumn<bool>("lookup");
    QTest::addColumn<bool>("throughLink");  // the data folder holds a link to the empty file
    QTest::newRow("lookup database") << true << false;
    QTest::newRow("equipment database") << false << false;
    QTest::newRow("link to an empty file") << false << true;
}

void TestForeignTables::emptyFileIsBuiltFromStarterRows() {
    QFETCH(bool, lookup);
    QFETCH(bool, throughLink);
    const ReferenceDatabaseFile file = lookup ? lookupDatabaseFile() : equipmentDatabaseFile();
    const QString target = path(file.fileName);
    const QString empty = throughLink ? path(QStringLiteral("空.sqlite")) : target;
    {
        QFile f(empty);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    if (throughLink) QVERIFY(QFile::link(empty, target));
    const QStringList entries = folderEntries(dir_->path());
    {
        ReferenceDatabase db(file);
        QCOMPARE(db.isOpen(), !throughLink);
        if (throughLink)
            QVERIFY2(db.outcome().reason().contains(QStringLiteral("空")),
                     qPrintable(db.outcome().reason()));
    }
    // No temporary file left behind; a link is still the link, its target still empty.
    QCOMPARE(folderEntries(dir_->path()), entries);
    QCOMPARE(QFileInfo(target).isSymLink(), throughLink);
    if (throughLink) {
        QCOMPARE(QFileInfo(empty).size(), 0);
        return;
    }
    QVERIFY(fileBytes(target).startsWith("SQLite format 3"));
    for (const ReferenceTable& table : file.tables) {
        const QStringList lines = QString::fromUtf8(fileBytes(table.csvPath))
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(sqliteValue(target, QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table.name)),
                 QString::number(lines.size() - 1));
    }
}

void TestForeignTables::lockedEquipmentListIsReportedAndReadNextTime() {
    const QString file = ReferenceDatabase(equipmentDatabaseFile()).filePath();
    {
        OtherProgram other(file, QStringLiteral("BEGIN EXCLUSIVE"));
        QVERIFY(other.held());
        FakeChildHost host;
        host.scripted.queueAnswer(PromptAnswer::Ok);
        QElapsedTimer clock;
        clock.start();
        auto* form = host.showChild<EquipmentLossForm>();
        QVERIFY2(clock.elapsed() < LockReportedWithinMs,
                 qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(host.scripted.calls().size(), 1);
        const QString message = host.scripted.calls()[0].text;
        QVERIFY2(message.contains(QStringLiteral("另一个程序")) &&
                     message.contains(QDir::toNativeSeparators(file)),
                 qPrintable(message));
        QCOMPARE(form->findChild<QTableWidget*>(QStringLiteral("MSHFlexGrid1"))->rowCount(), 0);
        form->close();
    }
    FakeChildHost host;
    auto* form = host.showChild<EquipmentLossForm>();
    QVERIFY(host.scripted.calls().isEmpty());
    QVERIFY(form->findChild<QTableWidget*>(QStringLiteral("MSHFlexGrid1"))->rowCount() > 0);
}

void TestForeignTables::lockedLookupIsReportedAndReadOnPageSwitch() {
    const QString file = ReferenceDatabase(lookupDatabaseFile()).filePath();
    FakeChildHost host;
    LookupDatabaseForm* form = nullptr;
    const auto grid = [&](int page) {
        return form->findChild<DataGrid*>(QStringLiteral("DataGrid%1").arg(page));
    };
    auto* other = new OtherProgram(file, QStringLiteral("BEGIN EXCLUSIVE"));
    QVERIFY(other->held());
    host.scripted.queueAnswer(PromptAnswer::Ok);
    QElapsedTimer clock;
    clock.start();
    form = host.showChild<LookupDatabaseForm>();
    QVERIFY2(clock.elapsed() < LockReportedWithinMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(host.scripted.calls().size(), 1);
    QVERIFY2(host.scripted.calls()[0].text.contains(QStringLiteral("另一个程序")),
             qPrintable(host.scripted.calls()[0].text));
    QVERIFY(!grid(5)->model() || grid(5)->model()->rowCount() == 0);

    // Still held: switching pages tries again and says so again.
    host.scripted.queueAnswer(PromptAnswer::Ok);
    form->showPage(2);
    QCOMPARE(host.scripted.calls().size(), 2);
    delete other;
    form->showPage(1);
    QCOMPARE(host.scripted.calls().size(), 2);
    QVERIFY(grid(1)->model() && grid(1)->model()->rowCount() > 1);
    form->showPage(5);
    QVERIFY(grid(5)->model()->rowCount() > 1);
}

// Another program that is writing holds the file's write lock: reading goes on, a write is
// refused after the wait and says why.
void TestForeignTables::writeRefusedWhileAnotherProgramWrites() {
    ReferenceDatabase db(lookupDatabaseFile());
    QVERIFY(db.isOpen());
    LookupTableModel model(db.connection(), QStringLiteral("粗糙度"));
    OtherProgram other(db.filePath(), QStringLiteral("BEGIN IMMEDIATE"));
    QVERIFY(other.held());
    QVERIFY(model.load().ok());
    QVERIFY(model.setData(model.index(0, 1), QStringLiteral("改")));
    QElapsedTimer clock;
    clock.start();
    const Outcome refused = model.submitRow(0);
    QVERIFY(!refused.ok());
    QVERIFY2(clock.elapsed() < LockReportedWithinMs, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(refused.reason().contains(QStringLiteral("另一个程序")), qPrintable(refused.reason()));
}

// The file was opened, then another program locked it: reading a table without a key waits
// once, not once for each way of reading it.
void TestForeignTables::tableLockedAfterOpeningIsWaitedForOnce() {
    QVERIFY(runSqlite(path(LookupName), foreignLookupTables()).ok);
    ReferenceDatabase db(lookupDatabaseFile());
    QVERIFY(db.isOpen());
    LookupTableModel model(db.connection(), QStringLiteral("粗糙度"));
    OtherProgram other(db.filePath(), QStringLiteral("BEGIN EXCLUSIVE"));
    QVERIFY(other.held());
    QElapsedTimer clock;
    clock.start();
    const Outcome refused = model.load();
    QVERIFY(!refused.ok());
    QVERIFY2(clock.elapsed() < LockReportedWithinMs, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(refused.reason().contains(QStringLiteral("另一个程序")), qPrintable(refused.reason()));
    QCOMPARE(model.columnCount(), 0);
}

QTEST_MAIN(TestForeignTables)
#include "test_foreigntables.moc"
