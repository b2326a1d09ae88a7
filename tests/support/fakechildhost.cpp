#include "tests/support/fakechildhost.h"

#include <QWidget>

FakeChildHost::~FakeChildHost() {
    for (const QPointer<QWidget>& w : std::as_const(children_)) delete w.data();
}

QWidget* FakeChildHost::showChild(const QString& key, const std::function<QWidget*()>& create) {
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

int FakeChildHost::openChildren() const {
    int n = 0;
    for (const QPointer<QWidget>& w : children_)
        if (w) ++n;
    return n;
}
