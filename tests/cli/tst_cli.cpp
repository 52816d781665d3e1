#include "CliRun.h"
#include "LibraryText.h"
#include "settings/AppInfo.h"
#include "store/DatabaseFile.h"
#include "ZorbethTestPaths.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Fixtures = QStringLiteral(ZORBETH_TEST_DATA_DIR "/cli");
const QString MissingFolder = QStringLiteral(ZORBETH_TEST_DATA_DIR "/cli/no-such-folder");

using Run = CliRun;

Run cli(const QStringList& arguments, const QString& envFolder = {})
{
    return runCli(arguments, envFolder);
}

QStringList field(const QJsonArray& records, const QString& key)
{
    QStringList values;
    for (const QJsonValue& v : records) {
        values << v.toObject().value(key).toVariant().toString();
    }
    return values;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void check_reportsRecordsAndCompleteness_data();
    void check_reportsRecordsAndCompleteness();
    void list_json_givesRecordsInLibraryOrder();
    void list_languageFilter_ignoresCaseAndKeepsIndexes();
    void list_incompleteLibrary_listsWhatWasReadAndExitsOne();
    void listOrShow_damagedLibrary_warnsAndExitsOne_data();
    void listOrShow_damagedLibrary_warnsAndExitsOne();
    void check_text_namesTheLostTitles();
    void versionAndHelp_printAndExitZero_data();
    void versionAndHelp_printAndExitZero();
    void show_json_givesEveryField();
    void textTables_showControlCharactersEscaped_data();
    void textTables_showControlCharactersEscaped();
    void badUsageOrMissingLibrary_exitsTwoAndWritesNothing_data();
    void badUsageOrMissingLibrary_exitsTwoAndWritesNothing();
};

void TestCli::check_reportsRecordsAndCompleteness_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("json");

    QTest::newRow("complete") << Fixtures + "/zorbeth.txt" << 0
                              << QByteArray(
                                     R"({"complete":true,"damaged":false,"nonUtf8Bytes":0,"records":5})");
    QTest::newRow("cut off") << Fixtures + "/truncated.txt" << 1
                             << QByteArray(
                                    R"({"complete":false,"damaged":false,"nonUtf8Bytes":0,"records":3})");
    // One "----E" is gone: the block before it reads on into the next record.
    QTest::newRow("damaged") << Fixtures + "/damaged.txt" << 1
                             << QByteArray(
                                    R"({"complete":true,"damaged":true,"nonUtf8Bytes":0,"records":5})");
    QTest::newRow("mixed encodings")
        << Fixtures + "/mixed.txt" << 0
        << QByteArray(R"({"complete":true,"damaged":false,"nonUtf8Bytes":2,"records":5})");
    QTest::newRow("missing") << Fixtures + "/missing.txt" << 2 << QByteArray();
}

void TestCli::check_reportsRecordsAndCompleteness()
{
    QFETCH(QString, file);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, json);
    const Run run = cli({"check", file, "--json"});
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out.trimmed(), json);
    QCOMPARE(run.err.isEmpty(), exitCode != 2);
}

void TestCli::list_json_givesRecordsInLibraryOrder()
{
    const Run run = cli({"--folder", Fixtures, "list", "--json"});
    QCOMPARE(run.exitCode, 0);
    const QJsonArray records = QJsonDocument::fromJson(run.out).array();
    QCOMPARE(field(records, "index"), (QStringList{"0", "1", "2", "3", "4"}));
    QCOMPARE(field(records, "title"),
             (QStringList{"Hello", "Read a file", QString::fromUtf16(u"\u00c9crire"), "Upsert", "Join"}));
    const QJsonObject join = records[4].toObject();
    QCOMPARE(join.value("objectName").toString(), QString("logo.png"));
    QCOMPARE(join.value("objectLength").toInt(), 2048);
    QVERIFY(!join.contains("code") && !join.contains("dtext") && !join.contains("htext"));
    QCOMPARE(join.keys(), (QStringList{"category", "date", "index", "keywords", "language", "objectFlag",
                                       "objectLength", "objectName", "objectStart", "title"}));
}

void TestCli::list_languageFilter_ignoresCaseAndKeepsIndexes()
{
    const Run run = cli({"list", "--language", "PYTHON", "--json"}, Fixtures);
    QCOMPARE(run.exitCode, 0);
    const QJsonArray records = QJsonDocument::fromJson(run.out).array();
    QCOMPARE(field(records, "index"), (QStringList{"1", "2"}));
    QCOMPARE(field(records, "language"), (QStringList{"Python", "python"}));

    const Run table = cli({"--folder", Fixtures, "list", "--language", "sql"});
    QCOMPARE(table.exitCode, 0);
    QVERIFY(table.out.contains("Join"));
    QVERIFY(!table.out.contains("Upsert"));
}

void TestCli::list_incompleteLibrary_listsWhatWasReadAndExitsOne()
{
    QTemporaryDir dir;
    QVERIFY(QFile::copy(Fixtures + "/truncated.txt", dir.filePath("zorbeth.txt")));
    const Run run = cli({"--folder", dir.path(), "list", "--json"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(QJsonDocument::fromJson(run.out).array().size(), 3);
    QVERIFY(!run.err.isEmpty());
    // Read-only: no placeholder, no copy set aside, the file itself untouched.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"zorbeth.txt"});
    QFile copy(dir.filePath("zorbeth.txt"));
    QFile original(Fixtures + "/truncated.txt");
    QVERIFY(copy.open(QIODevice::ReadOnly) && original.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), original.readAll());
}

void TestCli::listOrShow_damagedLibrary_warnsAndExitsOne_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("warning");

    QTest::newRow("list, damaged") << "damaged.txt" << QStringList{"list", "--json"}
                                   << QByteArray("is damaged; 1 records could not be read: Join\n");
    QTest::newRow("show, damaged") << "damaged.txt" << QStringList{"show", "0"}
                                   << QByteArray("is damaged; 1 records could not be read: Join\n");
    QTest::newRow("show, cut off") << "truncated.txt" << QStringList{"show", "0", "--json"}
                                   << QByteArray("ends before its end marker; 3 snippets were read\n");
}

void TestCli::listOrShow_damagedLibrary_warnsAndExitsOne()
{
    QFETCH(QString, fixture);
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, warning);
    QTemporaryDir dir;
    QVERIFY(QFile::copy(Fixtures + '/' + fixture, dir.filePath("zorbeth.txt")));
    const Run run = cli(QStringList{"--folder", dir.path()} + arguments);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(!run.out.isEmpty());
    QVERIFY2(run.err.endsWith(warning), run.err.constData());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"zorbeth.txt"});
}

void TestCli::check_text_namesTheLostTitles()
{
    const Run run = cli({"check", Fixtures + "/damaged.txt"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QByteArray("records:      5\ncomplete:     yes\n"
                                 "damaged:      yes, 1 records could not be read: Join\nnonUtf8Bytes: 0\n"));
}

void TestCli::versionAndHelp_printAndExitZero_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("help");

    QTest::newRow("--version") << QStringList{"--version"} << false;
    QTest::newRow("--version after a command") << QStringList{"list", "--version"} << false;
    QTest::newRow("--help") << QStringList{"--help"} << true;
    QTest::newRow("-h") << QStringList{"-h"} << true;
}

void TestCli::versionAndHelp_printAndExitZero()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, help);
    const Run run = cli(arguments, MissingFolder);
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.isEmpty());
    if (!help) {
        QCOMPARE(run.out, ("zorbeth-cli " + AppInfo::versionText() + "\n").toUtf8());
        return;
    }
    for (const char* word : {"--folder DIR", "--json", "--help", "-h", "--version", "check FILE", "list",
                             "--language L", "show INDEX", "search TERM", "--titles", "--keywords", "--code",
                             "--ignore-case", "--all-languages", "words", "--all", "--keys", "--  "}) {
        QVERIFY2(run.out.contains(word), word);
    }
}

void TestCli::show_json_givesEveryField()
{
    const Run run = cli({"--folder", Fixtures, "show", "0", "--json"});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject r = QJsonDocument::fromJson(run.out).object();
    QCOMPARE(r.toVariantMap(),
             (QVariantMap{{"index", 0},
                          {"language", "C++"},
                          {"category", "Basics"},
                          {"title", "Hello"},
                          {"keywords", "greeting bookmark"},
                          {"date", "2024-01-03 11:00:00"},
                          {"dtext", "dtext of Hello"},
                          {"code", "#include <cstdio>\r\nint main() { std::puts(\"hi\"); }"},
                          {"htext", "help text"},
                          {"objectName", ""},
                          {"objectFlag", 0},
                          {"objectStart", 0},
                          {"objectLength", 0}}));
}

void TestCli::textTables_showControlCharactersEscaped_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QStringList>("shown"); // texts the output must hold
    const QStringList title{"Evil\\x1b]0;owned\\x07"};
    QTest::newRow("list") << QStringList{"list"} << title;
    QTest::newRow("show") << QStringList{"show", "0"}
                          << QStringList{"Evil\\x1b]0;owned\\x07", "C\\x9b2J",
                                         "line one\n\tline \\x1b[2J two"};
    QTest::newRow("search") << QStringList{"search", "Evil"} << title;
    QTest::newRow("objects list") << QStringList{"objects", "list"} << QStringList{"a\\x1b[31m.txt"};
    QTest::newRow("split") << QStringList{"split", "IMPORT"} << QStringList{"Bad\\x1b[2J\\x08 : Base"};
    QTest::newRow("compare") << QStringList{"compare", "IMPORT"} << QStringList{"Bad\\x1b[2J\\x08 : Base"};
}

void TestCli::textTables_showControlCharactersEscaped()
{
    QFETCH(QStringList, command);
    QFETCH(QStringList, shown);
    QTemporaryDir folder;
    SnippetRecord r;
    r.Language = QStringLiteral("C") + QChar(0x9b) + QStringLiteral("2J");
    r.Category = QStringLiteral("Cat");
    r.Title = QStringLiteral("Evil\x1b]0;owned\x07");
    r.Code = QStringLiteral("line one\r\n\tline \x1b[2J two");
    r.ObjectName = QStringLiteral("a\x1b[31m.txt");
    r.ObjectFlag = 1;
    r.ObjectStart = 1;
    r.ObjectLength = 4;
    QVERIFY(DatabaseFile::write(folder.filePath("zorbeth.txt"), {r}));
    QVERIFY(LibraryText::writeAll(folder.filePath("zorbethresource.res"), "AAAA"));
    const QString source = folder.filePath("hostile.h");
    QVERIFY(LibraryText::writeAll(source, "class Bad\x1b[2J\x08 : Base { int a; };\n"));
    command.replaceInStrings(QStringLiteral("IMPORT"), source);

    const Run run = cli(QStringList{"--folder", folder.path()} + command);
    QCOMPARE(run.exitCode, 0);
    const QString out = QString::fromUtf8(run.out);
    for (const QChar c : out) {
        QVERIFY2(c == u'\n' || c == u'\t' || c.category() != QChar::Other_Control,
                 qPrintable(
                     QStringLiteral("U+%1 reached the terminal").arg(c.unicode(), 4, 16, QLatin1Char('0'))));
    }
    for (const QString& text : shown) {
        QVERIFY2(out.contains(text), qPrintable(out));
    }
    // JSON keeps the text as it is, escaped the JSON way.
    const Run json = cli(QStringList{"--folder", folder.path()} + command + QStringList{"--json"});
    QCOMPARE(json.exitCode, 0);
    QVERIFY(json.out.contains("\\u001b"));
}

void TestCli::badUsageOrMissingLibrary_exitsTwoAndWritesNothing_data()
{
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("no command") << QStringList{"--json"};
    QTest::newRow("unknown command") << QStringList{"explode"};
    QTest::newRow("unknown option") << QStringList{"list", "--fast"};
    QTest::newRow("check without file") << QStringList{"check"};
    QTest::newRow("index not a number") << QStringList{"--folder", Fixtures, "show", "first"};
    QTest::newRow("index out of range") << QStringList{"--folder", Fixtures, "show", "5"};
    QTest::newRow("folder without value") << QStringList{"list", "--folder"};
    QTest::newRow("missing library, list") << QStringList{"--folder", MissingFolder, "list"};
    QTest::newRow("missing library, show") << QStringList{"--folder", MissingFolder, "show", "0", "--json"};
}

void TestCli::badUsageOrMissingLibrary_exitsTwoAndWritesNothing()
{
    QFETCH(QStringList, arguments);
    const Run run = cli(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY(!run.err.isEmpty());
    QVERIFY(!QFileInfo::exists(MissingFolder));
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
