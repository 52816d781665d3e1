#include "export/OutlineNode.h"
#include "export/RecordingSurface.h"
#include "export/SnippetPrinter.h"
#include "export/TitlePrinter.h"

#include <QTest>

namespace {

const QString Margin(20, u' ');

// A line as the surface records it: the text after the label, from column 30 on.
QString at30(const QString& before, const QString& value)
{
    return before.leftJustified(29, u' ') + value;
}

SnippetPrinter::Options options(bool wordWrap = false, bool pageBreak = false)
{
    return {Margin, QStringLiteral("zorbeth.txt"), QStringLiteral("Courier New"), 12, wordWrap, pageBreak};
}

SnippetRecord snippet(const QString& title, const QString& code = QStringLiteral("x = 1"))
{
    SnippetRecord r;
    r.Title = title;
    r.Language = QStringLiteral("SQL");
    r.Category = QStringLiteral("Queries");
    r.Keywords = QStringLiteral("select join");
    r.Date = QStringLiteral("2026-01-02 03:04:05");
    r.ObjectName = QStringLiteral("plan.png");
    r.Code = code;
    return r;
}

QStringList titles(int count)
{
    QStringList list;
    for (int i = 1; i <= count; ++i) {
        list << QStringLiteral("Title %1").arg(i);
    }
    return list;
}

} // namespace

class PrintLayoutsTest : public QObject
{
    Q_OBJECT

private slots:
    void snippetPage_labelsBoldValuesAtColumn30()
    {
        RecordingSurface surface;
        SnippetPrinter(surface, options())
            .PrintSnippet(snippet(QStringLiteral("Join two"), QStringLiteral("SELECT *\r\n  FROM a")));
        surface.endDocument();
        const QStringList expected{
            QString(),
            QString(),
            QString(),
            Margin + QStringLiteral("zorbeth.txt"),
            QString(),
            QString(),
            at30(Margin + QStringLiteral("Title:"), QStringLiteral("Join two")),
            QString(),
            at30(Margin + QStringLiteral("Language:"), QStringLiteral("SQL")),
            at30(Margin + QStringLiteral("Category:"), QStringLiteral("Queries")),
            at30(Margin + QStringLiteral("Keywords:"), QStringLiteral("select join")),
            at30(Margin + QStringLiteral("Date:"), QStringLiteral("2026-01-02 03:04:05")),
            at30(Margin + QStringLiteral("Object:"), QStringLiteral("plan.png")),
            QString(),
            Margin + QStringLiteral("Source Code:"),
            Margin + QStringLiteral("SELECT *"),
            Margin + QStringLiteral("  FROM a")};
        QCOMPARE(surface.pages().size(), 1);
        QCOMPARE(surface.lines(), expected);
        QCOMPARE(surface.fonts(), QStringList{QStringLiteral("Courier New 12")});
        const QStringList bold{
            Margin + QStringLiteral("zorbeth.txt"), Margin + QStringLiteral("Title:"),
            Margin + QStringLiteral("Language:"),   Margin + QStringLiteral("Category:"),
            Margin + QStringLiteral("Keywords:"),   Margin + QStringLiteral("Date:"),
            Margin + QStringLiteral("Object:"),     Margin + QStringLiteral("Source Code:")};
        QCOMPARE(surface.boldTexts(), bold);
    }

    void snippetPage_blankFieldsSayWhatIsMissing_data()
    {
        QTest::addColumn<bool>("wordWrap");
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("objectLine");
        QTest::addColumn<QString>("codeLine");
        QTest::newRow("blank object") << false << QStringLiteral("   ") << QStringLiteral("x")
                                      << QStringLiteral("<no object>") << QStringLiteral("x");
        QTest::newRow("code of blanks and line ends")
            << false << QStringLiteral("a.zip") << QStringLiteral("  \r\n \r\n") << QStringLiteral("a.zip")
            << QStringLiteral("<empty>");
        QTest::newRow("empty code, wrapping")
            << true << QString() << QString() << QStringLiteral("<no object>") << QStringLiteral("<empty>");
    }

    void snippetPage_blankFieldsSayWhatIsMissing()
    {
        QFETCH(bool, wordWrap);
        QFETCH(QString, objectName);
        QFETCH(QString, code);
        QFETCH(QString, objectLine);
        QFETCH(QString, codeLine);
        SnippetRecord record = snippet(QStringLiteral("t"), code);
        record.ObjectName = objectName;
        RecordingSurface surface;
        SnippetPrinter(surface, options(wordWrap)).PrintSnippet(record);
        surface.endDocument();
        const QStringList lines = surface.lines();
        QCOMPARE(lines.at(12), at30(Margin + QStringLiteral("Object:"), objectLine));
        QCOMPARE(lines.at(14), Margin + QStringLiteral("Source Code:"));
        QCOMPARE(lines.mid(15), QStringList{Margin + codeLine});
    }

    // Page width 100: the wrap width is 70 characters.
    void wrapByCharacter_breaksWideLinesAtBlanksOnly_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("printed");
        const QString a68(68, u'a');
        QTest::newRow("narrow line whole")
            << QStringLiteral("short line") << QStringList{QStringLiteral("short line")};
        QTest::newRow("exactly the width, not broken")
            << QString(60, u'b') + QStringLiteral(" ccccccccc")
            << QStringList{QString(60, u'b') + QStringLiteral(" ccccccccc")};
        QTest::newRow("wider line broken at the first blank past the width")
            << a68 + QStringLiteral(" bb cc dd")
            << QStringList{a68 + QStringLiteral(" bb_"), QStringLiteral("cc dd")};
        QTest::newRow("line without blanks never broken")
            << QString(150, u'z') << QStringList{QString(150, u'z')};
        QTest::newRow("long line after a short one starts a line of its own")
            << QStringLiteral("x;\r\n") + a68 + QStringLiteral(" bb cc")
            << QStringList{QStringLiteral("x;"), a68 + QStringLiteral(" bb_"), QStringLiteral("cc")};
        QTest::newRow("broken twice")
            << QString(71, u'a') + u' ' + QString(70, u'b') + QStringLiteral(" c")
            << QStringList{QString(71, u'a') + u'_', QString(70, u'b') + u'_', QStringLiteral("c")};
        QTest::newRow("empty lines kept") << QStringLiteral("a\r\n\r\nb")
                                          << QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")};
    }

    void wrapByCharacter_breaksWideLinesAtBlanksOnly()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, printed);
        RecordingSurface surface(100);
        const QString wrapped = SnippetPrinter(surface, options(true)).WrapByCharacter(code);
        QStringList expected;
        for (const QString& line : printed) {
            expected << Margin + line;
        }
        QCOMPARE(wrapped.split(QStringLiteral("\r\n")), expected);
    }

    void snippetPage_wrapsOnlyWhenWordWrapIsOn()
    {
        const QString code = QString(68, u'a') + QStringLiteral(" bb cc");
        for (const bool wrap : {false, true}) {
            RecordingSurface surface(100);
            SnippetPrinter(surface, options(wrap)).PrintSnippet(snippet(QStringLiteral("t"), code));
            surface.endDocument();
            const QStringList expected =
                wrap ? QStringList{Margin + QString(68, u'a') + QStringLiteral(" bb_"),
                                   Margin + QStringLiteral("cc")}
                     : QStringList{Margin + code};
            QCOMPARE(surface.lines().mid(15), expected);
        }
    }

    void threeSnippets_pageBreakOffGivesThreePages_onRunsThemOn_data()
    {
        QTest::addColumn<bool>("pageBreak");
        QTest::addColumn<int>("pages");
        QTest::newRow("PageBreak unchecked") << false << 3;
        QTest::newRow("PageBreak checked") << true << 1;
    }

    void threeSnippets_pageBreakOffGivesThreePages_onRunsThemOn()
    {
        QFETCH(bool, pageBreak);
        QFETCH(int, pages);
        RecordingSurface surface;
        SnippetPrinter printer(surface, options(false, pageBreak));
        for (const char* title : {"one", "two", "three"}) {
            printer.PrintSnippet(snippet(QLatin1String(title)));
        }
        surface.endDocument();
        QCOMPARE(surface.pages().size(), pages);
        QCOMPARE(surface.lines().filter(QStringLiteral("Title:")).size(), 3);
        if (!pageBreak) {
            QCOMPARE(surface.pages().at(2).at(6),
                     at30(Margin + QStringLiteral("Title:"), QStringLiteral("three")));
        }
    }

    void categoryTitles_120_headersBeforeTitles1_52_102()
    {
        RecordingSurface surface;
        TitlePrinter(surface, Margin, QStringLiteral("zorbeth.txt"))
            .printCategoryTitles(QStringLiteral("SQL"), QStringLiteral("Queries"), titles(120));
        surface.endDocument();
        const QStringList lines = surface.lines();
        const QStringList headed = lines.filter(QStringLiteral("Titles:"));
        QCOMPARE(headed,
                 (QStringList{at30(Margin + QStringLiteral("Titles:"), QStringLiteral("Title 1")),
                              at30(Margin + QStringLiteral("Titles:"), QStringLiteral("Title 52")),
                              at30(Margin + QStringLiteral("Titles:"), QStringLiteral("Title 102"))}));
        const QStringList header{
            QString(), QString(),
            QString(), Margin + QStringLiteral("zorbeth.txt"),
            QString(), at30(Margin + QStringLiteral("Language:"), QStringLiteral("SQL")),
            QString(), at30(Margin + QStringLiteral("Category:"), QStringLiteral("Queries")),
            QString()};
        QCOMPARE(lines.mid(0, 9), header);
        const qsizetype second = lines.indexOf(headed.at(1));
        QCOMPARE(lines.mid(second - 9, 9), header);
        QCOMPARE(lines.at(second - 10), at30(QString(), QStringLiteral("Title 51")));
        QCOMPARE(lines.size(), 3 * 10 + 117);
        QCOMPARE(surface.pages().size(), 1);
        QVERIFY(surface.boldTexts().contains(QStringLiteral("Queries")));
        QVERIFY(!surface.boldTexts().contains(QStringLiteral("Title 2")));
    }

    void categoryTitles_51_oneHeaderAndNoneAfterTheLast()
    {
        RecordingSurface surface;
        TitlePrinter(surface, Margin, QStringLiteral("zorbeth.txt"))
            .printCategoryTitles(QStringLiteral("SQL"), QStringLiteral("Queries"), titles(51));
        surface.endDocument();
        QCOMPARE(surface.lines().filter(QStringLiteral("Titles:")).size(), 1);
        QCOMPARE(surface.lines().last(), at30(QString(), QStringLiteral("Title 51")));
    }

    void singleTitle_andLanguageTitles()
    {
        RecordingSurface one;
        TitlePrinter(one, Margin, QStringLiteral("remote/zorbeth.txt"))
            .printTitle(QStringLiteral("Join two"));
        one.endDocument();
        QCOMPARE(one.lines(),
                 (QStringList{QString(), QString(), QString(), Margin + QStringLiteral("remote/zorbeth.txt"),
                              QString(), QString(),
                              at30(Margin + QStringLiteral("Title:"), QStringLiteral("Join two"))}));
        RecordingSurface list;
        TitlePrinter(list, Margin, QString()).printLanguageTitles(titles(3));
        list.endDocument();
        QCOMPARE(list.lines(), titles(3));
    }

    void outline_newPageAfter70LinesOrAFullPage_eachOpeningWithFourEmptyLines_data()
    {
        QTest::addColumn<int>("linesPerPage");
        QTest::addColumn<QList<int>>("pageSizes");
        QTest::addColumn<QString>("secondPageFirst");
        QTest::newRow("endless page: after 70 and 140") << 0 << QList<int>{74, 74, 14} << "Snippet 0.68";
        QTest::newRow("68 lines a page: when full") << 68 << QList<int>{68, 68, 26} << "Snippet 0.62";
        QTest::newRow("80 lines a page: after 70") << 80 << QList<int>{74, 74, 14} << "Snippet 0.68";
    }

    void outline_newPageAfter70LinesOrAFullPage_eachOpeningWithFourEmptyLines()
    {
        QFETCH(int, linesPerPage);
        QFETCH(QList<int>, pageSizes);
        QFETCH(QString, secondPageFirst);
        // One language, two categories of 73 snippets: 1 + 2 + 146 = 149 lines, and one more root.
        QList<OutlineNode> roots{{QStringLiteral("SQL"), {}}, {QStringLiteral("VB"), {}}};
        for (int c = 0; c < 2; ++c) {
            OutlineNode category{QStringLiteral("Cat %1").arg(c), {}};
            for (int s = 0; s < 73; ++s) {
                category.children.append({QStringLiteral("Snippet %1.%2").arg(c).arg(s), {}});
            }
            roots[0].children.append(category);
        }
        RecordingSurface surface(100, linesPerPage);
        TitlePrinter(surface, Margin, QString()).printOutline(roots);
        surface.endDocument();
        const QList<QStringList> pages = surface.pages();
        QList<int> sizes;
        for (const QStringList& page : pages) {
            sizes.append(int(page.size()));
            QCOMPARE(page.mid(0, 4), QStringList(4, QString()));
        }
        QCOMPARE(sizes, pageSizes);
        QCOMPARE(pages.at(0).at(4), QString(23, u' ') + QStringLiteral("SQL"));
        QCOMPARE(pages.at(0).at(5), QString(27, u' ') + QStringLiteral("Cat 0"));
        QCOMPARE(pages.at(0).at(6), QString(31, u' ') + QStringLiteral("Snippet 0.0"));
        QCOMPARE(pages.at(1).at(4), QString(31, u' ') + secondPageFirst);
        QCOMPARE(pages.last().last(), QString(23, u' ') + QStringLiteral("VB"));
    }

    void outline_2014Lines_68APage_takesAbout32Pages()
    {
        QList<OutlineNode> roots;
        for (int i = 0; i < 2014; ++i) {
            roots.append({QStringLiteral("Language %1").arg(i), {}});
        }
        RecordingSurface surface(100, 68);
        TitlePrinter(surface, Margin, QString()).printOutline(roots);
        surface.endDocument();
        QCOMPARE(surface.pages().size(), 32); // 64 lines a page after the four empty ones
    }

    void surface_textWithLineEnds_endsLinesThere_andTabPastItsColumnGoesToTheNextLine()
    {
        RecordingSurface surface;
        surface.print(QStringLiteral("a\r\nb\nc\rdddd"));
        surface.tab(3);
        surface.printLine(QStringLiteral("e"));
        surface.endDocument();
        QCOMPARE(surface.lines(), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                                               QStringLiteral("dddd"), QStringLiteral("  e")}));
    }
};

QTEST_GUILESS_MAIN(PrintLayoutsTest)
#include "tst_print_layouts.moc"
