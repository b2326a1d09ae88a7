#include "screens/locallossform.h"

#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include "core/lossrecord.h"
#include "platform/childhost.h"
#include "platform/fonts.h"
#include "platform/prompter.h"
#include "screens/buttonhover.h"
#include "screens/formparts.h"
#include "screens/locallosscoefficientform.h"

using namespace formparts;

namespace {

#include "screens/redbook.xpm"

const QString Caption = QStringLiteral("水管局部阻力计算界面");
const QString InputFrameText = QStringLiteral("输入参数");
const QString ResultFrameText = QStringLiteral("计算结果为");
const QString CoefficientText = QStringLiteral("局阻系数ζ=");
const QString LookUpText = QStringLiteral("查系数表");
const QString VelocityText = QStringLiteral("水流速度v=");
const QString VelocityUnitText = QStringLiteral("m/s");
const QString TemperatureText = QStringLiteral("温  度 t=");
const QString DegreeRingText = QStringLiteral("o");
const QString DegreeCText = QStringLiteral("c");
const QString LossText = QStringLiteral("水管局阻值Hf=");
const QString LossUnitText = QStringLiteral("Pa");
const QString HelpTip = QStringLiteral("帮助");

const QString DefaultCoefficient = QStringLiteral("1.0");
const QString DefaultVelocity = QStringLiteral("1.2");
const QString DefaultTemperature = QStringLiteral("50");

const QString OverflowMessage = QStringLiteral("计算中的数值超出了允许的范围，无法计算局部阻力。");

}  // namespace

LocalLossForm::LocalLossForm(ChildHost& host, QWidget* parent)
    : CalculationWindow(host, QStringLiteral("Form_水管局阻"), Caption, QFont(SongFace, 10),
                        parent) {
    buildControls();
}

void LocalLossForm::buildControls() {
    setFixedSize(440, 316);

    auto* inputFrame = new QGroupBox(InputFrameText, this);
    inputFrame->setObjectName(QStringLiteral("Frame1"));
    inputFrame->setGeometry(10, 6, 420, 140);

    constexpr RowColumns Columns{10, 100, 114, 110, 230, 40};
    coefficient_ = addInputRow(inputFrame, Columns, 28, "Label1", CoefficientText, "Text1",
                               DefaultCoefficient);
    QPushButton* lookUpButton =
        makeButton(inputFrame, "Command4", LookUpText, QRect(250, 25, 100, 30));
    velocity_ = addInputRow(inputFrame, Columns, 64, "Label3", VelocityText, "Text2",
                            DefaultVelocity, "Label4", VelocityUnitText);
    temperature_ = addInputRow(inputFrame, Columns, 100, "Label9", TemperatureText, "Text3",
                               DefaultTemperature);
    // °C as a small raised "o" and a "c".
    QLabel* ring = makeLabel(inputFrame, "Label10", DegreeRingText, QRect(229, 96, 8, 12));
    QFont small = font();
    small.setPointSize(7);
    ring->setFont(small);
    makeLabel(inputFrame, "Label2", DegreeCText, QRect(236, 100, 16, 24));

    auto* resultFrame = new QGroupBox(ResultFrameText, this);
    resultFrame->setObjectName(QStringLiteral("Frame2"));
    resultFrame->setGeometry(10, 154, 420, 80);

    lossBox_ = addInputRow(resultFrame, {10, 100, 114, 110, 230, 30}, 32, "Label5", LossText,
                           "Text4", QString(), "Label6", LossUnitText)
                   .box;
    QPushButton* recordButton =
        makeButton(resultFrame, "Command6", RecordText, QRect(290, 28, 100, 32));

    const CommandRow commands = addCommandRow(QRect(20, 254, 90, 44), 104, &LocalLossForm::compute,
                                              &LocalLossForm::recompute);
    QPushButton* computeButton = commands.compute;
    QPushButton* recomputeButton = commands.recompute;
    QPushButton* exitButton = commands.exit;
    QPushButton* helpButton = makeButton(this, "Command5", QString(), QRect(364, 248, 56, 56));
    helpButton->setToolTip(HelpTip);
    helpButton->setIcon(QIcon(QPixmap(redbook_xpm)));
    helpButton->setIconSize(QSize(32, 32));

    connect(lookUpButton, &QPushButton::clicked, this, &LocalLossForm::showCoefficients);
    connect(recordButton, &QPushButton::clicked, this, &LocalLossForm::record);

    new ButtonHover(this, {computeButton, recomputeButton, exitButton, lookUpButton, helpButton});

    QWidget* tabOrder[] = {lookUpButton,  coefficient_.box, velocity_.box, temperature_.box,
                           computeButton, recomputeButton,  exitButton,    lossBox_,
                           helpButton,    recordButton};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
    lookUpButton->setFocus();
}

void LocalLossForm::compute() {
    if (!allFilled({&coefficient_, &velocity_, &temperature_}, PromptButtons::Ok)) return;
    const std::optional<float> zeta = readInput(coefficient_);
    if (!zeta) return;
    const std::optional<float> v = readInput(velocity_);
    if (!v) return;
    const std::optional<float> t = readInput(temperature_);
    if (!t) return;

    const CalcOutcome<LocalLossRecord> outcome = LocalLossRecord::compute({*zeta, *v, *t});
    if (!outcome.ok()) {
        // Overflow is the only way the local loss can fail.
        host_.prompter().ask(OverflowMessage, PromptTitle, PromptButtons::Ok);
        return;
    }
    lossBox_->setText(QString::fromStdString(outcome.value().lossText()));
}

void LocalLossForm::recompute() {
    if (lossBox_->text().isEmpty()) return;
    if (host_.prompter().ask(ClearQuestion, ClearTitle, PromptButtons::OkCancel) !=
        PromptAnswer::Ok)
        return;
    for (const InputRow* row : {&coefficient_, &velocity_, &temperature_}) row->box->clear();
    lossBox_->clear();
}

void LocalLossForm::record() {
    recordRow(TableKind::Local, localRow(textOf(coefficient_.box), textOf(velocity_.box),
                                         textOf(temperature_.box), textOf(lossBox_)));
}

void LocalLossForm::showCoefficients() {
    host_.showChild<LocalLossCoefficientForm>()->setOpener(this);
}
