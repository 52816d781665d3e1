#include "library/LibraryLock.h"

#include <QDir>
#include <QLockFile>

namespace {

QString holderText(const QLockFile& file, const QString& folder)
{
    const QString where = QDir::toNativeSeparators(folder);
    qint64 pid = 0;
    QString host;
    QString application;
    if (!file.getLockInfo(&pid, &host, &application)) {
        return QStringLiteral("The library in %1 is in use by another program.").arg(where);
    }
    if (application.isEmpty()) {
        application = QStringLiteral("another program");
    }
    return QStringLiteral("The library in %1 is in use by %2 (process %3 on %4).")
        .arg(where, application, QString::number(pid),
             host.isEmpty() ? QStringLiteral("this computer") : host);
}

} // namespace

LibraryLock::LibraryLock() = default;

LibraryLock::~LibraryLock() = default;

LibraryLock::LibraryLock(LibraryLock&&) noexcept = default;

LibraryLock& LibraryLock::operator=(LibraryLock&&) noexcept = default;

bool LibraryLock::acquire(const QString& folder, QString* error)
{
    release();
    auto file = std::make_unique<QLockFile>(QDir(folder).filePath(QLatin1String(FileName)));
    // The program keeps its library open for hours: only a holder that no longer runs makes a lock
    // stale, never its age.
    file->setStaleLockTime(0);
    if (file->tryLock(0)) {
        m_file = std::move(file);
        m_folder = folder;
        return true;
    }
    if (error) {
        switch (file->error()) {
        case QLockFile::LockFailedError:
            *error = holderText(*file, folder);
            break;
        case QLockFile::PermissionError:
            *error = QStringLiteral("The lock file %1 could not be created: permission denied.")
                         .arg(QDir::toNativeSeparators(file->fileName()));
            break;
        default:
            *error = QStringLiteral("The lock file %1 could not be created.")
                         .arg(QDir::toNativeSeparators(file->fileName()));
            break;
        }
    }
    return false;
}

void LibraryLock::release()
{
    m_file.reset();
    m_folder.clear();
}

bool LibraryLock::isHeld() const
{
    return m_file != nullptr;
}

QString LibraryLock::folder() const
{
    return m_folder;
}
