#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>
#include <QToolBar>
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
#include "test_screenshots.moc"
