#include "sync/CurlSupport.h"

#include "store/SafeFile.h"

#include <mutex>
#include <QDir>

namespace CurlSupport {

namespace {

// Writes out and syncs a received file, then closes it; false with why set when that failed.
bool finishFile(SafeFile& file, QString* why)
{
    // The rename that follows must not expose a file whose data are still only in memory.
    if (!file.commit()) {
        *why = QStringLiteral("Could not write %1: %2")
                   .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
        return false;
    }
    return true;
}

} // namespace

void globalInit()
{
    // curl_global_init is not thread-safe and must run before any handle is made.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

QString errorText(CURLcode code, const char* detail)
{
    switch (code) {
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("The connection timed out.");
    case CURLE_PARTIAL_FILE:
        return QStringLiteral("The server closed the connection before the whole file arrived.");
    case CURLE_LOGIN_DENIED:
        return QStringLiteral("The server refused the user name or the password.");
    case CURLE_REMOTE_FILE_NOT_FOUND:
        return QStringLiteral("The file was not found on the server.");
    default:
        break;
    }
    // The buffer often names the server's reply, which says more than the code's general text.
    const QString general = QString::fromUtf8(curl_easy_strerror(code));
    const QString specific = detail ? QString::fromUtf8(detail).trimmed() : QString();
    if (specific.isEmpty() || specific == general) {
        return general + QLatin1Char('.');
    }
    return QStringLiteral("%1: %2").arg(general, specific);
}

bool replaceFile(const QString& from, const QString& to, QString* why)
{
    QString error;
    if (!SafeFile::rename(from, to, &error)) {
        *why = QStringLiteral("Could not replace %1: %2").arg(QDir::toNativeSeparators(to), error);
        return false;
    }
    return true;
}

ReceivedFile::ReceivedFile(const QString& target, const QString& suffix)
    : m_target(target),
      m_file(m_target.absoluteFilePath() + QStringLiteral(".XXXXXX") + suffix, SafeFile::Mode::Temporary)
{}

bool ReceivedFile::open(QString* why)
{
    if (!m_file.open()) {
        *why = QStringLiteral("Could not create a file in %1: %2")
                   .arg(QDir::toNativeSeparators(m_target.absolutePath()), m_file.errorString());
        return false;
    }
    // The new copy keeps the old one's permissions; a first copy gets the usual ones, not the
    // owner-only ones of a temporary file.
    m_file.setPermissions(m_target.exists() ? m_target.permissions()
                                            : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther);
    return true;
}

size_t ReceivedFile::write(char* data, size_t size, size_t count, void* self)
{
    auto* received = static_cast<ReceivedFile*>(self);
    const qint64 bytes = qint64(size * count);
    if (received->m_limit >= 0 && bytes > received->m_limit - received->m_written) {
        received->m_tooLarge = true;
        return 0; // makes libcurl stop with a write error
    }
    if (!received->m_file.write(data, bytes)) {
        received->m_writeFailed = true;
        return 0;
    }
    received->m_written += bytes;
    return size * count;
}

QString ReceivedFile::writeError() const
{
    return QStringLiteral("Could not write %1: %2")
        .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString());
}

bool ReceivedFile::replaceTarget(const Check& check, QString* why)
{
    if (!finishFile(m_file, why)) {
        return false;
    }
    if (check) {
        QString refused;
        if (!check(m_file.fileName(), &refused)) {
            *why = refused.isEmpty() ? QStringLiteral("The downloaded file was refused.") : refused;
            return false;
        }
    }
    return replaceFile(m_file.fileName(), m_target.absoluteFilePath(), why);
}

} // namespace CurlSupport
