#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "platform/fonts.h"
#include "platform/settingsstore.h"
#include "shell/mainform.h"
#include "tests/support/screenshot.h"
#include "tests/support/scriptedprompter.h"

namespace {
// A grab of the window with an open menu painted where it pops up: the menu is a window of
// its own and does not appear in the main window's grab.
QPixmap withMenu(QWidget* window, QMenu* menu) {
    const QPoint corner = menu->geometry().bottomRight() - window->pos() + QPoint(1, 1);
    QPixmap canvas(window->size().expandedTo(QSize(corner.x(), corner.y())));
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    painter.drawPixmap(0, 0, window->grab());
    painter.drawPixmap(menu->pos() - window->pos(), menu->grab());
    return canvas;
}
}  // namespace

class TestShellScreenshots : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        installFontSubstitutions();
        QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 9));
        store_ = std::make_unique<SettingsStore>(dir_.filePath(QStringLiteral("settings.ini")));
    }

    void mainWindowAtFirstStart() {
        MainForm form(prompter_, *store_);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.setCaptionPanelText(QStringLiteral("水管沿程阻力计算界面"));
        QVERIFY(!saveScreenshot(&form, QStringLiteral("mainform")).isEmpty());

        // The toolbar pictures four times enlarged, to judge them.
        QWidget* toolBar = form.findChild<QToolBar*>(QStringLiteral("tbToolBar"));
        const QPixmap bar = toolBar->grab();
        QLabel enlarged;
        enlarged.setPixmap(bar.scaled(bar.size() * 4, Qt::KeepAspectRatio, Qt::FastTransformation));
        enlarged.resize(enlarged.pixmap().size());
        QVERIFY(!saveScreenshot(&enlarged, QStringLiteral("mainform-toolbar-x4")).isEmpty());
    }

    void mainWindowWithChildren() {
        MainForm form(prompter_, *store_);
        form.move(0, 0);
        form.resize(960, 640);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.findChild<QAction*>(QStringLiteral("sgyzss"))->trigger();
        form.findChild<QAction*>(QStringLiteral("mnuHelpContents"))->trigger();
        QVERIFY(!saveScreenshot(&form, QStringLiteral("mainform-children")).isEmpty());
    }

    // A note in Chinese and Latin with every format the notebook keeps, and the toolbar with
    // Bold pressed for the bold words selected.
    void notebook() {
        MainForm form(prompter_, *store_);
        form.move(0, 0);
        form.resize(960, 640);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.findChild<QAction*>(QStringLiteral("mnuFileNew"))->trigger();
        auto* editor = form.findChild<QTextEdit*>(QStringLiteral("RichTextBox1"));
        editor->setHtml(QStringLiteral(
            "<p align=center><span style='font-size:16pt'><b>空调水系统水力计算记录</b></span></p>"
            "<p>工程：某办公楼空调水系统，冷水供回水温度 7/12 ℃。</p>"
            "<p>管段 1：直径 <b>D=50 mm</b>，长度 <i>L=1000 mm</i>，流量 G=1 m³/h，"
            "粗糙度 K=0.2 mm。</p>"
            "<p><u>沿程阻力 Hf = 7.067 Pa</u></p>"
            "<p align=right><span style='color:#c00000'>Local loss: ζ = 0.5, v = 1.2 m/s</span>"
            "</p><p>A long line of Latin text wraps at the editor's right margin, 400 twips "
            "inside its edge, so that it never runs under the scroll bar.</p>"));
        QTextCursor cursor = editor->document()->find(QStringLiteral("D=50 mm"));
        editor->setTextCursor(cursor);
        // Twice: plain, then bold again, the button pressed.
        auto* bold = form.findChild<QToolButton*>(QStringLiteral("Bold"));
        QTest::mouseClick(bold, Qt::LeftButton);
        QTest::mouseClick(bold, Qt::LeftButton);
        QVERIFY(bold->isChecked());
        QVERIFY(!saveScreenshot(&form, QStringLiteral("notebook")).isEmpty());

        const QPixmap bar = form.findChild<QToolBar*>(QStringLiteral("tbToolBar"))->grab();
        QLabel enlarged;
        enlarged.setPixmap(bar.scaled(bar.size() * 4, Qt::KeepAspectRatio, Qt::FastTransformation));
        enlarged.resize(enlarged.pixmap().size());
        QVERIFY(!saveScreenshot(&enlarged, QStringLiteral("notebook-toolbar-bold-x4")).isEmpty());
        editor->document()->setModified(false);
    }

    void openMenus_data() {
        QTest::addColumn<QString>("menu");
        QTest::newRow("file") << "mnuFile";
        QTest::newRow("pipe losses") << "sgzlss";
        QTest::newRow("view") << "mnuView";
    }

    void openMenus() {
        QFETCH(QString, menu);
        MainForm form(prompter_, *store_);
        form.move(0, 0);
        form.resize(640, 420);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto* popup = form.findChild<QMenu*>(menu);
        QMenuBar* bar = form.menuBar();
        const QRect title = bar->actionGeometry(popup->menuAction());
        popup->popup(bar->mapToGlobal(title.bottomLeft()));
        QVERIFY(QTest::qWaitForWindowExposed(popup));
        QLabel shot;
        shot.setPixmap(withMenu(&form, popup));
        shot.resize(shot.pixmap().size());
        QVERIFY(!saveScreenshot(&shot, QStringLiteral("mainform-menu-") + menu).isEmpty());
        popup->close();
    }

  private:
    QTemporaryDir dir_;
    ScriptedPrompter prompter_;
    std::unique_ptr<SettingsStore> store_;
};

QTEST_MAIN(TestShellScreenshots)
#include "shell_screenshots.moc"
