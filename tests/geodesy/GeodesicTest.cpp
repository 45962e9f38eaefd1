// Geodesic direct and inverse on the working ellipsoid, checked against an exact
// geodesic solution (GeographicLib) on the same ellipsoid and against fixed cases.
#include <GeographicLib/Geodesic.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>

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
    datum.direct(12.5, 33.25, 45, -500, lat, lon);
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

    // A long line over the +-180 meridian comes back into -180..180; a short one does not.
    datum.direct(0, 179.9, 90, 50000, lat, lon);
    EXPECT_NEAR(lon, -179.651, 0.0005);
    datum.direct(0, 179.9999, 90, 1000, lat, lon);
    EXPECT_NEAR(lon, 180.0089, 0.0001);

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

// Sodano's direct solution written out term by term, as plain arithmetic in the
// order of its formulas; the library must give the same bits.
void sodanoDirect(const Datum& d, double lat1, double lon1, double az, double s, double& lat2, double& lon2) {
    const double pi = 3.141592653589793, toRad = pi / 180.0, toDeg = 180.0 / pi;
    const double f = 1 / d.inverseFlattening, ep2 = d.secondEccSq, ep4 = ep2 * ep2, f2 = f * f;
    const double alpha = az * toRad, sa = std::sin(alpha), ca = std::cos(alpha);
    const double beta1 = std::atan((1 - f) * std::tan(lat1 * toRad));
    const double sb = std::sin(beta1), cb = std::cos(beta1);
    const double c = sa * cb, g = ca * cb;
    const double m = (1 - c * c) * (1 + ep2 * (sb * sb) / 2);
    const double ss = s / ((1 - f) * d.aAxis), S = std::sin(ss), C = std::cos(ss);
    const double a1 = (sb * sb) * C + g * sb * S;
    const double s0 = ss + (1 + ep2 * (sb * sb) / 2) * a1 * (-ep2 * S / 2) + m * (ep2 * S * C / 4 - ep2 * ss / 4) +
                      (a1 * a1) * 5 * ep4 * S * C / 8 +
                      (m * m) * (11 * ep4 * ss / 64 - 13 * ep4 * S * C / 64 - ep4 * ss * (C * C) / 8 +
                                 5 * ep4 * S * (C * C * C) / 32) +
                      m * a1 * (3 * ep4 * S / 8 + ep4 * ss * C / 4 - 5 * ep4 * S * (C * C) / 8);
    const double D = std::cos(s0) * cb - sb * std::sin(s0) * ca;
    double ls = 0;
    if (az == 0.0 || az == 180.0) {
        if (D < 0)
            ls += pi;
    } else {
        const double R = std::sin(s0) * sa / D;
        ls = std::atan(R);
        if (az >= 0 && az <= 180 && R < 0)
            ls = std::atan(R) + pi;
        else if (!(az >= 0 && az <= 180) && R > 0)
            ls = std::atan(R) - pi;
    }
    const double delta = c * (m * (3 * f2 * ss / 4 - 3 * f2 * S * C / 4) + 3 * f2 * a1 * S / 2 - f * ss);
    lon2 = lon1 + (ls + delta) * toDeg;
    if (std::fabs(lon2) > 180)
        lon2 += lon2 < 0 ? 360 : -360;
    const double u = g * std::cos(s0) - sb * std::sin(s0);
    lat2 = std::atan((sb * std::cos(s0) + g * std::sin(s0)) / ((1 - f) * std::sqrt(c * c + u * u))) * toDeg;
}

} // namespace

// Azimuths of -180 and 360 are ordinary directions of the quadrant rule (west
// side), not the exact meridian cases of 0 and 180.
TEST(Geodesic, LongDirectFollowsItsFormulasAtEveryAzimuth) {
    Datum datum;
    const struct {
        double lat1, lon1, azimuth, distance;
    } cases[] = {
        {48.224063207634, 54.142600101389, 360, 989387.501294}, {72.828604372187, 2.433504717744, 360, 95993.286387},
        {-26.535448289289, -59.652687570204, -180, 2978964.818817}, {-10.525322994494, 0.390411440107, -180, 313209.751717},
        {80, 10, 0, 3000000}, {33, -120, 180, 5e6}, {12, 170, 90, 2e6}, {-40, 20, 271.5, 7e6}, {5, 5, -30, 1e6},
    };
    for (const auto& c : cases) {
        double lat, lon, latX, lonX;
        datum.direct(c.lat1, c.lon1, c.azimuth, c.distance, lat, lon);
        sodanoDirect(datum, c.lat1, c.lon1, c.azimuth, c.distance, latX, lonX);
        EXPECT_EQ(lat, latX) << c.azimuth << " " << c.distance;
        EXPECT_EQ(lon, lonX) << c.azimuth << " " << c.distance;
    }
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
