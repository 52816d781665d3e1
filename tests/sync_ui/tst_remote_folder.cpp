#include "gui/CommandToolbar.h"
#include "library/LibraryLock.h"
#include "LibraryText.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QDir>
#include <QLabel>

// The library in a shared folder: choosing the folder, switching to it and back, and copying to it.
class RemoteFolderTest : public QObject
{
    Q_OBJECT

    static CodeArray localLibrary()
    {
        return {WindowFixture::record("C", "Strings", "Local one"),
                WindowFixture::record("C", "Strings", "Local two"),
                WindowFixture::record("SQL", "Dates", "Local three")};
    }

    static CodeArray sharedLibrary()
    {
        return {WindowFixture::record("Perl", "Files", "Shared one"),
                WindowFixture::record("Perl", "Files", "Shared two")};
    }

    static QString status(WindowFixture& f) { return f.find<QLabel>("StatusBar1")->text(); }
    static QAction* remoteButton(WindowFixture& f)
    {
        return f.window().findChild<CommandToolbar*>()->button(QStringLiteral("Remote"));
    }
    static QStringList titles(const Workspace& ws)
    {
        QStringList list;
        for (const SnippetRecord& r : ws.codeArray) {
            list << r.Title;
        }
        return list;
    }

    // A window on the local library with a shared folder, holding the shared library, already chosen.
    MainWindow& openWithShared(WindowFixture& f, QTemporaryDir& shared)
    {
        f.writeLibrary(localLibrary());
        [&] {
            QVERIFY(DatabaseFile::write(shared.filePath(QStringLiteral("zorbeth.txt")), sharedLibrary()));
        }();
        MainWindow& w = f.open();
        Prompts::queueFolder(shared.path());
        f.find<QAction>("mnuSelectRootFolder")->trigger();
        return w;
    }

private slots:
    void selectFolder_keepsLettersAndEndsWithSlash()
    {
        WindowFixture f;
        MainWindow& w = f.open();
        f.find<QAction>("mnuSelectRootFolder")->trigger();
        QCOMPARE(status(f), QStringLiteral("Remote folder:   <not specified>"));

        Prompts::queueFolder(QStringLiteral("/Mnt/Team Share/Snippets"));
        f.find<QAction>("mnuSelectRootFolder")->trigger();
        QCOMPARE(w.workspace().options.RF, QStringLiteral("/Mnt/Team Share/Snippets/"));
        QCOMPARE(status(f), QStringLiteral("Remote folder:   /Mnt/Team Share/Snippets/"));

        // Cancelling the browser keeps the folder chosen before.
        f.find<QAction>("mnuSelectRootFolder")->trigger();
        QCOMPARE(w.workspace().options.RF, QStringLiteral("/Mnt/Team Share/Snippets/"));
        QCOMPARE(status(f), QStringLiteral("Remote folder:   /Mnt/Team Share/Snippets/"));
    }

    void useRemote_withoutFolder_refusesAndReleasesButton()
    {
        WindowFixture f;
        f.writeLibrary(localLibrary());
        MainWindow& w = f.open();
        f.find<QAction>("mnuUseRemote")->trigger();
        QCOMPARE(status(f), QStringLiteral("No remote folder specified!"));
        QVERIFY(!f.find<QAction>("mnuUseRemote")->isChecked());
        QVERIFY(!remoteButton(f)->isChecked());
        QVERIFY(w.workspace().databasePrefix.isEmpty());
        QCOMPARE(w.workspace().codeArray.size(), size_t(3));
    }

    void switching_opensEachLibraryAndMovesTheLock()
    {
        QTemporaryDir shared;
        WindowFixture f;
        MainWindow& w = openWithShared(f, shared);
        const QString sharedFolder = QDir(shared.path()).path() + u'/';

        remoteButton(f)->trigger();
        QVERIFY(f.find<QAction>("mnuUseRemote")->isChecked());
        QCOMPARE(w.workspace().databasePrefix, sharedFolder);
        QCOMPARE(titles(w.workspace()), (QStringList{"Shared one", "Shared two"}));
        QCOMPARE(status(f),
                 QStringLiteral("Source code file opened: ") + sharedFolder + QStringLiteral("zorbeth.txt"));
        // The shared library is now ours to write, and the local one is free for others.
        LibraryLock other;
        QVERIFY(other.acquire(f.folder()));
        other.release();
        QVERIFY(QFile::exists(shared.filePath(QLatin1String(LibraryLock::FileName))));

        f.find<QAction>("mnuUseRemote")->trigger();
        QVERIFY(!remoteButton(f)->isChecked());
        QVERIFY(w.workspace().databasePrefix.isEmpty());
        QCOMPARE(titles(w.workspace()), (QStringList{"Local one", "Local two", "Local three"}));
        QCOMPARE(status(f), QStringLiteral("Source code file opened: ") + f.libraryPath());
    }

    void switching_withUnsavedChanges_followsTheAnswer_data()
    {
        QTest::addColumn<Prompts::Answer>("answer");
        QTest::addColumn<bool>("switched");
        QTest::addColumn<bool>("savedOnDisk");
        QTest::newRow("yes") << Prompts::Answer::Yes << true << true;
        QTest::newRow("no") << Prompts::Answer::No << true << false;
        QTest::newRow("cancel") << Prompts::Answer::Cancel << false << false;
    }

    void switching_withUnsavedChanges_followsTheAnswer()
    {
        QFETCH(Prompts::Answer, answer);
        QFETCH(bool, switched);
        QFETCH(bool, savedOnDisk);
        QTemporaryDir shared;
        WindowFixture f;
        MainWindow& w = openWithShared(f, shared);
        w.workspace().codeArray[0].Title = QStringLiteral("Edited");
        w.workspace().CodeChanged = true;

        Prompts::queueAnswer(answer);
        remoteButton(f)->trigger();
        const QList<Prompts::Record> asked = Prompts::takeHistory();
        QCOMPARE(asked.size(), 2); // the folder browser, then the question
        QCOMPARE(asked[1].text, QStringLiteral("Save changes?"));
        QCOMPARE(asked[1].title, QStringLiteral("Close Zorbeth"));

        QCOMPARE(remoteButton(f)->isChecked(), switched);
        QCOMPARE(f.find<QAction>("mnuUseRemote")->isChecked(), switched);
        QCOMPARE(LibraryText::readAll(f.libraryPath()).contains("\r\nEdited\r\n"), savedOnDisk);
        if (!switched) {
            // Cancel keeps the library and its unsaved change.
            QVERIFY(w.workspace().databasePrefix.isEmpty());
            QVERIFY(w.workspace().CodeChanged);
            QVERIFY(titles(w.workspace()).contains(QStringLiteral("Edited")));
        } else {
            QCOMPARE(titles(w.workspace()), (QStringList{"Shared one", "Shared two"}));
        }
    }

    void switching_withAutoSave_savesWithoutAsking()
    {
        QTemporaryDir shared;
        WindowFixture f;
        MainWindow& w = openWithShared(f, shared);
        Prompts::takeHistory();
        QAction* autoSave = f.find<QAction>("mnuAutoSave");
        autoSave->setChecked(true);
        autoSave->setObjectName(QStringLiteral("renamed"));
        w.workspace().codeArray[0].Title = QStringLiteral("Edited");
        w.workspace().CodeChanged = true;

        remoteButton(f)->trigger();

        QVERIFY(Prompts::takeHistory().isEmpty());
        QVERIFY(LibraryText::readAll(f.libraryPath()).contains("\r\nEdited\r\n"));
        QCOMPARE(titles(w.workspace()), (QStringList{"Shared one", "Shared two"}));
    }

    void switching_whenSaveFails_staysWithTheLibrary()
    {
        QTemporaryDir shared;
        WindowFixture f;
        MainWindow& w = openWithShared(f, shared);
        w.workspace().codeArray[0].Title = QStringLiteral("Edited");
        w.workspace().CodeChanged = true;
        w.workspace().saveBlockedReason = QStringLiteral("The library could not be read.");
        Prompts::queueAnswer(Prompts::Answer::Yes);
        remoteButton(f)->trigger();
        QVERIFY(!remoteButton(f)->isChecked());
        QVERIFY(w.workspace().databasePrefix.isEmpty());
        QVERIFY(w.workspace().CodeChanged);
        QVERIFY(titles(w.workspace()).contains(QStringLiteral("Edited")));
    }

    void switchingBack_returnsToRememberedNode_data()
    {
        QTest::addColumn<bool>("remember");
        QTest::addColumn<int>("expected");
        QTest::newRow("remembered") << true << 4;
        QTest::newRow("not remembered") << false << 1;
    }

    void switchingBack_returnsToRememberedNode()
    {
        QFETCH(bool, remember);
        QFETCH(int, expected);
        QTemporaryDir shared;
        WindowFixture f;
        openWithShared(f, shared);
        QAction* startupNode = f.find<QAction>("mnuStartupNode");
        startupNode->setChecked(remember);
        // The option is the menu item itself, whatever it is called.
        startupNode->setObjectName(QStringLiteral("renamed"));
        LibraryTree* tree = f.tree();
        tree->setCurrentItem(tree->nodeAtPosition(4));
        remoteButton(f)->trigger();
        QCOMPARE(tree->positionOf(tree->currentItem()), 1); // the shared library was never left
        tree->setCurrentItem(tree->nodeAtPosition(2));
        remoteButton(f)->trigger();
        QCOMPARE(tree->positionOf(tree->currentItem()), expected);
        remoteButton(f)->trigger();
        QCOMPARE(tree->positionOf(tree->currentItem()), remember ? 2 : 1);
    }

    void restart_opensTheLibraryInUseAtExit()
    {
        QTemporaryDir shared;
        WindowFixture f;
        MainWindow& w = openWithShared(f, shared);
        remoteButton(f)->trigger();
        w.close();
        f.closeWindow();

        MainWindow& again = f.open();
        QVERIFY(remoteButton(f)->isChecked());
        QVERIFY(f.find<QAction>("mnuUseRemote")->isChecked());
        QCOMPARE(titles(again.workspace()), (QStringList{"Shared one", "Shared two"}));
        QVERIFY(again.workspace().databaseLocationText.endsWith(QStringLiteral("<remote>")));
    }

    void copyLocal_copiesTheResourceOnlyOverAnExistingLibrary_data()
    {
        QTest::addColumn<bool>("targetExists");
        QTest::addColumn<Prompts::Answer>("answer");
        QTest::addColumn<bool>("libraryCopied");
        QTest::addColumn<bool>("resourceCopied");
        QTest::newRow("new target") << false << Prompts::Answer::Ok << true << false;
        QTest::newRow("overwrite") << true << Prompts::Answer::Ok << true << true;
        QTest::newRow("cancel") << true << Prompts::Answer::Cancel << false << false;
    }

    void copyLocal_copiesTheResourceOnlyOverAnExistingLibrary()
    {
        QFETCH(bool, targetExists);
        QFETCH(Prompts::Answer, answer);
        QFETCH(bool, libraryCopied);
        QFETCH(bool, resourceCopied);
        QTemporaryDir shared;
        WindowFixture f;
        f.writeLibrary(localLibrary());
        QVERIFY(LibraryText::writeAll(f.folder() + QStringLiteral("/zorbethresource.res"), "attached bytes"));
        const QString target = shared.filePath(QStringLiteral("zorbeth.txt"));
        if (targetExists) {
            QVERIFY(DatabaseFile::write(target, sharedLibrary()));
        }
        const QByteArray before = LibraryText::readAll(target);
        f.open();
        Prompts::queueFolder(shared.path());
        f.find<QAction>("mnuSelectRootFolder")->trigger();
        Prompts::takeHistory();

        Prompts::queueAnswer(answer);
        f.find<QAction>("mnuCopyLocal")->trigger();
        const QList<Prompts::Record> asked = Prompts::takeHistory();
        QCOMPARE(asked.size(), targetExists ? 1 : 0);
        if (targetExists) {
            QCOMPARE(asked[0].text, QStringLiteral("File exists. Overwrite?"));
            QCOMPARE(asked[0].title, QStringLiteral("Copy Local Source Code File to Remote Folder"));
        }
        const QByteArray after = LibraryText::readAll(target);
        QCOMPARE(after == LibraryText::readAll(f.libraryPath()), libraryCopied);
        if (!libraryCopied) {
            QCOMPARE(after, before);
        }
        QCOMPARE(LibraryText::readAll(shared.filePath(QStringLiteral("zorbethresource.res"))),
                 resourceCopied ? QByteArray("attached bytes") : QByteArray());
    }

    void copyLocal_refusedWhileTheSharedLibraryIsInUse_data()
    {
        QTest::addColumn<bool>("openHere");
        QTest::addColumn<QString>("reason");
        QTest::newRow("held by another program")
            << false << "The library was not copied. The library in %1 is in use by";
        QTest::newRow("open in this window")
            << true
            << "The library in %1 is the one open in this window; it is not copied over while it is open.";
    }

    void copyLocal_refusedWhileTheSharedLibraryIsInUse()
    {
        QFETCH(bool, openHere);
        QFETCH(QString, reason);
        QTemporaryDir shared;
        WindowFixture f;
        QVERIFY(LibraryText::writeAll(f.folder() + QStringLiteral("/zorbethresource.res"), "attached bytes"));
        QVERIFY(
            LibraryText::writeAll(shared.filePath(QStringLiteral("zorbethresource.res")), "shared bytes"));
        MainWindow& w = openWithShared(f, shared);
        const QString target = shared.filePath(QStringLiteral("zorbeth.txt"));
        const QByteArray before = LibraryText::readAll(target);
        LibraryLock other;
        if (openHere) {
            remoteButton(f)->trigger();
            QCOMPARE(titles(w.workspace()), (QStringList{"Shared one", "Shared two"}));
        } else {
            QVERIFY(other.acquire(shared.path()));
        }
        Prompts::takeHistory();

        f.find<QAction>("mnuCopyLocal")->trigger();

        QVERIFY(Prompts::takeHistory().isEmpty());
        QVERIFY2(status(f).startsWith(reason.arg(QDir(shared.path()).path() + u'/')), qPrintable(status(f)));
        QCOMPARE(LibraryText::readAll(target), before);
        QCOMPARE(LibraryText::readAll(shared.filePath(QStringLiteral("zorbethresource.res"))),
                 QByteArray("shared bytes"));
    }

    void copyLocal_failure_replacesTheStatus()
    {
        QTemporaryDir shared;
        WindowFixture f;
        openWithShared(f, shared);
        Prompts::queueAnswer(Prompts::Answer::Ok);
        f.find<QAction>("mnuCopyLocal")->trigger();
        const QString target = QDir(shared.path()).path() + QStringLiteral("/zorbeth.txt");
        QCOMPARE(status(f), QStringLiteral("Library copied to ") + target);
        // The local file on disk no longer reads to its end.
        QVERIFY(LibraryText::writeAll(f.libraryPath(), LibraryText::readAll(f.libraryPath()).chopped(20)));
        Prompts::takeHistory();

        Prompts::queueAnswer(Prompts::Answer::Ok);
        f.find<QAction>("mnuCopyLocal")->trigger();

        QCOMPARE(status(f), QStringLiteral("The library was not copied to ") + target);
        const QList<Prompts::Record> shown = Prompts::takeHistory();
        QCOMPARE(shown.size(), 2); // the overwrite question, then why it failed
        QCOMPARE(shown[1].title, QStringLiteral("Copy Local Source Code File to Remote Folder"));
    }

    void copyLocal_withoutFolder_refuses()
    {
        WindowFixture f;
        f.open();
        f.find<QAction>("mnuCopyLocal")->trigger();
        QCOMPARE(status(f), QStringLiteral("No remote folder specified!"));
    }
};

QTEST_MAIN(RemoteFolderTest)
#include "tst_remote_folder.moc"
