#pragma once

#include <atomic>
#include <functional>
#include <QList>
#include <QString>
#include <QStringList>

// Moves files to and from a folder on an FTP, FTPS or SFTP server with libcurl.
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
        QString caFile;                  // certificates to trust instead of the system's; empty: the system's
        QString knownHostsFile;          // SSH host keys; empty: ~/.ssh/known_hosts
    };

    // A file to send: the local file and its name on the server.
    struct Outgoing
    {
        QString localFile;
        QString remoteName;
    };

    // A file to receive: its name on the server and the local file it replaces. An optional file the
    // server does not have is left out; the others must all arrive.
    struct Incoming
    {
        QString remoteName;
        QString target;
        bool optional = false;
    };

    // Called on the thread that runs the transfer.
    struct Events
    {
        std::function<void()> connected;              // logged in and in the folder
        std::function<void(qint64 bytes)> remoteSize; // the size the server reports for the files
        std::function<void(qint64 bytes)> progress;   // bytes moved so far, over all files
        // Every byte has moved; the files are being checked and put in place, which a cancel no
        // longer stops (stopping halfway would leave one file replaced and another not).
        std::function<void()> arrived;
    };

    struct Result
    {
        bool ok = false;
        bool cancelled = false;
        bool notFound = false; // the server has no such file
        bool arrived = false;  // every byte moved, whether or not the files then took their places
        qint64 bytes = 0;      // bytes moved
        QString error;         // what went wrong, for the user; empty on success
        QStringList missing;   // the optional files the server did not have
        QString note;          // something the user should know about a transfer that succeeded
    };

    // Decides whether complete downloads may replace their targets; false with why set refuses them.
    // tempPaths are in the order the files were asked for, empty for an optional file left out.
    using Check = std::function<bool(const QStringList& tempPaths, QString* why)>;

    // The address libcurl is given for fileName in the account's folder; empty with why set when the
    // server address cannot be used.
    static QString fileUrl(const Account& account, const QString& fileName, QString* why = nullptr);

    // Uploads the files into the account's folder. Each goes to a temporary name in that folder; only
    // once all of them arrived are they renamed, in the order given, so a broken connection never
    // leaves a cut-off file behind. A server that refuses to rename onto an existing file gets the
    // old copy deleted first. A missing folder is not created.
    static Result upload(const Account& account, const QList<Outgoing>& files, const Options& options,
                         const std::atomic<bool>* cancel = nullptr, const Events& events = {});

    // Downloads the files from the account's folder, each into a temporary file beside its target.
    // Only when every file arrived whole and check accepts them do they replace their targets, the
    // last one first; on any failure before that every target is untouched. cancel is polled during
    // the transfer, from any thread that sets it.
    static Result download(const Account& account, const QList<Incoming>& files, const Options& options,
                           const std::atomic<bool>* cancel = nullptr, const Events& events = {},
                           const Check& check = {});
};
