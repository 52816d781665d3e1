#include "settings/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include "ZorbethPaths.h"

namespace {

// The sample library shipped in the data folder, under the name the program reads.
constexpr char SampleLibrary[] = "zorbeth.txt";

} // namespace

namespace ProgramFolder {

QString resolve(const QString& folderOption)
{
    QString folder = folderOption;
    if (folder.isEmpty()) {
        folder = qEnvironmentVariable("ZORBETH_FOLDER");
    }
    if (folder.isEmpty()) {
        folder =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QLatin1String("/zorbeth");
    }
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

QString shippedDataFolder()
{
    if (QCoreApplication::instance()) {
        const QDir installed(QCoreApplication::applicationDirPath() + u'/' +
                             QLatin1String(ZORBETH_DATA_RELATIVE_TO_BIN));
        if (installed.exists() && !installed.isEmpty()) {
            return QDir::cleanPath(installed.absolutePath());
        }
    }
    return QStringLiteral(ZORBETH_SOURCE_DATA_DIR);
}

bool seed(const QString& folder, const QString& dataFolder, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error) {
            *error = why;
        }
        return false;
    };
    const QDir target(folder);
    // A folder that holds anything has been used: if its library is gone, that must be said rather
    // than covered up with the sample library.
    const bool isNew = !target.exists() ||
                       target.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    if (!QDir().mkpath(folder)) {
        return fail(QStringLiteral("Could not create the folder %1.").arg(folder));
    }
    const QDir source(dataFolder);
    if (dataFolder.isEmpty() || !source.exists()) {
        return true;
    }
    QDirIterator it(dataFolder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString relative = source.relativeFilePath(entry.filePath());
        const QString to = target.filePath(relative);
        if (!isNew && relative == QLatin1String(SampleLibrary)) {
            continue;
        }
        if (entry.isDir()) {
            if (!QDir().mkpath(to)) {
                return fail(QStringLiteral("Could not create the folder %1.").arg(to));
            }
        } else if (!QFileInfo::exists(to)) {
            // What the user already has is theirs: only missing files are added.
            if (!QDir().mkpath(QFileInfo(to).absolutePath()) || !QFile::copy(entry.filePath(), to)) {
                return fail(QStringLiteral("Could not copy %1 to %2.").arg(entry.filePath(), to));
            }
            QFile::setPermissions(to, QFile::permissions(to) | QFile::WriteOwner);
        }
    }
    return true;
}

} // namespace ProgramFolder
