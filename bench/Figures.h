#pragma once

#include <cstdio>
#include <QElapsedTimer>

// How the benchmarks time their work and print a figure: one line "name: value unit".
inline void report(const char* name, double value, const char* unit)
{
    std::printf("%s: %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

// The seconds work takes.
template <typename Work> double seconds(Work work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e9;
}
