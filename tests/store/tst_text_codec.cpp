#include "store/TextCodec.h"

#include <QTest>

class TestTextCodec : public QObject
{
    Q_OBJECT

private slots:
    void decode_takesUtf8OnlyWhenValid_data();
    void decode_takesUtf8OnlyWhenValid();
    void appendUtf8_keepsOutputValid();
};

void TestTextCodec::decode_takesUtf8OnlyWhenValid_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    // The padding pushes the interesting bytes past the eight-byte fast path.
    const QByteArray pad = "0123456789";
    QTest::newRow("utf-8") << pad + "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"
                           << QString::fromUtf16(u"0123456789caf\u00e9 \u20ac \U0001F600");
    QTest::newRow("cp1252 table") << pad + "\x80\x93x\x94\x9f"
                                  << QString::fromUtf16(u"0123456789\u20ac\u201cx\u201d\u0178");
    QTest::newRow("undefined bytes keep latin-1")
        << QByteArray("\x81\x8d\x8f\x90\x9d\xe9")
        << QString::fromUtf16(u"\u0081\u008d\u008f\u0090\u009d\u00e9");
    QTest::newRow("overlong") << pad + "\xc0\xaf" << QString::fromUtf16(u"0123456789\u00c0\u00af");
    QTest::newRow("encoded surrogate")
        << pad + "\xed\xa0\x80" << QString::fromUtf16(u"0123456789\u00ed\u00a0\u20ac");
    QTest::newRow("beyond U+10FFFF") << pad + "\xf4\x90\x80\x80"
                                     << QString::fromUtf16(u"0123456789\u00f4\u0090\u20ac\u20ac");
    QTest::newRow("cut at end") << pad + "\xe2\x82" << QString::fromUtf16(u"0123456789\u00e2\u201a");
}

void TestTextCodec::decode_takesUtf8OnlyWhenValid()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(TextCodec::decode(bytes), text);
}

void TestTextCodec::appendUtf8_keepsOutputValid()
{
    const QString text =
        QString::fromUtf16(u"ab\u00e9cdefgh\u20ac\U0001F600") + QChar(0xD800) + "x" + QChar(0xDC00);
    QByteArray out = "head:";
    TextCodec::appendUtf8(out, text);
    QCOMPARE(out, QByteArray("head:ab\xc3\xa9"
                             "cdefgh\xe2\x82\xac\xf0\x9f\x98\x80\xef\xbf\xbdx\xef\xbf\xbd"));
    QCOMPARE(TextCodec::detect(out), TextCodec::Encoding::Utf8);
}

QTEST_GUILESS_MAIN(TestTextCodec)
#include "tst_text_codec.moc"
