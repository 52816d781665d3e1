#include "objects/ResourceCompaction.h"

#include "objects/ResourceFile.h"
#include "store/SafeFile.h"

#include <QFile>
#include <QFileInfo>

namespace ResourceCompaction {

QString tempPathFor(const QString& resourcePath)
{
    return resourcePath + QStringLiteral(".tmp");
}

Result writeCompacted(const QString& resourcePath, const CodeArray& records)
{
    Result result;
    result.tempPath = tempPathFor(resourcePath);
    QFile old(resourcePath);
    const bool exists = QFileInfo(resourcePath).isFile();
    if (exists && !old.open(QIODevice::ReadOnly)) {
        result.error =
            QStringLiteral("The resource file %1 cannot be read: %2").arg(resourcePath, old.errorString());
        return result;
    }
    const qint64 oldSize = exists ? old.size() : 0;
    // Every object must be readable before anything is written: a compaction that dropped one would
    // lose it for good once the old file is gone.
    for (size_t i = 0; i < records.size(); ++i) {
        const SnippetRecord& r = records[i];
        if (!r.Deleted && r.ObjectFlag == 1 &&
            !ResourceFile::inRange(r.ObjectStart, r.ObjectLength, oldSize)) {
            result.error =
                QStringLiteral("The object \"%1\" of the snippet \"%2\" does not lie inside the resource "
                               "file (%3 bytes from position %4, file of %5 bytes).")
                    .arg(r.ObjectName, r.Title)
                    .arg(r.ObjectLength)
                    .arg(r.ObjectStart)
                    .arg(oldSize);
            return result;
        }
    }
    if (QFileInfo::exists(result.tempPath) && !QFile::remove(result.tempPath)) {
        result.error = QStringLiteral("The old temporary file %1 cannot be removed.").arg(result.tempPath);
        return result;
    }
    SafeFile temp(result.tempPath, SafeFile::Mode::Create);
    if (!temp.open()) {
        result.error = QStringLiteral("%1 cannot be written: %2").arg(result.tempPath, temp.errorString());
        return result;
    }
    QByteArray buffer;
    QString error;
    qint64 size = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        const SnippetRecord& r = records[i];
        if (r.Deleted || r.ObjectFlag != 1) {
            continue;
        }
        if (size >= ResourceFile::MaxPosition) {
            error = QStringLiteral("The objects in use need more than 2 GiB.");
            break;
        }
        if (!ResourceFile::copyRange(old, r.ObjectStart, r.ObjectLength, temp, buffer, &error)) {
            break;
        }
        result.starts.emplace_back(i, qint32(size + 1));
        size += r.ObjectLength;
    }
    // Committed means synced: the library saved next points into this file.
    if (error.isEmpty() && !temp.commit()) {
        error = temp.errorString();
    }
    if (!error.isEmpty()) {
        temp.cancel();
        result.starts.clear();
        result.error = QStringLiteral("%1 could not be written: %2").arg(result.tempPath, error);
        return result;
    }
    result.size = size;
    result.ok = true;
    return result;
}

std::vector<std::pair<size_t, qint32>> applyStarts(CodeArray& records,
                                                   const std::vector<std::pair<size_t, qint32>>& starts)
{
    std::vector<std::pair<size_t, qint32>> previous;
    previous.reserve(starts.size());
    for (const auto& [index, start] : starts) {
        previous.emplace_back(index, records[index].ObjectStart);
        records[index].ObjectStart = start;
    }
    return previous;
}

bool replace(const QString& resourcePath, const QString& tempPath, QString* error)
{
    // A rename over the old file swaps them in one step: there is no moment without a resource file.
    return SafeFile::rename(tempPath, resourcePath, error);
}

Interrupted interrupted(const QString& resourcePath, const CodeArray& records)
{
    const QFileInfo temp(tempPathFor(resourcePath));
    if (!temp.isFile()) {
        return Interrupted::None;
    }
    // The compacted file holds the objects in use one after another in code-array order; a library
    // whose positions are exactly that was saved for it.
    qint64 next = 1;
    for (const SnippetRecord& r : records) {
        if (r.Deleted || r.ObjectFlag != 1) {
            continue;
        }
        if (r.ObjectStart != next) {
            return Interrupted::Discard;
        }
        next += r.ObjectLength;
    }
    return temp.size() == next - 1 ? Interrupted::Finish : Interrupted::Discard;
}

bool finishInterrupted(const QString& resourcePath, const CodeArray& records, QString* error)
{
    const QString tempPath = tempPathFor(resourcePath);
    switch (interrupted(resourcePath, records)) {
    case Interrupted::None:
        return true;
    case Interrupted::Finish:
        return replace(resourcePath, tempPath, error);
    case Interrupted::Discard:
        break;
    }
    if (!QFile::remove(tempPath)) {
        if (error) {
            *error = QStringLiteral("The old temporary file %1 cannot be removed.").arg(tempPath);
        }
        return false;
    }
    return true;
}

} // namespace ResourceCompaction
