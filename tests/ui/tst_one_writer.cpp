#include "library/LibraryFile.h"
#include "library/LibraryLock.h"
#include "LibraryText.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QSysInfo>
#include <QTest>

using Answer = Prompts::Answer;

namespace {

using LibraryText::readAll;

CodeArray library()
{
    return {
        WindowFixture::record("SQL", "Strings", "Trim", "", "SELECT TRIM(x);"),
        WindowFixture::record("Bash", "Files", "Count", "", "wc -l"),
    };
}

QStringList titles(const QString& path)
{
    QStringList list;
    for (const SnippetRecord& r : DatabaseFile::read(path).records) {
        list << r.Title;
    }
    list.sort();
    return list;
}

QString lockPath(const WindowFixture& f)
{
    return QDir(f.folder()).filePath(QLatin1String(LibraryLock::FileName));
}

void rename(MainWindow& w, const QString& title)
{
    w.workspace().codeArray[0].Title = title;
    w.workspace().CodeChanged = true;
}

} // namespace

class OneWriterTest : public QObject
{
    Q_OBJECT

private slots:
    void secondWindow_readOnly_savesNothing()
    {
        WindowFixture f;
        f.writeLibrary(library());
        MainWindow& first = f.open();
        QVERIFY(QFile::exists(lockPath(f)));
        QVERIFY(Prompts::takeHistory().isEmpty());
        QCOMPARE(first.windowTitle(), QStringLiteral("Zorbeth"));

        Prompts::queueAnswer(Answer::Yes);
        MainWindow second(f.folder());
        QCOMPARE(second.start({}), StartupController::Outcome::Running);
        const auto history = Prompts::takeHistory();
        QCOMPARE(history.size(), 1);
        QCOMPARE(history[0].icon, Prompts::Icon::Exclamation);
        QVERIFY2(
            history[0].text.startsWith(
                QStringLiteral("The library in %1 is in use by ").arg(QDir::toNativeSeparators(f.folder()))),
            qPrintable(history[0].text));
        QVERIFY2(history[0].text.contains(QStringLiteral("(process %1 on %2)")
                                              .arg(QCoreApplication::applicationPid())
                                              .arg(QSysInfo::machineHostName())),
                 qPrintable(history[0].text));
        QCOMPARE(second.windowTitle(), QStringLiteral("Zorbeth (read-only)"));
        QVERIFY(second.workspace().readOnly);
        QCOMPARE(second.workspace().codeArray.size(), library().size());

        const QByteArray libraryBefore = readAll(f.libraryPath());
        const QByteArray settingsBefore = readAll(QDir(f.folder()).filePath("zorbeth.ini"));
        rename(second, QStringLiteral("Guest edit"));
        second.findChild<QAction*>(QStringLiteral("mnuAutoSave"))->setChecked(true);
        second.findChild<QAction*>(QStringLiteral("mnuSave"))->trigger();
        QCOMPARE(second.findChild<QLabel*>(QStringLiteral("StatusBar1"))->text(),
                 QString::fromLatin1(LibraryFile::ReadOnlyMessage));
        second.findChild<QAction*>(QStringLiteral("mnuRestore"))->trigger();
        QVERIFY(
            second.findChild<QLabel*>(QStringLiteral("StatusBar1"))->text().contains("nothing was restored"));
        QVERIFY(Prompts::takeHistory().isEmpty());

        // Closing asks only whether to drop the changes; No keeps the window.
        Prompts::queueAnswer(Answer::No);
        QVERIFY(!second.close());
        Prompts::queueAnswer(Answer::Yes);
        QVERIFY(second.close());
        const auto closing = Prompts::takeHistory();
        QCOMPARE(closing.size(), 2);
        QCOMPARE(closing[1].text,
                 QStringLiteral("The library is open read-only, so the changes cannot be saved. "
                                "Close and discard them?"));
        QCOMPARE(readAll(f.libraryPath()), libraryBefore);
        QCOMPARE(readAll(QDir(f.folder()).filePath("zorbeth.ini")), settingsBefore);
        QCOMPARE(QDir(f.folder()).entryList({"zorbeth.txt*"}, QDir::Files), QStringList{"zorbeth.txt"});

        // The guest leaving does not free the owner's lock; the owner closing does.
        LibraryLock probe;
        QVERIFY(!probe.acquire(f.folder()));
        QVERIFY(first.close());
        QVERIFY(!QFile::exists(lockPath(f)));
        QVERIFY(probe.acquire(f.folder()));
    }

    void secondWindow_quit_endsStartupAndLeavesTheLock()
    {
        WindowFixture f;
        f.writeLibrary(library());
        f.open();
        const QByteArray lock = readAll(lockPath(f));
        Prompts::takeHistory();
        Prompts::queueAnswer(Answer::Cancel);
        MainWindow second(f.folder());
        QCOMPARE(second.start({}), StartupController::Outcome::Quit);
        QCOMPARE(Prompts::takeHistory().size(), 1);
        QVERIFY(second.workspace().codeArray.empty());
        QCOMPARE(readAll(lockPath(f)), lock);
    }

    void staleLock_ofAProcessThatEnded_isTakenOver()
    {
        WindowFixture f;
        f.writeLibrary(library());
        QProcess ended;
        ended.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(ended.waitForStarted());
        const qint64 pid = ended.processId();
        ended.kill();
        QVERIFY(ended.waitForFinished());
        {
            QFile file(lockPath(f));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::number(pid) + "\nzorbeth\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        }
        MainWindow& w = f.open();
        QVERIFY(Prompts::takeHistory().isEmpty());
        QVERIFY(!w.workspace().readOnly);
        QVERIFY(
            readAll(lockPath(f)).startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
    }

    void fileChangedOnDisk_asksBeforeSaving_data()
    {
        QTest::addColumn<bool>("byClosing");
        QTest::addColumn<int>("answer");
        QTest::newRow("save, overwrite") << false << int(Answer::Yes);
        QTest::newRow("save, keep other") << false << int(Answer::No);
        QTest::newRow("auto-save at close, overwrite") << true << int(Answer::Yes);
        QTest::newRow("auto-save at close, keep other") << true << int(Answer::No);
    }

    void fileChangedOnDisk_asksBeforeSaving()
    {
        QFETCH(bool, byClosing);
        QFETCH(int, answer);
        const bool overwrite = Answer(answer) == Answer::Yes;
        WindowFixture f;
        f.writeLibrary(library());
        MainWindow& w = f.open();
        Prompts::takeHistory();
        rename(w, QStringLiteral("Ours"));

        // Another program saves the library meanwhile.
        CodeArray theirs = library();
        theirs.push_back(WindowFixture::record("Ada", "Tasks", "Theirs"));
        f.writeLibrary(theirs);
        const QByteArray theirBytes = readAll(f.libraryPath());

        Prompts::queueAnswer(Answer(answer));
        if (byClosing) {
            f.find<QAction>("mnuAutoSave")->setChecked(true);
            QVERIFY(w.close());
        } else {
            f.find<QAction>("mnuSave")->trigger();
        }
        const auto history = Prompts::takeHistory();
        QCOMPARE(history.size(), overwrite ? 1 : 2);
        QCOMPARE(history[0].title, QStringLiteral("Save Code Data"));
        QVERIFY2(
            history[0].text.startsWith(QStringLiteral("The library file %1 was changed by another program")
                                           .arg(QDir::toNativeSeparators(f.libraryPath()))),
            qPrintable(history[0].text));
        QVERIFY(!w.workspace().CodeChanged);

        const QStringList ours = {QStringLiteral("Ours"), QStringLiteral("Trim")};
        const QStringList mine = QDir(f.folder()).entryList({"zorbeth.txt.mine-*"}, QDir::Files);
        if (overwrite) {
            QCOMPARE(titles(f.libraryPath()), ours);
            QVERIFY(mine.isEmpty());
            return;
        }
        QCOMPARE(readAll(f.libraryPath()), theirBytes);
        QCOMPARE(mine.size(), 1);
        const QString minePath = QDir(f.folder()).filePath(mine[0]);
        QCOMPARE(titles(minePath), ours);
        QVERIFY2(history[1].text.contains(QDir::toNativeSeparators(minePath)), qPrintable(history[1].text));
        if (!byClosing) {
            QCOMPARE(f.find<QLabel>("StatusBar1")->text(), QStringLiteral("Changes saved as ") + mine[0]);
            // Still not ours on disk: the next save asks again rather than overwrite silently.
            Prompts::queueAnswer(Answer::Yes);
            f.find<QAction>("mnuSave")->trigger();
            QCOMPARE(Prompts::takeHistory().size(), 1);
            QCOMPARE(titles(f.libraryPath()), ours);
        }
    }

    void closeWithFailedSave_offersToCloseWithoutSaving_data()
    {
        QTest::addColumn<bool>("autoSave");
        QTest::addColumn<bool>("blocked"); // the library could not be set aside: saving is off
        QTest::addColumn<int>("answer");
        QTest::newRow("auto-save blocked, close") << true << true << int(Answer::Yes);
        QTest::newRow("auto-save blocked, stay") << true << true << int(Answer::No);
        QTest::newRow("auto-save failing, close") << true << false << int(Answer::Yes);
        QTest::newRow("save changes yes, failing, close") << false << false << int(Answer::Yes);
    }

    void closeWithFailedSave_offersToCloseWithoutSaving()
    {
        QFETCH(bool, autoSave);
        QFETCH(bool, blocked);
        QFETCH(int, answer);
        WindowFixture f;
        f.writeLibrary(library());
        MainWindow& w = f.open();
        w.show();
        Prompts::takeHistory();
        f.find<QAction>("mnuAutoSave")->setChecked(autoSave);
        if (blocked) {
            w.workspace().saveBlockedReason = QStringLiteral("Saving is turned off.");
        } else {
            w.workspace().databasePrefix = QDir(f.folder()).filePath("missing-folder/");
        }
        rename(w, QStringLiteral("Unsaved"));
        if (!autoSave) {
            Prompts::queueAnswer(Answer::Yes);
        }
        Prompts::queueAnswer(Answer::Ok); // the message that the save failed
        Prompts::queueAnswer(Answer(answer));
        QCOMPARE(w.close(), Answer(answer) == Answer::Yes);

        auto history = Prompts::takeHistory();
        if (!autoSave) {
            QCOMPARE(history.takeFirst().text, QStringLiteral("Save changes?"));
        }
        QCOMPARE(history.size(), 2);
        QCOMPARE(history[0].icon, Prompts::Icon::Critical);
        if (blocked) {
            QCOMPARE(history[0].text, QStringLiteral("Saving is turned off."));
        } else {
            const QString path = QDir(f.folder()).filePath("missing-folder/zorbeth.txt");
            QVERIFY2(history[0].text.startsWith(QString::fromLatin1(LibraryFile::SaveErrorMessage) + u'\n'),
                     qPrintable(history[0].text));
            QVERIFY2(history[0].text.section(u'\n', 1).contains(path), qPrintable(history[0].text));
        }
        QCOMPARE(history[1].title, QStringLiteral("Close Zorbeth"));
        QCOMPARE(history[1].text,
                 QStringLiteral("The library could not be saved. Close without saving the changes?"));
        QVERIFY(!titles(f.libraryPath()).contains(QStringLiteral("Unsaved")));
    }
};

QTEST_MAIN(OneWriterTest)
#include "tst_one_writer.moc"
