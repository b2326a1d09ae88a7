#include "shell/mainposition.h"

#include <QString>

#include "core/numbertext.h"
#include "platform/settingsstore.h"
#include "platform/twips.h"

namespace {

const QString kSection = QStringLiteral("Settings");
const QString kLeft = QStringLiteral("MainLeft");
const QString kTop = QStringLiteral("MainTop");
const QString kWidth = QStringLiteral("MainWidth");
const QString kHeight = QStringLiteral("MainHeight");

float readTwips(const SettingsStore& store, const QString& key, float fallback) {
    const std::optional<QString> text = store.text(kSection, key);
    if (!text) return fallback;
    const numbertext::ParsedSingle parsed = numbertext::parseSingle(text->toStdString());
    return parsed.ok() ? *parsed.value : fallback;
}

void writeTwips(SettingsStore& store, const QString& key, float twips) {
    store.setText(kSection, key, QString::fromStdString(numbertext::generalText(twips)));
}

}  // namespace

MainPosition readMainPosition(const SettingsStore& store) {
    const MainPosition defaults;
    MainPosition p;
    p.left = readTwips(store, kLeft, defaults.left);
    p.top = readTwips(store, kTop, defaults.top);
    p.width = readTwips(store, kWidth, defaults.width);
    p.height = readTwips(store, kHeight, defaults.height);
    return p;
}

void writeMainPosition(SettingsStore& store, const MainPosition& position) {
    writeTwips(store, kLeft, position.left);
    writeTwips(store, kTop, position.top);
    writeTwips(store, kWidth, position.width);
    writeTwips(store, kHeight, position.height);
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
