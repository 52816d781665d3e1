#include "library/LibraryFile.h"
#include "LibraryText.h"
#include "store/DatabaseFile.h"
#include "store/DateStamp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using LibraryText::block;
using LibraryText::Header;
using LibraryText::readAll;

const QString Stamp = "-20261206-162233";

using LibraryText::writeAll;

} // namespace

class TestLibraryFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void noRecords_addsPlaceholderAndSavesIt_data();
    void noRecords_addsPlaceholderAndSavesIt();
    void incompleteFile_keepsRecordsAndCopiesFileAside();
    void damagedFile_keepsIdenticalCopyAndNamesLostTitles_data();
    void damagedFile_keepsIdenticalCopyAndNamesLostTitles();
    void loadAgain_reusesAnIdenticalCopyOnly_data();
    void loadAgain_reusesAnIdenticalCopyOnly();
    void mixedFile_saysHowManyBytesWereNotUtf8_data();
    void mixedFile_saysHowManyBytesWereNotUtf8();
    void save_blockedOrImpossible_failsWithoutWriting();
    void saveFailure_namesReasonAndPathOnSecondLine_data();
    void saveFailure_namesReasonAndPathOnSecondLine();
    void fileChangedOnDisk_isNotOverwrittenUnlessChosen_data();
    void fileChangedOnDisk_isNotOverwrittenUnlessChosen();
    void saveAside_writesMineAndLeavesTheLibraryFile();
    void readOnly_neverWritesNorMovesTheFile();
    void setAsideName_neverNamesAnExistingFile();
    void locationText_namesLocalOrRemoteFile();

private:
    QTemporaryDir* m_dir = nullptr;
    Workspace m_ws;
};

void TestLibraryFile::init()
{
    m_dir = new QTemporaryDir;
    m_ws = Workspace();
    m_ws.programFolder = m_dir->path();
    DateStamp::pin(QDateTime(QDate(2026, 12, 6), QTime(16, 22, 33)));
}

void TestLibraryFile::cleanup()
{
    DateStamp::pin(QDateTime());
    delete m_dir;
}

void TestLibraryFile::noRecords_addsPlaceholderAndSavesIt_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("setAside"); // anything that may be a library we failed to read is kept

    QTest::newRow("missing file") << false << QByteArray() << false;
    QTest::newRow("empty file") << true << QByteArray() << false;
    QTest::newRow("header and end marker only") << true << Header + "++++++++\r\n" << false;
    QTest::newRow("binary") << true << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << true;
    QTest::newRow("text of another kind") << true << QByteArray("notes\nmore notes\n") << true;
    QTest::newRow("first record cut off") << true << Header + block("cut").left(60) << true;
    QTest::newRow("ended, but every record lost")
        << true
        << Header + QByteArray(block("a")).replace("----H\r\n", "") + block("b").replace("----H\r\n", "") +
               "++++++++\r\n"
        << true;
}

void TestLibraryFile::noRecords_addsPlaceholderAndSavesIt()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, contents);
    QFETCH(bool, setAside);
    const QString path = m_ws.databasePath();
    QVERIFY(!exists || writeAll(path, contents));

    const LibraryFile::LoadOutcome outcome = LibraryFile::LoadCodeDataFromFile(m_ws);

    QVERIFY(outcome.placeholderAdded);
    QCOMPARE(outcome.messageTitle, QString(LibraryFile::PlaceholderTitle));
    QVERIFY(outcome.saveError.isEmpty());
    QVERIFY(m_ws.CodeChanged);
    SnippetRecord placeholder;
    placeholder.Language = "Language";
    placeholder.Title = "Snippet";
    placeholder.Category = "Category";
    placeholder.Date = "2026-12-06 16:22:33";
    QCOMPARE(m_ws.codeArray, CodeArray{placeholder});
    const DatabaseFile::ReadResult saved = DatabaseFile::read(path);
    QVERIFY(saved.complete);
    QCOMPARE(saved.records, m_ws.codeArray);

    const QString aside = path + ".unreadable" + Stamp;
    if (setAside) {
        QCOMPARE(outcome.setAsidePath, aside);
        QCOMPARE(outcome.message, QString(LibraryFile::PlaceholderMessage) +
                                      " The file that could not be read was kept as " + aside + ".");
        QCOMPARE(readAll(aside), contents);
    } else {
        QCOMPARE(outcome.message, QString(LibraryFile::PlaceholderMessage));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"zorbeth.txt"});
    }
}

void TestLibraryFile::incompleteFile_keepsRecordsAndCopiesFileAside()
{
    const QString path = m_ws.databasePath();
    const QByteArray contents = Header + block("one") + block("two") + block("three").left(40);
    QVERIFY(writeAll(path, contents));
    m_ws.CodeChanged = true;

    const LibraryFile::LoadOutcome outcome = LibraryFile::LoadCodeDataFromFile(m_ws);

    QVERIFY(outcome.incomplete && !outcome.placeholderAdded);
    QCOMPARE(m_ws.codeArray.size(), size_t(2));
    QVERIFY(!m_ws.CodeChanged);
    const QString copy = path + ".incomplete" + Stamp;
    QCOMPARE(outcome.setAsidePath, copy);
    QCOMPARE(outcome.messageTitle, QString("Load Code Data"));
    QVERIFY(outcome.message.contains(" 2 snippets") && outcome.message.contains(copy));
    QCOMPARE(readAll(copy), contents);
    QCOMPARE(readAll(path), contents);
}

void TestLibraryFile::damagedFile_keepsIdenticalCopyAndNamesLostTitles_data()
{
    QTest::addColumn<int>("removedEnd"); // which "----E" of the middle record is gone
    QTest::addColumn<QString>("lostTitle");
    QTest::addColumn<int>("read"); // the record after a lost start is read without its title lines

    QTest::newRow("end of the code") << 2 << "two" << 2;
    QTest::newRow("end of the H text") << 3 << "three" << 3;
}

void TestLibraryFile::damagedFile_keepsIdenticalCopyAndNamesLostTitles()
{
    QFETCH(int, removedEnd);
    QFETCH(QString, lostTitle);
    QFETCH(int, read);
    const QString path = m_ws.databasePath();
    QByteArray contents = Header + block("one") + block("two") + block("three") + "++++++++\r\n";
    qsizetype at = contents.indexOf("----T\r\ntwo");
    for (int n = 0; n <= removedEnd; ++n) {
        at = contents.indexOf("----E\r\n", at + 1);
    }
    contents.remove(at, 7);
    QVERIFY(writeAll(path, contents));

    const LibraryFile::LoadOutcome outcome = LibraryFile::LoadCodeDataFromFile(m_ws);

    QVERIFY(outcome.damaged && !outcome.incomplete && outcome.copyKept);
    QCOMPARE(m_ws.codeArray.size(), size_t(read));
    const QString copy = path + ".damaged" + Stamp;
    QCOMPARE(outcome.setAsidePath, copy);
    QCOMPARE(readAll(copy), contents);
    QCOMPARE(readAll(path), contents);
    QCOMPARE(outcome.messageTitle, QString("Load Code Data"));
    QVERIFY2(outcome.message.startsWith(
                 "The code file is damaged: 1 snippets could not be read whole; " + QString::number(read) +
                 " snippets were read.\nThe snippets after the damage are titled:\n    " + lostTitle + "\n"),
             qPrintable(outcome.message));
    QVERIFY(outcome.message.contains(copy));
    QVERIFY(m_ws.saveBlockedReason.isEmpty());
}

void TestLibraryFile::loadAgain_reusesAnIdenticalCopyOnly_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("reason");

    QTest::newRow("cut off") << Header + block("one") + block("two").left(50) << "incomplete";
    QTest::newRow("damaged") << Header + block("one") + QByteArray(block("two")).replace("----H\r\n", "") +
                                    block("three") + "++++++++\r\n"
                             << "damaged";
}

void TestLibraryFile::loadAgain_reusesAnIdenticalCopyOnly()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, reason);
    const QString path = m_ws.databasePath();
    const QString first = path + '.' + reason + Stamp;
    QVERIFY(writeAll(path, contents));
    // A copy of another file under the same kind of name is no reason to skip the copy.
    QVERIFY(writeAll(path + '.' + reason + "-20200101-000000", contents + "x"));

    QCOMPARE(LibraryFile::LoadCodeDataFromFile(m_ws).setAsidePath, first);
    DateStamp::pin(QDateTime(QDate(2026, 12, 7), QTime(8, 0, 0)));
    const LibraryFile::LoadOutcome again = LibraryFile::LoadCodeDataFromFile(m_ws);
    QCOMPARE(again.setAsidePath, first);
    QVERIFY(again.copyKept);
    QVERIFY2(again.message.contains("A copy of the whole file is kept as " + first),
             qPrintable(again.message));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 3);

    // The file changed since: its copy is no longer the same, so a new one is made.
    QVERIFY(writeAll(path, contents + "\r\n"));
    const QString second = path + '.' + reason + "-20261207-080000";
    QCOMPARE(LibraryFile::LoadCodeDataFromFile(m_ws).setAsidePath, second);
    QCOMPARE(readAll(second), contents + "\r\n");
    QCOMPARE(readAll(first), contents);
}

void TestLibraryFile::mixedFile_saysHowManyBytesWereNotUtf8_data()
{
    QTest::addColumn<QByteArray>("title");
    QTest::addColumn<QString>("message");

    QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9") << QString();
    QTest::newRow("one byte") << QByteArray("caf\xe9")
                              << "1 byte was not UTF-8 and was read as Windows-1252; "
                                 "the next save writes it as UTF-8.";
    QTest::newRow("mixed")
        << QByteArray("\xe6\x97\xa5 \x93"
                      "caf\xe9\x94")
        << "3 bytes were not UTF-8 and were read as Windows-1252; the next save writes them "
           "as UTF-8.";
}

void TestLibraryFile::mixedFile_saysHowManyBytesWereNotUtf8()
{
    QFETCH(QByteArray, title);
    QFETCH(QString, message);
    QVERIFY(writeAll(m_ws.databasePath(), Header + block(title) + "++++++++\r\n"));
    const LibraryFile::LoadOutcome outcome = LibraryFile::LoadCodeDataFromFile(m_ws);
    QCOMPARE(outcome.encodingMessage, message);
    QVERIFY(outcome.message.isEmpty() && !m_ws.CodeChanged);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"zorbeth.txt"});
}

void TestLibraryFile::save_blockedOrImpossible_failsWithoutWriting()
{
    m_ws.codeArray = {SnippetRecord()};
    m_ws.saveBlockedReason = "The file could not be read.";
    QString error;
    QVERIFY(!LibraryFile::SaveCodeArrayToFile(m_ws, &error));
    QCOMPARE(error, m_ws.saveBlockedReason);
    QVERIFY(QDir(m_dir->path()).isEmpty());

    // A prefix whose folder is a file: the save cannot even start.
    m_ws.saveBlockedReason.clear();
    QVERIFY(writeAll(m_dir->filePath("file"), "x"));
    m_ws.databasePrefix = m_dir->filePath("file") + "/";
    QVERIFY(!LibraryFile::SaveCodeArrayToFile(m_ws, &error));
    QVERIFY(error.startsWith(QString(LibraryFile::SaveErrorMessage) + '\n'));
    const LibraryFile::LoadOutcome outcome = LibraryFile::LoadCodeDataFromFile(m_ws);
    QVERIFY(outcome.placeholderAdded);
    QCOMPARE(outcome.saveError, error);
    QCOMPARE(readAll(m_dir->filePath("file")), QByteArray("x"));
}

void TestLibraryFile::saveFailure_namesReasonAndPathOnSecondLine_data()
{
    QTest::addColumn<QString>("folder"); // below the temporary folder
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << "gone/"
                                    << "No such file or directory";
    QTest::newRow("folder is a file") << "file/"
                                      << "Not a directory";
}

void TestLibraryFile::saveFailure_namesReasonAndPathOnSecondLine()
{
    QFETCH(QString, folder);
    QFETCH(QString, reason);
    QVERIFY(writeAll(m_dir->filePath("file"), "x"));
    m_ws.codeArray = {SnippetRecord()};
    m_ws.databasePrefix = m_dir->filePath(folder);
    QString error;
    QVERIFY(!LibraryFile::SaveCodeArrayToFile(m_ws, &error));
    const QStringList lines = error.split('\n');
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QString(LibraryFile::SaveErrorMessage));
    QVERIFY2(lines[1].contains(m_ws.databasePath()), qPrintable(error));
    QVERIFY2(lines[1].contains(reason, Qt::CaseInsensitive), qPrintable(error));
}

void TestLibraryFile::fileChangedOnDisk_isNotOverwrittenUnlessChosen_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("changed");
    QTest::newRow("grown") << "grown" << true;
    QTest::newRow("same size, newer time") << "touched" << true;
    QTest::newRow("created after a load that found none") << "created" << true;
    QTest::newRow("deleted") << "deleted" << false;
    QTest::newRow("untouched") << "none" << false;
}

void TestLibraryFile::fileChangedOnDisk_isNotOverwrittenUnlessChosen()
{
    QFETCH(QString, change);
    QFETCH(bool, changed);
    const QString path = m_ws.databasePath();
    if (change == "created") {
        m_ws.codeArray = {SnippetRecord()};
    } else {
        QVERIFY(writeAll(path, Header + block("one") + "++++++++\r\n"));
        LibraryFile::LoadCodeDataFromFile(m_ws);
    }
    m_ws.codeArray.front().Title = "ours";
    if (change == "grown" || change == "created") {
        QVERIFY(writeAll(path, Header + block("one") + block("theirs") + "++++++++\r\n"));
    } else if (change == "touched") {
        QVERIFY(writeAll(path, Header + block("two") + "++++++++\r\n"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
    } else if (change == "deleted") {
        QVERIFY(QFile::remove(path));
    }
    const QByteArray theirs = readAll(path);

    QCOMPARE(LibraryFile::changedOnDisk(m_ws), changed);
    QString error;
    QCOMPARE(LibraryFile::SaveCodeArrayToFile(m_ws, &error), !changed);
    if (changed) {
        QCOMPARE(error, "The file " + path +
                            " was changed by another program since it was loaded; it was not "
                            "overwritten.");
        QCOMPARE(readAll(path), theirs);
        QVERIFY(
            LibraryFile::SaveCodeArrayToFile(m_ws, &error, nullptr, LibraryFile::OnDiskChange::Overwrite));
    }
    QCOMPARE(DatabaseFile::read(path).records, m_ws.codeArray);
    // Our own save is the new reference: the next one goes through without a question.
    QVERIFY(!LibraryFile::changedOnDisk(m_ws));
    QVERIFY(LibraryFile::SaveCodeArrayToFile(m_ws, &error));
}

void TestLibraryFile::saveAside_writesMineAndLeavesTheLibraryFile()
{
    const QString path = m_ws.databasePath();
    const QByteArray theirs = Header + block("theirs") + "++++++++\r\n";
    QVERIFY(writeAll(path, theirs));
    m_ws.codeArray = {SnippetRecord()};
    m_ws.codeArray[0].Title = "ours\nsplit";
    QString aside;
    QList<qsizetype> mended;
    QVERIFY(LibraryFile::SaveCodeArrayAside(m_ws, "mine", &aside, nullptr, &mended));
    QCOMPARE(aside, path + ".mine" + Stamp);
    QCOMPARE(mended, QList<qsizetype>{0});
    QCOMPARE(DatabaseFile::read(aside).records, m_ws.codeArray);
    QCOMPARE(m_ws.codeArray[0].Title, QString("ours split"));
    QCOMPARE(readAll(path), theirs);
}

void TestLibraryFile::readOnly_neverWritesNorMovesTheFile()
{
    const QString path = m_ws.databasePath();
    const QByteArray notes = "notes\nmore notes\n";
    QVERIFY(writeAll(path, notes));
    m_ws.readOnly = true;
    const LibraryFile::LoadOutcome outcome = LibraryFile::LoadCodeDataFromFile(m_ws);
    QVERIFY(outcome.placeholderAdded);
    QVERIFY(outcome.setAsidePath.isEmpty() && outcome.saveError.isEmpty());
    QString error;
    QVERIFY(!LibraryFile::SaveCodeArrayToFile(m_ws, &error, nullptr, LibraryFile::OnDiskChange::Overwrite));
    QCOMPARE(error, QString(LibraryFile::ReadOnlyMessage));
    QCOMPARE(readAll(path), notes);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{"zorbeth.txt"});
}

void TestLibraryFile::setAsideName_neverNamesAnExistingFile()
{
    const QString path = m_dir->filePath("zorbeth.txt");
    const QString base = path + ".unreadable" + Stamp;
    QCOMPARE(LibraryFile::setAsideName(path, "unreadable"), base);
    QVERIFY(writeAll(base, "1") && writeAll(base + "-2", "2"));
    QCOMPARE(LibraryFile::setAsideName(path, "unreadable"), base + "-3");
}

void TestLibraryFile::locationText_namesLocalOrRemoteFile()
{
    m_ws.programFolder = "/home/u/zorbeth";
    QCOMPARE(LibraryFile::databaseLocationText(m_ws), QString("/home/u/zorbeth/zorbeth.txt  <local>"));
    m_ws.databasePrefix = "/mnt/share/";
    QCOMPARE(LibraryFile::databaseLocationText(m_ws), QString("/mnt/share/zorbeth.txt  <remote>"));
    m_ws.databasePrefix = "/mnt/share";
    QCOMPARE(m_ws.databasePath(), QString("/mnt/share/zorbeth.txt"));
}

QTEST_GUILESS_MAIN(TestLibraryFile)
#include "tst_library_file.moc"
