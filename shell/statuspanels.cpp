#include "shell/statuspanels.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>

namespace {
// Pixels between two panels.
constexpr int Gap = 2;
// Wake this many ms after the minute begins, so that the clock reads the new minute.
constexpr int ClockLag = 20;
}  // namespace

StatusPanels::StatusPanels(int minimumWidth, QWidget* parent)
    : QWidget(parent), minimumWidth_(minimumWidth) {
    setObjectName(QStringLiteral("statusPanels"));
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMargin(1);
        label->setIndent(2);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        panels_[static_cast<std::size_t>(i)] = label;
    }
    clock_ = new QTimer(this);
    clock_->setObjectName(QStringLiteral("clockTimer"));
    clock_->setSingleShot(true);
    clock_->setTimerType(Qt::PreciseTimer);
    connect(clock_, &QTimer::timeout, this, &StatusPanels::updateClock);
    updateClock();
}

int StatusPanels::msUntilClockTick(const QTime& now, bool showsSeconds) {
    const int period = showsSeconds ? 1000 : 60000;
    const int into = (now.second() * 1000 + now.msec()) % period;
    return period - into + ClockLag;
}

void StatusPanels::updateClock() {
    const QDateTime now = QDateTime::currentDateTime();
    // The user's own short forms, whatever the program's number texts use.
    const QLocale locale = QLocale::system();
    panel(Date)->setText(locale.toString(now.date(), QLocale::ShortFormat));
    panel(Time)->setText(locale.toString(now.time(), QLocale::ShortFormat));
    arrange();
    // The date changes on a minute boundary too.
    const bool showsSeconds = locale.timeFormat(QLocale::ShortFormat).contains(QLatin1Char('s'));
    clock_->start(msUntilClockTick(now.time(), showsSeconds));
}

void StatusPanels::setPanelText(int index, const QString& text) {
    panel(index)->setText(text);
    arrange();
}

int StatusPanels::panelWidth(int index) const {
    return std::max(minimumWidth_, panel(index)->sizeHint().width());
}

QSize StatusPanels::sizeHint() const {
    return QSize(minimumWidth_ + panelWidth(Date) + panelWidth(Time) + 2 * Gap,
                 panel(Caption)->sizeHint().height());
}

QSize StatusPanels::minimumSizeHint() const {
    return QSize(0, panel(Caption)->sizeHint().height());
}

void StatusPanels::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void StatusPanels::arrange() {
    const int date = panelWidth(Date);
    const int time = panelWidth(Time);
    const int caption = std::max(minimumWidth_, width() - date - time - 2 * Gap);
    const int h = height();
    panel(Caption)->setGeometry(0, 0, caption, h);
    panel(Date)->setGeometry(caption + Gap, 0, date, h);
    panel(Time)->setGeometry(caption + Gap + date + Gap, 0, time, h);
}
