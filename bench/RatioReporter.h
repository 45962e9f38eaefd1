// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Benchmark main with a ratio table: after the usual console report, each
// (ours, peer) pair of benchmarks of the program is printed as the ratio of
// their CPU times per iteration, measured in the same run. With repetitions the
// medians are compared.
#ifndef GRIDWISE_BENCH_RATIOREPORTER_H
#define GRIDWISE_BENCH_RATIOREPORTER_H

#include <benchmark/benchmark.h>

#include <cstdio>
#include <unistd.h>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace gwbench {

using Pairs = std::vector<std::pair<std::string, std::string>>;

class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(Pairs pairs)
        : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular), pairs_(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.error_occurred) continue;
            const bool aggregate = run.run_type == Run::RT_Aggregate;
            if (aggregate && run.aggregate_name != "median") continue;
            const std::string name = run.run_name.str();
            // A median replaces single runs; single runs are kept only without one.
            if (aggregate || medians_.count(name) == 0) cpu_[name] = run.GetAdjustedCPUTime();
            if (aggregate) medians_[name] = true;
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-40s %-44s %8s\n", "ours", "peer", "ratio");
        for (const auto& [ours, peer] : pairs_) {
            const auto a = cpu_.find(ours);
            const auto b = cpu_.find(peer);
            if (a == cpu_.end() || b == cpu_.end() || b->second <= 0.0) continue;
            std::printf("%-40s %-44s %8.2f\n", ours.c_str(), peer.c_str(), a->second / b->second);
        }
    }

private:
    Pairs pairs_;
    std::map<std::string, double> cpu_;
    std::map<std::string, bool> medians_;
};

// Runs the benchmarks selected on the command line and prints the ratio table.
inline int runWithRatios(int argc, char** argv, Pairs pairs) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter(std::move(pairs));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

} // namespace gwbench

#endif
