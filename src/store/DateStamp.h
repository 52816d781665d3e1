#pragma once

#include <QDateTime>
#include <QString>

// The date stamp every change writes into a record, "yyyy-mm-dd hh:nn:ss" in local time.
namespace DateStamp {

// The current moment, or the pinned one while one is set.
QDateTime moment();

// The stamp for now, or for the pinned time while one is set.
QString now();

// Formats a given moment the same way.
QString format(const QDateTime& moment);

// Pins the clock for tests; an invalid QDateTime releases it.
void pin(const QDateTime& moment);

} // namespace DateStamp
