#pragma once

#include "editor/LanguageDefinition.h"

#include <QList>
#include <QSet>
#include <QStringView>

// Splits code into tokens by a definition's markers and keywords: comments, strings, numbers,
// keywords, words and operators. The keyword lexer colours with it, and keyword capitalisation
// uses it to leave comments and strings alone.
class CodeScanner
{
public:
    struct Token
    {
        qsizetype start = 0;
        qsizetype length = 0;
        TokenKind kind = TokenKind::Default;

        bool operator==(const Token&) const = default;
    };

    // What a line starts inside of: code, or a block comment left open by an earlier line.
    enum class State
    {
        Code,
        BlockComment
    };

    explicit CodeScanner(const LanguageDefinition& definition);

    // Appends the tokens of one line (without its line end), which cover it whole, and returns the
    // state at its end.
    State scanLine(QStringView line, State state, QList<Token>& tokens) const;

    // Every token of a text; lines end in LF or CR LF, and line ends belong to no token.
    QList<Token> scan(QStringView text) const;

    // The kind of the token at a position of the text; Default on a line end.
    TokenKind kindAt(QStringView text, qsizetype position) const;

    bool isWordChar(QChar c) const;

    // The keyword set holding word (1 or 2), or 0.
    int keywordSet(QStringView word) const;

private:
    qsizetype lineCommentLength(QStringView line, qsizetype at) const;
    qsizetype stringEnd(QStringView line, qsizetype at) const;

    QStringList m_lineComments;
    QString m_blockStart;
    QString m_blockEnd;
    QString m_quotes;
    QChar m_escape;
    QString m_wordChars;
    QString m_preprocessor;
    bool m_caseSensitive = true;
    QSet<QString> m_keywords;
    QSet<QString> m_keywords2;
};
