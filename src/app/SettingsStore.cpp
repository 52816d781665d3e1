#include "app/SettingsStore.h"

#include <QFile>
#include <QStringList>

namespace {

QString keyOf(const QString& key)
{
    return QLatin1String(SettingsStore::Section) + u'/' + key;
}

} // namespace

SettingsStore::SettingsStore(const QString& programFolder)
    : m_settings(
          std::make_unique<QSettings>(programFolder + QLatin1String("/zorbeth.ini"), QSettings::IniFormat))
{}

SettingsStore::~SettingsStore()
{
    sync();
}

QString SettingsStore::get(const QString& key, const QString& def) const
{
    const QVariant value = m_settings->value(keyOf(key));
    if (!value.isValid()) {
        return def;
    }
    // A hand-edited value with a comma comes back as a list.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(u',');
    }
    return value.toString();
}

bool SettingsStore::getBool(const QString& key, bool def) const
{
    const QString text = get(key).trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    return ok ? number != 0 : def;
}

int SettingsStore::getInt(const QString& key, int def) const
{
    bool ok = false;
    const int number = get(key).trimmed().toInt(&ok);
    return ok ? number : def;
}

void SettingsStore::save(const QString& key, const QString& value)
{
    m_settings->setValue(keyOf(key), value);
}

void SettingsStore::saveBool(const QString& key, bool value)
{
    save(key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

void SettingsStore::saveInt(const QString& key, int value)
{
    save(key, QString::number(value));
}

void SettingsStore::ClearRegistry()
{
    m_settings->remove(QLatin1String(Section));
}

void SettingsStore::sync()
{
    m_settings->sync();
    // The settings may hold server names and folders: keep them from other users.
    if (QFile::exists(fileName())) {
        QFile::setPermissions(fileName(), QFile::ReadOwner | QFile::WriteOwner);
    }
}

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}
