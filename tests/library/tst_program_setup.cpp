#include "LibraryText.h"
#include "library/VersionFiles.h"
#include "settings/ProgramFolder.h"
#include "settings/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using LibraryText::readAll;

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return QDir().mkpath(QFileInfo(path).path()) && f.open(QIODevice::WriteOnly) &&
           f.write(bytes) == bytes.size();
}

} // namespace

class TestProgramSetup : public QObject
{
    Q_OBJECT

private slots:
    void versionFiles_carryTheProgramSize();
    void seed_copiesTreeWithoutOverwriting();
    void seed_givesTheSampleLibraryOnlyToANewFolder_data();
    void seed_givesTheSampleLibraryOnlyToANewFolder();
    void settings_parseSavedAndHandEditedValues_data();
    void settings_parseSavedAndHandEditedValues();
    void settings_clearRemovesOnlyOurSectionAndFileStaysPrivate();
    void settings_readableToOthers_becomesPrivateWhenOpened();
};

void TestProgramSetup::versionFiles_carryTheProgramSize()
{
    QTemporaryDir dir;
    const QString program = dir.filePath("zorbeth8.exe");
    QVERIFY(writeAll(program, QByteArray(1234, 'x')));
    QCOMPARE(VersionFiles::versionLine(dir.filePath("absent")), QString("8.0.1.0"));
    QVERIFY(VersionFiles::write(dir.path(), program));
    QCOMPARE(readAll(dir.filePath("zqupdate.dat")), QByteArray("Zorbeth8\r\nZorbeth8\r\n8.0.1.1234\r\n"));
    QCOMPARE(readAll(dir.filePath("zorbeth8.ver")), QByteArray("8.0.1.1234\r\n"));
}

void TestProgramSetup::seed_copiesTreeWithoutOverwriting()
{
    QTemporaryDir data, home;
    QVERIFY(writeAll(data.filePath("zorbeth.txt"), "shipped library"));
    QVERIFY(writeAll(data.filePath("language_def/sub/deep.txt"), "deep"));
    const QString folder = home.filePath("new/zorbeth");
    QVERIFY(writeAll(folder + "/zorbeth.txt", "my library"));

    QString error;
    QVERIFY2(ProgramFolder::seed(folder, data.path(), &error), qPrintable(error));
    QCOMPARE(readAll(folder + "/zorbeth.txt"), QByteArray("my library"));
    QCOMPARE(readAll(folder + "/language_def/sub/deep.txt"), QByteArray("deep"));
    QCOMPARE(ProgramFolder::resolve(folder + "/../zorbeth/"), folder);
}

void TestProgramSetup::seed_givesTheSampleLibraryOnlyToANewFolder_data()
{
    QTest::addColumn<QString>("existing"); // a file the folder holds before, or "" / "-" for none / no folder
    QTest::addColumn<QByteArray>("library"); // the library afterwards, empty when there is none

    QTest::newRow("created now") << "-" << QByteArray("shipped library");
    QTest::newRow("empty") << "" << QByteArray("shipped library");
    QTest::newRow("used, library lost") << "zorbeth.ini" << QByteArray();
    QTest::newRow("used, only a hidden file") << ".hidden" << QByteArray();
    QTest::newRow("used, only the backup") << "zorbeth.txt.old" << QByteArray();
}

void TestProgramSetup::seed_givesTheSampleLibraryOnlyToANewFolder()
{
    QFETCH(QString, existing);
    QFETCH(QByteArray, library);
    QTemporaryDir data, home;
    QVERIFY(writeAll(data.filePath("zorbeth.txt"), "shipped library"));
    QVERIFY(writeAll(data.filePath("language_def/default.lng"), "definition"));
    const QString folder = home.filePath("zorbeth");
    if (existing != "-") {
        QVERIFY(QDir().mkpath(folder));
    }
    if (!existing.isEmpty() && existing != "-") {
        QVERIFY(writeAll(folder + '/' + existing, "mine"));
    }

    QVERIFY(ProgramFolder::seed(folder, data.path()));
    QCOMPARE(QFile::exists(folder + "/zorbeth.txt"), !library.isEmpty());
    QCOMPARE(readAll(folder + "/zorbeth.txt"), library);
    // What the program needs besides the library is still filled in.
    QCOMPARE(readAll(folder + "/language_def/default.lng"), QByteArray("definition"));
}

void TestProgramSetup::settings_parseSavedAndHandEditedValues_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("asBool"); // default true
    QTest::addColumn<int>("asInt");   // default 42

    QTest::newRow("True") << QByteArray("True") << true << 42;
    QTest::newRow("false lower case") << QByteArray("false") << false << 42;
    QTest::newRow("zero") << QByteArray("0") << false << 0;
    QTest::newRow("minus one, blanks around") << QByteArray(" -1 ") << true << -1;
    QTest::newRow("garbage") << QByteArray("yes please") << true << 42;
}

void TestProgramSetup::settings_parseSavedAndHandEditedValues()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, asBool);
    QFETCH(int, asInt);
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.filePath("zorbeth.ini"), "[Settings]\nValue=\"" + value + "\"\n"));
    {
        SettingsStore settings(dir.path());
        QCOMPARE(settings.getBool("Value", true), asBool);
        QCOMPARE(settings.getInt("Value", 42), asInt);
        settings.saveBool("Flag", !asBool);
        settings.saveInt("Number", asInt);
        settings.save("Text", "a, b; c");
    }
    const SettingsStore settings(dir.path());
    QCOMPARE(settings.getBool("Flag", asBool), !asBool);
    QCOMPARE(settings.getInt("Number", 0), asInt);
    QCOMPARE(settings.get("Text"), QString("a, b; c"));
    QCOMPARE(settings.get("Missing", "def"), QString("def"));
}

void TestProgramSetup::settings_clearRemovesOnlyOurSectionAndFileStaysPrivate()
{
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.filePath("zorbeth.ini"), "[Other]\nKeep=1\n[Settings]\nA=1\n"));
    SettingsStore(dir.path()).ClearRegistry();
    const QByteArray after = readAll(dir.filePath("zorbeth.ini"));
    QVERIFY(after.contains("Keep=1") && !after.contains("A=1"));
    QCOMPARE(QFile::permissions(dir.filePath("zorbeth.ini")) & (QFile::ReadOther | QFile::ReadGroup),
             QFile::Permissions());
}

void TestProgramSetup::settings_readableToOthers_becomesPrivateWhenOpened()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("zorbeth.ini");
    QVERIFY(writeAll(path, "[Settings]\nFTPPSW=secret\n"));
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                            QFile::ReadOther));
    const SettingsStore settings(dir.path());
    QCOMPARE(QFile::permissions(path) & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
    QCOMPARE(settings.get("FTPPSW"), QString("secret"));
}

QTEST_GUILESS_MAIN(TestProgramSetup)
#include "tst_program_setup.moc"
