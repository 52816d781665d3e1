#include "settings/SettingsStore.h"

#include "store/WriteFaults.h"

#include <QFile>
#include <QStringList>

namespace {

QString keyOf(const QString& key)
{
    return QLatin1String(SettingsStore::Section) + u'/' + key;
}

} // namespace

SettingsStore::SettingsStore(const QString& programFolder)
{
    // The settings hold server names and a password. Writes keep the permissions of the file they
    // replace, so the file is made owner-only before anything is written into it.
    const QString path = programFolder + QLatin1String("/zorbeth.ini");
    if (!QFile::exists(path)) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        }
    } else {
        // A file an older version left readable to others becomes private before the next write.
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
    m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

SettingsStore::~SettingsStore()
{
    sync();
}

QString SettingsStore::storedKey(const QString& key) const
{
    if (m_settings->contains(keyOf(key))) {
        return keyOf(key);
    }
    m_settings->beginGroup(QLatin1String(Section));
    const QStringList keys = m_settings->childKeys();
    m_settings->endGroup();
    for (const QString& stored : keys) {
        if (stored.compare(key, Qt::CaseInsensitive) == 0) {
            return keyOf(stored);
        }
    }
    return keyOf(key);
}

bool SettingsStore::contains(const QString& key) const
{
    return m_settings->contains(storedKey(key));
}

QList<QPair<QString, QString>> SettingsStore::all() const
{
    QList<QPair<QString, QString>> pairs;
    m_settings->beginGroup(QLatin1String(Section));
    const QStringList keys = m_settings->childKeys();
    m_settings->endGroup();
    for (const QString& key : keys) {
        pairs.append({key, get(key)});
    }
    return pairs;
}

bool SettingsStore::parseBool(const QString& text, bool* ok)
{
    const QString t = text.trimmed();
    *ok = true;
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    return t.toLongLong(ok) != 0;
}

QString SettingsStore::get(const QString& key, const QString& def) const
{
    const QVariant value = m_settings->value(storedKey(key));
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
    bool ok = false;
    const bool value = parseBool(get(key), &ok);
    return ok ? value : def;
}

int SettingsStore::getInt(const QString& key, int def) const
{
    bool ok = false;
    const int number = get(key).trimmed().toInt(&ok);
    return ok ? number : def;
}

void SettingsStore::save(const QString& key, const QString& value)
{
    m_settings->setValue(storedKey(key), value);
}

QString SettingsStore::getIn(const QString& group, const QString& key, const QString& def) const
{
    const QVariant value = m_settings->value(group + u'/' + key, def);
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(u',');
    }
    return value.toString();
}

void SettingsStore::saveIn(const QString& group, const QString& key, const QString& value)
{
    m_settings->setValue(group + u'/' + key, value);
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

bool SettingsStore::sync(QString* error)
{
    // QSettings replaces the file through its own safe save; the fault plan still counts it as the
    // one write point of the settings.
    if (WriteFaults::hit()) {
        if (error) {
            *error = QStringLiteral("The settings file %1 could not be written: %2")
                         .arg(fileName(), WriteFaults::reason());
        }
        return false;
    }
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError) {
        if (error) {
            *error = QStringLiteral("The settings file %1 could not be written.").arg(fileName());
        }
        return false;
    }
    // The settings may hold server names and folders: keep them from other users.
    if (QFile::exists(fileName())) {
        QFile::setPermissions(fileName(), QFile::ReadOwner | QFile::WriteOwner);
    }
    return true;
}

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}
