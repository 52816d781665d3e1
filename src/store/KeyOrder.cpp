#include "store/KeyOrder.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <thread>

namespace {

struct SortEntry
{
    quint64 prefix;
    size_t offset;
    size_t length;
    size_t index;
};

// The first four UTF-16 units packed so that comparing the numbers orders as comparing the strings
// does: a shorter string pads with 0, the least unit, and equal prefixes leave it to the whole keys.
quint64 prefixOf(QStringView key)
{
    quint64 prefix = 0;
    for (qsizetype i = 0; i < 4; ++i) {
        prefix = (prefix << 16) | (i < key.size() ? key[i].unicode() : 0u);
    }
    return prefix;
}

// Below this many keys a second thread costs more than it saves.
constexpr size_t TwoHalvesFrom = 65536;

} // namespace

std::vector<size_t> sortedKeyOrder(size_t count, const std::function<QString(size_t)>& keyOf, bool ascending)
{
    std::u16string keys;
    std::vector<SortEntry> entries;
    entries.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const QString key = keyOf(i);
        entries.push_back({prefixOf(key), keys.size(), size_t(key.size()), i});
        keys.append(reinterpret_cast<const char16_t*>(key.utf16()), size_t(key.size()));
    }
    const std::u16string_view all(keys);
    // std::u16string_view compares by unsigned UTF-16 unit, shorter first on a common start, as QString.
    auto before = [&](const SortEntry& a, const SortEntry& b) {
        if (a.prefix != b.prefix) {
            return ascending ? a.prefix < b.prefix : b.prefix < a.prefix;
        }
        const int c = all.substr(a.offset, a.length).compare(all.substr(b.offset, b.length));
        if (c != 0) {
            return ascending ? c < 0 : c > 0;
        }
        return a.index < b.index;
    };
    if (entries.size() >= TwoHalvesFrom) {
        const auto middle = entries.begin() + std::ptrdiff_t(entries.size() / 2);
        std::thread first([&] { std::sort(entries.begin(), middle, before); });
        std::sort(middle, entries.end(), before);
        first.join();
        std::inplace_merge(entries.begin(), middle, entries.end(), before);
    } else {
        std::sort(entries.begin(), entries.end(), before);
    }
    std::vector<size_t> order;
    order.reserve(entries.size());
    for (const SortEntry& e : entries) {
        order.push_back(e.index);
    }
    return order;
}
