#pragma once

#include <QString>
#include <memory>
#include <optional>

class QSettings;

// The per-user settings store: texts addressed by section and key, kept for the
// application "Quorvel" of the organisation "Quorvel" in Qt's native location (on Linux
// $XDG_CONFIG_HOME/Quorvel/Quorvel.conf). Tests give an explicit file instead.
class SettingsStore {
  public:
    SettingsStore();
    // An INI file at `filePath`, created when first written.
    explicit SettingsStore(const QString& filePath);
    ~SettingsStore();

    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The text stored under section/key, or nothing when the key is absent.
    std::optional<QString> text(const QString& section, const QString& key) const;
    // The stored text, or `fallback` when the key is absent.
    QString text(const QString& section, const QString& key, const QString& fallback) const;

    void setText(const QString& section, const QString& key, const QString& value);

    // Writes pending changes to disk; false when the store could not be written.
    bool flush();

    QString fileName() const;

  private:
    std::unique_ptr<QSettings> settings_;
};
