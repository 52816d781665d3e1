#include "library/ui/TreeViews.h"
#include "LibraryText.h"
#include "sync/FtpLibrary.h"
#include "sync/FtpTestServer.h"
#include "sync/ui/FtpCommands.h"
#include "sync/ui/FtpWindow.h"
#include "sync_ui/ComparisonWindow.h"

#include <memory>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(Prompts::Answer)
Q_DECLARE_METATYPE(FtpTestServer::Kind)

namespace {

const QByteArray End = "++++++++\r\n";

SnippetRecord record(const QString& title, const QString& code = QStringLiteral("c"))
{
    return WindowFixture::record(QStringLiteral("C++"), QStringLiteral("Misc"), title, {}, code);
}

// A library file whose whole size is exactly size bytes.
QByteArray libraryOfSize(qsizetype size)
{
    const qsizetype frame = (LibraryText::Header + LibraryText::block("") + End).size();
    return LibraryText::Header + LibraryText::block(QByteArray(size - frame, 't')) + End;
}

} // namespace

class FtpWindowTest : public QObject
{
    Q_OBJECT

    // The real main window on a library of two snippets, a server home and the window over both.
    struct Setup
    {
        ComparisonWindow main{{record("Alpha"), record("Beta")}};
        QTemporaryDir home;
        std::unique_ptr<FtpTestServer> server;
        std::unique_ptr<FtpWindow> window;

        explicit Setup(int throttle = 0) : Setup(FtpTestServer::Setup::plain(throttle)) {}

        explicit Setup(const FtpTestServer::Setup& kind)
        {
            server = std::make_unique<FtpTestServer>(home.path(), kind);
            AppSettings& options = main.ws().options;
            options.FTPServer = server->address();
            options.FTPPath = QString();
            options.FTPUser = QLatin1String(FtpTestServer::User);
            options.FTPPSW = QLatin1String(FtpTestServer::Password);
            options.FTPMode = 1;
            open();
        }

        void open()
        {
            window = std::make_unique<FtpWindow>(main.f.window().context(), treeViews(), &main.f.window());
            window->setTransferOptions(FtpTestServer::quickOptions());
            window->show();
        }

        TreeViews& treeViews() { return *main.f.window().findChild<TreeViews*>(); }
        QString serverFile() const { return home.filePath("zorbeth.txt"); }
        QString localFile() { return main.f.libraryPath(); }
        QString status() { return child<QLabel>("lblStatus")->text(); }
        QStringList titles() { return main.library(); }

        template <typename T> T* child(const char* name)
        {
            return window->findChild<T*>(QLatin1String(name));
        }
    };

    // Every prompt's title and text, so a test can see that the password is in none of them.
    static QStringList prompts()
    {
        QStringList lines;
        for (const Prompts::Record& r : Prompts::takeHistory()) {
            lines << r.title + QStringLiteral(": ") + r.text;
        }
        return lines;
    }

private slots:
    void init() { Prompts::takeHistory(); }

    void window_showsTheSettingsAndHandsThemBack()
    {
        Setup s;
        QVERIFY(s.server->running());
        QCOMPARE(s.window->windowTitle(), QStringLiteral("Server Synchronization"));
        QCOMPARE(s.window->objectName(), QStringLiteral("frmFTP"));
        QVERIFY(s.window->isModal());
        QCOMPARE(s.child<QLineEdit>("txtServer")->text(), s.server->address());
        QCOMPARE(s.child<QLineEdit>("txtUser")->text(), QLatin1String(FtpTestServer::User));
        QCOMPARE(s.child<QLineEdit>("txtPSW")->echoMode(), QLineEdit::Password);
        QVERIFY(s.child<QCheckBox>("chkMode")->isChecked());
        QCOMPARE(s.child<QCheckBox>("chkMode")->text(), QStringLiteral("Passive Mode"));
        QCOMPARE(s.status(), QStringLiteral("Select action to perform"));
        QVERIFY(!s.child<QPushButton>("cmdCancel")->isVisible());
        QVERIFY(!s.child<QProgressBar>("ProgressBar1")->isVisible());
        const QStringList captions{"Send", "Receive", "Restore", "Cancel", "Exit"};
        const char* names[] = {"cmdTransmit", "cmdReceive", "cmdRestore", "cmdCancel", "cmdExit"};
        for (int i = 0; i < captions.size(); ++i) {
            QCOMPARE(s.child<QPushButton>(names[i])->text(), captions[i]);
        }

        s.child<QLineEdit>("txtPath")->setText(QStringLiteral("lib"));
        s.child<QLineEdit>("txtPSW")->setText(QStringLiteral("changed"));
        s.child<QCheckBox>("chkMode")->setChecked(false);
        s.window->cmdExit_Click();
        QVERIFY(!s.window->isVisible());
        const AppSettings& options = s.main.ws().options;
        QCOMPARE(options.FTPPath, QStringLiteral("lib"));
        QCOMPARE(options.FTPPSW, QStringLiteral("changed"));
        QCOMPARE(options.FTPMode, 0);
    }

    void window_placementAndWidthSwitch()
    {
        Setup s;
        QCOMPARE(s.window->pos(), s.main.f.window().pos() + QPoint(100, 100));
        QCOMPARE(s.window->width(), 441);
        QTest::mouseDClick(s.window.get(), Qt::LeftButton, {}, QPoint(5, 170));
        QCOMPARE(s.window->width(), 346);
        QTest::mouseDClick(s.window.get(), Qt::LeftButton, {}, QPoint(5, 170));
        QCOMPARE(s.window->width(), 441);
        s.window->resize(441, 300);
        s.window->cmdTransmit_Click();
        QCOMPARE(s.window->height(), 181);
    }

    void send_putsTheLibraryOnTheServer()
    {
        Setup s;
        s.window->cmdTransmit_Click();
        QCOMPARE(s.status(), QStringLiteral("File transferred to server."));
        QCOMPARE(LibraryText::readAll(s.serverFile()), LibraryText::readAll(s.localFile()));
        QVERIFY(!s.child<QPushButton>("cmdCancel")->isVisible());
        QVERIFY(prompts().isEmpty());
    }

    void send_withUnsavedChanges_asksFirst_data()
    {
        QTest::addColumn<Prompts::Answer>("answer");
        QTest::addColumn<bool>("sent");
        QTest::addColumn<bool>("editSent");
        QTest::newRow("yes saves, then sends") << Prompts::Answer::Yes << true << true;
        QTest::newRow("no sends the saved file") << Prompts::Answer::No << true << false;
        QTest::newRow("cancel sends nothing") << Prompts::Answer::Cancel << false << false;
    }

    void send_withUnsavedChanges_asksFirst()
    {
        QFETCH(Prompts::Answer, answer);
        QFETCH(bool, sent);
        QFETCH(bool, editSent);
        Setup s;
        s.main.ws().codeArray[0].Title = QStringLiteral("Edited");
        s.main.ws().CodeChanged = true;
        Prompts::queueAnswer(answer);
        s.window->cmdTransmit_Click();
        const QList<Prompts::Record> asked = Prompts::takeHistory();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first().text, QStringLiteral("Save changes?"));
        QCOMPARE(QFile::exists(s.serverFile()), sent);
        QCOMPARE(LibraryText::readAll(s.serverFile()).contains("Edited"), editSent);
        QCOMPARE(s.main.ws().CodeChanged, answer != Prompts::Answer::Yes);
        if (!sent) {
            QCOMPARE(s.status(), QStringLiteral("Select action to perform"));
        }
    }

    void receive_replacesTheLibraryAndRefreshesTheTree()
    {
        Setup s;
        QVERIFY(DatabaseFile::write(s.serverFile(), {record("From server"), record("Second")}));
        const QByteArray before = LibraryText::readAll(s.localFile());
        s.window->cmdReceive_Click();
        QCOMPARE(s.status(), QStringLiteral("Server database downloaded. Zorbeth refreshed."));
        QCOMPARE(s.titles(), (QStringList{"C++/Misc/From server", "C++/Misc/Second"}));
        QCOMPARE(WindowFixture::outline(s.main.f.tree()),
                 (QStringList{"C++", "  Misc", "    From server", "    Second"}));
        QVERIFY(!s.main.ws().CodeChanged);
        QCOMPARE(LibraryText::readAll(FtpLibrary::backupPath(s.localFile())), before);
        QVERIFY(prompts().isEmpty());
    }

    // Receive and Restore replace the library in memory: unsaved edits are not thrown away unasked.
    void replacingTheLibrary_withUnsavedChanges_asksFirst_data()
    {
        QTest::addColumn<bool>("receiving");
        QTest::addColumn<Prompts::Answer>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<bool>("editSaved");
        for (const bool receiving : {true, false}) {
            const QString what = receiving ? QStringLiteral("receive") : QStringLiteral("restore");
            QTest::newRow(qPrintable(what + ": yes saves, then replaces"))
                << receiving << Prompts::Answer::Yes << true << true;
            QTest::newRow(qPrintable(what + ": no replaces"))
                << receiving << Prompts::Answer::No << true << false;
            QTest::newRow(qPrintable(what + ": cancel keeps the edit"))
                << receiving << Prompts::Answer::Cancel << false << false;
        }
    }

    void replacingTheLibrary_withUnsavedChanges_asksFirst()
    {
        QFETCH(bool, receiving);
        QFETCH(Prompts::Answer, answer);
        QFETCH(bool, replaced);
        QFETCH(bool, editSaved);
        Setup s;
        QVERIFY(DatabaseFile::write(s.serverFile(), {record("From server")}));
        QVERIFY(DatabaseFile::write(FtpLibrary::backupPath(s.localFile()), {record("From server")}));
        s.main.ws().codeArray[0].Title = QStringLiteral("Edited");
        s.main.ws().CodeChanged = true;
        if (!receiving) {
            Prompts::queueAnswer(Prompts::Answer::Ok); // "Are you sure?"
        }
        Prompts::queueAnswer(answer);
        if (receiving) {
            s.window->cmdReceive_Click();
        } else {
            s.window->cmdRestore_Click();
        }
        const QList<Prompts::Record> asked = Prompts::takeHistory();
        QVERIFY(!asked.isEmpty());
        QCOMPARE(asked.last().text, QStringLiteral("Save changes?"));
        const QStringList unchanged{"C++/Misc/Edited", "C++/Misc/Beta"};
        QCOMPARE(s.titles(), replaced ? QStringList{"C++/Misc/From server"} : unchanged);
        QCOMPARE(s.main.ws().CodeChanged, !replaced);
        // A Receive keeps the saved edit in its backup; a cancelled command leaves the file alone.
        const QString kept = receiving && replaced ? FtpLibrary::backupPath(s.localFile()) : s.localFile();
        QCOMPARE(LibraryText::readAll(kept).contains("Edited"), editSaved && receiving);
    }

    void receive_thatFails_keepsTheLibrary_data()
    {
        QTest::addColumn<QByteArray>("onServer"); // empty: no file on the server
        QTest::addColumn<QString>("status");
        QTest::newRow("no file on the server")
            << QByteArray() << "Server database downloaded. Refresh not completed.";
        QTest::newRow("a web page") << QByteArray("<html><body>Welcome</body></html>\r\n")
                                    << "Server database downloaded. Refresh not completed.";
    }

    void receive_thatFails_keepsTheLibrary()
    {
        QFETCH(QByteArray, onServer);
        QFETCH(QString, status);
        Setup s;
        if (!onServer.isEmpty()) {
            QVERIFY(LibraryText::writeAll(s.serverFile(), onServer));
        }
        const QByteArray before = LibraryText::readAll(s.localFile());
        s.window->cmdReceive_Click();
        QCOMPARE(s.status(), status);
        const QList<Prompts::Record> asked = Prompts::takeHistory();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first().title, QStringLiteral("Receive Error"));
        QCOMPARE(LibraryText::readAll(s.localFile()), before);
        QVERIFY(!QFile::exists(FtpLibrary::backupPath(s.localFile())));
        QCOMPARE(s.titles(), (QStringList{"C++/Misc/Alpha", "C++/Misc/Beta"}));
    }

    // After the error box closed, the status says what happened, and the reason stays at hand.
    void failure_leavesTheStatusSayingWhatHappened_data()
    {
        QTest::addColumn<bool>("sending");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message"); // a part of the error box's text
        for (const bool sending : {true, false}) {
            const QString what = sending ? QStringLiteral("send") : QStringLiteral("receive");
            QTest::newRow(qPrintable(what + ", wrong password")) << sending << "password"
                                                                 << "password";
            QTest::newRow(qPrintable(what + ", missing folder")) << sending << "folder"
                                                                 << "";
            QTest::newRow(qPrintable(what + ", server down")) << sending << "down"
                                                              << "127.0.0.1:";
        }
        QTest::newRow("receive, server died during the transfer") << false << "died"
                                                                  << "";
    }

    void failure_leavesTheStatusSayingWhatHappened()
    {
        QFETCH(bool, sending);
        QFETCH(QString, fault);
        QFETCH(QString, message);
        Setup s(fault == "died" ? 200000 : 0);
        QByteArray large = LibraryText::Header;
        for (int i = 0; large.size() < 1000000; ++i) {
            large += LibraryText::block("Snippet " + QByteArray::number(i) + QByteArray(300, 'x'));
        }
        QVERIFY(LibraryText::writeAll(s.serverFile(), large + End));
        const QByteArray server = LibraryText::readAll(s.serverFile());
        const QByteArray local = LibraryText::readAll(s.localFile());
        const QString password = QStringLiteral("Wrong-Pa55word");
        const int port = s.server->port();
        if (fault == "password") {
            s.child<QLineEdit>("txtPSW")->setText(password);
        } else if (fault == "folder") {
            s.child<QLineEdit>("txtPath")->setText(QStringLiteral("no/such/folder"));
        } else if (fault == "down") {
            s.server->kill();
        } else {
            connect(s.window.get(), &FtpWindow::transferProgress, this, [&](qint64 bytes) {
                if (bytes > 100000) {
                    s.server->kill();
                }
            });
        }
        if (sending) {
            s.window->cmdTransmit_Click();
        } else {
            s.window->cmdReceive_Click();
        }
        const QStringList asked = prompts();
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked.first().startsWith(sending ? "Send Error: " : "Receive Error: "),
                 qPrintable(asked.first()));
        QVERIFY2(asked.first().contains(message), qPrintable(asked.first()));
        if (fault == "down") {
            QVERIFY2(asked.first().contains(QString::number(port)), qPrintable(asked.first()));
        }
        QVERIFY(!asked.first().contains(password));
        QCOMPARE(s.status(), sending ? QStringLiteral("Send failed.")
                                     : QStringLiteral("Receive failed. The library is unchanged."));
        QVERIFY(asked.first().endsWith(s.child<QLabel>("lblStatus")->toolTip()));
        QCOMPARE(LibraryText::readAll(s.serverFile()), server);
        QCOMPARE(LibraryText::readAll(s.localFile()), local);
    }

    // A Cancel clicked once every byte arrived comes too late to stop the files taking their places:
    // the status says what did happen.
    void cancelAfterEveryByteArrived_reportsTheTransferDone_data()
    {
        QTest::addColumn<bool>("sending");
        QTest::newRow("send") << true;
        QTest::newRow("receive") << false;
    }

    void cancelAfterEveryByteArrived_reportsTheTransferDone()
    {
        QFETCH(bool, sending);
        Setup s;
        QVERIFY(DatabaseFile::write(s.serverFile(), {record("From server")}));
        bool clicked = false;
        connect(s.window.get(), &FtpWindow::transferArrived, this, [&] {
            QTest::mouseClick(s.child<QPushButton>("cmdCancel"), Qt::LeftButton);
            clicked = true;
        });
        if (sending) {
            s.window->cmdTransmit_Click();
        } else {
            s.window->cmdReceive_Click();
        }
        QVERIFY(clicked);
        if (sending) {
            QCOMPARE(s.status(), QStringLiteral("File transferred to server."));
            QCOMPARE(LibraryText::readAll(s.serverFile()), LibraryText::readAll(s.localFile()));
        } else {
            QCOMPARE(s.status(), QStringLiteral("Server database downloaded. Zorbeth refreshed."));
            QCOMPARE(s.titles(), QStringList{"C++/Misc/From server"});
            QVERIFY(QFile::exists(FtpLibrary::backupPath(s.localFile())));
        }
        QVERIFY(prompts().isEmpty());
    }

    void receive_withoutAttachmentsOnTheServer_saysTheLocalOnesStay()
    {
        Setup s;
        QVERIFY(DatabaseFile::write(s.serverFile(), {record("From server")}));
        const QString resource = QFileInfo(s.localFile()).dir().filePath("zorbethresource.res");
        QVERIFY(LibraryText::writeAll(resource, "LOCAL"));
        s.window->cmdReceive_Click();
        QCOMPARE(s.status(), QStringLiteral("Server database downloaded. Zorbeth refreshed."));
        QVERIFY(s.child<QLabel>("lblMessage")->isVisible());
        QVERIFY2(s.child<QLabel>("lblMessage")->text().contains("zorbethresource.res"),
                 qPrintable(s.child<QLabel>("lblMessage")->text()));
        QCOMPARE(LibraryText::readAll(resource), QByteArray("LOCAL"));
    }

    // A server with its own certificate or host key is trusted once the user names it in the settings,
    // and refused before.
    void secureServer_isTrustedThroughTheSettings_data()
    {
        QTest::addColumn<FtpTestServer::Kind>("kind");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("FTPS") << FtpTestServer::Kind::ImplicitTls << "FTPCAFile";
        QTest::newRow("SFTP") << FtpTestServer::Kind::Sftp << "known hosts";
    }

    void secureServer_isTrustedThroughTheSettings()
    {
        QFETCH(FtpTestServer::Kind, kind);
        QFETCH(QString, refusal);
        QTemporaryDir keys;
        FtpTestServer::Setup setup;
        setup.kind = kind;
        setup.keyFolder = keys.path();
        Setup s(setup);
        if (!s.server->running()) {
            QSKIP(qPrintable(s.server->whyNotRunning()));
        }
        const QString knownHosts = keys.filePath("known_hosts");
        QVERIFY(LibraryText::writeAll(knownHosts, s.server->knownHostsLine().toLatin1()));
        s.child<QLineEdit>("txtServer")->setText(s.server->address());

        s.window->cmdTransmit_Click();
        const QStringList asked = prompts();
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked.first().contains(refusal), qPrintable(asked.first()));
        QVERIFY(!QFile::exists(s.serverFile()));

        AppSettings& options = s.main.ws().options;
        if (kind == FtpTestServer::Kind::Sftp) {
            options.FTPKnownHosts = knownHosts;
        } else {
            options.FTPCAFile = FtpTestServer::certificateFile(keys.path());
        }
        s.window->cmdTransmit_Click();
        QCOMPARE(s.status(), QStringLiteral("File transferred to server."));
        QCOMPARE(LibraryText::readAll(s.serverFile()), LibraryText::readAll(s.localFile()));
        QVERIFY(DatabaseFile::write(s.serverFile(), {record("From server")}));
        s.window->cmdReceive_Click();
        QCOMPARE(s.status(), QStringLiteral("Server database downloaded. Zorbeth refreshed."));
        QCOMPARE(s.titles(), QStringList{"C++/Misc/From server"});
        QVERIFY(prompts().isEmpty());
    }

    // Every label shows its whole text and ends before its field begins.
    void labels_showTheirWholeTextBeforeTheirFields()
    {
        Setup s;
        const QList<std::pair<const char*, const char*>> pairs{
            {"lblServer", "txtServer"}, {"lblPath", "txtPath"}, {"lblUser", "txtUser"}, {"lblPSW", "txtPSW"}};
        for (const auto& [labelName, editName] : pairs) {
            auto* label = s.child<QLabel>(labelName);
            auto* edit = s.child<QLineEdit>(editName);
            QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->text()), labelName);
            QVERIFY2(label->geometry().right() < edit->geometry().left(), labelName);
            QVERIFY2(edit->geometry().right() < s.window->width(), editName);
        }
        QCOMPARE(s.child<QLabel>("lblPSW")->text(), QStringLiteral("Password:"));
    }

    void restore_data()
    {
        QTest::addColumn<bool>("backup");
        QTest::addColumn<Prompts::Answer>("answer");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("titles");
        const QStringList kept{"C++/Misc/Alpha", "C++/Misc/Beta"};
        QTest::newRow("no backup") << false << Prompts::Answer::Ok
                                   << "Restore aborted. Backup file not found." << kept;
        QTest::newRow("cancelled") << true << Prompts::Answer::Cancel << "Select action to perform" << kept;
        QTest::newRow("restored") << true << Prompts::Answer::Ok << "Database restored. Zorbeth refreshed."
                                  << QStringList{"C++/Misc/Backed up"};
    }

    void restore()
    {
        QFETCH(bool, backup);
        QFETCH(Prompts::Answer, answer);
        QFETCH(QString, status);
        QFETCH(QStringList, titles);
        Setup s;
        if (backup) {
            QVERIFY(DatabaseFile::write(FtpLibrary::backupPath(s.localFile()), {record("Backed up")}));
        }
        Prompts::queueAnswer(answer);
        s.window->cmdRestore_Click();
        QCOMPARE(s.status(), status);
        QCOMPARE(s.titles(), titles);
        QCOMPARE(QFile::exists(FtpLibrary::backupPath(s.localFile())), backup);
    }

    // The window handles its events during the transfer: progress shows and Cancel is clicked.
    void cancelDuringReceive_keepsTheLibrary()
    {
        Setup s(200000);
        QByteArray large = LibraryText::Header;
        for (int i = 0; large.size() < 1500000; ++i) {
            large += LibraryText::block("Snippet " + QByteArray::number(i) + QByteArray(300, 'x'));
        }
        QVERIFY(LibraryText::writeAll(s.serverFile(), large + End));
        const QByteArray before = LibraryText::readAll(s.localFile());
        double maximumSeen = 0;
        QString responseSeen;
        connect(s.window.get(), &FtpWindow::transferProgress, this, [&](qint64 bytes) {
            if (bytes > 0 && responseSeen.isEmpty()) {
                maximumSeen = s.window->progressMaximum();
                responseSeen = s.child<QLabel>("lblResponse")->text();
                QVERIFY(s.child<QProgressBar>("ProgressBar1")->isVisible());
                QTest::mouseClick(s.child<QPushButton>("cmdCancel"), Qt::LeftButton);
            }
        });
        s.window->cmdReceive_Click();
        QCOMPARE(s.status(), QStringLiteral("File download cancelled."));
        QVERIFY(!responseSeen.isEmpty());
        QCOMPARE(maximumSeen, double(large.size() + End.size()) / 1000.0);
        QVERIFY(!s.child<QPushButton>("cmdCancel")->isVisible());
        QCOMPARE(LibraryText::readAll(s.localFile()), before);
        QVERIFY(!QFile::exists(FtpLibrary::backupPath(s.localFile())));
        QVERIFY(prompts().isEmpty());
    }

    void progress_countsKilobytesOfAThousand()
    {
        Setup s;
        QVERIFY(LibraryText::writeAll(s.serverFile(), libraryOfSize(2500)));
        QString lastResponse;
        connect(s.window.get(), &FtpWindow::transferProgress, this,
                [&] { lastResponse = s.child<QLabel>("lblResponse")->text(); });
        s.window->cmdReceive_Click();
        QCOMPARE(s.window->progressMaximum(), 2.5);
        QCOMPARE(lastResponse, QStringLiteral("2500"));
    }

    void menus_openTheWindowModally()
    {
        ComparisonWindow main({record("Alpha")});
        QAction* synchronize = main.action("mnuSaveFTP");
        QVERIFY(synchronize);
        QCOMPARE(synchronize->text(), QStringLiteral("Synchroni&ze Server"));
        QVERIFY(main.f.find<QMenu>("mnuFile")->actions().contains(synchronize));
        QAction* compare = main.action("mnuCompareFTP");
        QVERIFY(compare);
        QVERIFY(main.f.find<QMenu>("mnuImport")->actions().contains(compare));

        bool wasModal = false;
        auto* commands = main.f.window().findChild<FtpCommands*>();
        connect(commands, &FtpCommands::windowOpened, this, [&](FtpWindow* window) {
            QTimer::singleShot(0, window, [&wasModal, window] {
                wasModal = window->isModal() && window->isVisible();
                window->cmdExit_Click();
            });
        });
        synchronize->trigger();
        QVERIFY(wasModal);
    }

    void compareWithServerCopy_listsTheDifferences()
    {
        ComparisonWindow main({record("Same", "s"), record("Changed", "old")});
        QTemporaryDir home;
        FtpTestServer server(home.path());
        QVERIFY(server.running());
        QVERIFY(DatabaseFile::write(home.filePath("zorbeth.txt"),
                                    {record("Same", "s"), record("Changed", "new"), record("Fresh", "f")}));
        AppSettings& options = main.ws().options;
        options.FTPServer = server.address();
        options.FTPUser = QLatin1String(FtpTestServer::User);
        options.FTPPSW = QLatin1String(FtpTestServer::Password);
        main.f.window().findChild<FtpCommands*>()->setTransferOptions(FtpTestServer::quickOptions());

        main.trigger("mnuCompareFTP");
        QCOMPARE(main.caption(), QStringLiteral("Server Source Code (Differences)"));
        QVERIFY(main.button("transfer")->isChecked());
        QCOMPARE(main.rowTexts(RemoteListModel::TitleColumn), (QStringList{"Changed", "Fresh"}));
        QCOMPARE(main.redTitles(), QStringList{"Changed"});

        main.tick("Fresh");
        main.trigger("mnuImportSelected");
        QVERIFY(main.library().contains("C++/Misc/Fresh"));
    }

    void compareWithServerCopy_withoutServerFile_staysInTheWindow()
    {
        Setup s;
        s.window->cmdCompare_Click();
        QVERIFY(s.window->isVisible());
        QVERIFY(s.window->comparisonFile().isEmpty());
        const QList<Prompts::Record> asked = Prompts::takeHistory();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.first().title, QStringLiteral("Receive Error"));
        QVERIFY(!s.main.button("transfer")->isChecked());
    }
};

QTEST_MAIN(FtpWindowTest)
#include "tst_ftp_window.moc"
