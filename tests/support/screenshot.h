#pragma once

#include <QString>

class QWidget;

// Renders a widget into $QUORVEL_SCREENSHOTS/<name>.png (build/screenshots when run by CTest).
// Returns the path written, or an empty text when it could not be written.
QString saveScreenshot(QWidget* widget, const QString& name);
