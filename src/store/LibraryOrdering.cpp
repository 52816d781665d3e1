#include "store/LibraryOrdering.h"

#include <algorithm>
#include <numeric>

namespace LibraryOrdering {

QString sortKey(const SnippetRecord& record)
{
    // Most keys are plain ASCII, which is lowered here directly; Qt's full case mapping is far
    // slower per character and is kept for the rest.
    const QStringView parts[] = {record.Language, u":::", record.Category, u":::", record.Title};
    qsizetype size = 0;
    for (QStringView part : parts) {
        size += part.size();
    }
    QString key(size, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(key.data());
    char16_t seen = 0;
    for (QStringView part : parts) {
        for (QChar qc : part) {
            const char16_t c = qc.unicode();
            seen |= c;
            *out++ = (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
        }
    }
    if (seen < 0x80) {
        return key;
    }
    return QString(record.Language + QLatin1String(":::") + record.Category + QLatin1String(":::") +
                   record.Title)
        .toLower();
}

void SortCodeByLanguage(CodeArray& array)
{
    if (array.size() < 2) {
        return;
    }
    // Each key is built once; the records are then moved into place in one pass. A stable sort
    // keeps records with equal keys in a fixed order, so the same file always gives the same tree.
    std::vector<QString> keys;
    keys.reserve(array.size());
    for (const SnippetRecord& r : array) {
        keys.push_back(sortKey(r));
    }
    std::vector<size_t> order(array.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    CodeArray sorted;
    sorted.reserve(array.size());
    for (size_t from : order) {
        sorted.push_back(std::move(array[from]));
    }
    array = std::move(sorted);
}

} // namespace LibraryOrdering
