#include "store/LibraryOrdering.h"

#include "store/KeyOrder.h"
#include "store/TextCodec.h"

#include <algorithm>
#include <atomic>
#include <QHash>

namespace LibraryOrdering {

QString sortKey(const SnippetRecord& record)
{
    return TextCodec::lowerJoined({record.Language, u":::", record.Category, u":::", record.Title});
}

namespace {

bool hasSurrogates(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
}

// The rank of each record's key beginning, lower-case language ":::" category ":::", among the
// distinct beginnings, which a library has few of. Empty when one beginning is a proper beginning of
// another, where a title is compared with the rest of the other's category and ranks cannot order
// them, or when a beginning holds a surrogate unit (see sortedOrder).
std::vector<quint32> beginningRanks(const CodeArray& array)
{
    QHash<std::pair<QString, QString>, quint32> distinct;
    std::vector<quint32> ranks(array.size());
    QStringList beginnings;
    for (size_t i = 0; i < array.size(); ++i) {
        const SnippetRecord& r = array[i];
        const std::pair<QString, QString> pair(r.Language, r.Category);
        auto at = distinct.constFind(pair);
        if (at == distinct.constEnd()) {
            at = distinct.insert(pair, quint32(beginnings.size()));
            beginnings.append(TextCodec::lowerJoined({r.Language, u":::", r.Category, u":::"}));
        }
        ranks[i] = *at;
    }
    const std::vector<size_t> order = sortedViewOrder(
        size_t(beginnings.size()), [&](size_t i) { return QStringView(beginnings[qsizetype(i)]); });
    // Beginnings that lower-case alike share a rank.
    std::vector<quint32> rankOf(order.size());
    quint32 rank = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        const QString& here = beginnings[qsizetype(order[k])];
        if (hasSurrogates(here)) {
            return {};
        }
        if (k > 0) {
            const QString& before = beginnings[qsizetype(order[k - 1])];
            if (here != before) {
                // Sorted, a proper beginning of a key comes right before a key that begins with it.
                if (here.startsWith(before)) {
                    return {};
                }
                ++rank;
            }
        }
        rankOf[order[k]] = rank;
    }
    for (quint32& r : ranks) {
        r = rankOf[r];
    }
    return ranks;
}

} // namespace

std::vector<size_t> sortedOrder(const CodeArray& array)
{
    // Records with equal keys keep their order, so the same file always gives the same tree.
    const std::vector<quint32> ranks = beginningRanks(array);
    auto wholeKeys = [&array] {
        return sortedKeyOrder(array.size(), [&array](size_t i) { return sortKey(array[i]); });
    };
    if (ranks.empty()) {
        return wholeKeys();
    }
    // The key's beginning as two units of its rank, then the lower-cased title: shorter keys that
    // order as the whole ones do. Qt lower-cases what follows a surrogate unit differently with other
    // text before it, so a title with one needs the whole keys.
    std::atomic<bool> surrogates{false};
    std::vector<size_t> order = sortedKeyOrder(array.size(), [&](size_t i) {
        static constexpr char16_t Placeholder[2] = {0, 0};
        const QString& title = array[i].Title;
        if (hasSurrogates(title)) {
            surrogates = true;
        }
        QString key = TextCodec::lowerJoined({QStringView(Placeholder, 2), title});
        key[0] = QChar(char16_t(ranks[i] >> 16));
        key[1] = QChar(char16_t(ranks[i] & 0xffff));
        return key;
    });
    if (surrogates) {
        return wholeKeys();
    }
    return order;
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
