#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/workbookmodule.h"

namespace {

QByteArray head(const QString& path, qint64 bytes) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

}  // namespace

class TestWorkbookModule : public QObject {
    Q_OBJECT
  private slots:
    // The program's own search: from a test in the build tree the installed place is empty,
    // so the build tree's module is the one loaded, and it writes.
    void builtModuleWritesWorkbooks() {
        const WorkbookWriterLoad loaded = loadWorkbookWriter();
        QVERIFY2(loaded.write && loaded.outcome.ok(), qPrintable(loaded.outcome.reason()));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.xlsx"));
        const tablefiles::WriteResult result = loaded.write(
            QFile::encodeName(path).toStdString(), "Sheet1",
            {{0, 0, "水管", tablefiles::NumberStyle::Fixed}}, tablefiles::WorkbookFormat::Xlsx);
        QVERIFY(result.ok());
        QCOMPARE(head(path, 4), QByteArray("PK\x03\x04"));
    }

    // Each row: the paths searched, and a part of the reason the user is given.
    void unusableModuleIsReported_data() {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QString>("reasonPart");
        const QString missing = QStringLiteral("/nonexistent/quorvel/quorvel-workbooks.so");
        QTest::newRow("nowhere") << QStringList{missing, missing + QStringLiteral(".2")}
                                 << QDir::toNativeSeparators(missing);
        QTest::newRow("no paths") << QStringList{} << QString();
        // A library, but not the module: no entry point.
        const QString core =
            QLibraryInfo::path(QLibraryInfo::LibrariesPath) + QStringLiteral("/libQt6Core.so.6");
        QTest::newRow("another library") << QStringList{core} << QDir::toNativeSeparators(core);
    }
    void unusableModuleIsReported() {
        QFETCH(QStringList, paths);
        QFETCH(QString, reasonPart);
        const WorkbookWriterLoad loaded = loadWorkbookWriter(paths);
        QVERIFY(!loaded.write);
        QVERIFY(!loaded.outcome.ok());
        QVERIFY(!loaded.outcome.reason().isEmpty());
        QVERIFY2(loaded.outcome.reason().contains(reasonPart), qPrintable(loaded.outcome.reason()));
    }

    // A damaged installed module is not passed over for the build tree's: the program would
    // otherwise write with writers of another build.
    void firstPresentModuleIsTheOneLoaded() {
        QTemporaryDir dir;
        const QString damaged = dir.filePath(QStringLiteral("quorvel-workbooks.so"));
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a shared object");
        file.close();
        const WorkbookWriterLoad loaded =
            loadWorkbookWriter({damaged, QStringLiteral(QUORVEL_WORKBOOK_MODULE_BUILT)});
        QVERIFY(!loaded.write);
        QVERIFY(!loaded.outcome.ok());
        QVERIFY2(loaded.outcome.reason().contains(damaged), qPrintable(loaded.outcome.reason()));
    }
};

QTEST_GUILESS_MAIN(TestWorkbookModule)
#include "test_workbookmodule.moc"
