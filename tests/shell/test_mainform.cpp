#include <QAction>
#include <QActionGroup>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>
#include <functional>
#include <memory>

#include "platform/fonts.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"
#include "shell/mainform.h"
#include "shell/statuspanels.h"
#include "tests/support/mainformharness.h"
#include "tests/support/scriptedprompter.h"

namespace {

const QString Section = QStringLiteral("Settings");

// A child window whose closing the test controls and watches.
class Probe : public QWidget {
  public:
    bool refuse = false;
    int closes = 0;
    std::function<void()> onClose;

  protected:
    void closeEvent(QCloseEvent* event) override {
        ++closes;
        if (onClose) onClose();
        if (refuse)
            event->ignore();
        else
            event->accept();
    }
};

struct Harness : MainFormHarness {
    Probe* showProbe(const QString& key, int* created = nullptr) {
        return static_cast<Probe*>(form->showChild(key, [created] {
            if (created) ++*created;
            return new Probe;
        }));
    }
};

QMdiSubWindow* frameOf(QWidget* w) { return qobject_cast<QMdiSubWindow*>(w->parentWidget()); }

// Each button carries its key and a drawn picture; a button whose command is also a menu item
// is that item's action: the same shortcut, the same handler, whichever way the user starts it.
void checkToolbar(MainFormHarness& h, QToolBar* toolBar, const QStringList& buttons) {
    const QList<QAction*> actions = toolBar->actions();
    QCOMPARE(actions.size(), buttons.size());
    for (int i = 0; i < buttons.size(); ++i) {
        QAction* b = actions[i];
        if (buttons[i].isEmpty()) {
            QVERIFY2(b->isSeparator(), qPrintable(QString::number(i + 1)));
            continue;
        }
        const QStringList f = buttons[i].split(QLatin1Char('>'));
        const QString& key = f[0];
        QCOMPARE(toolBar->widgetForAction(b)->objectName(), key);
        QCOMPARE(b->data().toString(), key);
        QCOMPARE(b->toolTip(), key);
        if (f.size() > 1) QCOMPARE(b, h.find(f[1]));
        const QImage picture = b->icon().pixmap(16, 16).toImage();
        QCOMPARE(picture.size(), QSize(16, 16));
        // The picture is drawn: some pixels opaque, the background transparent.
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) opaque += qAlpha(picture.pixel(x, y)) == 255;
        QVERIFY2(opaque > 8 && opaque < 256, qPrintable(key));
    }
}
}  // namespace

class TestMainForm : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { installFontSubstitutions(); }

    void windowNames() {
        Harness h;
        QCOMPARE(h.form->objectName(), QStringLiteral("fMainform_计算管理界面"));
        QCOMPARE(h.form->windowTitle(), QStringLiteral("Quorvel管理界面"));
        QVERIFY(h.open().isEmpty());
        QVERIFY(h.find<QLabel>(QStringLiteral("Panel1"))->text().isEmpty());
    }

    // The menus in menu-bar order and the toolbar: the names scripts find them by, captions,
    // shortcuts, checks. Menu items are "name|caption|shortcut|check" ("-" a separator);
    // toolbar buttons are "key" or "key>item" when the button's command is also that menu
    // item ("" a separator).
    void menusAndToolbar_data() {
        QTest::addColumn<int>("position");  // in the menu bar; -1 the toolbar
        QTest::addColumn<QString>("bar");   // object name|caption
        QTest::addColumn<QStringList>("items");
        QTest::newRow("file")
            << 0 << "mnuFile|文件"
            << QStringList{"mnuFileNew|&新建|Ctrl+N|", "mnuFileOpen|&打开...|Ctrl+O|",
                           "mnuFileBar0|-||",          "mnuFileSaveAs|保存为...||",
                           "mnuFileBar1|-||",          "mnuFilePageSetup|Page Set&up...||",
                           "mnuFilePrint|&Print...||", "mnuFileBar4|-||",
                           "mnuFileExit|E&xit||"};
        QTest::newRow("edit") << 1 << "mnuEdit|编辑"
                              << QStringList{"mnuEditCut|Cu&t|Ctrl+X|", "mnuEditCopy|&Copy|Ctrl+C|",
                                             "mnuEditPaste|&Paste|Ctrl+V|"};
        QTest::newRow("record") << 2 << "txtbook|记录" << QStringList{"savetxt|保存记录的内容||"};
        QTest::newRow("pipe losses")
            << 3 << "sgzlss|水管阻力损失计算部分"
            << QStringList{"sgyzss|水管沿程阻力损失计算||", "sgjzss|水管局部阻力损失计算||",
                           "sgxtjs|水系统水力计算||"};
        QTest::newRow("lookup database")
            << 4 << "gcsjk|供查数据库"
            << QStringList{"ccdb|不同材料管道粗糙度值表||", "tjssb|推荐水速表||",
                           "sbzlssb|设备阻力损失表||"};
        QTest::newRow("view checked at start")
            << 5 << "mnuView|视图"
            << QStringList{"mnuViewToolbar|&Toolbar||checked",
                           "mnuViewStatusBar|Status &Bar||checked"};
        QTest::newRow("help") << 6 << "mnuHelp|帮助"
                              << QStringList{"hlp|帮助内容||", "mnuHelpContents|关于Quorvel||"};
        QTest::newRow("toolbar") << -1 << "tbToolBar|"
                                 << QStringList{"New>mnuFileNew",
                                                "Open>mnuFileOpen",
                                                "Save>mnuFileSaveAs",
                                                "",
                                                "Print>mnuFilePrint",
                                                "",
                                                "Cut>mnuEditCut",
                                                "Copy>mnuEditCopy",
                                                "Paste>mnuEditPaste",
                                                "",
                                                "Bold",
                                                "Italic",
                                                "Underline",
                                                "",
                                                "Align Left",
                                                "Center",
                                                "Align Right"};
    }

    void menusAndToolbar() {
        QFETCH(int, position);
        QFETCH(QString, bar);
        QFETCH(QStringList, items);
        Harness h;
        const QStringList b = bar.split(QLatin1Char('|'));
        if (position < 0) {
            checkToolbar(h, h.find<QToolBar>(b[0]), items);
            return;
        }
        const QList<QAction*> menus = h.form->menuBar()->actions();
        QCOMPARE(menus.size(), 7);
        QCOMPARE(menus[position]->menu(), h.find<QMenu>(b[0]));
        QCOMPARE(menus[position]->text(), b[1]);
        const QList<QAction*> actions = h.find<QMenu>(b[0])->actions();
        QCOMPARE(actions.size(), items.size());
        for (int i = 0; i < items.size(); ++i) {
            const QStringList f = items[i].split(QLatin1Char('|'));
            QAction* a = actions[i];
            QCOMPARE(a->objectName(), f[0]);
            if (f[1] == QLatin1String("-")) {
                QVERIFY2(a->isSeparator(), qPrintable(f[0]));
                continue;
            }
            QCOMPARE(a->text(), f[1]);
            QCOMPARE(a->shortcut().toString(QKeySequence::PortableText), f[2]);
            QCOMPARE(a->isCheckable(), !f[3].isEmpty());
            QCOMPARE(a->isChecked(), !f[3].isEmpty());
        }
    }

    void alignmentButtonsAreOneExclusiveGroup() {
        Harness h;
        QAction* left = h.find(QStringLiteral("Align Left"));
        QVERIFY(left);
        QAction* center = h.find(QStringLiteral("Center"));
        QAction* right = h.find(QStringLiteral("Align Right"));
        QVERIFY(left->actionGroup() && left->actionGroup()->isExclusive());
        QCOMPARE(center->actionGroup(), left->actionGroup());
        QCOMPARE(right->actionGroup(), left->actionGroup());
        QCOMPARE(left->actionGroup()->actions().size(), 3);
        left->trigger();
        center->trigger();
        QVERIFY(!left->isChecked() && center->isChecked() && !right->isChecked());
        right->trigger();
        right->trigger();
        QVERIFY(!left->isChecked() && !center->isChecked() && right->isChecked());
        QVERIFY(!h.find(QStringLiteral("Bold"))->actionGroup());
    }

    // Nothing of these may open a window or a message while no notebook window exists. New
    // and Open open the notebook; their tests are the notebook's.
    void inertCommandsDoNothing() {
        Harness h;
        h.form->show();
        for (QAction* b : h.find<QToolBar>(QStringLiteral("tbToolBar"))->actions())
            if (!b->isSeparator() && b->objectName() != QLatin1String("mnuFileNew") &&
                b->objectName() != QLatin1String("mnuFileOpen"))
                b->trigger();
        for (const char* name : {"savetxt", "mnuEditCut", "mnuEditCopy", "mnuEditPaste"})
            h.find(QString::fromLatin1(name))->trigger();
        QVERIFY(h.open().isEmpty());
        QVERIFY(h.prompter.calls().isEmpty());
        QVERIFY(h.form->isVisible());
    }

    // The lookup menu opens the one lookup window on the page it names, and the equipment list.
    void lookupMenuOpensReferenceWindows() {
        Harness h;
        h.form->show();
        h.find(QStringLiteral("ccdb"))->trigger();
        QCOMPARE(h.form->activeChild()->objectName(), QStringLiteral("Form_供查数据库表"));
        auto* pages = h.form->activeChild()->findChild<QTabWidget*>();
        QVERIFY(pages);
        QCOMPARE(pages->currentIndex(), 1);
        h.find(QStringLiteral("tjssb"))->trigger();
        QCOMPARE(pages->currentIndex(), 4);
        QCOMPARE(h.open().size(), 1);
        h.find(QStringLiteral("sbzlssb"))->trigger();
        QCOMPARE(h.form->activeChild()->objectName(), QStringLiteral("设备阻力"));
        QCOMPARE(h.open().size(), 2);
        QVERIFY(h.prompter.calls().isEmpty());
    }

    // Closing the coefficient reference gives the focus back to the local-loss screen that
    // opened it, even when another screen was used in between.
    void coefficientReferenceReturnsToItsOpener() {
        Harness h;
        h.form->show();
        h.find(QStringLiteral("sgjzss"))->trigger();
        QWidget* local = h.form->activeChild();
        QTest::mouseClick(local->findChild<QPushButton*>(QStringLiteral("Command4")),
                          Qt::LeftButton);
        QWidget* reference = h.form->activeChild();
        QCOMPARE(reference->objectName(), QStringLiteral("Form_水管局阻系数表"));
        h.find(QStringLiteral("sgyzss"))->trigger();
        h.form->activateChild(reference);
        QCOMPARE(h.form->activeChild(), reference);
        QTest::mouseClick(reference->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        QTRY_COMPARE(h.form->activeChild(), local);
        QCOMPARE(h.open().size(), 2);
    }

    // The first child opens at the top left of the visible frame; after the frame grows, a
    // child that fits is wholly in view without scroll bars, even after the user scrolled.
    void childrenOpenAndStayInView() {
        Harness h;
        h.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(h.form.get()));
        h.find(QStringLiteral("sgyzss"))->trigger();
        QMdiSubWindow* sub = h.open().first();
        QCOMPARE(sub->pos(), QPoint(0, 0));
        QMdiArea* area = h.form->mdiArea();
        QTRY_VERIFY(area->horizontalScrollBar()->maximum() > 0);
        area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
        QVERIFY(sub->x() < 0);

        h.find(QStringLiteral("sgjzss"))->trigger();
        QVERIFY(h.open().last()->x() >= 0 && h.open().last()->y() >= 0);

        h.form->resize(1400, 1000);
        QTRY_VERIFY(!area->horizontalScrollBar()->isVisible());
        QTRY_VERIFY(!area->verticalScrollBar()->isVisible());
        for (QMdiSubWindow* s : h.open()) QVERIFY(area->viewport()->rect().contains(s->geometry()));
    }

    void viewItemsToggleTheirBars_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("bar");
        QTest::newRow("toolbar") << "mnuViewToolbar"
                                 << "tbToolBar";
        QTest::newRow("status bar") << "mnuViewStatusBar"
                                    << "sbStatusBar";
    }

    void viewItemsToggleTheirBars() {
        QFETCH(QString, item);
        QFETCH(QString, bar);
        Harness h;
        h.form->show();
        QAction* action = h.find(item);
        QWidget* widget = h.find<QWidget>(bar);
        QVERIFY(widget->isVisible());
        for (bool expected : {false, true, false}) {
            action->trigger();
            QCOMPARE(action->isChecked(), expected);
            QCOMPARE(widget->isVisible(), expected);
        }
    }

    void helpWindowsOpenOnce() {
        Harness h;
        h.form->show();
        h.find(QStringLiteral("mnuHelpContents"))->trigger();
        h.find(QStringLiteral("mnuHelpContents"))->trigger();
        QCOMPARE(h.open().size(), 1);
        QCOMPARE(h.form->activeChild()->objectName(), QStringLiteral("about"));
        h.find(QStringLiteral("hlp"))->trigger();
        QCOMPARE(h.open().size(), 2);
        QCOMPARE(h.form->activeChild()->objectName(), QStringLiteral("help"));
        h.find(QStringLiteral("mnuHelpContents"))->trigger();
        QCOMPARE(h.open().size(), 2);
        QCOMPARE(h.form->activeChild()->objectName(), QStringLiteral("about"));
        QCOMPARE(h.form->findChildren<QWidget*>(QStringLiteral("about")).size(), 1);
    }

    void calculationScreensOpenOnceAndWriteTheCaptionPanel_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("caption");
        QTest::newRow("friction loss") << "sgyzss"
                                       << "Form_水管沿阻"
                                       << "水管沿程阻力计算界面";
        QTest::newRow("local loss") << "sgjzss"
                                    << "Form_水管局阻"
                                    << "水管局部阻力计算界面";
    }

    void calculationScreensOpenOnceAndWriteTheCaptionPanel() {
        QFETCH(QString, item);
        QFETCH(QString, window);
        QFETCH(QString, caption);
        Harness h;
        h.form->show();
        auto* panel = h.find<QLabel>(QStringLiteral("Panel1"));
        h.find(item)->trigger();
        h.find(QStringLiteral("mnuHelpContents"))->trigger();
        h.find(item)->trigger();
        QCOMPARE(h.open().size(), 2);
        QCOMPARE(h.form->activeChild()->objectName(), window);
        QCOMPARE(panel->text(), caption);
        QMdiSubWindow* frame = frameOf(h.form->activeChild());
        QCOMPARE(frame->minimumSize(), frame->maximumSize());
        QVERIFY(frame->close());
        QCOMPARE(panel->text(), QString());
        QTRY_COMPARE(h.open().size(), 1);
    }

    void activeChildIsNoneWithoutChildren() {
        Harness h;
        h.form->show();
        QCOMPARE(h.form->activeChild(), nullptr);
    }

    // A window's own exit button calls close(): its frame must go with it, and the next
    // opening starts a fresh window.
    void childClosingItselfTakesItsFrame() {
        Harness h;
        h.form->show();
        int created = 0;
        Probe* probe = h.showProbe(QStringLiteral("Probe"), &created);
        QVERIFY(probe->close());
        QCOMPARE(probe->closes, 1);
        QTRY_VERIFY(h.open().isEmpty());
        h.showProbe(QStringLiteral("Probe"), &created);
        QCOMPARE(created, 2);
        QCOMPARE(h.open().size(), 1);
    }

    void frameCloseBoxAsksTheChild() {
        Harness h;
        h.form->show();
        int created = 0;
        Probe* probe = h.showProbe(QStringLiteral("Probe"), &created);
        probe->refuse = true;
        QVERIFY(!frameOf(probe)->close());
        QCOMPARE(probe->closes, 1);
        QCOMPARE(h.open().size(), 1);
        QCOMPARE(h.showProbe(QStringLiteral("Probe"), &created), probe);
        QCOMPARE(created, 1);
        probe->refuse = false;
        QVERIFY(frameOf(probe)->close());
        QCOMPARE(probe->closes, 2);
        // Reopening before the closed frame is deleted still makes a fresh window.
        h.showProbe(QStringLiteral("Probe"), &created);
        QCOMPARE(created, 2);
        QTRY_COMPARE(h.open().size(), 1);
    }

    void childRefusingSelfCloseStays() {
        Harness h;
        h.form->show();
        Probe* probe = h.showProbe(QStringLiteral("Probe"));
        probe->refuse = true;
        QVERIFY(!probe->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(h.open().size(), 1);
        QVERIFY(frameOf(probe)->isVisible());
        QVERIFY(probe->isVisible());
    }

    void frameFollowsTheChildsWishes() {
        Harness h;
        h.form->show();
        QWidget* fixed = h.form->showChild(QStringLiteral("Fixed"), [] {
            auto* w = new QWidget;
            w->setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint);
            w->setFixedSize(300, 200);
            w->setWindowTitle(QStringLiteral("固定"));
            return w;
        });
        QMdiSubWindow* frame = frameOf(fixed);
        QCOMPARE(fixed->size(), QSize(300, 200));
        QCOMPARE(frame->minimumSize(), frame->maximumSize());
        QVERIFY(frame->width() > 300 && frame->height() > 200);
        QVERIFY(!(frame->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(frame->windowFlags() & Qt::WindowCloseButtonHint);
        QCOMPARE(frame->windowTitle(), QStringLiteral("固定"));

        QWidget* sizable = h.form->showChild(QStringLiteral("Sizable"), [] {
            auto* w = new QWidget;
            w->resize(320, 240);
            return w;
        });
        QCOMPARE(sizable->size(), QSize(320, 240));
        QVERIFY(frameOf(sizable)->maximumWidth() > 10000);
        QVERIFY(frameOf(sizable)->windowFlags() & Qt::WindowMaximizeButtonHint);
    }

    void closingClosesChildrenBeforeStoring() {
        Harness h;
        h.form->show();
        Probe* first = h.showProbe(QStringLiteral("First"));
        Probe* second = h.showProbe(QStringLiteral("Second"));
        QStringList seen;
        for (Probe* p : {first, second})
            p->onClose = [&h, &seen] {
                seen << (h.store->text(Section, QStringLiteral("MainLeft")) ? "stored" : "not yet");
            };
        QVERIFY(h.form->close());
        QCOMPARE(seen, QStringList({"not yet", "not yet"}));
        QVERIFY(h.store->text(Section, QStringLiteral("MainLeft")));
        QVERIFY(!h.form->isVisible());
    }

    void childClosedJustBeforeTheMainWindowClosesOnlyOnce() {
        Harness h;
        h.form->show();
        Probe* probe = h.showProbe(QStringLiteral("Probe"));
        probe->close();
        QVERIFY(h.form->close());
        QCOMPARE(probe->closes, 1);
    }

    void refusingChildKeepsMainWindowOpen() {
        Harness h;
        h.form->show();
        Probe* probe = h.showProbe(QStringLiteral("Keeper"));
        probe->refuse = true;
        QVERIFY(!h.form->close());
        QVERIFY(h.form->isVisible());
        QCOMPARE(h.open().size(), 1);
        QVERIFY(!h.store->text(Section, QStringLiteral("MainLeft")));
        probe->refuse = false;
        QVERIFY(h.form->close());
        QCOMPARE(probe->closes, 2);
    }

    void exitItemClosesLikeTheCloseBox() {
        Harness h;
        h.form->show();
        Probe* probe = h.showProbe(QStringLiteral("Probe"));
        h.find(QStringLiteral("mnuFileExit"))->trigger();
        QCOMPARE(probe->closes, 1);
        QVERIFY(!h.form->isVisible());
        QCOMPARE(h.store->text(Section, QStringLiteral("MainHeight")).value_or(QString()),
                 QStringLiteral("6500"));
    }

    void captionPanel() {
        Harness h;
        auto* panel = h.find<QLabel>(QStringLiteral("Panel1"));
        QVERIFY(h.find<QStatusBar>(QStringLiteral("sbStatusBar"))->isAncestorOf(panel));
        h.form->setCaptionPanelText(QStringLiteral("水管沿程阻力计算界面"));
        QCOMPARE(panel->text(), QStringLiteral("水管沿程阻力计算界面"));
        h.form->setCaptionPanelText(QString());
        QCOMPARE(panel->text(), QString());
    }

    void dateAndTimePanels() {
        const QDateTime before = QDateTime::currentDateTime();
        Harness h;
        h.form->resize(1000, 500);
        h.form->show();
        const QDateTime after = QDateTime::currentDateTime();
        const QLocale system = QLocale::system();
        // The panels show the system's short forms of some moment since the window was made.
        QStringList dates, times;
        for (QDateTime t = before; t <= after.addSecs(1); t = t.addSecs(1)) {
            dates << system.toString(t.date(), QLocale::ShortFormat);
            times << system.toString(t.time(), QLocale::ShortFormat);
        }
        const QString date = h.find<QLabel>(QStringLiteral("Panel2"))->text();
        const QString time = h.find<QLabel>(QStringLiteral("Panel3"))->text();
        QVERIFY2(dates.contains(date), qPrintable(date));
        QVERIFY2(times.contains(time), qPrintable(time));
        // The panels keep themselves current: the clock runs and comes back within a period.
        const int period =
            system.timeFormat(QLocale::ShortFormat).contains(QLatin1Char('s')) ? 1000 : 60000;
        auto* clock = h.form->findChild<QTimer*>(QStringLiteral("clockTimer"));
        QVERIFY(clock->isActive());
        QVERIFY(clock->remainingTime() <= period + 20);
        h.find<QLabel>(QStringLiteral("Panel3"))->clear();
        QVERIFY(QMetaObject::invokeMethod(clock, "timeout"));
        QVERIFY(!h.find<QLabel>(QStringLiteral("Panel3"))->text().isEmpty());
        QVERIFY(clock->isActive());
    }

    // The clock wakes just after the minute (or the second, where the time shows seconds)
    // turns, so the panels never lag behind the system clock.
    void clockTicksAfterTheTurn_data() {
        QTest::addColumn<QTime>("now");
        QTest::addColumn<bool>("showsSeconds");
        QTest::addColumn<int>("delay");
        QTest::newRow("on the minute") << QTime(12, 0, 0, 0) << false << 60020;
        QTest::newRow("10 ms before the minute") << QTime(12, 0, 59, 990) << false << 30;
        QTest::newRow("mid-minute") << QTime(23, 59, 30, 500) << false << 29520;
        QTest::newRow("seconds shown") << QTime(12, 34, 56, 789) << true << 231;
        QTest::newRow("seconds shown, on the second") << QTime(12, 34, 56, 0) << true << 1020;
    }

    void clockTicksAfterTheTurn() {
        QFETCH(QTime, now);
        QFETCH(bool, showsSeconds);
        QFETCH(int, delay);
        QCOMPARE(StatusPanels::msUntilClockTick(now, showsSeconds), delay);
    }

    void panelWidths() {
        Harness h;
        h.form->show();
        QCoreApplication::processEvents();
        const int minimum = twipsToPixels(2540, h.form->logicalDpiX());
        auto* caption = h.find<QLabel>(QStringLiteral("Panel1"));
        auto* date = h.find<QLabel>(QStringLiteral("Panel2"));
        auto* time = h.find<QLabel>(QStringLiteral("Panel3"));
        const auto widths = [&] {
            return QList<int>{caption->width(), date->width(), time->width()};
        };
        // At the first start's 6500 twips the three minimums do not fit: every panel keeps its
        // minimum, the time is cut off at the right edge, and the window keeps its width.
        const int windowWidth = h.form->width();
        QCOMPARE(widths(), QList<int>({minimum, minimum, minimum}));
        QVERIFY(caption->x() < date->x() && date->x() < time->x());
        QVERIFY(time->geometry().right() > h.find<QWidget>(QStringLiteral("sbStatusBar"))->width());
        QCOMPARE(h.form->width(), windowWidth);

        // Wider: the caption panel takes what the others leave.
        h.form->resize(1000, 500);
        QCoreApplication::processEvents();
        const int before = caption->width();
        QVERIFY(before > minimum);
        h.form->resize(1200, 500);
        QCoreApplication::processEvents();
        QCOMPARE(widths(), QList<int>({before + 200, minimum, minimum}));
        QVERIFY(time->geometry().right() < h.find<QWidget>(QStringLiteral("sbStatusBar"))->width());

        // Narrower than all: nothing shrinks below its minimum and the window is not widened.
        h.form->resize(300, 300);
        QCoreApplication::processEvents();
        QCOMPARE(h.form->width(), 300);
        QCOMPARE(widths(), QList<int>({minimum, minimum, minimum}));

        // A long caption is cut off in its own panel; it does not push the others aside.
        h.form->resize(1200, 500);
        h.form->setCaptionPanelText(QString(400, QLatin1Char('x')));
        QCoreApplication::processEvents();
        QCOMPARE(widths(), QList<int>({before + 200, minimum, minimum}));
    }
};

QTEST_MAIN(TestMainForm)
#include "test_mainform.moc"
