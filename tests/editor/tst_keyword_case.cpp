#include "editor/KeywordCase.h"

#include <QTest>

namespace {

LanguageDefinition sql()
{
    LanguageDefinition def = LanguageDefinition::plain();
    def.name = QStringLiteral("SQL");
    def.lexer = QStringLiteral("sql");
    def.caseSensitive = false;
    def.lineComments = {QStringLiteral("--")};
    def.blockCommentStart = QStringLiteral("/*");
    def.blockCommentEnd = QStringLiteral("*/");
    def.stringQuotes = QStringLiteral("'\"");
    def.keywords = {QStringLiteral("SELECT"), QStringLiteral("FROM"), QStringLiteral("WHERE")};
    def.keywords2 = {QStringLiteral("Count"), QStringLiteral("select")};
    return def;
}

LanguageDefinition basic()
{
    LanguageDefinition def = LanguageDefinition::plain();
    def.name = QStringLiteral("Visual Basic");
    def.lexer = QStringLiteral("keywords");
    def.caseSensitive = false;
    def.lineComments = {QStringLiteral("'"), QStringLiteral("REM")};
    def.stringQuotes = QStringLiteral("\"");
    def.preprocessor = QStringLiteral("#");
    def.keywords = {QStringLiteral("Dim"), QStringLiteral("As"), QStringLiteral("If"),
                    QStringLiteral("Then")};
    return def;
}

using Token = CodeScanner::Token;

} // namespace

class TestKeywordCase : public QObject
{
    Q_OBJECT

private slots:
    void scanLine_coversTheLineWithItsTokens()
    {
        const CodeScanner scanner(basic());
        QList<Token> tokens;
        const QString line = QStringLiteral("dim x1 = \"it's\" ' note");
        QCOMPARE(scanner.scanLine(line, CodeScanner::State::Code, tokens), CodeScanner::State::Code);
        const QList<Token> expected = {
            {0, 3, TokenKind::Keyword}, {3, 1, TokenKind::Default},  {4, 2, TokenKind::Identifier},
            {6, 1, TokenKind::Default}, {7, 1, TokenKind::Operator}, {8, 1, TokenKind::Default},
            {9, 6, TokenKind::String},  {15, 1, TokenKind::Default}, {16, 6, TokenKind::Comment},
        };
        QCOMPARE(tokens, expected);
    }

    void scanLine_tellsAWordMarkerFromAWordThatStartsWithIt()
    {
        const CodeScanner scanner(basic());
        QList<Token> tokens;
        scanner.scanLine(QStringLiteral("Remark = 1"), CodeScanner::State::Code, tokens);
        QCOMPARE(tokens.first(), (Token{0, 6, TokenKind::Identifier}));
        tokens.clear();
        scanner.scanLine(QStringLiteral("  rem Dim"), CodeScanner::State::Code, tokens);
        QCOMPARE(tokens.last(), (Token{2, 7, TokenKind::Comment}));
        tokens.clear();
        scanner.scanLine(QStringLiteral("  #If x Then"), CodeScanner::State::Code, tokens);
        QCOMPARE(tokens.last(), (Token{2, 10, TokenKind::Preprocessor}));
    }

    void scan_carriesABlockCommentOverLines()
    {
        const CodeScanner scanner(sql());
        const QString text = QStringLiteral("a /* b\r\nc */ d");
        const QList<Token> tokens = scanner.scan(text);
        const QList<Token> expected = {
            {0, 1, TokenKind::Identifier}, {1, 1, TokenKind::Default},  {2, 4, TokenKind::Comment},
            {8, 4, TokenKind::Comment},    {12, 1, TokenKind::Default}, {13, 1, TokenKind::Identifier},
        };
        QCOMPARE(tokens, expected);
        QCOMPARE(scanner.kindAt(text, 8), TokenKind::Comment);
        QCOMPARE(scanner.kindAt(text, 13), TokenKind::Identifier);
        QCOMPARE(scanner.kindAt(text, 6), TokenKind::Default);
    }

    void capitalizeAll_rewritesKeywordsInCodeOnly_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("keywords") << QStringLiteral("select a from t where b = 1")
                                  << QStringLiteral("SELECT a FROM t WHERE b = 1");
        QTest::newRow("second set") << QStringLiteral("select COUNT(*)") << QStringLiteral("SELECT Count(*)");
        QTest::newRow("line comment") << QStringLiteral("select 1 -- from here\r\nfrom")
                                      << QStringLiteral("SELECT 1 -- from here\r\nFROM");
        QTest::newRow("block comment")
            << QStringLiteral("/* select\r\nfrom */ where") << QStringLiteral("/* select\r\nfrom */ WHERE");
        QTest::newRow("strings") << QStringLiteral("select 'from' , \"where\"")
                                 << QStringLiteral("SELECT 'from' , \"where\"");
        QTest::newRow("part of a word")
            << QStringLiteral("selected fromage") << QStringLiteral("selected fromage");
        QTest::newRow("already right") << QStringLiteral("SELECT x") << QStringLiteral("SELECT x");
    }

    void capitalizeAll_rewritesKeywordsInCodeOnly()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(KeywordCase(sql()).capitalizeAll(text), expected);
    }

    void caseSensitiveLanguage_isNeverRewritten()
    {
        LanguageDefinition def = sql();
        def.caseSensitive = true;
        const KeywordCase keywords(def);
        QVERIFY(keywords.isEmpty());
        QCOMPARE(keywords.capitalizeAll(QStringLiteral("select")), QStringLiteral("select"));
        QVERIFY(!keywords.completedWord(QStringLiteral("select"), 6));
    }

    void completedWord_findsTheKeywordBeforeThePosition_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("replacement");
        QTest::newRow("keyword") << QStringLiteral("x = 1\r\ndim") << 7 << QStringLiteral("Dim");
        QTest::newRow("after an operator") << QStringLiteral("(if") << 1 << QStringLiteral("If");
        QTest::newRow("in a comment") << QStringLiteral("' dim") << -1 << QString();
        QTest::newRow("in a string") << QStringLiteral("x = \"dim") << -1 << QString();
        QTest::newRow("right case") << QStringLiteral("Dim") << -1 << QString();
        QTest::newRow("no keyword") << QStringLiteral("dimension") << -1 << QString();
        QTest::newRow("no word") << QStringLiteral("dim ") << -1 << QString();
    }

    void completedWord_findsTheKeywordBeforeThePosition()
    {
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(QString, replacement);
        const std::optional<KeywordCase::Replacement> rewrite =
            KeywordCase(basic()).completedWord(text, text.size());
        QCOMPARE(rewrite.has_value(), start >= 0);
        if (rewrite) {
            QCOMPARE(rewrite->start, start);
            QCOMPARE(rewrite->length, replacement.size());
            QCOMPARE(rewrite->text, replacement);
        }
    }
};

QTEST_GUILESS_MAIN(TestKeywordCase)
#include "tst_keyword_case.moc"
