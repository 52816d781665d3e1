#include "objects/ObjectExport.h"

#include "objects/SafeNames.h"
#include "store/PathNames.h"

#include <filesystem>
#include <QFileInfo>
#include <QTemporaryFile>

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
    QTemporaryFile temp(MergePathData(folder, QStringLiteral(".zqObject-XXXXXX")));
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
    if (temp.write(bytes) != bytes.size() || !temp.flush() || !temp.setPermissions(permissions)) {
        result.error = temp.errorString();
        return result;
    }
    temp.close();
    std::error_code code;
    std::filesystem::rename(std::filesystem::path(temp.fileName().toStdU16String()),
                            std::filesystem::path(result.path.toStdU16String()), code);
    if (code) {
        result.error = QString::fromStdString(code.message());
        return result;
    }
    temp.setAutoRemove(false);
    result.ok = true;
    return result;
}

} // namespace ObjectExport
