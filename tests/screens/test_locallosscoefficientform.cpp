#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "platform/fonts.h"
#include "screens/coefficientgrid.h"
#include "screens/coefficientteediagrams.h"
#include "screens/locallosscoefficientform.h"
#include "tests/support/fakechildhost.h"
#include "tests/support/formprobe.h"
#include "tests/support/screenshot.h"

namespace {
const QString Caption = QStringLiteral("水管系统各部件局部阻力系数");
const QString Key = QStringLiteral("LocalLossCoefficientForm");

QStringList row(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* t : texts) list << QString::fromUtf8(t);
    return list;
}
}  // namespace

class TestLocalLossCoefficientForm : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { installFontSubstitutions(); }

    void opensWithCaptionAndFixedFrame();
    void fixedSizeBeforeShown();
    void tableTexts_data();
    void tableTexts();
    void elbowsCarryRaisedDegreeMark();
    void noteBesideTableB();
    void figureNamesInTwoColumns();
    void everyFigureIsDrawn();
    void doneButtonLooksAndActsAsDefault_data();
    void doneButtonLooksAndActsAsDefault();
    void closeBoxEmptiesCaptionPanel();
    void closedWindowIsDestroyedWhoeverHostsIt();
    void secondOpeningKeepsOneWindow();
    void diagramsOpenEnlarged_data();
    void diagramsOpenEnlarged();
    void screenshot();
};

void TestLocalLossCoefficientForm::opensWithCaptionAndFixedFrame() {
    FakeChildHost host;
    host.captionPanel = QStringLiteral("水管局部阻力计算界面");
    auto* form = host.showChild<LocalLossCoefficientForm>();
    QCOMPARE(form->objectName(), QStringLiteral("Form_水管局阻系数表"));
    QCOMPARE(form->windowTitle(), Caption);
    QCOMPARE(host.captionPanel, Caption);

    const Qt::WindowFlags wanted = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                   Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint;
    QCOMPARE(form->windowFlags() & wanted, wanted);
    QVERIFY(!(form->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
}

void TestLocalLossCoefficientForm::fixedSizeBeforeShown() {
    // The main window's frame reads the size when it takes the window in, before showing it.
    FakeChildHost host;
    LocalLossCoefficientForm form(host);
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QCOMPARE(form.size(), form.minimumSize());
    QVERIFY(form.width() > 500 && form.height() > 400);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.size(), form.minimumSize());
}

void TestLocalLossCoefficientForm::tableTexts_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("texts");

    const QStringList tableA[] = {
        row({" 配件名称", "局部阻力系数值"}),
        row({"渐缩变径管", "（对应小断面流速v）", "0.1"}),
        row({"渐扩变径管", "（对应小断面流速v）", "0.3"}),
        row({"无网滤水阀", "（对应阀进口流速v）", "3.0"}),
        row({"合流三通---旁支", "（图1）", "2----3", "1.5"}),
        row({"分流三通---直通", "（图2）", "1----3", "0.5"}),
        row({"分流三通---旁支", "（图3）", "1----2", "1.5"}),
        row({"分流三通---直流", "（图4）", "1----3", "0.1"}),
        row({"合流三通", "（图5）", "1、3----2", "3.0"}),
        row({"分流三通", "（图6）", "2----1、3", "1.5"}),
        row({"合流三通", "（图7）", "2----3", "0.5"}),
    };
    const QStringList tableB[] = {
        row({" 配件名称", "局部阻力系数值"}),
        row({"公称直径DN（mm）", "12", "20", "25", "32", "40", ">=50"}),
        row({"45", "o", "弯  头", "1.0", "1.0", "0.8", "0.8", "0.5", "0.5"}),
        row({"90", "o", "弯  头", "2.0", "2.0", "1.5", "1.5", "1.0", "1.0"}),
        row({"90", "o", "煨弯及乙字管", "1.5", "1.5", "1.0", "1.0", "0.5", "0.5"}),
        row({"截止阀", "16.0", "10.0", "9.0", "9.0", "8.0", "7.0"}),
        row({"闸阀", "1.5", "0.5", "0.5", "0.5", "0.5", "0.5"}),
        row({"斜杆式截止阀", "3.0", "3.0", "3.0", "2.5", "2.5", "2.0"}),
        row({"旋  塞", "4.0", "2.0", "2.0", "2.0", "---", "---"}),
        row({"升降式止回阀", "16.0", "10", "9", "9.0", "8.0", "7.0"}),
        row({"旋启式止回阀", "5.1", "4.5", "4.1", "4.1", "3.9", "3.4"}),
    };
    const QStringList tableC[] = {
        row({"公称直径DN（mm）", "40", "50", "70", "100", "150", "200", "300", "500", "750"}),
        row({"有滤网底阀", "12", "10", "8.5", "7.0", "6.0", "5.2", "3.7", "2.5", "1.6"}),
    };
    auto add = [](const char* table, const QStringList* rows, int count) {
        for (int r = 0; r < count; ++r)
            QTest::addRow("%s row %d", table, r) << QString::fromLatin1(table) << r << rows[r];
        // One row past the end proves there is no stray row.
        QTest::addRow("%s has %d rows", table, count)
            << QString::fromLatin1(table) << count << QStringList();
    };
    add("TableA", tableA, int(std::size(tableA)));
    add("TableB", tableB, int(std::size(tableB)));
    add("TableC", tableC, int(std::size(tableC)));
}

void TestLocalLossCoefficientForm::tableTexts() {
    QFETCH(QString, table);
    QFETCH(int, row);
    QFETCH(QStringList, texts);
    FakeChildHost host;
    auto* form = host.showChild<LocalLossCoefficientForm>();
    auto* grid = form->findChild<CoefficientGrid*>(table);
    QVERIFY(grid);
    if (texts.isEmpty())
        QCOMPARE(grid->rowCount(), row);
    else
        QCOMPARE(grid->rowTexts(row), texts);
}

void TestLocalLossCoefficientForm::elbowsCarryRaisedDegreeMark() {
    FakeChildHost host;
    auto* form = host.showChild<LocalLossCoefficientForm>();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    auto* table = form->findChild<CoefficientGrid*>(QStringLiteral("TableB"));
    int marks = 0;
    for (QLabel* mark : table->findChildren<QLabel*>()) {
        if (mark->text() != QStringLiteral("o")) continue;
        ++marks;
        QLabel* angle = nullptr;
        for (QLabel* sibling : mark->parentWidget()->findChildren<QLabel*>())
            if (sibling->text() == QStringLiteral("45") || sibling->text() == QStringLiteral("90"))
                angle = sibling;
        QVERIFY(angle);
        QVERIFY2(mark->font().pointSizeF() < angle->font().pointSizeF(), "degree mark not small");
        QVERIFY2(mark->geometry().top() < angle->geometry().top() + 2 &&
                     mark->geometry().height() < angle->geometry().height(),
                 "degree mark not raised");
        QVERIFY(mark->geometry().left() >= angle->geometry().right());
    }
    QCOMPARE(marks, 3);
}

void TestLocalLossCoefficientForm::noteBesideTableB() {
    FakeChildHost host;
    auto* form = host.showChild<LocalLossCoefficientForm>();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    auto* heading = form->findChild<QLabel*>(QStringLiteral("NoteHeading"));
    auto* note = form->findChild<QLabel*>(QStringLiteral("NoteText"));
    QVERIFY(heading && note);
    QCOMPARE(heading->text(), QStringLiteral("注："));
    QCOMPARE(heading->font().family(), QStringLiteral("华文行楷"));
    QVERIFY(heading->font().pointSizeF() > 2 * note->font().pointSizeF() - 1);
    QCOMPARE(note->text(),
             QStringLiteral("在计算时，表中系数值对应进口处动压，即输入的水速为进口处速度"));

    auto* tableB = form->findChild<QWidget*>(QStringLiteral("TableB"));
    const QRect b(tableB->mapTo(form, QPoint()), tableB->size());
    const QRect h(heading->mapTo(form, QPoint()), heading->size());
    QVERIFY2(h.left() > b.right(), "note not right of table B");
    QVERIFY2(h.top() >= b.top() && h.top() < b.bottom(), "note not level with table B");
}

void TestLocalLossCoefficientForm::figureNamesInTwoColumns() {
    FakeChildHost host;
    auto* form = host.showChild<LocalLossCoefficientForm>();
    auto* picture = form->findChild<CoefficientTeeDiagrams*>();
    QVERIFY(picture);
    QCOMPARE(picture->size(), QSize(164, 139));
    QRect previous[2];
    for (int figure = 1; figure <= 8; ++figure) {
        const QString name = QStringLiteral("图%1").arg(figure);
        QLabel* label = nullptr;
        for (QLabel* l : picture->findChildren<QLabel*>())
            if (l->text() == name) label = l;
        QVERIFY2(label, qPrintable(name));
        const QRect g = label->geometry();
        QVERIFY(picture->rect().contains(g));
        const bool left = figure % 2 == 1;
        QVERIFY2(left ? g.right() < 164 / 2 : g.left() >= 164 / 2, qPrintable(name));
        QRect& above = previous[left ? 0 : 1];
        if (!above.isNull()) QVERIFY2(g.top() > above.bottom(), qPrintable(name));
        above = g;
    }
}

void TestLocalLossCoefficientForm::everyFigureIsDrawn() {
    const QImage picture = CoefficientTeeDiagrams::drawPicture();
    QCOMPARE(picture.size(), QSize(164, 139));
    QCOMPARE(picture.depth(), 24);
    for (int figure = 1; figure <= 8; ++figure) {
        const QRect area = CoefficientTeeDiagrams::figureArea(figure);
        int red = 0, dark = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                if (c.red() > 150 && c.green() < 80) ++red;
                if (c.red() < 110 && c.green() < 110 && c.blue() < 110) ++dark;
            }
        QVERIFY2(red > 20, qPrintable(QStringLiteral("no arrows in figure %1").arg(figure)));
        QVERIFY2(dark > 60, qPrintable(QStringLiteral("no pipes in figure %1").arg(figure)));
    }
}

void TestLocalLossCoefficientForm::doneButtonLooksAndActsAsDefault_data() {
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("click") << false;
    QTest::newRow("Enter") << true;
}

void TestLocalLossCoefficientForm::doneButtonLooksAndActsAsDefault() {
    QFETCH(bool, byEnter);
    FakeChildHost host;
    auto* form = host.showChild<LocalLossCoefficientForm>();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    auto* done = form->findChild<QPushButton*>(QStringLiteral("Command1"));
    QVERIFY(done);
    QCOMPARE(done->text(), QStringLiteral("查询完毕"));
    QCOMPARE(done->palette().color(QPalette::Button), QColor(255, 192, 128));
    QCOMPARE(formprobe::dominantColour(done), QColor(255, 192, 128));
    QCOMPARE(done->font().family(), QStringLiteral("华文行楷"));
    QVERIFY(done->isDefault());

    QSignalSpy destroyed(form, &QObject::destroyed);
    if (byEnter)
        QTest::keyClick(form, Qt::Key_Return);
    else
        QTest::mouseClick(done, Qt::LeftButton);
    QVERIFY(!form->isVisible());
    QCOMPARE(host.captionPanel, QString());
    QTRY_COMPARE(destroyed.count(), 1);
    QCOMPARE(host.openChildren(), 0);
}

void TestLocalLossCoefficientForm::closeBoxEmptiesCaptionPanel() {
    FakeChildHost host;
    auto* form = host.showChild<LocalLossCoefficientForm>();
    QVERIFY(form->close());
    QCOMPARE(host.captionPanel, QString());
    // Reopened afresh, it writes its caption again.
    QTRY_COMPARE(host.openChildren(), 0);
    host.showChild<LocalLossCoefficientForm>();
    QCOMPARE(host.captionPanel, Caption);
}

void TestLocalLossCoefficientForm::closedWindowIsDestroyedWhoeverHostsIt() {
    // Not through FakeChildHost::showChild, which would mark it for deletion itself.
    FakeChildHost host;
    QPointer<LocalLossCoefficientForm> form = new LocalLossCoefficientForm(host);
    form->show();
    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(form.isNull());
}

void TestLocalLossCoefficientForm::secondOpeningKeepsOneWindow() {
    FakeChildHost host;
    auto* first = host.showChild<LocalLossCoefficientForm>();
    host.captionPanel = QStringLiteral("水管局部阻力计算界面");
    auto* second = host.showChild<LocalLossCoefficientForm>();
    QCOMPARE(second, first);
    QCOMPARE(host.openChildren(), 1);
    // Bringing it forward is not loading it: the panel keeps what was written last.
    QCOMPARE(host.captionPanel, QStringLiteral("水管局部阻力计算界面"));
    int forms = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<LocalLossCoefficientForm*>(w)) ++forms;
    QCOMPARE(forms, 1);
}

void TestLocalLossCoefficientForm::diagramsOpenEnlarged_data() {
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("closed by a click") << false;
    QTest::newRow("closed by Esc") << true;
}

// A click on the small picture opens it three times larger, drawn afresh at that size, in a
// window of its own; a click on it or Esc closes it.
void TestLocalLossCoefficientForm::diagramsOpenEnlarged() {
    QFETCH(bool, byEscape);
    FakeChildHost host;
    auto* form = host.showChild<LocalLossCoefficientForm>();
    auto* diagrams = form->findChild<CoefficientTeeDiagrams*>();
    QTest::mouseClick(diagrams->findChild<QLabel*>(QStringLiteral("figure3")), Qt::LeftButton);
    QWidget* enlarged = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("TeeDiagramsEnlarged") && w->isVisible()) enlarged = w;
    QVERIFY(enlarged);
    QCOMPARE(enlarged->size(), diagrams->size() * 3);
    QVERIFY(QTest::qWaitForWindowExposed(enlarged));
    saveScreenshot(enlarged, QStringLiteral("coefficients-diagrams-enlarged"));

    // Redrawn, not the small picture's pixels blown up: lines a third as thick show shades
    // that a blown-up copy, three by three pixels of each, cannot have.
    const QImage big = enlarged->grab().toImage();
    const QImage blown = CoefficientTeeDiagrams::drawPicture().scaled(big.size());
    QVERIFY(big != blown.convertToFormat(big.format()));
    int unlike3x3 = 0;
    for (int y = 0; y + 2 < big.height(); y += 3)
        for (int x = 0; x + 2 < big.width(); x += 3)
            unlike3x3 += big.pixel(x, y) != big.pixel(x + 1, y + 1);
    QVERIFY(unlike3x3 > 100);

    QPointer<QWidget> window = enlarged;
    if (byEscape)
        QTest::keyClick(enlarged, Qt::Key_Escape);
    else
        QTest::mouseClick(enlarged, Qt::LeftButton);
    QVERIFY(!enlarged->isVisible());
    QTRY_VERIFY(!window);
    QVERIFY(form->isVisible());
}

void TestLocalLossCoefficientForm::screenshot() {
    QUORVEL_SCREENSHOTS_ONLY();
    FakeChildHost host;
    auto* form = host.showChild<LocalLossCoefficientForm>();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    const QString path = saveScreenshot(form, QStringLiteral("coefficients"));
    QVERIFY(!path.isEmpty());

    // The tee diagrams are small: a 4x enlargement, pixel for pixel, to judge them by.
    const QPixmap shot = form->findChild<CoefficientTeeDiagrams*>()->grab();
    QString zoomPath = path;
    zoomPath.replace(QStringLiteral("coefficients.png"),
                     QStringLiteral("coefficients-diagrams-4x.png"));
    QVERIFY(
        shot.scaled(shot.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(zoomPath));
}

QTEST_MAIN(TestLocalLossCoefficientForm)
#include "test_locallosscoefficientform.moc"
