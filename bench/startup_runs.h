#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

// The start-up benchmarks' common part, on Linux and under Wine: start the program and the bare
// window the same number of times, after one warm-up start each, and print each one's median,
// fastest and slowest time from process start to the first shown window.
namespace bench {

// Milliseconds from starting the program to its report of a shown window; negative on failure.
using StartOnce = double (*)(const char* program);

inline void reportStartups(StartOnce startOnce, const char* name, const char* program, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = startOnce(program);
        if (ms < 0) {
            std::fprintf(stderr, "%s failed to start\n", program);
            std::exit(1);
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-18s median %7.1f ms   min %7.1f ms   max %7.1f ms   (%d runs)\n", name,
                times[times.size() / 2], times.front(), times.back(), runs);
}

// main's work: PROBE BARE [RUNS] from the command line; bareName names the bare window.
inline int runStartupBench(int argc, char** argv, StartOnce startOnce, const char* bareName) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PROBE BARE [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 20;
    startOnce(argv[1]);  // warm the page cache (and, under Wine, the wineserver)
    startOnce(argv[2]);
    reportStartups(startOnce, "Volscope", argv[1], runs);
    reportStartups(startOnce, bareName, argv[2], runs);
    return 0;
}

}  // namespace bench
