#pragma once

#include "ZorbethTestPaths.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The download tests' web server (tests/data/sync/server.py) on 127.0.0.1 and a free port, serving
// one folder; it runs as long as this object.
class TestServer
{
public:
    enum class Scheme
    {
        Http,
        Https // with a self-signed certificate made for this run; caBundle() vouches for it
    };

    explicit TestServer(const QString& folder, Scheme scheme = Scheme::Http) : m_scheme(scheme)
    {
        QStringList arguments{QStringLiteral(ZORBETH_TEST_DATA_DIR "/sync/server.py"), folder};
        if (m_scheme == Scheme::Https) {
            if (!makeCertificate()) {
                return;
            }
            arguments << caBundle() << m_keys.filePath(QStringLiteral("key.pem"));
        }
        m_process.start(QStringLiteral("/usr/bin/python3"), arguments);
        if (m_process.waitForStarted(5000) && m_process.waitForReadyRead(5000)) {
            m_port = m_process.readLine().trimmed().toInt();
        }
    }

    ~TestServer()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    bool running() const { return m_port > 0; }

    // The server's address with a path prefix that picks how it answers ("" serves the files).
    QString url(const QString& prefix = {}) const
    {
        return QStringLiteral("%1://127.0.0.1:%2/%3")
            .arg(m_scheme == Scheme::Https ? QStringLiteral("https") : QStringLiteral("http"))
            .arg(m_port)
            .arg(prefix);
    }

    // The certificate of an https server, to trust it.
    QString caBundle() const { return m_keys.filePath(QStringLiteral("cert.pem")); }

    // The paths requested since the last call.
    QStringList takeRequests()
    {
        m_process.waitForReadyRead(200);
        QStringList paths;
        while (m_process.canReadLine()) {
            paths << QString::fromUtf8(m_process.readLine().trimmed());
        }
        return paths;
    }

private:
    bool makeCertificate()
    {
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                       QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                       QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                       QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
                       m_keys.filePath(QStringLiteral("key.pem")), QStringLiteral("-out"), caBundle()});
        return openssl.waitForFinished(20000) && openssl.exitStatus() == QProcess::NormalExit &&
               openssl.exitCode() == 0;
    }

    Scheme m_scheme;
    QTemporaryDir m_keys;
    QProcess m_process;
    int m_port = 0;
};
