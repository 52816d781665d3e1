#include "LibraryText.h"
#include "store/Backup.h"
#include "store/DatabaseFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

SnippetRecord snippet(const QString& title)
{
    SnippetRecord r;
    r.Language = QStringLiteral("SQL");
    r.Category = QStringLiteral("Strings");
    r.Title = title;
    r.Code = QStringLiteral("SELECT 1;");
    return r;
}

using LibraryText::readAll;

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class BackupTest : public QObject
{
    Q_OBJECT

private slots:
    void backupThenRestore_bringsBackTheSavedFileByteForByte()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("zorbeth.txt"));
        QVERIFY(DatabaseFile::write(db, {snippet(QStringLiteral("first"))}));
        const QByteArray saved = readAll(db);
        QVERIFY(Backup::backup(db).ok());
        QCOMPARE(readAll(Backup::backupPath(db)), saved);

        QVERIFY(DatabaseFile::write(db, {snippet(QStringLiteral("second"))}));
        QVERIFY(Backup::restore(db).ok());
        QCOMPARE(readAll(db), saved);
        // The backup stays, so it can be restored again.
        QCOMPARE(readAll(Backup::backupPath(db)), saved);
    }

    void refusedCopy_leavesTheTargetAsItWas_data()
    {
        QTest::addColumn<bool>("restoring");
        QTest::addColumn<QByteArray>("source"); // empty: no file at all
        QTest::addColumn<int>("status");
        const QByteArray cut =
            "Zorbeth Source Code Snippets\r\nP\r\nW\r\n2026-01-01 00:00:00\r\n----T\r\nhalf";
        QTest::newRow("backup, no library yet")
            << false << QByteArray() << int(Backup::Status::SourceMissing);
        QTest::newRow("backup of a cut-off library") << false << cut << int(Backup::Status::NotALibrary);
        QTest::newRow("restore, no backup yet") << true << QByteArray() << int(Backup::Status::SourceMissing);
        QTest::newRow("restore of a cut-off backup") << true << cut << int(Backup::Status::NotALibrary);
        QTest::newRow("restore of an empty backup")
            << true << QByteArray("") << int(Backup::Status::NotALibrary);
    }

    void refusedCopy_leavesTheTargetAsItWas()
    {
        QFETCH(bool, restoring);
        QFETCH(QByteArray, source);
        QFETCH(int, status);
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("zorbeth.txt"));
        const QString old = Backup::backupPath(db);
        const QString sourcePath = restoring ? old : db;
        const QString targetPath = restoring ? db : old;
        QVERIFY(DatabaseFile::write(targetPath, {snippet(QStringLiteral("good"))}));
        const QByteArray good = readAll(targetPath);
        if (!source.isNull()) {
            writeBytes(sourcePath, source);
        }

        const Backup::Result result = restoring ? Backup::restore(db) : Backup::backup(db);
        QCOMPARE(int(result.status), status);
        QVERIFY(result.error.contains(QDir::toNativeSeparators(sourcePath)));
        QCOMPARE(readAll(targetPath), good);
    }

    void failedWrite_reportsAndLeavesNoHalfFile()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("zorbeth.txt"));
        QVERIFY(DatabaseFile::write(db, {snippet(QStringLiteral("good"))}));
        // A folder standing where the backup should go cannot be replaced by a file.
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("zorbeth.txt.old")));
        const Backup::Result result = Backup::backup(db);
        QCOMPARE(result.status, Backup::Status::WriteFailed);
        QVERIFY(!result.error.isEmpty());
        QVERIFY(QFileInfo(Backup::backupPath(db)).isDir());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("zorbeth.txt")});
    }

    void libraryWithoutRecords_isStillALibrary()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("zorbeth.txt"));
        QVERIFY(DatabaseFile::write(Backup::backupPath(db), {}));
        QVERIFY(Backup::restore(db).ok());
        QVERIFY(DatabaseFile::read(db).complete);
    }
};

QTEST_GUILESS_MAIN(BackupTest)
#include "tst_backup.moc"
