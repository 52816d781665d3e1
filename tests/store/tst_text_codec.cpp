#include "store/TextCodec.h"

#include <QTest>

class TestTextCodec : public QObject
{
    Q_OBJECT

private slots:
    void decode_readsUtf8SequencesAsUtf8AndOtherBytesAs1252_data();
    void decode_readsUtf8SequencesAsUtf8AndOtherBytesAs1252();
    void appendUtf8_keepsOutputValid();
    void splitLines_endsLinesAtCrLfCrOrLf_data();
    void splitLines_endsLinesAtCrLfCrOrLf();
};

void TestTextCodec::decode_readsUtf8SequencesAsUtf8AndOtherBytesAs1252_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("nonUtf8"); // bytes read as Windows-1252

    // The padding pushes the interesting bytes past the eight-byte fast path.
    const QByteArray pad = "0123456789";
    QTest::newRow("utf-8") << pad + "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"
                           << QString::fromUtf16(u"0123456789caf\u00e9 \u20ac \U0001F600") << 0;
    QTest::newRow("cp1252 table") << pad + "\x80\x93x\x94\x9f"
                                  << QString::fromUtf16(u"0123456789\u20ac\u201cx\u201d\u0178") << 4;
    QTest::newRow("undefined bytes keep latin-1")
        << QByteArray("\x81\x8d\x8f\x90\x9d\xe9")
        << QString::fromUtf16(u"\u0081\u008d\u008f\u0090\u009d\u00e9") << 6;
    QTest::newRow("overlong") << pad + "\xc0\xaf" << QString::fromUtf16(u"0123456789\u00c0\u00af") << 2;
    QTest::newRow("encoded surrogate")
        << pad + "\xed\xa0\x80" << QString::fromUtf16(u"0123456789\u00ed\u00a0\u20ac") << 3;
    QTest::newRow("beyond U+10FFFF") << pad + "\xf4\x90\x80\x80"
                                     << QString::fromUtf16(u"0123456789\u00f4\u0090\u20ac\u20ac") << 4;
    QTest::newRow("cut at end") << pad + "\xe2\x82" << QString::fromUtf16(u"0123456789\u00e2\u201a") << 2;
    QTest::newRow("mixed: both kept")
        << QByteArray("\xe6\x97\xa5\xe6\x9c\xac caf\xe9 \xf0\x9f\x98\x80 \x93q\x94")
        << QString::fromUtf16(u"\u65e5\u672c caf\u00e9 \U0001F600 \u201cq\u201d") << 3;
    QTest::newRow("cut sequence before a line end")
        << pad + "\xe2\x82\r\n\xe2\x82\xac" << QString::fromUtf16(u"0123456789\u00e2\u201a\r\n\u20ac") << 2;
    QTest::newRow("lead byte followed by a new sequence")
        << QByteArray("\xc3\xc3\xa9\xe2\xc3\xa9") << QString::fromUtf16(u"\u00c3\u00e9\u00e2\u00e9") << 2;
}

void TestTextCodec::decode_readsUtf8SequencesAsUtf8AndOtherBytesAs1252()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(int, nonUtf8);
    QCOMPARE(TextCodec::decode(bytes), text);
    QCOMPARE(TextCodec::isUtf8(bytes), nonUtf8 == 0);
    qsizetype counted = 1; // the count is added to what is there
    QCOMPARE(TextCodec::decodeMixed(bytes, &counted), text);
    QCOMPARE(counted, qsizetype(1 + nonUtf8));
}

void TestTextCodec::appendUtf8_keepsOutputValid()
{
    const QString text =
        QString::fromUtf16(u"ab\u00e9cdefgh\u20ac\U0001F600") + QChar(0xD800) + "x" + QChar(0xDC00);
    QByteArray out = "head:";
    TextCodec::appendUtf8(out, text);
    QCOMPARE(out, QByteArray("head:ab\xc3\xa9"
                             "cdefgh\xe2\x82\xac\xf0\x9f\x98\x80\xef\xbf\xbdx\xef\xbf\xbd"));
    QVERIFY(TextCodec::isUtf8(out));
}

void TestTextCodec::splitLines_endsLinesAtCrLfCrOrLf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("cr lf") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("lf") << "a\nb" << QStringList{"a", "b"};
    QTest::newRow("cr") << "a\rb\r" << QStringList{"a", "b"};
    QTest::newRow("lf cr is two line ends") << "a\n\rb" << QStringList{"a", "", "b"};
    QTest::newRow("empty lines kept") << "\r\n\r\nx\r\n\r\n" << QStringList{"", "", "x", ""};
    QTest::newRow("empty text") << "" << QStringList{};
}

void TestTextCodec::splitLines_endsLinesAtCrLfCrOrLf()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QStringList actual;
    for (QStringView line : TextCodec::splitLines(text)) {
        actual << line.toString();
    }
    QCOMPARE(actual, lines);
}

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_text_codec.moc"
