#include "tests/support/screenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

bool screenshotsWanted() { return !qEnvironmentVariableIsEmpty("QUORVEL_SCREENSHOTS"); }

QString saveScreenshot(QWidget* widget, const QString& name) {
    const QString dir = qEnvironmentVariable("QUORVEL_SCREENSHOTS");
    if (dir.isEmpty() || !QDir().mkpath(dir)) return {};
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    return widget->grab().save(path) ? path : QString();
}
