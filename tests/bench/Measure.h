#pragma once

#include <chrono>
#include <cstdio>
#include <sys/resource.h>

// What the benchmarks and the soak measure with. A benchmark prints each
// figure on one line with its unit and its goal, and judges nothing.
namespace Measure {

using Clock = std::chrono::steady_clock;

inline void Report(const char* what, double value, const char* unit, const char* goal) {
    std::printf("%-52s %10.3f %-3s (goal %s)\n", what, value, unit, goal);
}

inline double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

inline rusage Usage() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
}

// User and system time of this process.
inline double ProcessorSeconds() {
    const rusage usage = Usage();
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// The most memory this process has held in RAM so far.
inline double PeakResidentMegabytes() {
    return static_cast<double>(Usage().ru_maxrss) / 1024.0;
}

} // namespace Measure
