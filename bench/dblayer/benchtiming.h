#pragma once

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

// Runs `work` `runs` times, prints the fastest, median and slowest run in milliseconds after
// `what`, and returns the median.
inline double measureRuns(const char* what, int runs, const std::function<void()>& work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    std::printf("%-42s fastest %7.1f  median %7.1f  slowest %7.1f ms\n", what, ms.front(), median,
                ms.back());
    return median;
}
