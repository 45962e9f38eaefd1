// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Isometric latitude on the ellipsoid and its inverse, shared by the conformal
// conic and the polar stereographic projections (Snyder, Map Projections - A
// Working Manual, USGS Professional Paper 1395, 1987, chapter 3; the polar
// stereographic t and the conic's t are exp(-psi)).
//
// Angles are radians. e is the first eccentricity, e2 its square. Pure
// functions: they may be called from any thread.
//
// isometricLatitude(phi, e) = ln(tan(phi/2 + pi/4) * ((1 - e sin phi) / (1 + e sin phi))^(e/2)),
// finite for |phi| < pi/2 (and for phi = +-pi/2 in double, where tan stays finite).
//
// latitudeFromIsometric(psi, e, e2) inverts it by Newton's method from the
// spherical start value 2 atan(exp psi) - pi/2: at most 10 steps; when a step is
// below 1e-10 rad the latitude before that step is returned, after 10 steps the
// last one. Accuracy: about 1e-11 rad for |phi| up to 89.9 degrees. At the poles
// (psi beyond about +-37, where the start value is +-pi/2 in double and ln 0
// makes the step infinite) the iteration keeps +-pi/2 instead of running into NaN;
// a NaN psi gives NaN.
#ifndef GRIDWISE_PROJECTIONS_ISOMETRICLATITUDE_H
#define GRIDWISE_PROJECTIONS_ISOMETRICLATITUDE_H

#include <cmath>

#include "numerics/Angles.h"

namespace gw::conformal {

// Exact quarters and halves of pi (a division by a power of two).
constexpr double kQuarterPi = gw::kPi / 4;
constexpr double kHalfPi = gw::kPi / 2;
static_assert(kQuarterPi == 0.7853981633974483 && kHalfPi == 1.5707963267948966);

inline double isometricLatitude(double phi, double e) {
    const double es = e * std::sin(phi);
    return std::log(std::tan(phi / 2 + kQuarterPi) * std::pow((1 - es) / (1 + es), e / 2));
}

// The Newton step of latitudeFromIsometric at phi, whose sine is s.
inline double isometricNewtonStep(double phi, double s, double psi, double e, double e2) {
    const double r =
        0.5 * (std::log(1 + s) - std::log(1 - s) + e * std::log(1 - e * s) - e * std::log(1 + e * s)) - psi;
    return r * std::cos(phi) * (1 - e2 * (s * s)) / (1 - e2);
}

inline double latitudeFromIsometric(double psi, double e, double e2) {
    double phi = 2 * std::atan(std::exp(psi)) - kHalfPi;
    for (int i = 0; i < 10; ++i) {
        const double step = isometricNewtonStep(phi, std::sin(phi), psi, e, e2);
        if (!std::isfinite(step)) break; // at a pole ln(1 -+ sin phi) is infinite: keep the pole
        if (std::fabs(step) < 1e-10) break;
        phi = phi - step;
    }
    return phi;
}

} // namespace gw::conformal

#endif
