#include "store/DateStamp.h"

namespace {

QDateTime& pinned()
{
    static QDateTime moment;
    return moment;
}

} // namespace

namespace DateStamp {

QDateTime moment()
{
    return pinned().isValid() ? pinned() : QDateTime::currentDateTime();
}

QString now()
{
    return format(moment());
}

QString format(const QDateTime& moment)
{
    return moment.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void pin(const QDateTime& moment)
{
    pinned() = moment;
}

} // namespace DateStamp
