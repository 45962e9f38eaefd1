// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Lambert conformal conic, polar stereographic and RD conversions in both
// directions, beside GeographicLib (LambertConformalConic, PolarStereographic) and
// PROJ (proj_trans on the matching operations) on the same ellipsoid and points.
#include <GeographicLib/LambertConformalConic.hpp>
#include <GeographicLib/PolarStereographic.hpp>
#include <benchmark/benchmark.h>

#include "RatioReporter.h"
#include <proj.h>

#include <random>
#include <vector>

#include "geodesy/Datum.h"
#include "projections/Lambert.h"
#include "projections/PolarStereo.h"
#include "projections/RDProj.h"

namespace {

constexpr int kCount = 1024; // points per round, cycled

struct Point {
    double lat, lon, north, east;
};

// Points in the domain of a projection, with their grid coordinates from it.
template <class P>
std::vector<Point> points(P& proj, double lat0, double lat1, double lon0, double lon1) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> la(lat0, lat1), lo(lon0, lon1);
    std::vector<Point> v(kCount);
    for (Point& p : v) {
        p.lat = la(rng);
        p.lon = lo(rng);
        proj.geoToGrid(p.lat, p.lon, p.north, p.east);
    }
    return v;
}

Datum& datum() {
    static Datum d;
    return d;
}

Lambert& lambert() {
    static Lambert l = [] {
        Lambert x;
        x.geoparm(&datum());
        return x;
    }();
    return l;
}

PolarStereo& polar() {
    static PolarStereo p = [] {
        PolarStereo x;
        x.geoparm(&datum());
        return x;
    }();
    return p;
}

const std::vector<Point>& lambertPoints() {
    static std::vector<Point> v = points(lambert(), 25.0, 40.0, -125.0, -108.0);
    return v;
}

const std::vector<Point>& polarPoints() {
    static std::vector<Point> v = points(polar(), 70.0, 89.0, -180.0, 180.0);
    return v;
}

const std::vector<Point>& rdPoints() {
    static RDProj r;
    static std::vector<Point> v = points(r, 50.75, 53.6, 3.3, 7.3);
    return v;
}

// A PROJ operation, kept for the whole run.
class ProjOp {
public:
    explicit ProjOp(const char* def) : ctx_(proj_context_create()), op_(proj_create(ctx_, def)) {}
    ~ProjOp() {
        proj_destroy(op_);
        proj_context_destroy(ctx_);
    }
    PJ* get() const { return op_; }

private:
    PJ_CONTEXT* ctx_;
    PJ* op_;
};

template <class Body>
void cycle(benchmark::State& state, const std::vector<Point>& pts, Body body) {
    std::size_t i = 0;
    for (auto _ : state) {
        body(pts[i]);
        i = (i + 1) & (kCount - 1);
    }
}

// ---- Lambert conformal conic ----

void BM_Lambert_geoToGrid(benchmark::State& state) {
    Lambert& l = lambert();
    cycle(state, lambertPoints(), [&](const Point& p) {
        double n, e;
        l.geoToGrid(p.lat, p.lon, n, e);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(e);
    });
}

void BM_Lambert_gridToGeo(benchmark::State& state) {
    Lambert& l = lambert();
    cycle(state, lambertPoints(), [&](const Point& p) {
        double lat, lon;
        l.gridToGeo(p.north, p.east, lat, lon);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
    });
}

void BM_GeographicLib_LCC_Forward(benchmark::State& state) {
    const Lambert& l = lambert();
    GeographicLib::LambertConformalConic g(datum().aAxis, 1 / datum().inverseFlattening, l.firstParallel,
                                           l.secondParallel, 1.0);
    cycle(state, lambertPoints(), [&](const Point& p) {
        double x, y;
        g.Forward(l.lonOfOrigin, p.lat, p.lon, x, y);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
    });
}

void BM_GeographicLib_LCC_Reverse(benchmark::State& state) {
    const Lambert& l = lambert();
    GeographicLib::LambertConformalConic g(datum().aAxis, 1 / datum().inverseFlattening, l.firstParallel,
                                           l.secondParallel, 1.0);
    std::vector<Point> pts = lambertPoints();
    for (Point& p : pts) g.Forward(l.lonOfOrigin, p.lat, p.lon, p.east, p.north);
    cycle(state, pts, [&](const Point& p) {
        double lat, lon;
        g.Reverse(l.lonOfOrigin, p.east, p.north, lat, lon);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
    });
}

const char* kLcc = "+proj=lcc +lat_1=32.78333333333333 +lat_2=33.88333333333333 +lat_0=32.166666666666664 "
                   "+lon_0=-116.25 +x_0=0 +y_0=0 +a=6378137 +rf=298.257222";

void BM_PROJ_lcc_fwd(benchmark::State& state) {
    ProjOp op(kLcc);
    cycle(state, lambertPoints(), [&](const Point& p) {
        PJ_COORD c = proj_trans(op.get(), PJ_FWD, proj_coord(proj_torad(p.lon), proj_torad(p.lat), 0, 0));
        benchmark::DoNotOptimize(c);
    });
}

void BM_PROJ_lcc_inv(benchmark::State& state) {
    ProjOp op(kLcc);
    cycle(state, lambertPoints(), [&](const Point& p) {
        PJ_COORD c = proj_trans(op.get(), PJ_INV, proj_coord(p.east, p.north, 0, 0));
        benchmark::DoNotOptimize(c);
    });
}

// ---- Polar stereographic (UPS north) ----

void BM_PolarStereo_geoToGrid(benchmark::State& state) {
    PolarStereo& ps = polar();
    cycle(state, polarPoints(), [&](const Point& p) {
        double n, e;
        ps.geoToGrid(p.lat, p.lon, n, e);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(e);
    });
}

void BM_PolarStereo_gridToGeo(benchmark::State& state) {
    PolarStereo& ps = polar();
    cycle(state, polarPoints(), [&](const Point& p) {
        double lat, lon;
        ps.gridToGeo(p.north, p.east, lat, lon);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
    });
}

void BM_GeographicLib_PolarStereographic_Forward(benchmark::State& state) {
    GeographicLib::PolarStereographic g(datum().aAxis, 1 / datum().inverseFlattening, 0.994);
    cycle(state, polarPoints(), [&](const Point& p) {
        double x, y;
        g.Forward(true, p.lat, p.lon, x, y);
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
    });
}

void BM_GeographicLib_PolarStereographic_Reverse(benchmark::State& state) {
    GeographicLib::PolarStereographic g(datum().aAxis, 1 / datum().inverseFlattening, 0.994);
    cycle(state, polarPoints(), [&](const Point& p) {
        double lat, lon;
        g.Reverse(true, p.east - 2000000.0, p.north - 2000000.0, lat, lon);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
    });
}

const char* kStere = "+proj=stere +lat_0=90 +k=0.994 +x_0=2000000 +y_0=2000000 +a=6378137 +rf=298.257222";

void BM_PROJ_stere_fwd(benchmark::State& state) {
    ProjOp op(kStere);
    cycle(state, polarPoints(), [&](const Point& p) {
        PJ_COORD c = proj_trans(op.get(), PJ_FWD, proj_coord(proj_torad(p.lon), proj_torad(p.lat), 0, 0));
        benchmark::DoNotOptimize(c);
    });
}

void BM_PROJ_stere_inv(benchmark::State& state) {
    ProjOp op(kStere);
    cycle(state, polarPoints(), [&](const Point& p) {
        PJ_COORD c = proj_trans(op.get(), PJ_INV, proj_coord(p.east, p.north, 0, 0));
        benchmark::DoNotOptimize(c);
    });
}

// ---- RD ----

void BM_RDProj_geoToGrid(benchmark::State& state) {
    RDProj r;
    cycle(state, rdPoints(), [&](const Point& p) {
        double n, e;
        r.geoToGrid(p.lat, p.lon, n, e);
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(e);
    });
}

void BM_RDProj_gridToGeo(benchmark::State& state) {
    RDProj r;
    cycle(state, rdPoints(), [&](const Point& p) {
        double lat, lon;
        r.gridToGeo(p.north, p.east, lat, lon);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
    });
}

const char* kSterea = "+proj=sterea +lat_0=52.15616055555555 +lon_0=5.38763888888889 +k=0.9999079 +x_0=155000 "
                      "+y_0=463000 +ellps=bessel";

void BM_PROJ_sterea_fwd(benchmark::State& state) {
    ProjOp op(kSterea);
    cycle(state, rdPoints(), [&](const Point& p) {
        PJ_COORD c = proj_trans(op.get(), PJ_FWD, proj_coord(proj_torad(p.lon), proj_torad(p.lat), 0, 0));
        benchmark::DoNotOptimize(c);
    });
}

void BM_PROJ_sterea_inv(benchmark::State& state) {
    ProjOp op(kSterea);
    cycle(state, rdPoints(), [&](const Point& p) {
        PJ_COORD c = proj_trans(op.get(), PJ_INV, proj_coord(p.east, p.north, 0, 0));
        benchmark::DoNotOptimize(c);
    });
}

} // namespace

BENCHMARK(BM_Lambert_geoToGrid);
BENCHMARK(BM_GeographicLib_LCC_Forward);
BENCHMARK(BM_PROJ_lcc_fwd);
BENCHMARK(BM_Lambert_gridToGeo);
BENCHMARK(BM_GeographicLib_LCC_Reverse);
BENCHMARK(BM_PROJ_lcc_inv);
BENCHMARK(BM_PolarStereo_geoToGrid);
BENCHMARK(BM_GeographicLib_PolarStereographic_Forward);
BENCHMARK(BM_PROJ_stere_fwd);
BENCHMARK(BM_PolarStereo_gridToGeo);
BENCHMARK(BM_GeographicLib_PolarStereographic_Reverse);
BENCHMARK(BM_PROJ_stere_inv);
BENCHMARK(BM_RDProj_geoToGrid);
BENCHMARK(BM_PROJ_sterea_fwd);
BENCHMARK(BM_RDProj_gridToGeo);
BENCHMARK(BM_PROJ_sterea_inv);

int main(int argc, char** argv) {
    return gwbench::runWithRatios(argc, argv, {
        {"BM_Lambert_geoToGrid", "BM_GeographicLib_LCC_Forward"},
        {"BM_Lambert_geoToGrid", "BM_PROJ_lcc_fwd"},
        {"BM_Lambert_gridToGeo", "BM_GeographicLib_LCC_Reverse"},
        {"BM_Lambert_gridToGeo", "BM_PROJ_lcc_inv"},
        {"BM_PolarStereo_geoToGrid", "BM_GeographicLib_PolarStereographic_Forward"},
        {"BM_PolarStereo_geoToGrid", "BM_PROJ_stere_fwd"},
        {"BM_PolarStereo_gridToGeo", "BM_GeographicLib_PolarStereographic_Reverse"},
        {"BM_PolarStereo_gridToGeo", "BM_PROJ_stere_inv"},
        {"BM_RDProj_geoToGrid", "BM_PROJ_sterea_fwd"},
        {"BM_RDProj_gridToGeo", "BM_PROJ_sterea_inv"}
    });
}
