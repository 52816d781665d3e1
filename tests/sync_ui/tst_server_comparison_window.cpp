#include "sync/Comparison.h"
#include "sync/TestServer.h"
#include "sync_ui/ComparisonWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

SnippetRecord record(const QString& language, const QString& category, const QString& title,
                     const QString& code)
{
    return WindowFixture::record(language, category, title, {}, code);
}

// The library: one snippet the server has too, one whose title the server has with other code.
CodeArray library()
{
    return {record("C++", "Misc", "Same", "s"), record("C++", "Misc", "Changed", "old")};
}

CodeArray serverCopy()
{
    return {record("C++", "Misc", "Same", "S"), record("C++", "Misc", "Changed", "new"),
            record("Perl", "Web", "Fresh", "f")};
}

} // namespace

class ServerComparisonWindowTest : public QObject
{
    Q_OBJECT

private:
    // A web server on a folder whose "files" holds the server copy as the test writes it.
    struct Server
    {
        QTemporaryDir root;
        std::unique_ptr<TestServer> http;
        QString copyPath() const { return root.filePath(QStringLiteral("files/zorbethremote.txt")); }
        Server()
        {
            QDir(root.path()).mkpath(QStringLiteral("files"));
            http = std::make_unique<TestServer>(root.path());
        }
    };

    void enterServerMode(ComparisonWindow& w, const QString& url)
    {
        w.ws().options.ServerURL = url;
        w.trigger("mnuImportRemote");
    }

private slots:
    void serverCopy_listsWhatDiffers_andImportsTheTickedRows()
    {
        Server server;
        QVERIFY(server.http->running());
        QVERIFY(DatabaseFile::write(server.copyPath(), serverCopy()));
        ComparisonWindow w(library());

        enterServerMode(w, server.http->url());

        QCOMPARE(w.caption(), QStringLiteral("Server Source Code (Differences)"));
        QCOMPARE(w.rowTexts(RemoteListModel::TitleColumn), (QStringList{"Changed", "Fresh"}));
        QCOMPARE(w.redTitles(), QStringList{"Changed"});
        QCOMPARE(w.status(), QStringLiteral("2 of 3 source code snippet have differences"));
        QVERIFY(QFile::exists(w.f.folder() + QStringLiteral("/zorbethremote.txt")));
        QVERIFY(w.action("mnuImportRemote")->isChecked());
        QVERIFY(w.button("transfer")->isChecked());
        QVERIFY(!w.button("drive")->isEnabled());
        QVERIFY(w.button("Import")->isEnabled());
        QVERIFY(Prompts::takeHistory().isEmpty());

        w.trigger("mnuRemoteDisplayMatching");
        QCOMPARE(w.caption(), QStringLiteral("Server Source Code (Matching)"));
        QCOMPARE(w.rowTexts(RemoteListModel::TitleColumn), QStringList{"Changed"});
        QCOMPARE(
            w.status(),
            QStringLiteral("1 of 3 source code snippets have matching snippet titles but different code."));
        w.trigger("mnuRemoteDisplayAll");
        QCOMPARE(w.caption(), QStringLiteral("Server Source Code (Differences)"));

        w.tick("Fresh");
        w.trigger("mnuImportSelected");
        QCOMPARE(w.status(), QStringLiteral("1 remote source code snippets imported into local database"));
        QCOMPARE(w.library(), (QStringList{"C++/Misc/Changed", "C++/Misc/Same", "Perl/Web/Fresh"}));

        // The toolbar button leaves the mode, and the menu mark follows it.
        w.button("transfer")->trigger();
        QVERIFY(!w.action("mnuImportRemote")->isChecked());
        QCOMPARE(w.caption(), QStringLiteral("Search"));
        QVERIFY(w.button("drive")->isEnabled());
        QCOMPARE(w.status(), QString());
    }

    void missingServerCopy_reportsNotFound_andStaysWithAnEmptyList()
    {
        Server server;
        QVERIFY(server.http->running());
        ComparisonWindow w(library());

        enterServerMode(w, server.http->url());

        QCOMPARE(w.status(), QStringLiteral("Remote code file not found!"));
        QCOMPARE(w.model->rowCount(), 0);
        QCOMPARE(w.caption(), QStringLiteral("Server Source Code (Differences)"));
        QVERIFY(w.action("mnuImportRemote")->isChecked());
        const QList<Prompts::Record> asked = Prompts::takeHistory();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, QStringLiteral("Load Code Data"));
        QVERIFY(asked[0].text.contains(QLatin1String("404")));
    }

    void cancelledDownload_endsAtOnce_withoutAMessage()
    {
        Server server;
        QVERIFY(server.http->running());
        QVERIFY(DatabaseFile::write(server.copyPath(), serverCopy()));
        ComparisonWindow w(library());
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(300, &w.f.window(), [&w] {
            auto* busy = w.f.find<QProgressDialog>("dlgProgress");
            QVERIFY(busy != nullptr);
            // The Cancel button, as the user presses it.
            const auto buttons = busy->findChildren<QPushButton*>();
            QCOMPARE(buttons.size(), 1);
            buttons.first()->click();
        });

        enterServerMode(w, server.http->url(QStringLiteral("stall/")));

        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(w.status(), QStringLiteral("Server download cancelled."));
        QCOMPARE(w.model->rowCount(), 0);
        QVERIFY(Prompts::takeHistory().isEmpty());
    }

    void cutOffServerCopy_showsTheFailureRow_andNoSnippet()
    {
        Server server;
        QVERIFY(server.http->running());
        QVERIFY(DatabaseFile::write(server.copyPath(), serverCopy()));
        QFile file(server.copyPath());
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(file.size() / 2));
        file.close();
        ComparisonWindow w(library());

        enterServerMode(w, server.http->url());

        QCOMPARE(w.keys(), QStringList{"X"});
        QCOMPARE(w.rowTexts(RemoteListModel::TitleColumn),
                 QStringList{QStringLiteral("The server copy of the library could not be read.")});
        QVERIFY(!w.button("Import")->isEnabled());
        QVERIFY(w.ws().remoteCodeArray.empty());
        const QList<Prompts::Record> asked = Prompts::takeHistory();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].title, QStringLiteral("Load Code Data"));
        QVERIFY(!w.status().contains(QLatin1String("not found")));
    }

    void serverCopyWithoutRecords_listsTheOneEmptyRecord()
    {
        Server server;
        QVERIFY(server.http->running());
        QVERIFY(DatabaseFile::write(server.copyPath(), {}));
        ComparisonWindow w(library());

        enterServerMode(w, server.http->url());

        QCOMPARE(w.keys(), QStringList{"R0"});
        QCOMPARE(w.rowTexts(RemoteListModel::IdColumn), QStringList{"0"});
        QCOMPARE(w.status(), QStringLiteral("1 of 1 source code snippet have differences"));
    }
};

QTEST_MAIN(ServerComparisonWindowTest)
#include "tst_server_comparison_window.moc"
