#include "library/VersionFiles.h"

#include "settings/AppInfo.h"
#include "store/PathNames.h"
#include "store/SafeFile.h"

#include <QFileInfo>

namespace {

bool writeLines(const QString& path, const QStringList& lines)
{
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toUtf8() + "\r\n";
    }
    return SafeFile::writeWhole(path, bytes, nullptr);
}

} // namespace

namespace VersionFiles {

QString versionLine(const QString& programFile)
{
    const QFileInfo program(programFile);
    const qint64 size = program.isFile() ? program.size() : 0;
    return QStringLiteral("%1.%2.%3.%4")
        .arg(AppInfo::VersionMajor)
        .arg(AppInfo::VersionMinor)
        .arg(AppInfo::VersionRevision)
        .arg(size);
}

bool write(const QString& programFolder, const QString& programFile)
{
    const QString version = versionLine(programFile);
    const QString product = QStringLiteral("Zorbeth8");
    const bool update =
        writeLines(MergePathData(programFolder, QStringLiteral("zqupdate.dat")), {product, product, version});
    const bool ver = writeLines(MergePathData(programFolder, QStringLiteral("zorbeth8.ver")), {version});
    return update && ver;
}

} // namespace VersionFiles
