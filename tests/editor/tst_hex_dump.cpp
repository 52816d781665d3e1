#include "editor/HexDump.h"

#include <QTest>

class TestHexDump : public QObject
{
    Q_OBJECT

private slots:
    void format_laysOutBlocksOfEight_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty") << QString() << QStringList();
        QTest::newRow("nine characters")
            << QStringLiteral("ABCDEFGHI")
            << QStringList{QStringLiteral("000000 41 42 43 44 45 46 47 48  ABCDEFGH"),
                           QStringLiteral("000008 49                       I")};
        QTest::newRow("tab and line ends")
            << QStringLiteral("a\tb\r\nc")
            << QStringList{QStringLiteral("000000 61 09 62 0D 0A 63        a.b..c")};
        QTest::newRow("offsets in upper-case hex")
            << QString(17, QLatin1Char('z'))
            << QStringList{QStringLiteral("000000 7A 7A 7A 7A 7A 7A 7A 7A  zzzzzzzz"),
                           QStringLiteral("000008 7A 7A 7A 7A 7A 7A 7A 7A  zzzzzzzz"),
                           QStringLiteral("000010 7A                       z")};
        QTest::newRow("single-byte code page")
            << QString::fromUtf16(u"\u20ac\u00e9\u4e2d\U0001F600")
            << QStringList{
                   QString::fromUtf16(u"000000 80 E9 3F 3F              \u20ac\u00e9\u4e2d\U0001F600")};
        QTest::newRow("other controls keep the columns")
            << QString::fromUtf16(u"x\u0000\u000c\u2028y", 5)
            << QStringList{QStringLiteral("000000 78 00 0C 3F 79           x...y")};
    }

    void format_laysOutBlocksOfEight()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(HexDump::format(text), lines.join(QStringLiteral("\r\n")));
    }

    void format_givesEveryFullLineFortyColumns()
    {
        const QStringList lines =
            HexDump::format(QString(100, QLatin1Char('q'))).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 13);
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            QCOMPARE(lines[i].size(), HexDump::LineWidth);
        }
        QCOMPARE(lines.last().size(), HexDump::TextColumn + 4);
    }
};

QTEST_GUILESS_MAIN(TestHexDump)
#include "tst_hex_dump.moc"
