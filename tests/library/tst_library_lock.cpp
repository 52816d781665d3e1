#include "library/LibraryLock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A lock file as a process of that pid and program name would have left it.
bool writeLockFile(const QString& folder, qint64 pid, const QString& application)
{
    QFile file(QDir(folder).filePath(QLatin1String(LibraryLock::FileName)));
    const QByteArray contents = QByteArray::number(pid) + '\n' + application.toUtf8() + '\n' +
                                QSysInfo::machineHostName().toUtf8() + '\n';
    return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

QByteArray lockFileContents(const QString& folder)
{
    QFile file(QDir(folder).filePath(QLatin1String(LibraryLock::FileName)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestLibraryLock : public QObject
{
    Q_OBJECT

private slots:
    void secondLock_isRefusedAndNamesTheHolder()
    {
        QTemporaryDir dir;
        LibraryLock first;
        QVERIFY(first.acquire(dir.path()));
        QVERIFY(first.isHeld());
        QCOMPARE(first.folder(), dir.path());
        QVERIFY(QFile::exists(dir.filePath("zorbeth.lock")));

        LibraryLock second;
        QString error;
        QVERIFY(!second.acquire(dir.path(), &error));
        QVERIFY(!second.isHeld());
        QVERIFY2(error.contains(QStringLiteral("process %1 on ").arg(QCoreApplication::applicationPid())),
                 qPrintable(error));
        QVERIFY2(error.contains(QSysInfo::machineHostName()), qPrintable(error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(dir.path())), qPrintable(error));

        first.release();
        QVERIFY(!first.isHeld());
        QVERIFY(!QFile::exists(dir.filePath("zorbeth.lock")));
        QVERIFY(second.acquire(dir.path()));
    }

    void lockOfAnotherProcess_heldWhileItRunsAndTakenOverAfter()
    {
        QTemporaryDir dir;
        QProcess holder;
        holder.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(holder.waitForStarted());
        QVERIFY(writeLockFile(dir.path(), holder.processId(), QStringLiteral("sleep")));

        LibraryLock lock;
        QString error;
        QVERIFY(!lock.acquire(dir.path(), &error));
        QCOMPARE(error, QStringLiteral("The library in %1 is in use by sleep (process %2 on %3).")
                            .arg(QDir::toNativeSeparators(dir.path()))
                            .arg(holder.processId())
                            .arg(QSysInfo::machineHostName()));

        // The holder crashes: its lock is stale and the next program takes it over.
        holder.kill();
        QVERIFY(holder.waitForFinished());
        QVERIFY2(lock.acquire(dir.path(), &error), qPrintable(error));
        QVERIFY(lockFileContents(dir.path())
                    .startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
    }

    void acquireAgain_movesTheLockToTheNewFolder()
    {
        QTemporaryDir one;
        QTemporaryDir two;
        LibraryLock lock;
        QVERIFY(lock.acquire(one.path()));
        QVERIFY(lock.acquire(two.path()));
        QCOMPARE(lock.folder(), two.path());
        QVERIFY(!QFile::exists(one.filePath("zorbeth.lock")));
        QVERIFY(QFile::exists(two.filePath("zorbeth.lock")));
    }

    void missingFolder_isRefusedWithTheLockFileNamed()
    {
        QTemporaryDir dir;
        LibraryLock lock;
        QString error;
        QVERIFY(!lock.acquire(dir.filePath("gone"), &error));
        QVERIFY2(error.contains(QDir::toNativeSeparators(dir.filePath("gone/zorbeth.lock"))),
                 qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(TestLibraryLock)
#include "tst_library_lock.moc"
