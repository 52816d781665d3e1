#include "library/DiskStamp.h"

#include <QFileInfo>

DiskStamp DiskStamp::of(const QString& path)
{
    const QFileInfo info(path);
    DiskStamp stamp;
    stamp.exists = info.exists();
    if (stamp.exists) {
        stamp.size = info.size();
        stamp.modified = info.lastModified();
    }
    return stamp;
}

bool DiskStamp::changedOnDisk(const QString& path) const
{
    const DiskStamp now = of(path);
    return now.exists && now != *this;
}
