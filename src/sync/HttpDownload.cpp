#include "sync/HttpDownload.h"

#include "sync/CurlSupport.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>
#include <QUrl>

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

// Room left on the disk after a download, for the library's own saves and backups.
constexpr qint64 FreeSpaceMargin = qint64(64) << 20;

// The most a body may have: the caller's limit, or what fits in the target's folder when less.
struct Limit
{
    qint64 bytes = 0;
    bool byFreeSpace = false;
    QString folder;
};

Limit downloadLimit(const QString& target, qint64 maxBytes)
{
    Limit limit{std::max<qint64>(maxBytes, 0), false, QFileInfo(target).absolutePath()};
    const QStorageInfo disk(limit.folder);
    if (disk.isValid() && disk.bytesAvailable() >= 0) {
        const qint64 room = std::max<qint64>(disk.bytesAvailable() - FreeSpaceMargin, 0);
        if (room < limit.bytes) {
            limit.bytes = room;
            limit.byFreeSpace = true;
        }
    }
    return limit;
}

QString tooLargeText(const Limit& limit)
{
    if (limit.byFreeSpace) {
        return QStringLiteral("The download was stopped: it does not fit in the free space of %1.")
            .arg(QDir::toNativeSeparators(limit.folder));
    }
    return QStringLiteral("The download was stopped: it is larger than %1, the most accepted.")
        .arg(QLocale::c().formattedDataSize(limit.bytes, 0));
}

// An address as the user may see it: never with a name or password that the setting carries.
QString shown(const QUrl& url)
{
    return url.toDisplayString(QUrl::RemoveUserInfo);
}

// Watches the redirects as their headers arrive: libcurl follows only to http and https, and this
// refuses a step from https back to http, which would send the rest of the way in clear.
struct Redirects
{
    CURL* curl = nullptr;
    QUrl last;       // where the latest redirect pointed
    QString refusal; // why a redirect was refused; empty when none was
};

size_t readHeader(char* data, size_t size, size_t count, void* self)
{
    auto* redirects = static_cast<Redirects*>(self);
    const size_t bytes = size * count;
    const QByteArrayView line(data, qsizetype(bytes));
    const QByteArrayView name("location:");
    if (line.size() <= name.size() || line.first(name.size()).compare(name, Qt::CaseInsensitive) != 0) {
        return bytes;
    }
    long status = 0;
    char* current = nullptr;
    curl_easy_getinfo(redirects->curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(redirects->curl, CURLINFO_EFFECTIVE_URL, &current);
    if (status < 300 || status >= 400 || !current) {
        return bytes;
    }
    const QUrl from(QString::fromUtf8(current));
    const QString location = QString::fromUtf8(line.sliced(name.size())).trimmed();
    redirects->last = from.resolved(QUrl(location));
    if (from.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 &&
        redirects->last.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) == 0) {
        redirects->refusal = QStringLiteral("The server redirected the download from https to %1; a redirect "
                                            "from https to http is refused.")
                                 .arg(shown(redirects->last));
        return 0; // stops the transfer before the unprotected request
    }
    return bytes;
}

QString curlError(CURL* curl, CURLcode code, long status, const Redirects& redirects, const char* detail)
{
    char* effective = nullptr;
    curl_easy_getinfo(curl, CURLINFO_EFFECTIVE_URL, &effective);
    const QString address = effective ? shown(QUrl(QString::fromUtf8(effective))) : QString();
    switch (code) {
    case CURLE_HTTP_RETURNED_ERROR:
        return httpError(status);
    case CURLE_COULDNT_CONNECT:
        return QStringLiteral("Could not connect to the server at %1.").arg(address);
    case CURLE_COULDNT_RESOLVE_HOST:
        return QStringLiteral("The server of %1 could not be found.").arg(address);
    case CURLE_UNSUPPORTED_PROTOCOL:
        if (!redirects.last.isEmpty()) {
            return QStringLiteral("The server redirected the download to %1; a redirect to a \"%2\" address "
                                  "is refused.")
                .arg(shown(redirects.last), redirects.last.scheme());
        }
        break;
    default:
        break;
    }
    return CurlSupport::errorText(code, detail);
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
    const Limit limit = downloadLimit(target, options.maxBytes);
    file.setLimit(limit.bytes);

    CurlSupport::globalInit();
    CURL* curl = curl_easy_init();
    if (!curl) {
        result.error = QStringLiteral("The download could not be started.");
        return result;
    }

    const QByteArray urlBytes = url.toUtf8();
    const QByteArray caBundle = QFile::encodeName(options.caBundle);
    Redirects redirects{curl, {}, {}};
    char detail[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, detail);
    // Only web addresses, also after a redirect: a server must not send us to a local file.
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, readHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &redirects);
    if (!caBundle.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_CAINFO, caBundle.constData());
    }
    // A length announced above the limit is refused before the body; the write function stops one
    // that comes without a length.
    if (limit.bytes > 0) {
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limit.bytes));
    }
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
    const QString error =
        code == CURLE_OK ? QString() : curlError(curl, code, result.httpStatus, redirects, detail);
    curl_easy_cleanup(curl);

    // On any failure the temporary file goes with `file`; the target was never touched.
    if (code == CURLE_ABORTED_BY_CALLBACK) {
        result.cancelled = true;
        result.error = QStringLiteral("The download was cancelled.");
        return result;
    }
    if (!redirects.refusal.isEmpty()) {
        result.error = redirects.refusal;
        return result;
    }
    if (file.tooLarge() || code == CURLE_FILESIZE_EXCEEDED) {
        result.error = tooLargeText(limit);
        return result;
    }
    if (file.writeFailed()) {
        result.error = file.writeError();
        return result;
    }
    if (code != CURLE_OK) {
        result.error = error;
        return result;
    }
    if (!file.replaceTarget(check, &result.error)) {
        return result;
    }
    result.ok = true;
    return result;
}
