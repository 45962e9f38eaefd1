// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The Lambert conformal conic's block kernels and its batch operations: the
// one-point steps on vectors of 2, 4 or 8 lanes by the tier, n a multiple of
// simdBlockLanes(). Pure functions of their arguments: any thread.
#ifndef GRIDWISE_PROJECTIONS_SIMD_LAMBERTSIMD_H
#define GRIDWISE_PROJECTIONS_SIMD_LAMBERTSIMD_H

#include <cstddef>
#include <memory>

#include "numerics/simd/LaneFlags.h"
#include "platform/SimdTier.h"
#include "projections/GridBatch.h"
#include "projections/Lambert.h"

namespace gw::batch {

// The constants of one Lambert conformal conic, as its geoparm left them, and
// ln aF, which the inverse takes for n > 0.
struct LambertConstants {
    double n, aF, logAF, rho0, falseNorth, falseEast, lonOfOrigin, e, e2;
};
LambertConstants lambertConstants(const Lambert& p);

// Lambert: latitude, longitude (degrees) to grid, as Lambert::geoToGrid on
// latitudes inside +-90 (the fold of +-90 is the caller's); grid to latitude,
// longitude, as Lambert::gridToGeo on points of the cone (the apex and beyond are
// the caller's), with the steps of the isometric latitude iteration (plus kRedo).
void lambertForwardBlock(SimdTier tier, const LambertConstants& k, std::size_t n, const double* lat,
                         const double* lon, double* north, double* east);
void lambertReverseBlock(SimdTier tier, const LambertConstants& k, std::size_t n, const double* north,
                         const double* east, double* lat, double* lon, int* steps);
} // namespace gw::batch

namespace gw {
std::unique_ptr<GridBatch> lambertBatch(Lambert& p);
}

#endif
