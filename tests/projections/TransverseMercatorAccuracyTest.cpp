// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The Transverse Mercator series against an independent Transverse Mercator
// (GeographicLib, accurate to a few nanometres in this range), per band of
// distance from the central meridian.
#include <gtest/gtest.h>

#include <GeographicLib/TransverseMercator.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "projections/TransverseMercator.h"
#include "ProjectionTestUtil.h"

namespace {

const double kA = 6378137.0, kInvF = 298.257223563, kK0 = 0.9996, kLon0 = -117.0;

struct BandError {
    double north, east, lat, lon, convergence;
};

// Worst errors over latitudes -80..84 (every 0.5 degree) and longitudes up to 3
// degrees either side of the central meridian (every 0.05 degree), in the bands
// 0-1, 1-2 and 2-3 degrees. The inverse and the convergence are evaluated at the
// reference's grid point of the true position.
void measure(TransverseMercator& tm, BandError bands[3]) {
    GeographicLib::TransverseMercator reference(kA, 1 / kInvF, kK0);
    for (int i = 0; i < 3; ++i) bands[i] = BandError{0, 0, 0, 0, 0};
    for (double lat = -80.0; lat <= 84.0; lat += 0.5) {
        for (double dl = -3.0; dl <= 3.0 + 1e-9; dl += 0.05) {
            const double lon = kLon0 + dl;
            const double adl = std::fabs(dl);
            BandError& b = bands[adl <= 1.0 ? 0 : adl <= 2.0 ? 1 : 2];
            double x, y, gamma, k;
            reference.Forward(kLon0, lat, lon, x, y, gamma, k);
            double n, e;
            tm.geoToGrid(lat, lon, n, e);
            b.north = std::max(b.north, std::fabs(n - y));
            b.east = std::max(b.east, std::fabs((e - 500000.0) - x));
            double la, lo;
            tm.gridToGeo(y, x + 500000.0, la, lo);
            b.lat = std::max(b.lat, std::fabs(la - lat));
            b.lon = std::max(b.lon, std::fabs(lo - lon));
            b.convergence = std::max(b.convergence, std::fabs(tm.converge(y, x + 500000.0) - gamma));
        }
    }
}

void check(const char* what, const BandError bands[3], const BandError limits[3]) {
    const char* names[3] = {"0-1", "1-2", "2-3"};
    for (int i = 0; i < 3; ++i) {
        std::printf("%s, %s deg from CM: north %.3g m, east %.3g m, lat %.3g deg, lon %.3g deg, "
                    "convergence %.3g deg\n",
                    what, names[i], bands[i].north, bands[i].east, bands[i].lat, bands[i].lon,
                    bands[i].convergence);
        EXPECT_LT(bands[i].north, limits[i].north) << what << " " << names[i];
        EXPECT_LT(bands[i].east, limits[i].east) << what << " " << names[i];
        EXPECT_LT(bands[i].lat, limits[i].lat) << what << " " << names[i];
        EXPECT_LT(bands[i].lon, limits[i].lon) << what << " " << names[i];
        EXPECT_LT(bands[i].convergence, limits[i].convergence) << what << " " << names[i];
    }
}

// As shipped: the northing error is the shortened meridian arc (the c0 factor),
// 1.28 cm at 84 degrees; it shifts inverse latitudes by up to 1.2e-7 degree and,
// through the footpoint, longitudes and convergence near the poles.
TEST(TransverseMercatorAccuracy, AsShippedWithinThreeDegrees) {
    TransverseMercator tm;
    Datum d = gwtest::wgs84();
    tm.geoparm(&d);
    BandError bands[3];
    measure(tm, bands);
    const BandError limits[3] = {
        {0.0135, 2e-7, 1.3e-7, 2.5e-8, 2.5e-8},
        {0.0135, 1e-5, 1.3e-7, 4.5e-8, 4.5e-8},
        {0.0135, 1.5e-4, 1.3e-7, 7.5e-8, 7.5e-8},
    };
    check("as shipped", bands, limits);
}

// The series proper: with the exact c0 the remaining errors are those of the
// truncated series, and a fault in any term would show here.
TEST(TransverseMercatorAccuracy, SeriesWithExactArcWithinThreeDegrees) {
    TransverseMercator tm;
    Datum d = gwtest::wgs84();
    tm.geoparm(&d);
    const double x = d.secondEccSq;
    tm.arcCoef[0] = 1 - 0.75 * x * (1 - 0.9375 * x * (1 - 0.9722222222222222 * x * (1 - 0.984375 * x)));
    BandError bands[3];
    measure(tm, bands);
    const BandError limits[3] = {
        {1e-4, 2e-7, 1e-9, 2e-10, 2e-10},
        {1e-4, 1e-5, 1e-9, 6e-10, 6e-9},
        {1e-4, 1.5e-4, 1e-9, 1e-8, 4e-8},
    };
    check("exact arc", bands, limits);
}

} // namespace
