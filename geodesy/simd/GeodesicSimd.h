// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The geodesic problems' block kernels (GeodesicInverseSimd.cpp,
// GeodesicDirectSimd.cpp), on vectors of 2, 4 or 8 lanes by the tier, n a
// multiple of simdBlockLanes(). Pure functions of their arguments: any thread.
#ifndef GRIDWISE_GEODESY_SIMD_GEODESICSIMD_H
#define GRIDWISE_GEODESY_SIMD_GEODESICSIMD_H

#include <cstddef>

#include "numerics/simd/LaneFlags.h"
#include "platform/SimdTier.h"

class Datum;

namespace gw::batch {

// The ellipsoid of the geodesic problems, as Datum::inverse and Datum::direct
// take it (gw::ellipsoidOf).
struct GeodesicConstants {
    double a, f, e2, ep2, b;
};
GeodesicConstants geodesicConstants(const Datum& datum);

// The geodesic problems on vectors (GeodesicInverseSimd.cpp, GeodesicDirectSimd.cpp),
// for latitudes inside +-90: Datum::inverse (azimuth in degrees, distance in
// metres) and Datum::direct (latitude, longitude in degrees), lane by lane, with in
// steps the refinement steps of the short-line inverse (0 for other lanes), plus
// kRedo for a lane the caller must convert by the one-point function (its result
// is then unspecified): a lane near one of the branch or stopping rules, or where
// the vector functions' last-ulp differences would be amplified past 1e-8 m or
// 1e-13 degree.
void geodesicInverseBlock(SimdTier tier, const GeodesicConstants& k, std::size_t n, const double* lat1,
                          const double* lon1, const double* lat2, const double* lon2, double* azimuth,
                          double* distance, int* steps);
void geodesicDirectBlock(SimdTier tier, const GeodesicConstants& k, std::size_t n, const double* lat,
                         const double* lon, const double* azimuth, const double* distance, double* lat2,
                         double* lon2, int* steps);

} // namespace gw::batch

#endif
