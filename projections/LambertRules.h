// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The Lambert conformal conic's limits and domain rules, read by its one-point
// code (Lambert.cpp), its vector kernels (simd/LambertSimd.cpp) and its batch
// operations.
#ifndef GRIDWISE_PROJECTIONS_LAMBERTRULES_H
#define GRIDWISE_PROJECTIONS_LAMBERTRULES_H

#include <cmath>

namespace gw::lambert {

// Each grid coordinate is clamped to +-kGridLimit metres before the false origin
// is added.
inline constexpr double kGridLimit = 5000000.0;

// The poles are the cone's apex or beyond it.
inline bool geoInDomain(double lat) { return std::fabs(lat) != 90; }

// A forward result (less the false origin) inside the clamp: one on it, within
// the rounding of adding and taking away the false origin, is no conversion.
inline bool gridResultInDomain(double dNorth, double dEast) {
    const double edge = kGridLimit * (1 - 1e-15);
    return std::fabs(dNorth) < edge && std::fabs(dEast) < edge;
}

// Whether a grid point is on the cone (not its apex, not beyond it), by n and
// dy = rho0 + false northing - northing. gridToGeo takes
// rho = dy / cos(atan(dx / dy)); the cosine of an angle within +-pi/2 is positive
// (6e-17 at the ends), so rho has the sign of dy and is zero with it (the apex,
// dx and dy both 0, included): the point is on the cone when dy has the sign of n.
inline bool onCone(double n, double dy) { return n > 0 ? dy > 0 : (n < 0 ? dy < 0 : false); }

} // namespace gw::lambert

#endif
