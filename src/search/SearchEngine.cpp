#include "search/SearchEngine.h"

#include "search/ByteMatcher.h"
#include "store/Slices.h"
#include "search/TextMatcher.h"
#include "store/Prefetch.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace SearchEngine {

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Below this many records one thread is quicker than starting more.
constexpr size_t ParallelFrom = 20000;
constexpr size_t PrefetchAhead = 8;

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
        text += CrLf + record.Code.toString();
    }
    return text;
}

qsizetype TextSearch(CodeArray& records, const QString& term, Qt::CaseSensitivity cs, Fields fields,
                     bool within, const SearchScope& scope)
{
    const TextMatcher matcher(term, cs);
    // The code is searched in its bytes, and decoded only when they cannot tell.
    const ByteMatcher bytes(term, cs);
    // Only a term with a line break can run across the CR LF that joins two fields; any other match
    // lies within one field, which can be searched where it stands.
    const bool acrossFields = term.contains(u'\r') || term.contains(u'\n');
    auto matches = [&](const SnippetRecord& r) {
        if (acrossFields) {
            return matcher.isIn(searchText(r, fields));
        }
        return (fields.titles && matcher.isIn(r.Title)) || (fields.keywords && matcher.isIn(r.Keywords)) ||
               (fields.code && bytes.isIn(r.Code.bytes(), matcher, [&r] { return r.Code.toString(); }));
    };
    const size_t size = records.size();
    std::vector<qsizetype> counts(sliceCount(size, ParallelFrom), 0);
    runInSlices(size, ParallelFrom, [&](size_t slice, size_t begin, size_t end) {
        // Each slice has its own copy of the scope: its strings are then never shared across threads.
        const SearchScope own = scope;
        qsizetype count = 0;
        for (size_t i = begin; i < end; ++i) {
            if (i + PrefetchAhead < end) {
                prefetchTexts(records[i + PrefetchAhead], 1);
            }
            SnippetRecord& r = records[i];
            if (r.Deleted || (within && !r.Matched)) {
                continue;
            }
            r.Matched = false;
            if (own.contains(r) && matches(r)) {
                r.Matched = true;
                ++count;
            }
        }
        counts[slice] = count;
    });
    return std::accumulate(counts.begin(), counts.end(), qsizetype(0));
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
