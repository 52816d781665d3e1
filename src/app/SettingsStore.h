#pragma once

#include <memory>
#include <QSettings>
#include <QString>

// The per-user settings of the program: section "Settings" of a settings file in the program folder.
class SettingsStore
{
public:
    explicit SettingsStore(const QString& programFolder);
    // Writes pending changes, as sync() does.
    ~SettingsStore();

    static constexpr char Section[] = "Settings";

    // The value of key in section "Settings", or def when missing.
    QString get(const QString& key, const QString& def = {}) const;
    bool getBool(const QString& key, bool def) const;
    int getInt(const QString& key, int def) const;

    void save(const QString& key, const QString& value);
    void saveBool(const QString& key, bool value);
    void saveInt(const QString& key, int value);

    // Deletes the whole "Settings" section.
    void ClearRegistry();

    // Writes pending changes to disk.
    void sync();

    QString fileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
};
