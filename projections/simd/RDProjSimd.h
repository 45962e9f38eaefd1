// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The RD projection's block kernels and its batch operations: the series on
// vectors of 2, 4 or 8 lanes by the tier, n a multiple of simdBlockLanes().
// Pure functions of their arguments: any thread.
#ifndef GRIDWISE_PROJECTIONS_SIMD_RDPROJSIMD_H
#define GRIDWISE_PROJECTIONS_SIMD_RDPROJSIMD_H

#include <cstddef>
#include <memory>

#include "numerics/simd/LaneFlags.h"
#include "platform/SimdTier.h"
#include "projections/GridBatch.h"
#include "projections/RDProj.h"

namespace gw::batch {

// The RD projection's origin, as its one-point conversions take it.
struct RdConstants {
    double lat0, lon0, x0, y0;
};

// The RD series on vectors: the one-point results bit for bit (no function of the
// C library enters).
void rdForwardBlock(SimdTier tier, const RdConstants& k, std::size_t n, const double* lat, const double* lon,
                    double* north, double* east);
void rdReverseBlock(SimdTier tier, const RdConstants& k, std::size_t n, const double* north, const double* east,
                    double* lat, double* lon);

} // namespace gw::batch

namespace gw {
std::unique_ptr<GridBatch> rdBatch(RDProj& p);
}

#endif
