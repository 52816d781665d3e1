#include "sync/HttpDownload.h"

#include "store/SafeFile.h"
#include "sync/CurlSupport.h"

#include <QDir>
#include <QFileInfo>

namespace {

struct Transfer
{
    SafeFile* file = nullptr;
    const std::atomic<bool>* cancel = nullptr;
    bool writeFailed = false;
};

size_t writeBody(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const qint64 bytes = qint64(size * count);
    if (!transfer->file->write(data, bytes)) {
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
    return code == CURLE_HTTP_RETURNED_ERROR ? httpError(status) : CurlSupport::errorText(code);
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
    SafeFile file(targetInfo.absoluteFilePath() + QStringLiteral(".XXXXXX.part"), SafeFile::Mode::Temporary);
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

    CurlSupport::globalInit();
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
    if (!CurlSupport::finishFile(file, &result.error)) {
        return result;
    }
    if (check) {
        QString why;
        if (!check(file.fileName(), &why)) {
            result.error = why.isEmpty() ? QStringLiteral("The downloaded file was refused.") : why;
            return result;
        }
    }
    if (!CurlSupport::replaceFile(file.fileName(), targetInfo.absoluteFilePath(), &result.error)) {
        return result;
    }
    result.ok = true;
    return result;
}
