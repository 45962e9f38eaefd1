// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The Transverse Mercator's block kernels and its batch operations.
//
// tmGridToGeo is TransverseMercator::gridToGeo itself (through gridToGeoSteps: the
// footpoint iteration from phi = M / (c c0), each step adding the missing arc over
// c c0, stopping once the arc misses by less than 0.0001 m and after five steps at
// most, the inverse series with the sine and cosine from the start of the last
// step), so its latitude and longitude are the one-point results. It returns the
// number of steps taken (1..5), plus kCapped when the fifth step still missed by
// 0.0001 m or more (or by NaN).
//
// The block kernels do the same on vectors of 2, 4 or 8 lanes, by the instruction
// set of the tier: the same operations in the same order, with a vector sine and
// cosine within two ulps of the C library's; each lane of the footpoint iteration
// starts, steps and stops by the rule above on its own. n must be a multiple of
// simdBlockLanes() (the arrays hold that many values). Pure functions of their
// arguments: any thread.
#ifndef GRIDWISE_PROJECTIONS_SIMD_TRANSVERSEMERCATORSIMD_H
#define GRIDWISE_PROJECTIONS_SIMD_TRANSVERSEMERCATORSIMD_H

#include <cstddef>
#include <memory>

#include "numerics/simd/LaneFlags.h"
#include "platform/SimdTier.h"
#include "projections/GridBatch.h"
#include "projections/TransverseMercator.h"

namespace gw::batch {

// The constants of one Transverse Mercator, as its geoparm left them.
struct TmConstants {
    double polarRadius; // c = a^2 / b
    double x;           // e'^2
    double k0;
    double c[6];        // meridian arc coefficients c0..c5
    double arcOrigin;
    double falseNorth;
    double falseEast;
    double originLon;
    const TransverseMercator* projection; // whose gridToGeoSteps tmGridToGeo is
};

TmConstants tmConstants(const TransverseMercator& tm);

// Grid to latitude/longitude; the steps of the footpoint iteration (kCapped added
// when it reached its cap).
int tmGridToGeo(const TmConstants& k, double north, double east, double& lat, double& lon);

// Latitudes, longitudes in degrees to northings, eastings in metres (clamped to
// +-1e7 m), as TransverseMercator::geoToGrid.
void tmForwardBlock(SimdTier tier, const TmConstants& k, std::size_t n, const double* lat, const double* lon,
                    double* north, double* east);
// Grid to latitude, longitude (degrees), as TransverseMercator::gridToGeo; steps as
// tmGridToGeo returns them.
void tmReverseBlock(SimdTier tier, const TmConstants& k, std::size_t n, const double* north, const double* east,
                    double* lat, double* lon, int* steps);

} // namespace gw::batch

namespace gw {
std::unique_ptr<GridBatch> transverseMercatorBatch(TransverseMercator& p);
}

#endif
