// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Geodesic direct and inverse on the working ellipsoid, checked against an exact
// geodesic solution (GeographicLib) on the same ellipsoid and against fixed cases.
#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "geodesy/Datum.h"

namespace {

struct LengthClass {
    const char* name;
    double distances[5];
    int count;
    double latLimit;      // start and end latitudes within +-latLimit
    double directTol;     // metres, end point against the exact end point
    double inverseTol;    // metres, distance
    double azimuthTol;    // arc-seconds
};

// Tolerances: the worst errors found over dense random sampling of each class,
// rounded up (the table below stays inside them with a margin).
const LengthClass kClasses[] = {
    {"short, |lat| <= 60", {1.0, 120.0, 5000.0, 25000.0, 39999.0}, 5, 60, 0.010, 0.006, 0.010},
    {"short, |lat| <= 80", {1.0, 120.0, 5000.0, 25000.0, 39999.0}, 5, 80, 0.25, 0.01, 0.02},
    {"medium", {40000.0, 95000.0, 300000.0, 999000.0, 0}, 4, 80, 0.10, 0.04, 0.005},
    {"long", {1.5e6, 3e6, 6e6, 9.9e6, 0}, 4, 80, 0.65, 0.40, 0.005},
};

double positionError(const GeographicLib::Geodesic& g, double lat1, double lon1, double lat2, double lon2) {
    double s;
    g.Inverse(lat1, lon1, lat2, lon2, s);
    return s;
}

} // namespace

TEST(Geodesic, AgreesWithExactGeodesicsPerLengthClass) {
    Datum datum;
    const GeographicLib::Geodesic exact(datum.aAxis, 1 / datum.inverseFlattening);
    const double lats[] = {-79.5, -62.0, -45.25, -20.0, 0.0, 12.5, 37.0, 51.75, 59.9, 71.0, 79.9};
    const double azimuths[] = {0.0, 17.5, 45.0, 89.0, 90.0, 133.0, 180.0, 201.0, 270.0, 315.5, 359.0};
    for (const auto& cls : kClasses) {
        double worstDirect = 0, worstDist = 0, worstAz = 0;
        int lines = 0;
        for (double lat1 : lats) {
            if (std::fabs(lat1) > cls.latLimit)
                continue;
            for (double az : azimuths)
                for (int i = 0; i < cls.count; ++i) {
                    const double s = cls.distances[i];
                    const double lon1 = -170.0 + 37.0 * i;
                    double lat2, lon2;
                    exact.Direct(lat1, lon1, az, s, lat2, lon2);
                    if (std::fabs(lat2) > cls.latLimit)
                        continue;
                    ++lines;
                    double la, lo;
                    datum.direct(lat1, lon1, az, s, la, lo);
                    worstDirect = std::max(worstDirect, positionError(exact, lat2, lon2, la, lo));
                    double oaz, os;
                    datum.inverse(lat1, lon1, lat2, lon2, oaz, os);
                    worstDist = std::max(worstDist, std::fabs(os - s));
                    if (s >= 100)
                        worstAz = std::max(worstAz, std::fabs(std::remainder(oaz - az, 360.0)) * 3600);
                }
        }
        std::printf("%-20s %4d lines: direct %.4f m, inverse %.4f m, azimuth %.4f\"\n", cls.name, lines,
                    worstDirect, worstDist, worstAz);
        EXPECT_GT(lines, 50) << cls.name;
        EXPECT_LE(worstDirect, cls.directTol) << cls.name;
        EXPECT_LE(worstDist, cls.inverseTol) << cls.name;
        EXPECT_LE(worstAz, cls.azimuthTol) << cls.name;
    }
}

TEST(Geodesic, InverseAzimuthBranches) {
    Datum datum;
    struct Case {
        double lat1, lon1, lat2, lon2, azimuth, distance, distTol;
    } cases[] = {
        {10, 5, 20, 5, 0, -1, 0},            // same meridian, north
        {20, 5, 10, 5, 180, -1, 0},          // same meridian, south
        {0, 0, 0, 10, 90, 1113194.866, 0.0005},
        {0, 0, 0, -10, 270, 1113194.866, 0.0005},
        {0, 170, 0, -170, 90, 2226389.732, 0.001}, // long line across the +-180 meridian
        {0, -170, 0, 170, 270, 2226389.732, 0.001},
        {45, 7, 45, 7, 0, 0, 0},             // coincident
        {45, 7, 45, 367, 0, 0, 1e-9},        // the same point a turn away
    };
    for (const auto& c : cases) {
        double az = -1, s = -1;
        datum.inverse(c.lat1, c.lon1, c.lat2, c.lon2, az, s);
        EXPECT_NEAR(az, c.azimuth, 1e-9) << c.lat1 << "," << c.lon1 << " -> " << c.lat2 << "," << c.lon2;
        if (c.distance >= 0) {
            EXPECT_NEAR(s, c.distance, c.distTol) << c.lat1 << "," << c.lon1 << " -> " << c.lat2 << "," << c.lon2;
        }
    }
}

TEST(Geodesic, DirectSpecialLines) {
    Datum datum;
    double lat, lon;
    // Shorter than 0.1 mm: the start point itself.
    datum.direct(12.5, 33.25, 45, 0.00005, lat, lon);
    EXPECT_EQ(lat, 12.5);
    EXPECT_EQ(lon, 33.25);
    datum.direct(12.5, 33.25, 45, -0.00005, lat, lon);
    EXPECT_EQ(lat, 12.5);
    EXPECT_EQ(lon, 33.25);

    // Mirror images along the equator.
    double latE, lonE, latW, lonW;
    datum.direct(0, 0, 90, 15000000, latE, lonE);
    datum.direct(0, 0, 270, 15000000, latW, lonW);
    EXPECT_NEAR(lonE, 134.747, 0.0005);
    EXPECT_NEAR(lonW, -134.747, 0.0005);
    EXPECT_NEAR(lonE, -lonW, 1e-9);
    EXPECT_NEAR(latE, 0, 1e-9);
    EXPECT_NEAR(latW, 0, 1e-9);

    // Northwards over the pole: down the opposite meridian.
    datum.direct(80, 10, 0, 3000000, lat, lon);
    EXPECT_NEAR(lon, -170, 1e-9);
    const GeographicLib::Geodesic exact(datum.aAxis, 1 / datum.inverseFlattening);
    double latX, lonX;
    exact.Direct(80, 10, 0, 3000000, latX, lonX);
    EXPECT_NEAR(lat, latX, 1e-5);

    // Lines over the +-180 meridian, long or short, come back into (-180, 180].
    datum.direct(0, 179.9, 90, 50000, lat, lon);
    EXPECT_NEAR(lon, -179.651, 0.0005);
    datum.direct(0, 179.9999, 90, 1000, lat, lon);
    EXPECT_NEAR(lon, -179.99112, 0.00001);

    // An azimuth given beyond a full turn is the same direction.
    double lat450, lon450, lat90, lon90;
    datum.direct(30, 20, 450, 1000000, lat450, lon450);
    datum.direct(30, 20, 90, 1000000, lat90, lon90);
    EXPECT_NEAR(lat450, lat90, 1e-9);
    EXPECT_NEAR(lon450, lon90, 1e-9);
    datum.direct(30, 20, -270, 1000000, lat450, lon450);
    EXPECT_NEAR(lat450, lat90, 1e-9);
    EXPECT_NEAR(lon450, lon90, 1e-9);
}

namespace {

// Frozen results of the direct and inverse problems on the default (WGS 84)
// ellipsoid, in every branch of their rules: Sodano's long lines at azimuths of
// the quadrant rule (-180 and 360 are ordinary west-side directions, not the
// exact meridian cases of 0 and 180) and inverse lines in every quadrant;
// Puissant's short lines, with inverse refinements ended by each of their two
// tests and by the cap of four steps near the poles (where a fifth step would
// move the distance by 8 mm). The values were written once by this build's Datum
// (printf "%a"); they hold every bit of the results, which the comparisons with
// the exact solution above check for accuracy.
struct DirectRow {
    double lat1, lon1, azimuth, distance, lat2, lon2;
};
struct InverseRow {
    double lat1, lon1, lat2, lon2, azimuth, distance;
};

void expectDirect(Datum& datum, const DirectRow& r) {
    double lat, lon;
    datum.direct(r.lat1, r.lon1, r.azimuth, r.distance, lat, lon);
    EXPECT_EQ(lat, r.lat2) << r.lat1 << "," << r.lon1 << " " << r.azimuth << " " << r.distance;
    EXPECT_EQ(lon, r.lon2) << r.lat1 << "," << r.lon1 << " " << r.azimuth << " " << r.distance;
}

void expectInverse(Datum& datum, const InverseRow& r) {
    double az, s;
    datum.inverse(r.lat1, r.lon1, r.lat2, r.lon2, az, s);
    EXPECT_EQ(az, r.azimuth) << r.lat1 << "," << r.lon1 << " -> " << r.lat2 << "," << r.lon2;
    EXPECT_EQ(s, r.distance) << r.lat1 << "," << r.lon1 << " -> " << r.lat2 << "," << r.lon2;
}

} // namespace

TEST(Geodesic, LongLinesGiveTheirFrozenResults) {
    Datum datum;
    const DirectRow direct[] = {
        {48.224063207634, 54.142600101389, 360, 989387.501294, 0x1.c8ebaef2be8f5p+5, 0x1.b1240b859ef9ep+5},
        {72.828604372187, 2.433504717744, 360, 95993.286387, 0x1.26c14971363bfp+6, 0x1.377d1524afa3dp+1},
        {-26.535448289289, -59.652687570204, -180, 2978964.818817, -0x1.aae9582a35816p+5, -0x1.dd38b442c4416p+5},
        {-10.525322994494, 0.390411440107, -180, 313209.751717, -0x1.ab69de9a4fe31p+3, 0x1.8fc8043cf9adap-2},
        {80, 10, 0, 3000000, 0x1.248a476ec58fp+6, -0x1.54p+7},
        {33, -120, 180, 5e6, -0x1.85d578417b6e6p+3, -0x1.ep+6},
        {12, 170, 90, 2e6, 0x1.6ce6a681848f5p+3, -0x1.5752b7f454227p+7},
        {-40, 20, 271.5, 7e6, -0x1.fc91fd7a33c36p+3, -0x1.7d7591bb105c8p+5},
        {5, 5, -30, 1e6, 0x1.99cb456040d88p+3, 0x1.a26f9cf6308cp-2},
    };
    for (const DirectRow& r : direct) expectDirect(datum, r);
    const InverseRow inverse[] = {
        {10, 5, 20, 5, 0x0p+0, 0x1.0e24f6a5c5dedp+20},
        {20, 5, 10, 5, 0x1.68p+7, 0x1.0e24f6a5c5dedp+20},
        {0, 0, 0, 10, 0x1.68p+6, 0x1.0fc6addb09febp+20},
        {0, 0, 0, -10, 0x1.0ep+8, 0x1.0fc6addb09febp+20},
        {30, 20, 40, 35, 0x1.76c604ed3fe64p+5, 0x1.ad320ea5e97ccp+20},
        {30, 20, 10, 35, 0x1.1b837aae85498p+7, 0x1.4a7f36f2cf48dp+21},
        {30, 20, 40, 5, 0x1.39273f6258034p+8, 0x1.ad320ea5e97ccp+20},
        {30, 20, 10, 5, 0x1.b47c85517ab68p+7, 0x1.4a7f36f2cf48dp+21},
        {-60, 170, -50, -170, 0x1.cc7725966377p+5, 0x1.9b2fc1f3733b9p+20},
        {45, -175, 50, 175, 0x1.360973bd5ef77p+8, 0x1.c88d40f2a7a65p+19},
        {-10, -100, 12, 79, 0x1.54fcbd62a0928p+4, 0x1.2d8c18c087b5cp+24},
        {70, 0, 70, 180, 0x1.0d224d592c8eap-48, 0x1.1094c75a4d697p+22},
        {0.5, 0, -0.5, 179.5, 0x1.67ff89a4b08f5p+6, 0x1.30e6176898bafp+24},
    };
    for (const InverseRow& r : inverse) expectInverse(datum, r);
}

TEST(Geodesic, ShortLinesGiveTheirFrozenResults) {
    Datum datum;
    const InverseRow inverse[] = {
        {26.063452715, 153.261126336, 26.063504523, 153.560172291, 0x1.67b1795b93cffp+6, 0x1.d38ebad84847ap+14}, // the distance settles first (one step)
        {89.992079775, 169.345654505, 89.888819295, 169.112277449, 0x1.68807569e8d67p+7, 0x1.68f8f65d0a569p+13}, // the azimuth settles first (two steps)
        {-89.991611771, 5.737482098, -89.848717675, 6.016026359, 0x1.2ce0563d7fd0ep-2, 0x1.f494b60a5a8a2p+13}, // three steps
        {-89.998752813, 71.837958181, -89.896052679, 72.074926456, 0x1.ce5a193245058p-3, 0x1.7cd691d0a0b61p+13}, // the cap of four steps ends it
        {52.0, 4.0, 52.1, 4.2, 0x1.970a24f07868fp+5, 0x1.1404063a8ba11p+14},
        {-33.0, 179.9999, -33.0001, -179.9998, 0x1.be54cdc7bc79ep+6, 0x1.e265b6d05f0d2p+4}, // across the +-180 meridian
        {10.0, 20.0, 10.0, 20.3, 0x1.67e553d81a07ep+6, 0x1.00f79dbda7566p+15}, // due east
    };
    for (const InverseRow& r : inverse) {
        ASSERT_LT(r.distance, 40000.0);
        expectInverse(datum, r);
    }
    const DirectRow direct[] = {
        {0, 0, 45, 39999, 0x1.05ed0c8d76d9cp-2, 0x1.042cd468ea146p-2},
        {52, 4, 30, 12000, 0x1.a0bf36c58958p+5, 0x1.059a5c5b39e61p+2},
        {-75.5, -120, 200, 25000, -0x1.2ed74de863e81p+6, -0x1.e13da8db8ee19p+6},
        {89.5, 10, 90, 30000, 0x1.65bace1363756p+6, 0x1.31f47d8ba16afp+5}, // beyond 80 degrees: Sodano
        {10, 179.9999, 90, 1000, 0x1.3fffffbce9d8fp+3, -0x1.67fb619fc92p+7}, // across +-180, wrapped
        {-40, 20, 359.9, 0.0002, -0x1.3fffffffc21c2p+5, 0x1.3fffffffffb81p+4},
        {33, -117, 180, 39999.999, 0x1.051d532f1e02fp+5, -0x1.d4p+6},
    };
    for (const DirectRow& r : direct) expectDirect(datum, r);
}

TEST(Geodesic, MethodSwitchAt40000MetresIsSeamless) {
    Datum datum;
    const GeographicLib::Geodesic exact(datum.aAxis, 1 / datum.inverseFlattening);
    for (double lat1 : {-55.0, -20.0, 0.0, 35.0, 52.0, 60.0})
        for (double az : {0.0, 30.0, 90.0, 135.0, 200.0, 300.0}) {
            // Both ends of the switch, each against the exact end point of its own length.
            for (double s : {39999.0, 40000.0}) {
                double lat2, lon2, latX, lonX;
                datum.direct(lat1, 4, az, s, lat2, lon2);
                exact.Direct(lat1, 4, az, s, latX, lonX);
                EXPECT_LT(positionError(exact, lat2, lon2, latX, lonX), 0.02) << lat1 << " " << az << " " << s;
            }
            // The end points of 39999 m (Puissant) and 40000 m (Sodano) are 1 m apart
            // to within centimetres.
            double latA, lonA, latB, lonB;
            datum.direct(lat1, 4, az, 39999, latA, lonA);
            datum.direct(lat1, 4, az, 40000, latB, lonB);
            EXPECT_NEAR(positionError(exact, latA, lonA, latB, lonB), 1.0, 0.02) << lat1 << " " << az;
        }
}

// Lines the series cannot take as they stand: over or near a pole (Puissant's
// terms in tan(lat) blow up there), past the start's antipode (where Sodano's
// quadrant turns), backwards, and across +-180. Each end point against the exact
// one: within the stated accuracy, the latitude within +-90, the longitude in
// (-180, 180].
TEST(Geodesic, DirectOverPolesAntipodesAndBackwards) {
    Datum datum;
    const GeographicLib::Geodesic exact(datum.aAxis, 1 / datum.inverseFlattening);
    struct Case {
        double lat1, lon1, azimuth, distance, tol; // tol: metres
    } cases[] = {
        {89.9, 0, 0, 22338.79, 0.004},      // over the North Pole, short
        {89.9, 0, 30, 22338.79, 0.004},     // past it, short
        {-89.99, 45, 200, 39000, 0.004},    // near the South Pole
        {79.9, -20, 10, 39990, 0.004},      // the end beyond 80 degrees
        {85, 170, 315, 500, 0.001},         // a few hundred metres near the pole
        {80, 10, 0, 3000000, 0.62},         // long, over the pole
        {0.4, 0, 83.8, 19987462, 2.0},      // a turn of the auxiliary sphere passed
        {-34.8, 12, 250.1, 32888871, 4.0},  // three quarters round the earth
        {34, 30, 0, -1000, 0.0001},         // backwards: south
        {52, 4, 300, -45000, 0.1},          // backwards, long
        {0, 179.9999, 90, 1000, 0.0001},    // across +-180, short
        {-60, -179.95, 260, 25000, 0.01},   // across +-180, westwards
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.lat1) + " " + std::to_string(c.lon1) + " " + std::to_string(c.azimuth) + " " +
                     std::to_string(c.distance));
        double lat, lon, latX, lonX;
        datum.direct(c.lat1, c.lon1, c.azimuth, c.distance, lat, lon);
        exact.Direct(c.lat1, c.lon1, c.azimuth, c.distance, latX, lonX);
        EXPECT_LE(std::fabs(lat), 90.0);
        EXPECT_GT(lon, -180.0);
        EXPECT_LE(lon, 180.0);
        EXPECT_LT(positionError(exact, lat, lon, latX, lonX), c.tol);
    }
    // Backwards is exactly the line in the opposite azimuth.
    double latB, lonB, latF, lonF;
    datum.direct(34, 30, 10, -25000, latB, lonB);
    datum.direct(34, 30, 190, 25000, latF, lonF);
    EXPECT_EQ(latB, latF);
    EXPECT_EQ(lonB, lonF);
}

TEST(Geodesic, ShortInverseAcrossTheAntimeridian) {
    Datum datum;
    const GeographicLib::Geodesic exact(datum.aAxis, 1 / datum.inverseFlattening);
    struct Case {
        double lat1, lon1, lat2, lon2;
    } cases[] = {
        {10, 179.99998, 10, -179.99998},
        {10, -179.99998, 10, 179.99998},
        {-33, 179.9999, -33.0001, -179.9998},
        {60, -179.99, 60.01, 179.995},
    };
    for (const auto& c : cases) {
        double az, s, azX, azX2, sX;
        datum.inverse(c.lat1, c.lon1, c.lat2, c.lon2, az, s);
        exact.Inverse(c.lat1, c.lon1, c.lat2, c.lon2, sX, azX, azX2);
        EXPECT_LT(sX, 40000);
        EXPECT_NEAR(s, sX, 0.001) << c.lon1 << " -> " << c.lon2;
        EXPECT_NEAR(std::remainder(az - azX, 360.0), 0, 1e-4) << c.lon1 << " -> " << c.lon2;
    }
}

TEST(Geodesic, NonFiniteInputGivesNonFiniteOutput) {
    Datum datum;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double directCases[][4] = {
        {nan, 0, 45, 1000},  {0, nan, 45, 1000},  {0, 0, nan, 1000}, {0, 0, 45, nan},
        {nan, 0, 45, 1e6},   {0, 0, inf, 1e6},    {0, 0, 45, inf},   {inf, 0, 45, 100},
    };
    for (const auto& c : directCases) {
        double lat = 0, lon = 0;
        datum.direct(c[0], c[1], c[2], c[3], lat, lon);
        EXPECT_FALSE(std::isfinite(lat) && std::isfinite(lon)) << c[0] << " " << c[1] << " " << c[2] << " " << c[3];
    }
    const double inverseCases[][4] = {
        {nan, 0, 1, 1}, {0, nan, 0, 0.001}, {0, 0, nan, 0}, {0, 0, 0.0001, nan}, {inf, 0, 1, 1}, {0, 0, 0, inf},
    };
    for (const auto& c : inverseCases) {
        double az = 0, s = 0;
        datum.inverse(c[0], c[1], c[2], c[3], az, s);
        EXPECT_FALSE(std::isfinite(az) && std::isfinite(s)) << c[0] << " " << c[1] << " " << c[2] << " " << c[3];
    }
}
