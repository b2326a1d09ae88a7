#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "platform/fonts.h"
#include "startup/aboutform.h"
#include "startup/helpform.h"
#include "tests/support/fakechildhost.h"

namespace {

const QString AboutText = QStringLiteral(
    "    由于本软件系本人匆忙中编制而成，因而存在许多不足，还请多多包涵！本软件还有待进一步改进，"
    "功能有待进一步完善，希望多提宝贵意见！并与本人联系。");
const QString HelpText = QStringLiteral("在编制中，请不要着急......！！！");

QWidget* show(FakeChildHost& host, const QString& which) {
    if (which == QLatin1String("about")) return host.showChild<AboutForm>();
    return host.showChild<HelpForm>();
}

}  // namespace

class TestInfoForms : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { installFontSubstitutions(); }

    void content_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("button");
        QTest::newRow("about") << "about"
                               << "关于Quorvel" << AboutText << "确定";
        QTest::newRow("help") << "help"
                              << "帮助内容" << HelpText << "退出";
    }

    void content() {
        QFETCH(QString, which);
        QFETCH(QString, caption);
        QFETCH(QString, text);
        QFETCH(QString, button);
        FakeChildHost host;
        QWidget* form = show(host, which);
        QCOMPARE(form->objectName(), which);
        QCOMPARE(form->windowTitle(), caption);
        auto* label = form->findChild<QLabel*>(QStringLiteral("Label1"));
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QVERIFY(label->wordWrap());
        auto* command = form->findChild<QPushButton*>(QStringLiteral("Command1"));
        QVERIFY(command);
        QCOMPARE(command->text(), button);
        QVERIFY(form->rect().contains(label->geometry()));
        QVERIFY(form->rect().contains(command->geometry()));
        QVERIFY(command->geometry().top() >= label->geometry().bottom());

        // Fixed dialog border: a fixed size, a title and a close box, nothing to minimize or
        // maximize.
        QCOMPARE(form->minimumSize(), form->maximumSize());
        const Qt::WindowFlags flags = form->windowFlags();
        QVERIFY(flags & Qt::CustomizeWindowHint);
        QVERIFY(flags & Qt::WindowTitleHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    }

    void helpTextIsRedCalligraphy() {
        FakeChildHost host;
        auto* label = host.showChild<HelpForm>()->findChild<QLabel*>(QStringLiteral("Label1"));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(label->font().family(), QStringLiteral("华文行楷"));
        QCOMPARE(label->font().pointSizeF(), 14.25);
    }

    void command1Closes_data() {
        QTest::addColumn<QString>("which");
        QTest::newRow("about") << "about";
        QTest::newRow("help") << "help";
    }

    // Command1 unloads the window; the next opening starts afresh.
    void command1Closes() {
        QFETCH(QString, which);
        FakeChildHost host;
        QPointer<QWidget> form = show(host, which);
        QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!form);
        QCOMPARE(host.openChildren(), 0);

        QPointer<QWidget> again = show(host, which);
        QVERIFY(again && again->isVisible());
    }

    void oneInstanceEach() {
        FakeChildHost host;
        QWidget* about = host.showChild<AboutForm>();
        QWidget* help = host.showChild<HelpForm>();
        QCOMPARE(host.showChild<AboutForm>(), about);
        QCOMPARE(host.openChildren(), 2);
        QVERIFY(help->isVisible() && about->isVisible());
    }
};

QTEST_MAIN(TestInfoForms)
#include "test_infoforms.moc"
