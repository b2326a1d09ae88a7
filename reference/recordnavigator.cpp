#include "reference/recordnavigator.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {

QToolButton* makeButton(QWidget* parent, const char* name, const QString& face,
                        const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(face);
    button->setToolTip(tip);
    button->setAutoRaise(false);
    button->setFixedSize(26, 22);
    // A click leaves the keyboard in the grid, as a move by the arrow keys does.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

RecordNavigator::RecordNavigator(const QString& caption, QWidget* parent) : QFrame(parent) {
    setObjectName(caption);
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(0);
    QToolButton* first =
        makeButton(this, "First", QStringLiteral("|◀"), QStringLiteral("第一条记录"));
    QToolButton* previous =
        makeButton(this, "Previous", QStringLiteral("◀"), QStringLiteral("上一条记录"));
    QToolButton* next = makeButton(this, "Next", QStringLiteral("▶"), QStringLiteral("下一条记录"));
    QToolButton* last =
        makeButton(this, "Last", QStringLiteral("▶|"), QStringLiteral("最后一条记录"));
    auto* label = new QLabel(caption, this);
    label->setObjectName(QStringLiteral("Caption"));
    label->setAlignment(Qt::AlignCenter);
    row->addWidget(first);
    row->addWidget(previous);
    row->addWidget(label, 1);
    row->addWidget(next);
    row->addWidget(last);
    connect(first, &QToolButton::clicked, this, &RecordNavigator::firstRequested);
    connect(previous, &QToolButton::clicked, this, &RecordNavigator::previousRequested);
    connect(next, &QToolButton::clicked, this, &RecordNavigator::nextRequested);
    connect(last, &QToolButton::clicked, this, &RecordNavigator::lastRequested);
}
