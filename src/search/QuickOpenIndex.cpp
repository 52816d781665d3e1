#include "search/QuickOpenIndex.h"

#include "search/FuzzyMatch.h"

#include <algorithm>
#include <QHash>

QuickOpenIndex::QuickOpenIndex(const CodeArray& records)
{
    // Entries follow the code array, which is in library order after every sort, as the result list
    // takes it; equal matches then list as the tree does.
    qsizetype characters = 0;
    qsizetype snippets = 0;
    for (const SnippetRecord& r : records) {
        if (!r.Deleted) {
            characters += r.Title.size() + r.Keywords.size();
            ++snippets;
        }
    }
    m_text.reserve(characters);
    m_starts.reserve(characters);
    m_entries.reserve(size_t(snippets));

    // Records of one category follow each other, so the path is looked up only where it changes.
    QHash<QString, int> paths;
    const SnippetRecord* previous = nullptr;
    for (size_t i = 0; i < records.size(); ++i) {
        const SnippetRecord& r = records[i];
        if (r.Deleted) {
            continue;
        }
        Entry entry{qsizetype(i), add(r.Title), add(r.Keywords), 0};
        if (previous != nullptr && previous->Language == r.Language && previous->Category == r.Category) {
            entry.path = m_entries.back().path;
        } else {
            const QString path = pathText(r);
            const auto known = paths.constFind(path);
            if (known != paths.constEnd()) {
                entry.path = *known;
            } else {
                entry.path = int(m_paths.size());
                paths.insert(path, entry.path);
                m_paths.push_back(add(path));
            }
        }
        m_entries.push_back(entry);
        previous = &r;
    }
}

QuickOpenIndex::Span QuickOpenIndex::add(QStringView text)
{
    const Span span{m_text.size(), text.size()};
    FuzzyMatch::appendPrepared(text, m_text, m_starts);
    return span;
}

int QuickOpenIndex::scoreOf(const Span& span, QStringView query) const
{
    return FuzzyMatch::score(QStringView(m_text).sliced(span.offset, span.length),
                             m_starts.constData() + span.offset, query);
}

std::vector<QuickOpenIndex::Row> QuickOpenIndex::find(const QString& typed, qsizetype limit)
{
    const QString query = FuzzyMatch::prepareQuery(typed);
    std::vector<Row> rows;
    if (limit <= 0) {
        return rows;
    }
    if (query.isEmpty()) {
        m_haveLast = false;
        for (const Entry& entry : m_entries) {
            if (qsizetype(rows.size()) == limit) {
                break;
            }
            rows.push_back({entry.record, 0});
        }
        return rows;
    }

    // Positions in m_entries with their scores; the position breaks ties in library order.
    struct Found
    {
        int entry;
        int score;
    };
    std::vector<Found> found;
    std::vector<int> matches;
    std::vector<int> pathScores(m_paths.size(), FuzzyMatch::NoMatch - 1);
    auto visit = [&](int e) {
        const Entry& entry = m_entries[size_t(e)];
        int score = scoreOf(entry.title, query);
        if (score != FuzzyMatch::NoMatch) {
            score += TitleMatch;
        } else {
            int& path = pathScores[size_t(entry.path)];
            if (path == FuzzyMatch::NoMatch - 1) {
                path = scoreOf(m_paths[size_t(entry.path)], query);
            }
            score = std::max(path, scoreOf(entry.keywords, query));
            if (score == FuzzyMatch::NoMatch) {
                return;
            }
        }
        found.push_back({e, score});
        matches.push_back(e);
    };
    if (m_haveLast && query.startsWith(m_lastQuery)) {
        found.reserve(m_lastMatches.size());
        matches.reserve(m_lastMatches.size());
        for (int e : m_lastMatches) {
            visit(e);
        }
    } else {
        for (int e = 0; e < int(m_entries.size()); ++e) {
            visit(e);
        }
    }
    m_lastQuery = query;
    m_lastMatches = std::move(matches);
    m_haveLast = true;

    auto better = [this](const Found& a, const Found& b) {
        if (a.score != b.score) {
            return a.score > b.score;
        }
        const qsizetype lengthA = m_entries[size_t(a.entry)].title.length;
        const qsizetype lengthB = m_entries[size_t(b.entry)].title.length;
        if (lengthA != lengthB) {
            return lengthA < lengthB;
        }
        return a.entry < b.entry;
    };
    const auto end = found.begin() + std::min<qsizetype>(limit, qsizetype(found.size()));
    std::partial_sort(found.begin(), end, found.end(), better);
    rows.reserve(size_t(end - found.begin()));
    for (auto f = found.begin(); f != end; ++f) {
        rows.push_back({m_entries[size_t(f->entry)].record, f->score});
    }
    return rows;
}

QString QuickOpenIndex::rowText(const SnippetRecord& record)
{
    return record.Title + QStringLiteral(" \u2014 ") + pathText(record);
}

QString QuickOpenIndex::pathText(const SnippetRecord& record)
{
    return record.Language + QStringLiteral(" \u203A ") + record.Category;
}
