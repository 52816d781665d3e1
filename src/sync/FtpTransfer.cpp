#include "sync/FtpTransfer.h"

#include "store/SafeFile.h"
#include "sync/CurlSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>
#include <QTemporaryFile>
#include <QUrl>

namespace {

// The server address and folder taken apart into what the transfer needs.
struct Address
{
    QString scheme;   // "ftp", "ftps" or "sftp", as libcurl is given it
    QString hostPort; // host, or host:port
    QStringList folder;
    bool absolute = false;    // the folder counts from the server's root
    bool explicitTls = false; // plain FTP that must switch to TLS
    QString error;

    bool ssh() const { return scheme == QLatin1String("sftp"); }

    // The folder as a path for SFTP commands, which know no current folder: "/~/" is the home.
    QString sshFolderPath() const
    {
        const QString base = absolute ? QStringLiteral("/") : QStringLiteral("/~/");
        return folder.isEmpty() ? base : base + folder.join(u'/') + u'/';
    }
};

Address parseAddress(const FtpTransfer::Account& account)
{
    Address address;
    QString rest = account.server.trimmed();
    QString scheme = QStringLiteral("ftp");
    const qsizetype separator = rest.indexOf(QLatin1String("://"));
    if (separator >= 0) {
        scheme = rest.left(separator).toLower();
        rest = rest.mid(separator + 3);
    }
    if (scheme == QLatin1String("ftpes")) {
        address.scheme = QStringLiteral("ftp");
        address.explicitTls = true;
    } else if (scheme == QLatin1String("ftp") || scheme == QLatin1String("ftps") ||
               scheme == QLatin1String("sftp")) {
        address.scheme = scheme;
    } else {
        address.error = QStringLiteral("The server address names the protocol \"%1\". Write the host name "
                                       "alone, or begin it with ftp://, ftps://, ftpes:// or sftp://.")
                            .arg(scheme);
        return address;
    }
    // A folder written after the host comes before the server folder.
    const qsizetype slash = rest.indexOf(u'/');
    const QString addressFolder = slash >= 0 ? rest.mid(slash) : QString();
    address.hostPort = slash >= 0 ? rest.left(slash) : rest;
    if (address.hostPort.isEmpty() || address.hostPort.contains(u'@') || address.hostPort.contains(u' ')) {
        address.error = QStringLiteral("No server address to connect to: write the host name of the server, "
                                       "without a user name.");
        return address;
    }
    const QString folder = account.folder.trimmed();
    address.absolute = !addressFolder.isEmpty() || folder.startsWith(u'/') || folder.startsWith(u'\\');
    const QString joined = addressFolder + u'/' + folder;
    for (const QString& part : QString(joined).replace(u'\\', u'/').split(u'/', Qt::SkipEmptyParts)) {
        address.folder << part;
    }
    return address;
}

QString encodedFolder(const Address& address)
{
    QString path;
    if (address.ssh()) {
        path = address.absolute ? QStringLiteral("/") : QStringLiteral("/~/");
    } else {
        // "%2F" makes libcurl change to the root before the first folder.
        path = address.absolute ? QStringLiteral("/%2F") : QStringLiteral("/");
    }
    for (const QString& part : address.folder) {
        path += QString::fromLatin1(QUrl::toPercentEncoding(part)) + u'/';
    }
    return address.scheme + QLatin1String("://") + address.hostPort + path;
}

QString fileUrlOf(const Address& address, const QString& fileName)
{
    return encodedFolder(address) + QString::fromLatin1(QUrl::toPercentEncoding(fileName));
}

// A path inside an SFTP quote command, in double quotes with its quotes and backslashes escaped.
QByteArray quotedPath(const QString& path)
{
    QString escaped = path;
    escaped.replace(u'\\', QLatin1String("\\\\")).replace(u'"', QLatin1String("\\\""));
    return '"' + escaped.toUtf8() + '"';
}

// The list of commands libcurl sends around a transfer; freed with the transfer.
class CommandList
{
public:
    CommandList() = default;
    ~CommandList() { curl_slist_free_all(m_list); }
    CommandList(const CommandList&) = delete;
    CommandList& operator=(const CommandList&) = delete;
    void append(const QByteArray& command) { m_list = curl_slist_append(m_list, command.constData()); }
    curl_slist* get() const { return m_list; }

private:
    curl_slist* m_list = nullptr;
};

struct Transfer
{
    const std::atomic<bool>* cancel = nullptr;
    const FtpTransfer::Events* events = nullptr;
    QFileDevice* file = nullptr; // read from by an upload
    bool upload = false;
    bool reporting = false; // only the transfer itself reports progress, not the probe before it
    bool fileFailed = false;
    qint64 reported = -1;
};

bool cancelled(const std::atomic<bool>* cancel)
{
    return cancel && cancel->load();
}

// libcurl calls this about once a second even while no data move, so a cancel is seen promptly.
int onProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded)
{
    auto* transfer = static_cast<Transfer*>(user);
    if (cancelled(transfer->cancel)) {
        return 1;
    }
    const qint64 bytes = transfer->upload ? qint64(uploaded) : qint64(downloaded);
    if (transfer->reporting && bytes != transfer->reported && transfer->events->progress) {
        transfer->reported = bytes;
        transfer->events->progress(bytes);
    }
    return 0;
}

// The probe before a download reports the size as header lines, which are not the file.
size_t onDiscard(char*, size_t size, size_t count, void*)
{
    return size * count;
}

size_t onRead(char* buffer, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    const qint64 bytes = transfer->file->read(buffer, qint64(size * count));
    if (bytes < 0) {
        transfer->fileFailed = true;
        return CURL_READFUNC_ABORT;
    }
    return size_t(bytes);
}

// One libcurl handle with everything both directions share.
class Session
{
public:
    Session(const FtpTransfer::Account& account, const Address& address, const FtpTransfer::Options& options,
            Transfer& transfer)
        : m_transfer(transfer)
    {
        CurlSupport::globalInit();
        m_curl = curl_easy_init();
        if (!m_curl) {
            return;
        }
        m_error[0] = '\0';
        set(CURLOPT_ERRORBUFFER, m_error);
        // Only the file protocols, so an address can never reach a local file or a web page.
        set(CURLOPT_PROTOCOLS_STR, "ftp,ftps,sftp");
        // Signals cannot be used for time-outs outside the main thread.
        set(CURLOPT_NOSIGNAL, 1L);
        set(CURLOPT_CONNECTTIMEOUT, options.connectTimeoutSeconds);
        set(CURLOPT_LOW_SPEED_LIMIT, options.lowSpeedBytesPerSecond);
        set(CURLOPT_LOW_SPEED_TIME, options.lowSpeedSeconds);
        set(CURLOPT_SERVER_RESPONSE_TIMEOUT, options.lowSpeedSeconds);
        m_user = account.user.toUtf8();
        m_password = account.password.toUtf8();
        if (!m_user.isEmpty()) {
            // Never part of the address, so no error text can carry them.
            set(CURLOPT_USERNAME, m_user.constData());
            set(CURLOPT_PASSWORD, m_password.constData());
        }
        if (!account.passive) {
            set(CURLOPT_FTPPORT, "-");
        }
        set(CURLOPT_FTP_CREATE_MISSING_DIRS, long(CURLFTP_CREATE_DIR_NONE));
        set(CURLOPT_USE_SSL, long(address.explicitTls ? CURLUSESSL_ALL : CURLUSESSL_NONE));
        m_caFile = options.caFile.toUtf8();
        if (!m_caFile.isEmpty()) {
            set(CURLOPT_CAINFO, m_caFile.constData());
        }
        if (address.ssh()) {
            const QString knownHosts = options.knownHostsFile.isEmpty()
                                           ? QDir::homePath() + QLatin1String("/.ssh/known_hosts")
                                           : options.knownHostsFile;
            m_knownHosts = QFile::encodeName(knownHosts);
            set(CURLOPT_SSH_KNOWNHOSTS, m_knownHosts.constData());
        }
        // Large blocks: a library of 100 MB moves in far fewer calls than with the 16 kB default.
        set(CURLOPT_BUFFERSIZE, 512L * 1024);
        set(CURLOPT_UPLOAD_BUFFERSIZE, 512L * 1024);
        set(CURLOPT_XFERINFOFUNCTION, onProgress);
        set(CURLOPT_XFERINFODATA, &m_transfer);
        set(CURLOPT_NOPROGRESS, 0L);
    }

    ~Session()
    {
        if (m_curl) {
            curl_easy_cleanup(m_curl);
        }
        // The password's copy does not outlive the transfer in readable form.
        m_password.fill('\0');
    }

    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool valid() const { return m_curl != nullptr; }

    template <typename T> void set(CURLoption option, T value) { curl_easy_setopt(m_curl, option, value); }

    void setUrl(const QString& url)
    {
        m_url = url.toUtf8();
        set(CURLOPT_URL, m_url.constData());
    }

    CURLcode perform()
    {
        m_error[0] = '\0';
        return curl_easy_perform(m_curl);
    }

    qint64 contentLength() const
    {
        curl_off_t length = -1;
        curl_easy_getinfo(m_curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        return qint64(length);
    }

    QString errorText(CURLcode code) const { return CurlSupport::errorText(code, m_error); }

private:
    CURL* m_curl = nullptr;
    Transfer& m_transfer;
    char m_error[CURL_ERROR_SIZE];
    QByteArray m_url;
    QByteArray m_user;
    QByteArray m_password;
    QByteArray m_caFile;
    QByteArray m_knownHosts;
};

FtpTransfer::Result failure(const QString& error)
{
    FtpTransfer::Result result;
    result.error = error;
    return result;
}

FtpTransfer::Result cancelledResult()
{
    FtpTransfer::Result result;
    result.cancelled = true;
    result.error = QStringLiteral("The transfer was cancelled.");
    return result;
}

// Logs in and changes to the folder (and, with a file address, asks for the file's size).
FtpTransfer::Result connect(Session& session, const QString& url)
{
    session.setUrl(url);
    session.set(CURLOPT_NOBODY, 1L);
    session.set(CURLOPT_WRITEFUNCTION, onDiscard);
    const CURLcode code = session.perform();
    session.set(CURLOPT_NOBODY, 0L);
    if (code == CURLE_OK) {
        FtpTransfer::Result result;
        result.ok = true;
        return result;
    }
    if (code == CURLE_ABORTED_BY_CALLBACK) {
        return cancelledResult();
    }
    FtpTransfer::Result result = failure(session.errorText(code));
    result.notFound = code == CURLE_REMOTE_FILE_NOT_FOUND;
    return result;
}

// Takes away what a failed upload left under its temporary name; a failure here changes nothing.
void removeLeftover(Session& session, const Address& address, const QString& tempName)
{
    CommandList commands;
    if (address.ssh()) {
        commands.append("*rm " + quotedPath(address.sshFolderPath() + tempName));
    } else {
        commands.append("*DELE " + tempName.toUtf8());
    }
    session.set(CURLOPT_UPLOAD, 0L);
    session.set(CURLOPT_POSTQUOTE, commands.get());
    session.set(CURLOPT_XFERINFOFUNCTION, nullptr);
    session.set(CURLOPT_NOPROGRESS, 1L);
    session.set(CURLOPT_CONNECTTIMEOUT, 5L);
    session.set(CURLOPT_WRITEFUNCTION, onDiscard);
    session.setUrl(encodedFolder(address));
    session.set(CURLOPT_NOBODY, 1L);
    session.perform();
    session.set(CURLOPT_POSTQUOTE, nullptr);
}

} // namespace

QString FtpTransfer::fileUrl(const Account& account, const QString& fileName, QString* why)
{
    const Address address = parseAddress(account);
    if (!address.error.isEmpty()) {
        if (why) {
            *why = address.error;
        }
        return {};
    }
    return fileUrlOf(address, fileName);
}

FtpTransfer::Result FtpTransfer::upload(const Account& account, const QString& localFile,
                                        const QString& remoteName, const Options& options,
                                        const std::atomic<bool>* cancel, const Events& events)
{
    const Address address = parseAddress(account);
    if (!address.error.isEmpty()) {
        return failure(address.error);
    }
    if (cancelled(cancel)) {
        return cancelledResult();
    }
    QFile file(localFile);
    if (!file.open(QIODevice::ReadOnly)) {
        return failure(QStringLiteral("Could not read %1: %2")
                           .arg(QDir::toNativeSeparators(localFile), file.errorString()));
    }

    Transfer transfer{cancel, &events, &file, true};
    Session session(account, address, options, transfer);
    if (!session.valid()) {
        return failure(QStringLiteral("The transfer could not be started."));
    }
    Result result = connect(session, encodedFolder(address));
    if (!result.ok) {
        return result;
    }
    if (events.connected) {
        events.connected();
    }
    if (cancelled(cancel)) {
        return cancelledResult();
    }

    // A name no other sender picks, so two senders never write into one file.
    const QString tempName = QStringLiteral("%1.%2.part")
                                 .arg(remoteName)
                                 .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
    CommandList rename;
    if (address.ssh()) {
        // SFTP servers refuse to rename onto an existing file, so the old copy goes just before.
        const QString folder = address.sshFolderPath();
        rename.append("*rm " + quotedPath(folder + remoteName));
        rename.append("rename " + quotedPath(folder + tempName) + ' ' + quotedPath(folder + remoteName));
    } else {
        rename.append("RNFR " + tempName.toUtf8());
        rename.append("RNTO " + remoteName.toUtf8());
    }
    session.setUrl(fileUrlOf(address, tempName));
    session.set(CURLOPT_UPLOAD, 1L);
    session.set(CURLOPT_READFUNCTION, onRead);
    session.set(CURLOPT_READDATA, &transfer);
    session.set(CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
    session.set(CURLOPT_POSTQUOTE, rename.get());
    transfer.reporting = true;
    const CURLcode code = session.perform();
    transfer.reporting = false;
    session.set(CURLOPT_POSTQUOTE, nullptr);

    if (code == CURLE_OK) {
        result.bytes = file.size();
        return result;
    }
    if (code == CURLE_ABORTED_BY_CALLBACK) {
        result = cancelledResult();
    } else if (transfer.fileFailed) {
        result = failure(QStringLiteral("Could not read %1: %2")
                             .arg(QDir::toNativeSeparators(localFile), file.errorString()));
    } else if (code == CURLE_QUOTE_ERROR) {
        result = failure(QStringLiteral("The file arrived but could not be renamed to %1 on the server: %2")
                             .arg(remoteName, session.errorText(code)));
    } else {
        result = failure(session.errorText(code));
    }
    removeLeftover(session, address, tempName);
    return result;
}

FtpTransfer::Result FtpTransfer::download(const Account& account, const QString& remoteName,
                                          const QString& target, const Options& options,
                                          const std::atomic<bool>* cancel, const Events& events,
                                          const Check& check)
{
    const Address address = parseAddress(account);
    if (!address.error.isEmpty()) {
        return failure(address.error);
    }
    if (cancelled(cancel)) {
        return cancelledResult();
    }
    CurlSupport::ReceivedFile file(target, QStringLiteral(".tmp"));
    QString why;
    if (!file.open(&why)) {
        return failure(why);
    }

    Transfer transfer{cancel, &events, nullptr, false};
    Session session(account, address, options, transfer);
    if (!session.valid()) {
        return failure(QStringLiteral("The transfer could not be started."));
    }
    const QString url = fileUrlOf(address, remoteName);
    Result result = connect(session, url);
    if (!result.ok) {
        return result;
    }
    if (events.connected) {
        events.connected();
    }
    if (events.remoteSize) {
        events.remoteSize(session.contentLength());
    }
    if (cancelled(cancel)) {
        return cancelledResult();
    }

    session.set(CURLOPT_WRITEFUNCTION, CurlSupport::ReceivedFile::write);
    session.set(CURLOPT_WRITEDATA, &file);
    transfer.reporting = true;
    const CURLcode code = session.perform();
    transfer.reporting = false;

    // On any failure the temporary file goes with `file`; the target was never touched.
    if (code == CURLE_ABORTED_BY_CALLBACK) {
        return cancelledResult();
    }
    if (file.writeFailed()) {
        return failure(file.writeError());
    }
    if (code != CURLE_OK) {
        result = failure(session.errorText(code));
        result.notFound = code == CURLE_REMOTE_FILE_NOT_FOUND;
        return result;
    }
    result.bytes = file.size();
    if (!file.replaceTarget(check, &result.error)) {
        result.ok = false;
    }
    return result;
}
