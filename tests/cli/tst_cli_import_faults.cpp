#include "cli/CliCommands.h"
#include "LibraryText.h"
#include "store/DatabaseFile.h"
#include "store/WriteFaults.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// zorbeth-cli import that fails at any write point of its save leaves the library as it was and
// says so; run in process, where the test can make the disk fail.
class TestCliImportFaults : public QObject
{
    Q_OBJECT

    struct Outcome
    {
        int status = -1;
        QByteArray err;
    };

    static Outcome import(const QString& folder, const QString& file)
    {
        QBuffer out;
        QBuffer err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        CliCommands cli(out, err);
        const int status = cli.run({"--folder", folder, "import", file, "--all", "--json"});
        return {status, err.data()};
    }

    static SnippetRecord record(const QString& title, const QString& code)
    {
        SnippetRecord r;
        r.Language = QStringLiteral("C");
        r.Category = QStringLiteral("Misc");
        r.Title = title;
        r.Code = code;
        r.Date = QStringLiteral("2026-01-02 03:04:05");
        return r;
    }

    // A program folder with a library of one snippet, and a file of two more to import.
    static void prepare(const QTemporaryDir& dir)
    {
        QVERIFY(DatabaseFile::write(dir.filePath(QStringLiteral("zorbeth.txt")), {record("Kept", "a")}));
        QVERIFY(DatabaseFile::write(dir.filePath(QStringLiteral("incoming.txt")),
                                    {record("New one", "b"), record("New two", "c")}));
    }

private slots:
    void cleanup() { WriteFaults::failAt(0); }

    void import_failingAtEachWritePoint_leavesTheLibraryAsItWas()
    {
        int points = 0;
        {
            QTemporaryDir dir;
            prepare(dir);
            WriteFaults::failAt(0);
            QCOMPARE(import(dir.path(), dir.filePath(QStringLiteral("incoming.txt"))).status, 0);
            points = WriteFaults::passed();
        }
        QVERIFY(points >= 3);
        for (int point = 1; point <= points; ++point) {
            QTemporaryDir dir;
            prepare(dir);
            const QString library = dir.filePath(QStringLiteral("zorbeth.txt"));
            const QByteArray before = LibraryText::readAll(library);
            WriteFaults::failAt(point);
            const Outcome outcome = import(dir.path(), dir.filePath(QStringLiteral("incoming.txt")));
            WriteFaults::failAt(0);
            QCOMPARE(outcome.status, 2);
            QVERIFY(outcome.err.contains("Nothing was imported."));
            QCOMPARE(LibraryText::readAll(library), before);
            QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("zorbeth.txt*")}, QDir::Files),
                     QStringList{QStringLiteral("zorbeth.txt")});
        }
    }
};

QTEST_GUILESS_MAIN(TestCliImportFaults)
#include "tst_cli_import_faults.moc"
