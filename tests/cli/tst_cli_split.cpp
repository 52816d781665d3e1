#include "CliRun.h"
#include "import/ForeignFixtures.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include "ZorbethTestPaths.h"

namespace {

const QString Fixtures = QStringLiteral(ZORBETH_TEST_DATA_DIR);

using Run = CliRun;

Run cli(const QStringList& arguments)
{
    return runCli(arguments);
}

QStringList field(const QJsonArray& snippets, const QString& key)
{
    QStringList values;
    for (const QJsonValue& v : snippets) {
        values << v.toObject().value(key).toVariant().toString();
    }
    return values;
}

} // namespace

class TestCliSplit : public QObject
{
    Q_OBJECT

private slots:
    void split_json_givesStagedSnippetsInStagingOrder_data();
    void split_json_givesStagedSnippetsInStagingOrder();
    void split_json_carriesEveryField();
    void split_json_otherToolsFiles_giveEveryStagedField_data();
    void split_json_otherToolsFiles_giveEveryStagedField();
    void split_brokenFileOfAnotherTool_saysWhichAndWhy_data();
    void split_brokenFileOfAnotherTool_saysWhichAndWhy();
    void split_nothingFound_exitsOneWithNoSnippets_data();
    void split_nothingFound_exitsOneWithNoSnippets();
    void split_missingFile_exitsTwo();
    void split_neverWrites();
};

void TestCliSplit::split_json_givesStagedSnippetsInStagingOrder_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("languages");
    QTest::newRow("vb passes") << "/import/module.bas"
                               << QStringList{"Main()", "Form_Load()", "Twice(ByVal n As Long) As Long"}
                               << QStringList{"Visual Basic", "Visual Basic", "Visual Basic"};
    QTest::newRow("perl") << "/import/tools.pl" << QStringList{"greet", "trim_it"}
                          << QStringList{"Perl", "Perl"};
    // A library file is staged in file order, before any sort.
    QTest::newRow("library file") << "/cli/zorbeth.txt"
                                  << QStringList{"Read a file", "Hello", "Join", "\u00c9crire", "Upsert"}
                                  << QStringList{"Python", "C++", "SQL", "python", "SQL+"};
}

void TestCliSplit::split_json_givesStagedSnippetsInStagingOrder()
{
    QFETCH(QString, file);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, languages);
    const Run run = cli({"split", Fixtures + file, "--json"});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject o = QJsonDocument::fromJson(run.out).object();
    const QJsonArray snippets = o.value("snippets").toArray();
    QCOMPARE(o.value("count").toInt(), titles.size());
    QCOMPARE(field(snippets, "title"), titles);
    QCOMPARE(field(snippets, "language"), languages);
    QStringList indexes;
    for (qsizetype i = 0; i < titles.size(); ++i) {
        indexes << QString::number(i);
    }
    QCOMPARE(field(snippets, "index"), indexes);
}

void TestCliSplit::split_json_carriesEveryField()
{
    const Run run = cli({"split", Fixtures + "/import/shapes.h", "--json"});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject s =
        QJsonDocument::fromJson(run.out).object().value("snippets").toArray().at(1).toObject();
    QCOMPARE(s.keys(),
             (QStringList{"category", "code", "date", "dtext", "index", "keywords", "language", "title"}));
    QCOMPARE(s.value("dtext").toString(), QString());
    QCOMPARE(s.value("code").toString(), QStringLiteral("class Shape\r\n{\r\n}"));
    QCOMPARE(s.value("category").toString(), QStringLiteral("import"));
    QCOMPARE(s.value("keywords").toString(), QString());
    QVERIFY(!s.value("date").toString().isEmpty());
}

void TestCliSplit::split_json_otherToolsFiles_giveEveryStagedField_data()
{
    using namespace ForeignFixtures;
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // empty: the massCode SQLite library
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("vs code python.json") << "python.json" << PythonJson << PythonJsonRecords;
    QTest::newRow("vs code with scopes") << "mine.code-snippets" << GlobalSnippets << GlobalSnippetsRecords;
    QTest::newRow("massCode db.json") << "db.json" << MassCodeJson << MassCodeRecords;
    QTest::newRow("massCode.db") << "massCode.db" << QByteArray() << MassCodeRecords;
    QTest::newRow("pet") << "snippet.toml" << PetToml << PetRecords;
}

void TestCliSplit::split_json_otherToolsFiles_giveEveryStagedField()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(bytes.isEmpty() ? ForeignFixtures::writeMassCodeDb(path)
                            : ForeignFixtures::writeFile(path, bytes));
    // massCode's times are given in local time; the expected texts are for UTC.
    qputenv("TZ", "UTC");

    const Run run = cli({"split", path, "--json"});

    QCOMPARE(run.exitCode, 0);
    const QJsonArray snippets = QJsonDocument::fromJson(run.out).object().value("snippets").toArray();
    QStringList staged;
    for (const QJsonValue& v : snippets) {
        const QJsonObject o = v.toObject();
        // The import time is the moment of the run; only its presence can be checked.
        const QString date = o.value("date").toString();
        QVERIFY(!date.isEmpty());
        staged << QStringList{o.value("title").toString(),
                              o.value("language").toString(),
                              o.value("category").toString(),
                              o.value("keywords").toString(),
                              date.contains(u'-') ? date : QStringLiteral("NOW"),
                              o.value("dtext").toString(),
                              o.value("code").toString()}
                      .join(u'|');
    }
    QCOMPARE(staged, expected);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{name});
}

void TestCliSplit::split_brokenFileOfAnotherTool_saysWhichAndWhy_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("why");
    QTest::newRow("json") << "python.json" << QByteArray("{\"a\": {\"body\": [}}")
                          << "it is not valid JSON at line 1, column";
    QTest::newRow("toml") << "pet.toml" << QByteArray("[[snippets]\n") << "it is not valid TOML at line 1";
    QTest::newRow("sqlite") << "massCode.db" << QByteArray(2048, 'x') << "it is no massCode library";
}

void TestCliSplit::split_brokenFileOfAnotherTool_saysWhichAndWhy()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, why);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(ForeignFixtures::writeFile(path, bytes));
    const Run run = cli({"split", path, "--json"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(QJsonDocument::fromJson(run.out).object(),
             (QJsonObject{{"count", 0}, {"snippets", QJsonArray()}}));
    const QString err = QString::fromUtf8(run.err);
    QVERIFY2(err.contains(QStringLiteral("The file \"%1\" cannot be imported: %2").arg(path, why)),
             qPrintable(err));
}

void TestCliSplit::split_nothingFound_exitsOneWithNoSnippets_data()
{
    QTest::addColumn<QString>("source"); // a fixture, or empty for a cut-off version-5 file
    QTest::addColumn<QString>("name");
    QTest::newRow("indented vb") << "/import/indented.bas"
                                 << "indented.bas";
    QTest::newRow("ending in capitals") << "/import/module.bas"
                                        << "MODULE.BAS";
    QTest::newRow("ending not in the table") << "/import/shapes.h"
                                             << "shapes.hpp";
    QTest::newRow("library cut off") << "/cli/truncated.txt"
                                     << "truncated.txt";
    QTest::newRow("version-5 file without its end line") << QString() << "cut.zq5";
}

void TestCliSplit::split_nothingFound_exitsOneWithNoSnippets()
{
    QFETCH(QString, source);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (source.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("Zorbeth5\r\n----T\r\nA\r\ncat\r\nkeys\r\ndate\r\n----E\r\n----C\r\nx\r\n----E\r\n"
                "----H\r\n\r\n----E\r\n");
    } else {
        QVERIFY(QFile::copy(Fixtures + source, path));
    }
    const Run run = cli({"split", path, "--json"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(QJsonDocument::fromJson(run.out).object(),
             (QJsonObject{{"count", 0}, {"snippets", QJsonArray()}}));
    QVERIFY(run.err.contains("No source code found in the selected file."));
}

void TestCliSplit::split_missingFile_exitsTwo()
{
    const Run run = cli({"split", Fixtures + "/import/no-such.cpp", "--json"});
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY(run.err.contains("no such file"));
}

void TestCliSplit::split_neverWrites()
{
    QTemporaryDir dir;
    QVERIFY(QFile::copy(Fixtures + "/import/page.html", dir.filePath("page.html")));
    const Run run = cli({"--folder", dir.path(), "split", dir.filePath("page.html")});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.contains("5 snippets found"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList{"page.html"});
}

QTEST_GUILESS_MAIN(TestCliSplit)
#include "tst_cli_split.moc"
