#include "editor/CodeScanner.h"

namespace {

bool startsWithAt(QStringView line, qsizetype at, const QString& marker,
                  Qt::CaseSensitivity cs = Qt::CaseSensitive)
{
    return !marker.isEmpty() && line.mid(at).startsWith(marker, cs);
}

bool isBlankBefore(QStringView line, qsizetype at)
{
    for (qsizetype i = 0; i < at; ++i) {
        if (!line[i].isSpace()) {
            return false;
        }
    }
    return true;
}

} // namespace

CodeScanner::CodeScanner(const LanguageDefinition& definition)
    : m_lineComments(definition.lineComments), m_blockStart(definition.blockCommentStart),
      m_blockEnd(definition.blockCommentEnd), m_quotes(definition.stringQuotes), m_escape(definition.escape),
      m_wordChars(definition.wordChars), m_preprocessor(definition.preprocessor),
      m_caseSensitive(definition.caseSensitive)
{
    for (const QString& word : definition.keywords) {
        m_keywords.insert(m_caseSensitive ? word : word.toLower());
    }
    for (const QString& word : definition.keywords2) {
        m_keywords2.insert(m_caseSensitive ? word : word.toLower());
    }
}

bool CodeScanner::isWordChar(QChar c) const
{
    return c.isLetterOrNumber() || c == u'_' || m_wordChars.contains(c);
}

int CodeScanner::keywordSet(QStringView word) const
{
    const QString key = m_caseSensitive ? word.toString() : word.toString().toLower();
    if (m_keywords.contains(key)) {
        return 1;
    }
    return m_keywords2.contains(key) ? 2 : 0;
}

qsizetype CodeScanner::lineCommentLength(QStringView line, qsizetype at) const
{
    for (const QString& marker : m_lineComments) {
        // A marker that is a word, such as REM, must stand as a word of its own.
        if (isWordChar(marker.back())) {
            const qsizetype after = at + marker.size();
            if ((at > 0 && isWordChar(line[at - 1])) ||
                !startsWithAt(line, at, marker, Qt::CaseInsensitive) ||
                (after < line.size() && isWordChar(line[after]))) {
                continue;
            }
            return marker.size();
        }
        if (startsWithAt(line, at, marker)) {
            return marker.size();
        }
    }
    return 0;
}

qsizetype CodeScanner::stringEnd(QStringView line, qsizetype at) const
{
    const QChar quote = line[at];
    for (qsizetype i = at + 1; i < line.size(); ++i) {
        if (!m_escape.isNull() && line[i] == m_escape) {
            ++i;
        } else if (line[i] == quote) {
            return i + 1;
        }
    }
    return line.size();
}

CodeScanner::State CodeScanner::scanLine(QStringView line, State state, QList<Token>& tokens) const
{
    const qsizetype n = line.size();
    qsizetype i = 0;
    auto add = [&](qsizetype end, TokenKind kind) {
        tokens.append({i, end - i, kind});
        i = end;
    };
    if (state == State::BlockComment) {
        const qsizetype close = line.indexOf(m_blockEnd);
        if (close < 0) {
            add(n, TokenKind::Comment);
            return State::BlockComment;
        }
        add(close + m_blockEnd.size(), TokenKind::Comment);
    }
    while (i < n) {
        const QChar c = line[i];
        if (c.isSpace()) {
            qsizetype end = i + 1;
            while (end < n && line[end].isSpace()) {
                ++end;
            }
            add(end, TokenKind::Default);
        } else if (startsWithAt(line, i, m_blockStart)) {
            const qsizetype close = line.indexOf(m_blockEnd, i + m_blockStart.size());
            if (close < 0) {
                add(n, TokenKind::Comment);
                return State::BlockComment;
            }
            add(close + m_blockEnd.size(), TokenKind::Comment);
        } else if (lineCommentLength(line, i) > 0) {
            add(n, TokenKind::Comment);
        } else if (startsWithAt(line, i, m_preprocessor) && isBlankBefore(line, i)) {
            add(n, TokenKind::Preprocessor);
        } else if (m_quotes.contains(c)) {
            add(stringEnd(line, i), TokenKind::String);
        } else if (isWordChar(c)) {
            qsizetype end = i + 1;
            const bool number = c.isDigit();
            while (end < n && (isWordChar(line[end]) || (number && line[end] == u'.'))) {
                ++end;
            }
            if (number) {
                add(end, TokenKind::Number);
            } else {
                const int set = keywordSet(line.mid(i, end - i));
                add(end, set == 1   ? TokenKind::Keyword
                         : set == 2 ? TokenKind::Keyword2
                                    : TokenKind::Identifier);
            }
        } else {
            add(i + 1, TokenKind::Operator);
        }
    }
    return State::Code;
}

QList<CodeScanner::Token> CodeScanner::scan(QStringView text) const
{
    QList<Token> all;
    State state = State::Code;
    qsizetype lineStart = 0;
    QList<Token> tokens;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        const qsizetype next = lineEnd < 0 ? text.size() + 1 : lineEnd + 1;
        if (lineEnd < 0) {
            lineEnd = text.size();
        }
        if (lineEnd > lineStart && text[lineEnd - 1] == u'\r') {
            --lineEnd;
        }
        tokens.clear();
        state = scanLine(text.mid(lineStart, lineEnd - lineStart), state, tokens);
        for (Token& token : tokens) {
            token.start += lineStart;
            all.append(token);
        }
        lineStart = next;
    }
    return all;
}

TokenKind CodeScanner::kindAt(QStringView text, qsizetype position) const
{
    // Without block comments a line tells all about itself.
    qsizetype lineStart = 0;
    if (m_blockStart.isEmpty() && position > 0) {
        lineStart = text.lastIndexOf(u'\n', position - 1) + 1;
    }
    State state = State::Code;
    QList<Token> tokens;
    while (lineStart <= position) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0) {
            lineEnd = text.size();
        }
        const qsizetype next = lineEnd + 1;
        if (lineEnd > lineStart && text[lineEnd - 1] == u'\r') {
            --lineEnd;
        }
        tokens.clear();
        state = scanLine(text.mid(lineStart, lineEnd - lineStart), state, tokens);
        if (position < next) {
            for (const Token& token : tokens) {
                if (position - lineStart < token.start + token.length) {
                    return token.kind;
                }
            }
            return TokenKind::Default;
        }
        lineStart = next;
    }
    return TokenKind::Default;
}
