#pragma once

#include <QString>

// The shared-folder library: a second library kept in a folder of the user's choice, under the
// same file names as the one in the program folder.
namespace RemoteFolder {

inline constexpr char NotSpecified[] = "No remote folder specified!";

// The folder as it is stored: its letters as chosen (a case-sensitive file system needs them) and
// a trailing "/"; empty stays empty.
QString normalise(const QString& folder);

// Copies the file at source over target through a temporary file beside target, so target is
// either the old file or the whole new one. False with error set on failure.
bool copyFile(const QString& source, const QString& target, QString* error = nullptr);

struct CopyResult
{
    bool ok = false;
    bool resourceCopied = false;
    QString error; // what went wrong, for the user
};

// Copies the local library file to the remote folder, only when it is a complete library. With
// alsoResource the resource file follows when the program folder has one.
CopyResult copyLocalLibrary(const QString& programFolder, const QString& remoteFolder,
                            const QString& databaseFileName, const QString& resourceFileName,
                            bool alsoResource);

} // namespace RemoteFolder
