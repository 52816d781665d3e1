#include "LibraryText.h"
#include "store/DatabaseFile.h"
#include "store/DateStamp.h"
#include "ZorbethTestPaths.h"

#include <csignal>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>

namespace {

const QByteArray Header = "Zorbeth Source Code Snippets\r\nPublisher\r\nhttp://x\r\n2024-01-01 00:00:00\r\n";
const QByteArray End = "++++++++\r\n";

SnippetRecord sample(const QString& title)
{
    SnippetRecord r;
    r.Title = title;
    r.Language = "C++";
    r.Category = "Basics";
    r.Keywords = "hello bookmark";
    r.Date = "2024-02-03 04:05:06";
    r.DText = "description";
    r.Code = "int main()\r\n{\r\n}";
    r.HText = "help";
    return r;
}

// One record block laid out as the writer does, for building files by hand.
QByteArray block(const QByteArray& title, const QByteArray& code)
{
    return "----T\r\n" + title +
           "\r\nLang\r\nCat\r\nkw\r\n2024-01-01 00:00:00\r\n<reserved>\r\n----O\r\n\r\n 0 \r\n 0 \r\n 0 " +
           "\r\n----E\r\n----D\r\n\r\n----E\r\n----C\r\n" + code + "\r\n----E\r\n----H\r\n\r\n----E\r\n";
}

using LibraryText::readAll;

CodeArray roundTrip(const CodeArray& records)
{
    const DatabaseFile::ReadResult result = DatabaseFile::parse(DatabaseFile::serialize(records, "now"));
    return result.complete ? result.records : CodeArray();
}

} // namespace

class TestDatabaseFile : public QObject
{
    Q_OBJECT

private slots:
    void saveThenLoad_keepsEveryField_data();
    void saveThenLoad_keepsEveryField();
    void serialize_writesTheExactLayoutWithoutDeletedRecords();
    void parse_readsWhatTheReaderAccepts_data();
    void parse_readsWhatTheReaderAccepts();
    void parse_everyTruncation_keepsOnlyCompleteRecords();
    void read_mixedEncodings_decodePerSequenceAndCountForeignBytes_data();
    void read_mixedEncodings_decodePerSequenceAndCountForeignBytes();
    void read_largeFile_givesWhatParsingItsBytesGives_data();
    void read_largeFile_givesWhatParsingItsBytesGives();
    void read_largeFileDamagedAcrossItsMiddle_givesWhatOneReadGives_data();
    void read_largeFileDamagedAcrossItsMiddle_givesWhatOneReadGives();
    void parse_blockMarkerRemoved_noRecordLostWithoutWarning_data();
    void parse_blockMarkerRemoved_noRecordLostWithoutWarning();
    void parse_recordStartInsideCode_warnsAndReadsEverything();
    void fitToFormat_mendsValuesSoTheyRoundTrip_data();
    void fitToFormat_mendsValuesSoTheyRoundTrip();
    void write_replacesFileAndStampsTheSaveTime();
    void fitToFormat_largeLibrary_listsMendedRecordsInOrder();
    void write_largeLibrary_writesWhatSerializeGives();
    void write_failingMidway_leavesOldFileWhole_data();
    void write_failingMidway_leavesOldFileWhole();
};

void TestDatabaseFile::saveThenLoad_keepsEveryField_data()
{
    QTest::addColumn<SnippetRecord>("record");

    QTest::newRow("all empty") << SnippetRecord();
    SnippetRecord r = sample("Blocks ending with a line break");
    r.DText = "\r\n";
    r.Code = "a\r\nb\r\n";
    r.HText = "\r\n\r\n";
    QTest::newRow("blocks ending with CR LF") << r;
    r = sample("Objects");
    r.ObjectName = "picture.png";
    r.ObjectFlag = 1;
    r.ObjectStart = 2147483647;
    r.ObjectLength = -2147483647 - 1;
    QTest::newRow("object numbers at the limits") << r;
    r = sample(QString::fromUtf16(u"Gr\u00fc\u00dfe \u20ac \U0001F600"));
    r.Code = QString::fromUtf16(u"// \u65e5\u672c\r\nx = '\u00e9';\nlone LF\n----E after LF");
    QTest::newRow("non-ascii and lone LF") << r;
    r = sample("----H");
    r.Language = "+++++";
    r.Keywords = "----E";
    QTest::newRow("markers in the one-line fields") << r;
}

void TestDatabaseFile::saveThenLoad_keepsEveryField()
{
    QFETCH(SnippetRecord, record);
    const CodeArray records{sample("before"), record, sample("after")};
    QCOMPARE(roundTrip(records), records);
}

void TestDatabaseFile::serialize_writesTheExactLayoutWithoutDeletedRecords()
{
    SnippetRecord r = sample("T");
    r.Code = "";
    r.HText = "h1\r\nh2";
    r.ObjectName = "o.bin";
    r.ObjectFlag = 1;
    r.ObjectStart = -5;
    r.ObjectLength = 10;
    SnippetRecord deleted = sample("gone");
    deleted.Deleted = true;
    const QByteArray expected =
        "Zorbeth Source Code Snippets\r\nZorbeth Project\r\nhttps://zorbeth.example.org\r\n"
        "2024-01-02 03:04:05\r\n"
        "----T\r\nT\r\nC++\r\nBasics\r\nhello bookmark\r\n2024-02-03 04:05:06\r\n<reserved>\r\n"
        "----O\r\no.bin\r\n 1 \r\n-5 \r\n 10 \r\n----E\r\n"
        "----D\r\ndescription\r\n----E\r\n"
        "----C\r\n\r\n----E\r\n"
        "----H\r\nh1\r\nh2\r\n----E\r\n"
        "++++++++\r\n";
    QCOMPARE(DatabaseFile::serialize({deleted, r, deleted}, "2024-01-02 03:04:05"), expected);
}

void TestDatabaseFile::parse_readsWhatTheReaderAccepts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<QStringList>("codes"); // one per record read

    QTest::newRow("empty file") << QByteArray() << false << QStringList();
    QTest::newRow("header only") << Header + End << true << QStringList();
    QTest::newRow("no end marker") << Header + block("A", "a") + block("B", "b") << false
                                   << QStringList{"a", "b"};
    QTest::newRow("cut inside a record")
        << Header + block("A", "a") + block("B", "b").left(114) << false << QStringList{"a"};
    QTest::newRow("junk and blank lines between blocks")
        << Header + "\r\nnoise\r\n" + block("A", "a") + "\r\n----X\r\n----e\r\n" + block("B", "b") + End
        << true << QStringList{"a", "b"};
    QTest::newRow("markers with extra characters, end marker stops reading")
        << Header + QByteArray(block("A", "a")).replace("----T", "----Title").replace("----E", "----End") +
               "+++++ and more\r\n" + block("late", "x")
        << true << QStringList{"a"};
    QTest::newRow("header lines are not markers")
        << "----T\r\n----C\r\n----E\r\n----H\r\n" + End << true << QStringList();
    QTest::newRow("T block lines are taken whatever they hold")
        << Header + "----T\r\n----H\r\n----E\r\n+++++\r\n\r\n\r\n\r\n" + block("B", "b") + End << true
        << QStringList{"b"};
    QTest::newRow("lone CR ends lines")
        << QByteArray(Header + block("A", "x\r\ny") + End).replace("\r\n", "\r") << true
        << QStringList{"x\r\ny"};
    QTest::newRow("mixed CR and CR LF in a block")
        << Header + block("A", "1\r2\r\n3\r\r\n4") + End << true << QStringList{"1\r\n2\r\n3\r\n\r\n4"};
    QTest::newRow("LF only file") << QByteArray(Header + block("A", "x\r\ny\r\n") + End).replace("\r\n", "\n")
                                  << true << QStringList{"x\r\ny\r\n"};
    QTest::newRow("block without lines, no line end at the end")
        << Header + QByteArray(block("A", "")).replace("----C\r\n\r\n", "----C\r\n") + "++++++++" << true
        << QStringList{""};
}

void TestDatabaseFile::parse_readsWhatTheReaderAccepts()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, complete);
    QFETCH(QStringList, codes);

    const DatabaseFile::ReadResult result = DatabaseFile::parse(bytes);
    QCOMPARE(result.complete, complete);
    QStringList got;
    for (const SnippetRecord& r : result.records) {
        got << r.Code.toString();
    }
    QCOMPARE(got, codes);

    // The scan that decodes nothing finds what the reader finds.
    QTemporaryDir dir;
    const QString path = dir.filePath("scanned.txt");
    QVERIFY(LibraryText::writeAll(path, bytes));
    const DatabaseFile::Shape shape = DatabaseFile::scan(path);
    QVERIFY(shape.opened);
    QCOMPARE(shape.complete, complete);
    QCOMPARE(shape.records, qsizetype(codes.size()));
    QCOMPARE(shape.fileSize, qint64(bytes.size()));
    QVERIFY(!DatabaseFile::scan(dir.filePath("missing.txt")).opened);
    const DatabaseFile::Shape fromBytes = DatabaseFile::scanBytes(bytes);
    QVERIFY(fromBytes.opened);
    QCOMPARE(fromBytes.complete, complete);
    QCOMPARE(fromBytes.records, qsizetype(codes.size()));
}

void TestDatabaseFile::parse_everyTruncation_keepsOnlyCompleteRecords()
{
    const CodeArray records{sample("one"), sample("two"), sample("three")};
    const QByteArray full = DatabaseFile::serialize(records, "now");
    size_t previous = 0;
    for (qsizetype cut = 0; cut < full.size() - End.size(); ++cut) {
        const DatabaseFile::ReadResult result = DatabaseFile::parse(full.left(cut));
        // Read in two halves at once, as a large file is, a cut file gives the same.
        const DatabaseFile::ReadResult halves = DatabaseFile::parse(full.left(cut), 0);
        QVERIFY2(halves.records == result.records && halves.recordStarts == result.recordStarts &&
                     halves.lostRecords == result.lostRecords && !halves.complete,
                 qPrintable(QString::number(cut)));
        QVERIFY(!result.complete);
        QVERIFY2(!result.damaged(), qPrintable(QString::number(cut))); // cut off, which is said otherwise
        QVERIFY(result.records.size() >= previous);
        previous = result.records.size();
        QVERIFY(std::equal(result.records.begin(), result.records.end(), records.begin()));
    }
    QCOMPARE(previous, size_t(3));
}

void TestDatabaseFile::read_mixedEncodings_decodePerSequenceAndCountForeignBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<int>("nonUtf8");

    QTest::newRow("pure UTF-8") << Header +
                                       block("\xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x98\x80", "caf\xc3\xa9") + End
                                << QStringList{QString::fromUtf16(u"\u65e5\u672c \U0001F600")}
                                << QStringList{QString::fromUtf16(u"caf\u00e9")} << 0;
    QTest::newRow("pure Windows-1252")
        << Header + block("Caf\xe9", "\x93q\x94") + End << QStringList{QString::fromUtf16(u"Caf\u00e9")}
        << QStringList{QString::fromUtf16(u"\u201cq\u201d")} << 3;
    QTest::newRow("mixed") << Header + block("\xe6\x97\xa5\xe6\x9c\xac", "caf\xe9 \xe2\x82\xac") + End
                           << QStringList{QString::fromUtf16(u"\u65e5\u672c")}
                           << QStringList{QString::fromUtf16(u"caf\u00e9 \u20ac")} << 1;
    QTest::newRow("UTF-8 sequence cut at the end of a line")
        << Header + block("t", "abc\xe2\x82\r\n\xe2\x82\xac") + End << QStringList{"t"}
        << QStringList{QString::fromUtf16(u"abc\u00e2\u201a\r\n\u20ac")} << 2;
    // Neighbours share their language string; each still counts its own bytes.
    const QByteArray french = QByteArray(block("a", "1") + block("b", "2"))
                                  .replace("\r\nLang\r\n", "\r\nFran\xe7"
                                                           "ais\r\n");
    QTest::newRow("a shared value counts for every record")
        << Header + french + End << QStringList{"a", "b"} << QStringList{"1", "2"} << 2;
    QTest::newRow("shipped Windows-1252 file")
        << readAll(ZORBETH_TEST_DATA_DIR "/store/windows1252.txt")
        << QStringList{QString::fromUtf16(u"Caf\u00e9 \u20acuro")}
        << QStringList{QString::fromUtf16(u"MsgBox \u201cna\u00efve\u201d")} << 7;
}

void TestDatabaseFile::read_mixedEncodings_decodePerSequenceAndCountForeignBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, titles);
    QFETCH(QStringList, codes);
    QFETCH(int, nonUtf8);
    QTemporaryDir dir;
    QFile file(dir.filePath("zorbeth.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();

    const DatabaseFile::ReadResult result = DatabaseFile::read(file.fileName());
    QVERIFY(result.opened && result.complete && !result.damaged());
    QStringList gotTitles, gotCodes;
    for (const SnippetRecord& r : result.records) {
        gotTitles << r.Title;
        gotCodes << r.Code.toString();
    }
    QCOMPARE(gotTitles, titles);
    QCOMPARE(gotCodes, codes);
    QCOMPARE(result.nonUtf8Bytes, qsizetype(nonUtf8));
}

// A file of tens of MB read through its mapping gives what parsing its bytes in memory gives, with
// every record in its place; the odd value sits far into the file.
void TestDatabaseFile::read_largeFile_givesWhatParsingItsBytesGives_data()
{
    QTest::addColumn<QByteArray>("oddTitle");
    QTest::addColumn<bool>("lfOnly");
    QTest::addColumn<QString>("oddText");
    QTest::addColumn<qsizetype>("nonUtf8");
    QTest::addColumn<int>("oddAt"); // the record with the odd title: the file is checked in two halves
    QTest::newRow("utf-8") << QByteArray("Stra\xc3\x9f"
                                         "e \xe2\x82\xac")
                           << false << QString::fromUtf8("Straße €") << qsizetype(0) << 16000;
    QTest::newRow("windows-1252 byte late in the file")
        << QByteArray("caf\xe9") << false << QString::fromUtf8("café") << qsizetype(1) << 16000;
    QTest::newRow("windows-1252 byte early in the file")
        << QByteArray("caf\xe9") << false << QString::fromUtf8("café") << qsizetype(1) << 100;
    QTest::newRow("unix line ends") << QByteArray("\xc3\xa4") << true << QString::fromUtf8("ä")
                                    << qsizetype(0) << 16000;
}

void TestDatabaseFile::read_largeFile_givesWhatParsingItsBytesGives()
{
    QFETCH(QByteArray, oddTitle);
    QFETCH(bool, lfOnly);
    QFETCH(QString, oddText);
    QFETCH(qsizetype, nonUtf8);
    QFETCH(int, oddAt);
    QByteArray bytes = Header;
    const QByteArray code = QByteArray("line \xc3\xa9\r\n").repeated(200);
    for (int i = 0; bytes.size() < 40 * 1024 * 1024; ++i) {
        bytes += block(i == oddAt ? oddTitle : "Snippet " + QByteArray::number(i), code);
    }
    bytes += End;
    if (lfOnly) {
        bytes.replace("\r\n", "\n");
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("zorbeth.txt");
    QVERIFY(LibraryText::writeAll(path, bytes));

    const DatabaseFile::ReadResult fromFile = DatabaseFile::read(path);
    const DatabaseFile::ReadResult inMemory = DatabaseFile::parse(bytes);
    QVERIFY(fromFile.complete);
    QCOMPARE(fromFile.records.size(), inMemory.records.size());
    QVERIFY(fromFile.records == inMemory.records);
    QCOMPARE(fromFile.nonUtf8Bytes, nonUtf8);
    for (size_t i = 0; i < fromFile.records.size(); ++i) {
        const SnippetRecord& r = fromFile.records[i];
        const QString title = i == size_t(oddAt) ? oddText : QStringLiteral("Snippet %1").arg(i);
        if (r.Title != title || r.Code.toString() != QString::fromUtf8(code) ||
            r.Language != QLatin1String("Lang")) {
            QFAIL(qPrintable(QStringLiteral("record %1 is \"%2\"").arg(i).arg(r.Title)));
        }
    }
}

void TestDatabaseFile::read_largeFileDamagedAcrossItsMiddle_givesWhatOneReadGives_data()
{
    QTest::addColumn<QByteArray>("marker");
    QTest::addColumn<int>("before"); // which of the markers before the middle record start is removed
    QTest::newRow("end of the H text before the middle") << QByteArray("----E\r\n") << 1;
    QTest::newRow("end of the code before the middle") << QByteArray("----E\r\n") << 2;
    QTest::newRow("start of the H text before the middle") << QByteArray("----H\r\n") << 1;
}

// A large file is read in two halves from the first record start past its middle; a block that lost its
// end marker just before that start reads on over it, and the first half must then read on alone over
// pages the second half has already given back.
void TestDatabaseFile::read_largeFileDamagedAcrossItsMiddle_givesWhatOneReadGives()
{
    QFETCH(QByteArray, marker);
    QFETCH(int, before);
    QByteArray bytes = Header;
    const QByteArray code = QByteArray("line \xc3\xa9\r\n").repeated(200);
    for (int i = 0; bytes.size() < 20 * 1024 * 1024; ++i) {
        bytes += block("Snippet " + QByteArray::number(i), code);
    }
    bytes += End;
    const qsizetype middle = bytes.indexOf("\r\n----T\r\n", bytes.size() / 2) + 2;
    qsizetype at = middle;
    for (int n = 0; n < before; ++n) {
        at = bytes.lastIndexOf(marker, at - 1);
    }
    QVERIFY(at > bytes.size() / 4);
    bytes.remove(at, marker.size());
    QTemporaryDir dir;
    const QString path = dir.filePath("zorbeth.txt");
    QVERIFY(LibraryText::writeAll(path, bytes));

    const DatabaseFile::ReadResult fromFile = DatabaseFile::read(path);
    const DatabaseFile::ReadResult once = DatabaseFile::parse(bytes);
    QVERIFY(once.damaged());
    QCOMPARE(fromFile.records.size(), once.records.size());
    QVERIFY(fromFile.records == once.records);
    QCOMPARE(fromFile.lostTitles, once.lostTitles);
    QCOMPARE(fromFile.recordStarts, once.recordStarts);
    QCOMPARE(fromFile.lostRecords, once.lostRecords);
    QVERIFY(fromFile.complete);
}

void TestDatabaseFile::parse_blockMarkerRemoved_noRecordLostWithoutWarning_data()
{
    QTest::addColumn<QByteArray>("marker");
    QTest::addColumn<int>("occurrence"); // within the middle record
    QTest::addColumn<QStringList>("lost");

    QTest::newRow("end of the object values") << QByteArray("----E\r\n") << 0 << QStringList();
    QTest::newRow("end of the D text") << QByteArray("----E\r\n") << 1 << QStringList();
    QTest::newRow("end of the code") << QByteArray("----E\r\n") << 2 << QStringList{"two"};
    QTest::newRow("end of the H text") << QByteArray("----E\r\n") << 3 << QStringList{"three"};
    QTest::newRow("start of the H text") << QByteArray("----H\r\n") << 0 << QStringList{"two"};
}

void TestDatabaseFile::parse_blockMarkerRemoved_noRecordLostWithoutWarning()
{
    QFETCH(QByteArray, marker);
    QFETCH(int, occurrence);
    QFETCH(QStringList, lost);
    QByteArray bytes = DatabaseFile::serialize({sample("one"), sample("two"), sample("three")}, "now");
    qsizetype at = bytes.indexOf("----T\r\ntwo\r\n");
    for (int n = 0; n <= occurrence; ++n) {
        at = bytes.indexOf(marker, n == 0 ? at : at + 1);
    }
    QVERIFY(at > 0 && at < bytes.indexOf("----T\r\nthree\r\n"));
    bytes.remove(at, marker.size());

    const DatabaseFile::ReadResult result = DatabaseFile::parse(bytes);
    QVERIFY(result.complete);
    // Read in two halves at once, as a large file is, wherever the damaged block lies.
    const DatabaseFile::ReadResult halves = DatabaseFile::parse(bytes, 0);
    QVERIFY(halves.records == result.records);
    QCOMPARE(halves.lostTitles, result.lostTitles);
    QCOMPARE(halves.recordStarts, result.recordStarts);
    QVERIFY(halves.complete);
    QStringList read;
    for (const SnippetRecord& r : result.records) {
        read << r.Title;
    }
    for (const char* title : {"one", "two", "three"}) {
        QVERIFY2(read.contains(title) || result.lostTitles.contains(title), qPrintable(title));
    }
    QCOMPARE(result.lostTitles, lost);
    QCOMPARE(result.lostRecords, qsizetype(lost.size()));
    QCOMPARE(result.damaged(), !lost.isEmpty());
    QCOMPARE(result.recordStarts, qsizetype(3));
}

void TestDatabaseFile::parse_recordStartInsideCode_warnsAndReadsEverything()
{
    SnippetRecord odd = sample("odd");
    odd.Code = "before\r\n----T\r\nafter";
    const CodeArray records{sample("one"), odd, sample("three")};
    const DatabaseFile::ReadResult result = DatabaseFile::parse(DatabaseFile::serialize(records, "now"));
    QVERIFY(result.complete);
    QCOMPARE(result.records, records);
    QVERIFY(result.damaged());
    QCOMPARE(result.lostTitles, QStringList{"after"});
}

void TestDatabaseFile::fitToFormat_mendsValuesSoTheyRoundTrip_data()
{
    QTest::addColumn<SnippetRecord>("record");
    QTest::addColumn<SnippetRecord>("mended");

    SnippetRecord r = sample("two\r\nlines\rand\nmore"), m = sample("two lines and more");
    r.Language = "C\n";
    r.Category = "\r\n";
    r.Keywords = "a\rb";
    r.Date = "d\r\n";
    m.Language = "C ";
    m.Category = " ";
    m.Keywords = "a b";
    m.Date = "d ";
    QTest::newRow("line breaks in one-line fields") << r << m;
    r = m = sample("x");
    r.Code = "a\rb\r";
    m.Code = "a\r\nb\r\n";
    QTest::newRow("lone CR in code") << r << m;
    r = m = sample("x");
    r.Code = "----E\r\nx\r\n----End\r\n-----E";
    m.Code = " ----E\r\nx\r\n ----End\r\n-----E";
    r.DText = "a\r----E";
    m.DText = "a\r\n ----E";
    r.ObjectName = "----Ex.bin";
    m.ObjectName = " ----Ex.bin";
    QTest::newRow("block ends at line starts") << r << m;
    // A swallowed record, as a block without its end reads it, saved again must not read as damage.
    r = m = sample("----T");
    m.Title = " ----T";
    r.HText = "help\r\n----T\r\nJoin\r\n----Tx\r\n----T";
    m.HText = "help\r\n ----T\r\nJoin\r\n----Tx\r\n ----T";
    r.Code = "----T\r\n----T\rx";
    m.Code = " ----T\r\n ----T\r\nx";
    QTest::newRow("record start lines") << r << m;
}

void TestDatabaseFile::fitToFormat_mendsValuesSoTheyRoundTrip()
{
    QFETCH(SnippetRecord, record);
    QFETCH(SnippetRecord, mended);

    CodeArray records{sample("fine"), record, record, sample("fine")};
    records[2].Deleted = true; // not written, so not mended either
    QCOMPARE(DatabaseFile::fitToFormat(records), QList<qsizetype>{1});
    QCOMPARE(records[1], mended);
    QCOMPARE(DatabaseFile::fitToFormat(records), QList<qsizetype>());
    records.erase(records.begin() + 2);
    QCOMPARE(roundTrip(records), records);
    QVERIFY(!DatabaseFile::parse(DatabaseFile::serialize(records, "now")).damaged());
}

void TestDatabaseFile::write_replacesFileAndStampsTheSaveTime()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("zorbeth.txt");
    QVERIFY(DatabaseFile::write(path, {sample("longer old content"), sample("b"), sample("c")}));
    DateStamp::pin(QDateTime(QDate(2025, 6, 7), QTime(8, 9, 10)));
    QVERIFY(DatabaseFile::write(path, {sample("a")}));
    DateStamp::pin(QDateTime());
    QCOMPARE(readAll(path), DatabaseFile::serialize({sample("a")}, "2025-06-07 08:09:10"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"zorbeth.txt"});
}

void TestDatabaseFile::fitToFormat_largeLibrary_listsMendedRecordsInOrder()
{
    // Enough records for the work to be shared out between threads; mended ones at both ends and
    // about where the slices meet.
    CodeArray records(100000, sample("fine"));
    const QList<qsizetype> broken{0, 24999, 25000, 49999, 50000, 50001, 74999, 75000, 99999};
    for (qsizetype i : broken) {
        records[size_t(i)].Title = QStringLiteral("a\nb");
    }
    for (size_t i : {1, 12345, 50002, 99998}) {
        records[i].Title = QStringLiteral("a\nb");
        records[i].Deleted = true; // not written, so not mended either
    }
    QCOMPARE(DatabaseFile::fitToFormat(records), broken);
    for (qsizetype i : broken) {
        QCOMPARE(records[size_t(i)].Title, QStringLiteral("a b"));
    }
    QCOMPARE(DatabaseFile::fitToFormat(records), QList<qsizetype>());
}

void TestDatabaseFile::write_largeLibrary_writesWhatSerializeGives()
{
    // Several buffers' worth, written while the next is built: the file must hold them in order.
    CodeArray records;
    for (int i = 0; i < 3000; ++i) {
        SnippetRecord r = sample(QStringLiteral("title %1").arg(i));
        r.Code = QString(i % 7 == 0 ? 20000 : 3000, QChar(u'a' + i % 26));
        r.Deleted = i % 11 == 0;
        records.push_back(r);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("zorbeth.txt");
    DateStamp::pin(QDateTime(QDate(2025, 6, 7), QTime(8, 9, 10)));
    QVERIFY(DatabaseFile::write(path, records));
    DateStamp::pin(QDateTime());
    const QByteArray expected = DatabaseFile::serialize(records, "2025-06-07 08:09:10");
    QVERIFY(expected.size() > 12 * 1024 * 1024);
    QVERIFY(readAll(path) == expected);
}

void TestDatabaseFile::write_failingMidway_leavesOldFileWhole_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("limit");
    QTest::newRow("in the last buffer") << 2000 << 64 * 1024;
    QTest::newRow("while a later buffer is built") << 8000 << 6 * 1024 * 1024;
}

void TestDatabaseFile::write_failingMidway_leavesOldFileWhole()
{
    QFETCH(int, records);
    QFETCH(int, limit);
    QTemporaryDir dir;
    const QString path = dir.filePath("zorbeth.txt");
    QVERIFY(DatabaseFile::write(path, {sample("old")}));
    const QByteArray old = readAll(path);
    CodeArray big(size_t(records), sample("big"));
    big[0].Code = QString(500000, u'x');
    for (size_t i = 1; i < big.size(); i += 2) {
        big[i].Code = QString(4000, u'y');
    }

    // A file size limit makes the write fail part way, even for root.
    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit capped = saved;
    capped.rlim_cur = rlim_t(limit);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &capped) == 0);
    QString error;
    const bool written = DatabaseFile::write(path, big, &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!written);
    QVERIFY(!error.isEmpty());
    QCOMPARE(readAll(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"zorbeth.txt"});
}

QTEST_GUILESS_MAIN(TestDatabaseFile)
#include "tst_database_file.moc"
