#include "store/KeyOrder.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <string_view>
#include <thread>

namespace {

struct SortEntry
{
    quint64 prefix; // four units of the key from the depth its run is being sorted at
    const char16_t* text;
    size_t length;
    size_t index;
};

// Units 4 * depth to 4 * depth + 3 packed so that comparing the numbers orders as comparing those units
// does; past the key's end the padding is 0, the least unit.
quint64 prefixAt(const SortEntry& entry, size_t depth)
{
    quint64 prefix = 0;
    for (size_t i = 4 * depth; i < 4 * depth + 4; ++i) {
        prefix = (prefix << 16) | (i < entry.length ? entry.text[i] : 0u);
    }
    return prefix;
}

// Below this many keys a second thread costs more than it saves.
constexpr size_t TwoThreadsFrom = 65536;

// A stretch of entries whose keys share their first 4 * depth units and still have to be ordered.
struct Run
{
    size_t begin;
    size_t end;
    size_t depth;
};

// The keys are ordered four units at a time, most significant first: each run is sorted on the four
// units at its depth, which sit in the entries themselves, and only the groups still tied go a level
// deeper. Comparing whole keys instead reads two far-apart keys for nearly every comparison when keys
// share long beginnings ("c++:::strings:::..."), and a million keys then wait on memory.
class LevelSort
{
public:
    LevelSort(std::vector<SortEntry>& entries, std::vector<quint8>& sameAsBefore)
        : m_entries(entries), m_same(sameAsBefore)
    {}

    // Orders one run; the groups that are still tied are added to deeper. Within a run the entries are
    // in index order, which every sort keeps for equal keys.
    void sortLevel(const Run& run, std::vector<Run>& deeper)
    {
        const size_t limit = 4 * (run.depth + 1);
        const auto first = m_entries.begin() + std::ptrdiff_t(run.begin);
        const auto last = m_entries.begin() + std::ptrdiff_t(run.end);
        bool allTied = true;
        for (auto e = first; e != last; ++e) {
            e->prefix = prefixAt(*e, run.depth);
            allTied = allTied && e->prefix == first->prefix && e->length > limit;
        }
        if (allTied) {
            deeper.push_back({run.begin, run.end, run.depth + 1});
            return;
        }
        // A key that ends within these units comes before any longer one with the same units, which
        // then holds 0s where the shorter one was padded; among ended keys the shorter is first.
        std::sort(first, last, [limit](const SortEntry& a, const SortEntry& b) {
            if (a.prefix != b.prefix) {
                return a.prefix < b.prefix;
            }
            const bool aEnded = a.length <= limit;
            const bool bEnded = b.length <= limit;
            if (aEnded != bEnded) {
                return aEnded;
            }
            if (aEnded && a.length != b.length) {
                return a.length < b.length;
            }
            return a.index < b.index;
        });
        for (size_t i = run.begin; i < run.end;) {
            const SortEntry& head = m_entries[i];
            const bool ended = head.length <= limit;
            size_t j = i + 1;
            while (j < run.end && m_entries[j].prefix == head.prefix &&
                   (m_entries[j].length <= limit) == ended &&
                   (!ended || m_entries[j].length == head.length)) {
                ++j;
            }
            if (ended) {
                // Same units and same length: equal keys.
                for (size_t k = i + 1; k < j; ++k) {
                    m_same[k] = 1;
                }
            } else if (j - i > 1) {
                deeper.push_back({i, j, run.depth + 1});
            }
            i = j;
        }
    }

    void sortAll(std::vector<Run> runs)
    {
        while (!runs.empty()) {
            const Run run = runs.back();
            runs.pop_back();
            sortLevel(run, runs);
        }
    }

private:
    std::vector<SortEntry>& m_entries;
    std::vector<quint8>& m_same;
};

// Whether the entries' keys already ascend as they stand: a library this program saved is in its order
// when it is read again.
bool ascendAlready(const std::vector<SortEntry>& entries)
{
    for (size_t i = 1; i < entries.size(); ++i) {
        if (std::u16string_view(entries[i].text, entries[i].length) <
            std::u16string_view(entries[i - 1].text, entries[i - 1].length)) {
            return false;
        }
    }
    return true;
}

// Sorts the entries, ascending or descending, equal keys in index order; returns the indexes in that order.
std::vector<size_t> orderOf(std::vector<SortEntry>& entries, bool ascending)
{
    if (ascending && ascendAlready(entries)) {
        std::vector<size_t> order(entries.size());
        std::transform(entries.begin(), entries.end(), order.begin(),
                       [](const SortEntry& e) { return e.index; });
        return order;
    }
    std::vector<quint8> same(entries.size(), 0);
    LevelSort sort(entries, same);
    std::vector<Run> runs;
    if (!entries.empty()) {
        runs.push_back({0, entries.size(), 0});
    }
    if (entries.size() >= TwoThreadsFrom) {
        // The first levels here, until there are runs enough to share out; runs are disjoint, so two
        // threads can take them in turn.
        constexpr size_t Enough = 16;
        while (!runs.empty() && runs.size() < Enough) {
            std::vector<Run> next;
            for (const Run& run : runs) {
                sort.sortLevel(run, next);
            }
            runs.swap(next);
        }
        std::atomic<size_t> taken{0};
        auto work = [&] {
            for (size_t k = taken++; k < runs.size(); k = taken++) {
                sort.sortAll({runs[k]});
            }
        };
        std::thread helper(work);
        work();
        helper.join();
    } else {
        sort.sortAll(std::move(runs));
    }
    std::vector<size_t> order;
    order.reserve(entries.size());
    if (ascending) {
        for (const SortEntry& e : entries) {
            order.push_back(e.index);
        }
        return order;
    }
    // Descending: the groups of equal keys in reverse, each still in index order.
    for (size_t end = entries.size(); end > 0;) {
        size_t begin = end - 1;
        while (begin > 0 && same[begin] != 0) {
            --begin;
        }
        for (size_t k = begin; k < end; ++k) {
            order.push_back(entries[k].index);
        }
        end = begin;
    }
    return order;
}

} // namespace

std::vector<size_t> sortedKeyOrder(size_t count, const std::function<QString(size_t)>& keyOf, bool ascending)
{
    std::vector<SortEntry> entries(count);
    std::vector<size_t> offsets(count);
    // Made in two halves at once for a large set: reading the records the keys come from is most of it.
    const size_t halves = count >= TwoThreadsFrom ? 2 : 1;
    std::u16string keys[2];
    auto make = [&](size_t half) {
        std::u16string& buffer = keys[half];
        const size_t end = half + 1 == halves ? count : count / 2;
        for (size_t i = half == 0 ? 0 : count / 2; i < end; ++i) {
            const QString key = keyOf(i);
            entries[i] = {0, nullptr, size_t(key.size()), i};
            offsets[i] = buffer.size();
            buffer.append(reinterpret_cast<const char16_t*>(key.utf16()), size_t(key.size()));
        }
    };
    if (halves == 2) {
        std::thread second(make, 1);
        make(0);
        second.join();
    } else {
        make(0);
    }
    // The buffers have stopped moving: the entries can point into them.
    for (size_t i = 0; i < count; ++i) {
        entries[i].text = keys[halves == 2 && i >= count / 2 ? 1 : 0].data() + offsets[i];
    }
    return orderOf(entries, ascending);
}

std::vector<size_t> sortedViewOrder(size_t count, const std::function<QStringView(size_t)>& viewOf,
                                    bool ascending)
{
    std::vector<SortEntry> entries;
    entries.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const QStringView key = viewOf(i);
        entries.push_back({0, key.utf16(), size_t(key.size()), i});
    }
    return orderOf(entries, ascending);
}
