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
