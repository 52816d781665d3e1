#include "search/Bookmarks.h"

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
};

QTEST_GUILESS_MAIN(BookmarksTest)
#include "tst_bookmarks.moc"
