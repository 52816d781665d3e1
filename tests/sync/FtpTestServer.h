#pragma once

#include "sync/FtpTransfer.h"
#include "ZorbethTestPaths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

// The transfer tests' FTP server (tests/data/sync/ftp_server.py) on 127.0.0.1 and a free port, with
// one user whose home is a folder of the test; it runs as long as this object, or until kill(). With
// TLS it is an FTPS server ("ftps://", implicit TLS) or one that asks for AUTH TLS ("ftpes://"), with
// a self-signed certificate for 127.0.0.1; with SSH it is an SFTP server (sftp_server.py) whose host
// key is kept in the test's folder.
class FtpTestServer
{
public:
    enum class Kind
    {
        Plain,
        ExplicitTls,
        ImplicitTls,
        Sftp,
    };

    struct Setup
    {
        Kind kind = Kind::Plain;
        int throttle = 0;              // bytes per second on each data connection, 0 for full speed
        bool refuseRenameOver = false; // refuses to rename onto an existing file, as IIS does
        QString keyFolder;             // where the certificate or the host key lives (TLS, SSH)

        static Setup plain(int throttle)
        {
            Setup setup;
            setup.throttle = throttle;
            return setup;
        }
    };

    static constexpr char User[] = "zorbeth";
    static constexpr char Password[] = "s3cret-Pa55";

    // Time-outs short enough for a test that expects a transfer to fail.
    static FtpTransfer::Options quickOptions()
    {
        FtpTransfer::Options options;
        options.connectTimeoutSeconds = 5;
        options.lowSpeedSeconds = 5;
        return options;
    }

    // throttle: bytes per second on each data connection, 0 for full speed.
    explicit FtpTestServer(const QString& home, int throttle = 0)
        : FtpTestServer(home, Setup::plain(throttle))
    {}

    FtpTestServer(const QString& home, const Setup& setup) : m_kind(setup.kind)
    {
        const bool ssh = setup.kind == Kind::Sftp;
        QStringList arguments{ssh ? QStringLiteral(ZORBETH_TEST_DATA_DIR "/sync/sftp_server.py")
                                  : QStringLiteral(ZORBETH_TEST_DATA_DIR "/sync/ftp_server.py"),
                              home, QLatin1String(User), QLatin1String(Password)};
        if (ssh) {
            arguments << QDir(setup.keyFolder).filePath(QStringLiteral("host_key"));
        }
        if (setup.throttle > 0) {
            arguments << QStringLiteral("--throttle") << QString::number(setup.throttle);
        }
        if (setup.refuseRenameOver) {
            arguments << QStringLiteral("--no-rename-over");
        }
        if (setup.kind == Kind::ExplicitTls || setup.kind == Kind::ImplicitTls) {
            if (!makeCertificate(setup.keyFolder)) {
                m_whyNot = QStringLiteral("openssl could not make a certificate");
                return;
            }
            arguments << QStringLiteral("--tls")
                      << (setup.kind == Kind::ExplicitTls ? QStringLiteral("explicit")
                                                          : QStringLiteral("implicit"))
                      << QStringLiteral("--cert") << certificateFile(setup.keyFolder)
                      << QStringLiteral("--key") << QDir(setup.keyFolder).filePath(QStringLiteral("key.pem"));
        }
        // The script's own complaints (a Python module missing, say) reach the test's output.
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"), arguments);
        if (!m_process.waitForStarted(5000)) {
            m_whyNot = QStringLiteral("/usr/bin/python3 could not be started: ") + m_process.errorString();
            return;
        }
        QElapsedTimer waited;
        waited.start();
        while (!m_process.canReadLine() && m_process.state() == QProcess::Running &&
               waited.elapsed() < 20000) {
            m_process.waitForReadyRead(500);
        }
        m_port = m_process.readLine().trimmed().toInt();
        if (ssh) {
            while (!m_process.canReadLine() && m_process.state() == QProcess::Running &&
                   waited.elapsed() < 20000) {
                m_process.waitForReadyRead(500);
            }
            m_hostKey = QString::fromLatin1(m_process.readLine().trimmed());
        }
        if (m_port <= 0 || (ssh && m_hostKey.isEmpty())) {
            m_port = 0;
            m_whyNot = QStringLiteral("%1 did not start (its error output is above)").arg(arguments.first());
        }
    }

    ~FtpTestServer() { kill(); }

    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    bool running() const { return m_port > 0; }
    int port() const { return m_port; }
    // Why the server is not running, for the message of a skipped test.
    QString whyNotRunning() const { return m_whyNot; }

    // The address as a user writes it in the window.
    QString address() const
    {
        static const char* const schemes[] = {"ftp", "ftpes", "ftps", "sftp"};
        return QStringLiteral("%1://127.0.0.1:%2").arg(QLatin1String(schemes[int(m_kind)])).arg(m_port);
    }

    // The SFTP server's line for a known_hosts file.
    QString knownHostsLine() const
    {
        return QStringLiteral("[127.0.0.1]:%1 %2\n").arg(m_port).arg(m_hostKey);
    }

    // The self-signed certificate an FTPS server in keyFolder shows.
    static QString certificateFile(const QString& keyFolder)
    {
        return QDir(keyFolder).filePath(QStringLiteral("cert.pem"));
    }

    // Makes a self-signed certificate for 127.0.0.1 in keyFolder unless one is there.
    static bool makeCertificate(const QString& keyFolder)
    {
        if (QFile::exists(certificateFile(keyFolder))) {
            return true;
        }
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                       "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1", "-days", "2",
                       "-keyout", QDir(keyFolder).filePath(QStringLiteral("key.pem")), "-out",
                       certificateFile(keyFolder)});
        return openssl.waitForFinished(20000) && openssl.exitCode() == 0 &&
               QFile::exists(certificateFile(keyFolder));
    }

    // Ends the server at once, with every connection it holds.
    void kill()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    Kind m_kind = Kind::Plain;
    QProcess m_process;
    int m_port = 0;
    QString m_hostKey;
    QString m_whyNot;
};
