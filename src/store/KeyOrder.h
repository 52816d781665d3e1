#pragma once

#include "store/Prefetch.h"

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

// Asks for every cache line of an element before it is needed.
template <typename T> void prefetchElement(const T* element)
{
    const char* bytes = reinterpret_cast<const char*>(element);
    for (size_t at = 0; at < sizeof(T); at += 64) {
        prefetchForWrite(bytes + at);
    }
}

// Puts the elements in order in place: position p receives the element that was at order[p]. No
// second copy of the elements is made, which for a million records is hundreds of megabytes.
template <typename T> void applyOrder(std::vector<T>& elements, const std::vector<size_t>& order)
{
    constexpr int PrefetchSteps = 6;
    std::vector<bool> placed(elements.size(), false);
    for (size_t start = 0; start < elements.size(); ++start) {
        if (placed[start] || order[start] == start) {
            continue;
        }
        // Each cycle of the order moves along once, its first element held aside. The elements lie
        // all over memory, so a second walk along the cycle asks for them a few steps ahead.
        T held = std::move(elements[start]);
        size_t to = start;
        size_t ahead = start;
        for (int step = 0; step < PrefetchSteps; ++step) {
            ahead = order[ahead];
        }
        for (;;) {
            ahead = order[ahead];
            prefetchElement(&elements[ahead]);
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
