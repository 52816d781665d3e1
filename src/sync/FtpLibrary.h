#pragma once

#include "sync/FtpTransfer.h"

#include <QString>

// The library file and its attachments (the resource file) on an FTP server: sending them, receiving
// them back with a backup of the files they replace, and putting that backup back. The two travel
// as a pair, because the library's records point into the resource file.
namespace FtpLibrary {

// The files' names on the server, always, whatever the local ones are called.
inline constexpr char RemoteFileName[] = "zorbeth.txt";
inline constexpr char RemoteResourceName[] = "zorbethresource.res";

// The backup a Receive keeps of a file it replaces: the file's path followed by ".bak".
QString backupPath(const QString& path);

// Whether path holds a library that can replace the one in use: read to its end marker, with at
// least one record. why says what is wrong with it otherwise.
bool isCompleteLibrary(const QString& path, QString* why);

// Uploads the library file as "zorbeth.txt" and, when there is one, the resource file as
// "zorbethresource.res"; the server's copies change only once both files arrived whole. Without a
// local resource file, one on the server is left as it is.
FtpTransfer::Result send(const FtpTransfer::Account& account, const QString& libraryPath,
                         const QString& resourcePath, const FtpTransfer::Options& options,
                         const std::atomic<bool>* cancel = nullptr, const FtpTransfer::Events& events = {});

// Downloads "zorbeth.txt" and "zorbethresource.res" over the library and resource files. Only a
// complete library, with its resource file complete too, replaces them, and only then are the files
// they replace kept as the backups; on any failure both files and both backups stay exactly as they
// were. A server without a resource file still gives the library; the local resource file then
// stays, and the result's note says so.
FtpTransfer::Result receive(const FtpTransfer::Account& account, const QString& libraryPath,
                            const QString& resourcePath, const FtpTransfer::Options& options,
                            const std::atomic<bool>* cancel = nullptr,
                            const FtpTransfer::Events& events = {});

// Downloads "zorbeth.txt" into target when it is a complete library (for a comparison, say).
FtpTransfer::Result fetchCopy(const FtpTransfer::Account& account, const QString& target,
                              const FtpTransfer::Options& options, const std::atomic<bool>* cancel = nullptr,
                              const FtpTransfer::Events& events = {});

// Copies the backups over the library and resource files (the resource file only when it has a
// backup); the backups stay. False with why set when there is no usable backup or it could not be
// copied; both files are then unchanged.
bool restore(const QString& libraryPath, const QString& resourcePath, QString* why);

} // namespace FtpLibrary
