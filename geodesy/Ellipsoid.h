// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The working ellipsoid as the geodesy formulas use it, and its radii of curvature.
#ifndef GRIDWISE_GEODESY_ELLIPSOID_H
#define GRIDWISE_GEODESY_ELLIPSOID_H

#include <cmath>

#include "geodesy/Datum.h"

namespace gw {

// The constants of a datum's ellipsoid, derived once where the datum is taken.
struct Ellipsoid {
    double a;   // semi-major axis, metres
    double f;   // flattening, 1 / inverseFlattening
    double e2;  // first eccentricity squared (Datum::eccSq)
    double ep2; // second eccentricity squared (Datum::secondEccSq)
    double b;   // semi-minor axis, (1 - f) a
};

inline Ellipsoid ellipsoidOf(const Datum& datum) {
    const double f = 1 / datum.inverseFlattening;
    return Ellipsoid{datum.aAxis, f, datum.eccSq, datum.secondEccSq, (1 - f) * datum.aAxis};
}

// Radius of curvature in the prime vertical, N = a / sqrt(1 - e^2 sin^2 phi).
inline double primeVerticalRadius(double a, double e2, double sinPhi) {
    return a / std::sqrt(1 - e2 * (sinPhi * sinPhi));
}

} // namespace gw

#endif
