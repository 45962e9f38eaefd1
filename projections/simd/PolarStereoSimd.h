// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The polar stereographic projection's block kernels and its batch operations:
// the one-point steps on vectors of 2, 4 or 8 lanes by the tier, n a multiple of
// simdBlockLanes(). Pure functions of their arguments: any thread.
#ifndef GRIDWISE_PROJECTIONS_SIMD_POLARSTEREOSIMD_H
#define GRIDWISE_PROJECTIONS_SIMD_POLARSTEREOSIMD_H

#include <cstddef>
#include <memory>

#include "numerics/simd/LaneFlags.h"
#include "platform/SimdTier.h"
#include "projections/GridBatch.h"
#include "projections/PolarStereo.h"

namespace gw::batch {

// The constants of one polar stereographic projection; logCk is ln C + ln k0.
struct PolarConstants {
    double C, k0, logCk, falseNorth, falseEast, e, e2;
    bool south;
};
PolarConstants polarConstants(const PolarStereo& p);

// Polar stereographic, as PolarStereo::geoToGrid on latitudes of its hemisphere
// inside +-90 (the pole gives the false origin) and PolarStereo::gridToGeo away from
// the false origin, with steps as above.
void polarForwardBlock(SimdTier tier, const PolarConstants& k, std::size_t n, const double* lat,
                       const double* lon, double* north, double* east);
void polarReverseBlock(SimdTier tier, const PolarConstants& k, std::size_t n, const double* north,
                       const double* east, double* lat, double* lon, int* steps);

} // namespace gw::batch

namespace gw {
std::unique_ptr<GridBatch> polarStereoBatch(PolarStereo& p);
}

#endif
