#include "editor/LanguageDefinition.h"

#include <QDir>
#include <QSet>
#include <QTest>
#include "ZorbethPaths.h"

class TestLanguageDefinition : public QObject
{
    Q_OBJECT

private slots:
    void parse_readsEveryPart()
    {
        const QString text = QStringLiteral("; a comment line\r\n"
                                            "[Language]\r\n"
                                            "Name = Visual Basic\r\n"
                                            "Lexer = Keywords\r\n"
                                            "CaseSensitive = no\r\n"
                                            "LineComment = ' REM\r\n"
                                            "BlockComment = (* *)\r\n"
                                            "Strings = \" '\r\n"
                                            "Escape = \\\r\n"
                                            "WordChars = $ #\r\n"
                                            "Preprocessor = #\r\n"
                                            "[Keywords]\r\n"
                                            "Dim  As\r\n"
                                            "String\r\n"
                                            "[keywords2]\r\n"
                                            "MsgBox\r\n"
                                            "[Styles]\r\n"
                                            "keyword = #0000FF bold\r\n"
                                            "Comment = #008000 italic Bold\r\n"
                                            "String = #A31515 regular\r\n");
        QString error;
        const std::optional<LanguageDefinition> def = LanguageDefinition::parse(text, &error);
        QVERIFY2(def, qPrintable(error));
        QCOMPARE(def->name, QStringLiteral("Visual Basic"));
        QCOMPARE(def->lexer, QStringLiteral("keywords"));
        QVERIFY(!def->caseSensitive);
        QCOMPARE(def->lineComments, QStringList({QStringLiteral("'"), QStringLiteral("REM")}));
        QCOMPARE(def->blockCommentStart, QStringLiteral("(*"));
        QCOMPARE(def->blockCommentEnd, QStringLiteral("*)"));
        QCOMPARE(def->stringQuotes, QStringLiteral("\"'"));
        QCOMPARE(def->escape, QChar(u'\\'));
        QCOMPARE(def->wordChars, QStringLiteral("$#"));
        QCOMPARE(def->preprocessor, QStringLiteral("#"));
        QCOMPARE(def->keywords,
                 QStringList({QStringLiteral("Dim"), QStringLiteral("As"), QStringLiteral("String")}));
        QCOMPARE(def->keywords2, QStringList({QStringLiteral("MsgBox")}));
        // Colours are written #RRGGBB and kept with red in the low byte.
        const QList<TokenStyle> expected = {{TokenKind::Keyword, 0xFF0000, 1},
                                            {TokenKind::Comment, 0x008000, 3},
                                            {TokenKind::String, 0x1515A3, 0}};
        QCOMPARE(def->styles, expected);
    }

    void parse_rejectsDamagedText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("error");
        const QString head = QStringLiteral("[Language]\nName = X\nLexer = none\n");
        QTest::newRow("empty") << QString() << QStringLiteral("no language name");
        QTest::newRow("binary") << QStringLiteral("MZ\u0000\u0001") << QStringLiteral("not a text file");
        QTest::newRow("no lexer") << QStringLiteral("[Language]\nName = X\n") << QStringLiteral("no lexer");
        QTest::newRow("text before a section") << QStringLiteral("Name = X\n") << QStringLiteral("line 1:");
        QTest::newRow("unknown section") << head + QStringLiteral("[Colours]\n") << QStringLiteral("line 4:");
        QTest::newRow("unclosed section") << QStringLiteral("[Language\n") << QStringLiteral("line 1:");
        QTest::newRow("no equals sign")
            << head + QStringLiteral("[Styles]\nKeyword #0000FF\n") << QStringLiteral("line 5:");
        QTest::newRow("unknown key") << QStringLiteral("[Language]\nNmae = X\n") << QStringLiteral("line 2:");
        QTest::newRow("unknown lexer") << QStringLiteral("[Language]\nName = X\nLexer = cobol\n")
                                       << QStringLiteral("line 3: unknown lexer \"cobol\"");
        QTest::newRow("bad yes or no")
            << head + QStringLiteral("CaseSensitive = perhaps\n") << QStringLiteral("line 4:");
        QTest::newRow("one block marker")
            << head + QStringLiteral("BlockComment = /*\n") << QStringLiteral("line 4:");
        QTest::newRow("long escape") << head + QStringLiteral("Escape = \\\\\n") << QStringLiteral("line 4:");
        QTest::newRow("bad colour") << head + QStringLiteral("[Styles]\nKeyword = blue\n")
                                    << QStringLiteral("line 5: a colour is written #RRGGBB");
        QTest::newRow("short colour")
            << head + QStringLiteral("[Styles]\nKeyword = #00F\n") << QStringLiteral("line 5:");
        QTest::newRow("unknown font style") << head + QStringLiteral("[Styles]\nKeyword = #0000FF heavy\n")
                                            << QStringLiteral("line 5: unknown font style");
        QTest::newRow("unknown kind") << head + QStringLiteral("[Styles]\nKeywords = #0000FF\n")
                                      << QStringLiteral("line 5: unknown token kind");
    }

    void parse_rejectsDamagedText()
    {
        QFETCH(QString, text);
        QFETCH(QString, error);
        QString message;
        QVERIFY(!LanguageDefinition::parse(text, &message));
        QVERIFY2(message.startsWith(error), qPrintable(message));
    }

    void styleFor_fallsBackToTheNearestDefinedKind()
    {
        LanguageDefinition def = LanguageDefinition::plain();
        def.styles = {{TokenKind::Default, 1, 0}, {TokenKind::Keyword, 2, 0}, {TokenKind::Keyword2, 3, 0}};
        QCOMPARE(def.styleFor(TokenKind::Keyword2)->colour, 3u);
        QCOMPARE(def.styleFor(TokenKind::Attribute)->colour, 3u);
        QCOMPARE(def.styleFor(TokenKind::Tag)->colour, 2u);
        QCOMPARE(def.styleFor(TokenKind::Number)->colour, 1u);
        def.styles.removeFirst();
        QCOMPARE(def.styleFor(TokenKind::Number), nullptr);
    }

    void classify_namesTheKindOfALexerStyle_data()
    {
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("kind");
        const QList<QPair<const char*, TokenKind>> rows = {
            {"Default", TokenKind::Default},
            {"C comment", TokenKind::Comment},
            {"JavaDoc keyword", TokenKind::Comment},
            {"Keyword comment", TokenKind::Comment},
            {"Double-quoted string", TokenKind::String},
            {"Here document delimiter", TokenKind::String},
            {"Number", TokenKind::Number},
            {"Keyword", TokenKind::Keyword},
            {"Secondary keywords and identifiers", TokenKind::Keyword2},
            {"Operator", TokenKind::Operator},
            {"Pre-processor block", TokenKind::Preprocessor},
            {"Unknown tag", TokenKind::Tag},
            {"Attribute", TokenKind::Attribute},
            {"Scalar", TokenKind::Attribute},
            {"Identifier", TokenKind::Identifier},
            {"Function or method name", TokenKind::Identifier},
            {"Task marker", TokenKind::Default},
        };
        for (const auto& [description, kind] : rows) {
            QTest::newRow(description) << QString::fromLatin1(description) << int(kind);
        }
    }

    void classify_namesTheKindOfALexerStyle()
    {
        QFETCH(QString, description);
        QFETCH(int, kind);
        QCOMPARE(int(TokenKinds::classify(description)), kind);
    }

    void shippedDefinitions_allLoadAndCoverTheLibraryLanguages()
    {
        const QDir folder(QStringLiteral(ZORBETH_SOURCE_DATA_DIR "/language_def"));
        const QStringList files = folder.entryList({QStringLiteral("*.lng")}, QDir::Files);
        QVERIFY(files.contains(QStringLiteral("default.lng")));
        QSet<QString> names;
        for (const QString& file : files) {
            QString error;
            const std::optional<LanguageDefinition> def =
                LanguageDefinition::load(folder.filePath(file), &error);
            QVERIFY2(def, qPrintable(file + QStringLiteral(": ") + error));
            QVERIFY2(!names.contains(def->name.toLower()), qPrintable(def->name));
            names.insert(def->name.toLower());
            if (file != QLatin1String("default.lng")) {
                QVERIFY2(!def->isPlain(), qPrintable(file));
            }
        }
        QVERIFY(names.size() >= 26);
        for (const char* language :
             {"c++", "python", "sql", "javascript", "bash", "html", "visual basic", "perl", "java"}) {
            QVERIFY2(names.contains(QLatin1String(language)), language);
        }
    }
};

QTEST_GUILESS_MAIN(TestLanguageDefinition)
#include "tst_language_definition.moc"
