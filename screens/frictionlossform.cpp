#include "screens/frictionlossform.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

#include "core/numbertext.h"
#include "platform/prompter.h"
#include "platform/windowframe.h"
#include "screens/buttonhover.h"
#include "screens/formparts.h"
#include "platform/frame.h"

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
const QString RecordText = QStringLiteral("记入表格");
const QString ComputeText = QStringLiteral("计算");
const QString RecomputeText = QStringLiteral("重算");
const QString ExitText = QStringLiteral("退出");

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
    QStringLiteral("摩擦系数公式中开立方的数为负数（例如流量G为负数），无法计算沿程阻力。");
const QString ViscosityMessage = QStringLiteral(
    "水温t=%1℃时运动粘度公式得不到有效的值（约-112.9℃至-40.3℃之间都是这样），无法计算沿程阻力。");
const QString OverflowMessage = QStringLiteral("计算中的数值超出了允许的范围，无法计算沿程阻力。");

const QColor GuideColour(128, 64, 64);
const QColor HintColour(0, 128, 0);

QString failureMessage(CalcFailure failure, const QString& temperatureText) {
    switch (failure) {
        case CalcFailure::ZeroDiameter:
            return ZeroDiameterMessage;
        case CalcFailure::ZeroReynolds:
            return ZeroReynoldsMessage;
        case CalcFailure::NegativeRoot:
            return NegativeRootMessage;
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

FrictionLossForm::FrictionLossForm(Frame& frame, QWidget* parent) : QWidget(parent), frame_(frame) {
    setObjectName(QStringLiteral("Form_水管沿阻"));
    setWindowTitle(Caption);
    setDialogFrame(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(QFont(QStringLiteral("宋体"), 10));
    buildControls();

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(HintTickMs);
    connect(timer1_, &QTimer::timeout, this, &FrictionLossForm::showHintStep);
    timer1_->start();

    frame_.setCaptionPanelText(Caption);
}

void FrictionLossForm::buildControls() {
    setFixedSize(560, 372);

    auto* frame1 = new QGroupBox(InputFrameText, this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setGeometry(10, 6, 540, 178);

    label1_ = makeLabel(frame1, "Label1", DiameterText, QRect(10, 28, 80, 24),
                        Qt::AlignRight | Qt::AlignVCenter);
    text1_ = makeBox(frame1, "Text1", DefaultDiameter, QRect(94, 28, 90, 24));
    makeLabel(frame1, "Label2", MillimetreText, QRect(190, 28, 40, 24));
    label3_ = makeLabel(frame1, "Label3", LengthText, QRect(270, 28, 80, 24),
                        Qt::AlignRight | Qt::AlignVCenter);
    text2_ = makeBox(frame1, "Text2", DefaultLength, QRect(354, 28, 90, 24));
    makeLabel(frame1, "Label4", MillimetreText, QRect(450, 28, 40, 24));

    label5_ = makeLabel(frame1, "Label5", TemperatureText, QRect(10, 64, 80, 24),
                        Qt::AlignRight | Qt::AlignVCenter);
    text3_ = makeBox(frame1, "Text3", DefaultTemperature, QRect(94, 64, 90, 24));
    makeLabel(frame1, "Label11", CelsiusText, QRect(190, 64, 40, 24));
    label7_ = makeLabel(frame1, "Label7", FlowText, QRect(270, 64, 80, 24),
                        Qt::AlignRight | Qt::AlignVCenter);
    text4_ = makeBox(frame1, "Text4", DefaultFlow, QRect(354, 64, 90, 24));
    makeLabel(frame1, "Label8", FlowUnitMText, QRect(450, 64, 12, 24));
    QLabel* cube = makeLabel(frame1, "Label12", FlowUnitCubeText, QRect(461, 60, 8, 14));
    QFont small = font();
    small.setPointSize(7);
    cube->setFont(small);
    makeLabel(frame1, "Label13", FlowUnitPerHourText, QRect(468, 64, 24, 24));

    label9_ = makeLabel(frame1, "Label9", RoughnessText, QRect(10, 100, 80, 24),
                        Qt::AlignRight | Qt::AlignVCenter);
    text5_ = makeBox(frame1, "Text5", DefaultRoughness, QRect(94, 100, 90, 24));
    makeLabel(frame1, "Label10", MillimetreText, QRect(190, 100, 40, 24));
    int guideTop = 100;
    for (auto [name, text] :
         {std::pair{"Label14", ClosedSystemGuide}, std::pair{"Label15", OpenSystemGuide},
          std::pair{"Label16", CoolingSystemGuide}}) {
        paintText(makeLabel(frame1, name, text, QRect(230, guideTop, 210, 22)), GuideColour);
        guideTop += 22;
    }
    QPushButton* command4 = makeButton(frame1, "Command4", HelpText, QRect(446, 104, 84, 60));
    command4->setToolTip(HelpTip);
    command4->setIcon(QIcon(QPixmap(helpquestion_xpm)));
    command4->setIconSize(QSize(32, 32));

    auto* frame2 = new QGroupBox(ResultFrameText, this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    frame2->setGeometry(10, 192, 540, 112);

    makeLabel(frame2, "Label17", VelocityText, QRect(10, 30, 110, 24),
              Qt::AlignRight | Qt::AlignVCenter);
    text6_ = makeBox(frame2, "Text6", QString(), QRect(124, 30, 110, 24));
    makeLabel(frame2, "Label18", VelocityUnitText, QRect(240, 30, 40, 24));
    label21_ = makeLabel(frame2, "Label21", QString(), QRect(280, 30, 250, 24));
    paintText(label21_, HintColour);

    makeLabel(frame2, "Label19", LossText, QRect(10, 68, 110, 24),
              Qt::AlignRight | Qt::AlignVCenter);
    text7_ = makeBox(frame2, "Text7", QString(), QRect(124, 68, 110, 24));
    makeLabel(frame2, "Label20", LossUnitText, QRect(240, 68, 40, 24));
    QPushButton* command5 = makeButton(frame2, "Command5", RecordText, QRect(300, 64, 100, 32));
    // Recording goes to the friction result table, which does not exist yet.
    Q_UNUSED(command5);

    command1_ = makeButton(this, "Command1", ComputeText, QRect(60, 318, 110, 40));
    command1_->setDefault(true);
    QPushButton* command2 = makeButton(this, "Command2", RecomputeText, QRect(225, 318, 110, 40));
    QPushButton* command3 = makeButton(this, "Command3", ExitText, QRect(390, 318, 110, 40));

    connect(command1_, &QPushButton::clicked, this, &FrictionLossForm::compute);
    connect(command2, &QPushButton::clicked, this, &FrictionLossForm::recompute);
    connect(command3, &QPushButton::clicked, this, &QWidget::close);

    new ButtonHover(this, {command1_, command2, command3, command4});

    QWidget* tabOrder[] = {text1_, text2_,    text3_,   text4_,   text5_,   text6_,
                           text7_, command1_, command2, command3, command4, command5};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void FrictionLossForm::closeEvent(QCloseEvent* event) {
    frame_.setCaptionPanelText(QString());
    event->accept();
}

void FrictionLossForm::keyPressEvent(QKeyEvent* event) {
    // Enter in a box (which passes the key on) presses the default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        command1_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FrictionLossForm::compute() {
    for (const QLineEdit* box : {text1_, text2_, text3_, text4_, text5_}) {
        if (box->text().isEmpty()) {
            frame_.prompter().ask(MissingParameters, PromptTitle, PromptButtons::YesNo);
            return;
        }
    }
    FrictionLossInput input;
    const std::optional<float> t = readSingle(frame_.prompter(), label5_, text3_);
    if (!t) return;
    const std::optional<float> L = readSingle(frame_.prompter(), label3_, text2_);
    if (!L) return;
    const std::optional<float> D = readSingle(frame_.prompter(), label1_, text1_);
    if (!D) return;
    const std::optional<float> G = readSingle(frame_.prompter(), label7_, text4_);
    if (!G) return;
    const std::optional<float> K = readSingle(frame_.prompter(), label9_, text5_);
    if (!K) return;
    input.D = *D;
    input.L = *L;
    input.t = *t;
    input.G = *G;
    input.K = *K;

    const CalcOutcome<FrictionLossResult> outcome = computeFrictionLoss(input);
    if (!outcome.ok()) {
        frame_.prompter().ask(failureMessage(outcome.failure(), text3_->text().trimmed()),
                              PromptTitle, PromptButtons::Ok);
        return;
    }
    lastResult = outcome.value();
    text6_->setText(QString::fromStdString(numbertext::generalText(lastResult->V)));
    text7_->setText(QString::fromStdString(numbertext::generalText(lastResult->Hf)));
}

void FrictionLossForm::recompute() {
    if (text6_->text().isEmpty() && text7_->text().isEmpty()) return;
    if (frame_.prompter().ask(ClearQuestion, ClearTitle, PromptButtons::OkCancel) !=
        PromptAnswer::Ok)
        return;
    for (QLineEdit* box : {text1_, text2_, text3_, text4_, text5_, text6_, text7_}) box->clear();
}

void FrictionLossForm::showHintStep() {
    label21_->setText(HintText.left(hintLength));
    if (hintLength == HintText.size())
        hintLength = 1;
    else
        ++hintLength;
}
