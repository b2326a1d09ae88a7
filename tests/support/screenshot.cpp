#include "tests/support/screenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

QString saveScreenshot(QWidget* widget, const QString& name) {
    QString dir = qEnvironmentVariable("QUORVEL_SCREENSHOTS");
    if (dir.isEmpty()) dir = QDir::currentPath() + QStringLiteral("/screenshots");
    if (!QDir().mkpath(dir)) return {};
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
    return widget->grab().save(path) ? path : QString();
}
