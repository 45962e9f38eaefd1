// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Angle text: parsing (parseStrToAng) and writing latitudes (latToStr), beside the
// degree-minute-second text routines of GeographicLib and PROJ on the same angles.
#include "gridwise/angletext.h"
#include "numerics/Angles.h"

#include <GeographicLib/DMS.hpp>
#include <benchmark/benchmark.h>

#include "RatioReporter.h"
#include <proj.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kCount = 1024;  // angles per round, cycled

std::vector<double> latitudes() {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> dist(-90.0, 90.0);
    std::vector<double> v(kCount);
    for (double& x : v) x = dist(rng);
    return v;
}

// Our texts: latitudes with 4 decimals of minutes, as the library writes them.
std::vector<std::string> ourTexts() {
    std::vector<std::string> out;
    char buf[32];
    for (double lat : latitudes()) {
        latToStr(buf, lat, 4, 1);
        out.emplace_back(buf);
    }
    return out;
}

// The peers' texts of the same angles in their own notation (d ' ").
std::vector<std::string> peerTexts() {
    std::vector<std::string> out;
    for (double lat : latitudes())
        out.push_back(GeographicLib::DMS::Encode(lat, GeographicLib::DMS::MINUTE, 4,
                                                 GeographicLib::DMS::LATITUDE));
    return out;
}

void BM_parseStrToAng(benchmark::State& state) {
    std::vector<std::string> texts = ourTexts();
    std::vector<std::vector<char>> bufs;
    for (const std::string& t : texts) bufs.emplace_back(t.c_str(), t.c_str() + t.size() + 1);
    std::size_t i = 0;
    for (auto _ : state) {
        int pos;
        double v = parseStrToAng(bufs[i].data(), &pos);
        benchmark::DoNotOptimize(v);
        benchmark::DoNotOptimize(pos);
        i = (i + 1) % kCount;
    }
    state.SetLabel(texts[0]);
}

void BM_GeographicLib_DMS_Decode(benchmark::State& state) {
    std::vector<std::string> texts = peerTexts();
    std::size_t i = 0;
    for (auto _ : state) {
        GeographicLib::DMS::flag ind;
        double v = GeographicLib::DMS::Decode(texts[i], ind);
        benchmark::DoNotOptimize(v);
        i = (i + 1) % kCount;
    }
    state.SetLabel(texts[0]);
}

void BM_PROJ_dmstor(benchmark::State& state) {
    std::vector<std::string> texts = peerTexts();
    std::size_t i = 0;
    for (auto _ : state) {
        double v = proj_dmstor(texts[i].c_str(), nullptr);
        benchmark::DoNotOptimize(v);
        i = (i + 1) % kCount;
    }
    state.SetLabel(texts[0]);
}

void BM_latToStr(benchmark::State& state) {
    std::vector<double> lats = latitudes();
    char buf[32];
    std::size_t i = 0;
    for (auto _ : state) {
        int n = latToStr(buf, lats[i], 4, 1);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(buf);
        i = (i + 1) % kCount;
    }
}

void BM_latToStr_dms(benchmark::State& state) {
    std::vector<double> lats = latitudes();
    char buf[32];
    std::size_t i = 0;
    for (auto _ : state) {
        int n = latToStr(buf, lats[i], 3, 0);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(buf);
        i = (i + 1) % kCount;
    }
}

void BM_GeographicLib_DMS_Encode(benchmark::State& state) {
    std::vector<double> lats = latitudes();
    std::size_t i = 0;
    for (auto _ : state) {
        std::string s = GeographicLib::DMS::Encode(lats[i], GeographicLib::DMS::MINUTE, 4,
                                                   GeographicLib::DMS::LATITUDE);
        benchmark::DoNotOptimize(s);
        i = (i + 1) % kCount;
    }
}

void BM_PROJ_rtodms(benchmark::State& state) {
    std::vector<double> lats = latitudes();
    char buf[64];
    std::size_t i = 0;
    for (auto _ : state) {
        char* s = proj_rtodms(buf, lats[i] * gw::kPi / 180.0, 'N', 'S');
        benchmark::DoNotOptimize(s);
        benchmark::DoNotOptimize(buf);
        i = (i + 1) % kCount;
    }
}

} // namespace

BENCHMARK(BM_parseStrToAng);
BENCHMARK(BM_GeographicLib_DMS_Decode);
BENCHMARK(BM_PROJ_dmstor);
BENCHMARK(BM_latToStr);
BENCHMARK(BM_latToStr_dms);
BENCHMARK(BM_GeographicLib_DMS_Encode);
BENCHMARK(BM_PROJ_rtodms);

int main(int argc, char** argv) {
    return gwbench::runWithRatios(argc, argv, {
        {"BM_parseStrToAng", "BM_GeographicLib_DMS_Decode"},
        {"BM_parseStrToAng", "BM_PROJ_dmstor"},
        {"BM_latToStr", "BM_GeographicLib_DMS_Encode"},
        {"BM_latToStr", "BM_PROJ_rtodms"},
        {"BM_latToStr_dms", "BM_GeographicLib_DMS_Encode"},
        {"BM_latToStr_dms", "BM_PROJ_rtodms"}
    });
}
