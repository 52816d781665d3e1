#include "search/Bookmarks.h"
#include "search/SearchScope.h"

#include <QTest>

class BookmarksTest : public QObject
{
    Q_OBJECT

private slots:
    void added_appendsTheWordAndTrimsTheEnds_data()
    {
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one word") << "api"
                                  << "api bookmark";
        QTest::newRow("empty") << ""
                               << "bookmark";
        QTest::newRow("trailing blank stays inside") << "api "
                                                     << "api  bookmark";
        QTest::newRow("leading blank goes") << "  api"
                                            << "api bookmark";
    }

    void added_appendsTheWordAndTrimsTheEnds()
    {
        QFETCH(QString, keywords);
        QFETCH(QString, expected);
        QCOMPARE(Bookmarks::added(keywords), expected);
    }

    void removed_cutsEveryBookmarkInAnyCase_data()
    {
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<QString>("expected");
        QTest::newRow("in the middle") << "api bookmark sort"
                                       << "api sort";
        QTest::newRow("at the start") << "bookmark api"
                                      << "api";
        QTest::newRow("at the end") << "api bookmark"
                                    << "api";
        QTest::newRow("alone, capitalised") << "Bookmark"
                                            << "";
        QTest::newRow("inside a longer word") << "bookmarks api"
                                              << "s api";
        QTest::newRow("mixed case twice") << "BookMark a BOOKMARK b"
                                          << "a b";
        QTest::newRow("none") << "api sort"
                              << "api sort";
        QTest::newRow("tabs are not blanks") << "\tbookmark"
                                             << "\t";
    }

    void removed_cutsEveryBookmarkInAnyCase()
    {
        QFETCH(QString, keywords);
        QFETCH(QString, expected);
        QCOMPARE(Bookmarks::removed(keywords), expected);
    }

    // The commands over the whole library give what each record's own change gives, whether the
    // library is worked on in one piece or in slices at once.
    void bulkCommands_changeEachRecordAsItsOwnChangeWould_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("small") << 50;
        QTest::newRow("in slices") << 50001;
    }

    void bulkCommands_changeEachRecordAsItsOwnChangeWould()
    {
        QFETCH(int, count);
        static const QString keywords[] = {"", "api", "Bookmark api", "x bookmarks y", "sql"};
        CodeArray records(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            SnippetRecord& r = records[size_t(i)];
            r.Language = i % 3 ? "SQL" : "C";
            r.Keywords = keywords[i % 5];
            r.Matched = i % 7 != 0;
            r.Deleted = i % 13 == 0;
        }
        const SearchScope scope(QStringLiteral("sql"), false, false);
        CodeArray expected = records;
        QList<qsizetype> expectedMarked;
        for (size_t i = 0; i < expected.size(); ++i) {
            SnippetRecord& r = expected[i];
            if (!r.Deleted && r.Matched && scope.contains(r) && !r.isBookmarked()) {
                r.Keywords = Bookmarks::added(r.Keywords);
                expectedMarked.append(qsizetype(i));
            }
        }
        QCOMPARE(Bookmarks::addToAll(records, scope), expectedMarked);
        QVERIFY(records == expected);

        for (SnippetRecord& r : expected) {
            r.Keywords = Bookmarks::removed(r.Keywords);
        }
        QVERIFY(Bookmarks::removeFromAll(records));
        QVERIFY(records == expected);
        QVERIFY(!Bookmarks::removeFromAll(records));
    }
};

QTEST_GUILESS_MAIN(BookmarksTest)
#include "tst_bookmarks.moc"
