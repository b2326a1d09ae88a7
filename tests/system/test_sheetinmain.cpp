#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QMenu>
#include <QtTest>

#include "hydraulics/projectfile.h"
#include "platform/fonts.h"
#include "system/celltext.h"
#include "system/sectiontablemodel.h"
#include "system/sheetview.h"
#include "system/systemsheetform.h"
#include "tests/support/mainformharness.h"
#include "tests/support/screenshot.h"

namespace {

SystemSheetForm* openSheet(MainFormHarness& h) {
    h.find(QStringLiteral("sgxtjs"))->trigger();
    auto* sheet = qobject_cast<SystemSheetForm*>(h.form->activeChild());
    if (!sheet) qFatal("the sheet did not open");
    return sheet;
}

SectionTableModel* modelOf(QWidget* sheet) {
    return sheet->findChild<SectionTableModel*>(QStringLiteral("sectionModel"));
}

// About twenty sections: a main with risers, floors and terminals, one of them undersized,
// one pointing at a section that does not exist.
QList<QStringList> buildingSystem() {
    QList<QStringList> rows{{"M1", "", "30", "", "", "", "", "4", ""},
                            {"M2", "M1", "25", "", "", "", "", "2", ""}};
    for (int riser = 1; riser <= 3; ++riser) {
        const QString r = QStringLiteral("R%1").arg(riser);
        rows.append({r, riser == 1 ? "M1" : "M2", "12", "", "", "", "", "3", ""});
        for (int floor = 1; floor <= 5; ++floor)
            rows.append({QStringLiteral("%1-%2").arg(r).arg(floor), r, QString::number(6 + floor),
                         QString::number(20 + 7 * floor), "", "", "", "6", "35"});
    }
    rows[5][5] = QStringLiteral("15");  // forced too small
    rows.append({"X1", "M9", "5", "10", "", "", "", "", ""});
    return rows;
}

}  // namespace

class TestSheetInMain : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        installFontSubstitutions();
        QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 9));
    }

    // The menu item opens the one sheet, a sizable child with minimize and maximize boxes.
    void menuOpensOneSheet() {
        MainFormHarness h;
        SystemSheetForm* sheet = openSheet(h);
        QCOMPARE(sheet->objectName(), QStringLiteral("Form_水系统水力计算"));
        QVERIFY(h.open().first()->windowFlags() & Qt::WindowMaximizeButtonHint);
        QCOMPARE(openSheet(h), sheet);
        QCOMPARE(h.open().size(), 1);
    }

    // The main window's document commands act on the sheet while it is the active child.
    void documentCommandsReachTheSheet() {
        MainFormHarness h;
        SystemSheetForm* sheet = openSheet(h);
        SectionTableModel* model = modelOf(sheet);
        QApplication::clipboard()->setText(QStringLiteral("A\t\t10\t50\r\nB\tA\t5\t20\r\n"));
        auto* grid = sheet->findChild<SheetView*>(QStringLiteral("sheetGrid"));
        grid->setCurrentIndex(model->index(0, 0));
        h.find(QStringLiteral("mnuEditPaste"))->trigger();
        QCOMPARE(int(model->sections().size()), 2);
        grid->selectionModel()->select(QItemSelection(model->index(1, 0), model->index(1, 3)),
                                       QItemSelectionModel::ClearAndSelect);
        h.find(QStringLiteral("mnuEditCopy"))->trigger();
        QCOMPARE(celltext::fromTabSeparated(QApplication::clipboard()->text()),
                 (QList<QStringList>{{"B", "A", "5", "20"}}));
        h.find(QStringLiteral("mnuEditCut"))->trigger();
        QVERIFY(model->sections()[1].id.empty());

        // Save As names a project; Open asks first about the changes.
        const QString path = h.dir.filePath(QStringLiteral("from-main.qvs"));
        h.prompter.queueFileName(path);
        h.find(QStringLiteral("mnuFileSaveAs"))->trigger();
        QCOMPARE(sheet->filePath(), path);
        model->setData(model->index(0, 2), "11", Qt::EditRole);
        h.prompter.clearCalls();
        h.prompter.queueAnswer(PromptAnswer::Cancel);
        h.find(QStringLiteral("mnuFileOpen"))->trigger();
        QCOMPARE(h.prompter.calls().size(), 1);
        QCOMPARE(h.prompter.calls().first().text, QStringLiteral("水力计算表已修改，是否保存？"));
        // The format buttons do nothing there.
        h.find(QStringLiteral("Bold"))->trigger();
        QCOMPARE(model->sections()[0].L, std::string("11"));
        h.prompter.queueAnswer(PromptAnswer::No);
    }

    // Closing the program asks about a changed project; Cancel keeps it running.
    void mainWindowCloseAsks() {
        MainFormHarness h;
        h.form->show();
        SystemSheetForm* sheet = openSheet(h);
        modelOf(sheet)->pasteBlock(0, 0, {{"A", "", "10", "50"}});
        h.prompter.queueAnswer(PromptAnswer::Cancel);
        QVERIFY(!h.form->close());
        QCOMPARE(h.prompter.calls().size(), 1);
        QCOMPARE(h.prompter.calls().first().title, QStringLiteral("保存"));
        QVERIFY(h.form->isVisible());
        h.prompter.queueAnswer(PromptAnswer::No);
        QVERIFY(h.form->close());
    }

    // The sheet with a building's worth of sections, for the eye: nothing cut off, the marks
    // readable.
    void screenshot() {
        QUORVEL_SCREENSHOTS_ONLY();
        MainFormHarness h;
        h.form->resize(1500, 820);
        h.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.form.get()));
        SystemSheetForm* sheet = openSheet(h);
        SectionTableModel* model = modelOf(sheet);
        model->pasteBlock(0, 0, buildingSystem());
        model->setSectionFittings(2, {{"90°弯头", 4, "1.0"}, {"闸阀", 2, "0.5"}}, "5");
        sheet->findChild<SheetView*>(QStringLiteral("sheetGrid"))->resizeColumnsToContents();
        h.open().first()->showMaximized();
        QTest::qWait(50);
        QVERIFY(!saveScreenshot(h.form.get(), QStringLiteral("systemsheet")).isEmpty());
        // The Σζ picker of a section with fittings chosen.
        emit sheet->findChild<SheetView*>(QStringLiteral("sheetGrid"))->fittingsRequested(2);
        auto* picker = sheet->findChild<QDialog*>(QStringLiteral("fittingPicker"));
        QVERIFY(picker);
        QVERIFY(!saveScreenshot(picker, QStringLiteral("systemsheet-fittings")).isEmpty());
        picker->reject();
        h.prompter.queueAnswer(PromptAnswer::No);
    }
};

QTEST_MAIN(TestSheetInMain)
#include "test_sheetinmain.moc"
