#pragma once

#include "sync/FtpTransfer.h"

#include <QString>

// The library file on an FTP server: sending it, receiving it back with a backup of the file it
// replaces, and putting that backup back.
namespace FtpLibrary {

// The file's name on the server, always, whatever the local one is called.
inline constexpr char RemoteFileName[] = "zorbeth.txt";

// The backup a Receive keeps of the library it replaces: the library's path followed by ".bak".
QString backupPath(const QString& libraryPath);

// Whether path holds a library that can replace the one in use: read to its end marker, with at
// least one record. why says what is wrong with it otherwise.
bool isCompleteLibrary(const QString& path, QString* why);

// Uploads the library file to the server as "zorbeth.txt"; the server's copy changes only once the
// whole file arrived.
FtpTransfer::Result send(const FtpTransfer::Account& account, const QString& libraryPath,
                         const FtpTransfer::Options& options, const std::atomic<bool>* cancel = nullptr,
                         const FtpTransfer::Events& events = {});

// Downloads "zorbeth.txt" over the library file. Only a complete library replaces it, and only then
// is the file it replaces kept as the backup; on any failure the library file and the previous
// backup stay exactly as they were.
FtpTransfer::Result receive(const FtpTransfer::Account& account, const QString& libraryPath,
                            const FtpTransfer::Options& options, const std::atomic<bool>* cancel = nullptr,
                            const FtpTransfer::Events& events = {});

// Downloads "zorbeth.txt" into target when it is a complete library (for a comparison, say).
FtpTransfer::Result fetchCopy(const FtpTransfer::Account& account, const QString& target,
                              const FtpTransfer::Options& options, const std::atomic<bool>* cancel = nullptr,
                              const FtpTransfer::Events& events = {});

// Copies the backup over the library file; the backup stays. False with why set when there is no
// usable backup or it could not be copied; the library file is then unchanged.
bool restore(const QString& libraryPath, QString* why);

} // namespace FtpLibrary
