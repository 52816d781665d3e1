#include "editor/ui/KeywordLexer.h"

#include <Qsci/qsciscintilla.h>

namespace {

constexpr TokenKind LastKind = TokenKind::Attribute;

// Bytes a piece of text takes in the editor's UTF-8 buffer.
int utf8Length(QStringView text)
{
    int bytes = 0;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        bytes += u < 0x80 ? 1 : u < 0x800 ? 2 : c.isSurrogate() ? 2 : 3;
    }
    return bytes;
}

} // namespace

KeywordLexer::KeywordLexer(const LanguageDefinition& definition, QObject* parent)
    : QsciLexerCustom(parent), m_scanner(definition), m_language(definition.name.toUtf8()),
      m_caseSensitive(definition.caseSensitive)
{}

QString KeywordLexer::description(int style) const
{
    if (style < 0 || style > int(LastKind)) {
        return {};
    }
    return TokenKinds::name(TokenKind(style));
}

int KeywordLexer::braceStyle() const
{
    return styleOf(TokenKind::Operator);
}

void KeywordLexer::styleText(int start, int end)
{
    QsciScintilla* view = editor();
    if (view == nullptr || end <= start) {
        return;
    }
    // Each line records whether it ends inside a block comment, so styling can start at any line.
    int line = int(view->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
    const int lastLine = int(view->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, end));
    auto state = CodeScanner::State::Code;
    if (line > 0 && view->SendScintilla(QsciScintillaBase::SCI_GETLINESTATE, line - 1) != 0) {
        state = CodeScanner::State::BlockComment;
    }
    startStyling(start);
    QList<CodeScanner::Token> tokens;
    for (; line <= lastLine; ++line) {
        const int lineStart = int(view->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line));
        const int lineEnd = int(view->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line));
        const int nextLine = line + 1 < view->lines()
                                 ? int(view->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line + 1))
                                 : lineEnd;
        const QString text = view->text(lineStart, lineEnd);
        tokens.clear();
        state = m_scanner.scanLine(text, state, tokens);
        for (const CodeScanner::Token& token : tokens) {
            setStyling(utf8Length(QStringView(text).mid(token.start, token.length)), styleOf(token.kind));
        }
        if (nextLine > lineEnd) {
            setStyling(nextLine - lineEnd, styleOf(TokenKind::Default));
        }
        view->SendScintilla(QsciScintillaBase::SCI_SETLINESTATE, line,
                            state == CodeScanner::State::BlockComment ? 1 : 0);
    }
}
