// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The inverse of the isometric latitude as latitudeFromIsometric takes it, step
// for step: the latitude in radians and the number of Newton steps taken (1..10),
// for measuring the vector kernels against it. Pure: any thread.
#ifndef GRIDWISE_PROJECTIONS_SIMD_CONFORMALSTEPS_H
#define GRIDWISE_PROJECTIONS_SIMD_CONFORMALSTEPS_H

#include <cmath>

#include "projections/IsometricLatitude.h"

namespace gw::batch {

inline int latitudeFromIsometricSteps(double psi, double e, double e2, double& phiOut) {
    double phi = 2 * std::atan(std::exp(psi)) - gw::conformal::kHalfPi;
    int steps = 0;
    for (int i = 0; i < 10; ++i) {
        ++steps;
        const double step = gw::conformal::isometricNewtonStep(phi, std::sin(phi), psi, e, e2);
        if (!std::isfinite(step)) break;
        if (std::fabs(step) < 1e-10) break;
        phi = phi - step;
    }
    phiOut = phi;
    return steps;
}

} // namespace gw::batch

#endif
