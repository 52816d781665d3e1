#include "sync/HttpDownload.h"

#include <curl/curl.h>
#include <filesystem>
#include <mutex>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// curl_global_init is not thread-safe and must run once before any handle is made.
void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer
{
    QTemporaryFile* file = nullptr;
    const std::atomic<bool>* cancel = nullptr;
    bool writeFailed = false;
};

size_t writeBody(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const qint64 bytes = qint64(size * count);
    if (transfer->file->write(data, bytes) != bytes) {
        transfer->writeFailed = true;
        return 0; // makes curl stop with a write error
    }
    return size * count;
}

// libcurl calls this about once a second even while no data arrives, so a cancel is seen promptly.
int pollCancel(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* transfer = static_cast<Transfer*>(user);
    return transfer->cancel && transfer->cancel->load() ? 1 : 0;
}

QString reasonPhrase(long status)
{
    switch (status) {
    case 400:
        return QStringLiteral("Bad Request");
    case 401:
        return QStringLiteral("Unauthorized");
    case 403:
        return QStringLiteral("Forbidden");
    case 404:
        return QStringLiteral("Not Found");
    case 408:
        return QStringLiteral("Request Timeout");
    case 410:
        return QStringLiteral("Gone");
    case 429:
        return QStringLiteral("Too Many Requests");
    case 500:
        return QStringLiteral("Internal Server Error");
    case 502:
        return QStringLiteral("Bad Gateway");
    case 503:
        return QStringLiteral("Service Unavailable");
    case 504:
        return QStringLiteral("Gateway Timeout");
    default:
        return {};
    }
}

QString httpError(long status)
{
    const QString reason = reasonPhrase(status);
    return reason.isEmpty() ? QStringLiteral("The server answered %1.").arg(status)
                            : QStringLiteral("The server answered %1 (%2).").arg(status).arg(reason);
}

QString curlError(CURLcode code, long status)
{
    switch (code) {
    case CURLE_HTTP_RETURNED_ERROR:
        return httpError(status);
    case CURLE_OPERATION_TIMEDOUT:
        return QStringLiteral("The connection timed out.");
    case CURLE_PARTIAL_FILE:
        return QStringLiteral("The server closed the connection before the whole file arrived.");
    default:
        return QString::fromUtf8(curl_easy_strerror(code)) + QLatin1Char('.');
    }
}

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdU16String());
}

// Moves the finished file over the target in one step: rename replaces an existing file atomically
// on POSIX systems (and std::filesystem replaces it on Windows too), so there is never a moment
// without a whole copy.
bool replaceTarget(const QString& from, const QString& to, QString* why)
{
    std::error_code error;
    std::filesystem::rename(fsPath(from), fsPath(to), error);
    if (error) {
        *why = QStringLiteral("Could not replace %1: %2")
                   .arg(QDir::toNativeSeparators(to), QString::fromStdString(error.message()));
        return false;
    }
    return true;
}

// Finishes the body on disk: everything written out and, where the system allows, synced, so the
// rename that follows cannot expose a file whose data are still only in memory.
bool finishFile(QTemporaryFile& file, QString* why)
{
    bool ok = file.flush();
#ifdef Q_OS_UNIX
    ok = ok && ::fsync(file.handle()) == 0;
#endif
    if (!ok) {
        *why = QStringLiteral("Could not write %1: %2")
                   .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
    }
    file.close();
    return ok;
}

} // namespace

HttpDownload::Result HttpDownload::download(const QString& url, const QString& target, const Options& options,
                                            const std::atomic<bool>* cancel, const Check& check)
{
    Result result;
    if (url.isEmpty()) {
        result.error = QStringLiteral("No address to download from.");
        return result;
    }
    if (cancel && cancel->load()) {
        result.cancelled = true;
        result.error = QStringLiteral("The download was cancelled.");
        return result;
    }

    const QFileInfo targetInfo(target);
    QTemporaryFile file(targetInfo.absoluteFilePath() + QStringLiteral(".XXXXXX.part"));
    if (!file.open()) {
        result.error = QStringLiteral("Could not create a file in %1: %2")
                           .arg(QDir::toNativeSeparators(targetInfo.absolutePath()), file.errorString());
        return result;
    }
    // The new copy keeps the old one's permissions; a first copy gets the usual ones, not the
    // owner-only ones of a temporary file.
    file.setPermissions(targetInfo.exists() ? targetInfo.permissions()
                                            : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther);

    initCurlOnce();
    CURL* curl = curl_easy_init();
    if (!curl) {
        result.error = QStringLiteral("The download could not be started.");
        return result;
    }

    Transfer transfer{&file, cancel, false};
    const QByteArray urlBytes = url.toUtf8();
    curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
    // Only web addresses, also after a redirect: a server must not send us to a local file.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    // Signals cannot be used for time-outs outside the main thread.
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Zorbeth");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, options.connectTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, options.lowSpeedBytesPerSecond);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, options.lowSpeedSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, options.totalTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, pollCancel);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);

    const CURLcode code = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.httpStatus);
    curl_easy_cleanup(curl);

    // On any failure the temporary file goes with `file`; the target was never touched.
    if (code == CURLE_ABORTED_BY_CALLBACK) {
        result.cancelled = true;
        result.error = QStringLiteral("The download was cancelled.");
        return result;
    }
    if (transfer.writeFailed) {
        result.error = QStringLiteral("Could not write %1: %2")
                           .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
        return result;
    }
    if (code != CURLE_OK) {
        result.error = curlError(code, result.httpStatus);
        return result;
    }
    if (!finishFile(file, &result.error)) {
        return result;
    }
    if (check) {
        QString why;
        if (!check(file.fileName(), &why)) {
            result.error = why.isEmpty() ? QStringLiteral("The downloaded file was refused.") : why;
            return result;
        }
    }
    if (!replaceTarget(file.fileName(), targetInfo.absoluteFilePath(), &result.error)) {
        return result;
    }
    file.setAutoRemove(false); // it is the target now
    result.ok = true;
    return result;
}
