#include "sync/HttpDownload.h"

#include "sync/CurlSupport.h"


namespace {

// libcurl calls this about once a second even while no data arrives, so a cancel is seen promptly.
int pollCancel(void* cancel, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* flag = static_cast<const std::atomic<bool>*>(cancel);
    return flag && flag->load() ? 1 : 0;
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

    CurlSupport::ReceivedFile file(target, QStringLiteral(".part"));
    if (!file.open(&result.error)) {
        return result;
    }

    CurlSupport::globalInit();
    CURL* curl = curl_easy_init();
    if (!curl) {
        result.error = QStringLiteral("The download could not be started.");
        return result;
    }

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
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, CurlSupport::ReceivedFile::write);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &file);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, pollCancel);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, const_cast<std::atomic<bool>*>(cancel));
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
    if (file.writeFailed()) {
        result.error = file.writeError();
        return result;
    }
    if (code != CURLE_OK) {
        result.error = curlError(code, result.httpStatus);
        return result;
    }
    if (!file.replaceTarget(check, &result.error)) {
        return result;
    }
    result.ok = true;
    return result;
}
