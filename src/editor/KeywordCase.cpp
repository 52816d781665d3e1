#include "editor/KeywordCase.h"

KeywordCase::KeywordCase(const LanguageDefinition& definition) : m_scanner(definition)
{
    if (definition.caseSensitive) {
        return;
    }
    // The first spelling of a word wins, the main set before the second.
    for (const QStringList* set : {&definition.keywords, &definition.keywords2}) {
        for (const QString& word : *set) {
            const QString key = word.toLower();
            if (!m_canonical.contains(key)) {
                m_canonical.insert(key, word);
            }
        }
    }
}

QString KeywordCase::canonical(QStringView word) const
{
    const auto found = m_canonical.constFind(word.toString().toLower());
    if (found == m_canonical.constEnd() || *found == word) {
        return {};
    }
    return *found;
}

QString KeywordCase::capitalizeAll(const QString& text) const
{
    if (isEmpty()) {
        return text;
    }
    QString result = text;
    for (const CodeScanner::Token& token : m_scanner.scan(text)) {
        if (token.kind != TokenKind::Keyword && token.kind != TokenKind::Keyword2) {
            continue;
        }
        const QString form = canonical(QStringView(text).mid(token.start, token.length));
        // Case changes that alter a word's length (such as sharp s) would shift the later tokens.
        if (!form.isEmpty() && form.size() == token.length) {
            result.replace(token.start, token.length, form);
        }
    }
    return result;
}

std::optional<KeywordCase::Replacement> KeywordCase::completedWord(QStringView text, qsizetype end) const
{
    if (isEmpty() || end <= 0 || end > text.size()) {
        return std::nullopt;
    }
    qsizetype start = end;
    while (start > 0 && m_scanner.isWordChar(text[start - 1])) {
        --start;
    }
    if (start == end) {
        return std::nullopt;
    }
    const QString form = canonical(text.mid(start, end - start));
    if (form.isEmpty()) {
        return std::nullopt;
    }
    const TokenKind kind = m_scanner.kindAt(text, start);
    if (kind != TokenKind::Keyword && kind != TokenKind::Keyword2) {
        return std::nullopt;
    }
    return Replacement{start, end - start, form};
}
