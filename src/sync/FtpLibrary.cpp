#include "sync/FtpLibrary.h"

#include "store/Backup.h"
#include "store/DatabaseFile.h"
#include "store/SafeFile.h"
#include "sync/CurlSupport.h"

#include <filesystem>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

namespace FtpLibrary {

namespace {

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdU16String());
}

// Makes the backup name point at the library file as it is now. A second link to the same data
// costs nothing, however large the library, and the rename that follows replaces the old backup
// in one step. Where links are not possible the file is copied through a safe save.
bool keepAsBackup(const QString& libraryPath, QString* why)
{
    const QString backup = backupPath(libraryPath);
    QTemporaryFile link(backup + QStringLiteral(".XXXXXX"));
    if (link.open()) {
        const QString linkName = link.fileName();
        link.close();
        QFile::remove(linkName);
        std::error_code error;
        std::filesystem::create_hard_link(fsPath(libraryPath), fsPath(linkName), error);
        if (!error) {
            QString ignored;
            if (CurlSupport::replaceFile(linkName, backup, &ignored)) {
                return true;
            }
            QFile::remove(linkName);
        }
    }
    QFile in(libraryPath);
    SafeFile out(backup);
    if (!in.open(QIODevice::ReadOnly) || !out.open()) {
        *why = QStringLiteral("The backup %1 could not be made.").arg(QDir::toNativeSeparators(backup));
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 20);
        if (block.isEmpty() || !out.write(block)) {
            *why =
                QStringLiteral("The backup %1 could not be written.").arg(QDir::toNativeSeparators(backup));
            return false;
        }
    }
    if (!out.commit()) {
        *why = QStringLiteral("The backup %1 could not be written: %2")
                   .arg(QDir::toNativeSeparators(backup), out.errorString());
        return false;
    }
    return true;
}

} // namespace

QString backupPath(const QString& libraryPath)
{
    return libraryPath + QStringLiteral(".bak");
}

bool isCompleteLibrary(const QString& path, QString* why)
{
    const DatabaseFile::Shape read = DatabaseFile::scan(path);
    if (!read.opened) {
        *why = read.error;
        return false;
    }
    if (read.fileSize == 0) {
        *why = QStringLiteral("The file on the server is empty.");
        return false;
    }
    if (!read.complete) {
        *why = QStringLiteral("The file on the server is not a complete Zorbeth library: it ends before its "
                              "end marker.");
        return false;
    }
    if (read.records == 0) {
        *why = QStringLiteral("The file on the server holds no snippet.");
        return false;
    }
    return true;
}

FtpTransfer::Result send(const FtpTransfer::Account& account, const QString& libraryPath,
                         const FtpTransfer::Options& options, const std::atomic<bool>* cancel,
                         const FtpTransfer::Events& events)
{
    return FtpTransfer::upload(account, libraryPath, QLatin1String(RemoteFileName), options, cancel, events);
}

FtpTransfer::Result receive(const FtpTransfer::Account& account, const QString& libraryPath,
                            const FtpTransfer::Options& options, const std::atomic<bool>* cancel,
                            const FtpTransfer::Events& events)
{
    // The backup is taken only once the download is known good, just before the rename. Should the
    // rename then fail, the library is the old one and so is the backup again: a second name for the
    // old backup is kept until then.
    const QString backup = backupPath(libraryPath);
    bool backupTaken = false;
    bool hadBackup = false;
    QTemporaryFile oldBackup(backup + QStringLiteral(".XXXXXX"));
    const auto check = [&](const QString& tempPath, QString* why) {
        if (!isCompleteLibrary(tempPath, why)) {
            return false;
        }
        if (!QFileInfo::exists(libraryPath)) {
            return true;
        }
        hadBackup = QFileInfo::exists(backup);
        if (hadBackup && oldBackup.open()) {
            oldBackup.close();
            QFile::remove(oldBackup.fileName());
            std::error_code error;
            std::filesystem::create_hard_link(fsPath(backup), fsPath(oldBackup.fileName()), error);
        }
        backupTaken = keepAsBackup(libraryPath, why);
        return backupTaken;
    };
    FtpTransfer::Result result = FtpTransfer::download(account, QLatin1String(RemoteFileName), libraryPath,
                                                       options, cancel, events, check);
    if (!result.ok && backupTaken) {
        QString ignored;
        if (!hadBackup) {
            QFile::remove(backup);
        } else if (QFileInfo::exists(oldBackup.fileName())) {
            CurlSupport::replaceFile(oldBackup.fileName(), backup, &ignored);
        }
    }
    return result;
}

FtpTransfer::Result fetchCopy(const FtpTransfer::Account& account, const QString& target,
                              const FtpTransfer::Options& options, const std::atomic<bool>* cancel,
                              const FtpTransfer::Events& events)
{
    return FtpTransfer::download(account, QLatin1String(RemoteFileName), target, options, cancel, events,
                                 isCompleteLibrary);
}

bool restore(const QString& libraryPath, QString* why)
{
    const Backup::Result result = Backup::copyLibrary(backupPath(libraryPath), libraryPath);
    if (!result.ok()) {
        *why = result.error;
    }
    return result.ok();
}

} // namespace FtpLibrary
