#pragma once

#include "editor/CodeScanner.h"

#include <Qsci/qscilexercustom.h>

// Colours languages QScintilla has no lexer for, by the comment and string markers and the
// keywords of their definition.
class KeywordLexer : public QsciLexerCustom
{
    Q_OBJECT

public:
    explicit KeywordLexer(const LanguageDefinition& definition, QObject* parent = nullptr);

    const char* language() const override { return m_language.constData(); }
    QString description(int style) const override;
    bool caseSensitive() const override { return m_caseSensitive; }
    int braceStyle() const override;
    void styleText(int start, int end) override;

    // The style number that shows a token kind.
    static int styleOf(TokenKind kind) { return int(kind); }

private:
    CodeScanner m_scanner;
    QByteArray m_language;
    bool m_caseSensitive;
};
