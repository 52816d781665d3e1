#include "HostileNames.h"
#include "library/Workspace.h"
#include "LibraryText.h"
#include "objects/ObjectExport.h"
#include "objects/ProgramFiles.h"
#include "objects/SafeNames.h"

#include <QTemporaryDir>
#include <QTest>

class TestObjectNames : public QObject
{
    Q_OBJECT

private slots:
    void fileName_keepsTheLastPlainComponent_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("safe");
        QTest::newRow("plain") << "diagram.png"
                               << "diagram.png";
        QTest::newRow("parent") << "../x"
                                << "x";
        QTest::newRow("absolute") << "/etc/x"
                                  << "x";
        QTest::newRow("drive") << "C:\\x"
                               << "x";
        QTest::newRow("drive relative") << "C:x"
                                        << "x";
        QTest::newRow("sub folder") << "a/b"
                                    << "b";
        QTest::newRow("backslashes") << "..\\..\\evil"
                                     << "evil";
        QTest::newRow("control characters") << QString("a\tb\r\n") + QChar(0x85) << "ab";
        QTest::newRow("blanks inside") << "my file.txt"
                                       << "my file.txt";
        QTest::newRow("dot") << "."
                             << "";
        QTest::newRow("dot dot") << ".."
                                 << "";
        QTest::newRow("dots") << "..."
                              << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("blank") << "   "
                               << "";
        QTest::newRow("trailing separator") << "a/"
                                            << "";
        QTest::newRow("parent at the end") << "a/.."
                                           << "";
        QTest::newRow("only control characters") << "\t\n"
                                                 << "";
        QTest::newRow("hidden file") << ".profile"
                                     << ".profile";
        // Too long for a file name, and only blanks or dots up to where it is cut.
        QTest::newRow("blanks up to the cut") << QString(300, QChar(0xa0)) + "name"
                                              << "";
        QTest::newRow("dots up to the cut") << QString(300, u'.') + "name-longer-than-an-extension"
                                            << "";
    }

    void fileName_keepsTheLastPlainComponent()
    {
        QFETCH(QString, stored);
        QFETCH(QString, safe);
        QCOMPARE(SafeNames::fileName(stored), safe);
    }

    void fileName_shortensLongNamesKeepingTheExtension_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("ending");
        QTest::newRow("ascii") << QString(300, u'n') + ".txt"
                               << ".txt";
        QTest::newRow("two-byte letters")
            << QString(200, QChar(0xe9)) + ".png" << QString(QChar(0xe9)) + ".png";
        QTest::newRow("no extension") << QString(300, u'n') << "nnn";
        QTest::newRow("surrogate pairs") << QString::fromUcs4(U"\U0001F600").repeated(100) + ".gif"
                                         << ".gif";
    }

    void fileName_shortensLongNamesKeepingTheExtension()
    {
        QFETCH(QString, stored);
        QFETCH(QString, ending);
        const QString safe = SafeNames::fileName(stored);
        QVERIFY(safe.toUtf8().size() <= SafeNames::MaxNameBytes);
        QVERIFY(safe.toUtf8().size() > SafeNames::MaxNameBytes - 4);
        QVERIFY(safe.endsWith(ending));
        QVERIFY(!safe.back().isHighSurrogate());
        QTemporaryDir dir;
        QVERIFY(ObjectExport::writeInFolder(dir.path(), safe, "x").ok);
    }

    void hostileNames_neverWriteOutsideTheFolder()
    {
        QTemporaryDir sandbox;
        const QString out = sandbox.filePath("out/inner");
        QVERIFY(QDir().mkpath(out));
        const QStringList names = HostileNames::all();
        QVERIFY(names.size() >= 50);
        for (const QString& stored : names) {
            const QString safe = SafeNames::fileName(stored);
            const ObjectExport::Written w = ObjectExport::writeInFolder(out, safe, "payload");
            QCOMPARE(w.ok, !safe.isEmpty());
            for (const QString& file : HostileNames::filesBelow(sandbox.path())) {
                QVERIFY2(file == "out" || file == "out/inner" ||
                             (file.startsWith("out/inner/") && !file.mid(10).contains(u'/')),
                         qPrintable(QString("%1 wrote %2").arg(stored, file)));
            }
            if (w.ok) {
                QCOMPARE(QFileInfo(w.path).dir().absolutePath(), QDir(out).absolutePath());
                QCOMPARE(LibraryText::readAll(w.path), QByteArray("payload"));
            }
        }
    }

    void writeInFolder_refusesANameThatIsNotPlain_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent") << "../x";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("empty") << "";
    }

    void writeInFolder_refusesANameThatIsNotPlain()
    {
        QFETCH(QString, name);
        QTemporaryDir sandbox;
        QVERIFY(QDir().mkpath(sandbox.filePath("out")));
        QVERIFY(!ObjectExport::writeInFolder(sandbox.filePath("out"), name, "x").ok);
        QCOMPARE(HostileNames::filesBelow(sandbox.path()), QStringList{"out"});
    }

    void writeOverALargerFile_leavesExactlyTheObject()
    {
        QTemporaryDir dir;
        LibraryText::writeAll(dir.filePath("a.bin"), QByteArray(5000, 'z'));
        const ObjectExport::Written w = ObjectExport::writeInFolder(dir.path(), "a.bin", "short");
        QVERIFY(w.ok);
        QCOMPARE(LibraryText::readAll(dir.filePath("a.bin")), QByteArray("short"));
        QCOMPARE(HostileNames::filesBelow(dir.path()), QStringList{"a.bin"});
    }

    void symbolicLinkAtTheName_isReplacedNotFollowed()
    {
        QTemporaryDir sandbox;
        const QString outside = sandbox.filePath("outside.txt");
        LibraryText::writeAll(outside, "precious");
        QVERIFY(QDir().mkpath(sandbox.filePath("out")));
        QVERIFY(QFile::link(outside, sandbox.filePath("out/x.txt")));
        const ObjectExport::Written w =
            ObjectExport::writeInFolder(sandbox.filePath("out"), "x.txt", "object");
        QVERIFY2(w.ok, qPrintable(w.error));
        QCOMPARE(LibraryText::readAll(outside), QByteArray("precious"));
        QVERIFY(!QFileInfo(sandbox.filePath("out/x.txt")).isSymLink());
        QCOMPARE(LibraryText::readAll(sandbox.filePath("out/x.txt")), QByteArray("object"));
    }

    void programFiles_refusesOnlyTheProgramsOwnFiles_data()
    {
        QTest::addColumn<QString>(
            "folder"); // program, library (in use, elsewhere), or a folder below program
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("refused");
        QTest::newRow("library") << "program"
                                 << "zorbeth.txt" << true;
        QTest::newRow("settings") << "program"
                                  << "Zorbeth.INI" << true;
        QTest::newRow("version file") << "program"
                                      << "zorbeth8.ver" << true;
        QTest::newRow("exported page") << "program"
                                       << "zorbeth3.htm" << true;
        QTest::newRow("object writer's temporary file") << "program"
                                                        << ".zqObject-abc123" << true;
        QTest::newRow("user's file") << "program"
                                     << "notes.txt" << false;
        QTest::newRow("library in use elsewhere") << "library"
                                                  << "zorbeth.txt" << true;
        QTest::newRow("its resource file") << "library"
                                           << "zorbethresource.res" << true;
        QTest::newRow("its copy kept aside") << "library"
                                             << "zorbeth.txt.damaged-1" << true;
        QTest::newRow("user's file beside it") << "library"
                                               << "diagram.png" << false;
        QTest::newRow("shipped icons") << "program/language_icons"
                                       << "c.ico" << true;
        QTest::newRow("exported site") << "program/html_export/C"
                                       << "index.htm" << true;
        QTest::newRow("user's own sub folder") << "program/mine"
                                               << "zorbeth.txt" << false;
        QTest::newRow("elsewhere") << "other"
                                   << "zorbeth.txt" << false;
    }

    void programFiles_refusesOnlyTheProgramsOwnFiles()
    {
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(bool, refused);
        QTemporaryDir sandbox;
        Workspace ws;
        ws.programFolder = sandbox.filePath("program");
        ws.databasePrefix = sandbox.filePath("library") + u'/';
        QVERIFY(QDir().mkpath(sandbox.filePath(folder)));
        const QString path = QDir(sandbox.filePath(folder)).filePath(name);
        const QString why = ProgramFiles::refusal(ws, path);
        QCOMPARE(!why.isEmpty(), refused);
        if (refused) {
            QVERIFY2(why.startsWith(QDir::toNativeSeparators(path) + " was not written: "), qPrintable(why));
        }
    }

    void folderThatIsNotAFolder_isRefused()
    {
        QTemporaryDir dir;
        LibraryText::writeAll(dir.filePath("file"), "f");
        QVERIFY(!ObjectExport::writeInFolder(dir.filePath("file"), "x", "x").ok);
        QVERIFY(!ObjectExport::writeInFolder(dir.filePath("missing"), "x", "x").ok);
        QCOMPARE(HostileNames::filesBelow(dir.path()), QStringList{"file"});
    }
};

QTEST_GUILESS_MAIN(TestObjectNames)
#include "tst_object_names.moc"
