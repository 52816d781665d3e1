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
    ::applyOrder(array, order);
}

void SortCodeByLanguage(CodeArray& array)
{
    if (array.size() >= 2) {
        applyOrder(array, sortedOrder(array));
    }
}

} // namespace LibraryOrdering
