#pragma once

#include <QtGlobal>

// The test hook of every file write: a plan that makes the k-th write point fail (opening, a write,
// a flush, a sync, a commit or a rename, counted across the operation), or that lets only so many
// more bytes reach the disk, as a full disk would. Without a plan nothing fails.
namespace WriteFaults {

// Makes the point-th write point from now fail (1 is the next one); 0 lifts the plan. Either way the
// count of points passed starts again at 0.
void failAt(int point);

// Lets only bytes more bytes be written from now on; a negative value lifts the limit.
void limitBytes(qint64 bytes);

// The write points passed since the last failAt(), the failing one included.
int passed();

// Counts one write point; true when the plan makes it fail.
bool hit();

// How many of size bytes the byte limit lets through now, and takes them from it.
qint64 take(qint64 size);

// The reason given for a failure the plan made.
QString reason();

} // namespace WriteFaults
