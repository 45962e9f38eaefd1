// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The Transverse Mercator's limits and domain rules, read by its one-point code
// (TransverseMercator.cpp), its vector kernels (simd/TransverseMercatorSimd.cpp)
// and its batch operations.
#ifndef GRIDWISE_PROJECTIONS_TRANSVERSEMERCATORRULES_H
#define GRIDWISE_PROJECTIONS_TRANSVERSEMERCATORRULES_H

#include <cmath>

namespace gw::tm {

// Northings and eastings are clamped to +-kGridLimit metres.
inline constexpr double kGridLimit = 1e7;
// The footpoint iteration stops once the meridian arc misses by less than this
// (metres), and after kFootpointSteps steps at most.
inline constexpr double kFootpointTolerance = 0.0001;
inline constexpr int kFootpointSteps = 5;

// A forward result inside the frame: one on the clamp is no conversion.
inline bool gridResultInDomain(double north, double east) {
    return std::fabs(north) < kGridLimit && std::fabs(east) < kGridLimit;
}
// The forward conversion never leaves its frame; beyond it the footpoint passes
// the pole.
inline bool gridInDomain(double north, double east) {
    return std::fabs(north) <= kGridLimit && std::fabs(east) <= kGridLimit;
}

} // namespace gw::tm

#endif
