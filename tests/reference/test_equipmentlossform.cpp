#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "platform/fonts.h"
#include "platform/twips.h"
#include "reference/equipmentlossform.h"
#include "sqlitecli.h"
#include "tests/support/fakechildhost.h"
#include "tests/support/screenshot.h"

namespace {

const QString DatabaseName = QStringLiteral("供查数据库97.sqlite");

// 序号 is an integer key that is not the rowid, so the table returns its rows in the order
// they were inserted (2, 10, 1): only the query's ORDER BY on the number puts them right.
const char* const UnorderedRows =
    "CREATE TABLE 设备阻力损失(\"序号\" INT PRIMARY KEY, \"设备名称\" TEXT, \"阻力值（kPa）\" TEXT,"
    " \"备注\" TEXT, \"多余\" TEXT);"
    "INSERT INTO 设备阻力损失 VALUES (2, '二号', '7', NULL, 'x');"
    "INSERT INTO 设备阻力损失 VALUES (10, '十号', '20~49', '十', 'x');"
    "INSERT INTO 设备阻力损失 VALUES (1, '一号', '0.0015', '一', 'x');";

QStringList column(const QTableWidget* grid, int c) {
    QStringList texts;
    for (int r = 0; r < grid->rowCount(); ++r) texts << grid->item(r, c)->text();
    return texts;
}

QRect placeIn(const QWidget* widget, const QWidget* form) {
    return QRect(widget->mapTo(form, QPoint()), widget->size());
}

}  // namespace

class TestEquipmentLossForm : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void cleanup() { dir_.reset(); }

    void rowsInAscendingOrderOfTheirNumber();
    void cellsCannotBeEdited();
    void controlsFollowTheWindowSize_data();
    void controlsFollowTheWindowSize();
    void unreadableListShowsHeaderOnly_data();
    void unreadableListShowsHeaderOnly();
    void screenshot();

  private:
    QString databasePath() const { return dir_->filePath(DatabaseName); }

    std::unique_ptr<QTemporaryDir> dir_;
};

void TestEquipmentLossForm::initTestCase() {
    installFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 9));
}

void TestEquipmentLossForm::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    qputenv("QUORVEL_DATA_DIR", dir_->path().toUtf8());
}

void TestEquipmentLossForm::rowsInAscendingOrderOfTheirNumber() {
    QVERIFY(runSqlite(databasePath(), QString::fromUtf8(UnorderedRows)).ok);
    FakeChildHost host;
    host.captionPanel = QStringLiteral("水管沿程阻力计算界面");
    auto* form = host.showChild<EquipmentLossForm>();
    QVERIFY(host.scripted.calls().isEmpty());
    auto* grid = form->findChild<QTableWidget*>(QStringLiteral("MSHFlexGrid1"));
    QCOMPARE(grid->columnCount(), 4);
    QCOMPARE(column(grid, 0), QStringList({"1", "2", "10"}));
    QCOMPARE(column(grid, 1), QStringList({"一号", "二号", "十号"}));
    QCOMPARE(column(grid, 2), QStringList({"0.0015", "7", "20~49"}));
    QCOMPARE(column(grid, 3), QStringList({"一", "", "十"}));

    // One bold header row, no row-number column, the data control hidden.
    QVERIFY(grid->horizontalHeader()->isVisible() && grid->horizontalHeader()->font().bold());
    QVERIFY(!grid->font().bold() && !grid->verticalHeader()->isVisible());
    auto* data = form->findChild<QObject*>(QStringLiteral("datPrimaryRS"));
    QVERIFY(data && (!data->isWidgetType() || !static_cast<QWidget*>(data)->isVisible()));

    // The list leaves the caption panel alone, opening and closing.
    QCOMPARE(host.captionPanel, QStringLiteral("水管沿程阻力计算界面"));
    QSignalSpy destroyed(form, &QObject::destroyed);
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("cmdClose")), Qt::LeftButton);
    QTRY_COMPARE(destroyed.count(), 1);
    QCOMPARE(host.captionPanel, QStringLiteral("水管沿程阻力计算界面"));
}

void TestEquipmentLossForm::cellsCannotBeEdited() {
    FakeChildHost host;
    auto* form = host.showChild<EquipmentLossForm>();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    auto* grid = form->findChild<QTableWidget*>(QStringLiteral("MSHFlexGrid1"));
    const QByteArray before = fileBytes(databasePath());
    const QModelIndex index = grid->model()->index(1, 2);
    const QString text = index.data().toString();
    grid->setCurrentIndex(index);
    const QRect cellBox = grid->visualRect(index);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cellBox.center());
    QTest::keyClick(grid, Qt::Key_F2);
    QTest::keyClicks(grid, QStringLiteral("99"));
    QVERIFY(grid->viewport()->findChildren<QWidget*>().isEmpty());
    QCOMPARE(index.data().toString(), text);
    QVERIFY(!(grid->model()->flags(index) & Qt::ItemIsEditable));
    QCOMPARE(fileBytes(databasePath()), before);
}

void TestEquipmentLossForm::controlsFollowTheWindowSize_data() {
    QTest::addColumn<QList<QSize>>("sizes");  // one after the other; the last is checked
    QTest::addColumn<bool>("gridFits");
    QTest::newRow("enlarged") << QList<QSize>{QSize(900, 640)} << true;
    QTest::newRow("narrowed") << QList<QSize>{QSize(300, 500)} << true;
    QTest::newRow("smaller than the button") << QList<QSize>{QSize(40, 20)} << false;
    QTest::newRow("enlarged again after that")
        << QList<QSize>{QSize(40, 20), QSize(700, 450)} << true;
}

void TestEquipmentLossForm::controlsFollowTheWindowSize() {
    QFETCH(QList<QSize>, sizes);
    QFETCH(bool, gridFits);
    FakeChildHost host;
    auto* form = host.showChild<EquipmentLossForm>();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    auto* grid = form->findChild<QTableWidget*>(QStringLiteral("MSHFlexGrid1"));
    auto* button = form->findChild<QPushButton*>(QStringLiteral("cmdClose"));
    const QSize buttonSize = button->size();
    QRect gridBefore;
    for (const QSize& size : sizes) {
        gridBefore = placeIn(grid, form);
        form->resize(size);
        QCoreApplication::processEvents();
    }
    // 60 twips from the edges, on this screen's logical resolution.
    const int mx = twipsToPixels(60, form->logicalDpiX());
    const int my = twipsToPixels(60, form->logicalDpiY());
    const QSize inner = form->size();
    QCOMPARE(button->size(), buttonSize);
    QCOMPARE(placeIn(button, form).bottomRight(),
             QPoint(inner.width() - mx - 1, inner.height() - my - 1));
    const QRect g = placeIn(grid, form);
    if (gridFits) {
        QCOMPARE(g.topLeft(), QPoint(mx, my));
        QCOMPARE(g.right(), inner.width() - mx - 1);
        QCOMPARE(g.bottom(), placeIn(button, form).top() - my - 1);
    } else {
        QCOMPARE(g, gridBefore);
    }
    // Usable at any size: the button still closes the window.
    QSignalSpy destroyed(form, &QObject::destroyed);
    button->click();
    QTRY_COMPARE(destroyed.count(), 1);
}

void TestEquipmentLossForm::unreadableListShowsHeaderOnly_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("script");
    QTest::newRow("not a database") << QByteArray("序号,设备名称\n1,水泵\n") << QString();
    // The table is there, but not every column the query names.
    QTest::newRow("query fails") << QByteArray()
                                 << QStringLiteral(
                                        "CREATE TABLE 设备阻力损失(序号 INTEGER PRIMARY "
                                        "KEY, 设备名称 TEXT, 阻力值 TEXT, 备注 TEXT);"
                                        "INSERT INTO 设备阻力损失 VALUES (1,'a','b','c');");
}

void TestEquipmentLossForm::unreadableListShowsHeaderOnly() {
    QFETCH(QByteArray, content);
    QFETCH(QString, script);
    if (script.isEmpty()) {
        QFile file(databasePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    } else {
        QVERIFY(runSqlite(databasePath(), script).ok);
    }
    const QByteArray before = fileBytes(databasePath());
    FakeChildHost host;
    host.scripted.queueAnswer(PromptAnswer::Ok);
    auto* form = host.showChild<EquipmentLossForm>();
    QCOMPARE(host.scripted.calls().size(), 1);
    const QString message = host.scripted.calls()[0].text;
    QVERIFY2(message.contains(QDir::toNativeSeparators(databasePath())), qPrintable(message));
    auto* grid = form->findChild<QTableWidget*>(QStringLiteral("MSHFlexGrid1"));
    QCOMPARE(grid->rowCount(), 0);
    QCOMPARE(grid->columnCount(), 4);
    QVERIFY(grid->horizontalHeader()->font().bold());
    QSignalSpy destroyed(form, &QObject::destroyed);
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("cmdClose")), Qt::LeftButton);
    QTRY_COMPARE(destroyed.count(), 1);
    QCOMPARE(fileBytes(databasePath()), before);
}

void TestEquipmentLossForm::screenshot() {
    QUORVEL_SCREENSHOTS_ONLY();
    FakeChildHost host;
    auto* form = host.showChild<EquipmentLossForm>();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QVERIFY(!saveScreenshot(form, QStringLiteral("equipment-loss")).isEmpty());
}

QTEST_MAIN(TestEquipmentLossForm)
#include "test_equipmentlossform.moc"
