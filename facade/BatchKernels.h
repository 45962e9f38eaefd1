// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The block kernels the batch conversions reach, for programs that measure or
// test them beside the batch functions: the tier selection (platform), the datum
// shift and the geodesic problems (geodesy), and the projections' kernels, each
// with its own projection.
#ifndef GRIDWISE_FACADE_BATCHKERNELS_H
#define GRIDWISE_FACADE_BATCHKERNELS_H

#include "geodesy/simd/DatumShiftSimd.h"
#include "geodesy/simd/GeodesicSimd.h"
#include "numerics/simd/LaneFlags.h"
#include "platform/SimdTier.h"
#include "projections/simd/ConformalSteps.h"
#include "projections/simd/LambertSimd.h"
#include "projections/simd/PolarStereoSimd.h"
#include "projections/simd/RDProjSimd.h"
#include "projections/simd/TransverseMercatorSimd.h"

#endif
