#pragma once

#include <QString>

// Object names come with a library that may come from anyone; these make them safe to write under.
namespace SafeNames {

// The most bytes a file name may take on the usual file systems.
inline constexpr qsizetype MaxNameBytes = 255;

// The stored name reduced to a plain file name: its last component after "/", "\" or ":", without
// control characters, shortened to MaxNameBytes keeping its extension. Empty when nothing usable is
// left (an empty or blank name, "." or "..", only dots).
QString fileName(const QString& stored);

} // namespace SafeNames
