#include "screens/frictionlossform.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include "core/lossrecord.h"
#include "platform/childhost.h"
#include "platform/fonts.h"
#include "platform/prompter.h"
#include "screens/buttonhover.h"
#include "screens/formparts.h"

using namespace formparts;

namespace {

#include "screens/helpquestion.xpm"

const QString Caption = QStringLiteral("水管沿程阻力计算界面");
const QString InputFrameText = QStringLiteral("输入参数");
const QString ResultFrameText = QStringLiteral("计算结果为");
const QString DiameterText = QStringLiteral("直径D=");
const QString LengthText = QStringLiteral("长度L=");
const QString TemperatureText = QStringLiteral("水温 t=");
const QString FlowText = QStringLiteral("流量G=");
const QString RoughnessText = QStringLiteral("粗糙度K=");
const QString MillimetreText = QStringLiteral("mm");
const QString CelsiusText = QStringLiteral("℃");
const QString FlowUnitMText = QStringLiteral("m");
const QString FlowUnitCubeText = QStringLiteral("3");
const QString FlowUnitPerHourText = QStringLiteral("/h");
const QString ClosedSystemGuide = QStringLiteral("1、闭式水系统 ： K=0.2mm");
const QString OpenSystemGuide = QStringLiteral("2、开式水系统 ： K=0.5mm");
const QString CoolingSystemGuide = QStringLiteral("3、冷却水系统 ： K=0.5mm");
const QString HelpText = QStringLiteral("Help");
const QString HelpTip = QStringLiteral("帮助");
const QString VelocityText = QStringLiteral("该段水流速V=");
const QString VelocityUnitText = QStringLiteral("m/s");
const QString LossText = QStringLiteral("水管沿阻值Hf=");
const QString LossUnitText = QStringLiteral("Pa");

const QString DefaultDiameter = QStringLiteral("50");
const QString DefaultLength = QStringLiteral("1000");
const QString DefaultTemperature = QStringLiteral("45");
const QString DefaultFlow = QStringLiteral("1");
const QString DefaultRoughness = QStringLiteral("0.2");

// 15 characters of hint and 12 blanks: the complete hint stays up for 12 ticks before it restarts.
const QString HintText = QStringLiteral("该值在后面的局部阻力计算时用到            ");
constexpr int HintTickMs = 300;

const QString ZeroDiameterMessage = QStringLiteral("直径D为0，无法计算流速和沿程阻力。");
const QString ZeroReynoldsMessage =
    QStringLiteral("流速为0（流量G为0或太小），雷诺数为0，无法计算沿程阻力。");
const QString NegativeRootMessage =
    QStringLiteral("摩擦系数公式中开立方的数为负数（%1为负数），无法计算沿程阻力。");
const QString NegativeDiameter = QStringLiteral("直径D");
const QString NegativeFlow = QStringLiteral("流量G");
const QString NegativeRoughness = QStringLiteral("粗糙度K");
const QString ViscosityMessage = QStringLiteral(
    "水温t=%1℃时运动粘度公式得不到有效的值（约-112.9℃至-40.3℃之间都是这样），无法计算沿程阻力。");
const QString OverflowMessage = QStringLiteral("计算中的数值超出了允许的范围，无法计算沿程阻力。");

const QColor GuideColour(128, 64, 64);
const QColor HintColour(0, 128, 0);

QString failureMessage(CalcFailure failure, const FrictionLossInput& input,
                       const QString& temperatureText) {
    switch (failure) {
        case CalcFailure::ZeroDiameter:
            return ZeroDiameterMessage;
        case CalcFailure::ZeroReynolds:
            return ZeroReynoldsMessage;
        case CalcFailure::NegativeRoot:
            switch (FrictionLossRecord::negativeRootCause(input)) {
                case FrictionLossRecord::Input::Diameter:
                    return NegativeRootMessage.arg(NegativeDiameter);
                case FrictionLossRecord::Input::Flow:
                    return NegativeRootMessage.arg(NegativeFlow);
                case FrictionLossRecord::Input::Roughness:
                    break;
            }
            return NegativeRootMessage.arg(NegativeRoughness);
        case CalcFailure::Viscosity:
            return ViscosityMessage.arg(temperatureText);
        case CalcFailure::Overflow:
            break;
    }
    return OverflowMessage;
}

void paintText(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

}  // namespace

FrictionLossForm::FrictionLossForm(ChildHost& host, QWidget* parent)
    : CalculationWindow(host, QStringLiteral("Form_水管沿阻"), Caption, QFont(SongFace, 10),
                        parent) {
    buildControls();

    hintTimer_ = new QTimer(this);
    hintTimer_->setObjectName(QStringLiteral("Timer1"));
    hintTimer_->setInterval(HintTickMs);
    connect(hintTimer_, &QTimer::timeout, this, &FrictionLossForm::showHintStep);
    hintTimer_->start();
}

void FrictionLossForm::buildControls() {
    setFixedSize(560, 372);

    auto* inputFrame = new QGroupBox(InputFrameText, this);
    inputFrame->setObjectName(QStringLiteral("Frame1"));
    inputFrame->setGeometry(10, 6, 540, 178);

    constexpr RowColumns Left{10, 80, 94, 90, 190, 40};
    constexpr RowColumns Right{270, 80, 354, 90, 450, 40};
    diameter_ = addInputRow(inputFrame, Left, 28, "Label1", DiameterText, "Text1", DefaultDiameter,
                            "Label2", MillimetreText);
    length_ = addInputRow(inputFrame, Right, 28, "Label3", LengthText, "Text2", DefaultLength,
                          "Label4", MillimetreText);
    temperature_ = addInputRow(inputFrame, Left, 64, "Label5", TemperatureText, "Text3",
                               DefaultTemperature, "Label11", CelsiusText);
    flow_ = addInputRow(inputFrame, Right, 64, "Label7", FlowText, "Text4", DefaultFlow);
    // m³/h in three labels, "m", a small raised "3" and "/h", set edge to edge so that they
    // read as one unit.
    QFont small = font();
    small.setPointSize(7);
    const int unitLeft = 450;
    const int mWidth = QFontMetrics(font()).horizontalAdvance(FlowUnitMText);
    const int cubeWidth = QFontMetrics(small).horizontalAdvance(FlowUnitCubeText);
    QLabel* m = makeLabel(inputFrame, "Label8", FlowUnitMText, QRect(unitLeft, 64, mWidth, 24));
    QLabel* cube = makeLabel(inputFrame, "Label12", FlowUnitCubeText,
                             QRect(unitLeft + mWidth, 60, cubeWidth, 14));
    cube->setFont(small);
    QLabel* perHour = makeLabel(inputFrame, "Label13", FlowUnitPerHourText,
                                QRect(unitLeft + mWidth + cubeWidth, 64, 24, 24));
    for (QLabel* part : {m, cube, perHour}) part->setContentsMargins(0, 0, 0, 0);
    roughness_ = addInputRow(inputFrame, Left, 100, "Label9", RoughnessText, "Text5",
                             DefaultRoughness, "Label10", MillimetreText);

    int guideTop = 100;
    for (auto [name, text] :
         {std::pair{"Label14", ClosedSystemGuide}, std::pair{"Label15", OpenSystemGuide},
          std::pair{"Label16", CoolingSystemGuide}}) {
        paintText(makeLabel(inputFrame, name, text, QRect(230, guideTop, 210, 22)), GuideColour);
        guideTop += 22;
    }
    QPushButton* helpButton = makeButton(inputFrame, "Command4", HelpText, QRect(446, 104, 84, 60));
    helpButton->setToolTip(HelpTip);
    helpButton->setIcon(QIcon(QPixmap(helpquestion_xpm)));
    helpButton->setIconSize(QSize(32, 32));

    auto* resultFrame = new QGroupBox(ResultFrameText, this);
    resultFrame->setObjectName(QStringLiteral("Frame2"));
    resultFrame->setGeometry(10, 192, 540, 112);

    constexpr RowColumns Results{10, 110, 124, 110, 240, 40};
    velocityBox_ = addInputRow(resultFrame, Results, 30, "Label17", VelocityText, "Text6",
                               QString(), "Label18", VelocityUnitText)
                       .box;
    hintLabel_ = makeLabel(resultFrame, "Label21", QString(), QRect(280, 30, 250, 24));
    paintText(hintLabel_, HintColour);
    lossBox_ = addInputRow(resultFrame, Results, 68, "Label19", LossText, "Text7", QString(),
                           "Label20", LossUnitText)
                   .box;
    QPushButton* recordButton =
        makeButton(resultFrame, "Command5", RecordText, QRect(300, 64, 100, 32));

    const CommandRow commands = addCommandRow(
        QRect(60, 318, 110, 40), 165, &FrictionLossForm::compute, &FrictionLossForm::recompute);
    QPushButton* computeButton = commands.compute;
    QPushButton* recomputeButton = commands.recompute;
    QPushButton* exitButton = commands.exit;

    connect(recordButton, &QPushButton::clicked, this, &FrictionLossForm::record);

    new ButtonHover(this, {computeButton, recomputeButton, exitButton, helpButton});

    QWidget* tabOrder[] = {diameter_.box,   length_.box,  temperature_.box, flow_.box,
                           roughness_.box,  velocityBox_, lossBox_,         computeButton,
                           recomputeButton, exitButton,   helpButton,       recordButton};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void FrictionLossForm::compute() {
    if (!allFilled({&diameter_, &length_, &temperature_, &flow_, &roughness_},
                   PromptButtons::YesNo))
        return;
    // The boxes are read in this order, so that the first message is about the first of them.
    const std::optional<float> t = readInput(temperature_);
    if (!t) return;
    const std::optional<float> L = readInput(length_);
    if (!L) return;
    const std::optional<float> D = readInput(diameter_);
    if (!D) return;
    const std::optional<float> G = readInput(flow_);
    if (!G) return;
    const std::optional<float> K = readInput(roughness_);
    if (!K) return;

    const FrictionLossInput input{*D, *L, *t, *G, *K};
    const CalcOutcome<FrictionLossRecord> outcome = FrictionLossRecord::compute(input);
    if (!outcome.ok()) {
        host_.prompter().ask(
            failureMessage(outcome.failure(), input, temperature_.box->text().trimmed()),
            PromptTitle, PromptButtons::Ok);
        return;
    }
    const FrictionLossRecord& record = outcome.value();
    velocityBox_->setText(QString::fromStdString(record.velocityText()));
    lossBox_->setText(QString::fromStdString(record.lossText()));
}

void FrictionLossForm::recompute() {
    if (velocityBox_->text().isEmpty() && lossBox_->text().isEmpty()) return;
    if (host_.prompter().ask(ClearQuestion, ClearTitle, PromptButtons::OkCancel) !=
        PromptAnswer::Ok)
        return;
    for (const InputRow* row : {&diameter_, &length_, &temperature_, &flow_, &roughness_})
        row->box->clear();
    velocityBox_->clear();
    lossBox_->clear();
}

void FrictionLossForm::record() {
    recordRow(TableKind::Friction,
              frictionRow(textOf(diameter_.box), textOf(length_.box), textOf(temperature_.box),
                          textOf(flow_.box), textOf(roughness_.box), textOf(velocityBox_),
                          textOf(lossBox_)));
}

void FrictionLossForm::showHintStep() {
    hintLabel_->setText(HintText.left(hintLength_));
    if (hintLength_ == HintText.size())
        hintLength_ = 1;
    else
        ++hintLength_;
}
