// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Distance text: parseStrToUnit and distToStr, beside the C library's strtod and
// snprintf doing the bare number.
#include "gridwise/units.h"

#include <benchmark/benchmark.h>

#include "RatioReporter.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const char* const kTexts[] = {"1234.56", "  -12.5 ft", "N 100m", "E1.5 km", "10 NM", "12mi"};
constexpr int kTextCount = 6;

struct UnitsObject {
    UnitsObject() {
        std::string none = "/nonexistent-folder/units.ini";
        allocUnits(none.data());
    }
};

void BM_parseStrToUnit(benchmark::State& state) {
    static UnitsObject units;
    std::string texts[kTextCount];
    for (int i = 0; i < kTextCount; ++i) texts[i] = kTexts[i];
    int i = 0;
    for (auto _ : state) {
        int pos = 0;
        benchmark::DoNotOptimize(parseStrToUnit(texts[i].data(), &pos, 1));
        benchmark::DoNotOptimize(pos);
        i = i + 1 == kTextCount ? 0 : i + 1;
    }
}
BENCHMARK(BM_parseStrToUnit);

void BM_strtod_baseline(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) {
        char* end = nullptr;
        benchmark::DoNotOptimize(std::strtod(kTexts[i], &end));
        benchmark::DoNotOptimize(end);
        i = i + 1 == kTextCount ? 0 : i + 1;
    }
}
BENCHMARK(BM_strtod_baseline);

void BM_distToStr(benchmark::State& state) {
    static UnitsObject units;
    char out[64];
    double meters = 1234.5678;
    for (auto _ : state) {
        distToStr(out, meters);
        benchmark::DoNotOptimize(out);
        meters += 0.001;
    }
}
BENCHMARK(BM_distToStr);

void BM_snprintf_baseline(benchmark::State& state) {
    char out[64];
    double meters = 1234.5678;
    for (auto _ : state) {
        std::snprintf(out, sizeof out, "%.2lf%s", meters, "m");
        benchmark::DoNotOptimize(out);
        meters += 0.001;
    }
}
BENCHMARK(BM_snprintf_baseline);

} // namespace

int main(int argc, char** argv) {
    return gwbench::runWithRatios(argc, argv, {
        {"BM_parseStrToUnit", "BM_strtod_baseline"},
        {"BM_distToStr", "BM_snprintf_baseline"}
    });
}
