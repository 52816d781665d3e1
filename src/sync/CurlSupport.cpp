#include "sync/CurlSupport.h"

#include "store/SafeFile.h"

#include <mutex>
#include <QDir>

namespace CurlSupport {

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

bool replaceFile(const QString& from, const QString& to, QString* why)
{
    QString error;
    if (!SafeFile::rename(from, to, &error)) {
        *why = QStringLiteral("Could not replace %1: %2").arg(QDir::toNativeSeparators(to), error);
        return false;
    }
    return true;
}

} // namespace CurlSupport
