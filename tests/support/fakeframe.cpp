#include "tests/support/fakeframe.h"

#include <QWidget>

FakeFrame::~FakeFrame() {
    for (const QPointer<QWidget>& w : std::as_const(children_)) delete w.data();
}

QWidget* FakeFrame::showChild(const QString& key, const std::function<QWidget*()>& create) {
    ++showCount;
    QPointer<QWidget>& slot = children_[key];
    if (!slot) {
        slot = create();
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    slot->show();
    slot->raise();
    lastShown_ = slot;
    return slot;
}

int FakeFrame::openChildren() const {
    int n = 0;
    for (const QPointer<QWidget>& w : children_)
        if (w) ++n;
    return n;
}
