#pragma once
// One row of the project's benchmark table: every benchmark prints its figures in
// this form, so that bench/run shows them all under one header (bench/run prints it).

#include <cstdio>

namespace dzbench {

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
