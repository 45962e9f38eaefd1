#include "facade/BatchKernels.h"

#include <cmath>

#include "numerics/Angles.h"

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
    return k;
}

namespace {

double arcOf(const TmConstants& k, double phi, double s, double c) {
    const double R = k.polarRadius;
    const double s2 = s * s;
    const double s4 = s2 * s * s;
    const double s6 = s4 * s * s;
    const double s8 = s6 * s * s;
    return k.c[0] * R * phi - k.c[1] * R * s * c * (1 + k.c[2] * s2 + k.c[3] * s4 + k.c[4] * s6 + k.c[5] * s8);
}

} // namespace

int tmGridToGeo(const TmConstants& k, double north, double east, double& lat, double& lon) {
    const double R = k.polarRadius;
    const double x = k.x;
    const double k0 = k.k0;
    const double c0 = k.c[0];

    const double Mt = (north - k.falseNorth) / k0 + k.arcOrigin;
    const double E = (east - k.falseEast) / k0;

    double phi = Mt / (R * c0);
    double s = 0.0;
    double c = 1.0;
    bool settled = false;
    int steps = 0;
    for (int step = 0; step < 5; ++step) {
        ++steps;
        s = std::sin(phi);
        c = std::cos(phi);
        const double delta = Mt - arcOf(k, phi, s, c);
        phi = phi + delta / (R * c0);
        if (std::fabs(delta) < 0.0001) {
            settled = true;
            break;
        }
    }

    const double c2 = c * c;
    const double c4 = c2 * c * c;
    const double c6 = c4 * c * c;
    const double V2 = 1 + x * c2;
    const double nu = R / std::sqrt(V2);
    const double Q = 1 / (nu * c);
    const double Q2 = Q * Q;
    const double Q3 = Q2 * Q;
    const double Q4 = Q3 * Q;
    const double Q5 = Q4 * Q;

    const double B2 = -0.5 * Q2 * s * c * V2;
    const double B3 = -(Q3 / 6) * (x * c4 + 2 - c2);
    const double B4 = -(Q2 * B2 / 12) * (10 * x * c4 + (2 - 9 * x) * c2 + 3 - 4 * (x * x) * c6);
    const double B5 = (Q5 / 120) * (c4 * (8 * x + 1) + 24 - 20 * c2 - 2 * x * c6);
    const double B6 = (Q4 * B2 / 360) * (45 + 16 * c4);

    const double E2 = E * E;
    const double E3 = E2 * E;
    const double E4 = E3 * E;
    const double E5 = E4 * E;
    const double E6 = E5 * E;

    lat = std::fmod((phi + B2 * E2 + B4 * E4 + B6 * E6) * 180 / gw::kPi, 360.0);
    lon = gw::shiftIntoHalfTurn(std::fmod((Q * E + B3 * E3 + B5 * E5) * 180 / gw::kPi + k.originLon, 360.0));
    return steps | (settled ? 0 : kCapped);
}

} // namespace gw::batch
