#pragma once

// A subject and its baseline timed in turn, in alternating order, so that a
// load that comes and goes on the machine falls on both alike.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <vector>

namespace arb::bench
{

// One pair per iteration of state; sets the counters "ratio" and
// "cpu_ratio" to the medians of the pairs' ratios (subject / baseline) in
// wall time and in process CPU time. Each pass returns whether it did its
// work; one that did not ends the benchmark with failure.
template <typename Subject, typename Baseline>
void MeasureInPairs(benchmark::State &state, Subject subject, Baseline baseline, const char *failure)
{
    std::vector<double> wall;
    std::vector<double> cpu;
    for (auto _ : state) {
        double w[2] = {};
        double c[2] = {};
        for (int k = 0; k < 2; ++k) {
            const bool isSubject = k == static_cast<int>(wall.size() % 2);
            const auto w0 = std::chrono::steady_clock::now();
            const std::clock_t c0 = std::clock();
            if (!(isSubject ? subject() : baseline())) {
                state.SkipWithError(failure);
                return;
            }
            c[isSubject] = static_cast<double>(std::clock() - c0);
            w[isSubject] = std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
        }
        wall.push_back(w[1] / w[0]);
        cpu.push_back(c[1] / c[0]);
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0.0 : v[v.size() / 2];
    };
    state.counters["ratio"] = median(wall);
    state.counters["cpu_ratio"] = median(cpu);
}

} // namespace arb::bench
