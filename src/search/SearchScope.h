#pragma once

#include "store/SnippetRecord.h"

#include <QString>

// The records a search, a word list or "Bookmark All" looks at: those of the search language, or of
// every language when "All Languages" is ticked, but never beyond the one language the tree shows.
class SearchScope
{
public:
    SearchScope() = default;
    SearchScope(const QString& searchLanguage, bool allLanguages, bool oneLanguageView);

    // The search language of a language node's key (a language name): its lower-case form.
    static QString searchLanguage(const QString& languageKey) { return languageKey.toLower(); }

    // Whether the record's language passes both tests.
    bool contains(const SnippetRecord& record) const;

    // Whether the lower-cased language equals the search language.
    bool isSearchLanguage(const QString& language) const;

    const QString& language() const { return m_language; }
    bool allLanguages() const { return m_allLanguages; }
    bool oneLanguageView() const { return m_oneLanguageView; }

private:
    QString m_language;
    bool m_allLanguages = true;
    bool m_oneLanguageView = false;
    // Records come grouped by language, so the last answer is usually the next one too.
    mutable QString m_lastLanguage;
    mutable bool m_lastAnswer = false;
    mutable bool m_haveLast = false;
};
