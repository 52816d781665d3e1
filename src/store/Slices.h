#pragma once

#include <algorithm>
#include <cstddef>
#include <thread>
#include <vector>

// Splits [0, size) into consecutive slices and runs work(slice, begin, end) for each, the first on
// this thread and the others on threads of their own, when size reaches parallelFrom; otherwise one
// slice on this thread. Returns the number of slices, so callers can keep one result per slice.
// Each slice must touch only its own elements.
template <typename Work>
std::size_t runInSlices(std::size_t size, std::size_t parallelFrom, Work work)
{
    const std::size_t cores = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
    const std::size_t slices = size < parallelFrom ? 1 : cores;
    const std::size_t length = (size + slices - 1) / slices;
    std::vector<std::thread> threads;
    for (std::size_t s = 1; s < slices; ++s) {
        const std::size_t begin = std::min(size, length * s);
        threads.emplace_back([&work, s, begin, size, length] { work(s, begin, std::min(size, begin + length)); });
    }
    work(0, 0, std::min(size, length));
    for (std::thread& thread : threads) {
        thread.join();
    }
    return slices;
}

// How many slices runInSlices would make, for sizing per-slice results beforehand.
inline std::size_t sliceCount(std::size_t size, std::size_t parallelFrom)
{
    return size < parallelFrom ? 1 : std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
}
