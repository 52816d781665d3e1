#include "gui/WindowLayout.h"

#include <QTest>

using WindowLayout::Input;

class WindowLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    void verticalProportion_isClampedToTheSideLimits_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("percent");
        QTest::addColumn<double>("expectedPercent");
        QTest::addColumn<double>("expectedBar");
        QTest::newRow("right side too narrow") << 5000.0 << 0.1 << 0.2 << 4000.0;
        QTest::newRow("tree side too narrow wins below 1700") << 1500.0 << 0.7 << 1 - 700.0 / 1500 << 700.0;
        QTest::newRow("within limits") << 9000.0 << 0.7 << 0.7 << 2700.0;
    }

    void verticalProportion_isClampedToTheSideLimits()
    {
        QFETCH(double, width);
        QFETCH(double, percent);
        QFETCH(double, expectedPercent);
        QFETCH(double, expectedBar);
        Input in;
        in.width = width;
        in.height = 8000;
        in.splitterXPercent = percent;
        const auto r = WindowLayout::compute(in);
        QCOMPARE(r.splitterXPercent, expectedPercent);
        QCOMPARE(r.verticalBar.left, expectedBar);
        QCOMPARE(r.tree.width, expectedBar - 175);
        QCOMPARE(r.code.left, expectedBar + 100);
        QCOMPARE(r.code.width, width - expectedBar - 100 - 525);
    }

    void horizontalProportion_isClampedAndPlacesTheSearchArea_data()
    {
        QTest::addColumn<double>("height");
        QTest::addColumn<double>("percent");
        QTest::addColumn<double>("expectedPercent");
        QTest::newRow("search area too low, then top too low") << 5000.0 << 0.5 << 0.6;
        QTest::newRow("search area too low") << 10000.0 << 0.2 << 0.35;
        QTest::newRow("within limits") << 10000.0 << 0.7 << 0.7;
    }

    void horizontalProportion_isClampedAndPlacesTheSearchArea()
    {
        QFETCH(double, height);
        QFETCH(double, percent);
        QFETCH(double, expectedPercent);
        Input in;
        in.width = 9000;
        in.height = height;
        in.splitterYPercent = percent;
        const auto r = WindowLayout::compute(in);
        QVERIFY(qFuzzyCompare(r.splitterYPercent, expectedPercent));
        const double barTop = (1 - r.splitterYPercent) * height;
        QVERIFY(r.horizontalBarVisible);
        QCOMPARE(r.horizontalBar.top, barTop);
        QCOMPARE(r.search.top, barTop + 30);
        QCOMPARE(r.search.height, height - barTop - 1275);
        QCOMPARE(r.search.width, 9000 - 350.0);
        QCOMPARE(r.horizontalBar.width, r.search.width);
        QCOMPARE(r.results.width, r.search.width - 250);
        QCOMPARE(r.results.height, r.search.height - 1200);
        QCOMPARE(r.tree.height, r.search.top - in.treeTop - 100);
        QCOMPARE(r.verticalBar.height, r.tree.height);
        QCOMPARE(r.code.height, r.tree.height - 700);
    }

    void hiddenSearchArea_givesTheTreeTheHeight()
    {
        Input in;
        in.width = 9000;
        in.height = 6000;
        in.searchVisible = false;
        in.splitterYPercent = 0.1;
        const auto r = WindowLayout::compute(in);
        QVERIFY(!r.horizontalBarVisible);
        QCOMPARE(r.tree.height, 6000 - 1750.0);
        QCOMPARE(r.splitterYPercent, 0.1); // kept for when the area comes back
    }

    void serverList_takesItsShareAndTheCodeViewTheRest()
    {
        Input in;
        in.width = 10350;
        in.height = 9000;
        in.rShare = 30;
        const auto r = WindowLayout::compute(in);
        QCOMPARE(r.remoteList.width, 10000 * 0.3);
        QCOMPARE(r.remoteCode.left, in.remoteListLeft + 3000 + 150);
        QCOMPARE(r.remoteCode.width, 10000 - r.remoteCode.left - 150);
        QCOMPARE(r.remoteCode.height, r.search.height - 500);
    }

    void snippetFields_standSideBySideUnderTheTitle()
    {
        Input in;
        in.width = 12000;
        in.height = 8000;
        in.editorTop = 1500;
        const auto r = WindowLayout::compute(in);
        QCOMPARE(r.title.left, r.code.left);
        QCOMPARE(r.title.width, r.code.width);
        QCOMPARE(r.keywords.width, (r.code.width - 200) / 3);
        QCOMPARE(r.object.left, r.keywords.left + r.keywords.width + 100);
        QCOMPARE(r.update.left, r.object.left + r.object.width + 100);
        QCOMPARE(r.update.left + r.update.width, r.code.left + r.code.width);
        // The editor ends level with the tree however tall the fields above it are.
        QCOMPARE(r.code.top + r.code.height, r.tree.top + r.tree.height - 700 + 1200 - in.treeTop);
    }

    void splitterDrag_movesOnlyWithinTheLimits_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<double>("candidate");
        QTest::addColumn<bool>("moves");
        QTest::newRow("vertical at 700") << true << 700.0 << false;
        QTest::newRow("vertical at 701") << true << 701.0 << true;
        QTest::newRow("vertical 1000 from the right") << true << 8000.0 << false;
        QTest::newRow("vertical 999 from the right") << true << 7999.5 << true;
        QTest::newRow("horizontal at 2000") << false << 2000.0 << false;
        QTest::newRow("horizontal at 3000") << false << 3000.0 << true;
        QTest::newRow("horizontal 3500 from the bottom") << false << 4500.0 << false;
    }

    void splitterDrag_movesOnlyWithinTheLimits()
    {
        QFETCH(bool, vertical);
        QFETCH(double, candidate);
        QFETCH(bool, moves);
        const double size = vertical ? 9000 : 8000;
        const auto percent = vertical ? WindowLayout::dragVerticalBar(size, candidate)
                                      : WindowLayout::dragHorizontalBar(size, candidate);
        QCOMPARE(percent.has_value(), moves);
        if (moves) {
            QCOMPARE(*percent, (size - candidate) / size);
        }
    }
};

QTEST_GUILESS_MAIN(WindowLayoutTest)
#include "tst_window_layout.moc"
