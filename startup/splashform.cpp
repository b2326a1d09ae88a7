#include "startup/splashform.h"

#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <QShowEvent>
#include <QTimer>
#include <array>

#include "core/numbertext.h"
#include "platform/fonts.h"
#include "startup/twipsgeometry.h"

namespace {

const QString Caption = QStringLiteral("进入Quorvel");
const QString SeriesText = QStringLiteral("Ostrelin系列之——");
const QString ProductText = QStringLiteral("——Quorvel");
const QString WelcomeText = QStringLiteral(" 欢迎使用Quorvel");
const QString LoadingText = QStringLiteral("正在加载");
const QString Dots = QStringLiteral("......");

// Client area, twips.
constexpr int ClientWidth = 6360;
constexpr int ClientHeight = 5400;

constexpr int EndInterval = 2500;   // ms until the main window opens
constexpr int DotsInterval = 400;   // ms per step of the loading dots
constexpr int BlinkInterval = 600;  // ms per colour change of the welcome text

// The welcome text blinks between light magenta and light red.
constexpr int BlinkFirst = 13;
constexpr int BlinkSecond = 12;

const QColor Grey(192, 192, 192);
const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);

// The console palette (the 16 colours of a text-mode screen), indexed by colour number.
constexpr std::array<QRgb, 16> ConsolePalette{
    qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 128, 128),
    qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(0, 255, 255),
    qRgb(255, 0, 0),     qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255),
};

const char* const TagProperty = "tag";

void setForeColour(QWidget* control, const QColor& colour) {
    QPalette palette = control->palette();
    palette.setColor(control->foregroundRole(), colour);
    control->setPalette(palette);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QFont& font,
                  const QColor& colour, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    setForeColour(label, colour);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

// The loading dots. The brush face draws its period raised to the middle of the line, like a
// bullet; the dots are drawn as periods on the baseline, in the label's size and weight, from
// a face whose period sits there.
class DotsLabel : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QFont face = font();
        face.setFamilies({QStringLiteral("Noto Serif CJK SC"), SongFace});
        painter.setFont(face);
        painter.setPen(palette().color(foregroundRole()));
        painter.drawText(contentsRect(), int(alignment()), text());
    }
};

QFont labelFont(const QString& family, double points, bool bold = false) {
    QFont f(family);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

}  // namespace

SplashForm::SplashForm(std::function<void()> showMainWindow, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      showMainWindow_(std::move(showMainWindow)) {
    setObjectName(QStringLiteral("Form_封面"));
    setWindowTitle(Caption);
    setAttribute(Qt::WA_DeleteOnClose);

    QPalette background = palette();
    background.setColor(QPalette::Window, Grey);
    setPalette(background);
    setAutoFillBackground(true);
    setFixedSize(twipsSize(this, ClientWidth, ClientHeight));

    const QColor text = palette().color(QPalette::WindowText);
    makeLabel(this, "Label4", SeriesText, labelFont(SongFace, 12), text,
              twipsRect(this, 240, 240, 3840, 360));
    makeLabel(this, "Label5", ProductText, labelFont(SongFace, 12), text,
              twipsRect(this, 3600, 720, 2520, 360));
    label1_ = makeLabel(this, "Label1", WelcomeText, labelFont(LiShuFace, 42), Red,
                        twipsRect(this, 600, 1320, 5160, 2520));
    label1_->setWordWrap(true);
    // In the middle of its box, the leading blank included.
    label1_->setAlignment(Qt::AlignCenter);
    makeLabel(this, "Label3", LoadingText, labelFont(SongFace, 12), Blue,
              twipsRect(this, 2040, 4440, 1080, 360));
    label2_ = new DotsLabel(this);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setFont(labelFont(LiShuFace, 15.75, true));
    setForeColour(label2_, Blue);
    label2_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label2_->setGeometry(twipsRect(this, 3120, 4380, 1800, 420));

    timer1_ = new QTimer(this);
    timer1_->setObjectName(QStringLiteral("Timer1"));
    timer1_->setInterval(EndInterval);
    timer1_->setSingleShot(true);
    connect(timer1_, &QTimer::timeout, this, &SplashForm::endSplash);

    timer2_ = new QTimer(this);
    timer2_->setObjectName(QStringLiteral("Timer2"));
    timer2_->setInterval(DotsInterval);
    connect(timer2_, &QTimer::timeout, this, &SplashForm::advanceDots);
    timer2_->start();

    timer3_ = new QTimer(this);
    timer3_->setObjectName(QStringLiteral("Timer3"));
    timer3_->setInterval(BlinkInterval);
    connect(timer3_, &QTimer::timeout, this, &SplashForm::blinkTitle);
    timer3_->start();
}

void SplashForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (opened_) return;
    opened_ = true;
    dotCount_ = 1;
    timer1_->start();
}

void SplashForm::closeEvent(QCloseEvent* event) {
    timer1_->stop();
    timer2_->stop();
    timer3_->stop();
    // Whether closed by Timer1 or by the user, the splash never acts again: closed early, it is
    // the last window and the program ends without a main window.
    finished_ = true;
    QWidget::closeEvent(event);
}

void SplashForm::endSplash() {
    if (finished_) return;
    finished_ = true;
    // The main window comes up before the splash goes, so the program always has a window.
    if (showMainWindow_) showMainWindow_();
    close();
}

void SplashForm::advanceDots() {
    if (finished_) return;
    label2_->setText(Dots.left(dotCount_));
    if (dotCount_ >= Dots.size())
        dotCount_ = 1;
    else
        ++dotCount_;
}

void SplashForm::blinkTitle() {
    if (finished_) return;
    toggleForeColour(label1_, BlinkFirst, BlinkSecond);
}

std::optional<QColor> SplashForm::consoleColour(int number) {
    if (number < 0 || number >= static_cast<int>(ConsolePalette.size())) return std::nullopt;
    return QColor::fromRgb(ConsolePalette[static_cast<std::size_t>(number)]);
}

void SplashForm::toggleForeColour(QWidget* control, int c1, int c2) {
    if (!control) return;
    const std::string tag = control->property(TagProperty).toString().toStdString();
    const int next = numbertext::leadingNumber(tag) == c1 ? c2 : c1;
    control->setProperty(TagProperty,
                         QString::fromStdString(numbertext::generalText(static_cast<float>(next))));
    // A colour number outside the palette keeps the current colour.
    if (const std::optional<QColor> colour = consoleColour(next)) setForeColour(control, *colour);
}
