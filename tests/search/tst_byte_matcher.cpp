#include "search/ByteMatcher.h"
#include "search/TextMatcher.h"

#include <QTest>
#include <random>

// Looking for a term in UTF-8 bytes must never miss a text that holds it, and a hit it calls exact
// must be a match: checked against the text search on many random texts.
class TestByteMatcher : public QObject
{
    Q_OBJECT

private slots:
    void bytes_findEveryTextThatHoldsTheTerm_data();
    void bytes_findEveryTextThatHoldsTheTerm();
    void unusableTerms_areLeftToTheText_data();
    void unusableTerms_areLeftToTheText();
};

void TestByteMatcher::bytes_findEveryTextThatHoldsTheTerm_data()
{
    QTest::addColumn<QString>("term");
    QTest::addColumn<bool>("ignoreCase");
    QTest::addColumn<bool>("exact");
    const QString kelvin(QChar(0x212A));
    const QString longS(QChar(0x017F));
    const QList<std::tuple<const char*, QString, bool, bool>> rows = {
        {"ascii", "ab", false, true},
        {"ascii ignoring case", "aB", true, true},
        {"k ignoring case (Kelvin sign)", "ok", true, false},
        {"s ignoring case (long s)", "as", true, false},
        {"sharp s", QString::fromUtf8("aß"), true, false},
        {"umlauts exact", QString::fromUtf8("äÖ"), false, true},
        {"dotted I", QString::fromUtf8("İa"), true, false},
        {"dotless i", QString::fromUtf8("ıa"), true, false},
        {"emoji", QString::fromUtf8("a😀"), false, true},
        {"punctuation", "a-(", true, true},
        {"long term", "abcab", true, true},
    };
    for (const auto& [name, term, ignoreCase, exact] : rows) {
        QTest::newRow(name) << term << ignoreCase << exact;
    }
}

void TestByteMatcher::bytes_findEveryTextThatHoldsTheTerm()
{
    QFETCH(QString, term);
    QFETCH(bool, ignoreCase);
    QFETCH(bool, exact);
    const Qt::CaseSensitivity cs = ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const ByteMatcher bytes(term, cs);
    const TextMatcher text(term, cs);
    QVERIFY(bytes.usable());
    QCOMPARE(bytes.exact(), exact);
    // Texts made of the letters that fold alike, so that matches of every kind turn up.
    const QList<QChar> alphabet = {
        u'a',        u'A',        u'b',          u'B',         u'k',          u'K',        QChar(0x212A),
        u's',        u'S',        QChar(0x017F), QChar(0xDF),  QChar(0x1E9E), QChar(0xE4), QChar(0xC4),
        QChar(0xD6), QChar(0xF6), QChar(0x130),  QChar(0x131), u'i',          u'I',        u'-',
        u'(',        u'o',        u'O',          u'c',         u'C'};
    std::mt19937 random(qHash(term));
    int found = 0;
    for (int n = 0; n < 20000; ++n) {
        QString haystack;
        const int length = int(random() % 40);
        for (int i = 0; i < length; ++i) {
            if (random() % 30 == 0) {
                haystack += QString::fromUtf8("😀");
            } else {
                haystack += alphabet[int(random() % alphabet.size())];
            }
        }
        if (random() % 4 == 0) {
            haystack.insert(int(random() % (haystack.size() + 1)), term);
        }
        const bool holds = text.isIn(haystack);
        const bool hit = bytes.isIn(haystack.toUtf8());
        found += holds ? 1 : 0;
        QVERIFY2(!holds || hit, qPrintable(QStringLiteral("missed in ") + haystack));
        if (exact) {
            QVERIFY2(hit == holds, qPrintable(QStringLiteral("false hit in ") + haystack));
        }
    }
    QVERIFY(found > 1000);
}

void TestByteMatcher::unusableTerms_areLeftToTheText_data()
{
    QTest::addColumn<QString>("term");
    QTest::addColumn<bool>("ignoreCase");
    QTest::newRow("line break") << QStringLiteral("a\r\nb") << false;
    QTest::newRow("lone surrogate") << QString(QChar(0xD83D)) << false;
    QTest::newRow("only letters beyond ASCII, ignoring case") << QString::fromUtf8("ÄÖ") << true;
    QTest::newRow("only k and s, ignoring case") << QStringLiteral("ks") << true;
}

void TestByteMatcher::unusableTerms_areLeftToTheText()
{
    QFETCH(QString, term);
    QFETCH(bool, ignoreCase);
    QVERIFY(!ByteMatcher(term, ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive).usable());
}

QTEST_GUILESS_MAIN(TestByteMatcher)
#include "tst_byte_matcher.moc"
