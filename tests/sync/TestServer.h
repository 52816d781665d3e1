#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include "ZorbethTestPaths.h"

// The download tests' web server (tests/data/sync/server.py) on 127.0.0.1 and a free port, serving
// one folder; it runs as long as this object.
class TestServer
{
public:
    explicit TestServer(const QString& folder)
    {
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral(ZORBETH_TEST_DATA_DIR "/sync/server.py"), folder});
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
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(prefix);
    }

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
    QProcess m_process;
    int m_port = 0;
};
