#include "sync/RemoteFolder.h"

#include "store/Backup.h"
#include "store/SafeFile.h"

#include <QDir>
#include <QFile>

namespace RemoteFolder {

QString normalise(const QString& folder)
{
    QString stored = QDir::fromNativeSeparators(folder.trimmed());
    if (!stored.isEmpty() && !stored.endsWith(QLatin1Char('/'))) {
        stored += QLatin1Char('/');
    }
    return stored;
}

bool copyFile(const QString& source, const QString& target, QString* error)
{
    QFile in(source);
    SafeFile out(target);
    auto fail = [&](const QString& why) {
        if (error) {
            *error = why;
        }
        out.cancel();
        return false;
    };
    if (!in.open(QIODevice::ReadOnly)) {
        return fail(QStringLiteral("The file %1 could not be read: %2")
                        .arg(QDir::toNativeSeparators(source), in.errorString()));
    }
    if (!out.open()) {
        return fail(QStringLiteral("The file %1 could not be written: %2")
                        .arg(QDir::toNativeSeparators(target), out.errorString()));
    }
    // In pieces: a resource file can be larger than memory allows at once.
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 read = in.read(block.data(), block.size());
        if (read < 0) {
            return fail(QStringLiteral("The file %1 could not be read: %2")
                            .arg(QDir::toNativeSeparators(source), in.errorString()));
        }
        if (read == 0) {
            break;
        }
        if (!out.write(block.constData(), read)) {
            return fail(QStringLiteral("The file %1 could not be written: %2")
                            .arg(QDir::toNativeSeparators(target), out.errorString()));
        }
    }
    if (!out.commit()) {
        return fail(QStringLiteral("The file %1 could not be written: %2")
                        .arg(QDir::toNativeSeparators(target), out.errorString()));
    }
    return true;
}

CopyResult copyLocalLibrary(const QString& programFolder, const QString& remoteFolder,
                            const QString& databaseFileName, const QString& resourceFileName,
                            bool alsoResource)
{
    CopyResult result;
    const QDir from(programFolder);
    const QString to = normalise(remoteFolder);
    const Backup::Result copied = Backup::copyLibrary(from.filePath(databaseFileName), to + databaseFileName);
    if (!copied.ok()) {
        result.error = copied.error;
        return result;
    }
    const QString resource = from.filePath(resourceFileName);
    if (alsoResource && QFile::exists(resource)) {
        QString why;
        if (!copyFile(resource, to + resourceFileName, &why)) {
            result.error = QStringLiteral("The library was copied, but its attachments were not. ") + why;
            return result;
        }
        result.resourceCopied = true;
    }
    result.ok = true;
    return result;
}

} // namespace RemoteFolder
