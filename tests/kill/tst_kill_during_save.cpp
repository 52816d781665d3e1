#include "KillEdits.h"
#include "library/LibraryFile.h"
#include "objects/ResourceCompaction.h"
#include "objects/ResourceFile.h"
#include "store/DatabaseFile.h"
#include "store/DateStamp.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace {

// ZORBETH_KILL_RUNS=500 makes the long run; the normal suite kills a few dozen times.
int killsWanted(int usual)
{
    const int wanted = qEnvironmentVariableIntValue("ZORBETH_KILL_RUNS");
    return wanted > 0 ? wanted : usual;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class KillDuringSaveTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QRandomGenerator m_random{13};
    QByteArray m_said; // what the driver said last after loading

    QString library() const { return m_dir.filePath(QStringLiteral("zorbeth.txt")); }

    bool generate(int snippets)
    {
        return QProcess::execute(QStringLiteral(ZORBETH_KILL_DRIVER),
                                 {m_dir.path(), QStringLiteral("generate"), QString::number(snippets)}) == 0;
    }

    // Starts the driver, lets it work for a random moment after it loaded the library, and kills
    // it; returns the saves it reported, or -1 when it did not load the library whole.
    int runAndKill(const QString& mode, int maxDelayMs)
    {
        QProcess driver;
        driver.start(QStringLiteral(ZORBETH_KILL_DRIVER), {m_dir.path(), mode});
        m_said = driver.waitForReadyRead(60000) ? driver.readLine().trimmed() : QByteArray("nothing in 60 s");
        if (m_said != "loaded") {
            driver.kill();
            driver.waitForFinished();
            return -1;
        }
        QThread::msleep(m_random.bounded(maxDelayMs));
        driver.kill();
        driver.waitForFinished();
        const QList<QByteArray> lines = driver.readAllStandardOutput().split('\n');
        return int(lines.count("saved"));
    }

    QStringList leftovers() const
    {
        return QDir(m_dir.path())
            .entryList({QStringLiteral("zorbeth.txt.*"), QStringLiteral("*.tmp")},
                       QDir::Files | QDir::Hidden);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        DateStamp::pin(QDateTime(QDate(2026, 5, 6), QTime(7, 8, 9)));
    }

    void killDuringSave_leavesTheOldOrTheNewLibrary()
    {
        QVERIFY(generate(3000));
        QByteArray last = readAll(library());
        const int kills = killsWanted(20);
        int damaged = 0;
        int saves = 0;
        for (int kill = 0; kill < kills; ++kill) {
            const int saved = runAndKill(QStringLiteral("save"), 400);
            QVERIFY2(saved >= 0, qPrintable(QStringLiteral("kill %1: the next start did not load the library "
                                                           "whole: %2")
                                                .arg(kill)
                                                .arg(QString::fromLatin1(m_said))));
            saves += saved;
            const QByteArray now = readAll(library());
            const DatabaseFile::ReadResult read = DatabaseFile::parse(now);
            CodeArray records = DatabaseFile::parse(last).records;
            for (int n = 1; n <= saved; ++n) {
                KillEdits::apply(records, n);
            }
            DatabaseFile::fitToFormat(records);
            const QByteArray older = DatabaseFile::serialize(records, DateStamp::now());
            KillEdits::apply(records, saved + 1);
            DatabaseFile::fitToFormat(records);
            const QByteArray newer = DatabaseFile::serialize(records, DateStamp::now());
            if (!read.complete || read.damaged() || (now != older && now != newer)) {
                ++damaged;
            }
            last = now;
        }
        qInfo("%d kills during %d saves, %d library files damaged; left behind: %s", kills, saves, damaged,
              qPrintable(leftovers().join(QStringLiteral(", "))));
        QCOMPARE(damaged, 0);
    }

    void killDuringCompaction_keepsLibraryAndResourceFileTogether()
    {
        QDir(m_dir.path()).removeRecursively();
        QDir().mkpath(m_dir.path());
        QVERIFY(generate(2000));
        const int kills = killsWanted(20) / 2;
        int damaged = 0;
        for (int kill = 0; kill < kills; ++kill) {
            QVERIFY2(
                runAndKill(QStringLiteral("compact"), 300) >= 0,
                qPrintable(QStringLiteral("kill %1: the next start found the library damaged").arg(kill)));
            // What the program does at its next start.
            Workspace ws;
            ws.programFolder = m_dir.path();
            const LibraryFile::LoadOutcome outcome = LibraryFile::LoadCodeDataFromFile(ws);
            QVERIFY2(outcome.message.isEmpty(), qPrintable(outcome.message));
            const QString resource = ResourceFile::path(ws);
            QVERIFY(ResourceCompaction::finishInterrupted(resource, ws.codeArray));
            for (const SnippetRecord& r : ws.codeArray) {
                if (r.ObjectFlag == 1 && ResourceFile::read(resource, r.ObjectStart, r.ObjectLength).bytes !=
                                             KillEdits::objectBytes(r.ObjectName)) {
                    ++damaged;
                    break;
                }
            }
        }
        qInfo("%d kills during compaction, %d library and resource file pairs out of step", kills, damaged);
        QCOMPARE(damaged, 0);
    }
};

QTEST_GUILESS_MAIN(KillDuringSaveTest)
#include "tst_kill_during_save.moc"
