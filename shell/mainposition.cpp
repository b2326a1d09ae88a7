#include "shell/mainposition.h"

#include <QString>

#include "core/numbertext.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"

namespace {

const QString SettingsSection = QStringLiteral("Settings");
const QString LeftKey = QStringLiteral("MainLeft");
const QString TopKey = QStringLiteral("MainTop");
const QString WidthKey = QStringLiteral("MainWidth");
const QString HeightKey = QStringLiteral("MainHeight");

float readTwips(const SettingsStore& store, const QString& key, float fallback) {
    const std::optional<QString> text = store.text(SettingsSection, key);
    if (!text) return fallback;
    const numbertext::ParsedSingle parsed = numbertext::parseSingle(text->toStdString());
    return parsed.ok() ? *parsed.value : fallback;
}

void writeTwips(SettingsStore& store, const QString& key, float twips) {
    store.setText(SettingsSection, key, QString::fromStdString(numbertext::generalText(twips)));
}

}  // namespace

MainPosition readMainPosition(const SettingsStore& store) {
    const MainPosition defaults;
    MainPosition p;
    p.left = readTwips(store, LeftKey, defaults.left);
    p.top = readTwips(store, TopKey, defaults.top);
    p.width = readTwips(store, WidthKey, defaults.width);
    p.height = readTwips(store, HeightKey, defaults.height);
    return p;
}

void writeMainPosition(SettingsStore& store, const MainPosition& position) {
    writeTwips(store, LeftKey, position.left);
    writeTwips(store, TopKey, position.top);
    writeTwips(store, WidthKey, position.width);
    writeTwips(store, HeightKey, position.height);
}

QRect positionToPixels(const MainPosition& position, double logicalDpi) {
    return QRect(twipsToPixels(position.left, logicalDpi), twipsToPixels(position.top, logicalDpi),
                 twipsToPixels(position.width, logicalDpi),
                 twipsToPixels(position.height, logicalDpi));
}

MainPosition pixelsToPosition(const QRect& rect, double logicalDpi) {
    return MainPosition{static_cast<float>(pixelsToTwips(rect.x(), logicalDpi)),
                        static_cast<float>(pixelsToTwips(rect.y(), logicalDpi)),
                        static_cast<float>(pixelsToTwips(rect.width(), logicalDpi)),
                        static_cast<float>(pixelsToTwips(rect.height(), logicalDpi))};
}

QRect reachablePlacement(const QRect& wanted, const QList<QRect>& availableScreens,
                         const QPoint& defaultTopLeft) {
    // An empty or negative size would meet nothing; judge such a window by its corner.
    const QRect probe(wanted.topLeft(), QSize(qMax(1, wanted.width()), qMax(1, wanted.height())));
    for (const QRect& screen : availableScreens)
        if (screen.intersects(probe)) return wanted;
    return QRect(defaultTopLeft, wanted.size());
}
