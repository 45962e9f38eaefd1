#include "facade/BatchKernels.h"

#include <cmath>

#include "geodesy/Datum.h"
#include "geodesy/Ellipsoid.h"
#include "gridwise/angleutil.h"
#include "numerics/Angles.h"
#include "projections/IsometricLatitude.h"
#include "projections/Lambert.h"
#include "projections/PolarStereo.h"

namespace gw::batch {

TmConstants tmConstants(const TransverseMercator& tm) {
    TmConstants k{};
    const double a = tm.datum.aAxis;
    // The polar radius as geoparm forms it, b written as (1 - f) a.
    k.polarRadius = a * a / ((1 - 1 / tm.datum.inverseFlattening) * a);
    k.x = tm.datum.secondEccSq;
    k.k0 = tm.scaleFactor;
    for (int i = 0; i < 6; ++i) k.c[i] = tm.arcCoef[i];
    k.arcOrigin = tm.arcOrigin;
    k.falseNorth = tm.falseNorth;
    k.falseEast = tm.falseEast;
    k.originLon = tm.originLon;
    k.projection = &tm;
    return k;
}

int tmGridToGeo(const TmConstants& k, double north, double east, double& lat, double& lon) {
    bool settled = false;
    const int steps = k.projection->gridToGeoSteps(north, east, lat, lon, settled);
    return steps | (settled ? 0 : kCapped);
}

LambertConstants lambertConstants(const Lambert& p) {
    LambertConstants k{};
    k.n = p.coneConstant;
    k.aF = p.radiusFactor;
    k.logAF = std::log(p.radiusFactor);
    k.rho0 = p.originRadius;
    k.falseNorth = p.falseNorth;
    k.falseEast = p.falseEast;
    k.lonOfOrigin = p.lonOfOrigin;
    // The eccentricity as geoparm takes it.
    k.e = std::sqrt(p.datum.eccSq);
    k.e2 = p.datum.eccSq;
    return k;
}

PolarConstants polarConstants(const PolarStereo& p) {
    PolarConstants k{};
    k.C = p.stereoFactor;
    k.k0 = p.scaleFactor;
    k.logCk = std::log(p.stereoFactor) + std::log(p.scaleFactor);
    k.falseNorth = p.falseNorth;
    k.falseEast = p.falseEast;
    k.e = std::sqrt(p.datum.eccSq);
    k.e2 = p.datum.eccSq;
    k.south = p.latOfOrigin < 0;
    return k;
}

int latitudeFromIsometricSteps(double psi, double e, double e2, double& phiOut) {
    double phi = 2 * std::atan(std::exp(psi)) - gw::conformal::kHalfPi;
    int steps = 0;
    for (int i = 0; i < 10; ++i) {
        ++steps;
        const double s = std::sin(phi);
        const double r =
            0.5 * (std::log(1 + s) - std::log(1 - s) + e * std::log(1 - e * s) - e * std::log(1 + e * s)) - psi;
        const double step = r * std::cos(phi) * (1 - e2 * (s * s)) / (1 - e2);
        if (!std::isfinite(step)) break;
        if (std::fabs(step) < 1e-10) break;
        phi = phi - step;
    }
    phiOut = phi;
    return steps;
}

GeodesicConstants geodesicConstants(const Datum& datum) {
    const gw::Ellipsoid el = gw::ellipsoidOf(datum);
    return GeodesicConstants{el.a, el.f, el.e2, el.ep2, el.b};
}

ShiftConstants shiftConstants(const Datum& datum, int direction) {
    ShiftConstants k{};
    const bool toWgs84 = direction == 1;
    k.srcA = toWgs84 ? datum.aAxis : gw::kShiftWgs84A;
    k.srcE2 = toWgs84 ? datum.eccSq : gw::kShiftWgs84E2;
    k.d = direction;
    k.dX = datum.deltaX;
    k.dY = datum.deltaY;
    k.dZ = datum.deltaZ;
    k.k = datum.scalar;
    k.rx = datum.rotX * (gw::kPi / 180);
    k.ry = datum.rotY * (gw::kPi / 180);
    k.rz = datum.rotZ * (gw::kPi / 180);
    k.dstA = toWgs84 ? gw::kShiftWgs84A : datum.aAxis;
    k.dstInvF = toWgs84 ? gw::kShiftWgs84InvF : datum.inverseFlattening;
    k.dstE2 = toWgs84 ? gw::kShiftWgs84E2 : datum.eccSq;
    k.dstB = k.dstA - k.dstA / k.dstInvF;
    k.dstSqrtAB = std::sqrt(k.dstA * k.dstB);
    return k;
}

int shiftSteps(const ShiftConstants& k, double lat, double lon, double& latOut, double& lonOut, double& hOut) {
    double X, Y, Z;
    geoToCart(lat, lon, 0, &X, &Y, &Z, k.srcA, k.srcE2);
    const double X2 = X + k.d * (k.dX + k.k * X - k.rz * Y + k.ry * Z);
    const double Y2 = Y + k.d * (k.dY + k.rz * X + k.k * Y - k.rx * Z);
    const double Z2 = Z + k.d * (k.dZ - k.ry * X + k.rx * Y + k.k * Z);
    lonOut = arctan(Y2, X2);
    const double a = k.dstA, e2 = k.dstE2;
    const double p = std::sqrt(X2 * X2 + Y2 * Y2);
    const double r = std::sqrt(Z2 * Z2 + p * p);
    double height = r - k.dstSqrtAB;
    double phi = std::atan((Z2 / p) / (1 - e2 * a / (a + height)));
    int steps = 0;
    for (int step = 0; step < 50; ++step) {
        ++steps;
        const double phiPrev = phi;
        const double s = std::sin(phiPrev);
        const double n = gw::primeVerticalRadius(a, e2, s);
        height = p / std::cos(phiPrev) - n;
        phi = std::atan((Z2 / p) / (1 - n * e2 / (n + height)));
        if (!(std::fabs(phi - phiPrev) > 2e-9)) break;
    }
    latOut = phi * 180 / gw::kPi;
    hOut = height;
    return steps;
}

} // namespace gw::batch
