#include "shell/childwindow.h"

#include <QCloseEvent>
#include <QCoreApplication>

ChildWindow::ChildWindow(QWidget* window) {
    setAttribute(Qt::WA_DeleteOnClose);
    const Qt::WindowFlags hints = window->windowFlags() & ~Qt::WindowType_Mask;
    sized_ = window->testAttribute(Qt::WA_Resized);
    fixedSize_ = window->minimumSize() == window->maximumSize();
    requestedSize_ = window->size();
    setWidget(window);
    setWindowFlags(Qt::SubWindow | hints);
    if (!(hints & Qt::CustomizeWindowHint))
        setWindowFlags(Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    window->installEventFilter(this);
}

void ChildWindow::fitToWindow() {
    // Without an explicit size the frame takes the window's size hint, as QMdiSubWindow does.
    if (!sized_) return;
    const QSize outer = requestedSize_.grownBy(contentsMargins());
    if (fixedSize_)
        setFixedSize(outer);
    else
        resize(outer);
}

void ChildWindow::closeEvent(QCloseEvent* event) {
    closingFrame_ = true;
    QMdiSubWindow::closeEvent(event);
    closingFrame_ = false;
    if (event->isAccepted()) closed_ = true;
}

bool ChildWindow::eventFilter(QObject* watched, QEvent* event) {
    // QMdiSubWindow only hides itself when its window closes, leaving an empty frame behind.
    // Let the window decide first; if it agrees, the frame closes too. The window is already
    // closing then, so the frame's own close does not ask it a second time.
    if (watched == widget() && event->type() == QEvent::Close && !closingFrame_ &&
        !forwardingClose_) {
        forwardingClose_ = true;
        QCoreApplication::sendEvent(watched, event);
        forwardingClose_ = false;
        if (event->isAccepted()) close();
        return true;
    }
    return QMdiSubWindow::eventFilter(watched, event);
}
