// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The vector kernel of the batch geodesic inverse against the scalar tier (the
// one-point function, lane by lane): every instruction set the processor has, on
// lines of several kinds, within 1e-8 m and 1e-13 degree and with the same statuses.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
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
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kDistanceBound = 1e-8; // metres
constexpr double kAzimuthBound = 1e-13; // degrees

const char* const kInit = "0,UTM 32,E9,0.00,500000.00,0.999600,0,0";
const char* const kDatums[] = {"WGS 84,6378137,298.257223563,WGS 84,0,0,0,0,0,0,0",
                               "International,6378388,297,ED50,0,0,0,0,0,0,0"};

struct Lines {
    std::vector<double> lat1, lon1, lat2, lon2;
    void add(double a, double b, double c, double d) {
        lat1.push_back(a);
        lon1.push_back(b);
        lat2.push_back(c);
        lon2.push_back(d);
    }
};

struct Result {
    std::vector<double> az, dist;
    std::vector<int> status;
};

Result run(const GwGeodesy* g, const Lines& l) {
    const std::size_t n = l.lat1.size();
    Result r{std::vector<double>(n), std::vector<double>(n), std::vector<int>(n)};
    gwGeodesicInverse(g, n, l.lat1.data(), kD, l.lon1.data(), kD, l.lat2.data(), kD, l.lon2.data(), kD, r.az.data(),
                      kD, r.dist.data(), kD, r.status.data());
    return r;
}

using gwtest::TierScope;

using Rng = std::mt19937_64;
double uni(Rng& rng, double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }

// The kinds of lines: each draws one line.
struct Kind {
    const char* name;
    std::function<void(Rng&, Lines&)> draw;
};

const Kind kKinds[] = {
    {"global pairs", [](Rng& r, Lines& l) { l.add(uni(r, -89.9, 89.9), uni(r, -180, 180), uni(r, -89.9, 89.9), uni(r, -180, 180)); }},
    {"lines within 10 degrees",
     [](Rng& r, Lines& l) {
         const double lat = uni(r, -80, 80), lon = uni(r, -180, 180);
         l.add(lat, lon, lat + uni(r, -10, 10), lon + uni(r, -10, 10));
     }},
    {"short lines around 40 km",
     [](Rng& r, Lines& l) {
         const double lat = uni(r, -80, 80), lon = uni(r, -180, 180);
         const double s = uni(r, 100, 60000) / 111000, t = uni(r, 0, 6.283185307179586);
         l.add(lat, lon, lat + s * std::cos(t), lon + s * std::sin(t) / std::cos(lat * 0.017453292519943295));
     }},
    {"near the poles",
     [](Rng& r, Lines& l) {
         const double s1 = r() % 2 ? 1 : -1, s2 = r() % 4 ? s1 : -s1;
         l.add(s1 * uni(r, 85, 89.999999), uni(r, -180, 180), s2 * uni(r, 80, 89.999999), uni(r, -180, 180));
     }},
    {"near-antipodal",
     [](Rng& r, Lines& l) {
         const double lat = uni(r, -60, 60), lon = uni(r, -180, 180);
         l.add(lat, lon, -lat + uni(r, -0.5, 0.5), lon + 180 + uni(r, -1, 1));
     }},
    {"meridional",
     [](Rng& r, Lines& l) {
         const double lon = uni(r, -180, 180);
         l.add(uni(r, -89, 89), lon, uni(r, -89, 89), r() % 3 ? lon : lon + 180);
     }},
    {"equatorial",
     [](Rng& r, Lines& l) {
         const double lat = r() % 2 ? 0.0 : uni(r, -1e-6, 1e-6);
         l.add(lat, uni(r, -180, 180), r() % 2 ? lat : -lat, uni(r, -180, 180));
     }},
    {"azimuths 0, 90, 180, 270 and the date line",
     [](Rng& r, Lines& l) {
         const double lat = uni(r, -80, 80), lon = uni(r, -180, 180), dd = uni(r, 0.3, 15);
         switch (r() % 5) {
         case 0: l.add(lat, lon, lat + dd, lon); break;   // north
         case 1: l.add(lat, lon, lat - dd, lon); break;   // south
         case 2: l.add(lat, lon, lat, lon + dd); break;   // east
         case 3: l.add(lat, lon, lat, lon - dd); break;   // west
         default: l.add(lat, 180 - dd / 2, lat + uni(r, -5, 5), -180 + dd / 2); break;
         }
     }},
};

// The vector tiers against the scalar one on lines of one kind.
void compareTiers(const GwGeodesy* g, const Lines& l) {
    Result ref;
    {
        TierScope scalar(SimdTier::scalar);
        ref = run(g, l);
    }
    gwtest::forEachTier(SimdTier::sse2, [&](SimdTier) {
        const Result r = run(g, l);
        int faults = 0;
        for (std::size_t i = 0; i < l.lat1.size() && faults < 5; ++i) {
            const bool ok = r.status[i] == ref.status[i] &&
                            (ref.status[i] != GW_STATUS_OK ||
                             (std::fabs(r.dist[i] - ref.dist[i]) <= kDistanceBound &&
                              std::fabs(std::remainder(r.az[i] - ref.az[i], 360.0)) <= kAzimuthBound));
            if (!ok) {
                ++faults;
                ADD_FAILURE() << "line " << i << " (" << l.lat1[i] << ", " << l.lon1[i] << ") to (" << l.lat2[i]
                              << ", " << l.lon2[i] << "): status " << r.status[i] << " / " << ref.status[i]
                              << ", distance " << r.dist[i] << " / " << ref.dist[i] << ", azimuth " << r.az[i]
                              << " / " << ref.az[i];
            }
        }
    });
}

} // namespace

TEST(GeodesicInverseBatch, EveryVectorTierMatchesTheOnePointFunctionOnEveryKindOfLine) {
    for (const char* datum : kDatums) {
        GwGeodesy* g = gwGeodesyFromText(kInit, datum);
        ASSERT_NE(g, nullptr) << gwLastError();
        for (const Kind& kind : kKinds) {
            SCOPED_TRACE(kind.name);
            SCOPED_TRACE(datum);
            Rng rng(7);
            Lines l;
            for (int i = 0; i < 20001; ++i) kind.draw(rng, l); // not a whole number of blocks
            compareTiers(g, l);
        }
        gwGeodesyFree(g);
    }
}

// Values outside the usual range: the same statuses and, where a result is given,
// the same result (the vector kernel leaves such lanes to the one-point function).
TEST(GeodesicInverseBatch, HostileValuesGiveTheSameStatusesAndResults) {
    GwGeodesy* g = gwGeodesyFromText(kInit, kDatums[0]);
    ASSERT_NE(g, nullptr) << gwLastError();
    Lines l;
    const double odd[] = {kNaN, kInf, -kInf, 1e308, -1e308, 90, -90, 89.999999999, 1e5, -3e4, 4.9e-324, 0, -0.0};
    for (double a : odd) {
        l.add(a, 10, 20, 30);
        l.add(10, a, 20, 30);
        l.add(10, 20, a, 30);
        l.add(10, 20, 30, a);
        l.add(a, a, a, a);
        l.add(0, a, 0, -a);
    }
    compareTiers(g, l);
    gwGeodesyFree(g);
}

// A lane the kernel leaves to the one-point function (a longitude beyond the
// vector sine's reach, a short line across the date line or over both poles)
// comes out of the batch call as the one-point
// result bit for bit, beside lanes the kernel converts.
TEST(GeodesicInverseBatch, RedoneLanesAreTheOnePointResults) {
    Datum datum;
    const gw::batch::GeodesicConstants k = gw::batch::geodesicConstants(datum);
    struct Lane {
        double lat1, lon1, lat2, lon2;
        bool redone;
        int refineSteps; // of the one-point function
    };
    const Lane lanes[] = {
        {52.1, 4.3, 52.2, 4.4, false, 1},        // 13 km: short-line formulas
        {-33.9, 151.2, -34.0, 151.35, false, 1}, // 17 km
        {10, 2e4, 12, 2e4 + 3, true, 0},         // longitude beyond the vector sine's reach
        {52.1, 4.3, 48.8, 2.3, false, 0},        // 400 km
        {-33.9, 151.2, 51.5, -0.1, false, 0},    // half the globe
        {0, 0, 0, 0, false, 0},                  // coincident
        {10, 179.95, 10.05, -179.97, true, 1},   // short, across the date line
        {-89.9, 0, 89.9, 180, true, 1},          // pole to pole, short by the estimate
    };
    const std::size_t n = 8;
    Lines l;
    for (const Lane& x : lanes) l.add(x.lat1, x.lon1, x.lat2, x.lon2);
    for (const Lane& x : lanes) {
        double az1, d1, az2, d2;
        datum.inverse(x.lat1, x.lon1, x.lat2, x.lon2, az1, d1);
        const int stepsTaken = datum.inverseSteps(x.lat1, x.lon1, x.lat2, x.lon2, az2, d2);
        EXPECT_EQ(std::memcmp(&az1, &az2, sizeof az1), 0);
        EXPECT_EQ(std::memcmp(&d1, &d2, sizeof d1), 0);
        if (x.refineSteps > 0)
            EXPECT_GE(stepsTaken, 1) << x.lat1;
        else
            EXPECT_EQ(stepsTaken, 0) << x.lat1;
    }
    gwtest::forEachTier(SimdTier::sse2, [&](SimdTier tier) {
        std::vector<double> az(n), dist(n);
        std::vector<int> steps(n, -1);
        gw::batch::geodesicInverseBlock(tier, k, n, l.lat1.data(), l.lon1.data(), l.lat2.data(), l.lon2.data(),
                                        az.data(), dist.data(), steps.data());
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_EQ((steps[i] & gw::batch::kRedo) != 0, lanes[i].redone) << i;
            if (!lanes[i].redone) {
                double a, s;
                EXPECT_EQ(steps[i], datum.inverseSteps(l.lat1[i], l.lon1[i], l.lat2[i], l.lon2[i], a, s));
                EXPECT_NEAR(dist[i], s, kDistanceBound) << i;
                EXPECT_NEAR(std::remainder(az[i] - a, 360.0), 0.0, kAzimuthBound) << i;
            }
        }
    });
    GwGeodesy* g = gwGeodesyFromText(kInit, "WGS 84,6378137,298.257222,WGS 84,0,0,0,0,0,0,0");
    ASSERT_NE(g, nullptr) << gwLastError();
    Result ref;
    {
        TierScope scalar(SimdTier::scalar);
        ref = run(g, l);
    }
    TierScope best(gw::batch::bestSimdTier());
    const Result r = run(g, l);
    for (std::size_t i = 0; i < n; ++i) {
        if (!lanes[i].redone) continue;
        EXPECT_EQ(std::memcmp(&r.dist[i], &ref.dist[i], sizeof(double)), 0) << i;
        EXPECT_EQ(std::memcmp(&r.az[i], &ref.az[i], sizeof(double)), 0) << i;
        EXPECT_EQ(r.status[i], GW_STATUS_OK) << i;
    }
    gwGeodesyFree(g);
}
