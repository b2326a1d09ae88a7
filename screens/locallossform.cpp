#include "screens/locallossform.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

#include "core/localloss.h"
#include "core/numbertext.h"
#include "platform/prompter.h"
#include "platform/windowframe.h"
#include "screens/buttonhover.h"
#include "screens/formparts.h"
#include "screens/locallosscoefficientform.h"
#include "platform/frame.h"

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
const QString RecordText = QStringLiteral("记入表格");
const QString ComputeText = QStringLiteral("计算");
const QString RecomputeText = QStringLiteral("重算");
const QString ExitText = QStringLiteral("退出");
const QString HelpTip = QStringLiteral("帮助");

const QString DefaultCoefficient = QStringLiteral("1.0");
const QString DefaultVelocity = QStringLiteral("1.2");
const QString DefaultTemperature = QStringLiteral("50");

const QString OverflowMessage = QStringLiteral("计算中的数值超出了允许的范围，无法计算局部阻力。");

}  // namespace

LocalLossForm::LocalLossForm(Frame& frame, QWidget* parent) : QWidget(parent), frame_(frame) {
    setObjectName(QStringLiteral("Form_水管局阻"));
    setWindowTitle(Caption);
    setDialogFrame(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(QFont(QStringLiteral("宋体"), 10));
    buildControls();
    frame_.setCaptionPanelText(Caption);
}

void LocalLossForm::buildControls() {
    setFixedSize(440, 316);
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;

    auto* frame1 = new QGroupBox(InputFrameText, this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    frame1->setGeometry(10, 6, 420, 140);

    label1_ = makeLabel(frame1, "Label1", CoefficientText, QRect(10, 28, 100, 24), right);
    text1_ = makeBox(frame1, "Text1", DefaultCoefficient, QRect(114, 28, 110, 24));
    QPushButton* command4 = makeButton(frame1, "Command4", LookUpText, QRect(250, 25, 100, 30));

    label3_ = makeLabel(frame1, "Label3", VelocityText, QRect(10, 64, 100, 24), right);
    text2_ = makeBox(frame1, "Text2", DefaultVelocity, QRect(114, 64, 110, 24));
    makeLabel(frame1, "Label4", VelocityUnitText, QRect(230, 64, 40, 24));

    label9_ = makeLabel(frame1, "Label9", TemperatureText, QRect(10, 100, 100, 24), right);
    text3_ = makeBox(frame1, "Text3", DefaultTemperature, QRect(114, 100, 110, 24));
    QLabel* ring = makeLabel(frame1, "Label10", DegreeRingText, QRect(229, 96, 8, 12));
    QFont small = font();
    small.setPointSize(7);
    ring->setFont(small);
    makeLabel(frame1, "Label2", DegreeCText, QRect(236, 100, 16, 24));

    auto* frame2 = new QGroupBox(ResultFrameText, this);
    frame2->setObjectName(QStringLiteral("Frame2"));
    frame2->setGeometry(10, 154, 420, 80);

    makeLabel(frame2, "Label5", LossText, QRect(10, 32, 100, 24), right);
    text4_ = makeBox(frame2, "Text4", QString(), QRect(114, 32, 110, 24));
    makeLabel(frame2, "Label6", LossUnitText, QRect(230, 32, 30, 24));
    QPushButton* command6 = makeButton(frame2, "Command6", RecordText, QRect(290, 28, 100, 32));
    // Recording goes to the local result table, which does not exist yet.
    Q_UNUSED(command6);

    command1_ = makeButton(this, "Command1", ComputeText, QRect(20, 254, 90, 44));
    command1_->setDefault(true);
    QPushButton* command2 = makeButton(this, "Command2", RecomputeText, QRect(124, 254, 90, 44));
    QPushButton* command3 = makeButton(this, "Command3", ExitText, QRect(228, 254, 90, 44));
    QPushButton* command5 = makeButton(this, "Command5", QString(), QRect(364, 248, 56, 56));
    command5->setToolTip(HelpTip);
    command5->setIcon(QIcon(QPixmap(redbook_xpm)));
    command5->setIconSize(QSize(32, 32));

    connect(command1_, &QPushButton::clicked, this, &LocalLossForm::compute);
    connect(command2, &QPushButton::clicked, this, &LocalLossForm::recompute);
    connect(command3, &QPushButton::clicked, this, &QWidget::close);
    connect(command4, &QPushButton::clicked, this, &LocalLossForm::showCoefficients);

    new ButtonHover(this, {command1_, command2, command3, command4, command5});

    QWidget* tabOrder[] = {command4, text1_,   text2_, text3_,   command1_,
                           command2, command3, text4_, command5, command6};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i) setTabOrder(tabOrder[i - 1], tabOrder[i]);
    command4->setFocus();
}

void LocalLossForm::closeEvent(QCloseEvent* event) {
    frame_.setCaptionPanelText(QString());
    event->accept();
}

void LocalLossForm::keyPressEvent(QKeyEvent* event) {
    // Enter in a box (which passes the key on) presses the default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        command1_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void LocalLossForm::compute() {
    for (const QLineEdit* box : {text1_, text2_, text3_}) {
        if (box->text().isEmpty()) {
            frame_.prompter().ask(MissingParameters, PromptTitle, PromptButtons::Ok);
            return;
        }
    }
    const std::optional<float> zeta = readSingle(frame_.prompter(), label1_, text1_);
    if (!zeta) return;
    const std::optional<float> v = readSingle(frame_.prompter(), label3_, text2_);
    if (!v) return;
    const std::optional<float> t = readSingle(frame_.prompter(), label9_, text3_);
    if (!t) return;

    const CalcOutcome<float> outcome = computeLocalLoss(*zeta, *v, *t);
    if (!outcome.ok()) {
        // Overflow is the only way the local loss can fail.
        frame_.prompter().ask(OverflowMessage, PromptTitle, PromptButtons::Ok);
        return;
    }
    text4_->setText(QString::fromStdString(numbertext::generalText(outcome.value())));
}

void LocalLossForm::recompute() {
    if (text4_->text().isEmpty()) return;
    if (frame_.prompter().ask(ClearQuestion, ClearTitle, PromptButtons::OkCancel) !=
        PromptAnswer::Ok)
        return;
    for (QLineEdit* box : {text1_, text2_, text3_, text4_}) box->clear();
}

void LocalLossForm::showCoefficients() { frame_.showChild<LocalLossCoefficientForm>(); }
