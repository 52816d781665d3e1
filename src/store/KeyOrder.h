#pragma once

#include <cstddef>
#include <functional>
#include <QString>
#include <vector>

// Sorting many rows on text keys: the order that sorts count keys (keyOf(i) gives the i-th) by UTF-16
// code unit as QString's operator< does, ascending or descending, equal keys in index order.
// Each key is made once and kept with the others in one buffer behind a four-unit prefix that
// settles most comparisons, and a large set is sorted in two halves at once: a million keys sorted
// as strings spread over the heap spend most of their time waiting for memory.
std::vector<size_t> sortedKeyOrder(size_t count, const std::function<QString(size_t)>& keyOf,
                                   bool ascending = true);

// Puts the elements in order in place: position p receives the element that was at order[p]. No
// second copy of the elements is made, which for a million records is hundreds of megabytes.
template <typename T> void applyOrder(std::vector<T>& elements, const std::vector<size_t>& order)
{
    std::vector<bool> placed(elements.size(), false);
    for (size_t start = 0; start < elements.size(); ++start) {
        if (placed[start]) {
            continue;
        }
        // Each cycle of the order moves along once, its first element held aside.
        T held = std::move(elements[start]);
        size_t to = start;
        for (;;) {
            placed[to] = true;
            const size_t from = order[to];
            if (from == start) {
                elements[to] = std::move(held);
                break;
            }
            elements[to] = std::move(elements[from]);
            to = from;
        }
    }
}
