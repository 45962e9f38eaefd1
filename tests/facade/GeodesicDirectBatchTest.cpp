// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The vector kernels of the batch geodesic direct problem against the scalar tier
// (the one-point function): every vector tier the processor has, on lines of
// several kinds, within 1e-13 degree and with the same statuses.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <limits>
#include <random>
#include <vector>

#include "facade/BatchKernels.h"
#include "geodesy/Datum.h"
#include "gridwise/batch.h"
#include "support/SimdTiers.h"

namespace {

using gw::batch::SimdTier;
constexpr ptrdiff_t kD = sizeof(double);
constexpr double kAngleBound = 1e-13; // degrees

const char* const kUtm = "0,UTM 32,E9,0.00,500000.00,0.999600,0,0";
const char* const kWgs84 = "WGS 84,6378137,298.257223563,WGS 84,0,0,0,0,0,0,0";

struct Lines {
    std::vector<double> lat, lon, az, dist;
    void add(double la, double lo, double a, double s) {
        lat.push_back(la);
        lon.push_back(lo);
        az.push_back(a);
        dist.push_back(s);
    }
    std::size_t size() const { return lat.size(); }
};

struct Result {
    std::vector<double> lat2, lon2;
    std::vector<int> status;
};

Result directAt(SimdTier tier, const GwGeodesy* g, const Lines& p) {
    gw::batch::setSimdTier(tier);
    const std::size_t n = p.size();
    Result r{std::vector<double>(n), std::vector<double>(n), std::vector<int>(n)};
    gwGeodesicDirect(g, n, p.lat.data(), kD, p.lon.data(), kD, p.az.data(), kD, p.dist.data(), kD, r.lat2.data(),
                     kD, r.lon2.data(), kD, r.status.data());
    return r;
}

double angleGap(double a, double b) {
    if (std::isnan(a) && std::isnan(b)) return 0;
    return std::fabs(a - b);
}

Datum wgs84() {
    Datum datum;
    datum.aAxis = 6378137;
    datum.inverseFlattening = 298.257223563;
    datum.update();
    return datum;
}

using Rng = std::mt19937_64;
double uniform(Rng& rng, double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }

struct LineKind {
    const char* name;
    std::function<void(Rng&, Lines&)> make; // adds one line
};

const LineKind kKinds[] = {
    {"global",
     [](Rng& r, Lines& p) { p.add(uniform(r, -90, 90), uniform(r, -180, 180), uniform(r, -180, 360), uniform(r, 0, 2e7)); }},
    {"short lines below 60 km",
     [](Rng& r, Lines& p) { p.add(uniform(r, -89, 89), uniform(r, -180, 180), uniform(r, 0, 360), uniform(r, 0, 6e4)); }},
    {"around the 40 km switch",
     [](Rng& r, Lines& p) {
         const double at[] = {40000 - 1e-8, 40000, 40000 + 1e-8, uniform(r, 39990, 40010)};
         p.add(uniform(r, -89.9, 89.9), uniform(r, -180, 180), uniform(r, 0, 360), at[r() % 4]);
     }},
    {"near the poles",
     [](Rng& r, Lines& p) {
         const double lat = uniform(r, 85, 90 - 1e-9);
         p.add(r() % 2 ? lat : -lat, uniform(r, -180, 180), uniform(r, 0, 360),
               r() % 3 == 0 ? uniform(r, 0, 4e4) : uniform(r, 0, 3e6));
     }},
    {"near-antipodal",
     [](Rng& r, Lines& p) { p.add(uniform(r, -90, 90), uniform(r, -180, 180), uniform(r, 0, 360), uniform(r, 1.99e7, 2.0e7)); }},
    {"meridional and equatorial",
     [](Rng& r, Lines& p) {
         const double az[] = {0, 90, 180, 270, 360, -180, -90};
         const bool equator = r() % 2 == 0;
         p.add(equator ? 0.0 : uniform(r, -89.9, 89.9), uniform(r, -180, 180), az[r() % 7],
               r() % 3 == 0 ? uniform(r, 0, 4e4) : uniform(r, 0, 2e7));
     }},
    {"ordinary",
     [](Rng& r, Lines& p) { p.add(uniform(r, -80, 80), uniform(r, -180, 180), uniform(r, 0, 360), uniform(r, 1000, 2e6)); }},
};

} // namespace

// Every vector tier gives the scalar tier's results within 1e-13 degree, with the
// same statuses, on random lines of each kind.
TEST(GeodesicDirectBatchTest, VectorTiersMatchTheScalarTierOnEveryKindOfLine) {
    gwtest::TierScope restore(gw::batch::bestSimdTier());
    GwGeodesy* g = gwGeodesyFromText(kUtm, kWgs84);
    ASSERT_NE(g, nullptr);
    for (const LineKind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        Rng rng(2024);
        Lines p;
        for (int i = 0; i < 20000; ++i) kind.make(rng, p);
        const Result ref = directAt(SimdTier::scalar, g, p);
        gwtest::forEachTier(SimdTier::sse2, [&](SimdTier tier) {
            const Result got = directAt(tier, g, p);
            int failures = 0;
            for (std::size_t i = 0; i < p.size() && failures < 5; ++i) {
                const bool ok = got.status[i] == ref.status[i] && angleGap(got.lat2[i], ref.lat2[i]) <= kAngleBound &&
                                angleGap(got.lon2[i], ref.lon2[i]) <= kAngleBound;
                if (!ok) ++failures;
                EXPECT_TRUE(ok) << "line " << p.lat[i] << " " << p.lon[i] << " " << p.az[i] << " " << p.dist[i]
                                << ": " << got.lat2[i] << " " << got.lon2[i] << " vs " << ref.lat2[i] << " "
                                << ref.lon2[i];
            }
        });
    }
    gwGeodesyFree(g);
}

// Values outside the usual ranges (non-finite, huge, folded azimuths, latitudes
// at the poles, lines under 0.0001 m) give the scalar tier's statuses and results
// at every vector tier; the block is not a multiple of the lane count.
TEST(GeodesicDirectBatchTest, HostileValuesGiveTheScalarStatusesAndResults) {
    gwtest::TierScope restore(gw::batch::bestSimdTier());
    GwGeodesy* g = gwGeodesyFromText(kUtm, kWgs84);
    ASSERT_NE(g, nullptr);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    Lines p;
    const double lats[] = {0, 45, -89.999999, 90, -90, 91, nan, 1e308};
    const double lons[] = {0, 179.9, -180, 720, 1e6, -1e308, inf};
    const double azs[] = {0, 180, 360, -180, 540, -1e5, 1e300, nan, 45};
    const double dists[] = {0, 5e-5, -1, 1e-4, 39999.99, 40000, 1e6, 4e7, 1e308, inf, nan};
    for (double la : lats)
        for (double lo : lons)
            for (double a : azs)
                for (double s : dists) p.add(la, lo, a, s);
    p.add(10, 20, 30, 1000); // 1 + a multiple of 8 lanes
    const Result ref = directAt(SimdTier::scalar, g, p);
    gwtest::forEachTier(SimdTier::sse2, [&](SimdTier tier) {
        const Result got = directAt(tier, g, p);
        for (std::size_t i = 0; i < p.size(); ++i) {
            ASSERT_EQ(got.status[i], ref.status[i]) << i;
            if (ref.status[i] != 0) continue;
            EXPECT_LE(angleGap(got.lat2[i], ref.lat2[i]), kAngleBound) << i;
            EXPECT_LE(angleGap(got.lon2[i], ref.lon2[i]), kAngleBound) << i;
        }
    });
    gwGeodesyFree(g);
}

// The kernel takes ordinary lines itself, solves lines ending beside a pole or
// across the +-180 meridian again with the C library's functions (the one-point
// result bit for bit) and leaves the rest to the one-point function, whose
// result the batch then gives bit for bit.
TEST(GeodesicDirectBatchTest, LanesLeftToTheOnePointFunctionMatchItExactly) {
    gwtest::TierScope restore(gw::batch::bestSimdTier());
    Datum datum = wgs84();
    const gw::batch::GeodesicConstants k = gw::batch::geodesicConstants(datum);
    GwGeodesy* g = gwGeodesyFromText(kUtm, kWgs84);
    ASSERT_NE(g, nullptr);

    struct Line {
        double lat, lon, az, dist;
        bool redo;
        bool exact; // the one-point result bit for bit
    };
    const Line lines[] = {
        {45, 9, 30, 1e6, false, false},           // ordinary long line
        {52, 4, 200, 12000, false, false},        // ordinary short line
        {80, 10, 0, 1.1e6, false, true},          // ends beside the north pole
        {-80, 10, 180 + 1e-7, 1.1e6, false, true}, // ends beside the south pole
        {10, 170, 80, 1.2e7, false, true},         // across the +-180 meridian, far round
        {89.99, 0, 45, 30000, true, true},        // short line around the pole
        {30, 0, 90, 3e7, true, true},             // longer than 25000 km
        {10, 20, 1e5, 1e6, true, true},           // azimuth folded by the one-point code
    };
    constexpr std::size_t n = 8;
    double lat[n] = {}, lon[n] = {}, az[n] = {}, dist[n] = {}, lat2[n], lon2[n];
    int steps[n];
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        lat[i] = lines[i].lat;
        lon[i] = lines[i].lon;
        az[i] = lines[i].az;
        dist[i] = lines[i].dist;
    }
    gwtest::forEachTier(SimdTier::sse2, [&](SimdTier tier) {
        gw::batch::geodesicDirectBlock(tier, k, n, lat, lon, az, dist, lat2, lon2, steps);
        gw::batch::setSimdTier(tier);
        double bl[n], bo[n];
        ASSERT_EQ(gwGeodesicDirect(g, n, lat, kD, lon, kD, az, kD, dist, kD, bl, kD, bo, kD, nullptr), n);
        for (std::size_t i = 0; i < std::size(lines); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ((steps[i] & gw::batch::kRedo) != 0, lines[i].redo);
            double la = 0, lo = 0;
            datum.direct(lat[i], lon[i], az[i], dist[i], la, lo);
            if (lines[i].exact) {
                EXPECT_EQ(bl[i], la);
                EXPECT_EQ(bo[i], lo);
            } else {
                EXPECT_NEAR(bl[i], la, kAngleBound);
                EXPECT_NEAR(bo[i], lo, kAngleBound);
            }
        }
    });
    gwGeodesyFree(g);
}

// On ordinary lines most lanes stay with the vector kernel (the one-point redo is
// the exception, not the rule).
TEST(GeodesicDirectBatchTest, OrdinaryLinesStayMostlyInTheKernel) {
    if (gw::batch::bestSimdTier() == SimdTier::scalar) GTEST_SKIP();
    Datum datum = wgs84();
    const gw::batch::GeodesicConstants k = gw::batch::geodesicConstants(datum);
    Rng rng(5);
    Lines p;
    constexpr std::size_t n = 4096;
    for (std::size_t i = 0; i < n; ++i) kKinds[6].make(rng, p);
    std::vector<double> lat2(n), lon2(n);
    std::vector<int> steps(n);
    gw::batch::geodesicDirectBlock(gw::batch::bestSimdTier(), k, n, p.lat.data(), p.lon.data(), p.az.data(),
                                   p.dist.data(), lat2.data(), lon2.data(), steps.data());
    std::size_t redone = 0;
    for (int s : steps) redone += (s & gw::batch::kRedo) != 0;
    EXPECT_LT(redone, n / 4);
}

// Global lines (start points uniform on the sphere, any azimuth, any distance up to
// half the meridian): the kernel keeps all but a few per cent of them, ends near
// the poles and lines across the +-180 meridian included, and every tier gives
// the one-point results within 1e-13 degree.
TEST(GeodesicDirectBatchTest, GlobalLinesStayInTheKernelWithinTheBound) {
    gwtest::TierScope restore(gw::batch::bestSimdTier());
    Datum datum = wgs84();
    const gw::batch::GeodesicConstants k = gw::batch::geodesicConstants(datum);
    Rng rng(77);
    Lines p;
    constexpr std::size_t n = 100000;
    for (std::size_t i = 0; i < n; ++i)
        p.add(std::asin(uniform(rng, -1, 1)) * 180 / 3.141592653589793, uniform(rng, -180, 180),
              uniform(rng, 0, 360), uniform(rng, 0, 20003931));
    std::vector<double> ref2(n), refLon(n);
    for (std::size_t i = 0; i < n; ++i) datum.direct(p.lat[i], p.lon[i], p.az[i], p.dist[i], ref2[i], refLon[i]);
    gwtest::forEachTier(SimdTier::sse2, [&](SimdTier tier) {
        std::vector<double> lat2(n), lon2(n);
        std::vector<int> steps(n);
        gw::batch::geodesicDirectBlock(tier, k, n, p.lat.data(), p.lon.data(), p.az.data(), p.dist.data(),
                                       lat2.data(), lon2.data(), steps.data());
        std::size_t redone = 0, outside = 0;
        for (std::size_t i = 0; i < n; ++i) {
            if (steps[i] & gw::batch::kRedo) {
                ++redone;
                continue;
            }
            if (!(angleGap(lat2[i], ref2[i]) <= kAngleBound && angleGap(lon2[i], refLon[i]) <= kAngleBound) &&
                outside++ < 5)
                ADD_FAILURE() << "line " << p.lat[i] << " " << p.lon[i] << " " << p.az[i] << " " << p.dist[i]
                              << ": " << lat2[i] << " " << lon2[i] << " vs " << ref2[i] << " " << refLon[i];
        }
        EXPECT_EQ(outside, 0u);
        EXPECT_LT(redone, n / 20);
    });
}
