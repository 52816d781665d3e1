#pragma once

#include <optional>
#include <QList>
#include <QString>
#include <QStringList>

// The kinds of token a definition gives a style to; every lexer style is shown as one of them.
enum class TokenKind
{
    Default,
    Comment,
    Keyword,
    Keyword2,
    String,
    Number,
    Operator,
    Identifier,
    Preprocessor,
    Tag,
    Attribute
};

// One token kind's look: colour as a 32-bit RGB value (red in the low byte) and font style
// (0 regular, 1 bold, 2 italic, 3 bold and italic).
struct TokenStyle
{
    TokenKind kind = TokenKind::Default;
    quint32 colour = 0;
    int fontStyle = 0;

    bool operator==(const TokenStyle&) const = default;
};

// A language definition read from a ".lng" file: the language's name, how it is coloured, its token
// styles, its keywords in their canonical case and its comment and string markers.
struct LanguageDefinition
{
    QString fileName;          // the file it came from, for messages
    QString name;              // the language it defines
    QString lexer;             // a lexer name of lexerNames(); "none" is plain text
    bool caseSensitive = true; // keywords match only in their exact case
    QStringList lineComments;  // markers that comment out the rest of a line
    QString blockCommentStart; // both empty when the language has no block comment
    QString blockCommentEnd;
    QString stringQuotes; // every character that opens and closes a string
    QChar escape;         // escapes the next character inside a string; null for none
    QString wordChars;    // characters besides letters, digits and "_" that make up words
    QString preprocessor; // a marker that makes the rest of its line a directive
    QStringList keywords;
    QStringList keywords2;
    QList<TokenStyle> styles;

    // True when no lexer colours the text.
    bool isPlain() const { return lexer == QLatin1String("none"); }

    // Index of the style of a kind in styles, or -1.
    int indexOfStyle(TokenKind kind) const;

    // The style that shows a kind: its own, else the one it falls back to, else nullptr.
    const TokenStyle* styleFor(TokenKind kind) const;

    // Every lexer name a definition may give: "none", "keywords" (the keyword lexer) and the built-in ones.
    static const QStringList& lexerNames();

    // The plain definition used when "default.lng" is missing.
    static LanguageDefinition plain();

    // Reads a definition from its text; nothing, with error set to "line N: ...", when it is not one.
    static std::optional<LanguageDefinition> parse(const QString& text, QString* error);

    // Reads a definition file (UTF-8, or Windows-1252 when not valid UTF-8).
    static std::optional<LanguageDefinition> load(const QString& path, QString* error);
};

namespace TokenKinds {

// The kind's name in a definition file ("Keyword2"), and back; names match in any case.
QString name(TokenKind kind);
std::optional<TokenKind> fromName(QStringView name);

// The kind used when a definition gives no style for kind; kind itself when there is none.
TokenKind fallback(TokenKind kind);

// The kind a lexer style stands for, judged by the lexer's description of the style.
TokenKind classify(const QString& description);

} // namespace TokenKinds
