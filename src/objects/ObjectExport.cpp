#include "objects/ObjectExport.h"

#include "objects/SafeNames.h"
#include "store/PathNames.h"
#include "store/SafeFile.h"

#include <QFileInfo>

namespace ObjectExport {

Written writeInFolder(const QString& folder, const QString& name, const QByteArray& bytes)
{
    Written result;
    result.path = MergePathData(folder, name);
    if (name.isEmpty() || SafeNames::fileName(name) != name) {
        result.error = QStringLiteral("\"%1\" is not a plain file name.").arg(name);
        return result;
    }
    if (!QFileInfo(folder).isDir()) {
        result.error = QStringLiteral("%1 is not a folder.").arg(folder);
        return result;
    }
    SafeFile temp(MergePathData(folder, QStringLiteral(".zqObject-XXXXXX")), SafeFile::Mode::Temporary);
    if (!temp.open()) {
        result.error = temp.errorString();
        return result;
    }
    // A replaced file keeps its permissions; a new one gets the usual ones rather than the
    // temporary file's private ones.
    const QFileInfo existing(result.path);
    const QFileDevice::Permissions permissions = existing.isFile() && !existing.isSymLink()
                                                     ? existing.permissions()
                                                     : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                           QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (!temp.write(bytes) || !temp.setPermissions(permissions) || !temp.commit() ||
        !SafeFile::rename(temp.fileName(), result.path, &result.error)) {
        if (result.error.isEmpty()) {
            result.error = temp.errorString();
        }
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace ObjectExport
