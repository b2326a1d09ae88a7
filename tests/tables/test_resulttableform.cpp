#include <QAction>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "platform/fonts.h"
#include "platform/settingsstore.h"
#include "shell/mainform.h"
#include "tables/resulttableform.h"
#include "tests/support/formprobe.h"
#include "tests/support/mainformharness.h"
#include "tests/support/screenshot.h"
#include "tests/support/scriptedprompter.h"

using formprobe::click;
using formprobe::control;

namespace {

const QString CloseQuestion = QStringLiteral("表格中的数据还没有保存，确定要关闭吗？");

// The whole program's frame, so that rows arrive as they do for the user: through the
// calculation screens' record buttons or the frame's result tables.
struct Harness : MainFormHarness {
    Harness() {
        form->resize(1100, 800);
        form->show();
    }
    ~Harness() {
        // Whatever a test left unsaved is dropped without a question.
        for (ResultTableForm* t : form->findChildren<ResultTableForm*>())
            t->setAttribute(Qt::WA_DeleteOnClose, true), delete t;
    }
    ResultTableForm* table(const char* name) const {
        return form->findChild<ResultTableForm*>(QString::fromLatin1(name));
    }
    void friction(const QString& hf, const QString& v = QStringLiteral("1.414")) {
        form->resultTables().record(
            TableKind::Friction,
            *frictionRow("50", "1000", "45", "1", "0.2", v.toStdString(), hf.toStdString()));
    }
    void local(const QString& hf) {
        form->resultTables().record(TableKind::Local,
                                    *localRow("1.0", "1.2", "50", hf.toStdString()));
    }
};

QStringList items(const QWidget* table, const char* list) {
    QStringList texts;
    const auto* w = control<QListWidget>(table, list);
    for (int i = 0; i < w->count(); ++i) texts << w->item(i)->text();
    return texts;
}

void select(const QWidget* table, std::initializer_list<int> rows) {
    auto* list = control<QListWidget>(table, "List1");
    for (int r : rows) list->item(r)->setSelected(true);
}

// Cells as an independent reader sees them: "row,column" → [kind, value, format].
QJsonObject readWorkbook(const QString& path) {
    QProcess reader;
    reader.start(QStringLiteral(QUORVEL_PYTHON), {QStringLiteral(READ_WORKBOOK_SCRIPT), path});
    if (!reader.waitForFinished(120000) || reader.exitCode() != 0) {
        qWarning() << reader.readAllStandardError();
        return {};
    }
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

QHash<QString, QStringList> cellsOf(const QJsonObject& book) {
    QHash<QString, QStringList> cells;
    for (const QJsonValue& c : book.value(QStringLiteral("cells")).toArray()) {
        const QJsonArray a = c.toArray();
        cells.insert(QStringLiteral("%1,%2").arg(a[0].toInt()).arg(a[1].toInt()),
                     {a[2].toString(), a[3].toString(), a[4].toString()});
    }
    return cells;
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestResultTableForm : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { installFontSubstitutions(); }

    // Rows come from the screens' record buttons; a screen with empty results records nothing
    // and shows no table.
    void recordButtonsFillTheirTables() {
        Harness h;
        h.form->findChild<QAction*>(QStringLiteral("sgyzss"))->trigger();
        QWidget* screen = h.form->activeChild();
        click(screen, "Command5");
        QVERIFY(!h.table("table1"));
        click(screen, "Command1");
        control(screen, "Text6")->setText(QStringLiteral("1.415"));
        click(screen, "Command5");
        ResultTableForm* table = h.table("table1");
        QVERIFY(table);
        QCOMPARE(h.form->activeChild(), table);
        QCOMPARE(items(table, "List2"),
                 QStringList{" 50mm       1000mm    45℃      1m^3/h      0.2mm     1.42m/s"});
        QCOMPARE(items(table, "List1"), QStringList{"7.067"});
        QCOMPARE(control(table, "Text1")->text(), QStringLiteral("0"));
        QCOMPARE(control(table, "Text2")->text(), QStringLiteral("E:\\工程名(沿程阻力).xls"));

        h.form->findChild<QAction*>(QStringLiteral("sgjzss"))->trigger();
        QWidget* local = h.form->activeChild();
        click(local, "Command1");
        click(local, "Command6");
        ResultTableForm* table2 = h.table("table2");
        QVERIFY(table2);
        QCOMPARE(items(table2, "List2"), QStringList{"   1.0           50℃      1.2m/s      "});
        QCOMPARE(items(table2, "List1"), QStringList{"711.360"});

        // A second record goes to the open table and brings it forward.
        click(screen, "Command5");
        QCOMPARE(h.form->activeChild(), table);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(h.form->findChildren<ResultTableForm*>().size(), 2);
    }

    void deleteRules_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("first and third of three") << 3 << QList<int>{0, 2} << QStringList{"2.000"};
        QTest::newRow("one of three") << 3 << QList<int>{1} << QStringList{"1.000", "3.000"};
        QTest::newRow("nothing selected")
            << 3 << QList<int>{} << QStringList{"1.000", "2.000", "3.000"};
        QTest::newRow("the only row, not selected") << 1 << QList<int>{} << QStringList{"1.000"};
        QTest::newRow("the only row, selected") << 1 << QList<int>{0} << QStringList{};
        QTest::newRow("all of three") << 3 << QList<int>{0, 1, 2} << QStringList{};
    }

    void deleteRules() {
        QFETCH(int, rows);
        QFETCH(QList<int>, selected);
        QFETCH(QStringList, left);
        Harness h;
        for (int i = 1; i <= rows; ++i) h.friction(QString::number(i));
        ResultTableForm* table = h.table("table1");
        auto* list = control<QListWidget>(table, "List1");
        for (int r : selected) list->item(r)->setSelected(true);
        click(table, "Command1");
        QCOMPARE(items(table, "List1"), left);
        QCOMPARE(items(table, "List2").size(), left.size());
        QCOMPARE(control(table, "Text1")->text(), QStringLiteral("0"));
    }

    void clickTogglesSelection() {
        Harness h;
        h.local("1");
        h.local("2");
        auto* list = control<QListWidget>(h.table("table2"), "List1");
        const QRect first = list->visualItemRect(list->item(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(1)).center());
        QCOMPARE(list->selectedItems().size(), 2);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first.center());
        QCOMPARE(list->selectedItems().size(), 1);
    }

    void totals() {
        Harness h;
        h.local("1.5");
        h.local("2.25");
        ResultTableForm* table = h.table("table2");
        control(table, "Text1")->setText(QStringLiteral("100"));
        h.local("abc");
        QCOMPARE(control(table, "Text1")->text(), QStringLiteral("100"));
        click(table, "Command4");
        QCOMPARE(control(table, "Text1")->text(), QStringLiteral("3.75"));
        select(table, {0, 1, 2});
        click(table, "Command1");
        QCOMPARE(control(table, "Text1")->text(), QStringLiteral("3.75"));
        click(table, "Command4");
        QCOMPARE(control(table, "Text1")->text(), QString());
    }

    void listsStayPairedWhateverTheUserDoes() {
        Harness h;
        QRandomGenerator random(7);
        h.friction("0");
        ResultTableForm* table = h.table("table1");
        for (int step = 0; step < 300; ++step) {
            if (random.bounded(6) != 0) {
                h.friction(QString::number(step));
            } else {
                auto* list = control<QListWidget>(table, "List1");
                for (int i = 0; i < list->count(); ++i)
                    list->item(i)->setSelected(random.bounded(4) == 0);
                click(table, "Command1");
            }
            QCOMPARE(items(table, "List1").size(), items(table, "List2").size());
        }
        // Scrolling either column scrolls the other.
        while (table->rowCount() < 40) h.friction(QStringLiteral("1"));
        QApplication::processEvents();
        auto* results = control<QListWidget>(table, "List1");
        auto* parameters = control<QListWidget>(table, "List2");
        QVERIFY(results->verticalScrollBar()->maximum() > 0);
        results->verticalScrollBar()->setValue(5);
        QCOMPARE(parameters->verticalScrollBar()->value(), 5);
        parameters->verticalScrollBar()->setValue(2);
        QCOMPARE(results->verticalScrollBar()->value(), 2);
    }

    void reopenedTableStartsAfresh() {
        Harness h;
        h.friction("1");
        ResultTableForm* table = h.table("table1");
        control(table, "Text1")->setText(QStringLiteral("9"));
        control(table, "Text2")->setText(QStringLiteral("/tmp/x.xls"));
        h.prompter.queueAnswer(PromptAnswer::Yes);
        click(table, "Command3");
        QTRY_VERIFY(!h.table("table1"));
        h.friction("2");
        table = h.table("table1");
        QCOMPARE(items(table, "List1"), QStringList{"2.000"});
        QCOMPARE(control(table, "Text1")->text(), QStringLiteral("0"));
        QCOMPARE(control(table, "Text2")->text(), QStringLiteral("E:\\工程名(沿程阻力).xls"));
    }

    // Unsaved rows are not dropped without a question, whichever way the table is closed.
    void closingAsksAboutUnsavedRows_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("exit button") << "exit";
        QTest::newRow("close box") << "frame";
        QTest::newRow("main window") << "main";
    }

    void closingAsksAboutUnsavedRows() {
        QFETCH(QString, how);
        Harness h;
        h.friction("1");
        ResultTableForm* table = h.table("table1");
        const auto close = [&] {
            if (how == QLatin1String("exit"))
                click(table, "Command3");
            else if (how == QLatin1String("frame"))
                qobject_cast<QMdiSubWindow*>(table->parentWidget())->close();
            else
                h.form->close();
        };
        h.prompter.queueAnswer(PromptAnswer::No);
        close();
        QCOMPARE(h.prompter.calls().size(), 1);
        QCOMPARE(h.prompter.calls()[0].text, CloseQuestion);
        QCOMPARE(h.prompter.calls()[0].title, QStringLiteral("警告！！！"));
        QVERIFY(h.table("table1"));
        QVERIFY(h.form->isVisible());
        QCOMPARE(table->rowCount(), 1);

        h.prompter.queueAnswer(PromptAnswer::Yes);
        close();
        QTRY_VERIFY(!h.table("table1"));
    }

    void emptyOrSavedTableClosesWithoutAsking() {
        Harness h;
        h.friction("1");
        ResultTableForm* table = h.table("table1");
        select(table, {0});
        click(table, "Command1");
        click(table, "Command3");
        QTRY_VERIFY(!h.table("table1"));

        h.local("1");
        table = h.table("table2");
        control(table, "Text2")->setText(h.dir.filePath(QStringLiteral("t.xlsx")));
        click(table, "Command2");
        QVERIFY(QFile::exists(h.dir.filePath(QStringLiteral("t.xlsx"))));
        click(table, "Command3");
        QTRY_VERIFY(!h.table("table2"));
        QVERIFY(h.prompter.calls().isEmpty());
    }

    void savedWorkbookReadBack_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("xls") << "表格.xls";
        QTest::newRow("upper-case XLSX") << "表格.XLSX";
        QTest::newRow("other ending is xls") << "表格.dat";
    }

    void savedWorkbookReadBack() {
        QFETCH(QString, name);
        Harness h;
        h.friction("1.5");
        h.friction("2.25");
        h.friction("abc");
        ResultTableForm* table = h.table("table1");
        click(table, "Command4");
        const QString path = h.dir.filePath(name);
        control(table, "Text2")->setText(path);
        click(table, "Command2");
        QVERIFY(h.prompter.calls().isEmpty());

        QString readable = path;
        if (!name.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive) &&
            !name.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) {
            readable = h.dir.filePath(QStringLiteral("copy.xls"));
            QVERIFY(QFile::copy(path, readable));
        } else if (name.endsWith(QLatin1String(".XLSX"))) {
            readable = h.dir.filePath(QStringLiteral("copy.xlsx"));
            QVERIFY(QFile::copy(path, readable));
        }
        const QJsonObject book = readWorkbook(readable);
        QCOMPARE(book.value(QStringLiteral("sheet")).toString(), QStringLiteral("sheet1"));
        const QHash<QString, QStringList> cells = cellsOf(book);
        QCOMPARE(cells.size(), 10);
        QCOMPARE(
            cells.value("0,2").value(1),
            QStringLiteral("直径D        长度L    水温t      流量G     粗糙度k     水流速度v"));
        QCOMPARE(cells.value("0,3").value(1), QStringLiteral("沿程阻力计算结果（Pa）"));
        QCOMPARE(cells.value("1,2").value(1),
                 QStringLiteral(" 50mm       1000mm    45℃      1m^3/h      0.2mm     1.41m/s"));
        QCOMPARE(cells.value("1,3").value(0), QStringLiteral("number"));
        QCOMPARE(cells.value("1,3").value(1).toDouble(), 1.5);
        QCOMPARE(cells.value("1,3").value(2), QStringLiteral("0.000"));
        QCOMPARE(cells.value("3,3"), (QStringList{"text", "abc", "General"}));
        QCOMPARE(cells.value("4,2").value(1), QStringLiteral("总沿程阻力值（Pa）"));
        QCOMPARE(cells.value("4,3").value(1).toDouble(), 3.75);
        QCOMPARE(cells.value("4,3").value(2), QStringLiteral("General"));
    }

    void emptyTableSavesHeadersOnly() {
        Harness h;
        h.local("1");
        ResultTableForm* table = h.table("table2");
        select(table, {0});
        click(table, "Command1");
        const QString path = h.dir.filePath(QStringLiteral("empty.xls"));
        control(table, "Text2")->setText(path);
        click(table, "Command2");
        const QHash<QString, QStringList> cells = cellsOf(readWorkbook(path));
        QCOMPARE(cells.keys().size(), 2);
        QCOMPARE(cells.value("0,2").value(1), QStringLiteral("局部阻力系数ζ 水温t  水流速度v"));
    }

    void existingFileIsReplacedOnlyWhenTheUserSaysSo() {
        Harness h;
        h.local("1");
        ResultTableForm* table = h.table("table2");
        const QString path = h.dir.filePath(QStringLiteral("old.xls"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
        old.close();
        control(table, "Text2")->setText(path);
        h.prompter.queueAnswer(PromptAnswer::No);
        click(table, "Command2");
        QCOMPARE(h.prompter.calls()[0].text,
                 QStringLiteral("文件“%1”已存在，要替换它吗？").arg(path));
        QCOMPARE(contents(path), QByteArray("old contents"));
        QVERIFY(table->hasUnsavedRows());

        h.prompter.queueAnswer(PromptAnswer::Yes);
        click(table, "Command2");
        QVERIFY(contents(path).startsWith("\xD0\xCF\x11\xE0"));
        QVERIFY(!table->hasUnsavedRows());
    }

    // The default path names drive E:, which this system does not have: the user may choose
    // another place, which then stands in the path box.
    void drivePathOffersTheSaveDialog() {
        Harness h;
        h.friction("1");
        ResultTableForm* table = h.table("table1");
        h.prompter.queueAnswer(PromptAnswer::No);
        click(table, "Command2");
        QCOMPARE(h.prompter.calls().size(), 1);
        QVERIFY(h.prompter.calls()[0].text.contains(QStringLiteral("E:\\工程名(沿程阻力).xls")));
        QVERIFY(h.prompter.calls()[0].text.endsWith(QStringLiteral("\n是否另选保存位置？")));
        QCOMPARE(control(table, "Text2")->text(), QStringLiteral("E:\\工程名(沿程阻力).xls"));

        h.prompter.clearCalls();
        const QString chosen = h.dir.filePath(QStringLiteral("chosen.xls"));
        h.prompter.queueAnswer(PromptAnswer::Yes);
        h.prompter.queueFileName(chosen);
        click(table, "Command2");
        QCOMPARE(h.prompter.calls().size(), 2);
        QCOMPARE(h.prompter.calls()[1].kind, QStringLiteral("save"));
        QCOMPARE(h.prompter.calls()[1].title, QStringLiteral("保存"));
        QVERIFY(h.prompter.calls()[1].startPath.endsWith(QStringLiteral("/工程名(沿程阻力).xls")));
        QCOMPARE(control(table, "Text2")->text(), chosen);
        QVERIFY(QFile::exists(chosen));

        // A cancelled dialog writes nothing.
        h.prompter.clearCalls();
        control(table, "Text2")->setText(h.dir.filePath(QStringLiteral("no/such/folder.xls")));
        h.prompter.queueAnswer(PromptAnswer::Yes);
        h.prompter.queueFileName(QString());
        click(table, "Command2");
        QCOMPARE(control(table, "Text2")->text(),
                 h.dir.filePath(QStringLiteral("no/such/folder.xls")));
    }

    // A table too long for .xls is refused with a message, leaving the old file as it was;
    // the same table saves as .xlsx.
    void tooManyRowsForXls() {
        Harness h;
        h.local("1");
        ResultTableForm* table = h.table("table2");
        const ResultRowTexts row = *localRow("1.0", "1.2", "50", "2");
        for (int i = 0; i < 69999; ++i) table->record(row);
        QCOMPARE(table->rowCount(), 70000);
        const QString path = h.dir.filePath(QStringLiteral("big.xls"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("previous workbook");
        old.close();
        control(table, "Text2")->setText(path);
        h.prompter.queueAnswer(PromptAnswer::Yes);
        h.prompter.queueAnswer(PromptAnswer::Ok);
        click(table, "Command2");
        QCOMPARE(h.prompter.calls().size(), 2);
        QVERIFY(h.prompter.calls()[1].text.contains(QStringLiteral(".xlsx")));
        QVERIFY(h.prompter.calls()[1].text.contains(path));
        QCOMPARE(contents(path), QByteArray("previous workbook"));
        QCOMPARE(table->rowCount(), 70000);
        QCOMPARE(control(table, "Text2")->text(), path);

        const QString xlsx = h.dir.filePath(QStringLiteral("big.xlsx"));
        control(table, "Text2")->setText(xlsx);
        click(table, "Command2");
        QCOMPARE(readWorkbook(xlsx).value(QStringLiteral("rows")).toInt(), 70002);
    }

    void folderAsPathIsRefused() {
        Harness h;
        h.local("1");
        ResultTableForm* table = h.table("table2");
        control(table, "Text2")->setText(h.dir.path());
        h.prompter.queueAnswer(PromptAnswer::Ok);
        click(table, "Command2");
        QCOMPARE(h.prompter.calls().size(), 1);
        QVERIFY(h.prompter.calls()[0].text.startsWith(
            QStringLiteral("无法保存文件“%1”").arg(h.dir.path())));
        QVERIFY(table->hasUnsavedRows());
    }

    void screenshots() {
        QUORVEL_SCREENSHOTS_ONLY();
        Harness h;
        for (const char* v : {"1.414", "0.1414711", "2"}) h.friction("7.067252", QString(v));
        h.form->resultTables().record(
            TableKind::Friction, *frictionRow("100", "12000", "7", "25.5", "0.2", "0.9", "1234.5"));
        click(h.table("table1"), "Command4");
        QVERIFY(!saveScreenshot(h.table("table1"), QStringLiteral("table1")).isEmpty());
        h.local("711.36");
        h.form->resultTables().record(TableKind::Local, *localRow("0.5", "1.5", "7", "561.6"));
        click(h.table("table2"), "Command4");
        QVERIFY(!saveScreenshot(h.table("table2"), QStringLiteral("table2")).isEmpty());
    }
};

QTEST_MAIN(TestResultTableForm)
#include "test_resulttableform.moc"
