// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Geodesies from EPSG codes after the first (the registry open), beside PROJ
// building the same projected CRSs from its database (proj_create "EPSG:N"). A
// run cycles through systems of every supported method, so that no call repeats
// the one before.
#include <benchmark/benchmark.h>
#include <proj.h>

#include <cstdio>
#include <string>

#include "../RatioReporter.h"
#include "gridwise/epsg.h"

namespace {

const int kCodes[] = {2240, 32633, 32733, 2154, 27572, 3448, 5041, 28992, 23031, 2227, 31370, 26717};

void ourGeodesyFromEpsg(benchmark::State& state) {
    gwGeodesyFree(gwGeodesyFromEpsg(kCodes[0], 0)); // the registry opened once
    size_t i = 0;
    for (auto _ : state) {
        GwGeodesy* g = gwGeodesyFromEpsg(kCodes[i++ % std::size(kCodes)], 0);
        if (g == nullptr) {
            state.SkipWithError(gwLastError());
            break;
        }
        benchmark::DoNotOptimize(g);
        gwGeodesyFree(g);
    }
}

void peerGeodesyFromEpsg(benchmark::State& state) {
    PJ_CONTEXT* ctx = proj_context_create();
    proj_destroy(proj_create(ctx, "EPSG:2240"));
    size_t i = 0;
    for (auto _ : state) {
        const std::string code = "EPSG:" + std::to_string(kCodes[i++ % std::size(kCodes)]);
        PJ* crs = proj_create(ctx, code.c_str());
        if (crs == nullptr) {
            state.SkipWithError("PROJ could not build the CRS");
            break;
        }
        benchmark::DoNotOptimize(crs);
        proj_destroy(crs);
    }
    proj_context_destroy(ctx);
}

} // namespace

BENCHMARK(ourGeodesyFromEpsg);
BENCHMARK(peerGeodesyFromEpsg);

int main(int argc, char** argv) {
    return gwbench::runWithRatios(argc, argv, {{"ourGeodesyFromEpsg", "peerGeodesyFromEpsg"}});
}
