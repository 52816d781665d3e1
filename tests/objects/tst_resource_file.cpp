#include "library/Workspace.h"
#include "LibraryText.h"
#include "objects/ResourceFile.h"
#include "store/WriteFaults.h"

#include <QTemporaryDir>
#include <QTest>

class TestResourceFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString resource() const { return m_dir.filePath("zorbethresource.res"); }
    QString source(const QString& name, const QByteArray& bytes) const
    {
        const QString path = m_dir.filePath(name);
        LibraryText::writeAll(path, bytes);
        return path;
    }

private slots:
    void init()
    {
        QFile::remove(resource());
        WriteFaults::limitBytes(-1);
    }

    void path_liesBesideTheDatabaseInUse()
    {
        Workspace ws;
        ws.programFolder = "/prog";
        QCOMPARE(ResourceFile::path(ws), QString("/prog/zorbethresource.res"));
        ws.databasePrefix = "/shared/lib/";
        QCOMPARE(ResourceFile::path(ws), QString("/shared/lib/zorbethresource.res"));
    }

    void firstAppend_createsTheFileAtPositionOne()
    {
        const ResourceFile::AppendResult r = ResourceFile::append(resource(), source("a.bin", "hello"));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.start, 1);
        QCOMPARE(r.length, 5);
        QCOMPARE(LibraryText::readAll(resource()), QByteArray("hello"));
    }

    void secondAppend_startsWhereTheFirstEnds()
    {
        const auto first = ResourceFile::append(resource(), source("a.bin", "hello"));
        const auto second = ResourceFile::append(resource(), source("b.bin", QByteArray("\0\1\2", 3)));
        QVERIFY(first.ok && second.ok);
        QCOMPARE(second.start, first.start + first.length);
        QCOMPARE(LibraryText::readAll(resource()), QByteArray("hello\0\1\2", 8));
        const ResourceFile::ReadResult back = ResourceFile::read(resource(), second.start, second.length);
        QVERIFY(back.ok);
        QCOMPARE(back.bytes, QByteArray("\0\1\2", 3));
    }

    void failedAppend_truncatesToTheOldLength()
    {
        QVERIFY(ResourceFile::append(resource(), source("a.bin", "first")).ok);
        WriteFaults::limitBytes(3);
        const auto r = ResourceFile::append(resource(), source("b.bin", QByteArray(10000, 'b')));
        WriteFaults::limitBytes(-1);
        QVERIFY(!r.ok);
        QVERIFY(r.writeFailed);
        QVERIFY(!r.error.isEmpty());
        QCOMPARE(LibraryText::readAll(resource()), QByteArray("first"));
    }

    void unreadableOrHugeSource_isRefusedAndNothingAppended_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << "missing";
        QTest::newRow("folder") << "folder";
        QTest::newRow("over 2 GiB") << "huge";
    }

    void unreadableOrHugeSource_isRefusedAndNothingAppended()
    {
        QFETCH(QString, kind);
        QVERIFY(ResourceFile::append(resource(), source("a.bin", "keep")).ok);
        QString path = m_dir.filePath("nothing-here");
        if (kind == "folder") {
            path = m_dir.path();
        } else if (kind == "huge") {
            // Sparse: takes no room on disk.
            path = m_dir.filePath("huge.bin");
            QFile huge(path);
            QVERIFY(huge.open(QIODevice::WriteOnly));
            QVERIFY(huge.resize(ResourceFile::MaxPosition + 1));
        }
        const auto r = ResourceFile::append(resource(), path);
        QFile::remove(m_dir.filePath("huge.bin"));
        QVERIFY(!r.ok);
        QVERIFY(!r.writeFailed);
        QVERIFY(!r.error.isEmpty());
        QCOMPARE(LibraryText::readAll(resource()), QByteArray("keep"));
    }

    void emptySource_appendsNothing()
    {
        const auto r = ResourceFile::append(resource(), source("empty.bin", {}));
        QVERIFY(!r.ok);
        QVERIFY(r.empty);
        QVERIFY(!QFile::exists(resource()));
    }

    void outOfRangePositions_failWithoutReading_data()
    {
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("length");
        QTest::newRow("start 0") << qint64(0) << qint64(2);
        QTest::newRow("negative start") << qint64(-4) << qint64(2);
        QTest::newRow("past the end") << qint64(9) << qint64(3);
        QTest::newRow("starts after the end") << qint64(12) << qint64(0);
        QTest::newRow("negative length") << qint64(2) << qint64(-1);
        QTest::newRow("huge length") << qint64(1) << qint64(ResourceFile::MaxPosition);
        QTest::newRow("wrapping sum")
            << std::numeric_limits<qint64>::max() << std::numeric_limits<qint64>::max();
    }

    void outOfRangePositions_failWithoutReading()
    {
        QFETCH(qint64, start);
        QFETCH(qint64, length);
        LibraryText::writeAll(resource(), "0123456789");
        QVERIFY(!ResourceFile::inRange(start, length, 10));
        const ResourceFile::ReadResult r = ResourceFile::read(resource(), start, length);
        QVERIFY(!r.ok);
        QVERIFY(r.bytes.isEmpty());
        QVERIFY(!r.error.isEmpty());
        QCOMPARE(LibraryText::readAll(resource()), QByteArray("0123456789"));
    }

    void missingResourceFile_failsToRead()
    {
        const ResourceFile::ReadResult r = ResourceFile::read(resource(), 1, 1);
        QVERIFY(!r.ok);
        QVERIFY(!QFile::exists(resource()));
        QCOMPARE(ResourceFile::size(resource()), 0);
    }

    void rangesInside_areRead_data()
    {
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("whole") << qint64(1) << qint64(10) << QByteArray("0123456789");
        QTest::newRow("last byte") << qint64(10) << qint64(1) << QByteArray("9");
        QTest::newRow("empty at the end") << qint64(11) << qint64(0) << QByteArray();
    }

    void rangesInside_areRead()
    {
        QFETCH(qint64, start);
        QFETCH(qint64, length);
        QFETCH(QByteArray, bytes);
        LibraryText::writeAll(resource(), "0123456789");
        const ResourceFile::ReadResult r = ResourceFile::read(resource(), start, length);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.bytes, bytes);
    }
};

QTEST_GUILESS_MAIN(TestResourceFile)
#include "tst_resource_file.moc"
