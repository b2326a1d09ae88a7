#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPrinter>
#include <QProcess>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

#include "core/numbertext.h"
#include "hydraulics/projectfile.h"
#include "hydraulics/systemtexts.h"
#include "reference/referencedatabase.h"
#include "system/celltext.h"
#include "system/recoverycopy.h"
#include "system/sectiontablemodel.h"
#include "system/settingspanel.h"
#include "system/sheetview.h"
#include "system/systemsheetform.h"
#include "tests/support/fakechildhost.h"
#include "tests/support/formprobe.h"

using hydraulics::SectionInput;

namespace {

// A small chilled-water system: a main S1 from the plant, a riser S2 to two terminals given by
// their loads, and a branch T3 with a typed flow and size. Columns as the sheet's inputs.
const QList<QStringList> SmallSystem{
    {"S1", "", "20", "", "", "", "", "3", ""},
    {"S2", "S1", "15", "", "", "", "", "2", ""},
    {"T1", "S2", "10", "35", "", "", "", "4", "30"},
    {"T2", "S2", "12", "50", "", "", "", "4", "30"},
    {"T3", "S1", "8", "", "3.5", "40", "", "6", "20"},
};

SectionTableModel* modelOf(QWidget* sheet) {
    return sheet->findChild<SectionTableModel*>(QStringLiteral("sectionModel"));
}

SheetView* gridOf(QWidget* sheet) {
    return sheet->findChild<SheetView*>(QStringLiteral("sheetGrid"));
}

QAction* action(QWidget* sheet, const char* name) {
    return sheet->findChild<QAction*>(QString::fromLatin1(name));
}

// What the user typed, row by row, as the model holds it.
QList<QStringList> typed(const SectionTableModel* model) {
    QList<QStringList> rows;
    for (int r = 0; r < int(model->sections().size()); ++r) {
        QStringList row;
        for (int c = 0; c <= SectionTableModel::Equipment; ++c)
            row.append(model->data(model->index(r, c), Qt::EditRole).toString());
        rows.append(row);
    }
    return rows;
}

// The project as the file writer sees it: sections, fittings, equipment names and settings.
std::string snapshot(const SectionTableModel* model) {
    return hydraulics::writeProject({"", model->settings(), model->sections()});
}

// Keys go where the user's would: to the widget with the focus, an editor once one opened.
// An editor closes a moment after Enter, as the delegate queues it.
void press(QWidget* fallback, Qt::Key key, const QString& text = {}) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : fallback;
    if (text.isEmpty())
        QTest::keyClick(target, key);
    else
        QTest::sendKeyEvent(QTest::Click, target, key, text, Qt::NoModifier);
    QCoreApplication::processEvents();
}

void typeInto(QWidget* fallback, const QString& text) {
    for (const QChar c : text) press(fallback, Qt::Key_unknown, QString(c));
}

// A double click opens the picker of Σζ and of the equipment loss, not an editor.
void doubleClick(SheetView* grid, const QModelIndex& index) {
    const QPoint at = grid->visualRect(index).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

class TestSystemSheet : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeChildHost> host_;
    QTemporaryDir dir_;

    SystemSheetForm* openSheet() {
        auto* sheet = host_->showChild<SystemSheetForm>();
        sheet->activateWindow();
        QApplication::setActiveWindow(sheet);
        return sheet;
    }

    SystemSheetForm* sheetWith(const QList<QStringList>& rows) {
        SystemSheetForm* sheet = openSheet();
        modelOf(sheet)->pasteBlock(0, 0, rows);
        return sheet;
    }

  private slots:
    void init() {
        host_ = std::make_unique<FakeChildHost>();
        RecoveryCopy(referenceDataFolder()).remove();
    }
    void cleanup() {
        QCOMPARE(host_->scripted.pendingAnswers(), 0);
        // Whatever the test left changed is dropped without a question.
        if (auto* sheet =
                qobject_cast<SystemSheetForm*>(host_->child(QStringLiteral("SystemSheetForm"))))
            delete sheet;
        host_.reset();
        RecoveryCopy(referenceDataFolder()).remove();
    }

    // Typed cell by cell: typing replaces a cell, Tab goes right, Enter goes down to the next
    // row; the figures are the engine's for the same inputs.
    void typedCellByCellMatchesTheEngine() {
        SystemSheetForm* sheet = openSheet();
        SheetView* grid = gridOf(sheet);
        SectionTableModel* model = modelOf(sheet);
        QVERIFY(QTest::qWaitForWindowActive(sheet));
        grid->setFocus();
        for (int r = 0; r < SmallSystem.size(); ++r) {
            grid->setCurrentIndex(model->index(r, 0));
            for (int c = 0; c < SmallSystem[r].size(); ++c) {
                if (!SmallSystem[r][c].isEmpty()) typeInto(grid, SmallSystem[r][c]);
                if (c + 1 < SmallSystem[r].size()) press(grid, Qt::Key_Tab);
            }
            press(grid, Qt::Key_Return);
            QCOMPARE(grid->currentIndex().row(), r + 1);
        }
        QCOMPARE(typed(model), SmallSystem);

        // Full-width figures from a Chinese input method read as their ASCII forms.
        grid->setCurrentIndex(model->index(3, SectionTableModel::Load));
        typeInto(grid, QStringLiteral("５０"));
        press(grid, Qt::Key_Return);
        QCOMPARE(typed(model), SmallSystem);

        const hydraulics::SystemResult expected =
            hydraulics::computeSystem(model->sections(), model->settings(), model->catalog());
        QVERIFY(expected.complete);
        const hydraulics::SystemResult& shown = model->result();
        QCOMPARE(shown.headKPa, expected.headKPa);
        QCOMPARE(shown.criticalPath, expected.criticalPath);
        for (int r = 0; r < SmallSystem.size(); ++r) {
            const hydraulics::SectionResult& e = expected.sections[std::size_t(r)];
            QCOMPARE(model->resultOf(r)->Pend, e.Pend);
            QCOMPARE(model->resultOf(r)->critical, e.critical);
            // The shown figure is the engine's, rounded for the column.
            QCOMPARE(
                model->data(model->index(r, SectionTableModel::LossToEnd), Qt::DisplayRole)
                    .toString(),
                QString::fromStdString(numbertext::fixedText(numbertext::generalText(e.Pend), 0)));
        }
        // Typing over a cell replaces it.
        grid->setCurrentIndex(model->index(0, SectionTableModel::Length));
        typeInto(grid, "25");
        press(grid, Qt::Key_Return);
        QCOMPARE(model->sections()[0].L, std::string("25"));
    }

    // The same system pasted as one block from a spreadsheet, onto an empty sheet, gives the
    // same sections; pasted again lower down it grows the table.
    void pastedBlockGrowsTheTable() {
        SystemSheetForm* sheet = openSheet();
        SectionTableModel* model = modelOf(sheet);
        SheetView* grid = gridOf(sheet);
        QApplication::clipboard()->setText(celltext::toTabSeparated(SmallSystem));
        grid->setCurrentIndex(model->index(0, 0));
        sheet->paste();
        QCOMPARE(typed(model), SmallSystem);
        QVERIFY(model->result().complete);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("水系统水力计算 - 未命名*"));

        // Copy of rows 2–3 whole (results included) and paste into the row past the end: the
        // inputs come over, the results are not typed into anything.
        grid->selectionModel()->select(
            QItemSelection(model->index(1, 0), model->index(2, SectionTableModel::ColumnCount - 1)),
            QItemSelectionModel::ClearAndSelect);
        sheet->copy();
        grid->setCurrentIndex(model->index(5, 0));
        sheet->paste();
        QCOMPARE(int(model->sections().size()), 7);
        QCOMPARE(typed(model).mid(5), SmallSystem.mid(1, 2));
        // The copies repeat ids: the engine says so in the rows' remarks.
        QVERIFY(!model->resultOf(5)->ok());
        QVERIFY(!model->remarks(5).isEmpty());
    }

    void everyEditUndoesAndRedoes_data() {
        QTest::addColumn<int>("kind");
        QTest::newRow("cell typed") << 0;
        QTest::newRow("selection cleared by Delete") << 1;
        QTest::newRow("block pasted past the end") << 2;
        QTest::newRow("rows inserted by Insert") << 3;
        QTest::newRow("rows removed by Ctrl+Delete") << 4;
        QTest::newRow("fittings chosen") << 5;
        QTest::newRow("equipment chosen") << 6;
        QTest::newRow("setting changed") << 7;
    }
    void everyEditUndoesAndRedoes() {
        QFETCH(int, kind);
        SystemSheetForm* sheet = sheetWith(SmallSystem);
        SectionTableModel* model = modelOf(sheet);
        SheetView* grid = gridOf(sheet);
        auto* stack = sheet->findChild<QUndoStack*>(QStringLiteral("undoStack"));
        stack->setClean();
        const std::string before = snapshot(model);
        const double headBefore = model->result().headKPa;
        switch (kind) {
            case 0:
                model->setData(model->index(2, SectionTableModel::Load), "70", Qt::EditRole);
                break;
            case 1:
                grid->selectionModel()->select(
                    QItemSelection(model->index(0, SectionTableModel::Zeta),
                                   model->index(4, SectionTableModel::Equipment)),
                    QItemSelectionModel::ClearAndSelect);
                QTest::keyClick(grid, Qt::Key_Delete);
                break;
            case 2:
                model->pasteBlock(5, 0, {{"T4", "S2", "9", "20"}, {"T5", "S2", "9", "20"}});
                break;
            case 3:
                grid->selectionModel()->select(
                    QItemSelection(model->index(1, 0), model->index(2, 0)),
                    QItemSelectionModel::ClearAndSelect);
                QTest::keyClick(grid, Qt::Key_Insert);
                QCOMPARE(int(model->sections().size()), 7);
                break;
            case 4:
                grid->selectionModel()->select(
                    QItemSelection(model->index(4, 0), model->index(4, 3)),
                    QItemSelectionModel::ClearAndSelect);
                QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
                QCOMPARE(int(model->sections().size()), 4);
                break;
            case 5:
                model->setSectionFittings(0, {{"90°弯头", 3, "1.0"}}, QStringLiteral("3"));
                break;
            case 6:
                model->setSectionEquipment(2, QStringLiteral("风机盘管"), QStringLiteral("50"));
                break;
            case 7: {
                hydraulics::SystemSettings settings = model->settings();
                settings.returnDoubled = true;
                model->changeSettings(settings, QStringLiteral("回水"));
                break;
            }
        }
        const std::string after = snapshot(model);
        QVERIFY(after != before);
        QVERIFY(sheet->isModified());
        QVERIFY(sheet->windowTitle().endsWith(QLatin1Char('*')));
        const double headAfter = model->result().headKPa;
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(snapshot(model), before);
        QCOMPARE(model->result().headKPa, headBefore);
        QVERIFY(!sheet->isModified());
        QVERIFY(!sheet->windowTitle().endsWith(QLatin1Char('*')));
        QTest::keyClick(grid, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(snapshot(model), after);
        QCOMPARE(model->result().headKPa, headAfter);
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(snapshot(model), after);
    }

    // A setting typed in the panel is one undo step, and the panel follows the undo.
    void settingsPanelEditsThroughTheStack() {
        SystemSheetForm* sheet = sheetWith(SmallSystem);
        SectionTableModel* model = modelOf(sheet);
        auto* safety = formprobe::control(sheet, "safetyFactor");
        QCOMPARE(safety->text(), QStringLiteral("1.1"));
        const double head = model->result().headKPa;
        safety->setText(QStringLiteral("１.２"));
        emit safety->editingFinished();
        QCOMPARE(model->settings().safety, 1.2);
        QVERIFY(model->result().headKPa > head);
        action(sheet, "sheetUndo")->trigger();
        QCOMPARE(safety->text(), QStringLiteral("1.1"));
        QCOMPARE(model->result().headKPa, head);

        // Not a number: the user hears which setting, the box shows the setting again.
        host_->scripted.queueAnswer(PromptAnswer::Ok);
        safety->setText(QStringLiteral("1,2"));
        emit safety->editingFinished();
        QCOMPARE(host_->scripted.calls().size(), 1);
        QVERIFY(host_->scripted.calls().first().text.contains(QStringLiteral("1,2")));
        QCOMPARE(safety->text(), QStringLiteral("1.1"));
        QCOMPARE(model->settings().safety, 1.1);
    }

    void savesAndReopens() {
        SystemSheetForm* sheet = sheetWith(SmallSystem);
        SectionTableModel* model = modelOf(sheet);
        model->setSectionFittings(1, {{"90°弯头", 2, "1.0"}, {"闸阀", 1, "0.5"}},
                                  QStringLiteral("2.5"));
        model->setSectionEquipment(2, QStringLiteral("风机盘管/空调器盘管"), QStringLiteral("50"));
        hydraulics::SystemSettings settings = model->settings();
        settings.t = 12;
        settings.open = true;
        settings.staticLift = 3.5;
        model->changeSettings(settings, QStringLiteral("开式"));
        const std::string saved = snapshot(model);

        const QString path = dir_.filePath(QStringLiteral("项目 一"));
        host_->scripted.queueFileName(path);
        QVERIFY(sheet->saveProjectAs());
        QCOMPARE(sheet->filePath(), path + QStringLiteral(".qvs"));
        QCOMPARE(sheet->windowTitle(), QStringLiteral("水系统水力计算 - 项目 一.qvs"));
        QVERIFY(!sheet->isModified());

        sheet->newProject();
        QCOMPARE(int(model->sections().size()), 0);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("水系统水力计算 - 未命名"));
        host_->scripted.queueFileName(path + QStringLiteral(".qvs"));
        sheet->openProject();
        QCOMPARE(snapshot(model), saved);
        QVERIFY(!sheet->isModified());
        QVERIFY(model->data(model->index(1, SectionTableModel::Zeta), Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("闸阀")));
        // The command line's reader computes the saved file as the sheet does.
        QFile file(path + QStringLiteral(".qvs"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const hydraulics::ProjectReadOutcome read =
            hydraulics::readProject(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        QVERIFY(read.ok());
        QCOMPARE(hydraulics::computeSystem(read.project->sections, read.project->settings,
                                           model->catalog())
                     .headKPa,
                 model->result().headKPa);
        QCOMPARE(host_->scripted.calls().size(), 2);
    }

    // Bad files name themselves and their fault, and leave the open project as it was.
    void refusesBadFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("truncated") << QByteArray("{\"format\": \"quorvel-system\", \"vers");
        QTest::newRow("newer version")
            << QByteArray("{\"format\": \"quorvel-system\", \"version\": 99, \"sections\": []}");
        QTest::newRow("not a project") << QByteArray("{\"hello\": 1}");
        QTest::newRow("deeply nested") << QByteArray(100000, '[');
        QTest::newRow("wrong types")
            << QByteArray("{\"format\": \"quorvel-system\", \"version\": 1, \"sections\": 5}");
        QTest::newRow("a folder") << QByteArray();
    }
    void refusesBadFiles() {
        QFETCH(QByteArray, content);
        SystemSheetForm* sheet = sheetWith(SmallSystem);
        SectionTableModel* model = modelOf(sheet);
        const QString good =
            dir_.filePath(QStringLiteral("good-%1.qvs").arg(QTest::currentDataTag()));
        host_->scripted.queueFileName(good);
        QVERIFY(sheet->saveProjectAs());
        const std::string before = snapshot(model);

        QString path = dir_.filePath(QStringLiteral("bad.qvs"));
        if (content.isEmpty()) {
            QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("folder.qvs")));
            path = dir_.filePath(QStringLiteral("folder.qvs"));
        } else {
            QFile bad(path);
            QVERIFY(bad.open(QIODevice::WriteOnly));
            bad.write(content);
        }
        host_->scripted.clearCalls();
        host_->scripted.queueFileName(path);
        host_->scripted.queueAnswer(PromptAnswer::Ok);
        sheet->openProject();
        QCOMPARE(host_->scripted.calls().size(), 2);
        const QString message = host_->scripted.calls().last().text;
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
        // A reason follows the name.
        QVERIFY2(message.section(QLatin1Char('\n'), 1).trimmed().size() > 2, qPrintable(message));
        QCOMPARE(snapshot(model), before);
        QCOMPARE(sheet->filePath(), good);
        QVERIFY(!sheet->isModified());
    }

    // The workbook as a spreadsheet program reads it: one row per section, the engine's figures
    // as number cells under headers with units.
    void exportsWorkbook_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("written");
        QTest::newRow("no ending gets .xlsx") << "系统"
                                              << "系统.xlsx";
        QTest::newRow(".xls by its ending") << "系统.xls"
                                            << "系统.xls";
    }
    void exportsWorkbook() {
        QFETCH(QString, name);
        QFETCH(QString, written);
        SystemSheetForm* sheet = sheetWith(SmallSystem);
        SectionTableModel* model = modelOf(sheet);
        host_->scripted.queueFileName(dir_.filePath(name));
        action(sheet, "sheetExportWorkbook")->trigger();
        const QString path = dir_.filePath(written);
        QVERIFY(QFile::exists(path));
        const char* reader = R"(
import json, sys
path = sys.argv[1]
if path.endswith('.xlsx'):
    import openpyxl
    rows = [list(r) for r in openpyxl.load_workbook(path).active.iter_rows(values_only=True)]
else:
    import xlrd
    s = xlrd.open_workbook(path).sheet_by_index(0)
    rows = [[c.value if c.ctype != xlrd.XL_CELL_EMPTY else None for c in s.row(i)]
            for i in range(s.nrows)]
print(json.dumps(rows[:6]))
)";
        QProcess python;
        python.start(QStringLiteral(QUORVEL_PYTHON),
                     {QStringLiteral("-c"), QString::fromUtf8(reader), path});
        QVERIFY(python.waitForFinished(60000));
        QCOMPARE(python.exitCode(), 0);
        const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
        const QJsonArray header = rows[0].toArray();
        int pend = -1;
        for (int c = 0; c < header.size(); ++c)
            if (header[c].toString() == QStringLiteral("Pend (Pa)")) pend = c;
        QVERIFY2(pend >= 0, QJsonDocument(header).toJson().constData());
        for (int r = 0; r < SmallSystem.size(); ++r) {
            const QJsonArray row = rows[r + 1].toArray();
            QCOMPARE(row[0].toString(), SmallSystem[r][0]);
            QVERIFY(row[pend].isDouble());
            // Seven significant digits, as the command line writes them.
            QVERIFY(qAbs(row[pend].toDouble() - model->resultOf(r)->Pend) <=
                    1e-6 * model->resultOf(r)->Pend);
        }
    }

    // The report as a PDF through the save dialog, and printed to a PDF file through the print
    // dialog: the same document, with the head worked out.
    void exportsAndPrintsTheReport() {
        SystemSheetForm* sheet = sheetWith(SmallSystem);
        host_->scripted.queueFileName(dir_.filePath(QStringLiteral("计算书")));
        action(sheet, "sheetExportReport")->trigger();
        const QString pdf = dir_.filePath(QStringLiteral("计算书.pdf"));
        const QString printed = dir_.filePath(QStringLiteral("printed.pdf"));
        host_->scripted.queuePrint(true, [&](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(printed);
        });
        action(sheet, "sheetPrint")->trigger();
        for (const QString& path : {pdf, printed}) {
            QProcess text;
            text.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
            QVERIFY(text.waitForFinished(60000));
            const QString content = QString::fromUtf8(text.readAllStandardOutput());
            QVERIFY2(content.contains(QStringLiteral("T3")), qPrintable(path));
            QVERIFY2(content.contains(QString::fromStdString(numbertext::fixedText(
                         numbertext::generalText(modelOf(sheet)->result().headKPa), 1))),
                     qPrintable(content.left(2000)));
        }
        QCOMPARE(host_->scripted.calls().size(), 2);
    }

    void saveFailureKeepsTheProjectChanged() {
        SystemSheetForm* sheet = sheetWith(SmallSystem);
        const QString path = dir_.filePath(QStringLiteral("missing-folder/x.qvs"));
        host_->scripted.queueFileName(path);
        host_->scripted.queueAnswer(PromptAnswer::Ok);
        QVERIFY(!sheet->saveProjectAs());
        QVERIFY(host_->scripted.calls().last().text.contains(QDir::toNativeSeparators(path)));
        QVERIFY(sheet->isModified());
        QVERIFY(sheet->filePath().isEmpty());
    }

    // The question before a changed project is dropped, by the close box, New and Open.
    void asksBeforeDroppingChanges_data() {
        QTest::addColumn<int>("path");  // 0 close box, 1 New, 2 Open
        QTest::addColumn<int>("answer");
        for (int path : {0, 1, 2}) {
            const char* name = path == 0 ? "close" : path == 1 ? "new" : "open";
            QTest::addRow("%s, cancel", name) << path << int(PromptAnswer::Cancel);
            QTest::addRow("%s, no", name) << path << int(PromptAnswer::No);
            QTest::addRow("%s, yes saves first", name) << path << int(PromptAnswer::Yes);
        }
    }
    void asksBeforeDroppingChanges() {
        QFETCH(int, path);
        QFETCH(int, answer);
        QPointer<SystemSheetForm> sheet = sheetWith(SmallSystem);
        SectionTableModel* model = modelOf(sheet);
        const std::string changed = snapshot(model);
        const QString saveTo = dir_.filePath(QStringLiteral("asked-%1.qvs").arg(path));
        QFile::remove(saveTo);
        host_->scripted.queueAnswer(PromptAnswer(answer));
        if (PromptAnswer(answer) == PromptAnswer::Yes) host_->scripted.queueFileName(saveTo);
        const QString other = dir_.filePath(QStringLiteral("other.qvs"));
        if (path == 2 && PromptAnswer(answer) != PromptAnswer::Cancel) {
            QFile file(other);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::fromStdString(hydraulics::writeProject({})));
            file.close();
            host_->scripted.queueFileName(other);
        }
        switch (path) {
            case 0:
                sheet->close();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                break;
            case 1:
                sheet->newProject();
                break;
            case 2:
                sheet->openProject();
                break;
        }
        // The question comes first; the save and open dialogs follow it.
        const ScriptedPrompter::Call& question = host_->scripted.calls().first();
        QCOMPARE(question.text, QStringLiteral("水力计算表已修改，是否保存？"));
        QCOMPARE(question.title, QStringLiteral("保存"));
        QCOMPARE(question.buttons, PromptButtons::YesNoCancel);
        const bool cancelled = PromptAnswer(answer) == PromptAnswer::Cancel;
        QCOMPARE(bool(sheet), path != 0 || cancelled);
        if (sheet) {
            QCOMPARE(snapshot(model) == changed, cancelled);
            QCOMPARE(sheet->isModified(), cancelled);
        }
        QCOMPARE(QFile::exists(saveTo), PromptAnswer(answer) == PromptAnswer::Yes);
    }

    // A crash loses at most the time between two copies: the copy is written while the project
    // has unsaved changes, offered at the next start, and gone once saved or declined.
    void recoveryCopy() {
        RecoveryCopy copy(referenceDataFolder());
        {
            SystemSheetForm* sheet = sheetWith(SmallSystem);
            auto* timer = sheet->findChild<QTimer*>(QStringLiteral("recoveryTimer"));
            QVERIFY(timer->isActive());
            timer->setInterval(10);
            QTRY_VERIFY(copy.exists());
            // The program dies: no closing steps run.
            delete sheet;
        }
        QVERIFY(copy.exists());
        host_->scripted.queueAnswer(PromptAnswer::Yes);
        SystemSheetForm::offerRecovery(*host_);
        auto* sheet =
            qobject_cast<SystemSheetForm*>(host_->child(QStringLiteral("SystemSheetForm")));
        QVERIFY(sheet);
        QCOMPARE(host_->scripted.calls().first().title, QStringLiteral("恢复"));
        QCOMPARE(typed(modelOf(sheet)), SmallSystem);
        QVERIFY(sheet->isModified());

        // Saved: nothing left to recover.
        host_->scripted.queueFileName(dir_.filePath(QStringLiteral("recovered.qvs")));
        QVERIFY(sheet->saveProject());
        QVERIFY(!copy.exists());

        // Declined: the copy goes, the sheet stays as it was.
        QVERIFY(copy.write(QByteArray::fromStdString(hydraulics::writeProject({})), {}).ok());
        host_->scripted.queueAnswer(PromptAnswer::No);
        SystemSheetForm::offerRecovery(*host_);
        QVERIFY(!copy.exists());
        QCOMPARE(typed(modelOf(sheet)), SmallSystem);

        // Undone back to the saved state: the next round takes the copy away.
        auto* timer = sheet->findChild<QTimer*>(QStringLiteral("recoveryTimer"));
        timer->setInterval(10);
        modelOf(sheet)->setData(modelOf(sheet)->index(0, SectionTableModel::Length), "99",
                                Qt::EditRole);
        QTRY_VERIFY(copy.exists());
        sheet->findChild<QUndoStack*>()->undo();
        QTRY_VERIFY(!copy.exists());

        // No copy: no question.
        host_->scripted.clearCalls();
        SystemSheetForm::offerRecovery(*host_);
        QVERIFY(host_->scripted.calls().isEmpty());
    }

    // Two programs on one data folder: the copy of the one still running is neither offered
    // by the other, nor overwritten, nor removed; once that program has gone, it is.
    void recoveryCopyOfAnotherRunningProgram() {
        const QString folder = referenceDataFolder();
        QVERIFY(QDir().mkpath(folder));
        const QByteArray theirs = QByteArray::fromStdString(hydraulics::writeProject({}));
        {
            QFile file(RecoveryCopy(folder).projectPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(theirs);
        }
        // The other program holds the lock as a running program does: its pid, its name and
        // the host in the file, and the file locked.
        QProcess other;
        other.start(QStringLiteral("python3"),
                    {QStringLiteral("-c"), QStringLiteral(R"(
import fcntl, os, socket, sys, time
f = open(sys.argv[1], 'w')
fcntl.flock(f, fcntl.LOCK_EX | fcntl.LOCK_NB)
fcntl.lockf(f, fcntl.LOCK_EX | fcntl.LOCK_NB)
name = os.path.basename(os.readlink('/proc/self/exe'))
f.write('%d\n%s\n%s\n' % (os.getpid(), name, socket.gethostname()))
f.flush()
print('ready', flush=True)
time.sleep(60)
)"),
                     QDir(folder).filePath(QStringLiteral("水力计算表-恢复.lock"))});
        QVERIFY(other.waitForReadyRead(10000));

        RecoveryCopy mine(folder);
        QVERIFY(!mine.claim());
        QVERIFY(!mine.exists());
        QVERIFY(!mine.write("{}", {}).ok());
        mine.remove();
        SystemSheetForm::offerRecovery(*host_);
        QVERIFY(host_->scripted.calls().isEmpty());
        QFile copy(mine.projectPath());
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), theirs);
        copy.close();

        other.kill();
        other.waitForFinished();
        QVERIFY(mine.claim());
        QVERIFY(mine.exists());
    }

    void fittingPickerSumsTheChosenCounts() {
        SystemSheetForm* sheet = sheetWith(SmallSystem);
        SectionTableModel* model = modelOf(sheet);
        doubleClick(gridOf(sheet), model->index(4, SectionTableModel::Zeta));
        auto* picker = sheet->findChild<QDialog*>(QStringLiteral("fittingPicker"));
        QVERIFY(picker);
        auto* list = picker->findChild<QTableWidget*>(QStringLiteral("fittingList"));
        std::vector<hydraulics::FittingCount> expected;
        for (int r = 0; r < list->rowCount() && expected.size() < 2; ++r) {
            if (list->item(r, 1)->text().isEmpty()) continue;
            const int count = int(expected.size()) + 2;
            static_cast<QSpinBox*>(list->cellWidget(r, 2))->setValue(count);
            expected.push_back(hydraulics::FittingCount{list->item(r, 0)->text().toStdString(),
                                                        count,
                                                        list->item(r, 1)->text().toStdString()});
        }
        picker->accept();
        const SectionInput& section = model->sections()[4];
        QCOMPARE(section.fittings.size(), expected.size());
        QCOMPARE(section.zeta, hydraulics::fittingsZetaText(expected).value());
        QVERIFY(model->data(model->index(4, SectionTableModel::Zeta), Qt::ToolTipRole)
                    .toString()
                    .contains(QString::fromStdString(expected[0].name)));
        // The sum stays editable by hand, the list stays with the section.
        model->setData(model->index(4, SectionTableModel::Zeta), "7", Qt::EditRole);
        QCOMPARE(model->sections()[4].fittings.size(), expected.size());
    }

    void equipmentPickerTakesTheUpperFigure() {
        SystemSheetForm* sheet = sheetWith(SmallSystem);
        SectionTableModel* model = modelOf(sheet);
        doubleClick(gridOf(sheet), model->index(2, SectionTableModel::Equipment));
        auto* picker = sheet->findChild<QDialog*>(QStringLiteral("equipmentPicker"));
        QVERIFY(picker);
        auto* list = picker->findChild<QTableWidget*>(QStringLiteral("equipmentList"));
        int row = -1;
        for (int r = 0; r < list->rowCount(); ++r)
            if (list->item(r, 1)->text().contains(QLatin1Char('~'))) row = r;
        QVERIFY(row >= 0);
        const QString range = list->item(row, 1)->text();
        list->setCurrentCell(row, 0);
        picker->accept();
        const SectionInput& section = model->sections()[2];
        QCOMPARE(QString::fromStdString(section.equip),
                 range.section(QLatin1Char('~'), -1).trimmed());
        QCOMPARE(QString::fromStdString(section.equipmentName), list->item(row, 0)->text());
        // A figure typed by hand is no longer the listed entry's.
        model->setData(model->index(2, SectionTableModel::Equipment), "12", Qt::EditRole);
        QVERIFY(model->sections()[2].equipmentName.empty());
    }

    // The marks: errors red with the engine's reason, notes amber, the critical loop bold.
    void marksRows() {
        SystemSheetForm* sheet = sheetWith(SmallSystem);
        SectionTableModel* model = modelOf(sheet);
        model->pasteBlock(5, 0, {{"X1", "nowhere", "5", "10"}, {"V1", "S1", "5", "", "40", "15"}});
        const hydraulics::SectionResult* error = model->resultOf(5);
        QVERIFY(!error->ok());
        const QString reason = QString::fromStdString(hydraulics::errorText(error->errors.front()));
        QCOMPARE(
            model->data(model->index(5, SectionTableModel::Remarks), Qt::DisplayRole).toString(),
            reason);
        QVERIFY(model->data(model->index(5, 0), Qt::ToolTipRole).toString().contains(reason));
        const QColor red =
            model->data(model->index(5, 0), Qt::BackgroundRole).value<QBrush>().color();
        QVERIFY(red.red() > red.green());
        const hydraulics::SectionResult* noted = model->resultOf(6);
        QVERIFY(noted->ok() && !noted->notes.empty());
        const QColor amber =
            model->data(model->index(6, 0), Qt::BackgroundRole).value<QBrush>().color();
        QVERIFY(amber != red && amber.red() > amber.blue());
        for (int r = 0; r < 5; ++r)
            QCOMPARE(model->data(model->index(r, 0), Qt::FontRole).value<QFont>().bold(),
                     model->resultOf(r)->critical);
        // Blank rows in between are spacers, not errors.
        model->insertEmptyRows(1, 1);
        QVERIFY(!model->resultOf(1));
        QVERIFY(model->data(model->index(1, SectionTableModel::Remarks), Qt::DisplayRole)
                    .toString()
                    .isEmpty());
    }
};

QTEST_MAIN(TestSystemSheet)
#include "test_systemsheet.moc"
