#include "store/LibraryOrdering.h"

#include "store/TextCodec.h"

#include <algorithm>
#include <numeric>

namespace LibraryOrdering {

QString sortKey(const SnippetRecord& record)
{
    return TextCodec::lowerJoined({record.Language, u":::", record.Category, u":::", record.Title});
}

std::vector<size_t> sortedOrder(const CodeArray& array)
{
    // Each key is built once. A stable sort keeps records with equal keys in a fixed order, so the
    // same file always gives the same tree.
    std::vector<QString> keys;
    keys.reserve(array.size());
    for (const SnippetRecord& r : array) {
        keys.push_back(sortKey(r));
    }
    std::vector<size_t> order(array.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    return order;
}

void SortCodeByLanguage(CodeArray& array)
{
    if (array.size() < 2) {
        return;
    }
    // The records are moved into place in one pass.
    const std::vector<size_t> order = sortedOrder(array);
    CodeArray sorted;
    sorted.reserve(array.size());
    for (size_t from : order) {
        sorted.push_back(std::move(array[from]));
    }
    array = std::move(sorted);
}

} // namespace LibraryOrdering
