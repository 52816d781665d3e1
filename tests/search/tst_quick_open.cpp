#include "search/FuzzyMatch.h"
#include "search/QuickOpenIndex.h"
#include "store/LibraryOrdering.h"

#include <QTest>
#include <random>

namespace {

// Records from "Language|Category|Title|Keywords" lines, a line starting with "-" a deleted record, in
// library order as the program holds them after loading.
CodeArray library(const QStringList& lines)
{
    CodeArray records;
    for (QString line : lines) {
        SnippetRecord r;
        if (line.startsWith(u'-')) {
            r.Deleted = true;
            line.remove(0, 1);
        }
        const QStringList parts = line.split(u'|');
        r.Language = parts.value(0);
        r.Category = parts.value(1);
        r.Title = parts.value(2);
        r.Keywords = parts.value(3);
        records.push_back(r);
    }
    LibraryOrdering::SortCodeByLanguage(records);
    return records;
}

QStringList rowTexts(const CodeArray& records, const std::vector<QuickOpenIndex::Row>& rows)
{
    QStringList texts;
    for (const QuickOpenIndex::Row& row : rows) {
        texts << QuickOpenIndex::rowText(records[size_t(row.index)]);
    }
    return texts;
}

} // namespace

class QuickOpenTest : public QObject
{
    Q_OBJECT

private slots:
    void ranking_data()
    {
        QTest::addColumn<QStringList>("records");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("characters that follow each other first")
            << QStringList{"Go|Files|Rename a directory", "Go|Files|Read lines"} << "read"
            << QStringList{"Read lines — Go › Files", "Rename a directory — Go › Files"};
        QTest::newRow("word starts before letters inside a word")
            << QStringList{"Go|Misc|Info box", "Go|Misc|File open"} << "fo"
            << QStringList{"File open — Go › Misc", "Info box — Go › Misc"};
        QTest::newRow("camel case starts words")
            << QStringList{"Go|Misc|Trolley list", "Go|Misc|readLineList"} << "rll"
            << QStringList{"readLineList — Go › Misc", "Trolley list — Go › Misc"};
        QTest::newRow("shorter title first")
            << QStringList{"Go|Misc|Sort list of names", "Go|Misc|Sort"} << "sort"
            << QStringList{"Sort — Go › Misc", "Sort list of names — Go › Misc"};
        QTest::newRow("titles above keywords above the path")
            << QStringList{"Go|Misc|Compress|zip archive", "Zig|Impl|Thing", "Go|Misc|Unzip file"} << "zip"
            << QStringList{"Unzip file — Go › Misc", "Compress — Go › Misc", "Thing — Zig › Impl"};
        QTest::newRow("language and category as one path")
            << QStringList{"Python|Files|Open", "Perl|Strings|Open"} << "pyfi"
            << QStringList{"Open — Python › Files"};
        QTest::newRow("letter case does not matter")
            << QStringList{"Go|Misc|read me", "Go|Misc|dear"} << "READ" << QStringList{"read me — Go › Misc"};
        QTest::newRow("characters in their order only")
            << QStringList{"Go|Misc|ab", "Go|Misc|bat"} << "ba" << QStringList{"bat — Go › Misc"};
        QTest::newRow("blanks typed are left out") << QStringList{"Go|Misc|Open quick", "Go|Misc|Quick open"}
                                                   << "qu op" << QStringList{"Quick open — Go › Misc"};
        QTest::newRow("equal matches in library order")
            << QStringList{"Zed|A|Same", "ada|B|Same", "Ada|A|Same"} << "same"
            << QStringList{"Same — Ada › A", "Same — ada › B", "Same — Zed › A"};
        QTest::newRow("deleted snippets left out") << QStringList{"-Go|Misc|Sort gone", "Go|Misc|Sort kept"}
                                                   << "sort" << QStringList{"Sort kept — Go › Misc"};
        QTest::newRow("nothing typed: library order")
            << QStringList{"Lua|B|two", "-Lua|A|gone", "Lua|A|one", "C|Z|zero"} << "  "
            << QStringList{"zero — C › Z", "one — Lua › A", "two — Lua › B"};
    }

    void ranking()
    {
        QFETCH(QStringList, records);
        QFETCH(QString, query);
        QFETCH(QStringList, rows);
        const CodeArray array = library(records);
        QuickOpenIndex index(array);
        const std::vector<QuickOpenIndex::Row> found = index.find(query);
        QCOMPARE(rowTexts(array, found), rows);
        for (size_t i = 1; i < found.size(); ++i) {
            QVERIFY(found[i - 1].score >= found[i].score);
        }
    }

    void titleMatch_scoresAboveEveryOtherMatch()
    {
        // A long title with a poor match against keywords that match as well as they can.
        const CodeArray array =
            library({"Go|Misc|z " + QString(200, u'x') + " i p", "Go|Misc|Other|zip", "Zip|Misc|Another"});
        QuickOpenIndex index(array);
        const std::vector<QuickOpenIndex::Row> found = index.find(QStringLiteral("zip"));
        QCOMPARE(found.size(), size_t(3));
        QVERIFY(array[size_t(found[0].index)].Title.startsWith(QLatin1String("z ")));
        QVERIFY(found[0].score > found[1].score);
        QVERIFY(found[1].score < QuickOpenIndex::TitleMatch);
    }

    void limit_keepsTheBestRows()
    {
        QStringList lines;
        for (int i = 0; i < 60; ++i) {
            lines << QStringLiteral("Go|Misc|item %1%2").arg(i % 2 ? "long title " : "").arg(i);
        }
        const CodeArray array = library(lines);
        QuickOpenIndex index(array);
        QCOMPARE(index.find(QStringLiteral("item")).size(), size_t(QuickOpenIndex::DefaultLimit));
        const std::vector<QuickOpenIndex::Row> five = index.find(QStringLiteral("item"), 5);
        QCOMPARE(five.size(), size_t(5));
        // The shortest titles: "item 0", "item 2", ... with the same match.
        QCOMPARE(rowTexts(array, five).first(), QStringLiteral("item 0 — Go › Misc"));
        for (const QString& row : rowTexts(array, five)) {
            QVERIFY2(!row.contains(QLatin1String("long")), qPrintable(row));
        }
        QVERIFY(index.find(QStringLiteral("item"), 0).empty());
    }

    // Typing on narrows among the last matches; that must give what a fresh look gives, on and back.
    void typingOnAndBack_givesWhatAFreshIndexGives()
    {
        std::mt19937 random(7);
        const QStringList words{"read", "stream", "Sort", "table", "query", "node", "String", "parse"};
        QStringList lines;
        for (int i = 0; i < 400; ++i) {
            lines << QStringLiteral("%1|%2|%3 %4|%5")
                         .arg(words[int(random() % words.size())], words[int(random() % words.size())],
                              words[int(random() % words.size())], words[int(random() % words.size())],
                              words[int(random() % words.size())]);
        }
        const CodeArray array = library(lines);
        QuickOpenIndex typing(array);
        for (const char* query : {"s", "st", "str", "stre", "strea", "stream", "streamx", "strea", "t", "ta",
                                  "tab", "", "q", "qu"}) {
            QuickOpenIndex fresh(array);
            const std::vector<QuickOpenIndex::Row> a = typing.find(QLatin1String(query), 1000);
            const std::vector<QuickOpenIndex::Row> b = fresh.find(QLatin1String(query), 1000);
            QCOMPARE(rowTexts(array, a), rowTexts(array, b));
            QCOMPARE(a.empty(), QLatin1String(query) == QLatin1String("streamx"));
        }
    }

    void score_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("matches");
        QTest::newRow("empty query") << "abc"
                                     << "" << true;
        QTest::newRow("longer than text") << "ab"
                                          << "abc" << false;
        QTest::newRow("repeated letters") << "aab"
                                          << "aab" << true;
        QTest::newRow("every character") << "abc"
                                         << "abcc" << false;
        QTest::newRow("in order") << "ba"
                                  << "ab" << false;
        QTest::newRow("scattered") << "axbxxb"
                                   << "abb" << true;
        QTest::newRow("non-ASCII") << "Größe ändern"
                                   << "GRÄ" << true;
    }

    void score()
    {
        QFETCH(QString, text);
        QFETCH(QString, query);
        QFETCH(bool, matches);
        QCOMPARE(FuzzyMatch::score(text, query) != FuzzyMatch::NoMatch, matches);
    }
};

QTEST_GUILESS_MAIN(QuickOpenTest)
#include "tst_quick_open.moc"
