// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The vector tiers of the batch kernels in tests: one tier while a scope lives,
// and every tier the processor has in turn, each named in the test's trace.
#ifndef GRIDWISE_TESTS_SUPPORT_SIMDTIERS_H
#define GRIDWISE_TESTS_SUPPORT_SIMDTIERS_H

#include <gtest/gtest.h>

#include "platform/SimdTier.h"

namespace gwtest {

using gw::batch::SimdTier;

// Runs the kernels at tier while it lives; the best tier the processor has after,
// however the test ends.
class TierScope {
public:
    explicit TierScope(SimdTier tier) { gw::batch::setSimdTier(tier); }
    ~TierScope() { gw::batch::setSimdTier(gw::batch::bestSimdTier()); }
    TierScope(const TierScope&) = delete;
    TierScope& operator=(const TierScope&) = delete;
};

// Calls f(tier) for every tier from first up to the best the processor has, at
// that tier and with its name in the trace. A fatal failure inside f ends that
// tier only.
template <class F> void forEachTier(SimdTier first, F&& f) {
    for (int t = static_cast<int>(first); t <= static_cast<int>(gw::batch::bestSimdTier()); ++t) {
        const SimdTier tier = static_cast<SimdTier>(t);
        SCOPED_TRACE(gw::batch::simdTierName(tier));
        TierScope scope(tier);
        f(tier);
    }
}

} // namespace gwtest

#endif
