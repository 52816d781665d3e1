#include "store/SafeFile.h"

#include "store/WriteFaults.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

namespace {

// The file a new version is about to replace needs no cache: its pages are let go first, and the new
// version's pages are made of them. Memory the system has not used for a while, which it otherwise
// takes, can cost more to fill than the writing does, on virtual machines above all. Only a hint.
void releaseCachedPages(const QString& path)
{
#ifdef Q_OS_LINUX
    const int old = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (old >= 0) {
        ::posix_fadvise(old, 0, 0, POSIX_FADV_DONTNEED);
        ::close(old);
    }
#else
    Q_UNUSED(path);
#endif
}

} // namespace

SafeFile::SafeFile(const QString& path, Mode mode, Durability durability)
    : m_mode(mode), m_durability(durability), m_path(path)
{
    switch (mode) {
    case Mode::Replace:
        if (viaSaveFile()) {
            m_file = std::make_unique<QSaveFile>(path);
        } else {
            // Beside the file, so that the rename stays on its file system.
            m_file = std::make_unique<QTemporaryFile>(path + QStringLiteral(".XXXXXX"));
        }
        break;
    case Mode::Temporary:
        m_file = std::make_unique<QTemporaryFile>(path);
        break;
    case Mode::Create:
    case Mode::Overwrite:
    case Mode::Rewrite:
    case Mode::Append:
        m_file = std::make_unique<QFile>(path);
        break;
    }
}

SafeFile::~SafeFile()
{
    cancel();
}

bool SafeFile::point()
{
    return !WriteFaults::hit() || fail(WriteFaults::reason());
}

bool SafeFile::fail(const QString& why)
{
    m_error = why;
    m_failed = true;
    return false;
}

bool SafeFile::open()
{
    if (!point()) {
        return false;
    }
    bool ok = false;
    switch (m_mode) {
    case Mode::Replace:
        releaseCachedPages(m_path);
        ok = viaSaveFile() ? m_file->open(QIODevice::WriteOnly)
                           : static_cast<QTemporaryFile*>(m_file.get())->open();
        break;
    case Mode::Temporary:
        ok = static_cast<QTemporaryFile*>(m_file.get())->open();
        break;
    case Mode::Create:
        // Unbuffered, so a failed write shows at once.
        ok = m_file->open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
        break;
    case Mode::Overwrite:
        ok = m_file->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
        break;
    case Mode::Rewrite:
        ok = m_file->open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered);
        break;
    case Mode::Append:
        m_created = !QFileInfo::exists(m_path);
        ok = m_file->open(QIODevice::ReadWrite | QIODevice::Unbuffered);
        m_startSize = ok ? m_file->size() : 0;
        ok = ok && m_file->seek(m_startSize);
        break;
    }
    if (!ok) {
        return fail(m_file->errorString());
    }
    m_opened = true;
    m_writtenBack = m_startSize;
    return true;
}

bool SafeFile::write(const char* data, qint64 size)
{
    if (m_failed || !m_opened) {
        return m_failed ? false : fail(QStringLiteral("The file is not open."));
    }
    if (WriteFaults::hit()) {
        // A full disk takes part of a write before it refuses the rest.
        m_file->write(data, size / 2);
        return fail(WriteFaults::reason());
    }
    const qint64 allowed = WriteFaults::take(size);
    const qint64 written = allowed > 0 ? m_file->write(data, allowed) : 0;
    if (written != size) {
        return fail(written < 0 || allowed == size ? m_file->errorString() : WriteFaults::reason());
    }
    startWriteback();
    return true;
}

void SafeFile::startWriteback()
{
#ifdef Q_OS_LINUX
    // The disk starts on each large piece as it comes instead of on the whole file at the final sync,
    // so copying and writing overlap. Only a hint: the sync in commit() still decides.
    constexpr qint64 Piece = 16 * 1024 * 1024;
    const qint64 end = m_file->pos();
    if (end - m_writtenBack >= Piece && m_file->flush()) {
        ::sync_file_range(m_file->handle(), m_writtenBack, end - m_writtenBack, SYNC_FILE_RANGE_WRITE);
        m_writtenBack = end;
    }
#endif
}

bool SafeFile::commit()
{
    if (m_done) {
        return true;
    }
    if (m_failed || !m_opened) {
        const bool wasFailed = m_failed;
        const QString why = m_error;
        cancel();
        return fail(wasFailed ? why : QStringLiteral("The file is not open."));
    }
    if (!point() || !m_file->flush()) {
        if (!m_failed) {
            fail(m_file->errorString());
        }
        const QString why = m_error;
        cancel();
        return fail(why);
    }
    if (m_mode == Mode::Replace && !viaSaveFile()) {
        return commitUnsyncedReplace();
    }
    if (m_mode == Mode::Replace) {
        // QSaveFile syncs the new file before it renames it over the old one.
        if (!point() || !static_cast<QSaveFile*>(m_file.get())->commit()) {
            const QString why = m_failed ? m_error : m_file->errorString();
            cancel();
            return fail(why);
        }
        m_done = true;
        return true;
    }
    bool synced = point();
    if (synced && m_mode == Mode::Rewrite && m_file->size() != m_file->pos() &&
        !m_file->resize(m_file->pos())) {
        synced = fail(m_file->errorString());
    }
#ifdef Q_OS_UNIX
    // A rename or a record that points into the file must not expose data that are only in memory.
    if (synced && m_durability == Durability::Synced && ::fsync(m_file->handle()) != 0) {
        synced = fail(QString::fromLocal8Bit(strerror(errno)));
    }
#endif
    if (!synced) {
        const QString why = m_error;
        cancel();
        return fail(why);
    }
    m_file->close();
    m_done = true;
    return true;
}

bool SafeFile::commitUnsyncedReplace()
{
    auto* temporary = static_cast<QTemporaryFile*>(m_file.get());
    // The page gets the permissions of the file it replaces, else those of a new file, not the
    // owner-only ones of a temporary file.
    const QFileDevice::Permissions permissions = QFileInfo::exists(m_path)
                                                     ? QFile::permissions(m_path)
                                                     : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                           QFileDevice::ReadUser | QFileDevice::WriteUser |
                                                           QFileDevice::ReadGroup | QFileDevice::ReadOther;
    temporary->setPermissions(permissions);
    temporary->close();
    QString why;
    if (!rename(temporary->fileName(), m_path, &why)) {
        cancel();
        return fail(why);
    }
    temporary->setAutoRemove(false);
    m_done = true;
    return true;
}

void SafeFile::cancel()
{
    if (m_done && m_mode != Mode::Temporary) {
        return;
    }
    switch (m_mode) {
    case Mode::Replace:
        if (m_opened && !m_done && viaSaveFile()) {
            static_cast<QSaveFile*>(m_file.get())->cancelWriting();
        } else if (m_opened && !m_done) {
            // The temporary file goes with the object; the file it was to replace stays.
            m_file->close();
        }
        break;
    case Mode::Temporary:
        if (m_done) {
            // Committed but never renamed: the temporary file goes with the object.
            return;
        }
        m_file->close();
        break;
    case Mode::Create:
    case Mode::Overwrite:
    case Mode::Rewrite:
        if (m_opened) {
            m_file->close();
            QFile::remove(m_path);
        }
        break;
    case Mode::Append:
        if (m_opened && m_created) {
            m_file->close();
            QFile::remove(m_path);
        } else if (m_opened && !m_file->resize(m_startSize)) {
            m_error +=
                QStringLiteral(" The file could not be set back to its old length: ") + m_file->errorString();
        }
        break;
    }
    // QSaveFile refuses close(): its destructor drops the cancelled temporary file.
    if (!viaSaveFile() && m_file->isOpen()) {
        m_file->close();
    }
    m_opened = false;
}

QString SafeFile::errorString() const
{
    return m_error.isEmpty() ? m_file->errorString() : m_error;
}

QString SafeFile::fileName() const
{
    return m_mode == Mode::Temporary ? m_file->fileName() : m_path;
}

qint64 SafeFile::size() const
{
    return m_file->isOpen() ? m_file->size() : QFile(fileName()).size();
}

bool SafeFile::setPermissions(QFileDevice::Permissions permissions)
{
    return m_file->setPermissions(permissions);
}

bool SafeFile::rename(const QString& from, const QString& to, QString* error)
{
    if (WriteFaults::hit()) {
        if (error) {
            *error = WriteFaults::reason();
        }
        return false;
    }
    // rename replaces an existing file atomically on POSIX systems, and std::filesystem replaces it on
    // Windows too.
    std::error_code code;
    std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                            std::filesystem::path(to.toStdU16String()), code);
    if (code) {
        if (error) {
            *error = QString::fromStdString(code.message());
        }
        return false;
    }
    return true;
}

bool SafeFile::writeWhole(const QString& path, const QByteArray& bytes, QString* error, Durability durability)
{
    SafeFile file(path, Mode::Replace, durability);
    if (file.open() && file.write(bytes) && file.commit()) {
        return true;
    }
    if (error) {
        *error = file.errorString();
    }
    return false;
}

bool SafeFile::overwriteWorkingFile(const QString& path, const QByteArray& bytes, QString* error)
{
    SafeFile file(path, Mode::Overwrite, Durability::Unsynced);
    if (file.open() && file.write(bytes) && file.commit()) {
        return true;
    }
    if (error) {
        *error = file.errorString();
    }
    return false;
}
