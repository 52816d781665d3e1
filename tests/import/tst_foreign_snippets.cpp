#include "import/ForeignFixtures.h"
#include "import/ForeignSnippets.h"
#include "import/ImportExtensions.h"
#include "store/DateStamp.h"

#include <ctime>
#include <QCryptographicHash>
#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime ImportTime(QDate(2026, 3, 4), QTime(5, 6, 7));

QStringList describe(const CodeArray& staged)
{
    QStringList lines;
    for (const SnippetRecord& r : staged) {
        lines << QStringList{r.Title, r.Language, r.Category, r.Keywords, r.Date, r.DText, r.Code.toString()}
                     .join(u'|');
    }
    return lines;
}

QByteArray hashOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
               : QByteArray();
}

bool writeSqlite(const QString& path, const QStringList& statements)
{
    const QString connection = QUuid::createUuid().toString();
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        ok = db.open();
        for (const QString& sql : statements) {
            QSqlQuery query(db);
            ok = ok && query.exec(sql);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return ok;
}

} // namespace

class TestForeignSnippets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // massCode's times are read as local time; the expected texts are for UTC.
        qputenv("TZ", "UTC");
        tzset();
        DateStamp::pin(ImportTime);
    }
    void cleanupTestCase() { DateStamp::pin(QDateTime()); }

    void stagedRecords_fieldByField_data()
    {
        using namespace ForeignFixtures;
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("vs code, language from the file name")
            << "python.json" << PythonJson << PythonJsonRecords;
        QTest::newRow("vs code, language from the scope")
            << "mine.code-snippets" << GlobalSnippets << GlobalSnippetsRecords;
        // Only the base name up to its first dot names the language.
        QTest::newRow("vs code, dotted name")
            << "python.extra.code-snippets" << PythonJson << PythonJsonRecords;
        QStringList unnamed = PythonJsonRecords;
        unnamed.replaceInStrings("|Python|VS Code|", "|Text|VS Code|");
        unnamed[1].replace("|Text|", "|JavaScript|");
        QTest::newRow("vs code, unknown base name") << "snippets.code-snippets" << PythonJson << unnamed;
        QTest::newRow("massCode db.json") << "db.json" << MassCodeJson << MassCodeRecords;
        QTest::newRow("massCode.db") << "massCode.db" << QByteArray() << MassCodeRecords;
        QTest::newRow("massCode db.json without a time")
            << "db.json"
            << QByteArray(R"({"folders": [], "snippets": [{"name": "N", "content": [{"value": "v"}]}]})")
            << QStringList{"N|Text|Inbox||NOW||v"};
        QTest::newRow("pet") << "snippet.toml" << PetToml << PetRecords;
        QTest::newRow("vs code, members keep file order")
            << "go.json"
            << QByteArray(
                   R"({"b": {"body": "2"}, "a": {"body": "1"}, "b": {"body": "3"}, "c": {"body": "4"}})")
            << QStringList{"b|Go|VS Code||NOW||3", "a|Go|VS Code||NOW||1", "c|Go|VS Code||NOW||4"};
        // Qt shows such a name without its mark and cannot look it up by either spelling.
        QTest::newRow("vs code, names beginning with a byte-order mark")
            << "go.json"
            << QByteArray("{\"\xEF\xBB\xBFOnly\": {\"body\": \"1\"}, \"Url\": {\"body\": \"2\"}, "
                          "\"\xEF\xBB\xBFUrl\": {\"body\": \"3\"}}")
            << QStringList{"Only|Go|VS Code||NOW||1", "Url|Go|VS Code||NOW||2", "Url|Go|VS Code||NOW||3"};
    }

    void stagedRecords_fieldByField()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        QVERIFY(bytes.isEmpty() ? ForeignFixtures::writeMassCodeDb(path)
                                : ForeignFixtures::writeFile(path, bytes));
        const QByteArray before = hashOf(path);

        CodeArray staged;
        QString error;
        QVERIFY2(ImportExtensions::stageFile(path, staged, &error), qPrintable(error));

        QCOMPARE(error, QString());
        expected.replaceInStrings("|NOW|",
                                  u'|' + QLocale::system().toString(ImportTime, QLocale::ShortFormat) + u'|');
        QCOMPARE(describe(staged), expected);
        for (const SnippetRecord& r : staged) {
            QCOMPARE(r.HText, QString());
            QCOMPARE(r.ObjectName, QString());
            QCOMPARE(r.ObjectFlag + r.ObjectStart + r.ObjectLength, 0);
        }
        // Another tool's file is only read, the SQLite library included.
        QCOMPARE(hashOf(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{fileName});
    }

    void badFile_isReportedByName_andStagesNothing_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        QTest::newRow("json cut off") << "python.json" << QByteArray("{\n  \"a\": {\"body\": \"x")
                                      << "it is not valid JSON at line 2, column";
        QTest::newRow("json comment not closed")
            << "python.json" << QByteArray("{ /* \"a\": {\"body\": \"x\"} }")
            << "it is not valid JSON at line 1, "
               "column 3 (a comment is never closed)";
        QTest::newRow("json of no object")
            << "x.code-snippets" << QByteArray("[{\"body\": \"x\"}]") << "it holds no VS Code snippets";
        QTest::newRow("json nested too deep")
            << "deep.json" << QByteArray(100000, '[') << "it is not valid JSON";
        QTest::newRow("db.json not utf-8")
            << "db.json" << QByteArray("{\"folders\": [], \"snippets\": [\"\xff\"]}")
            << "it is not valid JSON";
        QTest::newRow("toml broken") << "snippet.toml"
                                     << QByteArray("[[snippets]]\ncommand = \"ls\ndescription = 1\n")
                                     << "it is not valid TOML at line 2";
        QTest::newRow("toml nested too deep") << "snippet.toml"
                                              << "x = " + QByteArray(100000, '[') << "it is not valid TOML";
        QTest::newRow("db of text") << "massCode.db" << QByteArray("not a database at all, just some text.\n")
                                    << "it is no massCode library";
    }

    void badFile_isReportedByName_andStagesNothing()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        QVERIFY(ForeignFixtures::writeFile(path, bytes));
        SnippetRecord old;
        old.Title = QStringLiteral("old");
        CodeArray staged{old};
        QString error;

        QVERIFY(!ImportExtensions::stageFile(path, staged, &error));

        QVERIFY2(
            error.startsWith(
                QStringLiteral("The file \"%1\" cannot be imported: ").arg(QDir::toNativeSeparators(path))),
            qPrintable(error));
        QVERIFY2(error.contains(why), qPrintable(error));
        QCOMPARE(staged, CodeArray{SnippetRecord{}});
        QCOMPARE(hashOf(path), QCryptographicHash::hash(bytes, QCryptographicHash::Sha256));
    }

    void sqliteOfAnotherProgram_isNoMassCodeLibrary_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QString>("why");
        QTest::newRow("other tables") << QStringList{"CREATE TABLE notes (id INTEGER, text TEXT)"}
                                      << "it is no massCode library (no table \"folders\")";
        QTest::newRow("column missing")
            << QStringList{"CREATE TABLE folders (id INTEGER, name TEXT, parentId INTEGER)",
                           "CREATE TABLE tags (id INTEGER, name TEXT)",
                           "CREATE TABLE snippets (id INTEGER, name TEXT, folderId INTEGER)"}
            << "it is no massCode library (no column \"description\" in \"snippets\")";
    }

    void sqliteOfAnotherProgram_isNoMassCodeLibrary()
    {
        QFETCH(QStringList, statements);
        QFETCH(QString, why);
        QTemporaryDir dir;
        const QString path = dir.filePath("massCode.db");
        QVERIFY(writeSqlite(path, statements));
        CodeArray staged;
        QString error;
        QVERIFY(!ImportExtensions::stageFile(path, staged, &error));
        QCOMPARE(error, QStringLiteral("The file \"%1\" cannot be imported: %2.").arg(path, why));
        QCOMPARE(staged, CodeArray{SnippetRecord{}});
    }

    void lockedMassCodeDb_isReportedAsLocked()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("massCode.db");
        QVERIFY(ForeignFixtures::writeMassCodeDb(path));
        // A running massCode in the middle of a write holds SQLite's exclusive lock.
        const QString connection = QStringLiteral("holder");
        {
            QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
            holder.setDatabaseName(path);
            QVERIFY(holder.open());
            QSqlQuery lock(holder);
            QVERIFY(lock.exec("BEGIN EXCLUSIVE"));
            QVERIFY(lock.exec("UPDATE snippets SET name = 'changing' WHERE id = 1"));

            CodeArray staged;
            QString error;
            QElapsedTimer timer;
            timer.start();
            QVERIFY(!ImportExtensions::stageFile(path, staged, &error));
            QVERIFY(timer.elapsed() < 10000);
            QVERIFY2(error.contains(QLatin1String("is locked by another program (is massCode running?)")),
                     qPrintable(error));
            QCOMPARE(staged, CodeArray{SnippetRecord{}});
            QVERIFY(lock.exec("ROLLBACK"));
            holder.close();
        }
        QSqlDatabase::removeDatabase(connection);
        // Once massCode lets go, the library reads.
        CodeArray staged;
        QVERIFY(ImportExtensions::stageFile(path, staged));
        QCOMPARE(staged.size(), size_t(4));
    }

    void hugeFile_isRefusedBySize_withoutReadingIt_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("vs code") << "big.code-snippets";
        QTest::newRow("json") << "db.json";
        QTest::newRow("massCode.db") << "massCode.db";
        QTest::newRow("toml") << "big.toml";
    }

    void hugeFile_isRefusedBySize_withoutReadingIt()
    {
        QFETCH(QString, fileName);
        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        // A sparse gigabyte: no disk is used, and reading it would take seconds and the memory.
        QVERIFY(file.resize(qint64(1) << 30));
        file.close();
        CodeArray staged;
        QString error;
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!ImportExtensions::stageFile(path, staged, &error));
        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(error,
                 QStringLiteral("The file \"%1\" cannot be imported: it is 1.00 GiB large, and files over "
                                "256.00 MiB are not imported.")
                     .arg(path));
        QCOMPARE(staged, CodeArray{SnippetRecord{}});
    }

    void nothingInTheFile_findsNothingWithoutError_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("vs code without bodies")
            << "c.json" << QByteArray("{\"a\": {\"prefix\": \"x\"}, \"b\": 1}");
        QTest::newRow("massCode with all in the trash")
            << "db.json"
            << QByteArray(
                   R"({"folders": [], "snippets": [{"isDeleted": true, "content": [{"value": "x"}]}]})");
        QTest::newRow("toml without snippets") << "pet.toml" << QByteArray("[other]\nx = 1\n");
    }

    void nothingInTheFile_findsNothingWithoutError()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        QVERIFY(ForeignFixtures::writeFile(path, bytes));
        CodeArray staged;
        QString error;
        QVERIFY(!ImportExtensions::stageFile(path, staged, &error));
        QCOMPARE(error, QString());
        QCOMPARE(staged, CodeArray{SnippetRecord{}});
    }

    void foreignEndings_areCaseSensitive_likeTheOthers()
    {
        QCOMPARE(ForeignSnippets::formatFor("a/PYTHON.JSON"), ForeignSnippets::Format::None);
        QCOMPARE(ForeignSnippets::formatFor("a/db.json"), ForeignSnippets::Format::Json);
        QCOMPARE(ForeignSnippets::formatFor("a/massCode.db"), ForeignSnippets::Format::MassCodeDatabase);
        QCOMPARE(ForeignSnippets::formatFor("a/x.code-snippets"), ForeignSnippets::Format::VsCode);
        QCOMPARE(ForeignSnippets::formatFor("a/pet.toml"), ForeignSnippets::Format::Pet);
    }
};

QTEST_GUILESS_MAIN(TestForeignSnippets)
#include "tst_foreign_snippets.moc"
