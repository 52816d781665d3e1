#include "search/WordLists.h"

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
