// SPDX-License-Identifier: Apache-2.0
#include "paired_timing.h"

#include "plain_client.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <unistd.h>

namespace kalmora::bench {

double secondsOf(const std::function<void()> &action)
{
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PairedTiming::measure(benchmark::State &state, const Timed &ours, const Timed &reference)
{
    const auto time = [](const Timed &side, std::vector<double> &into) {
        if (side.prepare)
            side.prepare();
        into.push_back(side.timedBySelf ? side.timedBySelf() : secondsOf(side.run));
    };
    if (ours_.size() % 2) {
        time(reference, reference_);
        time(ours, ours_);
    } else {
        time(ours, ours_);
        time(reference, reference_);
    }
    state.SetIterationTime(ours_.back());
}

void PairedTiming::report(benchmark::State &state) const
{
    // The quotient of each pair, timed back to back, then their median: steadier on a
    // loaded machine than the quotient of two medians.
    std::vector<double> ratios;
    for (std::size_t i = 0; i < ours_.size() && i < reference_.size(); ++i)
        ratios.push_back(ours_[i] / reference_[i]);
    state.counters["ratio"] = median(ratios);
    state.counters["ours_ms"] = median(ours_) * 1000;
    state.counters["reference_ms"] = median(reference_) * 1000;
}

namespace {

std::string nameOf(const benchmark::BenchmarkReporter::Run &run)
{
    return run.run_name.args.empty() ? run.run_name.function_name
                                     : run.run_name.function_name + "/" + run.run_name.args;
}

/// Passes every report on to the reporter of the format asked for and keeps, per benchmark
/// and counter, each repetition's figure and the median of them.
class VerdictReporter : public benchmark::BenchmarkReporter
{
public:
    explicit VerdictReporter(std::unique_ptr<benchmark::BenchmarkReporter> shown)
        : shown_(std::move(shown))
    {
    }
    bool ReportContext(const Context &context) override { return shown_->ReportContext(context); }
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            for (const auto &[counter, value] : run.counters) {
                Figures &figures = figures_[nameOf(run)][counter];
                if (run.run_type == Run::RT_Iteration)
                    figures.repetitions.push_back(value.value);
                else if (run.aggregate_name == "median")
                    figures.median = value.value;
            }
        }
        shown_->ReportRuns(runs);
    }
    void Finalize() override { shown_->Finalize(); }

    struct Figures
    {
        std::vector<double> repetitions;
        double median = -1;
    };
    const Figures *find(const std::string &benchmark, const std::string &counter) const
    {
        const auto named = figures_.find(benchmark);
        if (named == figures_.end())
            return nullptr;
        const auto found = named->second.find(counter);
        return found == named->second.end() ? nullptr : &found->second;
    }

private:
    std::unique_ptr<benchmark::BenchmarkReporter> shown_;
    std::map<std::string, std::map<std::string, Figures>> figures_;
};

std::unique_ptr<benchmark::BenchmarkReporter> reporterFor(const std::string &format)
{
    if (format == "json")
        return std::make_unique<benchmark::JSONReporter>();
    return std::make_unique<benchmark::ConsoleReporter>(
        ::isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                : benchmark::ConsoleReporter::OO_Tabular);
}

} // namespace

int runBenchmarks(int argc, char **argv, const std::vector<Limit> &limits)
{
    std::vector<char *> args(argv, argv + argc);
    std::string format = "console";
    bool interleavingGiven = false;
    for (char *arg : args) {
        const std::string text = arg;
        if (text.rfind("--benchmark_format=", 0) == 0)
            format = text.substr(std::strlen("--benchmark_format="));
        if (text.rfind("--benchmark_enable_random_interleaving", 0) == 0)
            interleavingGiven = true;
    }
    std::string interleaving = "--benchmark_enable_random_interleaving=true";
    if (!interleavingGiven)
        args.push_back(interleaving.data());
    int count = int(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;

    VerdictReporter reporter(reporterFor(format));
    try {
        benchmark::RunSpecifiedBenchmarks(&reporter);
    } catch (const Firebird::FbException &failure) {
        std::fprintf(stderr, "%s\n", PlainClient::errorText(failure).c_str());
        return 1;
    } catch (const std::exception &failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }

    int status = 0;
    for (const Limit &limit : limits) {
        const VerdictReporter::Figures *figures = reporter.find(limit.benchmark, limit.counter);
        if (!figures || figures->median < 0)
            continue; // filtered out, or a single repetition without aggregates
        const auto [low, high] =
            std::minmax_element(figures->repetitions.begin(), figures->repetitions.end());
        const bool within = figures->median <= limit.limit;
        const char *pattern = limit.limit >= 100 ? "%.0f" : "%.3f";
        const auto shown = [&](double value) {
            char text[32];
            std::snprintf(text, sizeof text, pattern, value);
            return std::string(text);
        };
        std::fprintf(stderr, "%s %s: median %s over %zu repetitions (%s to %s), limit %s: %s\n",
                     limit.benchmark.c_str(), limit.what.c_str(), shown(figures->median).c_str(),
                     figures->repetitions.size(), shown(*low).c_str(), shown(*high).c_str(),
                     shown(limit.limit).c_str(), within ? "within" : "OVER");
        if (!within)
            status = 1;
    }
    benchmark::Shutdown();
    return status;
}

} // namespace kalmora::bench
