#include "store/Zq5File.h"
#include "ZorbethTestPaths.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// One record of the version-5 format; an empty dText leaves out the "----D" block.
QString record(const QString& title, const QString& dText, const QString& code)
{
    QString text = "----T\r\n" + title + "\r\nStrings\r\nconcat join\r\n2004-02-01 10:11:12\r\n----E\r\n";
    text += "----O\r\nblob.bin\r\n1\r\n5\r\n7\r\n----E\r\n";
    if (!dText.isNull()) {
        text += "----D\r\n" + dText + "\r\n----E\r\n";
    }
    return text + "----C\r\n" + code + "\r\n----E\r\n----H\r\nhelp text\r\n----E\r\n";
}

const QString Header = QStringLiteral("Zorbeth 5 Source Code Snippets\r\nversion 5\r\n");

} // namespace

class TestZq5File : public QObject
{
    Q_OBJECT

private slots:
    void parse_stagesRecordsUnderImportedLanguage();
    void parse_codeIsDescriptionThenCode_data();
    void parse_codeIsDescriptionThenCode();
    void withoutEndLine_failsNamingTheFileAndStagesNothing_data();
    void withoutEndLine_failsNamingTheFileAndStagesNothing();
    void load_readsFileWithAnyLineEnds_data();
    void load_readsFileWithAnyLineEnds();
    void load_missingFile_failsWithReason();
};

void TestZq5File::parse_stagesRecordsUnderImportedLanguage()
{
    CodeArray staged;
    QString error;
    QVERIFY(ParseZq5CodeData(Header + record("First", "About it", "a = 1") + record("Second", {}, "b = 2") +
                                 "+++++\r\n",
                             staged, &error));
    QVERIFY(error.isEmpty());
    QCOMPARE(staged.size(), size_t(2));
    const SnippetRecord& r = staged[0];
    QCOMPARE(r.Language, QStringLiteral("Imported Language"));
    QCOMPARE(r.Title, QStringLiteral("First"));
    QCOMPARE(r.Category, QStringLiteral("Strings"));
    QCOMPARE(r.Keywords, QStringLiteral("concat join"));
    QCOMPARE(r.Date, QStringLiteral("2004-02-01 10:11:12"));
    // Object data and the help text never reach the staged record.
    QVERIFY(r.ObjectName.isEmpty() && r.DText.isEmpty() && r.HText.isEmpty());
    QCOMPARE(r.ObjectFlag + r.ObjectStart + r.ObjectLength, 0);
    // The second record does not inherit the first one's description.
    QCOMPARE(staged[1].Code.toString(), QStringLiteral("\r\n\r\nb = 2"));
}

void TestZq5File::parse_codeIsDescriptionThenCode_data()
{
    QTest::addColumn<QString>("dText");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("staged");
    QTest::newRow("description") << "Joins two strings."
                                 << "a = b & c"
                                 << "Joins two strings.\r\n\r\na = b & c";
    QTest::newRow("no ----D block") << QString() << "x"
                                    << "\r\n\r\nx";
    QTest::newRow("several lines") << "one\r\ntwo"
                                   << "l1\r\n\r\nl3"
                                   << "one\r\ntwo\r\n\r\nl1\r\n\r\nl3";
}

void TestZq5File::parse_codeIsDescriptionThenCode()
{
    QFETCH(QString, dText);
    QFETCH(QString, code);
    QFETCH(QString, staged);
    CodeArray records;
    QVERIFY(ParseZq5CodeData(Header + record("T", dText, code) + "+++++", records));
    QCOMPARE(records.size(), size_t(1));
    QCOMPARE(records[0].Code.toString(), staged);
}

void TestZq5File::withoutEndLine_failsNamingTheFileAndStagesNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("no end line") << Header + record("A", "d", "c") + record("B", "d", "c");
    QTest::newRow("cut inside a block") << Header + record("A", "d", "c") + "----T\r\nB\r\ncat\r\n";
    QTest::newRow("cut inside code") << Header + "----T\r\nA\r\nc\r\nk\r\nd\r\n----E\r\n----C\r\nx = 1\r\n";
    QTest::newRow("empty file") << QString();
}

void TestZq5File::withoutEndLine_failsNamingTheFileAndStagesNothing()
{
    QFETCH(QString, text);
    CodeArray staged;
    QString error;
    QVERIFY(!ParseZq5CodeData(text, staged, &error));
    QCOMPARE(error, QStringLiteral("Input past end of file"));
    QCOMPARE(staged, CodeArray(1));

    QTemporaryDir dir;
    QFile file(dir.filePath("cut.zq5"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
    file.close();
    staged.assign(3, SnippetRecord{});
    error.clear();
    QVERIFY(!Loadzq5CodeDataFromFile(file.fileName(), staged, &error));
    QCOMPARE(staged, CodeArray(1));
    QVERIFY2(error.contains(file.fileName()) && error.contains(QLatin1String("nothing of it was staged")),
             qPrintable(error));
}

void TestZq5File::load_readsFileWithAnyLineEnds_data()
{
    QTest::addColumn<QByteArray>("lineEnd");
    QTest::newRow("cr lf") << QByteArray("\r\n");
    QTest::newRow("lf") << QByteArray("\n");
    QTest::newRow("cr") << QByteArray("\r");
}

void TestZq5File::load_readsFileWithAnyLineEnds()
{
    QFETCH(QByteArray, lineEnd);
    QTemporaryDir dir;
    QByteArray bytes = (Header + record("Caf\u00e9", "d", "x") + "+++++\r\n").toUtf8();
    bytes.replace("\r\n", lineEnd);
    // A Windows-1252 byte among UTF-8 text reads as its character.
    bytes.replace("x", "\x93x\x94");
    QFile file(dir.filePath("old.zq5"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    CodeArray staged;
    QVERIFY(Loadzq5CodeDataFromFile(file.fileName(), staged));
    QCOMPARE(staged.size(), size_t(1));
    QCOMPARE(staged[0].Title, QString::fromUtf16(u"Caf\u00e9"));
    QCOMPARE(staged[0].Code.toString(), QString::fromUtf16(u"d\r\n\r\n\u201cx\u201d"));
}

void TestZq5File::load_missingFile_failsWithReason()
{
    CodeArray staged(2);
    QString error;
    QVERIFY(!Loadzq5CodeDataFromFile(QStringLiteral(ZORBETH_TEST_DATA_DIR "/no-such.zq5"), staged, &error));
    QVERIFY(error.contains(QLatin1String("no-such.zq5")));
    QCOMPARE(staged.size(), size_t(1));
}

QTEST_GUILESS_MAIN(TestZq5File)
#include "tst_zq5_file.moc"
