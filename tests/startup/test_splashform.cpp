#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "platform/fonts.h"
#include "platform/twips.h"
#include "startup/splashform.h"

namespace {

QLabel* label(QWidget* form, const char* name) {
    return form->findChild<QLabel*>(QString::fromLatin1(name));
}

QTimer* timer(QWidget* form, const char* name) {
    return form->findChild<QTimer*>(QString::fromLatin1(name));
}

// A tick without waiting for the interval: the timer's own signal, so the connection is
// exercised too.
void tick(QWidget* form, const char* name) {
    QTimer* t = timer(form, name);
    QVERIFY(t);
    QVERIFY(QMetaObject::invokeMethod(t, "timeout"));
}

QColor foreColour(QWidget* w) { return w->palette().color(w->foregroundRole()); }

// Ends a hung event loop with exit code 2; gone with the test that made it.
struct Watchdog : QTimer {
    Watchdog() {
        setSingleShot(true);
        connect(this, &QTimer::timeout, [] { QCoreApplication::exit(2); });
        start(5000);
    }
};

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}  // namespace

class TestSplashForm : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { installFontSubstitutions(); }

    void window() {
        SplashForm splash([] {});
        QCOMPARE(splash.objectName(), QStringLiteral("Form_封面"));
        QCOMPARE(splash.windowTitle(), QStringLiteral("进入Quorvel"));
        QVERIFY(splash.isWindow());
        QVERIFY(splash.testAttribute(Qt::WA_DeleteOnClose));
        const Qt::WindowFlags flags = splash.windowFlags();
        QVERIFY(flags & Qt::WindowTitleHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(splash.palette().color(QPalette::Window), QColor(192, 192, 192));
        QVERIFY(splash.autoFillBackground());

        // Client area 6360 x 5400 twips, fixed.
        const QSize client(twipsToPixels(6360, splash.logicalDpiX()),
                           twipsToPixels(5400, splash.logicalDpiY()));
        QCOMPARE(splash.minimumSize(), client);
        QCOMPARE(splash.maximumSize(), client);
        if (splash.logicalDpiX() == 96 && splash.logicalDpiY() == 96)
            QCOMPARE(client, QSize(424, 360));
    }

    void labels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("family");
        QTest::addColumn<double>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("wraps");
        const QColor red(255, 0, 0), blue(0, 0, 255);
        QTest::newRow("welcome, red brush 42pt") << "Label1"
                                                 << " 欢迎使用Quorvel"
                                                 << "隶书" << 42.0 << false << red << true;
        QTest::newRow("dots, empty bold brush") << "Label2"
                                                << ""
                                                << "隶书" << -1.0 << true << blue << false;
        QTest::newRow("loading, blue song 12pt") << "Label3"
                                                 << "正在加载"
                                                 << "宋体" << 12.0 << false << blue << false;
        QTest::newRow("series line") << "Label4"
                                     << "Ostrelin系列之——"
                                     << "宋体" << -1.0 << false << QColor() << false;
        QTest::newRow("product line") << "Label5"
                                      << "——Quorvel"
                                      << "宋体" << -1.0 << false << QColor() << false;
    }

    void labels() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, family);
        QFETCH(double, points);
        QFETCH(bool, bold);
        QFETCH(QColor, colour);
        QFETCH(bool, wraps);
        SplashForm splash([] {});
        QLabel* l = label(&splash, name.toLatin1().constData());
        QVERIFY(l);
        QCOMPARE(l->text(), text);
        QCOMPARE(l->font().family(), family);
        if (points > 0) QCOMPARE(l->font().pointSizeF(), points);
        QCOMPARE(l->font().bold(), bold);
        if (colour.isValid()) QCOMPARE(foreColour(l), colour);
        QCOMPARE(l->wordWrap(), wraps);
        QVERIFY(splash.rect().contains(l->geometry()));
    }

    // Series line top left, product line below and right of it, welcome text in the middle,
    // loading caption near the bottom with the dots to its right.
    void arrangement() {
        SplashForm splash([] {});
        const QRect l1 = label(&splash, "Label1")->geometry();
        const QRect l2 = label(&splash, "Label2")->geometry();
        const QRect l3 = label(&splash, "Label3")->geometry();
        const QRect l4 = label(&splash, "Label4")->geometry();
        const QRect l5 = label(&splash, "Label5")->geometry();
        QVERIFY(l4.top() < splash.height() / 8 && l4.left() < splash.width() / 8);
        QVERIFY(l5.top() > l4.top() && l5.left() > l4.left());
        QVERIFY(l1.top() > l5.bottom() && l1.bottom() < l3.top());
        QVERIFY(l3.top() > splash.height() * 3 / 4);
        QVERIFY(l2.left() >= l3.right());
        QVERIFY(!l2.intersects(l3) && !l1.intersects(l3) && !l4.intersects(l5));
    }

    void timers_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("activeBeforeOpen");
        QTest::newRow("Timer1 ends the splash, started on opening") << "Timer1" << 2500 << false;
        QTest::newRow("Timer2 dots, running at once") << "Timer2" << 400 << true;
        QTest::newRow("Timer3 blinking, running at once") << "Timer3" << 600 << true;
    }

    void timers() {
        QFETCH(QString, name);
        QFETCH(int, interval);
        QFETCH(bool, activeBeforeOpen);
        auto* splash = new SplashForm([] {});
        QPointer<QTimer> t = timer(splash, name.toLatin1().constData());
        QVERIFY(t);
        QCOMPARE(t->interval(), interval);
        QCOMPARE(t->isActive(), activeBeforeOpen);
        splash->show();
        QVERIFY(t->isActive());
        splash->close();
        QVERIFY(!t->isActive());
        flushDeletes();
    }

    // Showing the splash again (after hiding it) must not restart the 2.5 s.
    void timer1StartsOnce() {
        SplashForm splash([] {});
        splash.show();
        QTimer* t1 = timer(&splash, "Timer1");
        QVERIFY(t1->isActive());
        t1->stop();
        splash.hide();
        splash.show();
        QVERIFY(!t1->isActive());
    }

    void dots() {
        SplashForm splash([] {});
        splash.show();
        QLabel* dots = label(&splash, "Label2");
        const QStringList expected{".", "..", "...", "....", ".....", "......", ".", "..", "..."};
        for (const QString& e : expected) {
            tick(&splash, "Timer2");
            QCOMPARE(dots->text(), e);
        }

        // Periods stand on the line the loading text stands on, not raised like bullets: the
        // dots' lowest ink is level with the lowest ink of "正在加载" beside them.
        dots->setText(QStringLiteral("......"));
        const auto lowestInk = [&splash](QWidget* w) {
            const QImage image = splash.grab(w->geometry()).toImage();
            int lowest = -1;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qBlue(image.pixel(x, y)) > 200 && qRed(image.pixel(x, y)) < 100) lowest = y;
            return lowest < 0 ? -1 : w->y() + lowest;
        };
        const int dotsBottom = lowestInk(dots);
        const int textBottom = lowestInk(label(&splash, "Label3"));
        QVERIFY(dotsBottom > 0 && textBottom > 0);
        QVERIFY2(std::abs(dotsBottom - textBottom) <= 4,
                 qPrintable(QStringLiteral("%1 %2").arg(dotsBottom).arg(textBottom)));
    }

    void blinking() {
        SplashForm splash([] {});
        splash.show();
        QLabel* welcome = label(&splash, "Label1");
        QCOMPARE(welcome->property("tag").toString(), QString());
        const QList<QPair<QString, QColor>> expected{{"13", QColor(255, 0, 255)},
                                                     {"12", QColor(255, 0, 0)},
                                                     {"13", QColor(255, 0, 255)},
                                                     {"12", QColor(255, 0, 0)}};
        for (const auto& [tag, colour] : expected) {
            tick(&splash, "Timer3");
            QCOMPARE(welcome->property("tag").toString(), tag);
            QCOMPARE(foreColour(welcome), colour);
        }
    }

    void chc_data() {
        QTest::addColumn<QString>("tag");
        QTest::addColumn<int>("c1");
        QTest::addColumn<int>("c2");
        QTest::addColumn<QString>("newTag");
        QTest::addColumn<QColor>("colour");
        const QColor magenta(255, 0, 255), red(255, 0, 0);
        QTest::newRow("empty tag counts as 0") << "" << 13 << 12 << "13" << magenta;
        QTest::newRow("tag equal to c1 swaps") << "13" << 13 << 12 << "12" << red;
        QTest::newRow("tag equal to c2 swaps back") << "12" << 13 << 12 << "13" << magenta;
        QTest::newRow("non-numeric tag counts as 0") << "abc" << 13 << 12 << "13" << magenta;
        QTest::newRow("leading number of a tag") << " 13 apples" << 13 << 12 << "12" << red;
        QTest::newRow("13.5 is not 13") << "13.5" << 13 << 12 << "13" << magenta;
        QTest::newRow("0 as c1 matches an empty-ish tag")
            << "x" << 0 << 15 << "15" << QColor(255, 255, 255);
    }

    void chc() {
        QFETCH(QString, tag);
        QFETCH(int, c1);
        QFETCH(int, c2);
        QFETCH(QString, newTag);
        QFETCH(QColor, colour);
        QLabel control;
        control.setProperty("tag", tag);
        SplashForm::toggleForeColour(&control, c1, c2);
        QCOMPARE(control.property("tag").toString(), newTag);
        QCOMPARE(foreColour(&control), colour);
    }

    void palette_data() {
        QTest::addColumn<int>("number");
        QTest::addColumn<QColor>("colour");
        const QList<QPair<const char*, QColor>> rows{
            {"0 black", QColor(0, 0, 0)},       {"1 navy", QColor(0, 0, 128)},
            {"2 green", QColor(0, 128, 0)},     {"3 teal", QColor(0, 128, 128)},
            {"4 maroon", QColor(128, 0, 0)},    {"5 purple", QColor(128, 0, 128)},
            {"6 olive", QColor(128, 128, 0)},   {"7 silver", QColor(192, 192, 192)},
            {"8 grey", QColor(128, 128, 128)},  {"9 blue", QColor(0, 0, 255)},
            {"10 lime", QColor(0, 255, 0)},     {"11 aqua", QColor(0, 255, 255)},
            {"12 red", QColor(255, 0, 0)},      {"13 fuchsia", QColor(255, 0, 255)},
            {"14 yellow", QColor(255, 255, 0)}, {"15 white", QColor(255, 255, 255)}};
        for (int i = 0; i < rows.size(); ++i) QTest::newRow(rows[i].first) << i << rows[i].second;
    }

    // toggleForeColour with both colours equal paints that colour whatever the tag held.
    void palette() {
        QFETCH(int, number);
        QFETCH(QColor, colour);
        QLabel control;
        SplashForm::toggleForeColour(&control, number, number);
        QCOMPARE(foreColour(&control), colour);
    }

    void colourOutsidePaletteKeepsColour() {
        QLabel control;
        SplashForm::toggleForeColour(&control, 12, 12);
        SplashForm::toggleForeColour(&control, 16, 16);
        QCOMPARE(foreColour(&control), QColor(255, 0, 0));
        QVERIFY(!SplashForm::consoleColour(-1));
        QVERIFY(!SplashForm::consoleColour(16));
    }

    // Timer1: the main window comes first, the splash goes after, and then nothing ticks.
    void timer1ShowsMainWindowThenCloses() {
        QPointer<SplashForm> splash;
        int shown = 0;
        bool splashOpenWhenShown = false;
        splash = new SplashForm([&] {
            ++shown;
            splashOpenWhenShown = splash && splash->isVisible();
        });
        splash->show();
        const QList<QPointer<QTimer>> timers{timer(splash, "Timer1"), timer(splash, "Timer2"),
                                             timer(splash, "Timer3")};
        tick(splash, "Timer1");
        QCOMPARE(shown, 1);
        QVERIFY(splashOpenWhenShown);
        QVERIFY(splash);
        QVERIFY(!splash->isVisible());
        for (const QPointer<QTimer>& t : timers) QVERIFY(t && !t->isActive());

        // A stray tick queued before the close changes nothing and shows nothing again.
        const QString dots = label(splash, "Label2")->text();
        tick(splash, "Timer1");
        tick(splash, "Timer2");
        QCOMPARE(shown, 1);
        QCOMPARE(label(splash, "Label2")->text(), dots);

        flushDeletes();
        QVERIFY(!splash);
    }

    void closingEarlyNeverShowsMainWindow() {
        int shown = 0;
        QPointer<SplashForm> splash = new SplashForm([&] { ++shown; });
        splash->show();
        QPointer<QTimer> t1 = timer(splash, "Timer1");
        QVERIFY(splash->close());
        QVERIFY(!t1->isActive());
        tick(splash, "Timer1");
        QCOMPARE(shown, 0);
        flushDeletes();
        QVERIFY(!splash);
    }

    // The whole start-up in a running event loop, Timer1 made to fire at once: the main window
    // comes up, the splash goes, and the program keeps running on the main window until that
    // closes.
    void startUpInEventLoop() {
        QWidget mainWindow;
        auto* splash = new SplashForm([&] { mainWindow.show(); });
        QPointer<SplashForm> watched = splash;
        timer(splash, "Timer1")->setInterval(0);
        bool splashGone = false;
        bool mainShown = false;
        QObject::connect(timer(splash, "Timer1"), &QTimer::timeout, &mainWindow, [&] {
            // Queued behind Timer1's own work: runs only if the program did not end with the
            // splash.
            QTimer::singleShot(0, &mainWindow, [&] {
                splashGone = !watched || !watched->isVisible();
                mainShown = mainWindow.isVisible();
                mainWindow.close();
            });
        });
        Watchdog watchdog;
        splash->show();
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(splashGone);
        QVERIFY(mainShown);
        flushDeletes();
        QVERIFY(!watched);
    }

    // Closing the splash, the only window, ends the event loop: the program ends, and the
    // main window never comes.
    void closingEarlyEndsProgram() {
        int shown = 0;
        auto* splash = new SplashForm([&] { ++shown; });
        QPointer<SplashForm> watched = splash;
        QTimer::singleShot(0, splash, &QWidget::close);
        Watchdog watchdog;
        splash->show();
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(shown, 0);
        flushDeletes();
        QVERIFY(!watched);
    }
};

QTEST_MAIN(TestSplashForm)
#include "test_splashform.moc"
