// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The instruction sets the vector kernels are compiled for, included by every file
// that compiles kernels with Highway's foreach_target and by the tier selection
// (platform/SimdTier.cpp), so that all of them agree on Highway's dispatch tables:
// AVX-512, AVX2, SSE4 and the portable code of the baseline (one lane, SSE2
// instructions on x86); SSSE3 would only duplicate SSE4's 128 bits. Other
// processors get the targets Highway compiles for them.
#ifndef GRIDWISE_PLATFORM_SIMDTARGETS_H
#define GRIDWISE_PLATFORM_SIMDTARGETS_H

#ifndef HWY_DISABLED_TARGETS
#define HWY_DISABLED_TARGETS (HWY_SSSE3 | HWY_AVX3_DL)
#endif

#endif
