#pragma once

#include <cstddef>
#include <functional>
#include <QString>
#include <vector>

// Sorting many rows on text keys: the order that sorts count keys (keyOf(i) gives the i-th) by UTF-16
// code unit as QString's operator< does, ascending or descending, equal keys in index order.
// Each key is made once and kept with the others in one buffer; the keys are then ordered four units
// at a time, and a large set is made and sorted on two threads. keyOf must therefore be safe to call
// from two threads at once (reading shared data is).
std::vector<size_t> sortedKeyOrder(size_t count, const std::function<QString(size_t)>& keyOf,
                                   bool ascending = true);

// The same for keys the caller already holds: viewOf(i) gives the i-th, which must stay valid and
// unchanged during the call. Nothing is copied.
std::vector<size_t> sortedViewOrder(size_t count, const std::function<QStringView(size_t)>& viewOf,
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
