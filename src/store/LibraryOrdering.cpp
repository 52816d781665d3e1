#include "store/LibraryOrdering.h"

#include "store/KeyOrder.h"
#include "store/TextCodec.h"

namespace LibraryOrdering {

QString sortKey(const SnippetRecord& record)
{
    return TextCodec::lowerJoined({record.Language, u":::", record.Category, u":::", record.Title});
}

std::vector<size_t> sortedOrder(const CodeArray& array)
{
    // Records with equal keys keep their order, so the same file always gives the same tree.
    return sortedKeyOrder(array.size(), [&array](size_t i) { return sortKey(array[i]); });
}

void applyOrder(CodeArray& array, const std::vector<size_t>& order)
{
    // The records are moved into place in one pass.
    CodeArray sorted;
    sorted.reserve(array.size());
    for (size_t from : order) {
        sorted.push_back(std::move(array[from]));
    }
    array = std::move(sorted);
}

void SortCodeByLanguage(CodeArray& array)
{
    if (array.size() >= 2) {
        applyOrder(array, sortedOrder(array));
    }
}

} // namespace LibraryOrdering
