#include "search/WordSplitting.h"

#include <QRandomGenerator>
#include <QTest>

using namespace WordSplitting;

namespace {

struct Split
{
    QList<QPair<qsizetype, qsizetype>> pieces; // the non-empty pieces, as start and end
    qsizetype boundaries = 0;
};

// The rule read one byte at a time: a boundary ends a piece; a CR does when an LF follows, and the
// LF goes with it.
Split byteByByte(const QByteArray& text, const SplitRule& rule)
{
    Split split;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const quint8 kind = rule.kinds[uchar(text[i])];
        const bool pair = kind == CarriageReturn && i + 1 < text.size() && text[i + 1] == '\n';
        if (kind == Boundary || pair) {
            if (i > start) {
                split.pieces.append({start, i});
            }
            ++split.boundaries;
            i += pair ? 1 : 0;
            start = i + 1;
        }
    }
    if (text.size() > start) {
        split.pieces.append({start, text.size()});
    }
    return split;
}

// The same text walked as the word lists walk it.
Split byBlocks(const QByteArray& text, const SplitRule& rule)
{
    Split split;
    SeparatorBlocks blocks(reinterpret_cast<const uchar*>(text.constData()), text.size(), rule);
    split.boundaries = blocks.forEachPiece([&](qsizetype begin, qsizetype end) {
        split.pieces.append({begin, end});
    });
    return split;
}

} // namespace

class WordSplittingTest : public QObject
{
    Q_OBJECT

private slots:
    void blocks_splitAsTheRuleReadByteByByte_data()
    {
        QTest::addColumn<QByteArray>("boundaries");
        QTest::addColumn<bool>("crLfSplits");
        QTest::newRow("word list rule") << QByteArray("*+'&?@[]#$%{},!()<\\|/>-.:;=\"\t ") << true;
        QTest::newRow("keyword rule") << QByteArray(" ,") << false;
        // More ranges than are compared sixteen bytes at a time: looked up byte by byte.
        QTest::newRow("every other character")
            << QByteArray("!#%')+-/13579;=?ACEGIKMOQSUWY[]_acegikmoqsuwy{}\t ") << true;
    }

    // Text of boundaries, CRs, LFs, word bytes and bytes above 0x7f, of many lengths, so that pieces
    // and CR LF pairs fall across and at the edges of 64-byte blocks and at the end.
    void blocks_splitAsTheRuleReadByteByByte()
    {
        QFETCH(QByteArray, boundaries);
        QFETCH(bool, crLfSplits);
        const QByteArray alphabet("ab \t,.=\r\n\r\n\x80\xc3\xa9_~\x00Z", 18);
        const SplitRule rule = splitRule(boundaries.constData(), crLfSplits);
        QRandomGenerator random(7);
        for (int round = 0; round < 400; ++round) {
            QByteArray text;
            const int length = round < 200 ? round : int(random.bounded(600));
            for (int i = 0; i < length; ++i) {
                text += alphabet[int(random.bounded(alphabet.size()))];
            }
            if (round % 7 == 0 && length > 65) {
                // A CR LF pair across the first two blocks.
                text[63] = '\r';
                text[64] = '\n';
            }
            const Split expected = byteByByte(text, rule);
            const Split found = byBlocks(text, rule);
            QVERIFY2(found.pieces == expected.pieces && found.boundaries == expected.boundaries,
                     text.toHex().constData());
        }
    }
};

QTEST_GUILESS_MAIN(WordSplittingTest)
#include "tst_word_splitting.moc"
