#include "editor/LineCommands.h"

#include <QTest>

namespace {

LanguageDefinition withMarkers(const QStringList& lineComments, const QString& blockStart = {},
                               const QString& blockEnd = {})
{
    LanguageDefinition def = LanguageDefinition::plain();
    def.lineComments = lineComments;
    def.blockCommentStart = blockStart;
    def.blockCommentEnd = blockEnd;
    return def;
}

} // namespace

class TestLineCommands : public QObject
{
    Q_OBJECT

private slots:
    void commentThenUncomment_givesTheLinesBack_data()
    {
        QTest::addColumn<QStringList>("markers");
        QTest::addColumn<QString>("blockStart");
        QTest::addColumn<QString>("blockEnd");
        QTest::addColumn<QStringList>("commented");
        const QStringList lines = {QStringLiteral("  int a;"), QString(), QStringLiteral("b();")};
        QTest::newRow("line marker") << QStringList{QStringLiteral("//")} << QString() << QString()
                                     << QStringList{QStringLiteral("//  int a;"), QString(),
                                                    QStringLiteral("//b();")};
        QTest::newRow("word marker") << QStringList{QStringLiteral("REM")} << QString() << QString()
                                     << QStringList{QStringLiteral("REM   int a;"), QString(),
                                                    QStringLiteral("REM b();")};
        QTest::newRow("block markers only")
            << QStringList() << QStringLiteral("<!--") << QStringLiteral("-->")
            << QStringList{QStringLiteral("<!--  int a;-->"), QString(), QStringLiteral("<!--b();-->")};
    }

    void commentThenUncomment_givesTheLinesBack()
    {
        QFETCH(QStringList, markers);
        QFETCH(QString, blockStart);
        QFETCH(QString, blockEnd);
        QFETCH(QStringList, commented);
        const LanguageDefinition def = withMarkers(markers, blockStart, blockEnd);
        const QStringList lines = {QStringLiteral("  int a;"), QString(), QStringLiteral("b();")};
        QVERIFY(LineCommands::canComment(def));
        QCOMPARE(LineCommands::comment(lines, def), commented);
        QCOMPARE(LineCommands::uncomment(commented, def), lines);
    }

    void uncomment_takesOneMarkerAfterTheIndent()
    {
        const LanguageDefinition def = withMarkers({QStringLiteral("'"), QStringLiteral("REM")});
        const QStringList lines = {QStringLiteral("    ' x"), QStringLiteral("''y"),
                                   QStringLiteral("rem z"),   QStringLiteral("REM"),
                                   QStringLiteral("Remark"),  QStringLiteral("a ' b")};
        const QStringList expected = {QStringLiteral("     x"), QStringLiteral("'y"),
                                      QStringLiteral("z"),      QString(),
                                      QStringLiteral("Remark"), QStringLiteral("a ' b")};
        QCOMPARE(LineCommands::uncomment(lines, def), expected);
    }

    void comment_withoutMarkersChangesNothing()
    {
        const LanguageDefinition def = LanguageDefinition::plain();
        QVERIFY(!LineCommands::canComment(def));
        QCOMPARE(LineCommands::comment({QStringLiteral("x")}, def), QStringList{QStringLiteral("x")});
    }

    void sorted_ordersWithoutRegardToCase()
    {
        const QStringList lines = {QStringLiteral("beta"),
                                   QStringLiteral("Alpha"),
                                   QStringLiteral("alpha"),
                                   QStringLiteral("10"),
                                   QString(),
                                   QStringLiteral("Gamma")};
        const QStringList ascending = {QString(),
                                       QStringLiteral("10"),
                                       QStringLiteral("Alpha"),
                                       QStringLiteral("alpha"),
                                       QStringLiteral("beta"),
                                       QStringLiteral("Gamma")};
        QCOMPARE(LineCommands::sorted(lines, false), ascending);
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        QCOMPARE(LineCommands::sorted(lines, true), descending);
    }
};

QTEST_GUILESS_MAIN(TestLineCommands)
#include "tst_line_commands.moc"
