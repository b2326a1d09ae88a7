#pragma once

#include <QString>
#include <QTest>

class QWidget;

// Screenshots are for people to look at, not a test: scripts/screenshots.sh asks for them by
// naming the folder in $QUORVEL_SCREENSHOTS, and CTest does not.
bool screenshotsWanted();

// Renders a widget into $QUORVEL_SCREENSHOTS/<name>.png. Returns the path written, or an empty
// text when none was asked for or it could not be written.
QString saveScreenshot(QWidget* widget, const QString& name);

// Ends a test function that only writes screenshots when none are asked for.
#define QUORVEL_SCREENSHOTS_ONLY()                                                    \
    do {                                                                              \
        if (!screenshotsWanted()) QSKIP("scripts/screenshots.sh writes screenshots"); \
    } while (false)
