#include "CliRun.h"
#include "store/DatabaseFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace {

SnippetRecord snippet(const QString& language, const QString& category, const QString& title,
                      const QString& code, const QString& keywords = {})
{
    SnippetRecord r;
    r.Language = language;
    r.Category = category;
    r.Title = title;
    r.Code = code;
    r.Keywords = keywords;
    r.Date = QStringLiteral("2026-01-02 03:04:05");
    return r;
}

// A program folder with a small library; sorted as loaded: 0 Lua/Strings "Split text",
// 1 Python/Files "Read file", 2 Python/Files "Read file", 3 Python/Strings "Strip ```ticks```".
class Library
{
public:
    Library()
    {
        const CodeArray records{
            snippet(QStringLiteral("Python"), QStringLiteral("Strings"), QStringLiteral("Strip ```ticks```"),
                    QStringLiteral("s = '```'\r\nprint(s)"), QStringLiteral("bookmark strip")),
            snippet(QStringLiteral("Python"), QStringLiteral("Files"), QStringLiteral("Read file"),
                    QStringLiteral("open(p).read()")),
            snippet(QStringLiteral("Lua"), QStringLiteral("Strings"), QStringLiteral("Split text"),
                    QStringLiteral("s:gmatch(\"%S+\")")),
            snippet(QStringLiteral("python"), QStringLiteral("Files"), QStringLiteral("Read file"),
                    QStringLiteral("with open(p) as f:\r\n    f.read()"), QStringLiteral("io")),
        };
        QVERIFY(DatabaseFile::write(dir.filePath(QStringLiteral("zorbeth.txt")), records));
    }

    struct Run
    {
        int exitCode = -1;
        QJsonObject json;
        QByteArray out;
        QByteArray err;
    };

    Run cli(QStringList arguments) const
    {
        arguments.prepend(dir.path());
        arguments.prepend(QStringLiteral("--folder"));
        const CliRun run = runCli(arguments);
        return {run.exitCode, QJsonDocument::fromJson(run.out).object(), run.out, run.err};
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

QStringList strings(const QJsonValue& array)
{
    QStringList list;
    for (const QJsonValue& v : array.toArray()) {
        list << v.toString();
    }
    return list;
}

} // namespace

class CliExportTest : public QObject
{
    Q_OBJECT

private slots:
    void exportVsCode_writesTheLanguagesFile()
    {
        const Library library;
        const Library::Run run =
            library.cli({"export", "vscode", "PYTHON", library.path(QStringLiteral("out/new")), "--json"});
        QCOMPARE(run.exitCode, 0);
        const QString file = library.path(QStringLiteral("out/new/python.code-snippets"));
        QCOMPARE(strings(run.json.value(QLatin1String("written"))), QStringList{file});
        QCOMPARE(run.json.value(QLatin1String("snippets")).toInt(), 3);

        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QJsonObject snippets = QJsonDocument::fromJson(written.readAll()).object();
        QCOMPARE(snippets.keys(), (QStringList{QStringLiteral("Read file"), QStringLiteral("Read file (2)"),
                                               QStringLiteral("Strip ```ticks```")}));
        const QJsonObject strip = snippets.value(QLatin1String("Strip ```ticks```")).toObject();
        QCOMPARE(strip.value(QLatin1String("prefix")).toString(), QStringLiteral("strip"));
        QCOMPARE(strings(strip.value(QLatin1String("body"))), (QStringList{"s = '```'", "print(s)"}));
        QCOMPARE(strip.value(QLatin1String("scope")).toString(), QStringLiteral("python"));
    }

    void exportMarkdown_everyLanguageOrOne_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<int>("snippets");
        QTest::newRow("library") << QStringList{} << QStringList{"lua.md", "python.md"} << 4;
        QTest::newRow("one language") << QStringList{"--language", "lua"} << QStringList{"lua.md"} << 1;
    }

    void exportMarkdown_everyLanguageOrOne()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, files);
        QFETCH(int, snippets);
        const Library library;
        QTemporaryDir out;
        const Library::Run run =
            library.cli(QStringList{"export", "markdown"} + options + QStringList{out.path(), "--json"});
        QCOMPARE(run.exitCode, 0);
        QStringList paths;
        for (const QString& name : files) {
            paths << QDir(out.path()).filePath(name);
        }
        QCOMPARE(strings(run.json.value(QLatin1String("written"))), paths);
        QCOMPARE(run.json.value(QLatin1String("snippets")).toInt(), snippets);
        QCOMPARE(QDir(out.path()).entryList(QDir::Files), files);
        QFile page(paths.last());
        QVERIFY(page.open(QIODevice::ReadOnly));
        const QByteArray text = page.readAll();
        if (files.last() == QLatin1String("python.md")) {
            QVERIFY(text.contains("### Strip ```ticks```\r\n\r\nKeywords: bookmark strip\r\n\r\n"
                                  "````python\r\ns = '```'\r\nprint(s)\r\n````\r\n"));
        } else {
            QCOMPARE(text, QByteArray("# Lua\r\n\r\n## Strings\r\n\r\n### Split text\r\n\r\n"
                                      "```lua\r\ns:gmatch(\"%S+\")\r\n```\r\n"));
        }
    }

    void export_exitStatus_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("language without snippet")
            << QStringList{"export", "vscode", "Rust", "OUT"} << 1 << "The language Rust has no snippet";
        QTest::newRow("markdown language without snippet")
            << QStringList{"export", "markdown", "--language", "Rust", "OUT"} << 1 << "has no snippet";
        QTest::newRow("folder under a file")
            << QStringList{"export", "vscode", "Lua", "FILE/sub"} << 2 << "Cannot create the folder";
        QTest::newRow("markdown folder under a file")
            << QStringList{"export", "markdown", "FILE/sub"} << 2 << "Cannot create the folder";
        QTest::newRow("no format") << QStringList{"export", "OUT"} << 2 << "export takes";
        QTest::newRow("vscode without language")
            << QStringList{"export", "vscode", "OUT"} << 2 << "export takes";
        QTest::newRow("unknown format") << QStringList{"export", "html", "Lua", "OUT"} << 2 << "export takes";
        QTest::newRow("limit is find's") << QStringList{"export", "markdown", "OUT", "--limit", "3"} << 2
                                         << "--limit belongs to the find command";
    }

    void export_exitStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Library library;
        QFile blocker(library.path(QStringLiteral("FILE")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        for (QString& argument : arguments) {
            if (argument.startsWith(QLatin1String("OUT")) || argument.startsWith(QLatin1String("FILE"))) {
                argument = library.path(argument);
            }
        }
        const Library::Run run = library.cli(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
        QVERIFY(!QFileInfo::exists(library.path(QStringLiteral("OUT"))) ||
                QDir(library.path(QStringLiteral("OUT"))).isEmpty());
    }

    void find_listsQuickOpensRanking_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QList<int>>("indexes");
        QTest::newRow("title matches, shorter and earlier first")
            << QStringList{"find", "rf"} << QList<int>{1, 2};
        QTest::newRow("then keywords") << QStringList{"find", "io"} << QList<int>{2};
        QTest::newRow("then the path") << QStringList{"find", "luastr"} << QList<int>{0};
        QTest::newRow("limit") << QStringList{"find", "s", "--limit", "2"} << QList<int>{0, 3};
        QTest::newRow("limit=") << QStringList{"find", "--limit=1", "s"} << QList<int>{0};
        QTest::newRow("nothing") << QStringList{"find", "qqq"} << QList<int>{};
    }

    void find_listsQuickOpensRanking()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QList<int>, indexes);
        const Library library;
        const Library::Run run = library.cli(arguments + QStringList{"--json"});
        QCOMPARE(run.exitCode, 0);
        QList<int> found;
        int previous = INT_MAX;
        for (const QJsonValue& value : run.json.value(QLatin1String("rows")).toArray()) {
            const QJsonObject row = value.toObject();
            found << row.value(QLatin1String("index")).toInt();
            const int score = row.value(QLatin1String("score")).toInt();
            QVERIFY(score <= previous);
            previous = score;
            QVERIFY(row.contains(QLatin1String("title")) && row.contains(QLatin1String("language")) &&
                    row.contains(QLatin1String("category")));
        }
        QCOMPARE(found, indexes);
    }

    // The table shows a title's control characters as replacement characters; JSON escapes them.
    void find_tableNeverPrintsControlCharacters()
    {
        QTemporaryDir dir;
        QVERIFY(DatabaseFile::write(dir.filePath(QStringLiteral("zorbeth.txt")),
                                    {snippet(QStringLiteral("Go"), QStringLiteral("Misc"),
                                             QStringLiteral("Red\x1b[31m alert\x07"), QStringLiteral("x"))}));
        const CliRun table = runCli({"--folder", dir.path(), "find", "red"});
        QCOMPARE(table.exitCode, 0);
        QVERIFY(!table.out.contains('\x1b') && !table.out.contains('\x07'));
        QVERIFY(table.out.contains("Red\\x1b[31m alert\\x07"));
        const CliRun json = runCli({"--folder", dir.path(), "find", "red", "--json"});
        QCOMPARE(QJsonDocument::fromJson(json.out)
                     .object()
                     .value(QLatin1String("rows"))
                     .toArray()
                     .at(0)
                     .toObject()
                     .value(QLatin1String("title"))
                     .toString(),
                 QStringLiteral("Red\x1b[31m alert\x07"));
    }

    void find_tableAndUsage()
    {
        const Library library;
        const Library::Run table = library.cli({"find", "split"});
        QCOMPARE(table.exitCode, 0);
        QVERIFY(table.out.startsWith("index"));
        QVERIFY(table.out.contains("Lua") && table.out.contains("Split text"));
        QCOMPARE(library.cli({"find", "x", "--limit", "0"}).exitCode, 2);
        QCOMPARE(library.cli({"find", "x", "--limit", "many"}).exitCode, 2);
        QCOMPARE(library.cli({"find"}).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(CliExportTest)
#include "tst_cli_export.moc"
