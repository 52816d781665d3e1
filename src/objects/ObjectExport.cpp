#include "objects/ObjectExport.h"

#include "objects/ProgramFiles.h"
#include "objects/ResourceFile.h"
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

Extracted extract(const Workspace& ws, const QString& resourcePath, const SnippetRecord& record,
                  const QString& folder, QByteArray& buffer)
{
    using Outcome = Extracted::Outcome;
    Extracted result;
    const QString name = SafeNames::fileName(record.ObjectName);
    if (name.isEmpty()) {
        result.path = folder;
        result.error =
            QStringLiteral("The object's name \"%1\" cannot be used as a file name.").arg(record.ObjectName);
        return result;
    }
    result.path = MergePathData(folder, name);
    result.error = ProgramFiles::refusal(ws, result.path);
    if (!result.error.isEmpty()) {
        return result;
    }
    ResourceFile::ReadResult read = ResourceFile::read(resourcePath, record.ObjectStart, record.ObjectLength);
    if (!read.ok) {
        buffer.clear();
        result.outcome = Outcome::ReadFailed;
        result.error = read.error;
        return result;
    }
    buffer = std::move(read.bytes);
    const Written written = writeInFolder(folder, name, buffer);
    result.outcome = written.ok ? Outcome::Written : Outcome::WriteFailed;
    result.error = written.error;
    return result;
}

} // namespace ObjectExport
