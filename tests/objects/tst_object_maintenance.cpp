#include "LibraryText.h"
#include "objects/ObjectAnalysis.h"
#include "objects/ObjectList.h"
#include "objects/ResourceCompaction.h"
#include "objects/ResourceFile.h"
#include "store/WriteFaults.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

SnippetRecord withObject(const QString& title, const QString& name, qint32 start, qint32 length)
{
    SnippetRecord r;
    r.Title = title;
    r.ObjectName = name;
    r.ObjectFlag = 1;
    r.ObjectStart = start;
    r.ObjectLength = length;
    return r;
}

} // namespace

class TestObjectMaintenance : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString resource() const { return m_dir.filePath("zorbethresource.res"); }

private slots:
    void init()
    {
        QFile::remove(resource());
        QFile::remove(ResourceCompaction::tempPathFor(resource()));
        WriteFaults::limitBytes(-1);
    }

    void analysis_givesTheStatusText_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QString>("text");
        QTest::newRow("absent") << QByteArray() << false
                                << "Resource File Analysis:     File is empty. No objects stored.";
        QTest::newRow("empty") << QByteArray() << true
                               << "Resource File Analysis:     File is empty. No objects stored.";
        QTest::newRow("half used")
            << QByteArray(20, 'x') << true
            << "Resource File Analysis:     2 object(s) stored.    10 of 20  bytes used in "
               "resource file.    50.00% utilization";
        QTest::newRow("a third")
            << QByteArray(30, 'x') << true
            << "Resource File Analysis:     2 object(s) stored.    10 of 30  bytes used in "
               "resource file.    33.33% utilization";
    }

    void analysis_givesTheStatusText()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, exists);
        QFETCH(QString, text);
        if (exists) {
            QVERIFY(LibraryText::writeAll(resource(), file));
        }
        CodeArray records{withObject("a", "a.txt", 1, 4), withObject("b", "b.txt", 5, 6),
                          withObject("gone", "c.txt", 11, 5), SnippetRecord{}};
        records[2].Deleted = true;
        QCOMPARE(ObjectAnalysis::statusText(ObjectAnalysis::analyze(records, resource())), text);
    }

    void reattachedObject_leavesUtilisationUnderFullUse()
    {
        QTemporaryDir sources;
        LibraryText::writeAll(sources.filePath("one"), "12345");
        LibraryText::writeAll(sources.filePath("two"), "abc");
        CodeArray records{SnippetRecord{}};
        for (const char* name : {"one", "two"}) {
            const auto r = ResourceFile::append(resource(), sources.filePath(name));
            QVERIFY(r.ok);
            records[0] = withObject("s", name, r.start, r.length);
        }
        const ObjectAnalysis::Analysis a = ObjectAnalysis::analyze(records, resource());
        QCOMPARE(a.bytesUsed, 3);
        QCOMPARE(a.fileSize, 8);
        QVERIFY(ObjectAnalysis::statusText(a).endsWith("37.50% utilization"));
    }

    void compactedText_keepsTheAnalysisFromItsLastHeadingBlank()
    {
        const ObjectAnalysis::Analysis a{1, 4, 4};
        QCOMPARE(
            ObjectAnalysis::compactedText(a),
            QString(
                "Resource File Compacted:      1 object(s) stored.    4 of 4  bytes used in resource file.  "
                "  100.00% utilization"));
    }

    void list_givesObjectsInUseWithTheirValidity()
    {
        LibraryText::writeAll(resource(), "0123456789");
        CodeArray records{withObject("inside", "a", 1, 10),
                          withObject("past end", "b", 8, 5),
                          withObject("zero start", "c", 0, 1),
                          withObject("deleted", "d", 1, 1),
                          SnippetRecord{},
                          withObject("negative", "e", 2, -3)};
        records[3].Deleted = true;
        records[4].ObjectName = "flag 0";
        const std::vector<ObjectList::Entry> entries = ObjectList::inUse(records, 10);
        QCOMPARE(entries.size(), size_t(4));
        QCOMPARE(entries[0].index, 0);
        QVERIFY(entries[0].valid);
        QCOMPARE(entries[1].title, QString("past end"));
        QVERIFY(!entries[1].valid);
        QVERIFY(!entries[2].valid);
        QCOMPARE(entries[3].index, 5);
        QVERIFY(!entries[3].valid);
    }

    void names_countNeitherDeletedNorBlankNames()
    {
        CodeArray records{withObject("a", "a.txt", 1, 1), withObject("b", "  ", 1, 1),
                          withObject("c", "c.png", 1, 1), withObject("d", "d.bin", 1, 1)};
        records[3].Deleted = true;
        const ObjectList::Names names = ObjectList::names(records);
        QCOMPARE(names.count, 2);
        QCOMPARE(ObjectList::statusText(names), QString("Objects:  2"));
        QCOMPARE(ObjectList::messageText(names), QString("Objects:  2 found\r\na.txt\r\nc.png\r\n"));
        const ObjectList::Names none = ObjectList::names({records[1], records[3]});
        QCOMPARE(ObjectList::statusText(none), QString("Object List:  No objects found."));
        QCOMPARE(ObjectList::messageText(none), QString("Objects:  None found."));
    }

    void compaction_keepsOnlyObjectsInUseInLibraryOrder()
    {
        // "first" was attached twice: its old bytes, and those of the removed object, are orphaned.
        LibraryText::writeAll(resource(), "oldFIRSTremovedSECOND");
        CodeArray records{withObject("second", "s", 16, 6), withObject("removed", "r", 0, 0),
                          withObject("first", "f", 4, 5)};
        records[1].ObjectFlag = 0;
        const ResourceCompaction::Result r = ResourceCompaction::writeCompacted(resource(), records);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(LibraryText::readAll(r.tempPath), QByteArray("SECONDFIRST"));
        QCOMPARE(r.size, 11);
        // Nothing changes before the library is saved with the new positions.
        QCOMPARE(LibraryText::readAll(resource()), QByteArray("oldFIRSTremovedSECOND"));
        QCOMPARE(records[0].ObjectStart, 16);
        const auto old = ResourceCompaction::applyStarts(records, r.starts);
        QCOMPARE(records[0].ObjectStart, 1);
        QCOMPARE(records[2].ObjectStart, 7);
        QString error;
        QVERIFY(ResourceCompaction::replace(resource(), r.tempPath, &error));
        QVERIFY(!QFile::exists(r.tempPath));
        QCOMPARE(ResourceFile::read(resource(), records[2].ObjectStart, 5).bytes, QByteArray("FIRST"));
        ResourceCompaction::applyStarts(records, old);
        QCOMPARE(records[0].ObjectStart, 16);
        QCOMPARE(records[2].ObjectStart, 4);
    }

    void compaction_ofOneRemainingObject_givesExactlyItsLength()
    {
        LibraryText::writeAll(resource(), "aaaaBBB");
        CodeArray records{withObject("a", "a", 1, 4), withObject("b", "b", 5, 3)};
        records[0].ObjectFlag = 0;
        const ResourceCompaction::Result r = ResourceCompaction::writeCompacted(resource(), records);
        QVERIFY(r.ok);
        QCOMPARE(r.starts, (std::vector<std::pair<size_t, qint32>>{{1, 1}}));
        QCOMPARE(QFileInfo(r.tempPath).size(), 3);
    }

    void compactionFailingHalfWay_leavesTheOldFileAndNoTemporary()
    {
        LibraryText::writeAll(resource(), QByteArray(4000, 'a') + QByteArray(4000, 'b'));
        CodeArray records{withObject("a", "a", 1, 4000), withObject("b", "b", 4001, 4000)};
        WriteFaults::limitBytes(5000);
        const ResourceCompaction::Result r = ResourceCompaction::writeCompacted(resource(), records);
        WriteFaults::limitBytes(-1);
        QVERIFY(!r.ok);
        QVERIFY(r.error.contains("No space left"));
        QVERIFY(r.starts.empty());
        QVERIFY(!QFile::exists(ResourceCompaction::tempPathFor(resource())));
        QCOMPARE(LibraryText::readAll(resource()), QByteArray(4000, 'a') + QByteArray(4000, 'b'));
    }

    void compactionWithAnObjectOutsideTheFile_writesNothing_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("exists");
        QTest::newRow("past the end") << QByteArray("abc") << true;
        QTest::newRow("file missing") << QByteArray() << false;
    }

    void compactionWithAnObjectOutsideTheFile_writesNothing()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, exists);
        if (exists) {
            LibraryText::writeAll(resource(), file);
        }
        CodeArray records{withObject("ok", "a", 1, 1), withObject("broken", "b", 3, 9)};
        const ResourceCompaction::Result r = ResourceCompaction::writeCompacted(resource(), records);
        QVERIFY(!r.ok);
        // The first object that cannot be read is named.
        QVERIFY(r.error.contains(exists ? "\"broken\"" : "\"ok\""));
        QVERIFY(!QFile::exists(r.tempPath));
        QCOMPARE(QFile::exists(resource()), exists);
    }

    void compaction_replacesAStaleTemporaryFile()
    {
        LibraryText::writeAll(resource(), "xyz");
        LibraryText::writeAll(ResourceCompaction::tempPathFor(resource()), "stale stale stale");
        const ResourceCompaction::Result r =
            ResourceCompaction::writeCompacted(resource(), {withObject("y", "y", 2, 1)});
        QVERIFY(r.ok);
        QCOMPARE(LibraryText::readAll(r.tempPath), QByteArray("y"));
    }
};

QTEST_GUILESS_MAIN(TestObjectMaintenance)
#include "tst_object_maintenance.moc"
