#pragma once

#include <QDateTime>
#include <QString>

// What a file on disk looked like when the program last read or wrote it: enough to notice that
// another program replaced it meanwhile.
struct DiskStamp
{
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;

    // The file as it is now.
    static DiskStamp of(const QString& path);

    // True when the file at path exists and is no longer the one this stamp describes.
    // A file deleted meanwhile has nothing to lose, so it does not count as changed.
    bool changedOnDisk(const QString& path) const;

    bool operator==(const DiskStamp& other) const = default;
};
