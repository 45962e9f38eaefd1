// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Transverse Mercator: our series (geoToGrid, gridToGeo, on the class and through
// the exported C functions of the geodesy instance) beside GeographicLib's
// TransverseMercator (Forward, Reverse) and PROJ's proj_trans (utm, tmerc with its
// default algorithm and the +approx series), on the same points within 3 degrees
// of the central meridian of UTM zone 11 on WGS 84.
#include "projections/TransverseMercator.h"

#include "facade/Geodetics.h"
#include "gridwise/geodetics.h"

#include <GeographicLib/TransverseMercator.hpp>
#include <benchmark/benchmark.h>

#include "RatioReporter.h"
#include <proj.h>

#include <random>
#include <vector>

namespace {

constexpr int kCount = 1024; // points per round, cycled
constexpr double kLon0 = -117.0;

struct Point {
    double lat, lon, north, east;
};

Datum wgs84() {
    Datum d;
    d.aAxis = 6378137.0;
    d.inverseFlattening = 298.257223563;
    d.update();
    return d;
}

const std::vector<Point>& points() {
    static const std::vector<Point> pts = [] {
        std::mt19937_64 rng(7);
        std::uniform_real_distribution<double> lat(-80.0, 84.0);
        std::uniform_real_distribution<double> dl(-3.0, 3.0);
        TransverseMercator tm;
        Datum d = wgs84();
        tm.geoparm(&d);
        std::vector<Point> v(kCount);
        for (Point& p : v) {
            p.lat = lat(rng);
            p.lon = kLon0 + dl(rng);
            tm.geoToGrid(p.lat, p.lon, p.north, p.east);
        }
        return v;
    }();
    return pts;
}

void BM_Gridwise_geoToGrid(benchmark::State& state) {
    TransverseMercator tm;
    Datum d = wgs84();
    tm.geoparm(&d);
    const auto& pts = points();
    size_t i = 0;
    for (auto _ : state) {
        const Point& p = pts[i++ & (kCount - 1)];
        double n, e;
        tm.geoToGrid(p.lat, p.lon, n, e);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_Gridwise_geoToGrid);

void BM_Gridwise_gridToGeo(benchmark::State& state) {
    TransverseMercator tm;
    Datum d = wgs84();
    tm.geoparm(&d);
    const auto& pts = points();
    size_t i = 0;
    for (auto _ : state) {
        const Point& p = pts[i++ & (kCount - 1)];
        double lat, lon;
        tm.gridToGeo(p.north, p.east, lat, lon);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
    }
}
BENCHMARK(BM_Gridwise_gridToGeo);

// The same through the C functions: the geodesy instance holds the default UTM
// zone 11, here on the WGS 84 ellipsoid of the peers.
void useGeodesyInstance() {
    static const bool ready = [] {
        if (allocGeodetics() != 1) return false;
        Geodetics* g = gw::geodesyInstance();
        g->datum = wgs84();
        g->projection->geoparm(&g->datum);
        return true;
    }();
    (void)ready;
}

void BM_C_geoToGrid(benchmark::State& state) {
    useGeodesyInstance();
    const auto& pts = points();
    size_t i = 0;
    for (auto _ : state) {
        const Point& p = pts[i++ & (kCount - 1)];
        double n, e;
        geoToGrid(p.lat, p.lon, &n, &e);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(e);
    }
}
BENCHMARK(BM_C_geoToGrid);

void BM_C_gridToGeo(benchmark::State& state) {
    useGeodesyInstance();
    const auto& pts = points();
    size_t i = 0;
    for (auto _ : state) {
        const Point& p = pts[i++ & (kCount - 1)];
        double lat, lon;
        gridToGeo(p.north, p.east, &lat, &lon);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
    }
}
BENCHMARK(BM_C_gridToGeo);

void BM_GeographicLib_Forward(benchmark::State& state) {
    GeographicLib::TransverseMercator tm(6378137.0, 1 / 298.257223563, 0.9996);
    const auto& pts = points();
    size_t i = 0;
    for (auto _ : state) {
        const Point& p = pts[i++ & (kCount - 1)];
        double x, y;
        tm.Forward(kLon0, p.lat, p.lon, x, y);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
    }
}
BENCHMARK(BM_GeographicLib_Forward);

void BM_GeographicLib_Reverse(benchmark::State& state) {
    GeographicLib::TransverseMercator tm(6378137.0, 1 / 298.257223563, 0.9996);
    const auto& pts = points();
    size_t i = 0;
    for (auto _ : state) {
        const Point& p = pts[i++ & (kCount - 1)];
        double lat, lon;
        tm.Reverse(kLon0, p.east - 500000.0, p.north, lat, lon);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
    }
}
BENCHMARK(BM_GeographicLib_Reverse);

// PROJ's tmerc operation works on radians in and metres out.
void projRun(benchmark::State& state, const char* definition, PJ_DIRECTION direction) {
    PJ_CONTEXT* ctx = proj_context_create();
    PJ* P = proj_create(ctx, definition);
    if (P == nullptr) {
        state.SkipWithError("proj_create failed");
        proj_context_destroy(ctx);
        return;
    }
    const auto& pts = points();
    size_t i = 0;
    for (auto _ : state) {
        const Point& p = pts[i++ & (kCount - 1)];
        PJ_COORD c = direction == PJ_FWD ? proj_coord(proj_torad(p.lon), proj_torad(p.lat), 0, 0)
                                         : proj_coord(p.east, p.north, 0, 0);
        PJ_COORD r = proj_trans(P, direction, c);
        benchmark::DoNotOptimize(r);
    }
    proj_destroy(P);
    proj_context_destroy(ctx);
}

const char* const kUtm = "+proj=utm +zone=11 +ellps=WGS84";
const char* const kTmerc = "+proj=tmerc +lat_0=0 +lon_0=-117 +k=0.9996 +x_0=500000 +y_0=0 +ellps=WGS84";
const char* const kTmercApprox =
    "+proj=tmerc +approx +lat_0=0 +lon_0=-117 +k=0.9996 +x_0=500000 +y_0=0 +ellps=WGS84";

void BM_PROJ_utm_fwd(benchmark::State& state) { projRun(state, kUtm, PJ_FWD); }
void BM_PROJ_utm_inv(benchmark::State& state) { projRun(state, kUtm, PJ_INV); }
void BM_PROJ_tmerc_fwd(benchmark::State& state) { projRun(state, kTmerc, PJ_FWD); }
void BM_PROJ_tmerc_inv(benchmark::State& state) { projRun(state, kTmerc, PJ_INV); }
void BM_PROJ_tmerc_approx_fwd(benchmark::State& state) { projRun(state, kTmercApprox, PJ_FWD); }
void BM_PROJ_tmerc_approx_inv(benchmark::State& state) { projRun(state, kTmercApprox, PJ_INV); }
BENCHMARK(BM_PROJ_utm_fwd);
BENCHMARK(BM_PROJ_utm_inv);
BENCHMARK(BM_PROJ_tmerc_fwd);
BENCHMARK(BM_PROJ_tmerc_inv);
BENCHMARK(BM_PROJ_tmerc_approx_fwd);
BENCHMARK(BM_PROJ_tmerc_approx_inv);

} // namespace

int main(int argc, char** argv) {
    return gwbench::runWithRatios(argc, argv, {
        {"BM_Gridwise_geoToGrid", "BM_GeographicLib_Forward"},
        {"BM_Gridwise_geoToGrid", "BM_PROJ_utm_fwd"},
        {"BM_Gridwise_geoToGrid", "BM_PROJ_tmerc_fwd"},
        {"BM_Gridwise_geoToGrid", "BM_PROJ_tmerc_approx_fwd"},
        {"BM_C_geoToGrid", "BM_GeographicLib_Forward"},
        {"BM_C_geoToGrid", "BM_PROJ_utm_fwd"},
        {"BM_C_geoToGrid", "BM_PROJ_tmerc_approx_fwd"},
        {"BM_Gridwise_gridToGeo", "BM_GeographicLib_Reverse"},
        {"BM_Gridwise_gridToGeo", "BM_PROJ_utm_inv"},
        {"BM_Gridwise_gridToGeo", "BM_PROJ_tmerc_inv"},
        {"BM_Gridwise_gridToGeo", "BM_PROJ_tmerc_approx_inv"},
        {"BM_C_gridToGeo", "BM_GeographicLib_Reverse"},
        {"BM_C_gridToGeo", "BM_PROJ_utm_inv"},
        {"BM_C_gridToGeo", "BM_PROJ_tmerc_approx_inv"}
    });
}
