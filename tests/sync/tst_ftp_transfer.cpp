#include "LibraryText.h"
#include "sync/FtpLibrary.h"
#include "sync/FtpTestServer.h"
#include "sync/FtpTransfer.h"

#include <atomic>
#include <memory>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using LibraryText::End;
using LibraryText::largeLibrary;
const QByteArray LocalLibrary = LibraryText::Header + LibraryText::block("Local one") + End;
const QByteArray ServerLibrary =
    LibraryText::Header + LibraryText::block("From the server") + LibraryText::block("Another one") + End;
const QByteArray OlderBackup = LibraryText::Header + LibraryText::block("Older backup") + End;

} // namespace

class FtpTransferTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;    // the server user's home
    QTemporaryDir m_program; // the local side

    QString localPath() const { return m_program.filePath("zorbeth.txt"); }
    QString backupPath() const { return FtpLibrary::backupPath(localPath()); }
    QString serverPath() const { return m_home.filePath("zorbeth.txt"); }
    QString resourcePath() const { return m_program.filePath("zorbethresource.res"); }
    QString serverResource() const { return m_home.filePath("zorbethresource.res"); }

    FtpTransfer::Result send(const FtpTransfer::Account& a, const std::atomic<bool>* cancel = nullptr,
                             const FtpTransfer::Events& events = {}) const
    {
        return FtpLibrary::send(a, localPath(), resourcePath(), FtpTestServer::quickOptions(), cancel,
                                events);
    }

    FtpTransfer::Result receive(const FtpTransfer::Account& a, const std::atomic<bool>* cancel = nullptr,
                                const FtpTransfer::Events& events = {}) const
    {
        return FtpLibrary::receive(a, localPath(), resourcePath(), FtpTestServer::quickOptions(), cancel,
                                   events);
    }

    FtpTransfer::Account account(const FtpTestServer& server) const
    {
        FtpTransfer::Account a;
        a.server = server.address();
        a.user = QLatin1String(FtpTestServer::User);
        a.password = QLatin1String(FtpTestServer::Password);
        return a;
    }

    QStringList serverFiles() const { return QDir(m_home.path()).entryList(QDir::Files | QDir::Hidden); }
    QStringList localFiles() const { return QDir(m_program.path()).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void init()
    {
        for (QTemporaryDir* dir : {&m_home, &m_program}) {
            QDir(dir->path()).removeRecursively();
            QVERIFY(QDir().mkpath(dir->path()));
        }
        QVERIFY(LibraryText::writeAll(localPath(), LocalLibrary));
    }

    void fileUrl_followsTheAddressForm_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("expected");
        QTest::newRow("host alone is plain FTP in the login folder") << "ftp.example.org"
                                                                     << ""
                                                                     << "ftp://ftp.example.org/zorbeth.txt";
        QTest::newRow("relative folder") << "ftp://ftp.example.org"
                                         << "public/lib"
                                         << "ftp://ftp.example.org/public/lib/zorbeth.txt";
        QTest::newRow("folder from the root, blanks encoded")
            << "ftps://host:990"
            << "/pub/my lib/"
            << "ftps://host:990/%2Fpub/my%20lib/zorbeth.txt";
        QTest::newRow("explicit TLS is FTP on the wire") << "FTPES://host"
                                                         << "x"
                                                         << "ftp://host/x/zorbeth.txt";
        QTest::newRow("SFTP folder below the home") << "sftp://host:22"
                                                    << "lib"
                                                    << "sftp://host:22/~/lib/zorbeth.txt";
        QTest::newRow("SFTP folder from the root") << "sftp://host"
                                                   << "/srv/lib"
                                                   << "sftp://host/srv/lib/zorbeth.txt";
        QTest::newRow("backslashes as separators") << "host"
                                                   << "a\\b"
                                                   << "ftp://host/a/b/zorbeth.txt";
        QTest::newRow("web address refused") << "http://host"
                                             << ""
                                             << "";
        QTest::newRow("user name in the address refused") << "ftp://me@host"
                                                          << ""
                                                          << "";
        QTest::newRow("no host") << "ftp://"
                                 << "x"
                                 << "";
    }

    void fileUrl_followsTheAddressForm()
    {
        QFETCH(QString, server);
        QFETCH(QString, folder);
        QFETCH(QString, expected);
        FtpTransfer::Account a;
        a.server = server;
        a.folder = folder;
        QString why;
        QCOMPARE(FtpTransfer::fileUrl(a, QStringLiteral("zorbeth.txt"), &why), expected);
        QCOMPARE(why.isEmpty(), !expected.isEmpty());
    }

    void sendThenReceive_isByteIdentical_data()
    {
        QTest::addColumn<bool>("passive");
        QTest::addColumn<QString>("folder");
        QTest::newRow("passive") << true << "";
        QTest::newRow("active") << false << "";
        QTest::newRow("in a folder") << true << "library";
        QTest::newRow("in a folder from the root") << true << "/library";
    }

    void sendThenReceive_isByteIdentical()
    {
        QFETCH(bool, passive);
        QFETCH(QString, folder);
        const FtpTransfer::Options options = FtpTestServer::quickOptions();
        if (!folder.isEmpty()) {
            QVERIFY(QDir(m_home.path()).mkdir(folder.mid(folder.startsWith('/') ? 1 : 0)));
        }
        FtpTestServer server(m_home.path());
        QVERIFY(server.running());
        FtpTransfer::Account a = account(server);
        a.passive = passive;
        a.folder = folder;
        const QByteArray sent = largeLibrary(300000);
        QVERIFY(LibraryText::writeAll(localPath(), sent));

        qint64 lastProgress = 0;
        bool connected = false;
        FtpTransfer::Events events;
        events.connected = [&] { connected = true; };
        events.progress = [&](qint64 bytes) { lastProgress = bytes; };
        const FtpTransfer::Result sendResult =
            FtpLibrary::send(a, localPath(), resourcePath(), options, nullptr, events);
        QVERIFY2(sendResult.ok, qPrintable(sendResult.error));
        QVERIFY(connected);
        QCOMPARE(lastProgress, sent.size());
        const QDir serverFolder(m_home.filePath(folder.mid(folder.startsWith('/') ? 1 : 0)));
        // Only the renamed file is left: no temporary name stays behind.
        QCOMPARE(serverFolder.entryList(QDir::Files | QDir::Hidden), QStringList{"zorbeth.txt"});
        QCOMPARE(LibraryText::readAll(serverFolder.filePath("zorbeth.txt")), sent);

        QVERIFY(LibraryText::writeAll(localPath(), LocalLibrary));
        qint64 remoteSize = -1;
        events.remoteSize = [&](qint64 bytes) { remoteSize = bytes; };
        const FtpTransfer::Result receiveResult =
            FtpLibrary::receive(a, localPath(), resourcePath(), options, nullptr, events);
        QVERIFY2(receiveResult.ok, qPrintable(receiveResult.error));
        QCOMPARE(remoteSize, sent.size());
        QCOMPARE(LibraryText::readAll(localPath()), sent);
        QCOMPARE(LibraryText::readAll(backupPath()), LocalLibrary);
    }

    void send_replacesTheServerCopy()
    {
        QVERIFY(LibraryText::writeAll(serverPath(), ServerLibrary));
        FtpTestServer server(m_home.path());
        QVERIFY(server.running());
        const FtpTransfer::Result result = send(account(server));
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(LibraryText::readAll(serverPath()), LocalLibrary);
        QCOMPARE(serverFiles(), QStringList{"zorbeth.txt"});
    }

    void receiveTwice_backupHoldsTheLibraryBeforeTheSecond()
    {
        QVERIFY(LibraryText::writeAll(serverPath(), ServerLibrary));
        FtpTestServer server(m_home.path());
        QVERIFY(server.running());
        QVERIFY(receive(account(server)).ok);
        QCOMPARE(LibraryText::readAll(backupPath()), LocalLibrary);

        const QByteArray edited = LibraryText::Header + LibraryText::block("Edited after") + End;
        QVERIFY(LibraryText::writeAll(localPath(), edited));
        QVERIFY(receive(account(server)).ok);
        QCOMPARE(LibraryText::readAll(localPath()), ServerLibrary);
        QCOMPARE(LibraryText::readAll(backupPath()), edited);
        QCOMPARE(localFiles(), (QStringList{"zorbeth.txt", "zorbeth.txt.bak"}));
    }

    void receive_withoutServerFile_reportsNotFoundAndChangesNothing()
    {
        QVERIFY(LibraryText::writeAll(backupPath(), OlderBackup));
        FtpTestServer server(m_home.path());
        QVERIFY(server.running());
        const FtpTransfer::Result result = receive(account(server));
        QVERIFY(!result.ok);
        QVERIFY(result.notFound);
        QVERIFY(!result.error.isEmpty());
        QCOMPARE(LibraryText::readAll(localPath()), LocalLibrary);
        QCOMPARE(LibraryText::readAll(backupPath()), OlderBackup);
        QCOMPARE(localFiles(), (QStringList{"zorbeth.txt", "zorbeth.txt.bak"}));
    }

    void receive_refusesWhatIsNoCompleteLibrary_data()
    {
        QTest::addColumn<QByteArray>("onServer");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty file") << QByteArray() << "empty";
        QTest::newRow("web page") << QByteArray("<!DOCTYPE html>\r\n<html><body>Welcome</body></html>\r\n")
                                  << "end marker";
        QTest::newRow("cut off") << ServerLibrary.left(ServerLibrary.size() - 40) << "end marker";
        QTest::newRow("header and end only") << LibraryText::Header + End << "no snippet";
    }

    void receive_refusesWhatIsNoCompleteLibrary()
    {
        QFETCH(QByteArray, onServer);
        QFETCH(QString, reason);
        QVERIFY(LibraryText::writeAll(serverPath(), onServer));
        QVERIFY(LibraryText::writeAll(backupPath(), OlderBackup));
        FtpTestServer server(m_home.path());
        QVERIFY(server.running());
        const FtpTransfer::Result result = receive(account(server));
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(reason), qPrintable(result.error));
        QCOMPARE(LibraryText::readAll(localPath()), LocalLibrary);
        QCOMPARE(LibraryText::readAll(backupPath()), OlderBackup);
        QCOMPARE(localFiles(), (QStringList{"zorbeth.txt", "zorbeth.txt.bak"}));
    }

    void wrongPassword_isRefusedAndChangesNothing_data()
    {
        QTest::addColumn<bool>("sending");
        QTest::newRow("send") << true;
        QTest::newRow("receive") << false;
    }

    void wrongPassword_isRefusedAndChangesNothing()
    {
        QFETCH(bool, sending);
        QVERIFY(LibraryText::writeAll(serverPath(), ServerLibrary));
        FtpTestServer server(m_home.path());
        QVERIFY(server.running());
        FtpTransfer::Account a = account(server);
        a.password = QStringLiteral("wrong-Secret-42");
        const FtpTransfer::Result result = sending ? send(a) : receive(a);
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains("password"), qPrintable(result.error));
        QVERIFY(!result.error.contains(a.password));
        QCOMPARE(LibraryText::readAll(localPath()), LocalLibrary);
        QCOMPARE(LibraryText::readAll(serverPath()), ServerLibrary);
        QCOMPARE(serverFiles(), QStringList{"zorbeth.txt"});
        QVERIFY(!QFile::exists(backupPath()));
    }

    void send_toMissingFolder_failsWithoutCreatingIt()
    {
        FtpTestServer server(m_home.path());
        QVERIFY(server.running());
        FtpTransfer::Account a = account(server);
        a.folder = QStringLiteral("not/there");
        const FtpTransfer::Result result = send(a);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(QDir(m_home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }

    void noServer_failsWithinTheConnectTimeout()
    {
        FtpTransfer::Account a;
        a.server = QStringLiteral("ftp://127.0.0.1:1");
        QElapsedTimer timer;
        timer.start();
        const FtpTransfer::Result result = receive(a);
        QVERIFY(!result.ok);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(timer.elapsed() < 6000);
        QCOMPARE(LibraryText::readAll(localPath()), LocalLibrary);
    }

    // A throttled server keeps the transfer going long enough to act in its middle: either the user
    // cancels, or the server goes away with every connection.
    void interruptedTransfer_changesNeitherSide_data()
    {
        QTest::addColumn<bool>("sending");
        QTest::addColumn<bool>("dropped");
        QTest::newRow("send cancelled") << true << false;
        QTest::newRow("receive cancelled") << false << false;
        QTest::newRow("send, connection dropped") << true << true;
        QTest::newRow("receive, connection dropped") << false << true;
    }

    void interruptedTransfer_changesNeitherSide()
    {
        QFETCH(bool, sending);
        QFETCH(bool, dropped);
        const QByteArray large = largeLibrary(1500000);
        QVERIFY(LibraryText::writeAll(serverPath(), sending ? ServerLibrary : large));
        QVERIFY(LibraryText::writeAll(localPath(), sending ? large : LocalLibrary));
        QVERIFY(LibraryText::writeAll(backupPath(), OlderBackup));
        FtpTestServer server(m_home.path(), 200000);
        QVERIFY(server.running());

        std::atomic<bool> cancel{false};
        std::atomic<bool> interrupted{false};
        FtpTransfer::Events events;
        events.progress = [&](qint64 bytes) {
            if (bytes > 100000 && !interrupted.exchange(true)) {
                if (dropped) {
                    server.kill();
                } else {
                    cancel = true;
                }
            }
        };
        QElapsedTimer timer;
        timer.start();
        const FtpTransfer::Result result =
            sending ? send(account(server), &cancel, events) : receive(account(server), &cancel, events);
        QVERIFY(interrupted);
        QVERIFY(!result.ok);
        QCOMPARE(result.cancelled, !dropped);
        QVERIFY(!result.error.isEmpty());
        QVERIFY2(timer.elapsed() < 5000, "the transfer ended soon after the interruption");
        QCOMPARE(LibraryText::readAll(localPath()), sending ? large : LocalLibrary);
        QCOMPARE(LibraryText::readAll(backupPath()), OlderBackup);
        QCOMPARE(localFiles(), (QStringList{"zorbeth.txt", "zorbeth.txt.bak"}));
        QCOMPARE(LibraryText::readAll(serverPath()), sending ? ServerLibrary : large);
        if (sending && !dropped) {
            // The cut-off upload under its temporary name is taken away again.
            QTRY_COMPARE(serverFiles(), QStringList{"zorbeth.txt"});
        }
    }

    // The attachments go and come with the library; the backup keeps the pair that was replaced.
    void pair_travelsTogetherAndRestoresTogether()
    {
        FtpTestServer server(m_home.path());
        QVERIFY(server.running());
        QVERIFY(LibraryText::writeAll(resourcePath(), "LOCAL-ATTACHMENTS"));
        FtpTransfer::Result result = send(account(server));
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(serverFiles(), (QStringList{"zorbeth.txt", "zorbethresource.res"}));
        QCOMPARE(LibraryText::readAll(serverResource()), QByteArray("LOCAL-ATTACHMENTS"));

        QVERIFY(LibraryText::writeAll(serverPath(), ServerLibrary));
        QVERIFY(LibraryText::writeAll(serverResource(), "SERVER-ATTACHMENTS"));
        result = receive(account(server));
        QVERIFY2(result.ok, qPrintable(result.error));
        QVERIFY(result.note.isEmpty());
        QCOMPARE(LibraryText::readAll(localPath()), ServerLibrary);
        QCOMPARE(LibraryText::readAll(resourcePath()), QByteArray("SERVER-ATTACHMENTS"));
        QCOMPARE(LibraryText::readAll(backupPath()), LocalLibrary);
        QCOMPARE(LibraryText::readAll(FtpLibrary::backupPath(resourcePath())),
                 QByteArray("LOCAL-ATTACHMENTS"));

        QString why;
        QVERIFY2(FtpLibrary::restore(localPath(), resourcePath(), &why), qPrintable(why));
        QCOMPARE(LibraryText::readAll(localPath()), LocalLibrary);
        QCOMPARE(LibraryText::readAll(resourcePath()), QByteArray("LOCAL-ATTACHMENTS"));
    }

    void receive_fromServerWithoutAttachments_keepsTheLocalOnesAndSaysSo()
    {
        QVERIFY(LibraryText::writeAll(serverPath(), ServerLibrary));
        QVERIFY(LibraryText::writeAll(resourcePath(), "LOCAL-ATTACHMENTS"));
        FtpTestServer server(m_home.path());
        QVERIFY(server.running());
        const FtpTransfer::Result result = receive(account(server));
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(result.missing, QStringList{"zorbethresource.res"});
        QVERIFY2(result.note.contains("zorbethresource.res"), qPrintable(result.note));
        QCOMPARE(LibraryText::readAll(localPath()), ServerLibrary);
        QCOMPARE(LibraryText::readAll(resourcePath()), QByteArray("LOCAL-ATTACHMENTS"));
        // The backup pair is the pair that was in use.
        QCOMPARE(LibraryText::readAll(FtpLibrary::backupPath(resourcePath())),
                 QByteArray("LOCAL-ATTACHMENTS"));
    }

    // A library refused at the check leaves the attachments and both backups alone as well.
    void receive_refused_keepsThePairAndItsBackups()
    {
        QVERIFY(LibraryText::writeAll(serverPath(), ServerLibrary.left(ServerLibrary.size() - 40)));
        QVERIFY(LibraryText::writeAll(serverResource(), "SERVER-ATTACHMENTS"));
        QVERIFY(LibraryText::writeAll(resourcePath(), "LOCAL-ATTACHMENTS"));
        QVERIFY(LibraryText::writeAll(backupPath(), OlderBackup));
        QVERIFY(LibraryText::writeAll(FtpLibrary::backupPath(resourcePath()), "OLDER-ATTACHMENTS"));
        FtpTestServer server(m_home.path());
        QVERIFY(server.running());
        const FtpTransfer::Result result = receive(account(server));
        QVERIFY(!result.ok);
        QVERIFY(result.arrived);
        QCOMPARE(LibraryText::readAll(localPath()), LocalLibrary);
        QCOMPARE(LibraryText::readAll(resourcePath()), QByteArray("LOCAL-ATTACHMENTS"));
        QCOMPARE(LibraryText::readAll(backupPath()), OlderBackup);
        QCOMPARE(LibraryText::readAll(FtpLibrary::backupPath(resourcePath())),
                 QByteArray("OLDER-ATTACHMENTS"));
        QCOMPARE(localFiles(), (QStringList{"zorbeth.txt", "zorbeth.txt.bak", "zorbethresource.res",
                                            "zorbethresource.res.bak"}));
    }

    // A cancel counts only while it can still stop the transfer: once every byte arrived, the files
    // take their places and the result says so.
    void cancelAtEachStage_resultTellsWhatHappened_data()
    {
        QTest::addColumn<bool>("sending");
        QTest::addColumn<QString>("stage");
        QTest::addColumn<bool>("replaced");
        for (const bool sending : {true, false}) {
            const QString what = sending ? QStringLiteral("send") : QStringLiteral("receive");
            QTest::newRow(qPrintable(what + ", before connecting")) << sending << "start" << false;
            QTest::newRow(qPrintable(what + ", once connected")) << sending << "connected" << false;
            QTest::newRow(qPrintable(what + ", during the transfer")) << sending << "progress" << false;
            QTest::newRow(qPrintable(what + ", after every byte arrived")) << sending << "arrived" << true;
        }
    }

    void cancelAtEachStage_resultTellsWhatHappened()
    {
        QFETCH(bool, sending);
        QFETCH(QString, stage);
        QFETCH(bool, replaced);
        const QByteArray large = largeLibrary(600000);
        QVERIFY(LibraryText::writeAll(serverPath(), sending ? ServerLibrary : large));
        QVERIFY(LibraryText::writeAll(serverResource(), "SERVER-ATTACHMENTS"));
        QVERIFY(LibraryText::writeAll(localPath(), sending ? large : LocalLibrary));
        QVERIFY(LibraryText::writeAll(resourcePath(), "LOCAL-ATTACHMENTS"));
        FtpTestServer server(m_home.path(), 400000);
        QVERIFY(server.running());

        std::atomic<bool> cancel{stage == "start"};
        FtpTransfer::Events events;
        events.connected = [&] { cancel = cancel || stage == "connected"; };
        events.progress = [&](qint64 bytes) { cancel = cancel || (stage == "progress" && bytes > 100000); };
        events.arrived = [&] { cancel = cancel || stage == "arrived"; };
        const FtpTransfer::Result result =
            sending ? send(account(server), &cancel, events) : receive(account(server), &cancel, events);
        QVERIFY(cancel);
        QCOMPARE(result.ok, replaced);
        QCOMPARE(result.cancelled, !replaced);
        // The large library is the new one either way; the other side keeps its own until replaced.
        const QByteArray oldLibrary = sending ? ServerLibrary : LocalLibrary;
        const QByteArray newResource = sending ? "LOCAL-ATTACHMENTS" : "SERVER-ATTACHMENTS";
        const QByteArray oldResource = sending ? "SERVER-ATTACHMENTS" : "LOCAL-ATTACHMENTS";
        QCOMPARE(LibraryText::readAll(sending ? serverPath() : localPath()), replaced ? large : oldLibrary);
        QCOMPARE(LibraryText::readAll(sending ? serverResource() : resourcePath()),
                 replaced ? newResource : oldResource);
        QCOMPARE(QFile::exists(backupPath()), !sending && replaced);
        QTRY_COMPARE(serverFiles(), (QStringList{"zorbeth.txt", "zorbethresource.res"}));
    }

    // IIS, by default, will not rename onto an existing file: the old copy goes first.
    void send_toServerThatRefusesRenameOver_replacesTheCopies()
    {
        QVERIFY(LibraryText::writeAll(serverPath(), ServerLibrary));
        QVERIFY(LibraryText::writeAll(serverResource(), "SERVER-ATTACHMENTS"));
        QVERIFY(LibraryText::writeAll(resourcePath(), "LOCAL-ATTACHMENTS"));
        FtpTestServer::Setup setup;
        setup.refuseRenameOver = true;
        FtpTestServer server(m_home.path(), setup);
        QVERIFY(server.running());
        for (int round = 0; round < 2; ++round) {
            const FtpTransfer::Result result = send(account(server));
            QVERIFY2(result.ok, qPrintable(result.error));
            QCOMPARE(LibraryText::readAll(serverPath()), LocalLibrary);
            QCOMPARE(LibraryText::readAll(serverResource()), QByteArray("LOCAL-ATTACHMENTS"));
            QCOMPARE(serverFiles(), (QStringList{"zorbeth.txt", "zorbethresource.res"}));
        }
    }

    void restore_putsTheBackupBackAndKeepsIt()
    {
        QString why;
        QVERIFY(!FtpLibrary::restore(localPath(), resourcePath(), &why));
        QVERIFY(!why.isEmpty());
        QCOMPARE(LibraryText::readAll(localPath()), LocalLibrary);

        QVERIFY(LibraryText::writeAll(backupPath(), OlderBackup));
        QVERIFY(FtpLibrary::restore(localPath(), resourcePath(), &why));
        QCOMPARE(LibraryText::readAll(localPath()), OlderBackup);
        QCOMPARE(LibraryText::readAll(backupPath()), OlderBackup);
    }
};

QTEST_GUILESS_MAIN(FtpTransferTest)
#include "tst_ftp_transfer.moc"
