#include "LibraryText.h"
#include "sync/FtpLibrary.h"
#include "sync/FtpTestServer.h"
#include "sync/FtpTransfer.h"

#include <atomic>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(FtpTestServer::Kind)

namespace {

using LibraryText::End;
using LibraryText::largeLibrary;
const QByteArray LocalLibrary = LibraryText::Header + LibraryText::block("Local one") + End;
const QByteArray ServerLibrary = LibraryText::Header + LibraryText::block("From the server") + End;

} // namespace

// The same transfers as over plain FTP, against real FTPS (explicit and implicit TLS) and SFTP
// servers on this machine, which the program trusts only through the certificate file and the known
// hosts file the user names.
class FtpSecureTransferTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;    // the server user's home
    QTemporaryDir m_program; // the local side
    QTemporaryDir m_keys;    // the server's certificate or host key, and the known hosts file

    QString localPath() const { return m_program.filePath("zorbeth.txt"); }
    QString resourcePath() const { return m_program.filePath("zorbethresource.res"); }
    QString serverPath() const { return m_home.filePath("zorbeth.txt"); }
    QString serverResource() const { return m_home.filePath("zorbethresource.res"); }
    QString knownHosts() const { return m_keys.filePath("known_hosts"); }

    static QString password() { return QLatin1String(FtpTestServer::Password); }

    // A server of kind on the test's home; skips the test, saying why, when it cannot start.
    std::unique_ptr<FtpTestServer> start(FtpTestServer::Kind kind, int throttle = 0)
    {
        FtpTestServer::Setup setup;
        setup.kind = kind;
        setup.throttle = throttle;
        setup.keyFolder = m_keys.path();
        auto server = std::make_unique<FtpTestServer>(m_home.path(), setup);
        if (server->running() && kind == FtpTestServer::Kind::Sftp) {
            LibraryText::writeAll(knownHosts(), server->knownHostsLine().toLatin1());
        }
        return server;
    }

    FtpTransfer::Account account(const FtpTestServer& server) const
    {
        FtpTransfer::Account a;
        a.server = server.address();
        a.user = QLatin1String(FtpTestServer::User);
        a.password = password();
        return a;
    }

    // What the user sets up to trust the test servers: the certificate and the known hosts file.
    FtpTransfer::Options trusting() const
    {
        FtpTransfer::Options options = FtpTestServer::quickOptions();
        options.caFile = FtpTestServer::certificateFile(m_keys.path());
        options.knownHostsFile = knownHosts();
        return options;
    }

    QStringList serverFiles() const { return QDir(m_home.path()).entryList(QDir::Files | QDir::Hidden); }

    static void addKinds()
    {
        QTest::addColumn<FtpTestServer::Kind>("kind");
        QTest::newRow("FTPS, explicit TLS") << FtpTestServer::Kind::ExplicitTls;
        QTest::newRow("FTPS, implicit TLS") << FtpTestServer::Kind::ImplicitTls;
        QTest::newRow("SFTP") << FtpTestServer::Kind::Sftp;
    }

private slots:
    void init()
    {
        for (QTemporaryDir* dir : {&m_home, &m_program, &m_keys}) {
            QDir(dir->path()).removeRecursively();
            QVERIFY(QDir().mkpath(dir->path()));
        }
        QVERIFY(LibraryText::writeAll(localPath(), LocalLibrary));
        QVERIFY(LibraryText::writeAll(resourcePath(), "LOCAL-ATTACHMENTS"));
    }

    void sendReceiveRestore_data() { addKinds(); }

    void sendReceiveRestore()
    {
        QFETCH(FtpTestServer::Kind, kind);
        const auto server = start(kind);
        if (!server->running()) {
            QSKIP(qPrintable(server->whyNotRunning()));
        }
        const FtpTransfer::Options options = trusting();
        // Twice, so the second Send replaces the copies the first one left.
        for (int round = 0; round < 2; ++round) {
            const FtpTransfer::Result sent =
                FtpLibrary::send(account(*server), localPath(), resourcePath(), options);
            QVERIFY2(sent.ok, qPrintable(sent.error));
        }
        QCOMPARE(serverFiles(), (QStringList{"zorbeth.txt", "zorbethresource.res"}));
        QCOMPARE(LibraryText::readAll(serverPath()), LocalLibrary);
        QCOMPARE(LibraryText::readAll(serverResource()), QByteArray("LOCAL-ATTACHMENTS"));

        QVERIFY(LibraryText::writeAll(serverPath(), ServerLibrary));
        QVERIFY(LibraryText::writeAll(serverResource(), "SERVER-ATTACHMENTS"));
        const FtpTransfer::Result received =
            FtpLibrary::receive(account(*server), localPath(), resourcePath(), options);
        QVERIFY2(received.ok, qPrintable(received.error));
        QCOMPARE(LibraryText::readAll(localPath()), ServerLibrary);
        QCOMPARE(LibraryText::readAll(resourcePath()), QByteArray("SERVER-ATTACHMENTS"));

        QString why;
        QVERIFY2(FtpLibrary::restore(localPath(), resourcePath(), &why), qPrintable(why));
        QCOMPARE(LibraryText::readAll(localPath()), LocalLibrary);
        QCOMPARE(LibraryText::readAll(resourcePath()), QByteArray("LOCAL-ATTACHMENTS"));
    }

    void wrongPassword_isRefusedWithoutShowingIt_data() { addKinds(); }

    void wrongPassword_isRefusedWithoutShowingIt()
    {
        QFETCH(FtpTestServer::Kind, kind);
        QVERIFY(LibraryText::writeAll(serverPath(), ServerLibrary));
        const auto server = start(kind);
        if (!server->running()) {
            QSKIP(qPrintable(server->whyNotRunning()));
        }
        FtpTransfer::Account a = account(*server);
        a.password = QStringLiteral("Wrong-Pa55word");
        for (const bool sending : {true, false}) {
            const FtpTransfer::Result result =
                sending ? FtpLibrary::send(a, localPath(), resourcePath(), trusting())
                        : FtpLibrary::receive(a, localPath(), resourcePath(), trusting());
            QVERIFY(!result.ok);
            QVERIFY2(result.error.contains("password"), qPrintable(result.error));
            QVERIFY(!result.error.contains(a.password));
            QVERIFY(!FtpTransfer::fileUrl(a, "zorbeth.txt").contains(a.password));
        }
        QCOMPARE(LibraryText::readAll(localPath()), LocalLibrary);
        QCOMPARE(serverFiles(), QStringList{"zorbeth.txt"});
        QCOMPARE(LibraryText::readAll(serverPath()), ServerLibrary);
    }

    // An unknown certificate or host key is never taken on trust, and the message says what to do.
    void untrustedServer_isRefused_data()
    {
        QTest::addColumn<FtpTestServer::Kind>("kind");
        QTest::addColumn<QString>("known"); // the known hosts file: "", "none", or "other key"
        QTest::addColumn<QString>("reason");
        QTest::newRow("FTPS, explicit TLS, self-signed") << FtpTestServer::Kind::ExplicitTls << ""
                                                         << "FTPCAFile";
        QTest::newRow("FTPS, implicit TLS, self-signed") << FtpTestServer::Kind::ImplicitTls << ""
                                                         << "FTPCAFile";
        QTest::newRow("SFTP, unknown host key") << FtpTestServer::Kind::Sftp << "none"
                                                << "not in the known hosts";
        QTest::newRow("SFTP, changed host key") << FtpTestServer::Kind::Sftp << "other key"
                                                << "differs";
    }

    void untrustedServer_isRefused()
    {
        QFETCH(FtpTestServer::Kind, kind);
        QFETCH(QString, known);
        QFETCH(QString, reason);
        QVERIFY(LibraryText::writeAll(serverPath(), ServerLibrary));
        const auto server = start(kind);
        if (!server->running()) {
            QSKIP(qPrintable(server->whyNotRunning()));
        }
        FtpTransfer::Options options = trusting();
        options.caFile.clear(); // the system's authorities only
        if (known == "none") {
            QVERIFY(LibraryText::writeAll(knownHosts(), ""));
        } else if (known == "other key") {
            // Another server's key recorded for this one's address.
            QTemporaryDir otherKeys;
            FtpTestServer::Setup setup;
            setup.kind = kind;
            setup.keyFolder = otherKeys.path();
            const FtpTestServer other(m_program.path(), setup);
            QVERIFY(other.running());
            const QString line = other.knownHostsLine().replace(QString::number(other.port()),
                                                                QString::number(server->port()));
            QVERIFY(LibraryText::writeAll(knownHosts(), line.toLatin1()));
        }
        for (const bool sending : {true, false}) {
            const FtpTransfer::Result result =
                sending ? FtpLibrary::send(account(*server), localPath(), resourcePath(), options)
                        : FtpLibrary::receive(account(*server), localPath(), resourcePath(), options);
            QVERIFY(!result.ok);
            QVERIFY2(result.error.contains(reason), qPrintable(result.error));
            QVERIFY2(result.error.contains(QStringLiteral("127.0.0.1:%1").arg(server->port())),
                     qPrintable(result.error));
            QVERIFY(!result.error.contains(password()));
            if (kind == FtpTestServer::Kind::Sftp) {
                // The key offered is named, so the user can compare it with the server's.
                QVERIFY2(result.error.contains("(SHA256:"), qPrintable(result.error));
            }
        }
        QCOMPARE(LibraryText::readAll(localPath()), LocalLibrary);
        QCOMPARE(serverFiles(), QStringList{"zorbeth.txt"});
        QCOMPARE(LibraryText::readAll(serverPath()), ServerLibrary);
    }

    void cancelDuringTransfer_changesNeitherSide_data()
    {
        QTest::addColumn<FtpTestServer::Kind>("kind");
        QTest::addColumn<bool>("sending");
        for (const auto& [name, kind] : {std::pair{"FTPS, explicit TLS", FtpTestServer::Kind::ExplicitTls},
                                         std::pair{"FTPS, implicit TLS", FtpTestServer::Kind::ImplicitTls},
                                         std::pair{"SFTP", FtpTestServer::Kind::Sftp}}) {
            QTest::newRow(qPrintable(QStringLiteral("%1, send").arg(name))) << kind << true;
            QTest::newRow(qPrintable(QStringLiteral("%1, receive").arg(name))) << kind << false;
        }
    }

    void cancelDuringTransfer_changesNeitherSide()
    {
        QFETCH(FtpTestServer::Kind, kind);
        QFETCH(bool, sending);
        const QByteArray large = largeLibrary(1000000);
        QVERIFY(LibraryText::writeAll(serverPath(), sending ? ServerLibrary : large));
        QVERIFY(LibraryText::writeAll(localPath(), sending ? large : LocalLibrary));
        const auto server = start(kind, 200000);
        if (!server->running()) {
            QSKIP(qPrintable(server->whyNotRunning()));
        }
        std::atomic<bool> cancel{false};
        FtpTransfer::Events events;
        events.progress = [&](qint64 bytes) {
            if (bytes > 100000) {
                cancel = true;
            }
        };
        QElapsedTimer timer;
        timer.start();
        const FtpTransfer::Result result =
            sending
                ? FtpLibrary::send(account(*server), localPath(), resourcePath(), trusting(), &cancel, events)
                : FtpLibrary::receive(account(*server), localPath(), resourcePath(), trusting(), &cancel,
                                      events);
        QVERIFY(cancel);
        QVERIFY(result.cancelled);
        QVERIFY(!result.ok);
        QVERIFY2(timer.elapsed() < 8000, "the transfer ended soon after the cancel");
        QCOMPARE(LibraryText::readAll(localPath()), sending ? large : LocalLibrary);
        QCOMPARE(LibraryText::readAll(serverPath()), sending ? ServerLibrary : large);
        QVERIFY(!QFile::exists(FtpLibrary::backupPath(localPath())));
        QTRY_COMPARE_WITH_TIMEOUT(serverFiles(), QStringList{"zorbeth.txt"}, 5000);
    }
};

QTEST_GUILESS_MAIN(FtpSecureTransferTest)
#include "tst_ftp_secure_transfer.moc"
