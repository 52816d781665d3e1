#include "store/Backup.h"

#include "store/DatabaseFile.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QFile>

namespace Backup {

QString backupPath(const QString& databasePath)
{
    return databasePath + QStringLiteral(".old");
}

Result backup(const QString& databasePath)
{
    return copyLibrary(databasePath, backupPath(databasePath));
}

Result restore(const QString& databasePath)
{
    return copyLibrary(backupPath(databasePath), databasePath);
}

Result copyLibrary(const QString& source, const QString& target)
{
    const QString shownSource = QDir::toNativeSeparators(source);
    QFile in(source);
    if (!in.exists()) {
        return {Status::SourceMissing, QStringLiteral("The file %1 does not exist.").arg(shownSource)};
    }
    if (!in.open(QIODevice::ReadOnly)) {
        return {Status::NotALibrary,
                QStringLiteral("The file %1 could not be read: %2").arg(shownSource, in.errorString())};
    }
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        return {Status::NotALibrary,
                QStringLiteral("The file %1 could not be read: %2").arg(shownSource, in.errorString())};
    }
    in.close();

    // The bytes checked are the bytes written, so nothing can change in between. The walk decodes
    // nothing: a large library is checked without a second copy of it in memory.
    if (!DatabaseFile::scanBytes(bytes).complete) {
        return {
            Status::NotALibrary,
            QStringLiteral("The file %1 is not a complete Zorbeth library: it ends before its end marker.")
                .arg(shownSource)};
    }

    QString why;
    if (!SafeFile::writeWhole(target, bytes, &why)) {
        return {Status::WriteFailed, QStringLiteral("The file %1 could not be written: %2")
                                         .arg(QDir::toNativeSeparators(target), why)};
    }
    return {};
}

} // namespace Backup
