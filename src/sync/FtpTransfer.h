#pragma once

#include <atomic>
#include <functional>
#include <QString>

// Moves one file to and from a folder on an FTP, FTPS or SFTP server with libcurl.
//
// The server address picks the protocol: "host" or "ftp://host" is plain FTP, "ftps://host" FTP over
// implicit TLS (usually port 990), "ftpes://host" FTP that must switch to TLS with AUTH TLS before
// logging in (explicit TLS, as other FTP clients write it), "sftp://host" SFTP over SSH. A port may
// follow the host ("host:2121"). A server folder that begins with "/" is counted from the server's
// root, any other from the folder the user logs in to.
class FtpTransfer
{
public:
    struct Account
    {
        QString server;   // the address as the user wrote it
        QString folder;   // the server folder; empty: where the login lands
        QString user;     // empty: anonymous
        QString password; // never shown, logged or put into an address
        bool passive = true;
    };

    struct Options
    {
        long connectTimeoutSeconds = 15; // giving up on a server that does not answer
        long lowSpeedBytesPerSecond = 1; // a transfer or a reply slower than this ...
        long lowSpeedSeconds = 30;       // ... for this long is abandoned
        QString caFile;                  // certificates to trust besides the system's; empty: the system's
        QString knownHostsFile;          // SSH host keys; empty: ~/.ssh/known_hosts
    };

    // Called on the thread that runs the transfer.
    struct Events
    {
        std::function<void()> connected;              // logged in and in the folder
        std::function<void(qint64 bytes)> remoteSize; // the size the server reports for the file
        std::function<void(qint64 bytes)> progress;   // bytes moved so far
    };

    struct Result
    {
        bool ok = false;
        bool cancelled = false;
        bool notFound = false; // the server has no such file
        qint64 bytes = 0;      // bytes moved
        QString error;         // what went wrong, for the user; empty on success
    };

    // Decides whether a complete download may replace the target; false with why set refuses it.
    using Check = std::function<bool(const QString& tempPath, QString* why)>;

    // The address libcurl is given for fileName in the account's folder; empty with why set when the
    // server address cannot be used.
    static QString fileUrl(const Account& account, const QString& fileName, QString* why = nullptr);

    // Uploads localFile as remoteName into the account's folder. The data go to a temporary name in
    // that folder, which is renamed to remoteName only once the upload completed, so a broken
    // connection never leaves a cut-off remoteName behind. A missing folder is not created.
    static Result upload(const Account& account, const QString& localFile, const QString& remoteName,
                         const Options& options, const std::atomic<bool>* cancel = nullptr,
                         const Events& events = {});

    // Downloads remoteName from the account's folder into target through a temporary file beside it,
    // which replaces target only when the transfer completed and check accepts it; on any failure
    // target is untouched. cancel is polled during the transfer, from any thread that sets it.
    static Result download(const Account& account, const QString& remoteName, const QString& target,
                           const Options& options, const std::atomic<bool>* cancel = nullptr,
                           const Events& events = {}, const Check& check = {});
};
