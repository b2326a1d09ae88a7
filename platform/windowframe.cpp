#include "platform/windowframe.h"

#include <QWidget>

void setDialogFrame(QWidget* window) {
    window->setWindowFlags((window->windowFlags() & Qt::WindowType_Mask) | Qt::CustomizeWindowHint |
                           Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::WindowSystemMenuHint);
}
