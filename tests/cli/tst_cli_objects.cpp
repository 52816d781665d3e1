#include "CliRun.h"
#include "HostileNames.h"
#include "LibraryText.h"
#include "store/DatabaseFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Run = CliRun;

Run cli(const QStringList& arguments)
{
    return runCli(arguments);
}

SnippetRecord snippet(const QString& title, const QString& name = {}, qint32 start = 0, qint32 length = 0)
{
    SnippetRecord r;
    r.Language = "C";
    r.Category = "Cat";
    r.Title = title;
    r.ObjectName = name;
    r.ObjectFlag = name.isEmpty() ? 0 : 1;
    r.ObjectStart = start;
    r.ObjectLength = length;
    return r;
}

// A program folder with a library of the records (sorted by title within one category) and a resource file.
struct Library
{
    QTemporaryDir dir;
    Library(const CodeArray& records, const QByteArray& resource)
    {
        DatabaseFile::write(dir.filePath("zorbeth.txt"), records);
        if (!resource.isNull()) {
            LibraryText::writeAll(dir.filePath("zorbethresource.res"), resource);
        }
    }
    QString folder() const { return dir.path(); }
};

} // namespace

class TestCliObjects : public QObject
{
    Q_OBJECT

private slots:
    void analyze_json_countsObjectsInUse_data()
    {
        QTest::addColumn<QByteArray>("resource");
        QTest::addColumn<int>("fileSize");
        QTest::newRow("file") << QByteArray("aaaabbbbbbxx") << 12;
        QTest::newRow("no file") << QByteArray() << 0;
    }

    void analyze_json_countsObjectsInUse()
    {
        QFETCH(QByteArray, resource);
        QFETCH(int, fileSize);
        Library lib({snippet("a", "a.txt", 1, 4), snippet("b", "b.bin", 5, 6), snippet("c")}, resource);
        const QStringList before = HostileNames::filesBelow(lib.folder());
        const Run run = cli({"--folder", lib.folder(), "objects", "analyze", "--json"});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(o.value("objects").toInt(), 2);
        QCOMPARE(o.value("bytesUsed").toInt(), 10);
        QCOMPARE(o.value("fileSize").toInt(), fileSize);
        QCOMPARE(HostileNames::filesBelow(lib.folder()), before);
    }

    void analyze_text_isTheStatusText()
    {
        Library lib({snippet("a", "a.txt", 1, 4)}, "aaaabbbb");
        const Run run = cli({"--folder", lib.folder(), "objects", "analyze"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(
            QString::fromUtf8(run.out),
            QString(
                "Resource File Analysis:     1 object(s) stored.    4 of 8  bytes used in resource file.  "
                "  50.00% utilization\n"));
    }

    void list_json_givesEveryObjectAndExitsOneWhenOneLiesOutside_data()
    {
        QTest::addColumn<QByteArray>("resource");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QList<bool>>("valid");
        QTest::newRow("all inside") << QByteArray("aaaabbbbbb") << 0 << QList<bool>{true, true};
        QTest::newRow("second past the end") << QByteArray("aaaabbb") << 1 << QList<bool>{true, false};
        QTest::newRow("no file") << QByteArray() << 1 << QList<bool>{false, false};
    }

    void list_json_givesEveryObjectAndExitsOneWhenOneLiesOutside()
    {
        QFETCH(QByteArray, resource);
        QFETCH(int, exitCode);
        QFETCH(QList<bool>, valid);
        Library lib({snippet("a", "a.txt", 1, 4), snippet("b", "b.bin", 5, 6), snippet("c")}, resource);
        const QStringList before = HostileNames::filesBelow(lib.folder());
        const Run run = cli({"--folder", lib.folder(), "objects", "list", "--json"});
        QCOMPARE(run.exitCode, exitCode);
        const QJsonObject o = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(o.value("count").toInt(), 2);
        const QJsonArray objects = o.value("objects").toArray();
        QCOMPARE(objects.size(), 2);
        const QJsonObject first = objects[0].toObject();
        QCOMPARE(first.value("index").toInt(), 0);
        QCOMPARE(first.value("title").toString(), QString("a"));
        QCOMPARE(first.value("name").toString(), QString("a.txt"));
        QCOMPARE(first.value("start").toInt(), 1);
        QCOMPARE(first.value("length").toInt(), 4);
        QCOMPARE(objects[1].toObject().value("index").toInt(), 1);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(objects[i].toObject().value("valid").toBool(), valid[i]);
        }
        QCOMPARE(HostileNames::filesBelow(lib.folder()), before);
    }

    void extract_writesTheObjectUnderItsName()
    {
        Library lib({snippet("a", "a.txt", 1, 4), snippet("b", "sub/b.bin", 5, 3)}, "aaaabbb");
        QTemporaryDir out;
        const Run run = cli({"--folder", lib.folder(), "objects", "extract", "1", out.path(), "--json"});
        QCOMPARE(run.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(o.value("written").toString(), out.filePath("b.bin"));
        QCOMPARE(o.value("bytes").toInt(), 3);
        QCOMPARE(LibraryText::readAll(out.filePath("b.bin")), QByteArray("bbb"));
    }

    void extract_failures_exitWithTheirStatusAndWriteNothing_data()
    {
        QTest::addColumn<CodeArray>("records");
        QTest::addColumn<QString>("index");
        QTest::addColumn<bool>("folderIsFile");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("no object") << CodeArray{snippet("a")} << "0" << false << 1;
        QTest::newRow("past the end") << CodeArray{snippet("a", "a", 3, 9)} << "0" << false << 2;
        QTest::newRow("start zero") << CodeArray{snippet("a", "a", 0, 2)} << "0" << false << 2;
        QTest::newRow("negative length") << CodeArray{snippet("a", "a", 2, -2)} << "0" << false << 2;
        QTest::newRow("not a folder") << CodeArray{snippet("a", "a", 1, 2)} << "0" << true << 2;
        QTest::newRow("no such snippet") << CodeArray{snippet("a", "a", 1, 2)} << "5" << false << 2;
        QTest::newRow("name refused") << CodeArray{snippet("a", "../..", 1, 2)} << "0" << false << 1;
    }

    void extract_failures_exitWithTheirStatusAndWriteNothing()
    {
        QFETCH(CodeArray, records);
        QFETCH(QString, index);
        QFETCH(bool, folderIsFile);
        QFETCH(int, exitCode);
        Library lib(records, "0123456789");
        QTemporaryDir out;
        LibraryText::writeAll(out.filePath("file"), "f");
        const QString target = folderIsFile ? out.filePath("file") : out.filePath("dir");
        QVERIFY(folderIsFile || QDir().mkpath(target));
        const Run run = cli({"--folder", lib.folder(), "objects", "extract", index, target, "--json"});
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY(!run.err.isEmpty());
        QCOMPARE(HostileNames::filesBelow(out.path()),
                 folderIsFile ? QStringList{"file"} : QStringList({"dir", "file"}));
    }

    void extract_hostileNames_neverWriteOutsideTheFolder()
    {
        const QStringList names = HostileNames::all();
        QVERIFY(names.size() >= 50);
        CodeArray records;
        for (const QString& name : names) {
            // The library file holds one-line names: line breaks would split the record.
            QString oneLine = name;
            oneLine.replace(u'\r', u'_').replace(u'\n', u'_');
            records.push_back(snippet(QString("s%1").arg(records.size(), 3, 10, QChar(u'0')), oneLine, 1, 7));
        }
        Library lib(records, "payload");
        QTemporaryDir sandbox;
        const QString out = sandbox.filePath("out/inner");
        QVERIFY(QDir().mkpath(out));
        int written = 0;
        for (int i = 0; i < int(records.size()); ++i) {
            const Run run =
                cli({"--folder", lib.folder(), "objects", "extract", QString::number(i), out, "--json"});
            QVERIFY2(run.exitCode == 0 || run.exitCode == 1, run.err.constData());
            if (run.exitCode == 0) {
                ++written;
                const QString path = QJsonDocument::fromJson(run.out).object().value("written").toString();
                QCOMPARE(QFileInfo(path).dir().absolutePath(), QDir(out).absolutePath());
            }
            for (const QString& file : HostileNames::filesBelow(sandbox.path())) {
                QVERIFY2(file == "out" || file == "out/inner" ||
                             (file.startsWith("out/inner/") && !file.mid(10).contains(u'/')),
                         qPrintable(QString("%1 wrote %2").arg(records[size_t(i)].ObjectName, file)));
            }
        }
        QVERIFY(written > 20);
        QCOMPARE(HostileNames::filesBelow(lib.folder()), QStringList({"zorbeth.txt", "zorbethresource.res"}));
    }

    void extract_intoTheProgramFolder_neverReplacesItsOwnFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("library") << "zorbeth.txt";
        QTest::newRow("resource file") << "zorbethresource.res";
        QTest::newRow("settings") << "zorbeth.ini";
        QTest::newRow("lock") << "zorbeth.lock";
        QTest::newRow("backup") << "zorbeth.txt.old";
    }

    void extract_intoTheProgramFolder_neverReplacesItsOwnFiles()
    {
        QFETCH(QString, name);
        Library lib({snippet("a", name, 1, 7)}, "payload");
        if (!QFileInfo::exists(lib.dir.filePath(name))) {
            LibraryText::writeAll(lib.dir.filePath(name), "kept");
        }
        QMap<QString, QByteArray> before;
        for (const QString& file : HostileNames::filesBelow(lib.folder())) {
            before[file] = LibraryText::readAll(lib.dir.filePath(file));
        }
        const Run run = cli({"--folder", lib.folder(), "objects", "extract", "0", lib.folder()});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(" was not written: "), run.err.constData());
        QVERIFY(run.out.isEmpty());
        QMap<QString, QByteArray> after;
        for (const QString& file : HostileNames::filesBelow(lib.folder())) {
            after[file] = LibraryText::readAll(lib.dir.filePath(file));
        }
        QCOMPARE(after, before);
    }

    void readers_afterAnInterruptedCompaction_seeTheLibraryAsTheWindowDoes_data()
    {
        QTest::addColumn<qint32>("start");
        QTest::addColumn<QByteArray>("expected");
        // Saved with the compacted positions: the compacted file is the one that belongs to it.
        QTest::newRow("library saved, file not yet in place") << 1 << QByteArray("AAAA");
        // Stopped before the save: the compacted file is of no use.
        QTest::newRow("library not saved") << 5 << QByteArray("AAAA");
    }

    void readers_afterAnInterruptedCompaction_seeTheLibraryAsTheWindowDoes()
    {
        QFETCH(qint32, start);
        QFETCH(QByteArray, expected);
        Library lib({snippet("a", "a.txt", start, 4)}, start == 1 ? "XXXXYYYY" : "XXXXAAAA");
        LibraryText::writeAll(lib.dir.filePath("zorbethresource.res.tmp"), "AAAA");
        QMap<QString, QByteArray> before;
        for (const QString& file : HostileNames::filesBelow(lib.folder())) {
            before[file] = LibraryText::readAll(lib.dir.filePath(file));
        }
        QTemporaryDir out;
        const Run extract = cli({"--folder", lib.folder(), "objects", "extract", "0", out.path()});
        QCOMPARE(extract.exitCode, 1);
        QVERIFY2(extract.err.contains("interrupted compaction") || extract.err.contains("compaction of"),
                 extract.err.constData());
        QCOMPARE(LibraryText::readAll(out.filePath("a.txt")), expected);
        const Run list = cli({"--folder", lib.folder(), "objects", "list", "--json"});
        QCOMPARE(list.exitCode, 1);
        QVERIFY(!list.err.isEmpty());
        const QJsonArray objects = QJsonDocument::fromJson(list.out).object().value("objects").toArray();
        QCOMPARE(objects.size(), 1);
        QVERIFY(objects[0].toObject().value("valid").toBool());
        const Run analyze = cli({"--folder", lib.folder(), "objects", "analyze", "--json"});
        QCOMPARE(analyze.exitCode, 1);
        QCOMPARE(QJsonDocument::fromJson(analyze.out).object().value("fileSize").toInt(), start == 1 ? 4 : 8);
        // Readers never write: the window settles the files when it next loads the library.
        QMap<QString, QByteArray> after;
        for (const QString& file : HostileNames::filesBelow(lib.folder())) {
            after[file] = LibraryText::readAll(lib.dir.filePath(file));
        }
        QCOMPARE(after, before);
    }

    void objects_badUsage_exitsTwo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList{"objects"};
        QTest::newRow("unknown") << QStringList{"objects", "compact"};
        QTest::newRow("extract without folder") << QStringList{"objects", "extract", "0"};
        QTest::newRow("index not a number") << QStringList{"objects", "extract", "x", "/tmp"};
    }

    void objects_badUsage_exitsTwo()
    {
        QFETCH(QStringList, arguments);
        Library lib({snippet("a", "a", 1, 1)}, "a");
        const Run run = cli(QStringList{"--folder", lib.folder()} + arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCliObjects)
#include "tst_cli_objects.moc"
