#pragma once

#include "store/SnippetRecord.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Quick Open's view of the library: every snippet of every language, found by a fuzzy match of what
// was typed against its title or, ranked below every title match, its keywords and its
// "Language › Category". Built once when Quick Open opens; each keystroke then looks only at the
// snippets that matched the text typed before it, when the new text goes on from it.
class QuickOpenIndex
{
public:
    struct Row
    {
        qsizetype index; // in the code array
        int score;       // higher ranks first; every title match is above every other match
    };

    // Rows Quick Open lists at most.
    static constexpr qsizetype DefaultLimit = 50;
    // Added to the score of a title match, which puts it above any keyword or path match.
    static constexpr int TitleMatch = 10000;

    explicit QuickOpenIndex(const CodeArray& records);

    // The best rows for what was typed, best first: higher score, then the shorter title, then the
    // order of the code array (library order once sorted). Nothing typed lists the first snippets in
    // that order, each with score 0.
    std::vector<Row> find(const QString& typed, qsizetype limit = DefaultLimit);

    // Snippets the index holds (deleted ones are left out).
    qsizetype size() const { return qsizetype(m_entries.size()); }

    // "Title — Language › Category", a row as Quick Open shows it.
    static QString rowText(const SnippetRecord& record);

    // "Language › Category", the path a query may match.
    static QString pathText(const SnippetRecord& record);

private:
    struct Span
    {
        qsizetype offset = 0;
        qsizetype length = 0;
    };
    struct Entry
    {
        qsizetype record;
        Span title;
        Span keywords;
        int path;
    };

    Span add(QStringView text);
    int scoreOf(const Span& span, QStringView query) const;

    QString m_text;      // every title, keyword line and path in lower case, one after the other
    QByteArray m_starts; // for each character of m_text, whether a word starts there
    std::vector<Entry> m_entries;
    std::vector<Span> m_paths;

    // What the last query matched, as positions in m_entries: the next query that goes on from it
    // can only match among these.
    QString m_lastQuery;
    std::vector<int> m_lastMatches;
    bool m_haveLast = false;
};
