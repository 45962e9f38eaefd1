// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Earth-centred cartesian coordinates, the North Sea correction and vector rotation.
//
// Geographic to cartesian is the closed form, with N the prime-vertical radius of
// curvature at the latitude:
//     X = (N + h) cos(phi) cos(lambda), Y = (N + h) cos(phi) sin(lambda),
//     Z = (N (1 - e^2) + h) sin(phi).
// Cartesian to geographic takes the longitude from Y and X and finds the latitude
// by the classical fixed-point iteration (as given by Heiskanen and Moritz,
// Physical Geodesy, 1967), with p = sqrt(X^2 + Y^2):
//     h = p / cos(phi) - N(phi),  tan(phi) = (Z / p) / (1 - e^2 N / (N + h)).
// It starts from the height above the sphere of radius sqrt(a b), h0 = r - sqrt(a b)
// with r the distance from the centre, taking a for N in the first latitude. It
// stops when a step changes the latitude by at most 2e-9 radians (or the change is
// not a number), and after 50 steps at the latest.
#include "gridwise/datum.h"

#include <cmath>
#include <limits>

#include "geodesy/Ellipsoid.h"
#include "gridwise/angleutil.h"
#include "numerics/Angles.h"

namespace {

using gw::kPi;

// The latitude iteration of cartToGeo stops on its tolerance after a few steps
// near the ellipsoid; the cap only bounds it for far-off or degenerate input.
constexpr int kCartToGeoMaxSteps = 50;
constexpr double kCartToGeoTolerance = 2e-9; // radians

} // namespace

extern "C" {

GW_EXPORT void geoToCart(double lat, double lon, double h, double* X, double* Y, double* Z, double a,
                         double e2) {
    const double phi = lat * kPi / 180;
    const double lambda = lon * kPi / 180;
    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    const double n = gw::primeVerticalRadius(a, e2, sinPhi);
    const double x = (n + h) * cosPhi * std::cos(lambda);
    const double y = (n + h) * cosPhi * std::sin(lambda);
    const double z = ((1 - e2) * n + h) * sinPhi;
    if (X) *X = x;
    if (Y) *Y = y;
    if (Z) *Z = z;
}

GW_EXPORT void cartToGeo(double* lat, double* lon, double* h, double X, double Y, double Z, double a,
                         double invf, double e2) {
    const double b = a - a / invf; // semi-minor axis
    double longitude = arctan(Y, X);
    double latitude;
    double height;
    if (!(std::isfinite(X) && std::isfinite(Y) && std::isfinite(Z))) {
        // Not a point: no position, and a height that is not a number or infinite.
        latitude = longitude = std::numeric_limits<double>::quiet_NaN();
        height = std::fabs(X) + std::fabs(Y) + std::fabs(Z);
    } else if (X == 0 && Y == 0) {
        // On the polar axis the latitude is that of the pole on Z's side and the
        // height is measured from that pole.
        latitude = Z < 0 ? -90.0 : 90.0;
        height = std::fabs(Z) - b;
    } else {
        const double p = std::sqrt(X * X + Y * Y);
        const double r = std::sqrt(Z * Z + p * p);
        height = r - std::sqrt(a * b);
        double phi = std::atan((Z / p) / (1 - e2 * a / (a + height)));
        for (int step = 0; step < kCartToGeoMaxSteps; ++step) {
            const double phiPrev = phi;
            const double s = std::sin(phiPrev);
            const double n = gw::primeVerticalRadius(a, e2, s);
            height = p / std::cos(phiPrev) - n;
            phi = std::atan((Z / p) / (1 - n * e2 / (n + height)));
            const double change = std::fabs(phi - phiPrev);
            if (!(change > kCartToGeoTolerance)) // also ends on a difference that is not a number
                break;
        }
        latitude = phi * 180 / kPi;
    }
    if (lat) *lat = latitude;
    if (lon) *lon = longitude;
    if (h) *h = height;
}

GW_EXPORT void ed50ToFromEd87(double lat, double lon, double* latOut, double* lonOut, int direction) {
    // Outside the area it was made for the polynomial grows without bound (a
    // metre becomes kilometres within a few tens of degrees): no correction there.
    if (!gw::inNorthSeaArea(lat, lon)) {
        if (latOut) *latOut = lat;
        if (lonOut) *lonOut = lon;
        return;
    }
    const double P = lat - 55;
    const double L = lon;
    const double P2 = P * P, L2 = L * L;
    const double P3 = P2 * P, L3 = L2 * L;
    const double P4 = P3 * P, L4 = L3 * L;
    const double dLat = -5.56098e-6 + -1.55391e-6 * P + -4.0262e-7 * L + -5.09693e-7 * P2 +
                        -8.19775e-7 * P * L + -2.47592e-7 * L2 + 1.36682e-7 * P3 + 1.86198e-7 * P2 * L +
                        1.2335e-7 * P * L2 + 5.68797e-8 * L3 + -2.32217e-9 * P4 + -7.69931e-9 * P3 * L +
                        -7.86953e-9 * P2 * L2 + -6.12216e-9 * P * L3 + -4.01382e-9 * L4;
    const double dLon = 1.48944e-5 + 2.68191e-6 * P + 2.4529e-6 * L + 2.944e-7 * P2 + 1.5226e-6 * P * L +
                        9.10592e-7 * L2 + -3.68241e-7 * P3 + -8.51732e-7 * P2 * L + -5.66713e-7 * P * L2 +
                        -1.85188e-7 * L3 + 2.84312e-8 * P4 + 6.84853e-8 * P3 * L + 5.00828e-8 * P2 * L2 +
                        4.15937e-8 * P * L3 + 7.62236e-9 * L4;
    const double d = direction;
    if (latOut) *latOut = lat + d * dLat;
    if (lonOut) *lonOut = lon + d * dLon;
}

GW_EXPORT void transRot(double angle1, double angle2, double angle3, double* x, double* y, double* z) {
    if (!x || !y || !z)
        return;
    const double r1 = angle1 * kPi / 180, r2 = angle2 * kPi / 180, r3 = angle3 * kPi / 180;
    const double c1 = std::cos(r1), s1 = std::sin(r1);
    const double c2 = std::cos(r2), s2 = std::sin(r2);
    const double c3 = std::cos(r3), s3 = std::sin(r3);
    // About Z by angle1.
    const double x1 = *x * c1 + *y * s1;
    const double y1 = *y * c1 - *x * s1;
    // About X by angle2.
    const double z1 = *z * c2 - y1 * s2;
    const double yr = y1 * c2 + *z * s2;
    // About Y by angle3.
    const double xr = x1 * c3 - z1 * s3;
    const double zr = x1 * s3 + z1 * c3;
    *x = xr;
    *y = yr;
    *z = zr;
}

} // extern "C"

void geoToCart(double lat, double lon, double h, double& X, double& Y, double& Z, double a, double e2) {
    geoToCart(lat, lon, h, &X, &Y, &Z, a, e2);
}

void cartToGeo(double& lat, double& lon, double& h, double X, double Y, double Z, double a, double invf,
               double e2) {
    cartToGeo(&lat, &lon, &h, X, Y, Z, a, invf, e2);
}

void ed50ToFromEd87(double lat, double lon, double& latOut, double& lonOut, int direction) {
    ed50ToFromEd87(lat, lon, &latOut, &lonOut, direction);
}
