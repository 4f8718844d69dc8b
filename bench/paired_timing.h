// SPDX-License-Identifier: Apache-2.0
#pragma once
// What every benchmark here shares. Our code and its plainest reference are timed in pairs
// inside each iteration, taking turns at going first, so that both meet the same load of a
// shared machine; the quotient ours / reference goes out as the counter `ratio`. The
// repetitions of all benchmarks of a program run interleaved at random (unless the command
// line says otherwise), and at the end each limit's verdict is printed on stderr from the
// median ratio of its repetitions, with their spread.

#include <benchmark/benchmark.h>
#include <functional>
#include <string>
#include <vector>

namespace kalmora::bench {

/// One side of a pair: work done untimed first (may be empty), then the timed work; or,
/// with `timedBySelf`, work that returns the seconds of the part that counts.
struct Timed
{
    std::function<void()> prepare;
    std::function<void()> run;
    std::function<double()> timedBySelf = {};
};

/// The pairs of one repetition.
class PairedTiming
{
public:
    /// Times both sides once, in turns; the iteration's time is ours.
    void measure(benchmark::State &state, const Timed &ours, const Timed &reference);
    /// Sets `ratio` (the median of the pairs' quotients) and `ours_ms` and `reference_ms`
    /// (the medians of each side).
    void report(benchmark::State &state) const;

private:
    std::vector<double> ours_;
    std::vector<double> reference_;
};

/// Seconds taken by `action`.
double secondsOf(const std::function<void()> &action);
double median(std::vector<double> values);

/// A limit on a counter of one benchmark: its function name, with "/" and its arguments
/// when it has any ("BM_Posting/10000").
struct Limit
{
    std::string benchmark;
    std::string what; // what the counter measures, for the verdict line
    double limit = 1.0;
    std::string counter = "ratio";
};

/// Runs the benchmarks in the format asked for (--benchmark_format: console or json), with random
/// interleaving unless --benchmark_enable_random_interleaving is given, and prints the
/// verdicts. Returns 1 when a counter is over its limit or the command line is wrong.
int runBenchmarks(int argc, char **argv, const std::vector<Limit> &limits);

} // namespace kalmora::bench
