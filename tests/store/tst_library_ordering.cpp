#include "store/LibraryOrdering.h"

#include <QRandomGenerator>
#include <QTest>

class TestLibraryOrdering : public QObject
{
    Q_OBJECT

private slots:
    void sort_ordersByLowerCasedKeyCodeUnits_data();
    void sort_ordersByLowerCasedKeyCodeUnits();
    void sort_keepsEqualKeysInTheirOrderAndEveryField();
    void sort_ordersAManyAsAStableSortOfTheKeys_data();
    void sort_ordersAManyAsAStableSortOfTheKeys();
};

void TestLibraryOrdering::sort_ordersByLowerCasedKeyCodeUnits_data()
{
    // Each entry is "language/category/title".
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QStringList>("sorted");

    QTest::newRow("separator after + . and digits")
        << QStringList{"SQL//", "ASP//", "SQL92//", "SQL+//", "ASP.NET//"}
        << QStringList{"ASP.NET//", "ASP//", "SQL+//", "SQL92//", "SQL//"};
    QTest::newRow("prefix first") << QStringList{"Adabas//", "Ada//"} << QStringList{"Ada//", "Adabas//"};
    QTest::newRow("case differences group together")
        << QStringList{"html//", "Java//", "HTML//", "css//", "Html//"}
        << QStringList{"css//", "html//", "HTML//", "Html//", "Java//"};
    QTest::newRow("then category, then title")
        << QStringList{"B/y/1", "b/X/2", "a/z/0", "B/x/1"} << QStringList{"a/z/0", "B/x/1", "b/X/2", "B/y/1"};
    QTest::newRow("non-ascii lowered too")
        << QStringList{QString::fromUtf16(u"\u00c9/c/t"), QString::fromUtf16(u"\u00e9/b/t"), "z/a/t"}
        << QStringList{"z/a/t", QString::fromUtf16(u"\u00e9/b/t"), QString::fromUtf16(u"\u00c9/c/t")};
}

void TestLibraryOrdering::sort_ordersByLowerCasedKeyCodeUnits()
{
    QFETCH(QStringList, records);
    QFETCH(QStringList, sorted);
    CodeArray array;
    for (const QString& text : records) {
        const QStringList parts = text.split(u'/');
        SnippetRecord r;
        r.Language = parts[0];
        r.Category = parts[1];
        r.Title = parts[2];
        array.push_back(r);
    }
    LibraryOrdering::SortCodeByLanguage(array);
    QStringList got;
    for (const SnippetRecord& r : array) {
        got << r.Language + u'/' + r.Category + u'/' + r.Title;
    }
    QCOMPARE(got, sorted);
}

void TestLibraryOrdering::sort_keepsEqualKeysInTheirOrderAndEveryField()
{
    CodeArray array;
    for (int i = 0; i < 50; ++i) {
        SnippetRecord r;
        r.Language = i % 2 ? "Zed" : "zED";
        r.Code = QString::number(i);
        r.ObjectStart = i;
        r.Deleted = i == 7;
        array.push_back(r);
    }
    array.push_back(SnippetRecord());
    const CodeArray original = array;
    LibraryOrdering::SortCodeByLanguage(array);

    QCOMPARE(array.front(), original.back());
    QVERIFY(std::equal(original.begin(), original.end() - 1, array.begin() + 1, array.end()));
    QCOMPARE(LibraryOrdering::sortKey(original[0]), QString("zed::::::"));
}

void TestLibraryOrdering::sort_ordersAManyAsAStableSortOfTheKeys_data()
{
    // Letters that share prefixes, repeat, lower-case to other lengths and order by UTF-16 unit unlike
    // by code point. A surrogate pair, or one unit of it, changes how Qt lower-cases what follows.
    const QString letters = QStringLiteral("aAb\u00c9\u0130\uFF21") + QChar(0);
    const QString pair = QStringLiteral("\U0001F600");
    QTest::addColumn<QString>("beginnings"); // the letters of languages and categories
    QTest::addColumn<QString>("titles");
    // With a colon, "a" + ":::" + "" + ":::" begins "a" + ":::" + ":" + ":::", and a title is compared
    // with the rest of a category.
    QTest::newRow("beginnings that begin others") << letters + u':' + pair << letters + u':' + pair;
    QTest::newRow("beginnings ranked apart") << letters << letters + u':';
    QTest::newRow("surrogates in titles") << letters << letters + pair;
    QTest::newRow("surrogates in beginnings") << letters + pair << letters;
    QTest::newRow("one language and category") << QString() << letters + u':';
}

// Enough records to be sorted in two halves, checked against a stable sort of the whole keys.
void TestLibraryOrdering::sort_ordersAManyAsAStableSortOfTheKeys()
{
    QFETCH(QString, beginnings);
    QFETCH(QString, titles);
    QRandomGenerator random(20261207);
    auto text = [&](const QString& alphabet) {
        QString t;
        for (int n = alphabet.isEmpty() ? 0 : int(random.bounded(6)); n > 0; --n) {
            t += alphabet.at(random.bounded(int(alphabet.size())));
        }
        return t;
    };
    CodeArray array(70000);
    for (size_t i = 0; i < array.size(); ++i) {
        array[i].Language = text(beginnings);
        array[i].Category = text(beginnings);
        array[i].Title = text(titles);
        array[i].ObjectStart = qint32(i);
    }
    std::vector<std::pair<QString, qint32>> expected;
    for (const SnippetRecord& r : array) {
        expected.emplace_back(LibraryOrdering::sortKey(r), r.ObjectStart);
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    LibraryOrdering::SortCodeByLanguage(array);
    for (size_t i = 0; i < array.size(); ++i) {
        QCOMPARE(array[i].ObjectStart, expected[i].second);
    }
}

QTEST_GUILESS_MAIN(TestLibraryOrdering)
#include "tst_library_ordering.moc"
