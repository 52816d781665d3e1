#include "search/SearchScope.h"

SearchScope::SearchScope(const QString& searchLanguage, bool allLanguages, bool oneLanguageView)
    : m_language(searchLanguage), m_allLanguages(allLanguages), m_oneLanguageView(oneLanguageView)
{}

bool SearchScope::isSearchLanguage(const QString& language) const
{
    if (!m_haveLast || language != m_lastLanguage) {
        m_lastLanguage = language;
        m_lastAnswer = language.toLower() == m_language;
        m_haveLast = true;
    }
    return m_lastAnswer;
}

bool SearchScope::contains(const SnippetRecord& record) const
{
    if (m_allLanguages && !m_oneLanguageView) {
        return true;
    }
    return isSearchLanguage(record.Language);
}
