#include "LibraryText.h"
#include "library/ui/TreeController.h"
#include "store/Backup.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using Answer = Prompts::Answer;

namespace {

CodeArray library()
{
    return {
        WindowFixture::record("SQL", "Strings", "Trim", "", "SELECT TRIM(x);"),
        WindowFixture::record("SQL", "Dates", "Today", "", "SELECT CURRENT_DATE;"),
        WindowFixture::record("Bash", "Files", "Count", "", "wc -l"),
    };
}

QStringList titles(const CodeArray& records)
{
    QStringList list;
    for (const SnippetRecord& r : records) {
        if (!r.Deleted) {
            list << r.Title;
        }
    }
    list.sort();
    return list;
}

using LibraryText::readAll;

void trigger(WindowFixture& f, const char* action, std::optional<Answer> answer = Answer::Ok)
{
    if (answer) {
        Prompts::queueAnswer(*answer);
    }
    f.find<QAction>(action)->trigger();
}

} // namespace

class StorageCommandsTest : public QObject
{
    Q_OBJECT

private:
    MainWindow& open(WindowFixture& f)
    {
        f.writeLibrary(library());
        MainWindow& w = f.open();
        Prompts::takeHistory();
        return w;
    }

private slots:
    void save_writesEvenWhenNothingChanged()
    {
        WindowFixture f;
        MainWindow& w = open(f);
        QFile::remove(f.libraryPath());
        trigger(f, "mnuSave", std::nullopt);
        QCOMPARE(titles(DatabaseFile::read(f.libraryPath()).records), titles(library()));
        QCOMPARE(f.find<QLabel>("StatusBar1")->text(), QStringLiteral("Changes saved"));

        w.workspace().codeArray[0].Title = QStringLiteral("Edited");
        w.workspace().CodeChanged = true;
        f.find<QAction>("mnuSave")->trigger();
        QVERIFY(!w.workspace().CodeChanged);
        QVERIFY(titles(DatabaseFile::read(f.libraryPath()).records).contains(QStringLiteral("Edited")));
        QVERIFY(Prompts::takeHistory().isEmpty());
    }

    void backupThenRestore_returnsToTheLastSaveBeforeTheBackup()
    {
        WindowFixture f;
        MainWindow& w = open(f);
        CodeArray& records = w.workspace().codeArray;
        // Unsaved when backed up: not in the backup.
        records[0].Title = QStringLiteral("Unsaved");
        w.workspace().CodeChanged = true;
        trigger(f, "mnuBackup");
        QCOMPARE(f.find<QLabel>("StatusBar1")->text(), QStringLiteral("Backup completed"));
        QCOMPARE(titles(DatabaseFile::read(f.libraryPath() + ".old").records), titles(library()));

        f.find<QAction>("mnuSave")->trigger();
        records.push_back(WindowFixture::record("Ada", "Tasks", "Extra"));
        w.workspace().CodeChanged = true;
        f.tree()->setCurrentItem(f.tree()->topLevelItem(1));
        f.find<QAction>("mnuChildCount")->trigger();

        trigger(f, "mnuRestore");
        const auto history = Prompts::takeHistory();
        QCOMPARE(history.size(), 2);
        QCOMPARE(history[0].title, QStringLiteral("Backup Last Saved Code File"));
        QCOMPARE(history[1].title, QStringLiteral("Restore Code Data"));
        QCOMPARE(history[1].text, QStringLiteral("Are you sure?"));
        QCOMPARE(titles(w.workspace().codeArray), titles(library()));
        QCOMPARE(readAll(f.libraryPath()), readAll(f.libraryPath() + ".old"));
        QVERIFY(!w.workspace().CodeChanged);
        QCOMPARE(f.tree()->currentItem(), f.tree()->topLevelItem(0));
        QCOMPARE(f.tree()->topLevelItem(0)->text(0), QStringLiteral("Bash  (1)"));
        QCOMPARE(f.find<QLineEdit>("txtTitle")->text(), QStringLiteral("Language:    Bash"));
    }

    void cancelled_changesNothing_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("backup") << "mnuBackup";
        QTest::newRow("restore") << "mnuRestore";
    }

    void cancelled_changesNothing()
    {
        QFETCH(QString, action);
        WindowFixture f;
        MainWindow& w = open(f);
        trigger(f, "mnuBackup");
        w.workspace().codeArray[0].Title = QStringLiteral("Unsaved");
        const QByteArray library = readAll(f.libraryPath());
        const QByteArray backup = readAll(f.libraryPath() + ".old");
        trigger(f, action.toLatin1().constData(), Answer::Cancel);
        QCOMPARE(readAll(f.libraryPath()), library);
        QCOMPARE(readAll(f.libraryPath() + ".old"), backup);
        QCOMPARE(w.workspace().codeArray[0].Title, QStringLiteral("Unsaved"));
    }

    void missingOrDamagedFile_isReportedAndNothingChanges_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QByteArray>("source"); // null: the file to copy is missing
        const QByteArray cut =
            "Zorbeth Source Code Snippets\r\nP\r\nW\r\n2026-01-01 00:00:00\r\n----T\r\nhalf";
        QTest::newRow("backup without a library file") << "mnuBackup" << QByteArray();
        QTest::newRow("restore without a backup") << "mnuRestore" << QByteArray();
        QTest::newRow("restore of a damaged backup") << "mnuRestore" << cut;
    }

    void missingOrDamagedFile_isReportedAndNothingChanges()
    {
        QFETCH(QString, action);
        QFETCH(QByteArray, source);
        WindowFixture f;
        MainWindow& w = open(f);
        const bool restoring = action == QLatin1String("mnuRestore");
        const QString sourcePath = f.libraryPath() + (restoring ? ".old" : "");
        const QString targetPath = f.libraryPath() + (restoring ? "" : ".old");
        QFile::remove(sourcePath);
        if (!source.isNull()) {
            QFile file(sourcePath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(source);
        }
        const QByteArray target = readAll(targetPath);
        const CodeArray before = w.workspace().codeArray;

        trigger(f, action.toLatin1().constData());
        const auto history = Prompts::takeHistory();
        QCOMPARE(history.size(), 2);
        QCOMPARE(history[1].title, history[0].title);
        QCOMPARE(history[1].icon, Prompts::Icon::Exclamation);
        QVERIFY2(history[1].text.contains(QDir::toNativeSeparators(sourcePath)), qPrintable(history[1].text));
        QCOMPARE(readAll(targetPath), target);
        QVERIFY(w.workspace().codeArray == before);
        QVERIFY(!f.find<QLabel>("StatusBar1")->text().contains(QStringLiteral("completed")));
    }
};

QTEST_MAIN(StorageCommandsTest)
#include "tst_storage_commands.moc"
