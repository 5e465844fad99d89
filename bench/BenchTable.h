#pragma once
// One row of the project's benchmark table: every benchmark prints its figures in
// this form, so that bench/run shows them all under one header (bench/run prints it).

#include <cstdio>

namespace dzbench {

// How the receiver's answers are held back: none on loopback, and what a Wi-Fi link does.
struct Delay {
    const char* name;
    int delayMs;
    int jitterMs;
    int runs;  // best of this many, program and floor taking turns
    const char* target;
};

inline constexpr Delay kDelays[] = {
    {"loopback", 0, 0, 5, "< 1.3x"},
    {"2-3 ms at random", 2, 1, 1, "< 1.02x"},
    {"10 ms per answer", 10, 0, 1, "< 1.02x"},
};

// `ok` false marks a run that did not end as it should: its figure means nothing.
inline void row(const char* figure, const char* program, const char* floor, double ratio, const char* target,
                bool ok = true)
{
    char r[16] = "";
    if (ratio > 0) {
        std::snprintf(r, sizeof r, "%.2fx", ratio);
    }
    std::printf("%-44s %12s %12s %8s  %-14s %s\n", figure, program, floor, r, target, ok ? "" : "FAILED");
}

}  // namespace dzbench
