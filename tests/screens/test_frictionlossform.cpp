#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/fonts.h"
#include "screens/frictionlossform.h"
#include "tests/support/fakechildhost.h"
#include "tests/support/formprobe.h"
#include "tests/support/screenshot.h"

namespace {

const QString Caption = QStringLiteral("水管沿程阻力计算界面");
const QString Missing = QStringLiteral("你还没输入参数呢！现在输入？");
const QString ClearQuestion = QStringLiteral("各数据将被删除，确定吗？");
const QString Hint = QStringLiteral("该值在后面的局部阻力计算时用到");
const QColor Green(0, 255, 0);
const char* const InputBoxes[] = {"Text1", "Text2", "Text3", "Text4", "Text5"};

}  // namespace

Q_DECLARE_METATYPE(PromptAnswer)

class TestFrictionLossForm : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { installFontSubstitutions(); }
    void init();
    void cleanup();

    void opensWithInitialTextsAndCaption();
    void controlsAndFrame();
    void defaultsCompute();
    void enterInAnyBoxComputes_data();
    void enterInAnyBoxComputes();
    void warmerWaterLowersLossOnly();
    void emptyBoxChangesNothing_data();
    void emptyBoxChangesNothing();
    void badNumberNamesFirstBadBox_data();
    void badNumberNamesFirstBadBox();
    void coreFailureKeepsResults_data();
    void coreFailureKeepsResults();
    void recomputeWithEmptyResultsAsksNothing();
    void recompute_data();
    void recompute();
    void hintGrowsOneCharacterPerTick();
    void hintTimerRuns();
    void hoverGreenUntilBackground();
    void tabOrder();
    void fullWidthInputReadsAsAscii_data();
    void fullWidthInputReadsAsAscii();
    void recordPassesTheBoxTextsAsTheyStand();
    void exitEmptiesCaptionAndReopenRestoresDefaults();
    void screenshots();

  private:
    void failureKeepsResults();
    template <typename T = QLineEdit>
    T* get(const char* name) {
        return formprobe::control<T>(form_, name);
    }
    QString text(const char* name) { return get(name)->text(); }
    void setText(const char* name, const QString& value) { get(name)->setText(value); }
    void click(const char* name) { formprobe::click(form_, name); }
    QStringList boxTexts();

    void expectOnePrompt(const QString& text, const QString& title, PromptButtons buttons) {
        formprobe::expectOnePrompt(host_->scripted, text, title, buttons);
    }

    FakeChildHost* host_ = nullptr;
    QPointer<FrictionLossForm> form_;
};

void TestFrictionLossForm::init() {
    host_ = new FakeChildHost;
    form_ = host_->showChild<FrictionLossForm>();
    // The hint timer would otherwise tick into the tests that drive it by hand.
    form_->findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
    QVERIFY(QTest::qWaitForWindowExposed(form_));
}

void TestFrictionLossForm::cleanup() {
    QCOMPARE(host_->scripted.pendingAnswers(), 0);
    delete host_;
}

QStringList TestFrictionLossForm::boxTexts() {
    QStringList texts;
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7"})
        texts << text(name);
    return texts;
}

void TestFrictionLossForm::opensWithInitialTextsAndCaption() {
    QCOMPARE(form_->objectName(), QStringLiteral("Form_水管沿阻"));
    QCOMPARE(form_->windowTitle(), Caption);
    QCOMPARE(host_->captionPanel, Caption);
    QCOMPARE(boxTexts(), (QStringList{"50", "1000", "45", "1", "0.2", "", ""}));
    QCOMPARE(get<QLabel>("Label21")->text(), QString());
}

void TestFrictionLossForm::controlsAndFrame() {
    const QList<std::pair<const char*, QString>> captions = {
        {"Label1", "直径D="},
        {"Label2", "mm"},
        {"Label3", "长度L="},
        {"Label4", "mm"},
        {"Label5", "水温 t="},
        {"Label11", "℃"},
        {"Label7", "流量G="},
        {"Label8", "m"},
        {"Label12", "3"},
        {"Label13", "/h"},
        {"Label9", "粗糙度K="},
        {"Label10", "mm"},
        {"Label17", "该段水流速V="},
        {"Label18", "m/s"},
        {"Label19", "水管沿阻值Hf="},
        {"Label20", "Pa"},
        {"Label14", "1、闭式水系统 ： K=0.2mm"},
        {"Label15", "2、开式水系统 ： K=0.5mm"},
        {"Label16", "3、冷却水系统 ： K=0.5mm"}};
    for (const auto& [name, caption] : captions) QCOMPARE(get<QLabel>(name)->text(), caption);
    QCOMPARE(get<QGroupBox>("Frame1")->title(), QStringLiteral("输入参数"));
    QCOMPARE(get<QGroupBox>("Frame2")->title(), QStringLiteral("计算结果为"));
    QCOMPARE(get<QPushButton>("Command1")->text(), QStringLiteral("计算"));
    QCOMPARE(get<QPushButton>("Command2")->text(), QStringLiteral("重算"));
    QCOMPARE(get<QPushButton>("Command3")->text(), QStringLiteral("退出"));
    QCOMPARE(get<QPushButton>("Command4")->text(), QStringLiteral("Help"));
    QCOMPARE(get<QPushButton>("Command4")->toolTip(), QStringLiteral("帮助"));
    QVERIFY(!get<QPushButton>("Command4")->icon().isNull());
    QCOMPARE(get<QPushButton>("Command5")->text(), QStringLiteral("记入表格"));
    QVERIFY(get<QPushButton>("Command1")->isDefault());

    for (const char* name : {"Label14", "Label15", "Label16"})
        QCOMPARE(get<QLabel>(name)->palette().color(QPalette::WindowText), QColor(128, 64, 64));
    QCOMPARE(get<QLabel>("Label21")->palette().color(QPalette::WindowText), QColor(0, 128, 0));

    // The raised 3 of m³/h: smaller than and above the "m" beside it.
    const QLabel* m = get<QLabel>("Label8");
    const QLabel* three = get<QLabel>("Label12");
    QVERIFY(three->font().pointSizeF() < m->font().pointSizeF());
    QVERIFY(three->geometry().top() < m->geometry().top());

    const Qt::WindowFlags flags = form_->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
    for (QLineEdit* box : form_->findChildren<QLineEdit*>()) QVERIFY(!box->isReadOnly());
}

void TestFrictionLossForm::defaultsCompute() {
    click("Command1");
    QCOMPARE(text("Text6"), QStringLiteral("0.1414711"));
    QCOMPARE(text("Text7"), QStringLiteral("7.067252"));
    QVERIFY(host_->scripted.calls().isEmpty());
}

void TestFrictionLossForm::enterInAnyBoxComputes_data() {
    QTest::addColumn<QString>("box");
    for (const char* name : InputBoxes) QTest::newRow(name) << QString::fromLatin1(name);
    QTest::newRow("result box Text7") << QStringLiteral("Text7");
}

void TestFrictionLossForm::enterInAnyBoxComputes() {
    QFETCH(QString, box);
    QLineEdit* edit = get(box.toLatin1().constData());
    form_->activateWindow();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(text("Text7"), QStringLiteral("7.067252"));
}

void TestFrictionLossForm::warmerWaterLowersLossOnly() {
    click("Command1");
    const QString velocity = text("Text6");
    setText("Text3", QStringLiteral("45.5"));
    click("Command1");
    QCOMPARE(text("Text6"), velocity);
    QVERIFY(qAbs(text("Text7").toDouble() - 7.045) < 0.0005);
}

void TestFrictionLossForm::emptyBoxChangesNothing_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<PromptAnswer>("answer");
    for (const char* name : InputBoxes) {
        QTest::addRow("%s empty, answered Yes", name)
            << QString::fromLatin1(name) << PromptAnswer::Yes;
        QTest::addRow("%s empty, answered No", name)
            << QString::fromLatin1(name) << PromptAnswer::No;
    }
}

void TestFrictionLossForm::emptyBoxChangesNothing() {
    QFETCH(QString, box);
    QFETCH(PromptAnswer, answer);
    click("Command1");
    setText(box.toLatin1().constData(), QString());
    const QStringList before = boxTexts();

    host_->scripted.queueAnswer(answer);
    click("Command1");

    expectOnePrompt(Missing, QStringLiteral("提示"), PromptButtons::YesNo);
    QCOMPARE(boxTexts(), before);
}

void TestFrictionLossForm::badNumberNamesFirstBadBox_data() {
    QTest::addColumn<QStringList>("inputs");  // D, L, t, G, K
    QTest::addColumn<QString>("message");
    QTest::newRow("letters in D") << QStringList{"abc", "1000", "45", "1", "0.2"}
                                  << QStringLiteral("“直径D=”中的“abc”不是有效的数字。");
    QTest::newRow("two decimal points in K")
        << QStringList{"50", "1000", "45", "1", "0.2.1"}
        << QStringLiteral("“粗糙度K=”中的“0.2.1”不是有效的数字。");
    QTest::newRow("blanks only in G") << QStringList{"50", "1000", "45", "  ", "0.2"}
                                      << QStringLiteral("“流量G=”中的“  ”不是有效的数字。");
    QTest::newRow("t is read before D") << QStringList{"x", "1000", "4o", "1", "0.2"}
                                        << QStringLiteral("“水温 t=”中的“4o”不是有效的数字。");
    QTest::newRow("L is read before D") << QStringList{"x", "1e", "45", "1", "0.2"}
                                        << QStringLiteral("“长度L=”中的“1e”不是有效的数字。");
    QTest::newRow("beyond 32-bit range in L")
        << QStringList{"50", "1e39", "45", "1", "0.2"}
        << QStringLiteral("“长度L=”中的“1e39”超出了允许的数值范围。");
}

void TestFrictionLossForm::badNumberNamesFirstBadBox() { failureKeepsResults(); }

void TestFrictionLossForm::coreFailureKeepsResults_data() {
    QTest::addColumn<QStringList>("inputs");  // D, L, t, G, K
    QTest::addColumn<QString>("message");
    QTest::newRow("zero diameter") << QStringList{"0", "1000", "45", "1", "0.2"}
                                   << QStringLiteral("直径D为0，无法计算流速和沿程阻力。");
    QTest::newRow("zero flow") << QStringList{"50", "1000", "45", "0", "0.2"}
                               << QStringLiteral(
                                      "流速为0（流量G为0或太小），雷诺数为0，无法计算沿程阻力。");
    QTest::newRow("negative flow") << QStringList{"50", "1000", "45", "-1", "0.2"}
                                   << QStringLiteral(
                                          "摩擦系数公式中开立方的数为负数（流量G为负数），"
                                          "无法计算沿程阻力。");
    QTest::newRow("negative diameter") << QStringList{"-50", "1000", "45", "1", "0.2"}
                                       << QStringLiteral(
                                              "摩擦系数公式中开立方的数为负数（直径D为负数），"
                                              "无法计算沿程阻力。");
    QTest::newRow("negative roughness") << QStringList{"50", "1000", "45", "1", "-5"}
                                        << QStringLiteral(
                                               "摩擦系数公式中开立方的数为负数（粗糙度K为负数），"
                                               "无法计算沿程阻力。");
    QTest::newRow("viscosity formula unusable at -50")
        << QStringList{"50", "1000", "-50", "1", "0.2"}
        << QStringLiteral(
               "水温t=-50℃时运动粘度公式得不到有效的值（约-112.9℃至-40."
               "3℃之间都是这样），无法计算沿程阻力。");
    QTest::newRow("temperature quoted without its blanks")
        << QStringList{"50", "1000", " -45 ", "1", "0.2"}
        << QStringLiteral(
               "水温t=-45℃时运动粘度公式得不到有效的值（约-112.9℃至-40."
               "3℃之间都是这样），无法计算沿程阻力。");
    QTest::newRow("loss beyond 32-bit range")
        << QStringList{"50", "1000", "45", "1e30", "0.2"}
        << QStringLiteral("计算中的数值超出了允许的范围，无法计算沿程阻力。");
}

void TestFrictionLossForm::coreFailureKeepsResults() { failureKeepsResults(); }

// One message, exactly this one, and the results of the computation before stay.
void TestFrictionLossForm::failureKeepsResults() {
    QFETCH(QStringList, inputs);
    QFETCH(QString, message);
    click("Command1");
    for (int i = 0; i < 5; ++i) setText(InputBoxes[i], inputs[i]);

    host_->scripted.queueAnswer(PromptAnswer::Ok);
    click("Command1");

    expectOnePrompt(message, QStringLiteral("提示"), PromptButtons::Ok);
    QCOMPARE(text("Text6"), QStringLiteral("0.1414711"));
    QCOMPARE(text("Text7"), QStringLiteral("7.067252"));
    QVERIFY(form_->isVisible());
}

void TestFrictionLossForm::recomputeWithEmptyResultsAsksNothing() {
    const QStringList before = boxTexts();
    click("Command2");
    QVERIFY(host_->scripted.calls().isEmpty());
    QCOMPARE(boxTexts(), before);
}

void TestFrictionLossForm::recompute_data() {
    QTest::addColumn<bool>("computeFirst");
    QTest::addColumn<QString>("typedResult");  // typed into Text6 by hand
    QTest::addColumn<PromptAnswer>("answer");
    QTest::newRow("computed, Cancel keeps") << true << QString() << PromptAnswer::Cancel;
    QTest::newRow("computed, OK empties") << true << QString() << PromptAnswer::Ok;
    QTest::newRow("typed result, OK empties") << false << QStringLiteral("x") << PromptAnswer::Ok;
}

void TestFrictionLossForm::recompute() {
    QFETCH(bool, computeFirst);
    QFETCH(QString, typedResult);
    QFETCH(PromptAnswer, answer);
    if (computeFirst) click("Command1");
    if (!typedResult.isEmpty()) setText("Text6", typedResult);
    const QStringList before = boxTexts();

    host_->scripted.queueAnswer(answer);
    click("Command2");
    expectOnePrompt(ClearQuestion, QStringLiteral("警告！！！"), PromptButtons::OkCancel);

    if (answer == PromptAnswer::Cancel) {
        QCOMPARE(boxTexts(), before);
        return;
    }
    QCOMPARE(boxTexts(), QStringList(7, QString()));
    // The defaults are not restored: the next compute finds the boxes empty.
    host_->scripted.queueAnswer(PromptAnswer::No);
    click("Command1");
    QCOMPARE(host_->scripted.calls().last().text, Missing);
}

void TestFrictionLossForm::hintGrowsOneCharacterPerTick() {
    QTimer* timer = form_->findChild<QTimer*>(QStringLiteral("Timer1"));
    const QLabel* label = get<QLabel>("Label21");
    const QString full = Hint + QString(12, QLatin1Char(' '));
    QCOMPARE(full.size(), 27);
    QStringList shown;
    for (int tick = 1; tick <= 29; ++tick) {
        QMetaObject::invokeMethod(timer, "timeout");
        shown << label->text();
    }
    QCOMPARE(shown[0], QStringLiteral("该"));
    QCOMPARE(shown[1], QStringLiteral("该值"));
    QCOMPARE(shown[14], Hint);
    QCOMPARE(shown[15], Hint + QLatin1Char(' '));
    QCOMPARE(shown[26], full);
    QCOMPARE(shown[27], QStringLiteral("该"));  // a cycle is 27 ticks
    QCOMPARE(shown[28], QStringLiteral("该值"));
}

void TestFrictionLossForm::hintTimerRuns() {
    // A fresh window: the timer runs from the start and the hint starts empty.
    FakeChildHost host;
    auto* form = host.showChild<FrictionLossForm>();
    QTimer* timer = form->findChild<QTimer*>(QStringLiteral("Timer1"));
    QCOMPARE(timer->interval(), 300);
    QVERIFY(timer->isActive());
    QVERIFY(!timer->isSingleShot());
    QLabel* label = form->findChild<QLabel*>(QStringLiteral("Label21"));
    QCOMPARE(label->text(), QString());
    // Its ticks are what write the hint; driven by hand, so the test never waits on the clock.
    QMetaObject::invokeMethod(timer, "timeout");
    QCOMPARE(label->text(), QStringLiteral("该"));
}

void TestFrictionLossForm::hoverGreenUntilBackground() {
    auto isGreen = [this](const char* name) {
        return get<QPushButton>(name)->palette().color(QPalette::Button) == Green;
    };
    auto moveOnto = [](QWidget* w, QPoint at = QPoint()) {
        QTest::mouseMove(w, at.isNull() ? w->rect().center() : at);
    };
    QGroupBox* frame1 = get<QGroupBox>("Frame1");
    const QColor face = form_->palette().color(QPalette::Button);

    moveOnto(get<QPushButton>("Command4"));
    QVERIFY(isGreen("Command4"));
    // Off the Help button onto its frame, a label and a box: still green.
    moveOnto(frame1, QPoint(frame1->width() - 8, frame1->height() - 6));
    moveOnto(get<QLabel>("Label15"));
    moveOnto(get("Text5"));
    QVERIFY(isGreen("Command4"));

    moveOnto(get<QPushButton>("Command1"));
    moveOnto(get<QPushButton>("Command3"));
    QVERIFY(isGreen("Command1") && isGreen("Command3") && isGreen("Command4"));
    // Drawn flat in exactly that green, not shaded.
    QCOMPARE(formprobe::dominantColour(get<QPushButton>("Command3")), Green);
    QVERIFY(formprobe::dominantColour(get<QPushButton>("Command2")) != Green);
    QVERIFY(!isGreen("Command2"));
    moveOnto(get<QPushButton>("Command5"));
    QVERIFY(!isGreen("Command5"));

    // The bare window background, between the bottom buttons.
    moveOnto(form_, QPoint(4, form_->height() - 4));
    for (const char* name : {"Command1", "Command2", "Command3", "Command4", "Command5"})
        QCOMPARE(get<QPushButton>(name)->palette().color(QPalette::Button), face);
}

void TestFrictionLossForm::tabOrder() {
    form_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form_));
    get("Text1")->setFocus();
    QStringList order{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order,
             (QStringList{"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Command1",
                          "Command2", "Command3", "Command4", "Command5", "Text1"}));
}

void TestFrictionLossForm::exitEmptiesCaptionAndReopenRestoresDefaults() {
    setText("Text1", QStringLiteral("80"));
    click("Command1");
    click("Command3");
    QTRY_VERIFY(form_.isNull());
    QCOMPARE(host_->captionPanel, QString());

    form_ = host_->showChild<FrictionLossForm>();
    QCOMPARE(host_->captionPanel, Caption);
    QCOMPARE(boxTexts(), (QStringList{"50", "1000", "45", "1", "0.2", "", ""}));
}

void TestFrictionLossForm::fullWidthInputReadsAsAscii_data() {
    QTest::addColumn<QStringList>("typed");  // D, L, t, G, K
    QTest::addColumn<QStringList>("ascii");
    QTest::newRow("digits") << QStringList{"５０", "１０００", "４５", "１", "０．２"}
                            << QStringList{"50", "1000", "45", "1", "0.2"};
    QTest::newRow("ideographic full stop and exponent")
        << QStringList{"5e1", "１ｅ３", "４５。０", "＋1", "0。2"}
        << QStringList{"50", "1000", "45", "1", "0.2"};
    QTest::newRow("minus signs") << QStringList{"50", "1000", "－5", "1", "0.2"}
                                 << QStringList{"50", "1000", "-5", "1", "0.2"};
    QTest::newRow("minus sign U+2212") << QStringList{"50", "1000", "−5", "1", "0.2"}
                                       << QStringList{"50", "1000", "-5", "1", "0.2"};
    QTest::newRow("ideographic blanks") << QStringList{"　50　", "1000", "45", "1", "0.2"}
                                        << QStringList{"50", "1000", "45", "1", "0.2"};
}

void TestFrictionLossForm::fullWidthInputReadsAsAscii() {
    QFETCH(QStringList, typed);
    QFETCH(QStringList, ascii);
    const char* boxes[] = {"Text1", "Text2", "Text3", "Text4", "Text5"};
    for (int i = 0; i < 5; ++i) setText(boxes[i], ascii[i]);
    click("Command1");
    const QStringList expected{text("Text6"), text("Text7")};
    for (int i = 0; i < 5; ++i) setText(boxes[i], typed[i]);
    setText("Text6", QString());
    setText("Text7", QString());
    click("Command1");
    QVERIFY(host_->scripted.calls().isEmpty());
    QCOMPARE((QStringList{text("Text6"), text("Text7")}), expected);
    // The boxes keep what was typed.
    QCOMPARE(text("Text1"), typed[0]);
}

void TestFrictionLossForm::recordPassesTheBoxTextsAsTheyStand() {
    click("Command5");
    click("Command1");
    setText("Text1", QStringLiteral(" 50 "));
    click("Command5");
    // Before computing the result boxes are empty: nothing is recorded. Edited after computing:
    // recorded as shown, not computed again.
    using Row = RecordingTables::Row;
    QCOMPARE(host_->tables.rows,
             (QList<Row>{{TableKind::Friction, *frictionRow(" 50 ", "1000", "45", "1", "0.2",
                                                            "0.1414711", "7.067252")}}));
}

void TestFrictionLossForm::screenshots() {
    QUORVEL_SCREENSHOTS_ONLY();
    QVERIFY(!saveScreenshot(form_, QStringLiteral("friction_initial")).isEmpty());
    click("Command1");
    for (int tick = 0; tick < 15; ++tick)
        QMetaObject::invokeMethod(form_->findChild<QTimer*>(QStringLiteral("Timer1")), "timeout");
    QVERIFY(!saveScreenshot(form_, QStringLiteral("friction_computed")).isEmpty());
}

QTEST_MAIN(TestFrictionLossForm)
#include "test_frictionlossform.moc"
