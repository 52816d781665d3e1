#include "CliRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include "ZorbethTestPaths.h"

namespace {

// The library the search window's tests use, sorted as loaded: 0 "Dim statement" (Alpha),
// 1 "Loop forms" (alpha), 2 "Trim text" (Alpha), 3 "dim light" (Beta), 4 "Read lines" (Beta),
// 5 "Zeta search" (Gamma), 6 "Plus x" (x+), 7 "Plain x" (x).
const QString Folder = QStringLiteral(ZORBETH_TEST_DATA_DIR "/search");

struct Run
{
    int exitCode = -1;
    QJsonObject json;
    QByteArray out;
};

Run cli(QStringList arguments)
{
    arguments.prepend(Folder);
    arguments.prepend(QStringLiteral("--folder"));
    const CliRun run = runCli(arguments);
    return {run.exitCode, QJsonDocument::fromJson(run.out).object(), run.out};
}

QList<int> indexes(const QJsonObject& json)
{
    QList<int> list;
    for (const QJsonValue& v : json.value(QLatin1String("results")).toArray()) {
        list << v.toObject().value(QLatin1String("index")).toInt();
    }
    return list;
}

QStringList words(const QJsonObject& json)
{
    QStringList list;
    for (const QJsonValue& v : json.value(QLatin1String("words")).toArray()) {
        list << v.toString();
    }
    return list;
}

} // namespace

class CliSearchTest : public QObject
{
    Q_OBJECT

private slots:
    void search_json_matchesTheWindowsSearch_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("ignore case") << QStringList{"DIM", "--ignore-case"} << QList<int>{0, 2, 3};
        QTest::newRow("leading blank") << QStringList{" dim", "--ignore-case"} << QList<int>{2};
        QTest::newRow("titles only") << QStringList{"x", "--titles"} << QList<int>{2, 6, 7};
        QTest::newRow("language in another case")
            << QStringList{"i", "--ignore-case", "--language", "ALPHA"} << QList<int>{0, 1, 2};
        QTest::newRow("language with all languages")
            << QStringList{"api", "--language", "alpha", "--all-languages"} << QList<int>{5, 6};
        QTest::newRow("term after --") << QStringList{"--", "-x"} << QList<int>{};
    }

    void search_json_matchesTheWindowsSearch()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QList<int>, expected);
        const Run run = cli(QStringList{"--json", "search"} + arguments);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(indexes(run.json), expected);
        QCOMPARE(run.json.value(QLatin1String("count")).toInt(), expected.size());
    }

    void search_json_givesEachResultsListColumns()
    {
        const Run run = cli({"search", "Plus", "--json"});
        const QJsonObject first = run.json.value(QLatin1String("results")).toArray().first().toObject();
        QCOMPARE(first, (QJsonObject{{"index", 6},
                                     {"language", "x+"},
                                     {"category", "Misc"},
                                     {"title", "Plus x"},
                                     {"date", "2024-03-01 10:00:00"}}));
    }

    void words_json_givesTheDropDownsList_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("keys of one language")
            << QStringList{"--keys", "--language", "Alpha"}
            << QStringList{"bookmark", "bookmarks", "declare", "string", "vb"};
        QTest::newRow("all words of one language")
            << QStringList{"--all", "--language", "alpha"}
            << QStringList{"10",     "as",    "bookmark", "bookmarks", "declare", "dim",
                           "for",    "forms", "long",     "loop",      "next",    "statement",
                           "string", "text",  "to",       "trim",      "vb"};
    }

    void words_json_givesTheDropDownsList()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, expected);
        const Run run = cli(QStringList{"words"} + arguments + QStringList{"--json"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(words(run.json), expected);
        QCOMPARE(run.json.value(QLatin1String("count")).toInt(), expected.size());
    }

    void text_listsOneWordPerLineAndATableOfResults()
    {
        QCOMPARE(cli({"words", "--keys", "--language", "beta"}).out, QByteArray("file\nio\n"));
        const QByteArray table = cli({"search", "Plain"}).out;
        QVERIFY(table.startsWith("index  language  category  title    date"));
        QVERIFY(table.endsWith("1 matching entries\n"));
    }

    void badUsage_exitsTwo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("blank term") << QStringList{"search", "  "};
        QTest::newRow("words without a list") << QStringList{"words"};
        QTest::newRow("words with both lists") << QStringList{"words", "--all", "--keys"};
        QTest::newRow("search flag on list") << QStringList{"list", "--titles"};
    }

    void badUsage_exitsTwo()
    {
        QFETCH(QStringList, arguments);
        const Run run = cli(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(CliSearchTest)
#include "tst_cli_search.moc"
