#include "search/QuickOpenIndex.h"

#include "search/FuzzyMatch.h"
#include "store/LibraryOrdering.h"

#include <algorithm>
#include <numeric>
#include <QHash>

QuickOpenIndex::QuickOpenIndex(const CodeArray& records)
{
    // In library order, so that equal matches list as the tree does, whatever edits did to the array.
    std::vector<size_t> order;
    std::vector<QString> keys(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        if (!records[i].Deleted) {
            order.push_back(i);
            keys[i] = LibraryOrdering::sortKey(records[i]);
        }
    }
    std::stable_sort(order.begin(), order.end(), [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
    keys.clear();

    QHash<QString, int> paths;
    m_entries.reserve(order.size());
    for (size_t i : order) {
        const SnippetRecord& r = records[i];
        Entry entry{qsizetype(i), add(r.Title), add(r.Keywords), 0};
        const QString path = pathText(r);
        const auto known = paths.constFind(path);
        if (known != paths.constEnd()) {
            entry.path = *known;
        } else {
            entry.path = int(m_paths.size());
            paths.insert(path, entry.path);
            m_paths.push_back(add(path));
        }
        m_entries.push_back(entry);
    }
}

QuickOpenIndex::Span QuickOpenIndex::add(QStringView text)
{
    const FuzzyMatch::Prepared prepared = FuzzyMatch::prepare(text);
    const Span span{m_text.size(), prepared.lower.size()};
    m_text += prepared.lower;
    m_starts += prepared.wordStarts;
    return span;
}

int QuickOpenIndex::scoreOf(const Span& span, QStringView query) const
{
    const QStringView text = QStringView(m_text).sliced(span.offset, span.length);
    if (!FuzzyMatch::contains(text, query)) {
        return FuzzyMatch::NoMatch;
    }
    return FuzzyMatch::score(text, m_starts.constData() + span.offset, query);
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
