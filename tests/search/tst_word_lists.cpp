#include "search/WordLists.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTest>

namespace {

SnippetRecord record(const QString& language, const QString& title, const QString& keywords,
                     const QString& code)
{
    SnippetRecord r;
    r.Language = language;
    r.Category = QStringLiteral("General");
    r.Title = title;
    r.Keywords = keywords;
    r.Code = code;
    return r;
}

const SearchScope Everywhere(QString(), true, false);

// The rule written out plainly: the fields joined, every boundary made a blank, split at blanks.
WordLists::WordList reference(const CodeArray& records, bool all)
{
    QString text;
    for (const SnippetRecord& r : records) {
        text += u' ' + r.Keywords;
        if (all) {
            text += u' ' + r.Title + u' ' + r.Code.toString();
        }
    }
    if (all) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        for (const QChar c : QStringLiteral("*+'&?@[]#$%{},!()<\\|/>-.:;=\"\t")) {
            text.replace(c, u' ');
        }
    } else {
        text.replace(u',', u' ');
    }
    const QStringList pieces = text.split(u' ');
    QSet<QString> distinct;
    for (const QString& piece : pieces) {
        const QString word = piece.toLower();
        if (word.size() >= (all ? 2 : 1)) {
            distinct.insert(word);
        }
    }
    QStringList words(distinct.begin(), distinct.end());
    std::sort(words.begin(), words.end());
    return {words, text.isEmpty() ? 0 : pieces.size()};
}

// Text drawn from an alphabet that is mostly word characters and boundaries, with CR and LF apart
// and together, letters that change length or leave ASCII when lower-cased, and a surrogate pair.
QString randomText(QRandomGenerator& random, int longest)
{
    static const QStringList Alphabet = {"a",
                                         "b",
                                         "Q",
                                         "Z",
                                         "_",
                                         "7",
                                         "~",
                                         "^",
                                         " ",
                                         ",",
                                         ".",
                                         "(",
                                         "=",
                                         "\"",
                                         "\t",
                                         "\r",
                                         "\n",
                                         "\r\n",
                                         "ab",
                                         "AB",
                                         "Zz",
                                         "x1",
                                         "[",
                                         "}",
                                         "@",
                                         QString(QChar(0)),
                                         QStringLiteral("\u00c9"),
                                         QStringLiteral("\u00e9"),
                                         QStringLiteral("\u212a"),
                                         QStringLiteral("\u0130"),
                                         QStringLiteral("\u00df"),
                                         QStringLiteral("\U0001F600")};
    QString text;
    const int length = int(random.bounded(longest + 1));
    while (text.size() < length) {
        // Long runs of word characters too, so that words cross 64-byte blocks and fill several chunks.
        const QString piece = Alphabet[int(random.bounded(qsizetype(Alphabet.size())))];
        text += random.bounded(8) == 0 ? piece.repeated(int(random.bounded(1, 30))) : piece;
    }
    return text;
}

} // namespace

class WordListsTest : public QObject
{
    Q_OBJECT

private slots:
    void allWords_splitsAtSeparatorsAndDropsSingleCharacters_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("declaration") << "Dim x As Long, y" << QStringList{"as", "dim", "long"};
        QTest::newRow("underscore and dot")
            << "my_function(obj.Method)" << QStringList{"method", "my_function", "obj"};
        QTest::newRow("case merged") << "Print PRINT print" << QStringList{"print"};
        QTest::newRow("CR LF splits") << "ab\r\ncd" << QStringList{"ab", "cd"};
        QTest::newRow("lone LF stays") << "ab\ncd" << QStringList{"ab\ncd"};
        QTest::newRow("every separator")
            << "a1*a2+a3'a4&a5?a6@a7[a8]a9#b1$b2{b3}b4,b5!b6(b7)b8<b9\\c1|c2/c3>c4%c5-c6.c7:c8;c9=d1\"d2\td3"
            << QStringList{"a1", "a2", "a3", "a4", "a5", "a6", "a7", "a8", "a9", "b1",
                           "b2", "b3", "b4", "b5", "b6", "b7", "b8", "b9", "c1", "c2",
                           "c3", "c4", "c5", "c6", "c7", "c8", "c9", "d1", "d2", "d3"};
        QTest::newRow("non-ASCII lower-cased") << QStringLiteral("ÉCRIRE écrire Ä") << QStringList{"écrire"};
        QTest::newRow("Kelvin sign lower-cased to ASCII")
            << QStringLiteral("\u212Aelvin kelvin KELVIN") << QStringList{"kelvin"};
        QTest::newRow("words of eight and nine letters")
            << "Abcdefgh abcdefgh ABCDEFGHI abcdefghi x abcdefghij"
            << QStringList{"abcdefgh", "abcdefghi", "abcdefghij"};
        // A word of one chunk is told from another by its chunk and length alone; longer ones only
        // differ further on.
        QTest::newRow("words alike in their first eight letters")
            << "abcdefghi abcdefghj abcdefghij abcdefghik abcdefgh abcdefgh"
            << QStringList{"abcdefgh", "abcdefghi", "abcdefghij", "abcdefghik", "abcdefghj"};
        QTest::newRow("a word and the same word with a NUL after it")
            << QStringLiteral("ab ab") + QChar(0) + QStringLiteral(" ab")
            << QStringList{"ab", QStringLiteral("ab") + QChar(0)};
    }

    void allWords_splitsAtSeparatorsAndDropsSingleCharacters()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, words);
        const WordLists::WordList list = WordLists::allWords({record("VB", "", "", code)}, Everywhere);
        QCOMPARE(list.words, words);
    }

    void allWords_drawsOnKeywordsTitlesAndCodeOfTheScopeInCodeOrder()
    {
        CodeArray records = {record("VB", "Zebra title", "beta", "alpha"), record("vb", "", "", "Gamma"),
                             record("SQL", "select", "", "from")};
        records.push_back(record("VB", "deleted", "", ""));
        records.back().Deleted = true;
        const WordLists::WordList list =
            WordLists::allWords(records, SearchScope(QStringLiteral("vb"), false, false));
        QCOMPARE(list.words, (QStringList{"alpha", "beta", "gamma", "title", "zebra"}));
    }

    void allWordsStatus_countsEmptyPiecesInTheSecondNumber()
    {
        // " kw title code": blank, "x", blank, "ab", blank, "cd", blank, "", blank, "ef" -> 6 pieces.
        WordLists::WordList list = WordLists::allWords({record("VB", "ab", "x", "cd  ef")}, Everywhere);
        QCOMPARE(WordLists::allWordsStatus(list), QStringLiteral("3 unique words found from list of 5"));
        list = WordLists::allWords({record("VB", "ab", "x", "cd   ef")}, Everywhere);
        QCOMPARE(WordLists::allWordsStatus(list), QStringLiteral("3 unique words found from list of 6"));
    }

    void keyWords_splitsAtBlanksAndCommasKeepingSingleCharacters()
    {
        const CodeArray records = {record("VB", "title", "API, Win32,api", "code"),
                                   record("VB", "", "a  b", ""), record("C", "", "other", "")};
        const WordLists::WordList list =
            WordLists::keyWords(records, SearchScope(QStringLiteral("vb"), false, false));
        QCOMPARE(list.words, (QStringList{"a", "api", "b", "win32"}));
        QCOMPARE(WordLists::keyWordsStatus(list), QStringLiteral("4 unique words found"));
    }

    void emptyScope_givesNoWordsAndZeroCounts()
    {
        const CodeArray records = {record("VB", "title", "kw", "code")};
        const SearchScope nowhere(QStringLiteral("cobol"), false, false);
        const WordLists::WordList all = WordLists::allWords(records, nowhere);
        QVERIFY(all.words.isEmpty());
        QCOMPARE(WordLists::allWordsStatus(all), QStringLiteral("0 unique words found from list of 0"));
        QCOMPARE(WordLists::keyWordsStatus(WordLists::keyWords({}, Everywhere)),
                 QStringLiteral("0 unique words found"));
    }

    // The lists found piece by piece, in slices and merged, are the ones the plain rule gives.
    void randomRecords_giveWhatThePlainRuleGives_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("longest");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("one short record") << 1 << 40 << 1u;
        QTest::newRow("a few long records") << 20 << 700 << 2u;
        QTest::newRow("many records, read in slices") << 6000 << 120 << 3u;
        QTest::newRow("many records, another draw") << 6000 << 120 << 4u;
    }

    void randomRecords_giveWhatThePlainRuleGives()
    {
        QFETCH(int, count);
        QFETCH(int, longest);
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        CodeArray records;
        for (int i = 0; i < count; ++i) {
            records.push_back(record("VB", randomText(random, longest / 4), randomText(random, longest / 4),
                                     randomText(random, longest)));
        }
        for (const bool all : {true, false}) {
            const WordLists::WordList expected = reference(records, all);
            const WordLists::WordList list =
                all ? WordLists::allWords(records, Everywhere) : WordLists::keyWords(records, Everywhere);
            QCOMPARE(list.words, expected.words);
            QCOMPARE(list.pieces, expected.pieces);
        }
    }

    void manyRecords_giveTheSameWordsAsOne()
    {
        // Large libraries are read in slices; the merged list must be the same.
        CodeArray records;
        for (int i = 0; i < 12000; ++i) {
            records.push_back(record("VB", QStringLiteral("t%1").arg(i % 5000), "Key", "shared word"));
        }
        const WordLists::WordList list = WordLists::allWords(records, Everywhere);
        QCOMPARE(list.words.size(), 5000 + 3);
        QVERIFY(std::is_sorted(list.words.begin(), list.words.end()));
        QCOMPARE(list.pieces, qsizetype(12000) * 4 + 1);
    }
};

QTEST_GUILESS_MAIN(WordListsTest)
#include "tst_word_lists.moc"
