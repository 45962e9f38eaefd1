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
#include "gridwise/angleutil.h"

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

namespace {

// Puissant's direct solution and its inverse with the refinement, and Sodano's
// inverse, written out as plain arithmetic in the order of their formulas. The
// inverse reports how many refinement steps ran and which test ended them
// (0: the cap of four steps, 1: the distance changed by at most 0.0001 m, 2: the
// azimuth changed by at most 1.7453e-6 degree).
struct Refinement {
    int steps;
    int stop;
};

void puissantDirect(const Datum& d, double lat1, double lon1, double az, double s, double& lat2, double& lon2) {
    const double pi = 3.141592653589793, toRad = pi / 180.0, toDeg = 180.0 / pi;
    const double a = d.aAxis, e2 = d.eccSq;
    const double p1 = lat1 * toRad, al = az * toRad;
    const double W1 = 1 - e2 * (std::sin(p1) * std::sin(p1));
    const double M1 = a * (1 - e2) / std::pow(W1, 1.5), N1 = a / std::sqrt(W1);
    const double t = std::tan(p1), sa = std::sin(al), ca = std::cos(al), sa2 = sa * sa;
    const double A = s * ca, B = s * s * t * sa2, C = (1 + 3 * (t * t)) * (s * s * s) * ca * sa2;
    const double delta = A / N1 - B / (2 * (N1 * N1)) - C / (6 * (N1 * N1 * N1));
    const double k = 3 * e2 * std::sin(p1) * std::cos(p1) / (2 * W1);
    lat2 = lat1 + (A / M1 - B / (2 * M1 * N1) - C / (6 * M1 * (N1 * N1))) * (1 - k * delta) * toDeg;
    const double p2 = lat2 * toRad, c2 = std::cos(p2);
    const double N2 = a / std::sqrt(1 - e2 * (std::sin(p2) * std::sin(p2)));
    lon2 = lon1 + (s * sa / (N2 * c2)) * (1 - (s * s / (6 * (N2 * N2))) * (1 - sa2 / (c2 * c2))) * toDeg;
}

Refinement puissantInverse(const Datum& d, double lat1, double lon1, double lat2, double lon2, double& az,
                           double& dist) {
    const double pi = 3.141592653589793, toRad = pi / 180.0;
    const double a = d.aAxis, e2 = d.eccSq;
    double dLon = lon2 - lon1;
    if (std::fabs(dLon) > 180) // across the +-180 meridian: the nearer way round
        dLon = std::remainder(dLon, 360.0);
    const double dPhi = (lat2 - lat1) * toRad, dLam = dLon * toRad;
    const double p1 = lat1 * toRad, p2 = lat2 * toRad;
    const double W1 = 1 - e2 * (std::sin(p1) * std::sin(p1));
    const double M1 = a * (1 - e2) / std::pow(W1, 1.5), N1 = a / std::sqrt(W1);
    const double N2 = a / std::sqrt(1 - e2 * (std::sin(p2) * std::sin(p2)));
    const double k = 3 * e2 * std::sin(p1) * std::cos(p1) / (2 * W1);
    const double x = dLam * N2 * std::cos(p2), y = dPhi * M1 / (1 - k * dPhi);
    const auto form = [&](double xx, double yy, double& azd, double& s) {
        azd = arctan(xx, yy);
        const double al = azd * toRad;
        s = std::fabs(std::sin(al)) <= 0.5 ? yy / std::cos(al) : xx / std::sin(al);
    };
    form(x, y, az, dist);
    const double t1 = std::tan(p1), c2 = std::cos(p2);
    Refinement r{0, 0};
    while (r.steps < 4) {
        const double al = az * toRad, sa = std::sin(al), ca = std::cos(al), s = dist;
        const double t = s * s * s * sa / (6 * (N2 * N2));
        const double xr = x + t - t * (sa * sa) / (c2 * c2);
        const double yr = y + s * s * t1 * (sa * sa) / (2 * N1) +
                          (1 + 3 * (t1 * t1)) * (s * s * s) * ca * (sa * sa) / (6 * (N1 * N1));
        double az2, s2;
        form(xr, yr, az2, s2);
        ++r.steps;
        r.stop = std::fabs(s2 - dist) <= 0.0001 ? 1 : std::fabs(az2 - az) <= 1.7453e-6 ? 2 : 0;
        az = az2;
        dist = s2;
        if (r.stop != 0)
            break;
    }
    return r;
}

void sodanoInverse(const Datum& d, double lat1, double lon1, double lat2, double lon2, double& az, double& dist) {
    const double pi = 3.141592653589793, toRad = pi / 180.0, toDeg = 180.0 / pi;
    const double f = 1 / d.inverseFlattening, b = (1 - f) * d.aAxis, f2 = f * f, F1 = f + f2;
    double L = (lon2 < 0 ? lon2 + 360 : lon2) - (lon1 < 0 ? lon1 + 360 : lon1);
    if (std::fabs(L) > 180)
        L = L > 0 ? L - 360 : L + 360;
    L = L * toRad;
    const double B1 = std::atan((1 - f) * std::tan(lat1 * toRad)), B2 = std::atan((1 - f) * std::tan(lat2 * toRad));
    const double P = std::sin(B1) * std::sin(B2), Q = std::cos(B1) * std::cos(B2);
    const double cs = P + Q * std::cos(L);
    const double sg = std::acos(std::max(-1.0, std::min(1.0, cs))); // rounding may pass +-1 near the antipode
    const double u = std::sin(L) * std::cos(B2);
    const double v = std::sin(B2) * std::cos(B1) - std::sin(B1) * std::cos(B2) * std::cos(L);
    const double ss = std::sqrt(u * u + v * v);
    const double c = Q * std::sin(L) / ss, m = 1 - c * c, sg2 = sg * sg;
    dist = b * ((1 + f + f2) * sg + P * (F1 * ss - f2 * sg2 / (2 * ss)) -
                (m / 2) * (F1 * (sg + ss * cs) - f2 * sg2 * cs / ss) - (P * P / 2) * f2 * ss * cs +
                (m * m / 16) * (f2 * sg + f2 * ss * cs - 8 * f2 * sg2 * cs / ss - 2 * f2 * ss * (cs * cs * cs)) +
                (P * m / 2) * (f2 * ss * (cs * cs) + f2 * sg2 / ss));
    const double lam = L + c * (F1 * sg - (P / 2) * (f2 * ss + 2 * f2 * sg2 / ss) +
                                (m / 4) * (f2 * ss * cs - 5 * f2 * sg + 4 * f2 * sg2 * cs / ss));
    const double D = std::sin(B2) * std::cos(B1) - std::cos(lam) * std::sin(B1) * std::cos(B2);
    if (L == 0) {
        az = D < 0 ? 180 : 0;
    } else if (std::fabs(D) <= 1e-8) {
        az = L > 0 ? 90 : 270;
    } else {
        const double X = std::cos(B2) * std::sin(lam) / D, A = std::atan(X) * toDeg;
        az = L > 0 ? (X < 0 ? A + 180 : A) : (X > 0 ? A + 360 - 180 : A + 360);
    }
}

} // namespace

// Short lines: the end point of Puissant's series, and the inverse with its
// refinement. The rows include refinements ended by each of the two tests (where
// dropping the other test would change the result) and near the pole ones that
// need three and all four steps (a fifth would move the distance by 8 mm).
TEST(Geodesic, ShortLinesFollowTheirFormulas) {
    Datum datum;
    const struct {
        double lat1, lon1, lat2, lon2;
        int steps, stop;
    } inverseCases[] = {
        {26.063452715, 153.261126336, 26.063504523, 153.560172291, 1, 1}, // the distance settles first
        {89.992079775, 169.345654505, 89.888819295, 169.112277449, 2, 2}, // the azimuth settles first
        {-89.991611771, 5.737482098, -89.848717675, 6.016026359, 3, 2},
        {-89.998752813, 71.837958181, -89.896052679, 72.074926456, 4, 0}, // the cap ends it
        {52.0, 4.0, 52.1, 4.2, 2, 1},
        {-33.0, 179.9999, -33.0001, -179.9998, 1, 1},                     // across the +-180 meridian
        {10.0, 20.0, 10.0, 20.3, 2, 1},                                   // due east
    };
    for (const auto& c : inverseCases) {
        SCOPED_TRACE(std::to_string(c.lat1) + "," + std::to_string(c.lon1) + " -> " + std::to_string(c.lat2) +
                     "," + std::to_string(c.lon2));
        double az, s, azX, sX;
        datum.inverse(c.lat1, c.lon1, c.lat2, c.lon2, az, s);
        const Refinement r = puissantInverse(datum, c.lat1, c.lon1, c.lat2, c.lon2, azX, sX);
        ASSERT_LT(sX, 40000.0);
        EXPECT_EQ(r.steps, c.steps);
        EXPECT_EQ(r.stop, c.stop);
        EXPECT_EQ(az, azX);
        EXPECT_EQ(s, sX);
    }
    const struct {
        double lat1, lon1, azimuth, distance;
    } directCases[] = {
        {0, 0, 45, 39999}, {52, 4, 30, 12000},  {-75.5, -120, 200, 25000}, {89.5, 10, 90, 30000},
        {10, 179.9999, 90, 1000}, {-40, 20, 359.9, 0.0002}, {33, -117, 180, 39999.999},
    };
    for (const auto& c : directCases) {
        double lat, lon, latX, lonX;
        datum.direct(c.lat1, c.lon1, c.azimuth, c.distance, lat, lon);
        puissantDirect(datum, c.lat1, c.lon1, c.azimuth, c.distance, latX, lonX);
        EXPECT_EQ(lat, latX) << c.lat1 << " " << c.azimuth << " " << c.distance;
        EXPECT_EQ(lon, lonX) << c.lat1 << " " << c.azimuth << " " << c.distance;
    }
}

// Long lines of the inverse in every quadrant and branch of the azimuth rules.
TEST(Geodesic, LongInverseFollowsItsFormulas) {
    Datum datum;
    const struct {
        double lat1, lon1, lat2, lon2;
    } cases[] = {
        {10, 5, 20, 5},      {20, 5, 10, 5},       {0, 0, 0, 10},        {0, 0, 0, -10},
        {30, 20, 40, 35},    {30, 20, 10, 35},     {30, 20, 40, 5},      {30, 20, 10, 5},
        {-60, 170, -50, -170}, {45, -175, 50, 175}, {-10, -100, 12, 79},  {70, 0, 70, 180},
        {0.5, 0, -0.5, 179.5},
    };
    for (const auto& c : cases) {
        double az, s, azX, sX;
        datum.inverse(c.lat1, c.lon1, c.lat2, c.lon2, az, s);
        sodanoInverse(datum, c.lat1, c.lon1, c.lat2, c.lon2, azX, sX);
        EXPECT_EQ(az, azX) << c.lat1 << "," << c.lon1 << " -> " << c.lat2 << "," << c.lon2;
        EXPECT_EQ(s, sX) << c.lat1 << "," << c.lon1 << " -> " << c.lat2 << "," << c.lon2;
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
