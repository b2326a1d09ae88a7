#include <QTest>

#include "platform/fonts.h"
#include "startup/aboutform.h"
#include "startup/helpform.h"
#include "startup/splashform.h"
#include "tests/support/fakeframe.h"
#include "tests/support/screenshot.h"

// Renders the start-up windows into screenshots/ for people to look at.
class TestStartupScreenshots : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { installFontSubstitutions(); }

    void splash() {
        SplashForm splash([] {});
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        // Mid-animation: three dots, the welcome text magenta.
        for (int i = 0; i < 3; ++i) splash.timer2Tick();
        splash.timer3Tick();
        QVERIFY(!saveScreenshot(&splash, QStringLiteral("splash")).isEmpty());
        splash.close();
    }

    void about() {
        FakeFrame frame;
        QWidget* form = frame.showChild<AboutForm>();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QVERIFY(!saveScreenshot(form, QStringLiteral("about")).isEmpty());
    }

    void help() {
        FakeFrame frame;
        QWidget* form = frame.showChild<HelpForm>();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QVERIFY(!saveScreenshot(form, QStringLiteral("help")).isEmpty());
    }
};

QTEST_MAIN(TestStartupScreenshots)
#include "test_startupscreenshots.moc"
