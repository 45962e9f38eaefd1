// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Batch conversions on a geodesy handle, 10 million points per case on one core,
// beside the peers converting the same points in the same run: PROJ's
// proj_trans_generic (tmerc +approx, lcc, ups, sterea for RD, a cart/helmert/cart
// pipeline for the datum shift) and GeographicLib's classes (TransverseMercator,
// LambertConformalConic, PolarStereographic, Geodesic).
//
// Before the benchmarks it prints the fidelity of the vector kernels against the
// scalar ones (the one-point steps) on the same 10 million points: the largest
// differences and the lanes whose footpoint iteration ended at another step; after
// them, the speed of two threads converting the two halves of one array against
// one thread. GRIDWISE_SIMD=scalar|sse2|sse4|avx2|avx512 selects the kernels.
#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/LambertConformalConic.hpp>
#include <GeographicLib/PolarStereographic.hpp>
#include <GeographicLib/TransverseMercator.hpp>
#include <benchmark/benchmark.h>
#include <proj.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "RatioReporter.h"
#include "facade/BatchKernels.h"
#include "facade/GeodesyHandle.h"
#include "gridwise/batch.h"
#include "projections/Lambert.h"
#include "projections/PolarStereo.h"

namespace {

constexpr std::size_t kPoints = 10000000;
constexpr ptrdiff_t kD = sizeof(double);
constexpr double kDeg = 3.141592653589793 / 180.0;

const char* kWgs84 = "WGS 84,6378137,298.257223563,WGS 84,0,0,0,0,0,0,0";

struct Case {
    const char* init;
    const char* datum;
    double latLo, latHi, lonLo, lonHi;
    const char* proj; // PROJ definition of the same projection (radians in, metres out)
};

enum CaseId { kTm, kLambert, kPolar, kRd, kShift, kGeodesic };

const Case kCases[] = {
    {"0,UTM 32,E9,0.00,500000.00,0.999600,0,0", kWgs84, -80, 84, 6, 12,
     "+proj=tmerc +approx +lat_0=0 +lon_0=9 +k=0.9996 +x_0=500000 +y_0=0 +ellps=WGS84"},
    {"1,California 6,N32 47,N33 53,W116 15,N32 10,0,0,0", kWgs84, 25, 45, -126, -106,
     "+proj=lcc +lat_1=32.78333333333333 +lat_2=33.88333333333333 +lat_0=32.16666666666666 +lon_0=-116.25 "
     "+x_0=0 +y_0=0 +ellps=WGS84"},
    {"4,Universal Polar Stereo,E000 00,N90 00,0.994000,2000000.000,2000000.000,0", kWgs84, 81, 89.9, -180, 180,
     "+proj=ups +ellps=WGS84"},
    {"7,RD Projection", nullptr, 50.75, 53.6, 3.3, 7.3,
     "+proj=sterea +lat_0=52.15616055555555 +lon_0=5.38763888888889 +k=0.9999079 +x_0=155000 +y_0=463000 "
     "+ellps=bessel"},
    {"0,UTM 31,E3,0.00,500000.00,0.999600,0,0",
     "International,6378388,297,ED50,-87,-98,-121,0.0000012,0.0001,-0.0002,0.00015", 35, 70, -10, 30,
     "+proj=pipeline +step +proj=cart +ellps=intl +step +proj=helmert +x=-87 +y=-98 +z=-121 +s=1.2 "
     "+rx=0.36 +ry=-0.72 +rz=0.54 +convention=position_vector +step +inv +proj=cart +ellps=WGS84"},
    {"0,UTM 32,E9,0.00,500000.00,0.999600,0,0", kWgs84, -80, 80, -180, 180, nullptr},
};

// The points of a case: geographic (degrees), grid (metres) and a second point or
// an azimuth and distance for the geodesics.
struct Data {
    GwGeodesy* g = nullptr;
    std::vector<double> lat, lon, north, east, lat2, lon2, az, dist;
};

Data& data(CaseId id) {
    static std::map<int, Data> all;
    Data& d = all[id];
    if (d.g != nullptr) return d;
    const Case& c = kCases[id];
    d.g = gwGeodesyFromText(c.init, c.datum);
    if (d.g == nullptr) {
        std::fprintf(stderr, "handle: %s\n", gwLastError());
        std::abort();
    }
    std::mt19937_64 rng(42 + id);
    std::uniform_real_distribution<double> la(c.latLo, c.latHi), lo(c.lonLo, c.lonHi), az(0, 360),
        step(-10, 10), dist(1000, 2e6);
    d.lat.resize(kPoints);
    d.lon.resize(kPoints);
    for (std::size_t i = 0; i < kPoints; ++i) {
        d.lat[i] = la(rng);
        d.lon[i] = lo(rng);
    }
    d.north.resize(kPoints);
    d.east.resize(kPoints);
    gw::batch::SimdTier tier = gw::batch::simdTier();
    gw::batch::setSimdTier(gw::batch::SimdTier::scalar);
    gwGeoToGrid(d.g, kPoints, d.lat.data(), kD, d.lon.data(), kD, d.north.data(), kD, d.east.data(), kD, nullptr);
    gw::batch::setSimdTier(tier);
    if (id == kGeodesic) {
        d.lat2.resize(kPoints);
        d.lon2.resize(kPoints);
        d.az.resize(kPoints);
        d.dist.resize(kPoints);
        for (std::size_t i = 0; i < kPoints; ++i) {
            d.lat2[i] = std::clamp(d.lat[i] + step(rng), -85.0, 85.0);
            d.lon2[i] = d.lon[i] + step(rng);
            d.az[i] = az(rng);
            d.dist[i] = dist(rng);
        }
    }
    return d;
}

std::vector<double> outA(kPoints), outB(kPoints), outC(kPoints);

void counters(benchmark::State& state) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kPoints));
}

// Ours.
void BM_Ours_fwd(benchmark::State& state, CaseId id) {
    Data& d = data(id);
    for (auto _ : state)
        benchmark::DoNotOptimize(gwGeoToGrid(d.g, kPoints, d.lat.data(), kD, d.lon.data(), kD, outA.data(), kD,
                                             outB.data(), kD, nullptr));
    counters(state);
}

void BM_Ours_inv(benchmark::State& state, CaseId id) {
    Data& d = data(id);
    for (auto _ : state)
        benchmark::DoNotOptimize(gwGridToGeo(d.g, kPoints, d.north.data(), kD, d.east.data(), kD, outA.data(), kD,
                                             outB.data(), kD, nullptr));
    counters(state);
}

void BM_Ours_shift(benchmark::State& state) {
    Data& d = data(kShift);
    const double h = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(gwWorkingToWgs84(d.g, kPoints, d.lat.data(), kD, d.lon.data(), kD, &h, 0,
                                                  outA.data(), kD, outB.data(), kD, outC.data(), kD, nullptr));
    counters(state);
}

void BM_Ours_geodesicInverse(benchmark::State& state) {
    Data& d = data(kGeodesic);
    for (auto _ : state)
        benchmark::DoNotOptimize(gwGeodesicInverse(d.g, kPoints, d.lat.data(), kD, d.lon.data(), kD, d.lat2.data(),
                                                   kD, d.lon2.data(), kD, outA.data(), kD, outB.data(), kD,
                                                   nullptr));
    counters(state);
}

void BM_Ours_geodesicDirect(benchmark::State& state) {
    Data& d = data(kGeodesic);
    for (auto _ : state)
        benchmark::DoNotOptimize(gwGeodesicDirect(d.g, kPoints, d.lat.data(), kD, d.lon.data(), kD, d.az.data(), kD,
                                                  d.dist.data(), kD, outA.data(), kD, outB.data(), kD, nullptr));
    counters(state);
}

// PROJ: proj_trans_generic over the whole array, in place on copies of the input
// (the copy is not timed).
void BM_PROJ(benchmark::State& state, CaseId id, PJ_DIRECTION dir) {
    Data& d = data(id);
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* P = proj_create(ctx, kCases[id].proj);
    if (P == nullptr) {
        state.SkipWithError("proj_create failed");
        proj_context_destroy(ctx);
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        const bool geographic = dir == PJ_FWD;
        for (std::size_t i = 0; i < kPoints; ++i) {
            outA[i] = geographic ? d.lon[i] * kDeg : d.east[i];
            outB[i] = geographic ? d.lat[i] * kDeg : d.north[i];
            outC[i] = 0;
        }
        state.ResumeTiming();
        benchmark::DoNotOptimize(proj_trans_generic(P, dir, outA.data(), kD, kPoints, outB.data(), kD, kPoints,
                                                    id == kShift ? outC.data() : nullptr, id == kShift ? kD : 0,
                                                    id == kShift ? kPoints : 0, nullptr, 0, 0));
    }
    counters(state);
    proj_destroy(P);
    proj_context_destroy(ctx);
}

// GeographicLib, point by point.
void BM_GeographicLib(benchmark::State& state, CaseId id, bool forward) {
    Data& d = data(id);
    const double a = 6378137, f = 1 / 298.257223563;
    const GeographicLib::TransverseMercator tm(a, f, 0.9996);
    const GeographicLib::LambertConformalConic lcc(a, f, 32.78333333333333, 33.88333333333333, 1);
    const GeographicLib::PolarStereographic& ups = GeographicLib::PolarStereographic::UPS();
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            double x = 0, y = 0, g = 0, k = 0;
            if (id == kTm) {
                if (forward) tm.Forward(9, d.lat[i], d.lon[i], x, y, g, k);
                else tm.Reverse(9, d.east[i] - 500000, d.north[i], x, y, g, k);
            } else if (id == kLambert) {
                if (forward) lcc.Forward(-116.25, d.lat[i], d.lon[i], x, y, g, k);
                else lcc.Reverse(-116.25, d.east[i], d.north[i], x, y, g, k);
            } else {
                if (forward) ups.Forward(true, d.lat[i], d.lon[i], x, y, g, k);
                else ups.Reverse(true, d.east[i] - 2000000, d.north[i] - 2000000, x, y, g, k);
            }
            outA[i] = x;
            outB[i] = y;
        }
        benchmark::DoNotOptimize(outA.data());
    }
    counters(state);
}

void BM_GeographicLib_geodesicInverse(benchmark::State& state) {
    Data& d = data(kGeodesic);
    const GeographicLib::Geodesic& geod = GeographicLib::Geodesic::WGS84();
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            double s12 = 0, azi1 = 0, azi2 = 0;
            geod.Inverse(d.lat[i], d.lon[i], d.lat2[i], d.lon2[i], s12, azi1, azi2);
            outA[i] = azi1;
            outB[i] = s12;
        }
        benchmark::DoNotOptimize(outA.data());
    }
    counters(state);
}

void BM_GeographicLib_geodesicDirect(benchmark::State& state) {
    Data& d = data(kGeodesic);
    const GeographicLib::Geodesic& geod = GeographicLib::Geodesic::WGS84();
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            double lat2 = 0, lon2 = 0;
            geod.Direct(d.lat[i], d.lon[i], d.az[i], d.dist[i], lat2, lon2);
            outA[i] = lat2;
            outB[i] = lon2;
        }
        benchmark::DoNotOptimize(outA.data());
    }
    counters(state);
}

void registerAll() {
    const auto ms = benchmark::kMillisecond;
    auto reg = [&](const std::string& name, auto&& fn) {
        benchmark::RegisterBenchmark(name.c_str(), fn)->Unit(ms)->Iterations(2);
    };
    const struct {
        CaseId id;
        const char* name;
        bool glib;
    } projections[] = {{kTm, "tm", true}, {kLambert, "lambert", true}, {kPolar, "polar", true}, {kRd, "rd", false}};
    for (const auto& p : projections) {
        const CaseId id = p.id;
        reg(std::string("Ours_") + p.name + "_fwd", [id](benchmark::State& s) { BM_Ours_fwd(s, id); });
        reg(std::string("PROJ_") + p.name + "_fwd", [id](benchmark::State& s) { BM_PROJ(s, id, PJ_FWD); });
        if (p.glib)
            reg(std::string("GeographicLib_") + p.name + "_fwd",
                [id](benchmark::State& s) { BM_GeographicLib(s, id, true); });
        reg(std::string("Ours_") + p.name + "_inv", [id](benchmark::State& s) { BM_Ours_inv(s, id); });
        reg(std::string("PROJ_") + p.name + "_inv", [id](benchmark::State& s) { BM_PROJ(s, id, PJ_INV); });
        if (p.glib)
            reg(std::string("GeographicLib_") + p.name + "_inv",
                [id](benchmark::State& s) { BM_GeographicLib(s, id, false); });
    }
    reg("Ours_shift_toWgs84", [](benchmark::State& s) { BM_Ours_shift(s); });
    reg("PROJ_shift_toWgs84", [](benchmark::State& s) { BM_PROJ(s, kShift, PJ_FWD); });
    reg("Ours_geodesic_inverse", [](benchmark::State& s) { BM_Ours_geodesicInverse(s); });
    reg("GeographicLib_geodesic_inverse", [](benchmark::State& s) { BM_GeographicLib_geodesicInverse(s); });
    reg("Ours_geodesic_direct", [](benchmark::State& s) { BM_Ours_geodesicDirect(s); });
    reg("GeographicLib_geodesic_direct", [](benchmark::State& s) { BM_GeographicLib_geodesicDirect(s); });
}

gwbench::Pairs pairs() {
    gwbench::Pairs p;
    // Run names carry the fixed iteration count.
    auto add = [&](const std::string& ours, const std::string& peer) {
        p.emplace_back(ours + "/iterations:2", peer + "/iterations:2");
    };
    for (const char* name : {"tm", "lambert", "polar", "rd"})
        for (const char* dir : {"_fwd", "_inv"}) {
            add(std::string("Ours_") + name + dir, std::string("PROJ_") + name + dir);
            if (std::string(name) != "rd")
                add(std::string("Ours_") + name + dir, std::string("GeographicLib_") + name + dir);
        }
    add("Ours_shift_toWgs84", "PROJ_shift_toWgs84");
    add("Ours_geodesic_inverse", "GeographicLib_geodesic_inverse");
    add("Ours_geodesic_direct", "GeographicLib_geodesic_direct");
    return p;
}

// The vector kernels against the scalar ones on the Transverse Mercator points.
void printFidelity() {
    using gw::batch::SimdTier;
    Data& d = data(kTm);
    const SimdTier best = gw::batch::bestSimdTier();
    std::vector<double> refN(kPoints), refE(kPoints), refLat(kPoints), refLon(kPoints);
    std::vector<int> refSteps(kPoints), steps(kPoints);
    gw::batch::setSimdTier(SimdTier::scalar);
    gwGeoToGrid(d.g, kPoints, d.lat.data(), kD, d.lon.data(), kD, refN.data(), kD, refE.data(), kD, nullptr);
    std::vector<int> st(kPoints);
    gwGridToGeo(d.g, kPoints, d.north.data(), kD, d.east.data(), kD, refLat.data(), kD, refLon.data(), kD,
                st.data());
    std::printf("Fidelity of the vector kernels against the one-point steps, %zu points, Transverse Mercator "
                "(lat -80..84, 3 degrees either side of the central meridian and 3 beyond)\n",
                kPoints);
    std::printf("%-8s %16s %16s %16s %16s %14s %14s\n", "kernels", "north (m)", "east (m)", "lat (deg)",
                "lon (deg)", "other steps", "other status");
    for (int t = static_cast<int>(SimdTier::sse2); t <= static_cast<int>(best); ++t) {
        gw::batch::setSimdTier(static_cast<SimdTier>(t));
        gwGeoToGrid(d.g, kPoints, d.lat.data(), kD, d.lon.data(), kD, outA.data(), kD, outB.data(), kD, nullptr);
        double worst[4] = {0, 0, 0, 0};
        for (std::size_t i = 0; i < kPoints; ++i) {
            worst[0] = std::max(worst[0], std::fabs(outA[i] - refN[i]));
            worst[1] = std::max(worst[1], std::fabs(outB[i] - refE[i]));
        }
        std::vector<int> st2(kPoints);
        gwGridToGeo(d.g, kPoints, d.north.data(), kD, d.east.data(), kD, outA.data(), kD, outB.data(), kD,
                    st2.data());
        std::size_t statusDiffers = 0;
        for (std::size_t i = 0; i < kPoints; ++i) {
            if (st[i] != st2[i]) ++statusDiffers;
            if (st[i] != 0 || st2[i] != 0) continue;
            worst[2] = std::max(worst[2], std::fabs(outA[i] - refLat[i]));
            worst[3] = std::max(worst[3], std::fabs(outB[i] - refLon[i]));
        }
        // The steps of the footpoint iteration, lane by lane, from the kernels.
        std::size_t stepDiffers = 0;
        double sameStepWorst[2] = {0, 0}, otherStepWorst[2] = {0, 0};
        const std::size_t chunk = 4096;
        std::vector<double> la(chunk), lo(chunk);
        const gw::batch::TmConstants tmk =
            gw::batch::tmConstants(*static_cast<TransverseMercator*>(d.g->geo.projection->inner));
        for (std::size_t i = 0; i < kPoints; i += chunk) {
            const std::size_t m = std::min(chunk, kPoints - i);
            gw::batch::tmReverseBlock(static_cast<SimdTier>(t), tmk, m, &d.north[i], &d.east[i], la.data(),
                                      lo.data(), &steps[i]);
            for (std::size_t j = 0; j < m; ++j) {
                double a = 0, b = 0;
                const bool sameSteps = gw::batch::tmGridToGeo(tmk, d.north[i + j], d.east[i + j], a, b) == steps[i + j];
                if (!sameSteps) ++stepDiffers;
                double* w = sameSteps ? sameStepWorst : otherStepWorst;
                w[0] = std::max(w[0], std::fabs(la[j] - a));
                w[1] = std::max(w[1], std::fabs(lo[j] - b));
            }
        }
        std::printf("%-8s %16.3g %16.3g %16.3g %16.3g %14zu %14zu\n",
                    gw::batch::simdTierName(static_cast<SimdTier>(t)), worst[0], worst[1], worst[2], worst[3],
                    stepDiffers, statusDiffers);
        std::printf("%-8s %16s %16s %16.3g %16.3g   (lanes that took the same steps)\n", "", "", "",
                    sameStepWorst[0], sameStepWorst[1]);
        if (stepDiffers > 0)
            std::printf("%-8s %16s %16s %16.3g %16.3g   (lanes that took other steps)\n", "", "", "",
                        otherStepWorst[0], otherStepWorst[1]);
    }
    gw::batch::setSimdTier(best);
    std::printf("\n");
}

// The vector kernels of Lambert, the polar stereographic projection and the datum
// shift against the scalar ones on the points of their cases: the largest
// differences of the conversions' outputs, the lanes whose iteration ended at
// another step (the isometric latitude's Newton steps, the cartesian latitude's
// steps; lanes left to the one-point steps count as theirs), the lanes left to
// the one-point steps, and the lanes with another status.
void printConformalAndShiftFidelity() {
    using gw::batch::SimdTier;
    const SimdTier best = gw::batch::bestSimdTier();
    std::printf("%-8s %-14s %12s %12s %12s %12s %11s %11s %11s\n", "kernels", "case", "grid (m)", "lat (deg)",
                "lon (deg)", "height (m)", "other step", "one-point", "other stat");
    const std::size_t chunk = 4096;
    std::vector<double> la(chunk), lo(chunk), hh(chunk);
    std::vector<int> steps(chunk);
    for (const CaseId id : {kLambert, kPolar, kShift}) {
        Data& d = data(id);
        Projection* inner = d.g->geo.projection->inner;
        const int rounds = id == kShift ? 2 : 1;
        for (int dir = 0; dir < rounds; ++dir) {
            // Scalar references: forward, reverse (or the shift in one direction).
            std::vector<double> ref[6];
            for (auto& v : ref) v.resize(kPoints);
            std::vector<int> refSt[2] = {std::vector<int>(kPoints), std::vector<int>(kPoints)};
            auto runAll = [&](std::vector<double>* out, std::vector<int>* st) {
                const double zero = 0;
                if (id == kShift) {
                    auto f = dir == 0 ? gwWorkingToWgs84 : gwWgs84ToWorking;
                    f(d.g, kPoints, d.lat.data(), kD, d.lon.data(), kD, &zero, 0, out[0].data(), kD, out[1].data(),
                      kD, out[2].data(), kD, st[0].data());
                } else {
                    gwGeoToGrid(d.g, kPoints, d.lat.data(), kD, d.lon.data(), kD, out[0].data(), kD, out[1].data(),
                                kD, st[0].data());
                    gwGridToGeo(d.g, kPoints, d.north.data(), kD, d.east.data(), kD, out[2].data(), kD,
                                out[3].data(), kD, st[1].data());
                }
            };
            gw::batch::setSimdTier(SimdTier::scalar);
            runAll(ref, refSt);
            for (int t = static_cast<int>(SimdTier::sse2); t <= static_cast<int>(best); ++t) {
                const SimdTier tier = static_cast<SimdTier>(t);
                gw::batch::setSimdTier(tier);
                std::vector<double> got[6];
                for (auto& v : got) v.resize(kPoints);
                std::vector<int> gotSt[2] = {std::vector<int>(kPoints), std::vector<int>(kPoints)};
                runAll(got, gotSt);
                double grid = 0, lat = 0, lon = 0, height = 0;
                std::size_t statusDiffers = 0;
                for (std::size_t i = 0; i < kPoints; ++i)
                    for (int c = 0; c < (id == kShift ? 1 : 2); ++c) {
                        if (refSt[c][i] != gotSt[c][i]) ++statusDiffers;
                        if (refSt[c][i] != 0 || gotSt[c][i] != 0) continue;
                        if (id == kShift) {
                            lat = std::max(lat, std::fabs(got[0][i] - ref[0][i]));
                            lon = std::max(lon, std::fabs(got[1][i] - ref[1][i]));
                            height = std::max(height, std::fabs(got[2][i] - ref[2][i]));
                        } else if (c == 0) {
                            grid = std::max({grid, std::fabs(got[0][i] - ref[0][i]), std::fabs(got[1][i] - ref[1][i])});
                        } else {
                            lat = std::max(lat, std::fabs(got[2][i] - ref[2][i]));
                            lon = std::max(lon, std::fabs(got[3][i] - ref[3][i]));
                        }
                    }
                // The iteration's steps, lane by lane, from the kernels.
                std::size_t stepDiffers = 0, redone = 0;
                const gw::batch::ShiftConstants sk =
                    gw::batch::shiftConstants(d.g->geo.datum, dir == 0 ? 1 : -1);
                for (std::size_t i = 0; i < kPoints; i += chunk) {
                    const std::size_t m = std::min(chunk, kPoints - i);
                    const std::size_t padded = (m + 7) / 8 * 8;
                    std::vector<double> a(padded, 0.0), b(padded, 0.0);
                    for (std::size_t j = 0; j < m; ++j) {
                        a[j] = id == kShift ? d.lat[i + j] : d.north[i + j];
                        b[j] = id == kShift ? d.lon[i + j] : d.east[i + j];
                    }
                    la.resize(padded);
                    lo.resize(padded);
                    hh.resize(padded);
                    steps.resize(padded);
                    if (id == kLambert)
                        gw::batch::lambertReverseBlock(tier, gw::batch::lambertConstants(*static_cast<Lambert*>(inner)),
                                                       padded, a.data(), b.data(), la.data(), lo.data(), steps.data());
                    else if (id == kPolar)
                        gw::batch::polarReverseBlock(tier, gw::batch::polarConstants(*static_cast<PolarStereo*>(inner)),
                                                     padded, a.data(), b.data(), la.data(), lo.data(), steps.data());
                    else
                        gw::batch::shiftBlock(tier, sk, padded, a.data(), b.data(), la.data(), lo.data(), hh.data(),
                                              steps.data());
                    for (std::size_t j = 0; j < m; ++j) {
                        if (steps[j] & gw::batch::kRedo) {
                            ++redone;
                            continue;
                        }
                        int scalarSteps = 0;
                        double x = 0, y = 0, z = 0;
                        if (id == kShift) {
                            scalarSteps = gw::batch::shiftSteps(sk, a[j], b[j], x, y, z);
                        } else {
                            double psi = 0, e = 0, e2 = 0;
                            if (id == kLambert) {
                                const auto k = gw::batch::lambertConstants(*static_cast<Lambert*>(inner));
                                const double dy = k.rho0 + k.falseNorth - a[j], dx = b[j] - k.falseEast;
                                const double rho = dy / std::cos(std::atan(dx / dy));
                                psi = (std::log(k.aF) - std::log(rho)) / k.n;
                                e = k.e;
                                e2 = k.e2;
                            } else {
                                const auto k = gw::batch::polarConstants(*static_cast<PolarStereo*>(inner));
                                const double dN = a[j] - k.falseNorth, dE = b[j] - k.falseEast;
                                psi = std::log(k.C) + std::log(k.k0) - std::log(std::sqrt(dN * dN + dE * dE));
                                e = k.e;
                                e2 = k.e2;
                            }
                            scalarSteps = gw::batch::latitudeFromIsometricSteps(psi, e, e2, x);
                        }
                        if (scalarSteps != steps[j]) ++stepDiffers;
                    }
                }
                const char* names[] = {"lambert", "polar", "shift to WGS", "shift from WGS"};
                const char* name = id == kLambert ? names[0] : id == kPolar ? names[1] : names[2 + dir];
                std::printf("%-8s %-14s %12.3g %12.3g %12.3g %12.3g %11zu %11zu %11zu\n",
                            gw::batch::simdTierName(tier), name, grid, lat, lon, height, stepDiffers, redone,
                            statusDiffers);
            }
        }
    }
    gw::batch::setSimdTier(best);
    std::printf("\n");
}

// The geodesic kernels against the one-point functions on three sets of lines:
// the benchmark's (ends within 10 degrees of each other, distances 1 to 2000 km),
// global ones (any two points, any distance up to 20 000 km) and short ones (ends
// within 0.4 degrees, distances up to 60 km, around the 40 km where the short-line
// formulas give way). Largest differences of the outputs, lanes the kernels left to
// the one-point functions, lanes whose short-line refinement ended at another step
// and lanes with another status.
void printGeodesicFidelity() {
    using gw::batch::SimdTier;
    const SimdTier best = gw::batch::bestSimdTier();
    Data& bench = data(kGeodesic);
    struct Lines {
        const char* name;
        std::vector<double> lat1, lon1, lat2, lon2, az, dist;
    };
    std::vector<Lines> sets(3);
    sets[0] = Lines{"bench", bench.lat, bench.lon, bench.lat2, bench.lon2, bench.az, bench.dist};
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> lat(-89.9, 89.9), lon(-180, 180), az(0, 360), far(1, 2e7),
        near(-0.4, 0.4), shortDist(0, 60000);
    for (int k = 1; k <= 2; ++k) {
        Lines& l = sets[k];
        l.name = k == 1 ? "global" : "short";
        for (auto* v : {&l.lat1, &l.lon1, &l.lat2, &l.lon2, &l.az, &l.dist}) v->resize(kPoints);
        for (std::size_t i = 0; i < kPoints; ++i) {
            l.lat1[i] = lat(rng);
            l.lon1[i] = lon(rng);
            l.lat2[i] = k == 1 ? lat(rng) : std::clamp(l.lat1[i] + near(rng), -89.9, 89.9);
            l.lon2[i] = k == 1 ? lon(rng) : l.lon1[i] + near(rng);
            l.az[i] = az(rng);
            l.dist[i] = k == 1 ? far(rng) : shortDist(rng);
        }
    }
    std::printf("Fidelity of the geodesic kernels against the one-point functions, %zu lines a set\n", kPoints);
    std::printf("%-8s %-8s %-8s %26s %26s %11s %11s %11s\n", "kernels", "lines", "problem",
                "azimuth/lat2 (deg)", "distance (m)/lon2 (deg)", "one-point", "other step", "other stat");
    const gw::batch::GeodesicConstants gk = gw::batch::geodesicConstants(bench.g->geo.datum);
    std::vector<double> refA(kPoints), refB(kPoints), gotA(kPoints), gotB(kPoints);
    std::vector<int> refSt(kPoints), gotSt(kPoints);
    const std::size_t chunk = 4096;
    std::vector<double> ka(chunk), kb(chunk);
    std::vector<int> ks(chunk);
    for (const Lines& l : sets) {
        auto solve = [&](int problem, std::vector<double>& a, std::vector<double>& b, std::vector<int>& st) {
            if (problem == 0)
                gwGeodesicInverse(bench.g, kPoints, l.lat1.data(), kD, l.lon1.data(), kD, l.lat2.data(), kD,
                                  l.lon2.data(), kD, a.data(), kD, b.data(), kD, st.data());
            else
                gwGeodesicDirect(bench.g, kPoints, l.lat1.data(), kD, l.lon1.data(), kD, l.az.data(), kD,
                                 l.dist.data(), kD, a.data(), kD, b.data(), kD, st.data());
        };
        for (int problem = 0; problem < 2; ++problem) {
            gw::batch::setSimdTier(SimdTier::scalar);
            solve(problem, refA, refB, refSt);
            for (int t = static_cast<int>(SimdTier::sse2); t <= static_cast<int>(best); ++t) {
                const SimdTier tier = static_cast<SimdTier>(t);
                gw::batch::setSimdTier(tier);
                solve(problem, gotA, gotB, gotSt);
                double worstA = 0, worstB = 0;
                std::size_t statusDiffers = 0, redone = 0, stepDiffers = 0;
                for (std::size_t i = 0; i < kPoints; ++i) {
                    if (refSt[i] != gotSt[i]) ++statusDiffers;
                    if (refSt[i] != 0 || gotSt[i] != 0) continue;
                    worstA = std::max(worstA, std::fabs(gotA[i] - refA[i]));
                    worstB = std::max(worstB, std::fabs(gotB[i] - refB[i]));
                }
                // The kernels' own account of each lane, by blocks of whole vectors.
                for (std::size_t i = 0; i < kPoints; i += chunk) {
                    const std::size_t m = std::min(chunk, kPoints - i);
                    if (problem == 0)
                        gw::batch::geodesicInverseBlock(tier, gk, m, &l.lat1[i], &l.lon1[i], &l.lat2[i], &l.lon2[i],
                                                        ka.data(), kb.data(), ks.data());
                    else
                        gw::batch::geodesicDirectBlock(tier, gk, m, &l.lat1[i], &l.lon1[i], &l.az[i], &l.dist[i],
                                                       ka.data(), kb.data(), ks.data());
                    for (std::size_t j = 0; j < m; ++j) {
                        if (ks[j] & gw::batch::kRedo) {
                            ++redone;
                        } else if (problem == 0) {
                            double a = 0, b = 0;
                            const int steps = bench.g->geo.datum.inverseSteps(l.lat1[i + j], l.lon1[i + j],
                                                                             l.lat2[i + j], l.lon2[i + j], a, b);
                            if (steps != (ks[j] & ~gw::batch::kRedo)) ++stepDiffers;
                        }
                    }
                }
                std::printf("%-8s %-8s %-8s %26.3g %26.3g %11zu %11zu %11zu\n", gw::batch::simdTierName(tier),
                            l.name, problem == 0 ? "inverse" : "direct", worstA, worstB, redone, stepDiffers,
                            statusDiffers);
            }
        }
    }
    gw::batch::setSimdTier(best);
    std::printf("\n");
}

// Two threads on the two halves of one array against one thread (wall time).
void printThreads() {
    Data& d = data(kTm);
    auto convert = [&](std::size_t from, std::size_t to) {
        gwGridToGeo(d.g, to - from, &d.north[from], kD, &d.east[from], kD, &outA[from], kD, &outB[from], kD, nullptr);
    };
    auto wall = [](const std::function<void()>& f) {
        double best = 1e300;
        for (int r = 0; r < 3; ++r) {
            const auto a = std::chrono::steady_clock::now();
            f();
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - a).count());
        }
        return best;
    };
    const double one = wall([&] { convert(0, kPoints); });
    const double two = wall([&] {
        std::thread t([&] { convert(0, kPoints / 2); });
        convert(kPoints / 2, kPoints);
        t.join();
    });
    std::printf("\nTransverse Mercator reverse, %zu points: one thread %.1f ms, two threads on the halves %.1f ms: "
                "speed-up %.2f (%u cores)\n",
                kPoints, one * 1e3, two * 1e3, one / two, std::thread::hardware_concurrency());
}

} // namespace

int main(int argc, char** argv) {
    std::printf("kernels: %s (best the processor has: %s)\n\n", gw::batch::simdTierName(gw::batch::simdTier()),
                gw::batch::simdTierName(gw::batch::bestSimdTier()));
    bool fidelity = true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--no-fidelity") == 0) {
            fidelity = false;
            for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
            --argc;
            break;
        }
    if (fidelity) {
        printFidelity();
        printConformalAndShiftFidelity();
        printGeodesicFidelity();
    }
    registerAll();
    const int rc = gwbench::runWithRatios(argc, argv, pairs());
    printThreads();
    return rc;
}
