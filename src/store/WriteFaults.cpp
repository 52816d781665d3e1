#include "store/WriteFaults.h"

#include <algorithm>
#include <atomic>
#include <QString>

namespace {

std::atomic<int> failPoint{0};
std::atomic<int> points{0};
std::atomic<qint64> bytesLeft{-1};

} // namespace

namespace WriteFaults {

void failAt(int point)
{
    failPoint = point;
    points = 0;
}

void limitBytes(qint64 bytes)
{
    bytesLeft = bytes;
}

int passed()
{
    return points;
}

bool hit()
{
    const int point = ++points;
    return point == failPoint.load();
}

qint64 take(qint64 size)
{
    qint64 left = bytesLeft.load();
    for (;;) {
        if (left < 0) {
            return size;
        }
        const qint64 allowed = std::min(size, left);
        if (bytesLeft.compare_exchange_weak(left, left - allowed)) {
            return allowed;
        }
    }
}

QString reason()
{
    return QStringLiteral("No space left on device");
}

} // namespace WriteFaults
