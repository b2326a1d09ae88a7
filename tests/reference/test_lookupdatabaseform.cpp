#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cstdio>
#include <memory>

#include "platform/fonts.h"
#include "reference/datagrid.h"
#include "reference/lookupdatabaseform.h"
#include "sqlitecli.h"
#include "tests/support/fakeframe.h"
#include "tests/support/screenshot.h"

namespace {

const QString DatabaseName = QStringLiteral("供查数据库.sqlite");

DataGrid* gridOf(QWidget* form, int page) {
    return form->findChild<DataGrid*>(QStringLiteral("DataGrid%1").arg(page));
}

int columnNamed(const QAbstractItemModel* model, const QString& name) {
    for (int c = 0; c < model->columnCount(); ++c)
        if (model->headerData(c, Qt::Horizontal).toString() == name) return c;
    return -1;
}

QString cell(const DataGrid* grid, int row, int column) {
    return grid->model()->index(row, column).data().toString();
}

QRect placeIn(const QWidget* widget, const QWidget* form) {
    return QRect(widget->mapTo(form, QPoint()), widget->size());
}

// Types into a cell as the user does: opens its editor and replaces the text. Returns the
// editor, or nullptr when the cell would not open one.
QLineEdit* typeInto(DataGrid* grid, int row, int column, const QString& text) {
    const QModelIndex index = grid->model()->index(row, column);
    grid->setCurrentIndex(index);
    if (!grid->indexWidget(index)) grid->edit(index);
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(index));
    if (!editor) return nullptr;
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    // Chinese text arrives whole from the input method; ASCII key by key, past the validator.
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClicks(editor, QString(c));
        else
            editor->insert(QString(c));
    }
    return editor;
}

// The Down key, in the open editor if there is one: the grid moves to the next row.
void leaveRowDownwards(DataGrid* grid) {
    QWidget* editor = grid->indexWidget(grid->currentIndex());
    QTest::keyClick(editor ? editor : static_cast<QWidget*>(grid), Qt::Key_Down);
}

const char* const ChildOption = "--edit-then-wait";

// The child of the durability test: types `text` into K取值_mm of the first row of page 2,
// leaves the row, says so on standard output and waits to be killed.
int editThenWait(int argc, char** argv) {
    QApplication app(argc, argv);
    FakeFrame frame;
    auto* form = frame.showChild<LookupDatabaseForm>();
    form->showPage(2);
    DataGrid* grid = gridOf(form, 2);
    if (!typeInto(grid, 0, columnNamed(grid->model(), QStringLiteral("K取值_mm")),
                  QString::fromUtf8(argv[2])))
        return 2;
    leaveRowDownwards(grid);
    std::fputs("row left\n", stdout);
    std::fflush(stdout);
    return QApplication::exec();
}

}  // namespace

class TestLookupDatabaseForm : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void cleanup() { dir_.reset(); }

    void opensOnPage5WithItsTable();
    void notesAboveEveryGrid_data();
    void notesAboveEveryGrid();
    void menuSwitchesTheOpenWindowToItsPage();
    void navigationBarMovesTheCurrentRow_data();
    void navigationBarMovesTheCurrentRow();
    void editIsStoredExactlyAsTyped_data();
    void editIsStoredExactlyAsTyped();
    void keyTakesWholeNumbersOnly();
    void rowTypedAtTheEndIsAppended();
    void deletingSelectedRowsAsksFirst_data();
    void deletingSelectedRowsAsksFirst();
    void refusedWriteShowsStoredRow_data();
    void refusedWriteShowsStoredRow();
    void editNotYetStoredIsStoredOnLeaving_data();
    void editNotYetStoredIsStoredOnLeaving();
    void unusableDatabaseLeavesGridsEmpty_data();
    void unusableDatabaseLeavesGridsEmpty();
    void editSurvivesKillRightAfterLeavingRow();
    void screenshots();

  private:
    QString databasePath() const { return dir_->filePath(DatabaseName); }
    // The file built as a first start builds it.
    void buildDatabase();

    std::unique_ptr<QTemporaryDir> dir_;
};

void TestLookupDatabaseForm::initTestCase() {
    installFontSubstitutions();
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 9));
}

void TestLookupDatabaseForm::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    qputenv("QUORVEL_DATA_DIR", dir_->path().toUtf8());
}

void TestLookupDatabaseForm::buildDatabase() {
    FakeFrame frame;
    frame.showChild<LookupDatabaseForm>()->close();
    QVERIFY(QFileInfo::exists(databasePath()));
}

void TestLookupDatabaseForm::opensOnPage5WithItsTable() {
    FakeFrame frame;
    auto* form = frame.showChild<LookupDatabaseForm>();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    QCOMPARE(frame.captionPanel, form->windowTitle());
    QVERIFY(frame.scripted.calls().isEmpty());
    auto* pages = form->findChild<QTabWidget*>();
    QCOMPARE(pages->currentIndex(), 4);
    QVERIFY(!(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(form->minimumSize(), form->maximumSize());

    // The grid holds the table as sqlite3 reads it, in its order, plus the row for appending.
    DataGrid* grid = gridOf(form, 5);
    QVERIFY(grid->isVisible());
    const QStringList stored = sqliteValue(databasePath(), QStringLiteral("SELECT * FROM 推荐水速"))
                                   .split(QLatin1Char('\n'));
    QCOMPARE(grid->model()->rowCount(), stored.size() + 1);
    for (int r = 0; r < stored.size(); ++r) {
        QStringList shown;
        for (int c = 0; c < grid->model()->columnCount(); ++c) shown << cell(grid, r, c);
        QCOMPARE(shown.join(QLatin1Char('|')), stored[r]);
    }
    QCOMPARE(sqliteValue(databasePath(),
                         QStringLiteral(
                             "SELECT group_concat(name, '|') FROM pragma_table_info('推荐水速')")),
             [&] {
                 QStringList headers;
                 for (int c = 0; c < grid->model()->columnCount(); ++c)
                     headers << grid->model()->headerData(c, Qt::Horizontal).toString();
                 return headers.join(QLatin1Char('|'));
             }());

    // Closing empties the caption panel and destroys the window.
    QSignalSpy destroyed(form, &QObject::destroyed);
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    QCOMPARE(frame.captionPanel, QString());
    QTRY_COMPARE(destroyed.count(), 1);
}

void TestLookupDatabaseForm::notesAboveEveryGrid_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("sideNotes");
    for (int page = 1; page <= 5; ++page)
        QTest::addRow("page %d", page) << page << (page == 3 || page == 4);
}

void TestLookupDatabaseForm::notesAboveEveryGrid() {
    QFETCH(int, page);
    QFETCH(bool, sideNotes);
    FakeFrame frame;
    auto* form = frame.showChild<LookupDatabaseForm>();
    form->showPage(page);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    DataGrid* grid = gridOf(form, page);
    QVERIFY(grid->isVisible());
    auto* note = form->findChild<QLabel*>(QStringLiteral("Note%1").arg(page));
    auto* bar = form->findChild<QWidget*>(QStringLiteral("Adodc%1").arg(page));
    QVERIFY(note && note->isVisible() && bar && bar->isVisible());
    QCOMPARE(note->text(), form->findChild<QLabel*>(QStringLiteral("Note5"))->text());

    const QRect noteBox = placeIn(note, form);
    const QRect gridBox = placeIn(grid, form);
    const QRect barBox = placeIn(bar, form);
    QVERIFY(noteBox.bottom() < gridBox.top());
    QVERIFY(gridBox.bottom() < barBox.top());
    QCOMPARE(bar->findChild<QLabel*>()->text(), bar->objectName());

    auto* left = form->findChild<QLabel*>(QStringLiteral("Note%1Left").arg(page));
    auto* right = form->findChild<QLabel*>(QStringLiteral("Note%1Right").arg(page));
    QCOMPARE(left != nullptr, sideNotes);
    QCOMPARE(right != nullptr, sideNotes);
    if (!sideNotes) return;
    const QRect l = placeIn(left, form), r = placeIn(right, form);
    QCOMPARE(l.top(), r.top());
    QVERIFY(l.right() < r.left());
    QVERIFY(l.top() > noteBox.bottom() && l.bottom() < gridBox.top());
    // The leading blanks of the notes are part of their text and of what is shown.
    QVERIFY(left->text().startsWith(QStringLiteral("     ")));
    QVERIFY(left->sizeHint().width() >
            QFontMetrics(left->font()).horizontalAdvance(left->text().trimmed()));
}

void TestLookupDatabaseForm::menuSwitchesTheOpenWindowToItsPage() {
    FakeFrame frame;
    auto* form = frame.showChild<LookupDatabaseForm>();
    form->showPage(2);
    auto* pages = form->findChild<QTabWidget*>();
    QCOMPARE(pages->currentIndex(), 1);
    frame.captionPanel = QStringLiteral("别的窗口");
    auto* again = frame.showChild<LookupDatabaseForm>();
    QCOMPARE(again, form);
    again->showPage(5);
    QCOMPARE(pages->currentIndex(), 4);
    again->showPage(0);
    again->showPage(6);
    QCOMPARE(pages->currentIndex(), 4);
    QCOMPARE(frame.openChildren(), 1);
}

void TestLookupDatabaseForm::navigationBarMovesTheCurrentRow_data() {
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<int>("fromEnd");    // expected row, counted back from the last record
    QTest::addColumn<int>("fromStart");  // or, when fromEnd is -1, from the first
    const auto moves = [](const char* list) {
        return QString::fromLatin1(list).split(QLatin1Char(' '));
    };
    QTest::newRow("last") << moves("Last") << 0 << 0;
    QTest::newRow("next stays on the last") << moves("Last Next") << 0 << 0;
    QTest::newRow("previous from the last") << moves("Last Previous") << 1 << 0;
    QTest::newRow("previous stays on the first") << moves("First Previous") << -1 << 0;
    QTest::newRow("next twice") << moves("First Next Next") << -1 << 2;
}

void TestLookupDatabaseForm::navigationBarMovesTheCurrentRow() {
    QFETCH(QStringList, clicks);
    QFETCH(int, fromEnd);
    QFETCH(int, fromStart);
    FakeFrame frame;
    auto* form = frame.showChild<LookupDatabaseForm>();
    form->showPage(3);
    DataGrid* grid = gridOf(form, 3);
    auto* bar = form->findChild<QWidget*>(QStringLiteral("Adodc3"));
    // The buttons stand in the order first, previous, next, last.
    QList<QToolButton*> buttons = bar->findChildren<QToolButton*>();
    std::sort(buttons.begin(), buttons.end(),
              [](QToolButton* a, QToolButton* b) { return a->x() < b->x(); });
    QStringList order;
    for (QToolButton* b : buttons) order << b->objectName();
    QCOMPARE(order, QStringList({"First", "Previous", "Next", "Last"}));

    for (const QString& click : clicks)
        QTest::mouseClick(bar->findChild<QToolButton*>(click), Qt::LeftButton);
    const int records = grid->model()->rowCount() - 1;
    QCOMPARE(grid->currentIndex().row(), fromEnd >= 0 ? records - 1 - fromEnd : fromStart);
}

void TestLookupDatabaseForm::editIsStoredExactlyAsTyped_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");  // as sqlite3 quotes it
    // A number editor would drop the zero, the blanks or the whole range.
    QTest::newRow("trailing zero") << "0.00150"
                                   << "'0.00150'";
    QTest::newRow("blanks around") << " 0.2  "
                                   << "' 0.2  '";
    QTest::newRow("range") << "0.001~0.002"
                           << "'0.001~0.002'";
    QTest::newRow("many digits") << "0.12345678901234567890"
                                 << "'0.12345678901234567890'";
    QTest::newRow("emptied") << ""
                             << "NULL";
}

void TestLookupDatabaseForm::editIsStoredExactlyAsTyped() {
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    const QString column = QStringLiteral("K取值_mm");
    const QString others = QStringLiteral("SELECT count(*) FROM 粗糙度 WHERE 序号 <> 9");
    {
        FakeFrame frame;
        auto* form = frame.showChild<LookupDatabaseForm>();
        form->showPage(2);
        DataGrid* grid = gridOf(form, 2);
        const int c = columnNamed(grid->model(), column);
        QCOMPARE(cell(grid, 8, 0), QStringLiteral("9"));
        QVERIFY(typeInto(grid, 8, c, typed));
        leaveRowDownwards(grid);
        QCOMPARE(grid->currentIndex().row(), 9);
        QVERIFY(frame.scripted.calls().isEmpty());
        // Stored the moment the row was left, before the window closes.
        QCOMPARE(
            sqliteValue(databasePath(),
                        QStringLiteral("SELECT quote(%1) FROM 粗糙度 WHERE 序号 = 9").arg(column)),
            stored);
    }
    // The other rows are untouched, and a new window shows the value again.
    QCOMPARE(sqliteValue(databasePath(), others), QStringLiteral("17"));
    FakeFrame frame;
    auto* form = frame.showChild<LookupDatabaseForm>();
    form->showPage(2);
    DataGrid* grid = gridOf(form, 2);
    QCOMPARE(cell(grid, 8, columnNamed(grid->model(), column)), typed);
}

void TestLookupDatabaseForm::keyTakesWholeNumbersOnly() {
    FakeFrame frame;
    auto* form = frame.showChild<LookupDatabaseForm>();
    DataGrid* grid = gridOf(form, 5);
    const int end = grid->model()->rowCount() - 1;
    QLineEdit* editor = typeInto(grid, end, 0, QStringLiteral("1a2.5"));
    QVERIFY(editor);
    QCOMPARE(editor->text(), QStringLiteral("125"));
    leaveRowDownwards(grid);
    QCOMPARE(sqliteValue(databasePath(),
                         QStringLiteral("SELECT typeof(序号) || ' ' || quote(类别) FROM 推荐水速 "
                                        "WHERE 序号 = 125")),
             QStringLiteral("integer NULL"));
}

void TestLookupDatabaseForm::rowTypedAtTheEndIsAppended() {
    FakeFrame frame;
    auto* form = frame.showChild<LookupDatabaseForm>();
    DataGrid* grid = gridOf(form, 5);
    const int end = grid->model()->rowCount() - 1;
    const QString before =
        sqliteValue(databasePath(), QStringLiteral("SELECT max(序号) FROM 推荐水速"));
    const int kind = columnNamed(grid->model(), QStringLiteral("类别"));
    const int size = columnNamed(grid->model(), QStringLiteral("管径或部位"));
    QVERIFY(typeInto(grid, end, kind, QStringLiteral("试验类别")));
    QTest::keyClick(grid->indexWidget(grid->currentIndex()), Qt::Key_Tab);
    // Text typed into the last row opens a new empty one under it.
    QCOMPARE(grid->model()->rowCount(), end + 2);
    QVERIFY(typeInto(grid, end, size, QStringLiteral("DN200")));
    // Moving within the row stores nothing yet.
    QCOMPARE(sqliteValue(databasePath(),
                         QStringLiteral("SELECT count(*) FROM 推荐水速 WHERE 类别 = '试验类别'")),
             QStringLiteral("0"));
    leaveRowDownwards(grid);

    // SQLite numbered the row after the last; the grid shows the number it was given.
    const QString key = QString::number(before.toInt() + 1);
    QCOMPARE(
        sqliteValue(databasePath(),
                    QStringLiteral(
                        "SELECT 序号 || '|' || 管径或部位 FROM 推荐水速 WHERE 类别 = '试验类别'")),
        key + QStringLiteral("|DN200"));
    QCOMPARE(cell(grid, end, 0), key);
    QCOMPARE(grid->model()->rowCount(), end + 2);
    QVERIFY(frame.scripted.calls().isEmpty());
}

void TestLookupDatabaseForm::deletingSelectedRowsAsksFirst_data() {
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<bool>("byMenu");
    QTest::newRow("Delete key, yes") << true << false;
    QTest::newRow("Delete key, no") << false << false;
    QTest::newRow("context menu, yes") << true << true;
}

void TestLookupDatabaseForm::deletingSelectedRowsAsksFirst() {
    QFETCH(bool, confirm);
    QFETCH(bool, byMenu);
    FakeFrame frame;
    auto* form = frame.showChild<LookupDatabaseForm>();
    form->showPage(1);
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    DataGrid* grid = gridOf(form, 1);
    const int rows = grid->model()->rowCount();
    // Cells of rows 2 and 4 (序号 2 and 4) and of the empty row at the end, which is not a row
    // to delete.
    grid->setCurrentIndex(grid->model()->index(1, 1));
    const auto add = [&](int row) {
        grid->selectionModel()->select(grid->model()->index(row, 2), QItemSelectionModel::Select);
    };
    add(3);
    add(rows - 1);
    grid->setFocus();
    frame.scripted.queueAnswer(confirm ? PromptAnswer::Yes : PromptAnswer::No);
    if (byMenu) {
        QAction* action = grid->findChild<QAction*>(QStringLiteral("DeleteRows"));
        QVERIFY(grid->actions().contains(action));
        action->trigger();
    } else {
        QTest::keyClick(grid, Qt::Key_Delete);
    }

    QCOMPARE(frame.scripted.calls().size(), 1);
    QCOMPARE(frame.scripted.calls()[0].text, QStringLiteral("确定要删除选中的 2 行吗？"));
    QCOMPARE(frame.scripted.calls()[0].buttons, PromptButtons::YesNo);
    const QString left =
        sqliteValue(databasePath(),
                    QStringLiteral("SELECT group_concat(序号) FROM 矩形风管规格 WHERE 序号 <= 5"));
    QCOMPARE(left, confirm ? QStringLiteral("1,3,5") : QStringLiteral("1,2,3,4,5"));
    QCOMPARE(grid->model()->rowCount(), confirm ? rows - 2 : rows);
    QCOMPARE(cell(grid, 1, 0), confirm ? QStringLiteral("3") : QStringLiteral("2"));
}

void TestLookupDatabaseForm::refusedWriteShowsStoredRow_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("otherProgram");  // run by sqlite3 after the window opened
    QTest::addColumn<QString>("shownAfter");    // the row's 序号|状态 in the grid; empty: gone
    QTest::addColumn<QString>("reason");        // a word of the message

    QTest::newRow("duplicate key") << 1 << "序号"
                                   << "1" << QString() << "2|新"
                                   << "序号";
    QTest::newRow("new row with a taken key") << 18 << "序号"
                                              << "3" << QString() << QString() << "序号";
    QTest::newRow("row changed meanwhile") << 1 << "状态"
                                           << "旧"
                                           << "UPDATE 粗糙度 SET 状态 = '另一个程序' WHERE 序号 = 2"
                                           << "2|另一个程序"
                                           << "另一个程序";
    QTest::newRow("row deleted meanwhile")
        << 1 << "状态"
        << "旧"
        << "DELETE FROM 粗糙度 WHERE 序号 = 2" << QString() << "另一个程序";
}

void TestLookupDatabaseForm::refusedWriteShowsStoredRow() {
    QFETCH(int, row);
    QFETCH(QString, column);
    QFETCH(QString, typed);
    QFETCH(QString, otherProgram);
    QFETCH(QString, shownAfter);
    QFETCH(QString, reason);
    FakeFrame frame;
    auto* form = frame.showChild<LookupDatabaseForm>();
    form->showPage(2);
    DataGrid* grid = gridOf(form, 2);
    const int rows = grid->model()->rowCount();
    if (!otherProgram.isEmpty()) QVERIFY(runSqlite(databasePath(), otherProgram).ok);
    const QString dump = sqliteValue(databasePath(), QStringLiteral("SELECT * FROM 粗糙度"));

    QVERIFY(typeInto(grid, row, columnNamed(grid->model(), column), typed));
    frame.scripted.queueAnswer(PromptAnswer::Ok);
    leaveRowDownwards(grid);

    QCOMPARE(frame.scripted.calls().size(), 1);
    const QString message = frame.scripted.calls()[0].text;
    QVERIFY2(message.contains(QStringLiteral("粗糙度")) && message.contains(reason),
             qPrintable(message));
    QCOMPARE(sqliteValue(databasePath(), QStringLiteral("SELECT * FROM 粗糙度")), dump);
    const int state = columnNamed(grid->model(), QStringLiteral("状态"));
    if (shownAfter.isEmpty()) {
        // The grid no longer holds a row that is not in the table.
        QCOMPARE(grid->model()->rowCount(), row == rows - 1 ? rows : rows - 1);
    } else {
        QCOMPARE(cell(grid, row, 0) + QLatin1Char('|') + cell(grid, row, state), shownAfter);
        QCOMPARE(grid->model()->headerData(row, Qt::Vertical).toString(), QString());
    }
}

void TestLookupDatabaseForm::editNotYetStoredIsStoredOnLeaving_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("window closed with the cell editor open") << "close";
    QTest::newRow("window closed after Enter") << "enter close";
    QTest::newRow("page switched") << "page";
    QTest::newRow("row left by the navigation bar") << "bar";
}

void TestLookupDatabaseForm::editNotYetStoredIsStoredOnLeaving() {
    QFETCH(QString, how);
    FakeFrame frame;
    auto* form = frame.showChild<LookupDatabaseForm>();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    DataGrid* grid = gridOf(form, 5);
    const int note = columnNamed(grid->model(), QStringLiteral("备注"));
    QLineEdit* editor = typeInto(grid, 2, note, QStringLiteral("待存"));
    QVERIFY(editor);
    if (how.startsWith(QLatin1String("enter"))) {
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();  // the editor hands its text over in a queued call
        // Shown, and marked as not stored yet.
        QCOMPARE(cell(grid, 2, note), QStringLiteral("待存"));
        QVERIFY(!grid->model()->headerData(2, Qt::Vertical).toString().isEmpty());
    }
    const QString query = QStringLiteral("SELECT 备注 FROM 推荐水速 WHERE 序号 = 3");
    QCOMPARE(sqliteValue(databasePath(), query), QString());
    if (how.endsWith(QLatin1String("close"))) {
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command2")),
                          Qt::LeftButton);
    } else if (how == QLatin1String("page")) {
        form->showPage(1);
    } else {
        QTest::mouseClick(form->findChild<QWidget*>(QStringLiteral("Adodc5"))
                              ->findChild<QToolButton*>(QStringLiteral("Last")),
                          Qt::LeftButton);
    }
    QCOMPARE(sqliteValue(databasePath(), query), QStringLiteral("待存"));
    QVERIFY(frame.scripted.calls().isEmpty());
}

void TestLookupDatabaseForm::unusableDatabaseLeavesGridsEmpty_data() {
    QTest::addColumn<QString>("dataFolder");  // relative to the temporary folder, or absolute
    QTest::addColumn<QByteArray>("content");  // of the database file, if any
    QTest::addColumn<QString>("script");      // or sqlite3 makes it
    QTest::newRow("file that is not a database")
        << QString() << QByteArray("MSJet 4.0 ... not SQLite") << QString();
    QTest::newRow("SQLite file without the tables")
        << QString() << QByteArray() << QStringLiteral("CREATE TABLE 粗糙度(x);");
    QTest::newRow("folder without write access")
        << QStringLiteral("/proc/self") << QByteArray() << QString();
}

void TestLookupDatabaseForm::unusableDatabaseLeavesGridsEmpty() {
    QFETCH(QString, dataFolder);
    QFETCH(QByteArray, content);
    QFETCH(QString, script);
    const QString folder = dataFolder.isEmpty() ? dir_->path() : dataFolder;
    qputenv("QUORVEL_DATA_DIR", folder.toUtf8());
    const QString path = QDir(folder).filePath(DatabaseName);
    if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    if (!script.isEmpty()) QVERIFY(runSqlite(path, script).ok);
    const QByteArray before = fileBytes(path);

    FakeFrame frame;
    frame.scripted.queueAnswer(PromptAnswer::Ok);
    auto* form = frame.showChild<LookupDatabaseForm>();
    QVERIFY(form->isVisible());
    QCOMPARE(frame.scripted.calls().size(), 1);
    const QString message = frame.scripted.calls()[0].text;
    QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    for (int page = 1; page <= 5; ++page) {
        QAbstractItemModel* model = gridOf(form, page)->model();
        QVERIFY(!model || model->rowCount() == 0);
    }
    QSignalSpy destroyed(form, &QObject::destroyed);
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    QTRY_COMPARE(destroyed.count(), 1);
    QCOMPARE(fileBytes(path), before);
}

void TestLookupDatabaseForm::editSurvivesKillRightAfterLeavingRow() {
    buildDatabase();
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(ChildOption), QStringLiteral("0.0465")});
    QVERIFY(child.waitForStarted());
    QByteArray said;
    while (!said.contains('\n') && child.waitForReadyRead(60'000))
        said += child.readAllStandardOutput();
    QCOMPARE(said, QByteArray("row left\n"));
    child.kill();  // SIGKILL: no closing, no clean-up
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    QCOMPARE(
        sqliteValue(databasePath(), QStringLiteral("SELECT K取值_mm FROM 粗糙度 WHERE 序号 = 1")),
        QStringLiteral("0.0465"));
    QCOMPARE(sqliteValue(databasePath(), QStringLiteral("PRAGMA integrity_check")),
             QStringLiteral("ok"));
    // A fresh window finds it as well.
    FakeFrame frame;
    auto* form = frame.showChild<LookupDatabaseForm>();
    DataGrid* grid = gridOf(form, 2);
    QCOMPARE(cell(grid, 0, columnNamed(grid->model(), QStringLiteral("K取值_mm"))),
             QStringLiteral("0.0465"));
}

void TestLookupDatabaseForm::screenshots() {
    FakeFrame frame;
    auto* form = frame.showChild<LookupDatabaseForm>();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    for (int page = 2; page <= 5; ++page) {
        form->showPage(page);
        QVERIFY(!saveScreenshot(form, QStringLiteral("lookup-page%1").arg(page)).isEmpty());
    }
    // An edit not stored yet, with its mark in the row selector.
    DataGrid* grid = gridOf(form, 5);
    QVERIFY(typeInto(grid, 1, 3, QStringLiteral("0.9~1.3")));
    QTest::keyClick(grid->indexWidget(grid->currentIndex()), Qt::Key_Return);
    QCoreApplication::processEvents();
    QVERIFY(!saveScreenshot(form, QStringLiteral("lookup-page5-pending")).isEmpty());
}

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], ChildOption) == 0) return editThenWait(argc, argv);
    QApplication app(argc, argv);
    QTEST_SET_MAIN_SOURCE_PATH
    TestLookupDatabaseForm test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_lookupdatabaseform.moc"
