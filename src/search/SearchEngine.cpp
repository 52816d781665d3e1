#include "search/SearchEngine.h"

#include "search/TextMatcher.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace SearchEngine {

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Below this many records one thread is quicker than starting more.
constexpr qsizetype ParallelFrom = 20000;
constexpr qsizetype PrefetchAhead = 8;

inline void prefetch(const QString& text)
{
#if defined(__GNUC__)
    __builtin_prefetch(text.constData());
#else
    Q_UNUSED(text);
#endif
}

// Runs work(begin, end, scope) over slices of the array, in parallel for large libraries; every slice
// touches its own records only and gets its own copy of the scope. Returns the sum of the counts.
template <typename Work> qsizetype inSlices(qsizetype size, const SearchScope& scope, Work work)
{
    const unsigned cores = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
    if (size < ParallelFrom || cores == 1) {
        SearchScope own = scope;
        return work(0, size, own);
    }
    std::atomic<qsizetype> total{0};
    std::vector<std::thread> threads;
    const qsizetype slice = (size + cores - 1) / cores;
    for (unsigned t = 1; t < cores; ++t) {
        const qsizetype begin = std::min(size, slice * t);
        const qsizetype end = std::min(size, begin + slice);
        threads.emplace_back([&, begin, end] {
            SearchScope own = scope;
            total += work(begin, end, own);
        });
    }
    SearchScope own = scope;
    total += work(0, std::min(size, slice), own);
    for (std::thread& thread : threads) {
        thread.join();
    }
    return total;
}

} // namespace

bool isBlank(const QString& term)
{
    return std::all_of(term.cbegin(), term.cend(), [](QChar c) { return c == u' '; });
}

QString searchText(const SnippetRecord& record, Fields fields)
{
    QString text;
    if (fields.titles) {
        text = record.Title;
    }
    if (fields.keywords) {
        text += CrLf + record.Keywords;
    }
    if (fields.code) {
        text += CrLf + record.Code;
    }
    return text;
}

qsizetype TextSearch(CodeArray& records, const QString& term, Qt::CaseSensitivity cs, Fields fields,
                     bool within, const SearchScope& scope)
{
    const TextMatcher matcher(term, cs);
    // Only a term with a line break can run across the CR LF that joins two fields; any other match
    // lies within one field, which can be searched where it stands.
    const bool acrossFields = term.contains(u'\r') || term.contains(u'\n');
    auto matches = [&](const SnippetRecord& r) {
        if (acrossFields) {
            return matcher.isIn(searchText(r, fields));
        }
        return (fields.titles && matcher.isIn(r.Title)) || (fields.keywords && matcher.isIn(r.Keywords)) ||
               (fields.code && matcher.isIn(r.Code));
    };
    const qsizetype size = qsizetype(records.size());
    return inSlices(size, scope, [&](qsizetype begin, qsizetype end, const SearchScope& own) {
        qsizetype count = 0;
        for (qsizetype i = begin; i < end; ++i) {
            if (i + PrefetchAhead < end) {
                const SnippetRecord& ahead = records[size_t(i + PrefetchAhead)];
                prefetch(ahead.Title);
                prefetch(ahead.Keywords);
                prefetch(ahead.Code);
            }
            SnippetRecord& r = records[size_t(i)];
            if (r.Deleted || (within && !r.Matched)) {
                continue;
            }
            r.Matched = false;
            if (own.contains(r) && matches(r)) {
                r.Matched = true;
                ++count;
            }
        }
        return count;
    });
}

qsizetype ListAllTitles(CodeArray& records, const SearchScope& scope)
{
    qsizetype count = 0;
    for (SnippetRecord& r : records) {
        r.Matched = !r.Deleted && scope.contains(r);
        count += r.Matched ? 1 : 0;
    }
    return count;
}

qsizetype ListBookmarked(CodeArray& records, const SearchScope& scope)
{
    qsizetype count = 0;
    for (SnippetRecord& r : records) {
        r.Matched = !r.Deleted && scope.contains(r) && r.isBookmarked();
        count += r.Matched ? 1 : 0;
    }
    return count;
}

} // namespace SearchEngine
