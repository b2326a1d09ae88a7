#include <QTest>

#include "platform/fonts.h"
#include "startup/aboutform.h"
#include "startup/helpform.h"
#include "startup/splashform.h"
#include "tests/support/fakechildhost.h"
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
        for (int i = 0; i < 3; ++i) splash.advanceDots();
        splash.blinkTitle();
        QVERIFY(!saveScreenshot(&splash, QStringLiteral("splash")).isEmpty());
        splash.close();
    }

    void about() {
        FakeChildHost host;
        QWidget* form = host.showChild<AboutForm>();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QVERIFY(!saveScreenshot(form, QStringLiteral("about")).isEmpty());
    }

    void help() {
        FakeChildHost host;
        QWidget* form = host.showChild<HelpForm>();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QVERIFY(!saveScreenshot(form, QStringLiteral("help")).isEmpty());
    }
};

QTEST_MAIN(TestStartupScreenshots)
#include "startup_screenshots.moc"
