// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The seven-parameter datum shift's block kernel, on vectors of 2, 4 or 8 lanes
// by the tier, n a multiple of simdBlockLanes(). Pure functions of their
// arguments: any thread.
#ifndef GRIDWISE_GEODESY_SIMD_DATUMSHIFTSIMD_H
#define GRIDWISE_GEODESY_SIMD_DATUMSHIFTSIMD_H

#include <cstddef>

#include "numerics/simd/LaneFlags.h"
#include "platform/SimdTier.h"

class Datum;

namespace gw::batch {

// The seven-parameter shift of one datum in one direction (1 working datum to
// WGS 84, -1 back), as Datum::trans7Param takes it: the source ellipsoid, the
// parameters (rotations in radians), the target ellipsoid.
struct ShiftConstants {
    double srcA, srcE2;
    double d, dX, dY, dZ, k, rx, ry, rz;
    double dstA, dstInvF, dstE2, dstB, dstSqrtAB;
};
ShiftConstants shiftConstants(const Datum& datum, int direction);

// The cartesian-to-geographic latitude iteration as cartToGeo takes it, step for
// step, on the shifted point of one input: latitude, longitude in [0, 360) and
// height, and the number of steps taken (0..50).
int shiftSteps(const ShiftConstants& k, double lat, double lon, double& latOut, double& lonOut, double& hOut);

// The shift on vectors: latitude, longitude in [0, 360) (degrees) and height, with
// the steps of the latitude iteration (plus kRedo for a lane on the polar axis or
// near a stopping rule).
void shiftBlock(SimdTier tier, const ShiftConstants& k, std::size_t n, const double* lat, const double* lon,
                double* latOut, double* lonOut, double* hOut, int* steps);

} // namespace gw::batch

#endif
