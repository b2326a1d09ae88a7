#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "platform/fonts.h"
#include "screens/frictionlossform.h"
#include "screens/locallosscoefficientform.h"
#include "screens/locallossform.h"
#include "tests/support/fakechildhost.h"
#include "tests/support/formprobe.h"
#include "tests/support/screenshot.h"

namespace {

const QString Caption = QStringLiteral("水管局部阻力计算界面");
const QString Missing = QStringLiteral("你还没输入参数呢！现在输入？");
const QColor Green(0, 255, 0);
const QStringList Defaults{"1.0", "1.2", "50", ""};

}  // namespace

Q_DECLARE_METATYPE(PromptAnswer)

class TestLocalLossForm : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { installFontSubstitutions(); }
    void init();
    void cleanup();

    void opensWithDefaultsFocusAndCaption();
    void controlsAndFrame();
    void defaultsCompute();
    void enterInAnyInputComputes_data();
    void enterInAnyInputComputes();
    void emptyInputKeepsResult_data();
    void emptyInputKeepsResult();
    void badInputKeepsResult_data();
    void badInputKeepsResult();
    void recomputeWithEmptyResultAsksNothing();
    void recomputeCancelThenOk();
    void hoverGreenUntilBackground();
    void tabOrder();
    void recordPassesTheBoxTextsAsTheyStand();
    void coefficientTableOpensOnce();
    void captionPanelFollowsLastOpenedOrClosed();
    void exitAndReopenRestoresDefaults();
    void screenshots();

  private:
    template <typename T = QLineEdit>
    T* get(const char* name) {
        return formprobe::control<T>(form_, name);
    }
    void click(const char* name) { formprobe::click(form_, name); }
    QStringList boxTexts() {
        return {get("Text1")->text(), get("Text2")->text(), get("Text3")->text(),
                get("Text4")->text()};
    }

    void expectOnePrompt(const QString& text, const QString& title, PromptButtons buttons) {
        formprobe::expectOnePrompt(host_->scripted, text, title, buttons);
    }

    FakeChildHost* host_ = nullptr;
    QPointer<LocalLossForm> form_;
};

void TestLocalLossForm::init() {
    host_ = new FakeChildHost;
    form_ = host_->showChild<LocalLossForm>();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
}

void TestLocalLossForm::cleanup() {
    QCOMPARE(host_->scripted.pendingAnswers(), 0);
    delete host_;
}

void TestLocalLossForm::opensWithDefaultsFocusAndCaption() {
    QCOMPARE(form_->objectName(), QStringLiteral("Form_水管局阻"));
    QCOMPARE(form_->windowTitle(), Caption);
    QCOMPARE(host_->captionPanel, Caption);
    QCOMPARE(boxTexts(), Defaults);
    QCOMPARE(form_->focusWidget(), get<QPushButton>("Command4"));
}

void TestLocalLossForm::controlsAndFrame() {
    const QList<std::pair<const char*, QString>> captions = {
        {"Label1", "局阻系数ζ="},    {"Label3", "水流速度v="}, {"Label4", "m/s"},
        {"Label9", "温  度 t="},     {"Label10", "o"},         {"Label2", "c"},
        {"Label5", "水管局阻值Hf="}, {"Label6", "Pa"}};
    for (const auto& [name, caption] : captions) QCOMPARE(get<QLabel>(name)->text(), caption);
    QCOMPARE(get<QGroupBox>("Frame1")->title(), QStringLiteral("输入参数"));
    QCOMPARE(get<QGroupBox>("Frame2")->title(), QStringLiteral("计算结果为"));
    const QList<std::pair<const char*, QString>> buttons = {
        {"Command1", "计算"},     {"Command2", "重算"}, {"Command3", "退出"},
        {"Command4", "查系数表"}, {"Command5", ""},     {"Command6", "记入表格"}};
    for (const auto& [name, caption] : buttons) QCOMPARE(get<QPushButton>(name)->text(), caption);
    QVERIFY(get<QPushButton>("Command1")->isDefault());

    const QPushButton* book = get<QPushButton>("Command5");
    QCOMPARE(book->toolTip(), QStringLiteral("帮助"));
    QCOMPARE(book->iconSize(), QSize(32, 32));
    const QImage picture = book->icon().pixmap(32, 32).toImage();
    QCOMPARE(picture.size(), QSize(32, 32));
    QCOMPARE(picture.pixelColor(16, 16), QColor(255, 0, 0));  // a red cover

    // The raised small "o" of the degree mark.
    QVERIFY(get<QLabel>("Label10")->font().pointSizeF() <
            get<QLabel>("Label2")->font().pointSizeF());
    QVERIFY(get<QLabel>("Label10")->geometry().top() < get<QLabel>("Label2")->geometry().top());

    // Command4 inside the input host, Command6 inside the result host.
    QCOMPARE(get<QPushButton>("Command4")->parentWidget(), get<QGroupBox>("Frame1"));
    QCOMPARE(get<QPushButton>("Command6")->parentWidget(), get<QGroupBox>("Frame2"));

    const Qt::WindowFlags flags = form_->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
}

void TestLocalLossForm::defaultsCompute() {
    click("Command1");
    QCOMPARE(get("Text4")->text(), QStringLiteral("711.36"));
    QCOMPARE(boxTexts().mid(0, 3), Defaults.mid(0, 3));
}

void TestLocalLossForm::enterInAnyInputComputes_data() {
    QTest::addColumn<QString>("box");
    for (const char* name : {"Text1", "Text2", "Text3"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestLocalLossForm::enterInAnyInputComputes() {
    QFETCH(QString, box);
    QLineEdit* edit = get(box.toLatin1().constData());
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(get("Text4")->text(), QStringLiteral("711.36"));
}

void TestLocalLossForm::emptyInputKeepsResult_data() {
    QTest::addColumn<QString>("box");
    for (const char* name : {"Text1", "Text2", "Text3"})
        QTest::addRow("%s empty", name) << QString::fromLatin1(name);
}

void TestLocalLossForm::emptyInputKeepsResult() {
    QFETCH(QString, box);
    click("Command1");
    get(box.toLatin1().constData())->clear();
    const QStringList before = boxTexts();

    host_->scripted.queueAnswer(PromptAnswer::Ok);
    click("Command1");

    expectOnePrompt(Missing, QStringLiteral("提示"),
                    PromptButtons::Ok);  // one OK button here, unlike friction
    QCOMPARE(boxTexts(), before);
}

void TestLocalLossForm::badInputKeepsResult_data() {
    QTest::addColumn<QStringList>("inputs");  // ζ, v, t
    QTest::addColumn<QString>("message");
    QTest::newRow("letters in v") << QStringList{"1.0", "abc", "50"}
                                  << QStringLiteral("“水流速度v=”中的“abc”不是有效的数字。");
    QTest::newRow("two decimal points in ζ")
        << QStringList{"1.0.1", "1.2", "50"}
        << QStringLiteral("“局阻系数ζ=”中的“1.0.1”不是有效的数字。");
    QTest::newRow("blanks only in t")
        << QStringList{"1.0", "1.2", " "} << QStringLiteral("“温  度 t=”中的“ ”不是有效的数字。");
    QTest::newRow("ζ beyond 32-bit range")
        << QStringList{"1e39", "1.2", "50"}
        << QStringLiteral("“局阻系数ζ=”中的“1e39”超出了允许的数值范围。");
    QTest::newRow("overflowing loss")
        << QStringList{"1.0", "1e30", "50"}
        << QStringLiteral("计算中的数值超出了允许的范围，无法计算局部阻力。");
}

void TestLocalLossForm::badInputKeepsResult() {
    QFETCH(QStringList, inputs);
    QFETCH(QString, message);
    click("Command1");
    get("Text1")->setText(inputs[0]);
    get("Text2")->setText(inputs[1]);
    get("Text3")->setText(inputs[2]);

    host_->scripted.queueAnswer(PromptAnswer::Ok);
    click("Command1");

    expectOnePrompt(message, QStringLiteral("提示"), PromptButtons::Ok);
    QCOMPARE(get("Text4")->text(), QStringLiteral("711.36"));
    QVERIFY(form_->isVisible());
}

void TestLocalLossForm::recomputeWithEmptyResultAsksNothing() {
    click("Command2");
    QVERIFY(host_->scripted.calls().isEmpty());
    QCOMPARE(boxTexts(), Defaults);
}

void TestLocalLossForm::recomputeCancelThenOk() {
    click("Command1");
    const QStringList computed = boxTexts();

    host_->scripted.queueAnswer(PromptAnswer::Cancel);
    click("Command2");
    expectOnePrompt(QStringLiteral("各数据将被删除，确定吗？"), QStringLiteral("警告！！！"),
                    PromptButtons::OkCancel);
    QCOMPARE(boxTexts(), computed);

    host_->scripted.queueAnswer(PromptAnswer::Ok);
    click("Command2");
    QCOMPARE(boxTexts(), QStringList(4, QString()));

    host_->scripted.queueAnswer(PromptAnswer::Ok);
    click("Command1");
    QCOMPARE(host_->scripted.calls().last().text, Missing);
}

void TestLocalLossForm::hoverGreenUntilBackground() {
    auto isGreen = [this](const char* name) {
        return get<QPushButton>(name)->palette().color(QPalette::Button) == Green;
    };
    QGroupBox* frame1 = get<QGroupBox>("Frame1");
    const QColor face = form_->palette().color(QPalette::Button);

    QTest::mouseMove(get<QPushButton>("Command4"));
    QVERIFY(isGreen("Command4"));
    QTest::mouseMove(frame1, QPoint(frame1->width() - 10, frame1->height() / 2));
    QTest::mouseMove(get<QLabel>("Label3"));
    QVERIFY(isGreen("Command4"));

    for (const char* name : {"Command1", "Command2", "Command3", "Command5"}) {
        QTest::mouseMove(get<QPushButton>(name));
        QVERIFY2(isGreen(name), name);
    }
    QTest::mouseMove(get<QPushButton>("Command6"));
    QVERIFY(!isGreen("Command6"));

    QTest::mouseMove(form_, QPoint(4, form_->height() - 4));
    for (const char* name :
         {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6"})
        QCOMPARE(get<QPushButton>(name)->palette().color(QPalette::Button), face);
}

void TestLocalLossForm::tabOrder() {
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_));
    QCOMPARE(QApplication::focusWidget(), get<QPushButton>("Command4"));
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order, (QStringList{"Command4", "Text1", "Text2", "Text3", "Command1", "Command2",
                                 "Command3", "Text4", "Command5", "Command6", "Command4"}));
}

void TestLocalLossForm::coefficientTableOpensOnce() {
    click("Command4");
    click("Command4");
    const QString key = QString::fromLatin1(LocalLossCoefficientForm::staticMetaObject.className());
    QVERIFY(host_->child(key));
    int tables = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("Form_水管局阻系数表")) ++tables;
    QCOMPARE(tables, 1);
    QCOMPARE(host_->showCount, 3);  // this screen, then the table shown twice
}

void TestLocalLossForm::captionPanelFollowsLastOpenedOrClosed() {
    QPointer<FrictionLossForm> friction = host_->showChild<FrictionLossForm>();
    QCOMPARE(host_->captionPanel, QStringLiteral("水管沿程阻力计算界面"));
    // Bringing the open local screen forward is not loading it: the panel keeps its text.
    host_->showChild<LocalLossForm>();
    QCOMPARE(host_->captionPanel, QStringLiteral("水管沿程阻力计算界面"));
    friction->close();
    QTRY_VERIFY(friction.isNull());
    QVERIFY(!form_.isNull());
    QCOMPARE(host_->captionPanel, QString());
}

void TestLocalLossForm::exitAndReopenRestoresDefaults() {
    get("Text1")->setText(QStringLiteral("2.5"));
    click("Command1");
    click("Command3");
    QTRY_VERIFY(form_.isNull());
    QCOMPARE(host_->captionPanel, QString());

    form_ = host_->showChild<LocalLossForm>();
    QCOMPARE(host_->captionPanel, Caption);
    QCOMPARE(boxTexts(), Defaults);
}

void TestLocalLossForm::recordPassesTheBoxTextsAsTheyStand() {
    click("Command1");
    get("Text2")->setText(QStringLiteral("２"));
    click("Command6");
    using Row = RecordingTables::Row;
    QCOMPARE(host_->tables.rows,
             (QList<Row>{{TableKind::Local, *localRow("1.0", "２", "50", "711.36")}}));
}

void TestLocalLossForm::screenshots() {
    QUORVEL_SCREENSHOTS_ONLY();
    QVERIFY(!saveScreenshot(form_, QStringLiteral("local_initial")).isEmpty());
    click("Command1");
    QVERIFY(!saveScreenshot(form_, QStringLiteral("local_computed")).isEmpty());
}

QTEST_MAIN(TestLocalLossForm)
#include "test_locallossform.moc"
