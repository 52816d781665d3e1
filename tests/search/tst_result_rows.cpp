#include "search/ResultRows.h"
#include "search/SearchEngine.h"
#include "store/DatabaseFile.h"
#include "store/LibraryOrdering.h"
#include "ZorbethTestPaths.h"

#include <QRandomGenerator>
#include <QTest>

using namespace ResultRows;

namespace {

CodeArray fixture()
{
    DatabaseFile::ReadResult read =
        DatabaseFile::read(QStringLiteral(ZORBETH_TEST_DATA_DIR "/search/zorbeth.txt"));
    LibraryOrdering::SortCodeByLanguage(read.records);
    return read.records;
}

Rows allRows()
{
    CodeArray records = fixture();
    SearchEngine::ListAllTitles(records, SearchScope(QString(), true, false));
    return FillListView(records, false, QString());
}

QStringList titles(const Rows& rows)
{
    QStringList list;
    for (const Row& row : rows) {
        list << row.title;
    }
    return list;
}

} // namespace

class ResultRowsTest : public QObject
{
    Q_OBJECT

private slots:
    void fillListView_listsMatchedRecordsInLibraryOrderWithTheirNodeKeys()
    {
        CodeArray records = fixture();
        SearchEngine::TextSearch(records, QStringLiteral("x"), Qt::CaseSensitive, {}, false,
                                 SearchScope(QString(), true, false));
        records[2].Deleted = true;
        const Rows rows = FillListView(records, false, QString());
        QCOMPARE(titles(rows), (QStringList{"Dim statement", "Loop forms", "Plus x", "Plain x"}));
        QCOMPARE(rows[2].id(), QStringLiteral("T6"));
        QCOMPARE(rows[2].key(), QStringLiteral("I6"));
        QCOMPARE(rows[2].text(LanguageColumn), QStringLiteral("x+"));
        QCOMPARE(rows[2].text(DateColumn), QStringLiteral("2024-03-01 10:00:00"));
    }

    void fillListView_inTheOneLanguageViewKeepsTheShownLanguage()
    {
        CodeArray records = fixture();
        SearchEngine::ListAllTitles(records, SearchScope(QString(), true, false));
        QCOMPARE(titles(FillListView(records, true, QStringLiteral("alpha"))),
                 (QStringList{"Dim statement", "Loop forms", "Trim text"}));
    }

    void columnClick_sortsAscendingThenDescendingPerColumn_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QStringList>("ascending");
        // Whole lower-cased keys: "x+:::" sorts before "x:::" because "+" is below ":".
        QTest::newRow("language") << int(LanguageColumn)
                                  << QStringList{"Dim statement", "Loop forms",  "Trim text", "dim light",
                                                 "Read lines",    "Zeta search", "Plus x",    "Plain x"};
        QTest::newRow("category") << int(CategoryColumn)
                                  << QStringList{"Dim statement", "Loop forms", "dim light", "Read lines",
                                                 "Plain x",       "Plus x",     "Trim text", "Zeta search"};
        QTest::newRow("title") << int(TitleColumn)
                               << QStringList{"dim light", "Dim statement", "Loop forms", "Plain x",
                                              "Plus x",    "Read lines",    "Trim text",  "Zeta search"};
        QTest::newRow("date") << int(DateColumn)
                              << QStringList{"dim light",  "Loop forms", "Dim statement", "Zeta search",
                                             "Read lines", "Trim text",  "Plus x",        "Plain x"};
    }

    void columnClick_sortsAscendingThenDescendingPerColumn()
    {
        QFETCH(int, column);
        QFETCH(QStringList, ascending);
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        Rows rows = allRows();
        ColumnSort sort;
        for (const QStringList& expected : {ascending, descending, ascending}) {
            QVERIFY(sort.nextAscending(column) == (expected == ascending));
            sort.lstResults_ColumnClick(rows, column);
            QCOMPARE(titles(rows), expected);
        }
    }

    void columnClick_directionsAreKeptPerColumn()
    {
        Rows rows = allRows();
        ColumnSort sort;
        sort.lstResults_ColumnClick(rows, TitleColumn);
        sort.lstResults_ColumnClick(rows, TitleColumn);
        sort.lstResults_ColumnClick(rows, TitleColumn);
        QVERIFY(!sort.nextAscending(TitleColumn));
        sort.lstResults_ColumnClick(rows, CategoryColumn);
        QCOMPARE(rows.front().title, QStringLiteral("Dim statement"));
        QVERIFY(!sort.nextAscending(TitleColumn));
        QVERIFY(sort.nextAscending(DateColumn));
    }

    void columnClick_onTheIdColumnKeepsTheOrderAndRenumbersTheRows()
    {
        Rows rows = allRows();
        ColumnSort sort;
        sort.lstResults_ColumnClick(rows, DateColumn);
        const QStringList before = titles(rows);
        sort.lstResults_ColumnClick(rows, IdColumn);
        QCOMPARE(titles(rows), before);
        QVERIFY(!sort.nextAscending(DateColumn));
        QVERIFY(sort.nextAscending(TitleColumn));
        // Rows are numbered by position now; their ID still names the record's node.
        QCOMPARE(rows[0].key(), QStringLiteral("I0"));
        QCOMPARE(rows[0].id(), QStringLiteral("T3"));
    }

    void columnClick_keepsTheOrderOfEqualKeys()
    {
        CodeArray records = fixture();
        records[7].Title = records[6].Title = QStringLiteral("Same");
        SearchEngine::ListAllTitles(records, SearchScope(QString(), true, false));
        Rows rows = FillListView(records, false, QString());
        ColumnSort sort;
        for (int click = 0; click < 2; ++click) {
            sort.lstResults_ColumnClick(rows, TitleColumn);
            const auto first =
                std::find_if(rows.begin(), rows.end(), [](const Row& r) { return r.title == "Same"; });
            QCOMPARE(first->id(), QStringLiteral("T6"));
            QCOMPARE((first + 1)->id(), QStringLiteral("T7"));
        }
    }

    // Random texts from a small alphabet (so keys share prefixes and repeat) that holds what orders
    // unlike ASCII: capitals, a NUL, letters past Latin-1, a surrogate pair and a unit above it.
    void columnClick_ordersAsSortingTheKeysAsStrings_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<quint32>("seed");
        QTest::newRow("few") << 40 << 1u;
        QTest::newRow("hundreds") << 700 << 2u;
        QTest::newRow("enough for two halves") << 70000 << 3u;
    }

    void columnClick_ordersAsSortingTheKeysAsStrings()
    {
        QFETCH(int, count);
        QFETCH(quint32, seed);
        static const QString alphabet = QStringLiteral("aAb:-\u00e9\u00c9\u0130\U0001F600\uFF21") + QChar(0);
        QRandomGenerator random(seed);
        auto text = [&] {
            QString t;
            for (int n = int(random.bounded(7)); n > 0; --n) {
                t += alphabet.at(random.bounded(int(alphabet.size())));
            }
            return t;
        };
        Rows rows;
        for (int i = 0; i < count; ++i) {
            rows.push_back({text(), text(), text(), text(), i, i});
        }
        for (const int column : {LanguageColumn, CategoryColumn, TitleColumn, DateColumn}) {
            ColumnSort sort;
            Rows sorted = rows;
            for (const bool ascending : {true, false}) {
                std::vector<std::pair<QString, qsizetype>> expected;
                for (const Row& row : sorted) {
                    expected.emplace_back(sortKey(row, column), row.index);
                }
                std::stable_sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
                    return ascending ? a.first < b.first : b.first < a.first;
                });
                sort.lstResults_ColumnClick(sorted, column);
                for (size_t i = 0; i < sorted.size(); ++i) {
                    QCOMPARE(sorted[i].index, expected[i].second);
                    QCOMPARE(sorted[i].rowKey, qsizetype(i));
                }
            }
        }
    }

    void copyTitles_joinsWithLineBreaksBetweenOnly()
    {
        Rows rows = allRows();
        rows.resize(2);
        QCOMPARE(CopyTitles(rows), QStringLiteral("Dim statement\r\nLoop forms"));
        rows.resize(1);
        QCOMPARE(CopyTitles(rows), QStringLiteral("Dim statement"));
        QCOMPARE(CopyTitles({}), QString());
    }
};

QTEST_GUILESS_MAIN(ResultRowsTest)
#include "tst_result_rows.moc"
