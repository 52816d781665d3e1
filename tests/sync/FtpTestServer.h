#pragma once

#include "sync/FtpTransfer.h"

#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>
#include "ZorbethTestPaths.h"

// The transfer tests' FTP server (tests/data/sync/ftp_server.py) on 127.0.0.1 and a free port, with
// one user whose home is a folder of the test; it runs as long as this object, or until kill().
class FtpTestServer
{
public:
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
    {
        QStringList arguments{QStringLiteral(ZORBETH_TEST_DATA_DIR "/sync/ftp_server.py"), home,
                              QLatin1String(User), QLatin1String(Password)};
        if (throttle > 0) {
            arguments << QStringLiteral("--throttle") << QString::number(throttle);
        }
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"), arguments);
        if (m_process.waitForStarted(5000) && m_process.waitForReadyRead(10000)) {
            m_port = m_process.readLine().trimmed().toInt();
        }
    }

    ~FtpTestServer() { kill(); }

    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    bool running() const { return m_port > 0; }
    int port() const { return m_port; }

    // The address as a user writes it in the window.
    QString address() const { return QStringLiteral("ftp://127.0.0.1:%1").arg(m_port); }

    // Ends the server at once, with every connection it holds.
    void kill()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    QProcess m_process;
    int m_port = 0;
};
