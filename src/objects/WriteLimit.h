#pragma once

#include <QFileDevice>
#include <QString>

// The bytes this process may still write into the resource file and its compacted copy, as a full
// disk would allow; tests lower it to make a write fail part-way. Unlimited unless set.
namespace WriteLimit {

// Allows bytes more bytes from now on; a negative value lifts the limit.
void set(qint64 bytes);

// Writes size bytes of data to file, as far as the limit lets it; false with error set when the
// limit or the device stopped the write.
bool write(QFileDevice& file, const char* data, qint64 size, QString* error);

} // namespace WriteLimit
