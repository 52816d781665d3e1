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

// Copies from to to through a safe save, so to is either whole and new or as it was.
bool copyFile(const QString& from, const QString& to, QString* why)
{
    QFile in(from);
    SafeFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open()) {
        *why = QStringLiteral("%1 could not be copied to %2.")
                   .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to));
        return false;
    }
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 20);
        if (block.isEmpty() || !out.write(block)) {
            *why = QStringLiteral("%1 could not be written.").arg(QDir::toNativeSeparators(to));
            return false;
        }
    }
    if (!out.commit()) {
        *why = QStringLiteral("%1 could not be written: %2")
                   .arg(QDir::toNativeSeparators(to), out.errorString());
        return false;
    }
    return true;
}

// A second name for path's data under a fresh name beside target, or empty when links are not possible.
QString linkBeside(const QString& path, const QString& target)
{
    QTemporaryFile link(target + QStringLiteral(".XXXXXX"));
    // The name is only reserved here; the link made under it must outlive this function.
    link.setAutoRemove(false);
    if (!link.open()) {
        return {};
    }
    const QString linkName = link.fileName();
    link.close();
    QFile::remove(linkName);
    std::error_code error;
    std::filesystem::create_hard_link(fsPath(path), fsPath(linkName), error);
    return error ? QString() : linkName;
}

// Makes the backup name hold the file as it is now. The library is only ever replaced whole, never
// written in place, so a second link to its data costs nothing however large it is, and the rename
// that follows replaces the old backup in one step. The resource file grows in place when a file is
// attached, so it is copied; so is any file where links are not possible.
bool keepAsBackup(const QString& path, bool mayLink, QString* why)
{
    const QString backup = backupPath(path);
    if (mayLink) {
        const QString link = linkBeside(path, backup);
        if (!link.isEmpty()) {
            QString ignored;
            if (CurlSupport::replaceFile(link, backup, &ignored)) {
                return true;
            }
            QFile::remove(link);
        }
    }
    QString reason;
    if (!copyFile(path, backup, &reason)) {
        *why = QStringLiteral("The backup %1 could not be made: %2")
                   .arg(QDir::toNativeSeparators(backup), reason);
        return false;
    }
    return true;
}

// Keeps a file as it is, under a second name, so that it can be put back after a failed replacement;
// a file that did not exist is put back by removing what took its name.
class KeptFile
{
public:
    KeptFile() = default;
    ~KeptFile()
    {
        if (!m_link.isEmpty()) {
            QFile::remove(m_link);
        }
    }
    KeptFile(const KeptFile&) = delete;
    KeptFile& operator=(const KeptFile&) = delete;

    void keep(const QString& path)
    {
        m_path = path;
        m_existed = QFileInfo::exists(path);
        if (m_existed) {
            m_link = linkBeside(path, path);
        }
    }

    void putBack()
    {
        if (m_path.isEmpty()) {
            return;
        }
        if (!m_existed) {
            QFile::remove(m_path);
        } else if (!m_link.isEmpty()) {
            // A rename between two names of one file does nothing, so the second name may stay
            // behind; the destructor takes it away.
            QString ignored;
            CurlSupport::replaceFile(m_link, m_path, &ignored);
        }
    }

private:
    QString m_path;
    QString m_link;
    bool m_existed = false;
};

} // namespace

QString backupPath(const QString& path)
{
    return path + QStringLiteral(".bak");
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
                         const QString& resourcePath, const FtpTransfer::Options& options,
                         const std::atomic<bool>* cancel, const FtpTransfer::Events& events)
{
    QList<FtpTransfer::Outgoing> files;
    if (QFileInfo(resourcePath).isFile()) {
        files << FtpTransfer::Outgoing{resourcePath, QLatin1String(RemoteResourceName)};
    }
    // The library is renamed last: once "zorbeth.txt" is new, so are its attachments.
    files << FtpTransfer::Outgoing{libraryPath, QLatin1String(RemoteFileName)};
    return FtpTransfer::upload(account, files, options, cancel, events);
}

FtpTransfer::Result receive(const FtpTransfer::Account& account, const QString& libraryPath,
                            const QString& resourcePath, const FtpTransfer::Options& options,
                            const std::atomic<bool>* cancel, const FtpTransfer::Events& events)
{
    // The backups are taken only once the download is known good, just before the renames. Should a
    // rename then fail, both files and both backups are put back as they were: second names for
    // them are kept until then.
    KeptFile oldLibraryBackup;
    KeptFile oldResourceBackup;
    KeptFile oldResource;
    bool changing = false;
    const auto check = [&](const QStringList& tempPaths, QString* why) {
        if (!isCompleteLibrary(tempPaths.first(), why)) {
            return false;
        }
        if (!QFileInfo::exists(libraryPath)) {
            return true;
        }
        changing = true;
        oldLibraryBackup.keep(backupPath(libraryPath));
        oldResourceBackup.keep(backupPath(resourcePath));
        oldResource.keep(resourcePath);
        if (!keepAsBackup(libraryPath, true, why)) {
            return false;
        }
        // The resource backup is always the one that belongs to the library backup.
        if (QFileInfo::exists(resourcePath)) {
            return keepAsBackup(resourcePath, false, why);
        }
        QFile::remove(backupPath(resourcePath));
        return true;
    };
    const QList<FtpTransfer::Incoming> files{
        {QLatin1String(RemoteFileName), libraryPath, false},
        {QLatin1String(RemoteResourceName), resourcePath, true},
    };
    FtpTransfer::Result result = FtpTransfer::download(account, files, options, cancel, events, check);
    if (!result.ok && changing) {
        oldResource.putBack();
        oldLibraryBackup.putBack();
        oldResourceBackup.putBack();
    }
    if (result.ok && !result.missing.isEmpty() && QFileInfo::exists(resourcePath)) {
        result.note = QStringLiteral("The server has no attachments file (%1): the one here was kept.")
                          .arg(QLatin1String(RemoteResourceName));
    }
    return result;
}

FtpTransfer::Result fetchCopy(const FtpTransfer::Account& account, const QString& target,
                              const FtpTransfer::Options& options, const std::atomic<bool>* cancel,
                              const FtpTransfer::Events& events)
{
    return FtpTransfer::download(
        account, {{QLatin1String(RemoteFileName), target, false}}, options, cancel, events,
        [](const QStringList& tempPaths, QString* why) { return isCompleteLibrary(tempPaths.first(), why); });
}

bool restore(const QString& libraryPath, const QString& resourcePath, QString* why)
{
    const QString resourceBackup = backupPath(resourcePath);
    KeptFile oldResource;
    const bool withResource = QFileInfo::exists(resourceBackup);
    if (withResource) {
        oldResource.keep(resourcePath);
        if (!copyFile(resourceBackup, resourcePath, why)) {
            return false;
        }
    }
    const Backup::Result result = Backup::copyLibrary(backupPath(libraryPath), libraryPath);
    if (!result.ok()) {
        *why = result.error;
        if (withResource) {
            oldResource.putBack();
        }
    }
    return result.ok();
}

} // namespace FtpLibrary
