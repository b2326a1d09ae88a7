#include "shell/statuspanels.h"

#include <QLabel>
#include <QResizeEvent>
#include <algorithm>

namespace {
// Pixels between two panels.
constexpr int Gap = 2;
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
    arrange();
}

void StatusPanels::setPanelText(int index, const QString& text) {
    panel(index)->setText(text);
    arrange();
}

int StatusPanels::panelWidth(int index) const {
    return std::max(minimumWidth_, panel(index)->sizeHint().width());
}

QSize StatusPanels::sizeHint() const {
    return QSize(minimumWidth_ + panelWidth(1) + panelWidth(2) + 2 * Gap,
                 panel(0)->sizeHint().height());
}

QSize StatusPanels::minimumSizeHint() const { return QSize(0, panel(0)->sizeHint().height()); }

void StatusPanels::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    arrange();
}

void StatusPanels::arrange() {
    const int date = panelWidth(1);
    const int time = panelWidth(2);
    const int caption = std::max(minimumWidth_, width() - date - time - 2 * Gap);
    const int h = height();
    panel(0)->setGeometry(0, 0, caption, h);
    panel(1)->setGeometry(caption + Gap, 0, date, h);
    panel(2)->setGeometry(caption + Gap + date + Gap, 0, time, h);
}
