// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Earth-centred coordinates against GeographicLib's Geocentric, the North Sea
// polynomial, vector rotation and the exported C names.
#include <GeographicLib/Geocentric.hpp>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gridwise/datum.h"

namespace {
const double kA = 6378137.0;
const double kInvF = 298.2572221;
const double kE2 = 0.006694380022923155;
} // namespace

TEST(Cartesian, RoundTripsAgainstGeocentric) {
    const GeographicLib::Geocentric ref(kA, 1 / kInvF);
    const double lats[] = {-89.5, -60.0, -15.25, 0.0, 30.0, 45.5, 60.0, 75.0, 89.0};
    const double lons[] = {-170.0, -45.0, 0.0, 100.25, 179.0};
    const double heights[] = {-500.0, 0.0, 1000.0, 100000.0};
    for (double lat : lats)
        for (double lon : lons)
            for (double h : heights) {
                SCOPED_TRACE(std::to_string(lat) + " " + std::to_string(lon) + " " + std::to_string(h));
                double X, Y, Z, rx, ry, rz;
                geoToCart(lat, lon, h, &X, &Y, &Z, kA, kE2);
                ref.Forward(lat, lon, h, rx, ry, rz);
                EXPECT_NEAR(X, rx, 1e-6);
                EXPECT_NEAR(Y, ry, 1e-6);
                EXPECT_NEAR(Z, rz, 1e-6);
                double la, lo, hh;
                cartToGeo(&la, &lo, &hh, rx, ry, rz, kA, kInvF, kE2);
                EXPECT_NEAR(la, lat, 2e-9); // well inside the stopping test of 2e-9 radians
                EXPECT_GE(lo, 0.0);
                EXPECT_LT(lo, 360.0);
                EXPECT_NEAR(std::remainder(lo - lon, 360.0), 0, 1e-10);
                // The height comes from the step before the last, which may differ from
                // the final latitude by the 2e-9 radian tolerance: a height error of up to
                // N tan(lat) 2e-9, 2 mm at 15 degrees, 0.7 m at 89.
                EXPECT_NEAR(hh, h, 6.4e6 * std::tan(std::fabs(lat) * M_PI / 180) * 2e-9 + 1e-6);
            }
}

TEST(Cartesian, PolarAxisAndNonFiniteInput) {
    const double b = kA - kA / kInvF;
    struct Case {
        double X, Y, Z, lat, h;
    } polar[] = {
        {0, 0, b + 100, 90, 100},
        {0, 0, -(b + 5), -90, 5},
        {0, 0, b - 20, 90, -20},
        {0, 0, 0, 90, -b},
    };
    for (const auto& c : polar) {
        double lat, lon, h;
        cartToGeo(&lat, &lon, &h, c.X, c.Y, c.Z, kA, kInvF, kE2);
        EXPECT_EQ(lat, c.lat) << c.Z;
        EXPECT_EQ(lon, 0.0) << c.Z;
        EXPECT_NEAR(h, c.h, 1e-6) << c.Z;
    }
    // Deep inside the earth the latitude iteration swings for ever without
    // settling; the cap ends it with finite values.
    const double deep[][3] = {{-20716.519542158047, 16629.707215252627, -10504.839960558184},
                              {30000, 0, 10000},
                              {0, 20000, -20000}};
    for (const auto& p : deep) {
        double lat = 0, lon = 0, h = 0;
        cartToGeo(&lat, &lon, &h, p[0], p[1], p[2], kA, kInvF, kE2);
        EXPECT_TRUE(std::isfinite(lat) && std::isfinite(lon) && std::isfinite(h)) << p[0] << " " << p[1] << " " << p[2];
        EXPECT_LE(std::fabs(lat), 90.0);
        EXPECT_LT(h, 0.0);
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double bad[][3] = {{nan, 1, 1}, {1, nan, 1}, {1e6, 1, nan}, {0, 0, nan}, {inf, 0, 0},
                             {0, -inf, 1}, {1, 1, inf}, {inf, inf, inf}, {-inf, 0, nan}};
    for (const auto& p : bad) {
        double lat = 0, lon = 0, h = 0;
        cartToGeo(&lat, &lon, &h, p[0], p[1], p[2], kA, kInvF, kE2);
        EXPECT_TRUE(std::isnan(lat) && std::isnan(lon)) << p[0] << " " << p[1] << " " << p[2];
        EXPECT_FALSE(std::isfinite(h)) << p[0] << " " << p[1] << " " << p[2];
    }
    double X, Y, Z;
    geoToCart(nan, 0, 0, &X, &Y, &Z, kA, kE2);
    EXPECT_TRUE(std::isnan(X) && std::isnan(Y) && std::isnan(Z));
    geoToCart(10, 20, inf, &X, &Y, &Z, kA, kE2);
    EXPECT_TRUE(std::isinf(X) && std::isinf(Y) && std::isinf(Z));
}

TEST(Cartesian, NorthSeaPolynomial) {
    struct Case {
        double lat, lon, dLat, dLon;
    } cases[] = {
        // At P = 0, L = 0 only the constant terms count.
        {55, 0, -5.56098e-6, 1.48944e-5},
        // P = 1, L = 1: the sums of all coefficients.
        {56, 1,
         -5.56098e-6 - 1.55391e-6 - 4.0262e-7 - 5.09693e-7 - 8.19775e-7 - 2.47592e-7 + 1.36682e-7 + 1.86198e-7 +
             1.2335e-7 + 5.68797e-8 - 2.32217e-9 - 7.69931e-9 - 7.86953e-9 - 6.12216e-9 - 4.01382e-9,
         1.48944e-5 + 2.68191e-6 + 2.4529e-6 + 2.944e-7 + 1.5226e-6 + 9.10592e-7 - 3.68241e-7 - 8.51732e-7 -
             5.66713e-7 - 1.85188e-7 + 2.84312e-8 + 6.84853e-8 + 5.00828e-8 + 4.15937e-8 + 7.62236e-9},
        // P = -2, L = 3, by Horner in P then L (another order of evaluation).
        {53, 3, -1, -1},
    };
    for (auto c : cases) {
        if (c.dLat == -1) {
            const double P = c.lat - 55, L = c.lon;
            c.dLat = -5.56098e-6 + L * (-4.0262e-7 + L * (-2.47592e-7 + L * (5.68797e-8 + L * -4.01382e-9))) +
                     P * (-1.55391e-6 + L * (-8.19775e-7 + L * (1.2335e-7 + L * -6.12216e-9)) +
                          P * (-5.09693e-7 + L * (1.86198e-7 + L * -7.86953e-9) +
                               P * (1.36682e-7 + L * -7.69931e-9 + P * -2.32217e-9)));
            c.dLon = 1.48944e-5 + L * (2.4529e-6 + L * (9.10592e-7 + L * (-1.85188e-7 + L * 7.62236e-9))) +
                     P * (2.68191e-6 + L * (1.5226e-6 + L * (-5.66713e-7 + L * 4.15937e-8)) +
                          P * (2.944e-7 + L * (-8.51732e-7 + L * 5.00828e-8) +
                               P * (-3.68241e-7 + L * 6.84853e-8 + P * 2.84312e-8)));
        }
        double lat, lon;
        ed50ToFromEd87(c.lat, c.lon, &lat, &lon, 1);
        // To the rounding of the sum with the latitude (an ulp of 55 is 7e-15).
        EXPECT_NEAR(lat - c.lat, c.dLat, 1e-14) << c.lat << " " << c.lon;
        EXPECT_NEAR(lon - c.lon, c.dLon, 1e-14) << c.lat << " " << c.lon;
        ed50ToFromEd87(c.lat, c.lon, &lat, &lon, -1);
        EXPECT_NEAR(c.lat - lat, c.dLat, 1e-14) << c.lat << " " << c.lon;
        EXPECT_NEAR(c.lon - lon, c.dLon, 1e-14) << c.lat << " " << c.lon;
    }
}

TEST(Cartesian, TransRot) {
    struct Case {
        double a1, a2, a3, x, y, z, ex, ey, ez;
    } cases[] = {
        {0, 0, 0, 1, 2, 3, 1, 2, 3},
        {90, 0, 0, 1, 0, 0, 0, -1, 0},  // about Z
        {90, 0, 0, 0, 1, 0, 1, 0, 0},
        {0, 90, 0, 0, 1, 0, 0, 0, -1},  // about X
        {0, 90, 0, 0, 0, 1, 0, 1, 0},
        {0, 0, 90, 1, 0, 0, 0, 0, 1},   // about Y
        {0, 0, 90, 0, 0, 1, -1, 0, 0},
        {90, 90, 90, 1, 0, 0, -1, 0, 0}, // Z, then X, then Y
    };
    for (const auto& c : cases) {
        double x = c.x, y = c.y, z = c.z;
        transRot(c.a1, c.a2, c.a3, &x, &y, &z);
        EXPECT_NEAR(x, c.ex, 1e-15);
        EXPECT_NEAR(y, c.ey, 1e-15);
        EXPECT_NEAR(z, c.ez, 1e-15);
    }
    double x = 3, y = -4, z = 12;
    transRot(12.5, -33, 271, &x, &y, &z);
    EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), 13.0, 1e-13);
    transRot(1, 2, 3, nullptr, &y, &z); // a missing vector is left alone
}

// The library exports the four functions by their plain C names (three of them also
// with references, by their C++ names) and the datum class by its members; the
// geodesic C functions are not exported from here.
TEST(Cartesian, ExportedNames) {
    void* lib = dlopen(GRIDWISE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    for (const char* name : {"geoToCart", "cartToGeo", "ed50ToFromEd87", "transRot", "_ZN5DatumC1Ev",
                             "_ZN5Datum6updateEv", "_ZN5Datum7setDataEPc", "_ZN5Datum8loadDataEPcS0_",
                             "_ZN5Datum6directEddddRdS0_", "_ZN5Datum7inverseEddddRdS0_",
                             "_ZN5Datum14workingToWgs84EdddRdS0_S0_",
                             // the reference forms for C++ hosts
                             "_Z9geoToCartdddRdS_S_dd", "_Z9cartToGeoRdS_S_dddddd", "_Z14ed50ToFromEd87ddRdS_i"})
        EXPECT_NE(dlsym(lib, name), nullptr) << name;
    using CartToGeo = void (*)(double*, double*, double*, double, double, double, double, double, double);
    auto fn = reinterpret_cast<CartToGeo>(dlsym(lib, "cartToGeo"));
    ASSERT_NE(fn, nullptr);
    double lat, lon, h;
    fn(&lat, &lon, &h, 0, -kA, 0, kA, kInvF, kE2);
    EXPECT_NEAR(lat, 0, 1e-12);
    EXPECT_NEAR(lon, 270, 1e-12); // a negative Y gives a longitude between 180 and 360
    EXPECT_NEAR(h, 0, 1e-6);
    dlclose(lib);
}
