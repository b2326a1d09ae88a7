#include "platform/settingsstore.h"

#include <QSettings>

namespace {
const QString OrganisationName = QStringLiteral("Quorvel");
const QString ApplicationName = QStringLiteral("Quorvel");

QString path(const QString& section, const QString& key) {
    return section + QLatin1Char('/') + key;
}
}  // namespace

SettingsStore::SettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                            OrganisationName, ApplicationName)) {}

SettingsStore::SettingsStore(const QString& filePath)
    : settings_(std::make_unique<QSettings>(filePath, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

std::optional<QString> SettingsStore::text(const QString& section, const QString& key) const {
    const QVariant v = settings_->value(path(section, key));
    if (!v.isValid()) return std::nullopt;
    // A hand-edited file may hold a list ("1, 2"); keep it as the text it reads as.
    if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

QString SettingsStore::text(const QString& section, const QString& key,
                            const QString& fallback) const {
    return text(section, key).value_or(fallback);
}

void SettingsStore::setText(const QString& section, const QString& key, const QString& value) {
    settings_->setValue(path(section, key), value);
}

bool SettingsStore::flush() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

QString SettingsStore::fileName() const { return settings_->fileName(); }
