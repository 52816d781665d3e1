#include "search/MappedSearch.h"

#include "search/ByteMatcher.h"
#include "store/Slices.h"
#include "search/TextMatcher.h"
#include "store/LibraryOrdering.h"

namespace MappedSearch {

namespace {

// Below this many records one thread is quicker than starting more.
constexpr size_t ParallelFrom = 20000;

} // namespace

std::vector<size_t> TextSearch(const MappedDatabase& db, const QString& term, Qt::CaseSensitivity cs,
                               SearchEngine::Fields fields, const SearchScope& scope)
{
    const ByteMatcher bytes(term, cs);
    const TextMatcher matcher(term, cs);
    const bool acrossFields = term.contains(u'\r') || term.contains(u'\n');
    const bool byLanguage = !scope.allLanguages() || scope.oneLanguageView();
    const std::pair<bool, MappedDatabase::Field> searched[] = {{fields.titles, MappedDatabase::Title},
                                                               {fields.keywords, MappedDatabase::Keywords},
                                                               {fields.code, MappedDatabase::Code}};
    auto fieldMatches = [&](size_t i, MappedDatabase::Field field) {
        return bytes.isIn(db.bytes(i, field), matcher, [&] { return db.text(i, field); });
    };
    auto matches = [&](size_t i) {
        if (acrossFields) {
            return matcher.isIn(SearchEngine::searchText(
                db.record(i, MappedDatabase::Title | MappedDatabase::Keywords | MappedDatabase::Code),
                fields));
        }
        for (const auto& [wanted, field] : searched) {
            if (wanted && fieldMatches(i, field)) {
                return true;
            }
        }
        return false;
    };
    const size_t size = db.size();
    std::vector<std::vector<size_t>> found(sliceCount(size, ParallelFrom));
    runInSlices(size, ParallelFrom, [&](size_t slice, size_t begin, size_t end) {
        // Each slice has its own copy of the scope: its strings are then never shared across threads.
        const SearchScope own = scope;
        SnippetRecord language;
        for (size_t i = begin; i < end; ++i) {
            if (byLanguage) {
                language.Language = db.text(i, MappedDatabase::Language);
                if (!own.contains(language)) {
                    continue;
                }
            }
            if (matches(i)) {
                found[slice].push_back(i);
            }
        }
    });
    std::vector<size_t> all;
    for (const std::vector<size_t>& part : found) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

std::vector<size_t> libraryPositions(const MappedDatabase& db)
{
    const std::vector<size_t> order = LibraryOrdering::sortedOrder(
        db.records(MappedDatabase::Language | MappedDatabase::Category | MappedDatabase::Title));
    std::vector<size_t> positions(order.size());
    for (size_t p = 0; p < order.size(); ++p) {
        positions[order[p]] = p;
    }
    return positions;
}

} // namespace MappedSearch
