#include "sync/TestServer.h"
#include "sync/ui/MessageCommands.h"
#include "sync/ui/NetworkState.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QSignalSpy>

// The greeting at start-up, the message option, the server address and the online update, in the window.
class DailyMessageWindowTest : public QObject
{
    Q_OBJECT

    static QString status(WindowFixture& f) { return f.find<QLabel>("StatusBar1")->text(); }

    static void writeMessage(const QString& folder, const QByteArray& bytes)
    {
        QVERIFY(QDir(folder).mkpath(QStringLiteral("files")));
        QFile file(folder + QStringLiteral("/files/zorbethmessage.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // Opens a window whose message option and server address are set before start-up.
    static MainWindow& open(WindowFixture& f, bool message, const QString& serverUrl)
    {
        {
            SettingsStore s = f.settings();
            s.saveBool(QStringLiteral("Message"), message);
            s.save(QStringLiteral("ServerURL"), serverUrl);
        }
        return f.open();
    }

private slots:
    void cleanup() { NetworkState::setOverride(false); }

    void startup_showsGreeting_data()
    {
        QTest::addColumn<bool>("message");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("expected");
        QTest::newRow("option off") << false << true << "Welcome to Zorbeth";
        QTest::newRow("not connected") << true << false << "Welcome to Zorbeth (not connected)";
        QTest::newRow("no server address") << true << true << "Welcome to Zorbeth";
    }

    void startup_showsGreeting()
    {
        QFETCH(bool, message);
        QFETCH(bool, connected);
        QFETCH(QString, expected);
        WindowFixture f;
        NetworkState::setOverride(connected);
        MainWindow& w = open(f, message, QString());
        QCOMPARE(status(f), expected);
        QVERIFY(!w.findChild<MessageCommands*>()->fetching());
        QVERIFY(!QFile::exists(f.folder() + QStringLiteral("/zorbethmessage.txt")));
    }

    void startup_fetchesMessageWithoutWaiting_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("expected");
        QTest::newRow("several lines") << QByteArray("Tip of the day\r\nsecond line\r\n") << "Tip of the day";
        QTest::newRow("unix line ends") << QByteArray("Only this\nnot this\n") << "Only this";
        QTest::newRow("empty first line") << QByteArray("\r\nnot shown\r\n") << "";
    }

    void startup_fetchesMessageWithoutWaiting()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        QTemporaryDir served;
        writeMessage(served.path(), file);
        TestServer server(served.path());
        QVERIFY(server.running());
        WindowFixture f;
        NetworkState::setOverride(true);
        MainWindow& w = open(f, true, server.url());
        auto* commands = w.findChild<MessageCommands*>();
        QSignalSpy fetched(commands, &MessageCommands::messageFetched);
        QVERIFY(fetched.count() == 1 || fetched.wait(5000));
        QCOMPARE(fetched.first().first().toString(), expected);
        QCOMPARE(status(f), expected);
    }

    void startup_serverThatStalls_doesNotHoldUpTheWindow()
    {
        QTemporaryDir served;
        writeMessage(served.path(), "never seen\r\n");
        TestServer server(served.path());
        QVERIFY(server.running());
        WindowFixture f;
        NetworkState::setOverride(true);
        QElapsedTimer timer;
        timer.start();
        MainWindow& w = open(f, true, server.url(QStringLiteral("stall/")));
        QVERIFY2(timer.elapsed() < 2000, "start-up waited for the message");
        QVERIFY(w.findChild<MessageCommands*>()->fetching());
        // Closing the window while the message is on its way neither waits long nor crashes.
        timer.restart();
        f.closeWindow();
        QVERIFY2(timer.elapsed() < 2000, "closing waited for the message");
    }

    void lateMessage_leavesNewerStatus()
    {
        QTemporaryDir served;
        writeMessage(served.path(), "Old news\r\n");
        TestServer server(served.path());
        QVERIFY(server.running());
        WindowFixture f;
        NetworkState::setOverride(true);
        MainWindow& w = open(f, true, server.url(QStringLiteral("slow/")));
        QSignalSpy fetched(w.findChild<MessageCommands*>(), &MessageCommands::messageFetched);
        f.find<QAction>("mnuSelectRootFolder")->trigger(); // the browser is cancelled
        QVERIFY(fetched.wait(5000));
        QCOMPARE(fetched.first().first().toString(), QStringLiteral("Old news"));
        QCOMPARE(status(f), QStringLiteral("Remote folder:   <not specified>"));
    }

    void messageOption_switchesGreetingAtOnce()
    {
        QTemporaryDir served;
        writeMessage(served.path(), "Fresh news\r\n");
        TestServer server(served.path());
        QVERIFY(server.running());
        WindowFixture f;
        NetworkState::setOverride(true);
        MainWindow& w = open(f, false, server.url());
        QCOMPARE(status(f), QStringLiteral("Welcome to Zorbeth"));
        auto* option = f.find<QAction>("mnuMessage");
        QSignalSpy fetched(w.findChild<MessageCommands*>(), &MessageCommands::messageFetched);
        option->trigger();
        QVERIFY(option->isChecked());
        QVERIFY(fetched.wait(5000));
        QCOMPARE(status(f), QStringLiteral("Fresh news"));
        option->trigger();
        QCOMPARE(status(f), QStringLiteral("Welcome to Zorbeth"));
    }

    void serverAddress_isAskedAndKept()
    {
        WindowFixture f;
        MainWindow& w = f.open();
        Prompts::queueText(QStringLiteral("  http://team.example/zorbeth/  "));
        f.find<QAction>("mnuServerAddress")->trigger();
        QCOMPARE(w.workspace().options.ServerURL, QStringLiteral("http://team.example/zorbeth/"));
        // A cancelled box changes nothing.
        f.find<QAction>("mnuServerAddress")->trigger();
        QCOMPARE(w.workspace().options.ServerURL, QStringLiteral("http://team.example/zorbeth/"));
        w.close();
        QCOMPARE(f.settings().get(QStringLiteral("ServerURL")),
                 QStringLiteral("http://team.example/zorbeth/"));
    }

    void onlineUpdate_withoutUpdater_saysSoAndStaysOpen()
    {
        WindowFixture f;
        MainWindow& w = f.open();
        w.workspace().options.UpdaterCommand.clear();
        f.find<QAction>("mnuOnlineUpdate")->trigger();
        QVERIFY(status(f).startsWith(QStringLiteral("No updater is configured")));
        QVERIFY(Prompts::takeHistory().isEmpty());
    }

    void onlineUpdate_startsUpdaterOnlyWhenConfirmed_data()
    {
        QTest::addColumn<Prompts::Answer>("answer");
        QTest::addColumn<bool>("started");
        QTest::newRow("ok") << Prompts::Answer::Ok << true;
        QTest::newRow("cancel") << Prompts::Answer::Cancel << false;
    }

    void onlineUpdate_startsUpdaterOnlyWhenConfirmed()
    {
        QFETCH(Prompts::Answer, answer);
        QFETCH(bool, started);
        WindowFixture f;
        MainWindow& w = f.open();
        const QString marker = f.folder() + QStringLiteral("/updater-ran");
        w.workspace().options.UpdaterCommand = QStringLiteral("/bin/sh -c \"pwd > updater-ran\"");
        Prompts::queueAnswer(answer);
        f.find<QAction>("mnuOnlineUpdate")->trigger();
        const QList<Prompts::Record> history = Prompts::takeHistory();
        QCOMPARE(history.size(), 1);
        QCOMPARE(history[0].title, QStringLiteral("Online Update"));
        QCOMPARE(history[0].text, QStringLiteral("Zorbeth will close to check for online updates!"));
        if (started) {
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 5000);
            QFile ran(marker);
            QVERIFY(ran.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromLocal8Bit(ran.readAll()).trimmed(), QDir(f.folder()).canonicalPath());
            // The window went through its normal closing, which stores the settings.
            QVERIFY(f.settings().contains(QStringLiteral("UpdaterCommand")));
        } else {
            QTest::qWait(300);
            QVERIFY(!QFile::exists(marker));
        }
    }

    void onlineUpdate_updaterThatCannotStart_keepsWindowOpen()
    {
        WindowFixture f;
        MainWindow& w = f.open();
        w.workspace().options.UpdaterCommand = QStringLiteral("/no/such/updater --check");
        Prompts::queueAnswer(Prompts::Answer::Ok);
        f.find<QAction>("mnuOnlineUpdate")->trigger();
        QCOMPARE(status(f), QStringLiteral("The updater could not be started: /no/such/updater --check"));
        QVERIFY(!f.settings().contains(QStringLiteral("UpdaterCommand")));
    }
};

QTEST_MAIN(DailyMessageWindowTest)
#include "tst_daily_message_window.moc"
