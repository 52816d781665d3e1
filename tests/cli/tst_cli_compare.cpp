#include "CliRun.h"
#include "library/LibraryLock.h"
#include "LibraryText.h"
#include "store/DatabaseFile.h"
#include "ZorbethTestPaths.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Run = CliRun;

Run cli(const QString& folder, QStringList arguments)
{
    arguments.prepend(folder);
    arguments.prepend(QStringLiteral("--folder"));
    return runCli(arguments);
}

SnippetRecord snippet(const QString& language, const QString& category, const QString& title,
                      const QString& code)
{
    SnippetRecord r;
    r.Language = language;
    r.Category = category;
    r.Title = title;
    r.Code = code;
    r.Keywords = QStringLiteral("kw ") + title;
    r.Date = QStringLiteral("2019-01-02 03:04:05");
    return r;
}

// The library: three snippets. The staged file, sorted: 0 Ada Hi (new), 1 C++ Hello (the library's
// in other letter case), 2 Java Max (new), 3 Perl Sort (the library's title with other code).
const CodeArray Library{snippet("C++", "Basics", "Hello", "cout << 1;"),
                        snippet("Perl", "Arrays", "Sort", "sort @a;"),
                        snippet("SQL", "Queries", "Join", "select 1")};
const CodeArray Server{snippet("c++", "Basics", "HELLO", "COUT << 1;"),
                       snippet("Perl", "Arrays", "Sort", "sort { $a <=> $b } @a;"),
                       snippet("Java", "Util", "Max", "Math.max(a, b)"),
                       snippet("Ada", "Misc", "Hi", "Put (\"hi\");")};

// A program folder with the library, and the server copy beside it as "server.txt".
struct Folder
{
    QTemporaryDir dir;
    QString library() const { return dir.filePath(QStringLiteral("zorbeth.txt")); }
    QString server() const { return dir.filePath(QStringLiteral("server.txt")); }
    bool ready() const
    {
        return DatabaseFile::write(library(), Library) && DatabaseFile::write(server(), Server);
    }
};

QStringList rowsOf(const QByteArray& json)
{
    QStringList rows;
    for (const QJsonValue& v : QJsonDocument::fromJson(json).object().value("rows").toArray()) {
        const QJsonObject row = v.toObject();
        rows << QStringLiteral("%1 %2/%3/%4%5")
                    .arg(row.value("id").toInt())
                    .arg(row.value("language").toString(), row.value("category").toString(),
                         row.value("title").toString(), row.value("red").toBool() ? " red" : "");
    }
    return rows;
}

// "language/title" of every record of the library file, in file order.
QStringList titlesIn(const QString& path)
{
    QStringList titles;
    for (const SnippetRecord& r : DatabaseFile::read(path).records) {
        titles << r.Language + u'/' + r.Title;
    }
    return titles;
}

} // namespace

class TestCliCompare : public QObject
{
    Q_OBJECT

private slots:
    void compare_json_listsTheViewInListOrder_data();
    void compare_json_listsTheViewInListOrder();
    void compare_table_endsWithTheStatusText();
    void compare_exitStatus_data();
    void compare_exitStatus();
    void import_appendsListedRowsSortedAndSaved_data();
    void import_appendsListedRowsSortedAndSaved();
    void import_refuses_leavingTheLibraryAsItWas_data();
    void import_refuses_leavingTheLibraryAsItWas();
    void import_refusesWhileTheLibraryIsLocked();
    void import_missingLibrary_isNotCreated();
};

void TestCliCompare::compare_json_listsTheViewInListOrder_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("differences") << QStringList{}
                                 << QStringList{"0 Ada/Misc/Hi", "2 Java/Util/Max", "3 Perl/Arrays/Sort red"};
    QTest::newRow("matching") << QStringList{"--matching"} << QStringList{"3 Perl/Arrays/Sort red"};
}

void TestCliCompare::compare_json_listsTheViewInListOrder()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, rows);
    Folder folder;
    QVERIFY(folder.ready());
    const QByteArray before = LibraryText::readAll(folder.library());
    const Run run = cli(folder.dir.path(), QStringList{"compare", folder.server(), "--json"} + arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(rowsOf(run.out), rows);
    QCOMPARE(QJsonDocument::fromJson(run.out).object().value("staged").toInt(), 4);
    QCOMPARE(LibraryText::readAll(folder.library()), before);
    QCOMPARE(QDir(folder.dir.path()).entryList(QDir::Files), (QStringList{"server.txt", "zorbeth.txt"}));
}

void TestCliCompare::compare_table_endsWithTheStatusText()
{
    Folder folder;
    QVERIFY(folder.ready());
    const Run run = cli(folder.dir.path(), {"compare", folder.server()});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.endsWith("3 of 4 source code snippet have differences.  Local file name:   " +
                              folder.server().toUtf8() + '\n'),
             run.out.constData());
    QVERIFY2(run.out.contains("Perl"), run.out.constData());
}

void TestCliCompare::compare_exitStatus_data()
{
    QTest::addColumn<QByteArray>("library"); // empty: none
    QTest::addColumn<QString>("file");       // in the folder; "server.txt" is the server copy
    QTest::addColumn<QByteArray>("fileBytes");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");
    const QByteArray library = DatabaseFile::serialize(Library, QStringLiteral("2024-01-01 00:00:00"));
    const QByteArray empty = LibraryText::Header + "++++++++\r\n";
    QTest::newRow("library file without snippets")
        << library << "empty.txt" << empty << 1 << QByteArray("No source code found in the selected file.");
    QTest::newRow("ending not in the table") << library << "notes.md" << QByteArray("# notes\n") << 1
                                             << QByteArray("No source code found in the selected file.");
    QTest::newRow("missing file") << library << "gone.txt" << QByteArray() << 2 << QByteArray("no such file");
    QTest::newRow("missing library") << QByteArray() << "server.txt" << QByteArray() << 2
                                     << QByteArray("no library at");
    // Listed against part of the library, the rows may hold snippets it has: a problem, said so.
    QTest::newRow("library cut off") << library.left(library.size() - 12) << "server.txt" << QByteArray() << 1
                                     << QByteArray("ends before its end marker");
}

void TestCliCompare::compare_exitStatus()
{
    QFETCH(QByteArray, library);
    QFETCH(QString, file);
    QFETCH(QByteArray, fileBytes);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);
    Folder folder;
    QVERIFY(DatabaseFile::write(folder.server(), Server));
    if (!library.isEmpty()) {
        QVERIFY(LibraryText::writeAll(folder.library(), library));
    }
    if (!fileBytes.isEmpty()) {
        QVERIFY(LibraryText::writeAll(folder.dir.filePath(file), fileBytes));
    }
    const Run run = cli(folder.dir.path(), {"compare", folder.dir.filePath(file), "--json"});
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(message), run.err.constData());
    QCOMPARE(LibraryText::readAll(folder.library()), library);
    if (exitCode == 1 && file != "server.txt") {
        QCOMPARE(run.out, QByteArray("{\"rows\":[],\"staged\":0}\n"));
    }
}

void TestCliCompare::import_appendsListedRowsSortedAndSaved_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("imported");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("ids") << QStringList{"--ids", "3,0"} << 2
                         << QStringList{"Ada/Hi", "C++/Hello", "Perl/Sort", "Perl/Sort", "SQL/Join"};
    QTest::newRow("ids given twice count once")
        << QStringList{"--ids=2,2"} << 1 << QStringList{"C++/Hello", "Java/Max", "Perl/Sort", "SQL/Join"};
    QTest::newRow("all") << QStringList{"--all"} << 3 << QStringList{"Ada/Hi",    "C++/Hello", "Java/Max",
                                                                     "Perl/Sort", "Perl/Sort", "SQL/Join"};
}

void TestCliCompare::import_appendsListedRowsSortedAndSaved()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, imported);
    QFETCH(QStringList, titles);
    Folder folder;
    QVERIFY(folder.ready());
    const Run run = cli(folder.dir.path(), QStringList{"import", folder.server(), "--json"} + arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(run.out).object().value("imported").toInt(), imported);

    const DatabaseFile::ReadResult saved = DatabaseFile::read(folder.library());
    QVERIFY(saved.complete);
    QVERIFY(!saved.damaged());
    QCOMPARE(titlesIn(folder.library()), titles);
    qsizetype fresh = 0;
    for (const SnippetRecord& r : saved.records) {
        QCOMPARE(r.Date, QStringLiteral("2019-01-02 03:04:05"));
        if (r.Keywords.isEmpty()) {
            ++fresh;
        } else {
            QCOMPARE(r.Keywords, QStringLiteral("kw ") + r.Title);
        }
    }
    QCOMPARE(fresh, qsizetype(imported));
    // The new Perl snippet follows the library's own one and carries the server's code.
    if (titles.count("Perl/Sort") == 2) {
        const qsizetype at = titles.indexOf("Perl/Sort");
        QCOMPARE(saved.records[size_t(at)].Code.toString(), QStringLiteral("sort @a;"));
        QCOMPARE(saved.records[size_t(at + 1)].Code.toString(), QStringLiteral("sort { $a <=> $b } @a;"));
    }
    QCOMPARE(cli(folder.dir.path(), {"check", folder.library()}).exitCode, 0);
}

void TestCliCompare::import_refuses_leavingTheLibraryAsItWas_data()
{
    QTest::addColumn<QByteArray>("library");
    QTest::addColumn<QByteArray>("server");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");
    const QByteArray library = DatabaseFile::serialize(Library, QStringLiteral("2024-01-01 00:00:00"));
    const QByteArray server = DatabaseFile::serialize(Server, QStringLiteral("2024-01-01 00:00:00"));
    QTest::newRow("library cut off") << library.left(library.size() - 12) << server << QStringList{"--all"}
                                     << QByteArray("cut off");
    QTest::newRow("library damaged") << LibraryText::readAll(ZORBETH_TEST_DATA_DIR "/cli/damaged.txt")
                                     << server << QStringList{"--all"} << QByteArray("damaged");
    QTest::newRow("id of an identical snippet")
        << library << server << QStringList{"--ids", "0,1"} << QByteArray("1 is not an ID");
    QTest::newRow("id past the staged snippets")
        << library << server << QStringList{"--ids", "4"} << QByteArray("4 is not an ID");
    QTest::newRow("ids not numbers") << library << server << QStringList{"--ids", "0,x"}
                                     << QByteArray("--ids takes numbers");
    QTest::newRow("neither ids nor all") << library << server << QStringList{} << QByteArray("one of --ids");
    QTest::newRow("both ids and all")
        << library << server << QStringList{"--all", "--ids", "0"} << QByteArray("one of --ids");
    QTest::newRow("nothing staged") << library << LibraryText::Header + "++++++++\r\n"
                                    << QStringList{"--all"}
                                    << QByteArray("No source code found in the selected file.");
    QTest::newRow("server copy cut off") << library << server.left(server.size() - 12) << QStringList{"--all"}
                                         << QByteArray("No source code found in the selected file.");
}

void TestCliCompare::import_refuses_leavingTheLibraryAsItWas()
{
    QFETCH(QByteArray, library);
    QFETCH(QByteArray, server);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    Folder folder;
    QVERIFY(LibraryText::writeAll(folder.library(), library));
    QVERIFY(LibraryText::writeAll(folder.server(), server));
    const Run run = cli(folder.dir.path(), QStringList{"import", folder.server()} + arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(message), run.err.constData());
    QCOMPARE(LibraryText::readAll(folder.library()), library);
    QCOMPARE(QDir(folder.dir.path()).entryList(QDir::Files), (QStringList{"server.txt", "zorbeth.txt"}));
}

void TestCliCompare::import_refusesWhileTheLibraryIsLocked()
{
    Folder folder;
    QVERIFY(folder.ready());
    const QByteArray before = LibraryText::readAll(folder.library());
    LibraryLock lock;
    QVERIFY(lock.acquire(folder.dir.path()));
    const Run run = cli(folder.dir.path(), {"import", folder.server(), "--all"});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("is in use by"), run.err.constData());
    QCOMPARE(LibraryText::readAll(folder.library()), before);

    lock.release();
    QCOMPARE(cli(folder.dir.path(), {"import", folder.server(), "--all"}).exitCode, 0);
    QCOMPARE(titlesIn(folder.library()).size(), qsizetype(6));
    QVERIFY(!QFile::exists(folder.dir.filePath(QLatin1String(LibraryLock::FileName))));
}

void TestCliCompare::import_missingLibrary_isNotCreated()
{
    Folder folder;
    QVERIFY(DatabaseFile::write(folder.server(), Server));
    const Run run = cli(folder.dir.path(), {"import", folder.server(), "--all"});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains("no library at"), run.err.constData());
    QVERIFY(!QFile::exists(folder.library()));
}

QTEST_GUILESS_MAIN(TestCliCompare)
#include "tst_cli_compare.moc"
