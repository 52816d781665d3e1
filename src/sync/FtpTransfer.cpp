#include "sync/FtpTransfer.h"

#include "store/SafeFile.h"
#include "sync/CurlSupport.h"

#include <memory>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>
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

    // The folder as a path for SFTP commands, which know no current folder. libcurl does not expand
    // "/~/" inside quotes, but a path without a leading "/" counts from the login folder.
    QString sshFolderPath() const
    {
        const QString path = folder.isEmpty() ? QString() : folder.join(u'/') + u'/';
        return absolute ? u'/' + path : path;
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
    bool reporting = false; // only the transfers themselves report progress, not the probes
    bool fileFailed = false;
    qint64 offset = 0; // bytes of the files moved before the current one
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
    const qint64 bytes = transfer->offset + (transfer->upload ? qint64(uploaded) : qint64(downloaded));
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

// What the SSH host key check found, for the message when the key is refused.
struct HostKeyCheck
{
    bool asked = false;
    curl_khmatch match = CURLKHMATCH_OK;
    QString fingerprint; // the key the server offered, as OpenSSH shows it
};

QString fingerprintOf(const curl_khkey* key)
{
    if (!key || !key->key) {
        return {};
    }
    // A key of length 0 is base64 text ending in a zero byte, any other the raw key; OpenSSH shows
    // the SHA-256 of the raw key.
    const QByteArray raw = key->len > 0 ? QByteArray(key->key, qsizetype(key->len))
                                        : QByteArray::fromBase64(QByteArray(key->key));
    const QByteArray hash = QCryptographicHash::hash(raw, QCryptographicHash::Sha256);
    return QStringLiteral("SHA256:") +
           QString::fromLatin1(hash.toBase64(QByteArray::Base64Encoding | QByteArray::OmitTrailingEquals));
}

// Only a key found in the known hosts file is accepted: an unknown or changed key is refused, never
// added or taken on trust.
int onHostKey(CURL*, const curl_khkey*, const curl_khkey* found, curl_khmatch match, void* user)
{
    auto* check = static_cast<HostKeyCheck*>(user);
    check->asked = true;
    check->match = match;
    check->fingerprint = fingerprintOf(found);
    return match == CURLKHMATCH_OK ? CURLKHSTAT_FINE : CURLKHSTAT_REJECT;
}

// One libcurl handle with everything both directions share.
class Session
{
public:
    Session(const FtpTransfer::Account& account, const Address& address, const FtpTransfer::Options& options,
            Transfer& transfer)
        : m_transfer(transfer), m_address(address)
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
            m_knownHostsShown = QDir::toNativeSeparators(knownHosts);
            set(CURLOPT_SSH_KNOWNHOSTS, m_knownHosts.constData());
            set(CURLOPT_SSH_KEYFUNCTION, onHostKey);
            set(CURLOPT_SSH_KEYDATA, &m_hostKey);
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

    // The user's sentence for a failure, naming the server where the failure is about reaching it.
    QString errorText(CURLcode code) const
    {
        const QString detail = QString::fromUtf8(m_error).trimmed();
        switch (code) {
        case CURLE_COULDNT_RESOLVE_HOST:
            return QStringLiteral("The server %1 was not found: check the server address.")
                .arg(m_address.hostPort);
        case CURLE_COULDNT_CONNECT:
            return QStringLiteral("Could not connect to the server %1: it does not answer on that port (%2).")
                .arg(m_address.hostPort, detail);
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
            if (m_address.ssh()) {
                return hostKeyText();
            }
            return QStringLiteral(
                       "The certificate of the server %1 could not be verified (%2), so the connection "
                       "was refused. If the server uses a certificate of its own, name that "
                       "certificate or the authority that signed it in the setting \"FTPCAFile\".")
                .arg(m_address.hostPort, detail);
        default:
            return CurlSupport::errorText(code, m_error);
        }
    }

private:
    QString hostKeyText() const
    {
        if (m_hostKey.asked && m_hostKey.match == CURLKHMATCH_MISMATCH) {
            return QStringLiteral(
                       "The host key of the server %1 (%2) differs from the one recorded for it in %3, "
                       "so the connection was refused. The server may have been set up anew, or "
                       "another machine answers in its place: ask its administrator before you "
                       "change that file.")
                .arg(m_address.hostPort, m_hostKey.fingerprint, m_knownHostsShown);
        }
        return QStringLiteral(
                   "The host key of the server %1 (%2) is not in the known hosts file %3, so the "
                   "connection was refused. Once its administrator confirmed the key, add it to that "
                   "file (or name another file in the setting \"FTPKnownHosts\").")
            .arg(m_address.hostPort,
                 m_hostKey.fingerprint.isEmpty() ? QStringLiteral("unknown key") : m_hostKey.fingerprint,
                 m_knownHostsShown);
    }

    CURL* m_curl = nullptr;
    Transfer& m_transfer;
    const Address& m_address;
    HostKeyCheck m_hostKey;
    QString m_knownHostsShown;
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

// Sends commands on the logged-in connection, outside any transfer; the result of the last one.
CURLcode sendCommands(Session& session, const Address& address, const QList<QByteArray>& commands)
{
    CommandList list;
    for (const QByteArray& command : commands) {
        list.append(command);
    }
    session.set(CURLOPT_UPLOAD, 0L);
    session.set(CURLOPT_POSTQUOTE, list.get());
    session.set(CURLOPT_WRITEFUNCTION, onDiscard);
    session.setUrl(encodedFolder(address));
    session.set(CURLOPT_NOBODY, 1L);
    const CURLcode code = session.perform();
    session.set(CURLOPT_POSTQUOTE, nullptr);
    return code;
}

QByteArray deleteCommand(const Address& address, const QString& name, bool mayFail = false)
{
    if (address.ssh()) {
        return (mayFail ? "*rm " : "rm ") + quotedPath(address.sshFolderPath() + name);
    }
    return (mayFail ? "*DELE " : "DELE ") + name.toUtf8();
}

QList<QByteArray> renameCommands(const Address& address, const QString& from, const QString& to)
{
    if (address.ssh()) {
        const QString folder = address.sshFolderPath();
        return {"rename " + quotedPath(folder + from) + ' ' + quotedPath(folder + to)};
    }
    return {"RNFR " + from.toUtf8(), "RNTO " + to.toUtf8()};
}

// Takes away what a failed upload left under temporary names; a failure here changes nothing.
void removeLeftovers(Session& session, const Address& address, const QStringList& tempNames)
{
    if (tempNames.isEmpty()) {
        return;
    }
    QList<QByteArray> commands;
    for (const QString& name : tempNames) {
        commands << deleteCommand(address, name, true);
    }
    session.set(CURLOPT_NOPROGRESS, 1L);
    session.set(CURLOPT_CONNECTTIMEOUT, 5L);
    sendCommands(session, address, commands);
}

enum class Renamed
{
    Yes,
    No,                // the old copy is still in place
    NoAfterOldDeleted, // the old copy is gone; the new one is only under its temporary name
};

// Renames an uploaded file onto its name. Servers that refuse to rename onto an existing file (IIS
// by default, and SFTP) get the old copy deleted first.
Renamed renameIntoPlace(Session& session, const Address& address, const QString& tempName,
                        const QString& remoteName, QString* why)
{
    CURLcode code = sendCommands(session, address, renameCommands(address, tempName, remoteName));
    if (code == CURLE_OK) {
        return Renamed::Yes;
    }
    const QString refusal = session.errorText(code);
    if (code != CURLE_QUOTE_ERROR) {
        *why = QStringLiteral("The file arrived but could not be renamed to %1 on the server: %2")
                   .arg(remoteName, refusal);
        return Renamed::No;
    }
    code = sendCommands(session, address, {deleteCommand(address, remoteName)});
    if (code != CURLE_OK) {
        *why =
            QStringLiteral("The file arrived but the server refused to rename it to %1 (%2), and to delete "
                           "the old %1 to make room (%3). The server copy is unchanged.")
                .arg(remoteName, refusal, session.errorText(code));
        return Renamed::No;
    }
    code = sendCommands(session, address, renameCommands(address, tempName, remoteName));
    if (code == CURLE_OK) {
        return Renamed::Yes;
    }
    *why = QStringLiteral("The server refused to rename the uploaded file onto the old %1, so the old %1 was "
                          "deleted, but renaming the new one failed too (%2). The new file is on the server "
                          "as %3: rename it to %1 there.")
               .arg(remoteName, session.errorText(code), tempName);
    return Renamed::NoAfterOldDeleted;
}

// Where a download is received and what the server said about it.
struct Receiving
{
    FtpTransfer::Incoming file;
    std::unique_ptr<CurlSupport::ReceivedFile> received;
    bool present = true;
};

// Lets each file, the last first, finish and take its target's place once all of them passed check.
bool replaceFrom(std::vector<Receiving>& files, size_t index, QStringList& tempPaths,
                 const FtpTransfer::Check& check, QString* why)
{
    while (index < files.size() && !files[index].present) {
        ++index;
    }
    if (index == files.size()) {
        return !check || check(tempPaths, why);
    }
    return files[index].received->replaceTarget(
        [&files, index, &tempPaths, &check](const QString& tempPath, QString* refused) {
            tempPaths[qsizetype(index)] = tempPath;
            return replaceFrom(files, index + 1, tempPaths, check, refused);
        },
        why);
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

FtpTransfer::Result FtpTransfer::upload(const Account& account, const QList<Outgoing>& files,
                                        const Options& options, const std::atomic<bool>* cancel,
                                        const Events& events)
{
    const Address address = parseAddress(account);
    if (!address.error.isEmpty()) {
        return failure(address.error);
    }
    if (cancelled(cancel)) {
        return cancelledResult();
    }
    std::vector<std::unique_ptr<QFile>> locals;
    for (const Outgoing& outgoing : files) {
        auto file = std::make_unique<QFile>(outgoing.localFile);
        if (!file->open(QIODevice::ReadOnly)) {
            return failure(QStringLiteral("Could not read %1: %2")
                               .arg(QDir::toNativeSeparators(outgoing.localFile), file->errorString()));
        }
        locals.push_back(std::move(file));
    }

    Transfer transfer{cancel, &events, nullptr, true};
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

    // Names no other sender picks, so two senders never write into one file.
    QStringList tempNames;
    for (const Outgoing& outgoing : files) {
        tempNames << QStringLiteral("%1.%2.part")
                         .arg(outgoing.remoteName)
                         .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
    }
    for (size_t i = 0; i < locals.size(); ++i) {
        QFile& file = *locals[i];
        transfer.file = &file;
        session.setUrl(fileUrlOf(address, tempNames[qsizetype(i)]));
        session.set(CURLOPT_UPLOAD, 1L);
        session.set(CURLOPT_READFUNCTION, onRead);
        session.set(CURLOPT_READDATA, &transfer);
        session.set(CURLOPT_INFILESIZE_LARGE, curl_off_t(file.size()));
        transfer.reporting = true;
        const CURLcode code = session.perform();
        transfer.reporting = false;
        if (code != CURLE_OK) {
            if (code == CURLE_ABORTED_BY_CALLBACK) {
                result = cancelledResult();
            } else if (transfer.fileFailed) {
                result = failure(QStringLiteral("Could not read %1: %2")
                                     .arg(QDir::toNativeSeparators(file.fileName()), file.errorString()));
            } else {
                result = failure(session.errorText(code));
            }
            removeLeftovers(session, address, tempNames.mid(0, qsizetype(i) + 1));
            return result;
        }
        transfer.offset += file.size();
        result.bytes += file.size();
    }

    // From here on the files are put in place whatever the user clicks: a half-done rename is worse.
    result.arrived = true;
    if (events.arrived) {
        events.arrived();
    }
    session.set(CURLOPT_NOPROGRESS, 1L);
    for (qsizetype i = 0; i < files.size(); ++i) {
        QString why;
        const Renamed renamed = renameIntoPlace(session, address, tempNames[i], files[i].remoteName, &why);
        if (renamed != Renamed::Yes) {
            result = failure(why);
            // A file whose old copy went stays under its temporary name: it is the only copy left.
            removeLeftovers(session, address, tempNames.mid(renamed == Renamed::No ? i : i + 1));
            return result;
        }
    }
    return result;
}

FtpTransfer::Result FtpTransfer::download(const Account& account, const QList<Incoming>& files,
                                          const Options& options, const std::atomic<bool>* cancel,
                                          const Events& events, const Check& check)
{
    const Address address = parseAddress(account);
    if (!address.error.isEmpty()) {
        return failure(address.error);
    }
    if (files.isEmpty()) {
        return failure(QStringLiteral("No file to receive was named."));
    }
    if (cancelled(cancel)) {
        return cancelledResult();
    }
    std::vector<Receiving> receiving;
    for (const Incoming& incoming : files) {
        Receiving r{incoming,
                    std::make_unique<CurlSupport::ReceivedFile>(incoming.target, QStringLiteral(".tmp"))};
        QString why;
        if (!r.received->open(&why)) {
            return failure(why);
        }
        receiving.push_back(std::move(r));
    }

    Transfer transfer{cancel, &events, nullptr, false};
    Session session(account, address, options, transfer);
    if (!session.valid()) {
        return failure(QStringLiteral("The transfer could not be started."));
    }
    // The first file must be there; the probe also logs in.
    Result result = connect(session, fileUrlOf(address, files.first().remoteName));
    if (!result.ok) {
        return result;
    }
    if (events.connected) {
        events.connected();
    }
    qint64 total = qMax<qint64>(session.contentLength(), 0);
    for (size_t i = 1; i < receiving.size(); ++i) {
        Result probe = connect(session, fileUrlOf(address, receiving[i].file.remoteName));
        if (!probe.ok && probe.notFound && receiving[i].file.optional) {
            receiving[i].present = false;
            result.missing << receiving[i].file.remoteName;
            continue;
        }
        if (!probe.ok) {
            return probe;
        }
        total += qMax<qint64>(session.contentLength(), 0);
    }
    if (events.remoteSize) {
        events.remoteSize(total);
    }
    if (cancelled(cancel)) {
        return cancelledResult();
    }

    // On any failure the temporary files go with `receiving`; no target was touched.
    for (Receiving& r : receiving) {
        if (!r.present) {
            continue;
        }
        session.setUrl(fileUrlOf(address, r.file.remoteName));
        session.set(CURLOPT_WRITEFUNCTION, CurlSupport::ReceivedFile::write);
        session.set(CURLOPT_WRITEDATA, r.received.get());
        transfer.reporting = true;
        const CURLcode code = session.perform();
        transfer.reporting = false;
        if (code == CURLE_ABORTED_BY_CALLBACK) {
            return cancelledResult();
        }
        if (r.received->writeFailed()) {
            return failure(r.received->writeError());
        }
        if (code != CURLE_OK) {
            Result failed = failure(session.errorText(code));
            failed.notFound = code == CURLE_REMOTE_FILE_NOT_FOUND;
            return failed;
        }
        transfer.offset += r.received->size();
        result.bytes += r.received->size();
    }

    result.arrived = true;
    if (events.arrived) {
        events.arrived();
    }
    QStringList tempPaths;
    for (qsizetype i = 0; i < files.size(); ++i) {
        tempPaths << QString();
    }
    if (!replaceFrom(receiving, 0, tempPaths, check, &result.error)) {
        result.ok = false;
    }
    return result;
}
