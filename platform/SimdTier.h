// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The vector tier of the batch kernels and the choice of a kernel by it.
//
// The tier: the best the processor has (AVX-512, AVX2, SSE4, else the portable
// code of one lane), or a lower one named in the environment variable
// GRIDWISE_SIMD ("scalar", "sse2", "sse4", "avx2", "avx512"), read once;
// setSimdTier changes it for the whole process (for tests and measurements: not
// while other threads convert). The scalar tier runs the one-point steps; "sse2"
// is the portable code. On processors other than x86 the tiers above sse2 all
// stand for the best vector code Highway finds there.
//
// A kernel compiled with Highway's foreach_target and exported with HWY_EXPORT is
// called for a tier with GW_SIMD_DISPATCH(Kernel, tier)(args...): the entry of
// Highway's dispatch table for the best target the processor has within the
// tier. Any thread.
#ifndef GRIDWISE_PLATFORM_SIMDTIER_H
#define GRIDWISE_PLATFORM_SIMDTIER_H

#include <cstddef>

namespace gw::batch {

enum class SimdTier { scalar = 0, sse2, sse4, avx2, avx512 };

SimdTier bestSimdTier();
SimdTier simdTier();
// Sets the tier (at most the best one); returns the tier set.
SimdTier setSimdTier(SimdTier tier);
const char* simdTierName(SimdTier tier);
// The lanes a block of the kernels is padded to (the widest vector's).
std::size_t simdBlockLanes();

// The index in Highway's dispatch tables of the kernels for a tier (the scalar
// tier, which never reaches a kernel, gives the portable code's).
std::size_t simdDispatchIndex(SimdTier tier);

} // namespace gw::batch

#define GW_SIMD_DISPATCH(FUNC_NAME, TIER) (*(HWY_DISPATCH_TABLE(FUNC_NAME)[::gw::batch::simdDispatchIndex(TIER)]))

#endif
