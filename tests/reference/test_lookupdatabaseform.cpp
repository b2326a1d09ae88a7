#include <QApplication>
#include <QLabel>
#include <QLineEdit>
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
#include "tests/support/fakechildhost.h"
#include "tests/support/screenshot.h"

namespace {

DataGrid* gridOf(QWidget* form, int page) {
    return form->findChild<DataGrid*>(QStringLiteral("DataGrid%1").arg(page));
}

QToolButton* barButton(QWidget* form, int page, const char* name) {
    return form->findChild<QWidget*>(QStringLiteral("Adodc%1").arg(page))
        ->findChild<QToolButton*>(QString::fromLatin1(name));
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

// Types into a cell as the user does, replacing its text: ASCII key by key, past the editor's
// validator; Chinese whole, as an input method hands it over. Returns the open editor.
QLineEdit* typeInto(DataGrid* grid, int row, int column, const QString& text) {
    const QModelIndex index = grid->model()->index(row, column);
    grid->setCurrentIndex(index);
    if (!grid->indexWidget(index)) grid->edit(index);
    auto* editor = qobject_cast<QLineEdit*>(grid->indexWidget(index));
    if (!editor) return nullptr;
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(editor, c.toLatin1());
        else
            editor->insert(QString(c));
    }
    return editor;
}

// The Down key where the user has it, in the open editor or the grid: the next row.
void leaveRowDownwards(DataGrid* grid) {
    QWidget* editor = grid->indexWidget(grid->currentIndex());
    QTest::keyClick(editor ? editor : static_cast<QWidget*>(grid), Qt::Key_Down);
}

const char* const ChildOption = "--edit-then-wait";

// The child of the durability test: types argv[2] into K取值_mm of the first row of page 2,
// leaves the row, says so and waits to be killed.
int editThenWait(int argc, char** argv) {
    QApplication app(argc, argv);
    FakeChildHost host;
    auto* form = host.showChild<LookupDatabaseForm>();
    form->showPage(2);
    DataGrid* grid = gridOf(form, 2);
    const int column = columnNamed(grid->model(), QStringLiteral("K取值_mm"));
    if (!typeInto(grid, 0, column, QString::fromLatin1(argv[2]))) return 2;
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

    void opensOnPage5AndSwitchesPagesWhenOpenedAgain();
    void notesAboveEveryGrid_data();
    void notesAboveEveryGrid();
    void navigationBarMovesTheCurrentRow_data();
    void navigationBarMovesTheCurrentRow();
    void editIsStoredExactlyAsTyped_data();
    void editIsStoredExactlyAsTyped();
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
    QString databasePath() const { return dir_->filePath(QStringLiteral("供查数据库.sqlite")); }

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

void TestLookupDatabaseForm::opensOnPage5AndSwitchesPagesWhenOpenedAgain() {
    FakeChildHost host;
    auto* form = host.showChild<LookupDatabaseForm>();
    QCOMPARE(host.captionPanel, form->windowTitle());
    QVERIFY(host.scripted.calls().isEmpty());
    auto* pages = form->findChild<QTabWidget*>();
    QCOMPARE(pages->currentIndex(), 4);

    // Every row of the table as sqlite3 reads it, in its order, then the row for appending.
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

    // The menu's second opening brings the same window to the page it names.
    form->showPage(2);
    QCOMPARE(host.showChild<LookupDatabaseForm>(), form);
    QCOMPARE(pages->currentIndex(), 1);
    form->showPage(6);
    QCOMPARE(pages->currentIndex(), 1);

    QSignalSpy destroyed(form, &QObject::destroyed);
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    QCOMPARE(host.captionPanel, QString());
    QTRY_COMPARE(destroyed.count(), 1);
}

void TestLookupDatabaseForm::notesAboveEveryGrid_data() {
    QTest::addColumn<int>("page");
    for (int page = 1; page <= 5; ++page) QTest::addRow("page %d", page) << page;
}

void TestLookupDatabaseForm::notesAboveEveryGrid() {
    QFETCH(int, page);
    FakeChildHost host;
    auto* form = host.showChild<LookupDatabaseForm>();
    form->showPage(page);
    QVERIFY(QTest::qWaitForWindowExposed(form));
    auto* note = form->findChild<QLabel*>(QStringLiteral("Note%1").arg(page));
    auto* bar = form->findChild<QWidget*>(QStringLiteral("Adodc%1").arg(page));
    QVERIFY(note->isVisible() && bar->isVisible());
    QCOMPARE(note->text(), form->findChild<QLabel*>(QStringLiteral("Note1"))->text());
    const QRect noteBox = placeIn(note, form);
    const QRect gridBox = placeIn(gridOf(form, page), form);
    QVERIFY(noteBox.bottom() < gridBox.top() && gridBox.bottom() < placeIn(bar, form).top());

    // Pages 3 and 4 only: two more notes side by side between the note and the grid, their
    // leading blanks shown.
    auto* left = form->findChild<QLabel*>(QStringLiteral("Note%1Left").arg(page));
    auto* right = form->findChild<QLabel*>(QStringLiteral("Note%1Right").arg(page));
    QCOMPARE(left && right, page == 3 || page == 4);
    if (!left) return;
    const QRect l = placeIn(left, form), r = placeIn(right, form);
    QVERIFY(l.top() == r.top() && l.right() < r.left());
    QVERIFY(l.top() > noteBox.bottom() && l.bottom() < gridBox.top());
    QVERIFY(left->sizeHint().width() >
            left->fontMetrics().horizontalAdvance(left->text().trimmed()) + 10);
}

void TestLookupDatabaseForm::navigationBarMovesTheCurrentRow_data() {
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<int>("row");  // from the first record; negative: from past the last
    QTest::newRow("last") << "Last" << -1;
    QTest::newRow("next stays on the last") << "Last Next" << -1;
    QTest::newRow("previous from the last") << "Last Previous" << -2;
    QTest::newRow("previous stays on the first") << "Last First Previous" << 0;
    QTest::newRow("next twice") << "First Next Next" << 2;
}

void TestLookupDatabaseForm::navigationBarMovesTheCurrentRow() {
    QFETCH(QString, clicks);
    QFETCH(int, row);
    FakeChildHost host;
    auto* form = host.showChild<LookupDatabaseForm>();
    form->showPage(3);
    // First, previous, next, last, from left to right.
    QList<QToolButton*> buttons =
        form->findChild<QWidget*>(QStringLiteral("Adodc3"))->findChildren<QToolButton*>();
    std::sort(buttons.begin(), buttons.end(),
              [](QToolButton* a, QToolButton* b) { return a->x() < b->x(); });
    QStringList order;
    for (QToolButton* b : buttons) order << b->objectName();
    QCOMPARE(order, QStringList({"First", "Previous", "Next", "Last"}));

    for (const QString& click : clicks.split(QLatin1Char(' ')))
        QTest::mouseClick(barButton(form, 3, qPrintable(click)), Qt::LeftButton);
    const int records = gridOf(form, 3)->model()->rowCount() - 1;
    QCOMPARE(gridOf(form, 3)->currentIndex().row(), row >= 0 ? row : records + row);
}

void TestLookupDatabaseForm::editIsStoredExactlyAsTyped_data() {
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");  // as sqlite3 quotes it
    // A number editor would drop the zero, the blanks, the digits or the whole range.
    QTest::newRow("trailing zero") << "K取值_mm"
                                   << "0.00150"
                                   << "'0.00150'";
    QTest::newRow("blanks around") << "K取值_mm"
                                   << " 0.2  "
                                   << "' 0.2  '";
    QTest::newRow("range") << "K范围_mm"
                           << "0.001~0.0025"
                           << "'0.001~0.0025'";
    QTest::newRow("many digits") << "K取值_mm"
                                 << "0.12345678901234567890"
                                 << "'0.12345678901234567890'";
    QTest::newRow("emptied") << "K取值_mm"
                             << ""
                             << "NULL";
    // The key takes whole numbers only; other keys do not reach it.
    QTest::newRow("key") << "序号"
                         << "1a2.5"
                         << "125";
}

void TestLookupDatabaseForm::editIsStoredExactlyAsTyped() {
    QFETCH(QString, column);
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    const QString query =
        QStringLiteral("SELECT quote(%1) FROM 粗糙度 WHERE 管材 = '铜管/黄铜管(拉制)'").arg(column);
    const QString others = QStringLiteral("SELECT * FROM 粗糙度 WHERE 管材 <> '铜管/黄铜管(拉制)'");
    QString before;
    {
        FakeChildHost host;
        auto* form = host.showChild<LookupDatabaseForm>();
        before = sqliteValue(databasePath(), others);
        form->showPage(2);
        DataGrid* grid = gridOf(form, 2);
        QCOMPARE(cell(grid, 8, 0), QStringLiteral("9"));
        QVERIFY(typeInto(grid, 8, columnNamed(grid->model(), column), typed));
        leaveRowDownwards(grid);
        QCOMPARE(grid->currentIndex().row(), 9);
        // Stored the moment the row is left, with the window still open.
        QCOMPARE(sqliteValue(databasePath(), query), stored);
        QVERIFY(host.scripted.calls().isEmpty());
    }
    QCOMPARE(sqliteValue(databasePath(), others), before);
    // A new window shows it again (a row with a new key in the key's order).
    FakeChildHost host;
    DataGrid* grid = gridOf(host.showChild<LookupDatabaseForm>(), 2);
    const QModelIndexList found =
        grid->model()->match(grid->model()->index(0, 1), Qt::DisplayRole,
                             QStringLiteral("铜管/黄铜管(拉制)"), 1, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    const QString shown =
        stored == QLatin1String("NULL") ? QString() : QString(stored).remove('\'');
    QCOMPARE(cell(grid, found[0].row(), columnNamed(grid->model(), column)), shown);
}

void TestLookupDatabaseForm::rowTypedAtTheEndIsAppended() {
    FakeChildHost host;
    auto* form = host.showChild<LookupDatabaseForm>();
    DataGrid* grid = gridOf(form, 5);
    const int end = grid->model()->rowCount() - 1;
    const QString count = QStringLiteral("SELECT count(*) FROM 推荐水速 WHERE 类别 = '试验类别'");
    QVERIFY(typeInto(grid, end, 1, QStringLiteral("试验类别")));
    QTest::keyClick(grid->indexWidget(grid->currentIndex()), Qt::Key_Tab);
    // Text typed into the last row opens a new empty one under it; nothing is stored while
    // the user stays in the row.
    QCOMPARE(grid->model()->rowCount(), end + 2);
    QVERIFY(typeInto(grid, end, 2, QStringLiteral("DN200")));
    QCOMPARE(sqliteValue(databasePath(), count), QStringLiteral("0"));
    leaveRowDownwards(grid);

    // SQLite numbered the row after the last; the grid shows the number it was given.
    QCOMPARE(sqliteValue(databasePath(), count), QStringLiteral("1"));
    QCOMPARE(sqliteValue(databasePath(), QStringLiteral("SELECT 序号 || 管径或部位 FROM 推荐水速 "
                                                        "WHERE 类别 = '试验类别'")),
             QString::number(end + 1) + QStringLiteral("DN200"));
    QCOMPARE(cell(grid, end, 0), QString::number(end + 1));
    QVERIFY(host.scripted.calls().isEmpty());
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
    FakeChildHost host;
    auto* form = host.showChild<LookupDatabaseForm>();
    form->showPage(1);
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    DataGrid* grid = gridOf(form, 1);
    const int rows = grid->model()->rowCount();
    // Cells of 序号 2 and 4, and of the row for appending, which is no row to delete.
    grid->setCurrentIndex(grid->model()->index(1, 1));
    for (const int row : {3, rows - 1})
        grid->selectionModel()->select(grid->model()->index(row, 2), QItemSelectionModel::Select);
    grid->setFocus();
    host.scripted.queueAnswer(confirm ? PromptAnswer::Yes : PromptAnswer::No);
    if (byMenu)
        grid->findChild<QAction*>(QStringLiteral("DeleteRows"))->trigger();
    else
        QTest::keyClick(grid, Qt::Key_Delete);

    QCOMPARE(host.scripted.calls().size(), 1);
    QCOMPARE(host.scripted.calls()[0].text, QStringLiteral("确定要删除选中的 2 行吗？"));
    QCOMPARE(host.scripted.calls()[0].buttons, PromptButtons::YesNo);
    QCOMPARE(
        sqliteValue(databasePath(),
                    QStringLiteral("SELECT group_concat(序号) FROM 矩形风管规格 WHERE 序号 <= 5")),
        confirm ? QStringLiteral("1,3,5") : QStringLiteral("1,2,3,4,5"));
    QCOMPARE(grid->model()->rowCount(), confirm ? rows - 2 : rows);
    QCOMPARE(cell(grid, 1, 0), confirm ? QStringLiteral("3") : QStringLiteral("2"));
}

void TestLookupDatabaseForm::refusedWriteShowsStoredRow_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("otherProgram");  // run by sqlite3 once the window is open
    QTest::addColumn<QString>("shownAfter");    // the row's 序号|状态 in the grid; empty: gone
    QTest::addColumn<QString>("reason");        // a word of the message

    QTest::newRow("duplicate key") << 1 << "序号"
                                   << "1" << QString() << "2|新"
                                   << "序号";
    QTest::newRow("new row with a taken key") << 18 << "序号"
                                              << "3" << QString() << QString() << "序号";
    QTest::newRow("row changed meanwhile") << 1 << "状态"
                                           << "旧"
                                           << "UPDATE 粗糙度 SET 状态 = '别处改的' WHERE 序号 = 2"
                                           << "2|别处改的"
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
    FakeChildHost host;
    auto* form = host.showChild<LookupDatabaseForm>();
    form->showPage(2);
    DataGrid* grid = gridOf(form, 2);
    const int rows = grid->model()->rowCount();
    if (!otherProgram.isEmpty()) QVERIFY(runSqlite(databasePath(), otherProgram).ok);
    const QString dump = sqliteValue(databasePath(), QStringLiteral("SELECT * FROM 粗糙度"));

    QVERIFY(typeInto(grid, row, columnNamed(grid->model(), column), typed));
    host.scripted.queueAnswer(PromptAnswer::Ok);
    leaveRowDownwards(grid);

    QCOMPARE(host.scripted.calls().size(), 1);
    const QString message = host.scripted.calls()[0].text;
    QVERIFY2(message.contains(QStringLiteral("粗糙度")) && message.contains(reason),
             qPrintable(message));
    QCOMPARE(sqliteValue(databasePath(), QStringLiteral("SELECT * FROM 粗糙度")), dump);
    if (shownAfter.isEmpty()) {
        QCOMPARE(grid->model()->rowCount(), row == rows - 1 ? rows : rows - 1);
    } else {
        const int state = columnNamed(grid->model(), QStringLiteral("状态"));
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
    FakeChildHost host;
    auto* form = host.showChild<LookupDatabaseForm>();
    DataGrid* grid = gridOf(form, 5);
    const int note = columnNamed(grid->model(), QStringLiteral("备注"));
    QLineEdit* editor = typeInto(grid, 2, note, QStringLiteral("待存"));
    QVERIFY(editor);
    if (how.startsWith(QLatin1String("enter"))) {
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();  // the editor hands its text over in a queued call
        // Shown, and marked in the row selector as not stored yet.
        QCOMPARE(cell(grid, 2, note), QStringLiteral("待存"));
        QVERIFY(!grid->model()->headerData(2, Qt::Vertical).toString().isEmpty());
    }
    const QString query = QStringLiteral("SELECT 备注 FROM 推荐水速 WHERE 序号 = 3");
    QCOMPARE(sqliteValue(databasePath(), query), QString());
    if (how.endsWith(QLatin1String("close")))
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command2")),
                          Qt::LeftButton);
    else if (how == QLatin1String("page"))
        form->showPage(1);
    else
        QTest::mouseClick(barButton(form, 5, "Last"), Qt::LeftButton);
    QCOMPARE(sqliteValue(databasePath(), query), QStringLiteral("待存"));
    QVERIFY(host.scripted.calls().isEmpty());
}

void TestLookupDatabaseForm::unusableDatabaseLeavesGridsEmpty_data() {
    QTest::addColumn<QString>("folder");  // empty: the temporary folder
    QTest::newRow("file that is not a database") << QString();
    QTest::newRow("folder without write access") << QStringLiteral("/proc/self");
}

void TestLookupDatabaseForm::unusableDatabaseLeavesGridsEmpty() {
    QFETCH(QString, folder);
    if (folder.isEmpty()) folder = dir_->path();
    qputenv("QUORVEL_DATA_DIR", folder.toUtf8());
    const QString path = QDir(folder).filePath(QStringLiteral("供查数据库.sqlite"));
    if (folder == dir_->path()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Standard Jet DB");
    }
    const QByteArray before = fileBytes(path);

    FakeChildHost host;
    host.scripted.queueAnswer(PromptAnswer::Ok);
    auto* form = host.showChild<LookupDatabaseForm>();
    QVERIFY(form->isVisible());
    QCOMPARE(host.scripted.calls().size(), 1);
    QVERIFY2(host.scripted.calls()[0].text.contains(QDir::toNativeSeparators(path)),
             qPrintable(host.scripted.calls()[0].text));
    for (int page = 1; page <= 5; ++page)
        QVERIFY(!gridOf(form, page)->model() || gridOf(form, page)->model()->rowCount() == 0);
    QSignalSpy destroyed(form, &QObject::destroyed);
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    QTRY_COMPARE(destroyed.count(), 1);
    QCOMPARE(fileBytes(path), before);
}

void TestLookupDatabaseForm::editSurvivesKillRightAfterLeavingRow() {
    FakeChildHost().showChild<LookupDatabaseForm>();  // builds the file, as a first start does
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {ChildOption, "0.0465"});
    QByteArray said;
    while (!said.contains('\n') && child.waitForReadyRead(60'000))
        said += child.readAllStandardOutput();
    QCOMPARE(said, QByteArray("row left\n"));
    child.kill();  // SIGKILL: nothing closes, nothing cleans up
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);

    QCOMPARE(
        sqliteValue(databasePath(), QStringLiteral("SELECT K取值_mm FROM 粗糙度 WHERE 序号 = 1")),
        QStringLiteral("0.0465"));
    QCOMPARE(sqliteValue(databasePath(), QStringLiteral("PRAGMA integrity_check")),
             QStringLiteral("ok"));
}

void TestLookupDatabaseForm::screenshots() {
    QUORVEL_SCREENSHOTS_ONLY();
    FakeChildHost host;
    auto* form = host.showChild<LookupDatabaseForm>();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    for (int page = 2; page <= 5; ++page) {
        form->showPage(page);
        QVERIFY(!saveScreenshot(form, QStringLiteral("lookup-page%1").arg(page)).isEmpty());
    }
    // An edit not stored yet, marked in the row selector.
    DataGrid* grid = gridOf(form, 5);
    QTest::keyClick(typeInto(grid, 1, 3, QStringLiteral("0.9~1.3")), Qt::Key_Return);
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
