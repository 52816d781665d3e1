#include "search/SearchEngine.h"
#include "search/TextMatcher.h"
#include "store/DatabaseFile.h"
#include "store/LibraryOrdering.h"

#include <QRandomGenerator>
#include <QTest>
#include "ZorbethTestPaths.h"

using Indexes = QList<qsizetype>;

namespace {

// The shared fixture, sorted as the program loads it:
// 0 Alpha/Basics "Dim statement", 1 alpha/basics "Loop forms", 2 Alpha/Strings "Trim text",
// 3 Beta/Files "dim light", 4 Beta/Files "Read lines", 5 Gamma/Zeta "Zeta search",
// 6 x+/Misc "Plus x", 7 x/Misc "Plain x".
CodeArray fixture()
{
    DatabaseFile::ReadResult read =
        DatabaseFile::read(QStringLiteral(ZORBETH_TEST_DATA_DIR "/search/zorbeth.txt"));
    LibraryOrdering::SortCodeByLanguage(read.records);
    return read.records;
}

Indexes matched(const CodeArray& records)
{
    Indexes indexes;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].Matched) {
            indexes << qsizetype(i);
        }
    }
    return indexes;
}

SearchScope everywhere()
{
    return SearchScope(QString(), true, false);
}

} // namespace

class SearchEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void textSearch_findsTheTermAsTyped_data()
    {
        QTest::addColumn<QString>("term");
        QTest::addColumn<bool>("ignoreCase");
        QTest::addColumn<QString>("fields"); // t, k, c for the ticked fields
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("allLanguages");
        QTest::addColumn<bool>("oneLanguageView");
        QTest::addColumn<Indexes>("expected");

        QTest::newRow("exact case") << "dim" << false << "tkc"
                                    << "" << true << false << Indexes{3};
        QTest::newRow("capitals exact") << "DIM" << false << "tkc"
                                        << "" << true << false << Indexes{2};
        QTest::newRow("capitals ignore case") << "DIM" << true << "tkc"
                                              << "" << true << false << Indexes{0, 2, 3};
        QTest::newRow("leading blank exact") << " dim" << false << "tkc"
                                             << "" << true << false << Indexes{};
        QTest::newRow("leading blank ignore case") << " dim" << true << "tkc"
                                                   << "" << true << false << Indexes{2};
        QTest::newRow("titles only") << "x" << false << "t"
                                     << "" << true << false << Indexes{2, 6, 7};
        QTest::newRow("keywords only") << "api" << false << "k"
                                       << "" << true << false << Indexes{5, 6};
        QTest::newRow("code only") << "read" << false << "c"
                                   << "" << true << false << Indexes{4};
        QTest::newRow("no field ticked") << "i" << true << ""
                                         << "" << true << false << Indexes{};
        QTest::newRow("search language in any case") << "i" << true << "tkc"
                                                     << "alpha" << false << false << Indexes{0, 1, 2};
        QTest::newRow("all languages") << "i" << true << "tkc"
                                       << "alpha" << true << false << Indexes{0, 1, 2, 3, 4, 5, 6, 7};
        QTest::newRow("one-language view beats all languages") << "i" << true << "tkc"
                                                               << "beta" << true << true << Indexes{3, 4};
        QTest::newRow("line break starts the keywords when the title is unticked")
            << "\r\nvb" << false << "kc"
            << "" << true << false << Indexes{0};
        QTest::newRow("line break starts the code when it is the only field")
            << "\r\nDim" << false << "c"
            << "" << true << false << Indexes{0};
        QTest::newRow("line break joins title and keywords") << "statement\r\nvb" << false << "tk"
                                                             << "" << true << false << Indexes{0};
        QTest::newRow("unticked keywords are not joined in") << "statement\r\nvb" << false << "tc"
                                                             << "" << true << false << Indexes{};
    }

    void textSearch_findsTheTermAsTyped()
    {
        QFETCH(QString, term);
        QFETCH(bool, ignoreCase);
        QFETCH(QString, fields);
        QFETCH(QString, language);
        QFETCH(bool, allLanguages);
        QFETCH(bool, oneLanguageView);
        QFETCH(Indexes, expected);
        CodeArray records = fixture();
        const SearchEngine::Fields ticked{fields.contains(u't'), fields.contains(u'k'),
                                          fields.contains(u'c')};
        const qsizetype count =
            SearchEngine::TextSearch(records, term, ignoreCase ? Qt::CaseInsensitive : Qt::CaseSensitive,
                                     ticked, false, SearchScope(language, allLanguages, oneLanguageView));
        QCOMPARE(matched(records), expected);
        QCOMPARE(count, expected.size());
    }

    void searchWithin_rightAfterStartFindsNothing()
    {
        CodeArray records = fixture();
        QCOMPARE(SearchEngine::TextSearch(records, QStringLiteral("i"), Qt::CaseInsensitive, {}, true,
                                          everywhere()),
                 0);
        QVERIFY(matched(records).isEmpty());
    }

    void searchWithin_narrowsThePreviousResultsAndCanEmptyThem()
    {
        CodeArray records = fixture();
        SearchEngine::TextSearch(records, QStringLiteral("api"), Qt::CaseSensitive, {}, false, everywhere());
        QCOMPARE(matched(records), (Indexes{5, 6}));
        QCOMPARE(
            SearchEngine::TextSearch(records, QStringLiteral("x"), Qt::CaseSensitive, {}, true, everywhere()),
            1);
        QCOMPARE(matched(records), (Indexes{6}));
        // "dim" matches records outside the set only: the whole set goes.
        QCOMPARE(SearchEngine::TextSearch(records, QStringLiteral("dim"), Qt::CaseSensitive, {}, true,
                                          everywhere()),
                 0);
        QVERIFY(matched(records).isEmpty());
    }

    void deletedRecords_areNeverMatchedByTheListCommands()
    {
        CodeArray records = fixture();
        records[3].Deleted = true;
        records[1].Deleted = true;
        QCOMPARE(SearchEngine::ListAllTitles(records, SearchScope(QStringLiteral("beta"), false, false)), 1);
        QCOMPARE(matched(records), (Indexes{4}));
        QCOMPARE(SearchEngine::ListBookmarked(records, everywhere()), 2);
        QCOMPARE(matched(records), (Indexes{2, 5}));
    }

    void textSearch_passesOverDeletedRecordsLeavingTheirFlag()
    {
        CodeArray records = fixture();
        SearchEngine::TextSearch(records, QStringLiteral("dim"), Qt::CaseSensitive, {}, false, everywhere());
        records[3].Deleted = true;
        QCOMPARE(SearchEngine::TextSearch(records, QStringLiteral("dim"), Qt::CaseSensitive, {}, false,
                                          everywhere()),
                 0);
        QVERIFY(records[3].Matched);
    }

    void listBookmarked_findsCapitalsAndLongerWordsInTheSearchLanguage()
    {
        CodeArray records = fixture();
        QCOMPARE(SearchEngine::ListBookmarked(records, SearchScope(QStringLiteral("alpha"), false, false)),
                 2);
        QCOMPARE(matched(records), (Indexes{1, 2}));
        QCOMPARE(SearchEngine::ListBookmarked(records, SearchScope(QStringLiteral("alpha"), true, false)), 3);
        QCOMPARE(matched(records), (Indexes{1, 2, 5}));
    }

    // The quick matcher must find exactly what QString::indexOf finds, in both modes, whatever the text.
    void textMatcher_agreesWithQString()
    {
        const QString alphabet =
            QStringLiteral("aAbBkKsS\u017F\u212A\u03C3\u03A3\u03C2\u00DF\u1E9E\u0130i\u0131"
                           "\u00E9\u00C9 \r\n") +
            QString::fromUcs4(U"\U00010400\U00010428");
        QRandomGenerator random(7);
        auto randomText = [&](int length) {
            QString text;
            while (text.size() < length) {
                text += alphabet[int(random.bounded(alphabet.size()))];
            }
            return text;
        };
        for (int round = 0; round < 4000; ++round) {
            const QString haystack = randomText(int(random.bounded(80)));
            QString needle = randomText(1 + int(random.bounded(4)));
            if (round % 3 == 0 && haystack.size() > 4) {
                const int from = int(random.bounded(haystack.size() - 3));
                needle = haystack.mid(from, 1 + int(random.bounded(3)));
            }
            for (const Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
                const TextMatcher matcher(needle, cs);
                QCOMPARE(matcher.indexIn(haystack), haystack.indexOf(needle, 0, cs));
            }
        }
    }
};

QTEST_GUILESS_MAIN(SearchEngineTest)
#include "tst_search_engine.moc"
