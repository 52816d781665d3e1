#include "LibraryText.h"
#include "sync/DailyMessage.h"
#include "sync/TestServer.h"

#include <memory>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class DailyMessageTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_www;
    std::unique_ptr<TestServer> m_server;
    QTemporaryDir m_program;

    QString messageOnServer() const { return m_www.filePath("files/zorbethmessage.txt"); }
    QString messageCopy() const { return m_program.filePath("zorbethmessage.txt"); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_www.isValid());
        QVERIFY(QDir(m_www.path()).mkdir("files"));
        m_server = std::make_unique<TestServer>(m_www.path());
        QVERIFY(m_server->running());
    }

    void downloadMessage_returnsFirstLine_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one line") << QByteArray("Snippets of the day\r\n") << "Snippets of the day";
        QTest::newRow("no line end") << QByteArray("Snippets of the day") << "Snippets of the day";
        QTest::newRow("several lines") << QByteArray("first\r\nsecond\r\nthird\r\n") << "first";
        QTest::newRow("LF line ends") << QByteArray("first\nsecond\n") << "first";
        QTest::newRow("CR line ends") << QByteArray("first\rsecond\r") << "first";
        QTest::newRow("empty first line") << QByteArray("\r\nsecond\r\n") << "";
        QTest::newRow("empty file") << QByteArray() << "";
        QTest::newRow("blanks kept") << QByteArray("  spaced  \r\n") << "  spaced  ";
        QTest::newRow("UTF-8") << QByteArray("Gr\xC3\xBC\xC3\x9F"
                                             "e\r\n")
                               << QString::fromUtf8("Grüße");
        QTest::newRow("Windows-1252") << QByteArray("Caf\xE9 \x80\r\n") << QString::fromUtf8("Café €");
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBFHello\r\n") << "Hello";
        QTest::newRow("as large as allowed")
            << "Short news\r\n" + QByteArray(DailyMessage::MaxBytes - 12, 'x') << "Short news";
    }

    void downloadMessage_returnsFirstLine()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        QVERIFY(LibraryText::writeAll(messageOnServer(), file));

        QCOMPARE(DailyMessage::DownloadMessage(m_server->url(), m_program.path()), expected);
        QCOMPARE(LibraryText::readAll(messageCopy()), file);
        QCOMPARE(QDir(m_program.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"zorbethmessage.txt"});
    }

    void failedDownload_givesNotFoundAndWhy_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QByteArray>("served");
        QTest::addColumn<QString>("why");
        const QByteArray news = "Today's news\r\n";
        QTest::newRow("not found") << m_server->url("status/404/") << news
                                   << "The server answered 404 (Not Found).";
        QTest::newRow("nobody listening")
            << "http://127.0.0.1:1/" << news
            << "Could not connect to the server at http://127.0.0.1:1/files/zorbethmessage.txt.";
        QTest::newRow("cut off") << m_server->url("cut/") << news
                                 << "The server closed the connection before the whole file arrived.";
        QTest::newRow("larger than a message")
            << m_server->url() << "News\r\n" + QByteArray(DailyMessage::MaxBytes, 'x')
            << "The download was stopped: it is larger than 64 KiB, the most accepted.";
        QTest::newRow("endless") << m_server->url("endless/") << news
                                 << "The download was stopped: it is larger than 64 KiB, the most accepted.";
    }

    void failedDownload_givesNotFoundAndWhy()
    {
        QFETCH(QString, base);
        QFETCH(QByteArray, served);
        QFETCH(QString, why);
        QVERIFY(LibraryText::writeAll(messageOnServer(), served));
        QVERIFY(LibraryText::writeAll(messageCopy(), "Yesterday's news\r\n"));

        QCOMPARE(DailyMessage::DownloadMessage(base, m_program.path()),
                 QStringLiteral("Could not find Zorbeth daily message: ") + why);
        QCOMPARE(LibraryText::readAll(messageCopy()), QByteArray("Yesterday's news\r\n"));
        QCOMPARE(QDir(m_program.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"zorbethmessage.txt"});
    }

    void noServerAddress_welcomesWithoutFetching()
    {
        m_server->takeRequests();
        QCOMPARE(DailyMessage::DownloadMessage(QString(), m_program.path()),
                 QStringLiteral("Welcome to Zorbeth"));
        QCOMPARE(m_server->takeRequests(), QStringList());
    }

    void greeting_followsOptionAndConnection_data()
    {
        QTest::addColumn<bool>("option");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("downloads");
        QTest::newRow("option off") << false << true << "Welcome to Zorbeth" << 0;
        QTest::newRow("option off, offline") << false << false << "Welcome to Zorbeth" << 0;
        QTest::newRow("offline") << true << false << "Welcome to Zorbeth (not connected)" << 0;
        QTest::newRow("online") << true << true << "Message of the day" << 1;
    }

    void greeting_followsOptionAndConnection()
    {
        QFETCH(bool, option);
        QFETCH(bool, connected);
        QFETCH(QString, expected);
        QFETCH(int, downloads);
        int calls = 0;

        const QString text = DailyMessage::greeting(option, connected, [&] {
            ++calls;
            return QStringLiteral("Message of the day");
        });

        QCOMPARE(text, expected);
        QCOMPARE(calls, downloads);
    }

    void greeting_online_showsServerMessage()
    {
        QVERIFY(LibraryText::writeAll(messageOnServer(), "New snippets for Rust\r\nmore\r\n"));
        m_server->takeRequests();

        const QString text = DailyMessage::greeting(
            true, true, [&] { return DailyMessage::DownloadMessage(m_server->url(), m_program.path()); });

        QCOMPARE(text, QStringLiteral("New snippets for Rust"));
        QCOMPARE(m_server->takeRequests(), QStringList{"/files/zorbethmessage.txt"});
    }
};

QTEST_GUILESS_MAIN(DailyMessageTest)
#include "tst_daily_message.moc"
