#pragma once

#include <QString>

// The two small version files written into the program folder at every start.
namespace VersionFiles {

// major.minor.revision.size-of-the-program-file, all plain decimal numbers.
QString versionLine(const QString& programFile);

// Writes "zqupdate.dat" and "zorbeth8.ver"; returns false when either could not be written.
bool write(const QString& programFolder, const QString& programFile);

} // namespace VersionFiles
