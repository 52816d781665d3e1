#include "objects/WriteLimit.h"

#include <algorithm>

namespace {

qint64& remaining()
{
    static qint64 bytes = -1;
    return bytes;
}

} // namespace

namespace WriteLimit {

void set(qint64 bytes)
{
    remaining() = bytes;
}

bool write(QFileDevice& file, const char* data, qint64 size, QString* error)
{
    qint64& left = remaining();
    const qint64 allowed = left < 0 ? size : std::min(size, left);
    const qint64 written = allowed > 0 ? file.write(data, allowed) : 0;
    if (written > 0 && left >= 0) {
        left -= written;
    }
    if (written != size) {
        if (error) {
            *error = written < 0 || allowed == size ? file.errorString()
                                                    : QStringLiteral("No space left on device");
        }
        return false;
    }
    return true;
}

} // namespace WriteLimit
