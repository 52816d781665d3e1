#include "objects/ResourceFile.h"

#include "library/Workspace.h"
#include "store/PathNames.h"
#include "store/SafeFile.h"

#include <algorithm>
#include <new>
#include <QFileInfo>

namespace {

// Large enough that a copy runs at the disk's pace, small enough to stay out of the way.
constexpr qint64 ChunkBytes = 4 * 1024 * 1024;

} // namespace

namespace ResourceFile {

QString path(const Workspace& ws)
{
    return MergePathData(QFileInfo(ws.databasePath()).path(), ws.resourceFileName);
}

qint64 size(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() ? info.size() : 0;
}

bool inRange(qint64 start, qint64 length, qint64 fileSize)
{
    return start >= 1 && length >= 0 && length <= fileSize && start - 1 <= fileSize - length;
}

ReadResult read(const QString& path, qint64 start, qint64 length)
{
    ReadResult result;
    QFile file(path);
    if (!QFileInfo(path).isFile()) {
        result.error = QStringLiteral("The resource file %1 does not exist.").arg(path);
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    if (!inRange(start, length, file.size())) {
        result.error = QStringLiteral("The object (%1 bytes from position %2) does not lie inside the "
                                      "resource file of %3 bytes.")
                           .arg(length)
                           .arg(start)
                           .arg(file.size());
        return result;
    }
    try {
        result.bytes.resize(length);
    } catch (const std::bad_alloc&) {
        result.error = QStringLiteral("Not enough memory for an object of %1 bytes.").arg(length);
        return result;
    }
    if (!file.seek(start - 1) || file.read(result.bytes.data(), length) != length) {
        result.error = file.errorString();
        result.bytes.clear();
        return result;
    }
    result.ok = true;
    return result;
}

bool copyRange(QFile& from, qint64 start, qint64 length, SafeFile& to, QByteArray& buffer, QString* error,
               bool* readFailed)
{
    auto failed = [&](const QString& why, bool reading) {
        *error = why;
        if (readFailed) {
            *readFailed = reading;
        }
        return false;
    };
    if (!from.seek(start - 1)) {
        return failed(from.errorString(), true);
    }
    if (buffer.size() < std::min(length, ChunkBytes)) {
        buffer.resize(std::min(length, ChunkBytes));
    }
    for (qint64 left = length; left > 0;) {
        const qint64 wanted = std::min(left, qint64(buffer.size()));
        const qint64 got = from.read(buffer.data(), wanted);
        if (got != wanted) {
            return failed(got < 0 ? from.errorString() : QStringLiteral("The file ended early."), true);
        }
        if (!to.write(buffer.constData(), got)) {
            return failed(to.errorString(), false);
        }
        left -= got;
    }
    return true;
}

AppendResult append(const QString& path, const QString& sourcePath)
{
    AppendResult result;
    QFile source(sourcePath);
    if (!QFileInfo(sourcePath).isFile() || !source.open(QIODevice::ReadOnly)) {
        result.error =
            QStringLiteral("The file %1 cannot be read%2.")
                .arg(sourcePath, source.exists() ? QStringLiteral(": ") + source.errorString() : QString());
        return result;
    }
    const qint64 length = source.size();
    if (length == 0) {
        result.empty = true;
        return result;
    }
    if (length > MaxPosition) {
        result.error =
            QStringLiteral("The file %1 is larger than 2 GiB and cannot be attached.").arg(sourcePath);
        return result;
    }
    // Whatever stops the append, the file goes back to what it was.
    SafeFile target(path, SafeFile::Mode::Append);
    if (!target.open()) {
        result.writeFailed = true;
        result.error = target.errorString();
        return result;
    }
    const qint64 oldSize = target.startSize();
    if (oldSize >= MaxPosition) {
        result.error =
            QStringLiteral("The resource file has reached 2 GiB; compact it before attaching more.");
        return result;
    }
    QString error;
    QByteArray buffer;
    bool readFailed = false;
    if (!copyRange(source, 1, length, target, buffer, &error, &readFailed)) {
        target.cancel();
        result.writeFailed = !readFailed;
        result.error =
            readFailed ? QStringLiteral("The file %1 cannot be read: %2").arg(sourcePath, error) : error;
        return result;
    }
    if (!target.commit()) {
        result.writeFailed = true;
        result.error = target.errorString();
        target.cancel();
        return result;
    }
    result.ok = true;
    result.start = qint32(oldSize + 1);
    result.length = qint32(length);
    return result;
}

} // namespace ResourceFile
