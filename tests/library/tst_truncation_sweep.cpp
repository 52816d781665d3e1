#include "library/LibraryFile.h"
#include "LibraryText.h"
#include "store/DatabaseFile.h"
#include "store/DateStamp.h"

#include <algorithm>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include "ZorbethTestPaths.h"
#include "ZorbethPaths.h"

namespace {

using LibraryText::readAll;
using LibraryText::writeAll;

// Files below this size are cut at every byte; larger ones at every 1/500th of their length.
constexpr qsizetype EveryByteBelow = 20 * 1024;
constexpr qsizetype Steps = 500;

QList<qsizetype> cutPoints(qsizetype size)
{
    QList<qsizetype> cuts;
    if (size < EveryByteBelow) {
        for (qsizetype cut = 0; cut <= size; ++cut) {
            cuts.append(cut);
        }
        return cuts;
    }
    for (qsizetype step = 0; step <= Steps; ++step) {
        cuts.append(size * step / Steps);
    }
    return cuts;
}

bool isPrefix(const CodeArray& part, const CodeArray& whole)
{
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

// Empties the folder for the next cut.
void clear(const QString& folder)
{
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        QFile::remove(dir.filePath(name));
    }
}

} // namespace

// A library cut short anywhere - by a full disk, a copy stopped halfway, a crash of another
// program - is loaded by the program's loader: only records of the whole file are read, in their
// order, the cut file is kept aside whole before anything could replace it, and the next save keeps
// what was read while the copy keeps the rest.
class TestTruncationSweep : public QObject
{
    Q_OBJECT

private slots:
    void init() { DateStamp::pin(QDateTime(QDate(2026, 12, 7), QTime(4, 0, 0))); }
    void cleanup() { DateStamp::pin(QDateTime()); }
    void cutLibrary_readsOnlyWholeRecordsAndKeepsTheRestAside_data();
    void cutLibrary_readsOnlyWholeRecordsAndKeepsTheRestAside();
};

void TestTruncationSweep::cutLibrary_readsOnlyWholeRecordsAndKeepsTheRestAside_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::newRow("sample library") << QStringLiteral(ZORBETH_SOURCE_DATA_DIR "/zorbeth.txt");
    for (const QString name : {"cli/zorbeth.txt", "cli/mixed.txt", "cli/damaged.txt", "cli/truncated.txt",
                               "search/zorbeth.txt", "store/windows1252.txt"}) {
        QTest::newRow(qPrintable(name)) << QStringLiteral(ZORBETH_TEST_DATA_DIR "/") + name;
    }
}

void TestTruncationSweep::cutLibrary_readsOnlyWholeRecordsAndKeepsTheRestAside()
{
    QFETCH(QString, fixture);
    const QByteArray whole = readAll(fixture);
    QVERIFY(!whole.isEmpty());
    const CodeArray wholeRecords = DatabaseFile::parse(whole).records;
    QVERIFY(!wholeRecords.empty());

    // Thousands of loads and saves: in memory where the system has a folder for it.
    QTemporaryDir dir(QDir("/dev/shm").exists() ? "/dev/shm/tst_truncation_sweep-XXXXXX" : QString());
    QVERIFY(dir.isValid());
    const QString library = dir.filePath("zorbeth.txt");
    size_t lastCount = 0;
    for (const qsizetype cut : cutPoints(whole.size())) {
        const QByteArray part = whole.left(cut);
        const QByteArray at = "cut at " + QByteArray::number(cut) + " of " + QByteArray::number(whole.size());
        clear(dir.path());
        QVERIFY(writeAll(library, part));
        Workspace ws;
        ws.programFolder = dir.path();

        const LibraryFile::LoadOutcome outcome = LibraryFile::LoadCodeDataFromFile(ws);

        const QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        if (outcome.placeholderAdded) {
            // Nothing read: the cut file is moved aside (an empty one is simply replaced) and the
            // placeholder saved in its place.
            QVERIFY2(lastCount == 0, at);
            QVERIFY2(outcome.saveError.isEmpty(), at);
            const DatabaseFile::ReadResult saved = DatabaseFile::read(library);
            QVERIFY2(saved.complete && saved.records == ws.codeArray, at);
            if (cut == 0) {
                QVERIFY2(outcome.setAsidePath.isEmpty() && files == QStringList{"zorbeth.txt"}, at);
            } else {
                QVERIFY2(!outcome.setAsidePath.isEmpty() && readAll(outcome.setAsidePath) == part, at);
                QVERIFY2(files.size() == 2, at);
            }
            continue;
        }
        // No record invented, none dropped before the cut: the records read begin the whole file's,
        // and a longer piece never reads fewer.
        QVERIFY2(isPrefix(ws.codeArray, wholeRecords), at);
        QVERIFY2(ws.codeArray.size() >= lastCount, at);
        lastCount = ws.codeArray.size();
        const CodeArray loaded = ws.codeArray;
        QVERIFY2(ws.saveBlockedReason.isEmpty(), at);

        if (outcome.incomplete || outcome.damaged) {
            // A whole copy is kept before anything may replace the cut file ...
            QVERIFY2(outcome.copyKept && readAll(outcome.setAsidePath) == part, at);
            QVERIFY2(files.size() == 2, at);
        } else {
            QVERIFY2(outcome.setAsidePath.isEmpty() && files == QStringList{"zorbeth.txt"}, at);
            QVERIFY2(readAll(library) == part, at);
        }
        // ... so the next save writes what was read, mended only where the format cannot hold a
        // value (a record a damaged block read on into), and the rest stays in the copy.
        QString error;
        QList<qsizetype> mended;
        QVERIFY2(LibraryFile::SaveCodeArrayToFile(ws, &error, &mended), qPrintable(at + ' ' + error));
        for (size_t i = 0; i < loaded.size(); ++i) {
            QVERIFY2((loaded[i] == ws.codeArray[i]) != mended.contains(qsizetype(i)), at);
        }
        QVERIFY2(mended.isEmpty() || outcome.damaged, at);
        const DatabaseFile::ReadResult saved = DatabaseFile::read(library);
        QVERIFY2(saved.complete && !saved.damaged() && saved.records == ws.codeArray, at);
        if (!outcome.setAsidePath.isEmpty()) {
            QVERIFY2(readAll(outcome.setAsidePath) == part, at);
        }
    }
    QCOMPARE(lastCount, wholeRecords.size());
}

QTEST_GUILESS_MAIN(TestTruncationSweep)
#include "tst_truncation_sweep.moc"
