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

    // The value of key in section "Settings", or def when missing. Key names match in any case.
    QString get(const QString& key, const QString& def = {}) const;
    bool contains(const QString& key) const;
    bool getBool(const QString& key, bool def) const;
    int getInt(const QString& key, int def) const;

    void save(const QString& key, const QString& value);
    void saveBool(const QString& key, bool value);
    void saveInt(const QString& key, int value);

    // A value of another group of the same file, such as "Macros" beside "Settings"; def when missing.
    QString getIn(const QString& group, const QString& key, const QString& def = {}) const;
    void saveIn(const QString& group, const QString& key, const QString& value);

    // Every key and value of the section, in the store's order.
    QList<QPair<QString, QString>> all() const;

    // "True"/"False" in any case, or a number (non-zero is true); ok tells whether the text was either.
    static bool parseBool(const QString& text, bool* ok);

    // Deletes the whole "Settings" section.
    void ClearRegistry();

    // Writes pending changes to disk; false with error set when the file could not be written, in
    // which case it is as it was and the changes stay pending.
    bool sync(QString* error = nullptr);

    QString fileName() const;

private:
    // The key as stored, which may differ in case from the name asked for.
    QString storedKey(const QString& key) const;

    std::unique_ptr<QSettings> m_settings;
};
