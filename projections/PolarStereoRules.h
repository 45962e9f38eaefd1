// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The polar stereographic projection's limits and domain rules, read by its
// one-point code (PolarStereo.cpp), its vector kernels (simd/PolarStereoSimd.cpp)
// and its batch operations.
#ifndef GRIDWISE_PROJECTIONS_POLARSTEREORULES_H
#define GRIDWISE_PROJECTIONS_POLARSTEREORULES_H

namespace gw::polar {

// Northings and eastings are clamped to the frame kFrameLow..kFrameHigh metres.
inline constexpr double kFrameLow = 890000.0;
inline constexpr double kFrameHigh = 3110000.0;

// Latitudes of the projection's hemisphere, the equator excluded.
inline bool geoInDomain(double lat, bool south) { return !(lat == 0 || (south ? lat > 0 : lat < 0)); }

// A forward result on the frame is no conversion.
inline bool onFrame(double v) { return v == kFrameLow || v == kFrameHigh; }

// The false origin (the pole), by the grid point less the false origin.
inline bool atOrigin(double dNorth, double dEast) { return dNorth == 0 && dEast == 0; }

} // namespace gw::polar

#endif
