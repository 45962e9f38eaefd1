// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "platform/SimdTier.h"

#include "platform/SimdTargets.h"

#include <hwy/highway.h>
#include <hwy/targets.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace gw::batch {

namespace {

constexpr int kTiers = 5;

// The Highway targets each tier may use.
std::int64_t allowedTargets(SimdTier tier) {
    constexpr std::int64_t portable = HWY_SCALAR | HWY_EMU128;
    constexpr std::int64_t wide = HWY_AVX3 | HWY_AVX3_DL;
    switch (tier) {
    case SimdTier::scalar:
    case SimdTier::sse2: return portable;
    case SimdTier::sse4: return ~(wide | HWY_AVX2);
    case SimdTier::avx2: return ~wide;
    case SimdTier::avx512: break;
    }
    return ~std::int64_t{0};
}

// The dispatch index of the best compiled target the processor has among those
// of the tier, as Highway's own choice computes it; the portable code when none.
std::size_t indexOf(std::int64_t targets) {
    const std::int64_t chosen = HWY_CHOSEN_TARGET_SHIFT(targets) | HWY_CHOSEN_TARGET_MASK_SCALAR;
    return hwy::Num0BitsBelowLS1Bit_Nonzero64(static_cast<std::uint64_t>(chosen & HWY_CHOSEN_TARGET_MASK_TARGETS));
}

struct Tiers {
    std::size_t index[kTiers];
    SimdTier best;
    Tiers() {
        const std::int64_t supported = hwy::SupportedTargets();
        best = SimdTier::sse2;
        for (int t = 0; t < kTiers; ++t) {
            index[t] = indexOf(supported & allowedTargets(static_cast<SimdTier>(t)));
            // A tier is there when it reaches code the tier below does not.
            if (t > static_cast<int>(SimdTier::sse2) && index[t] != index[t - 1]) best = static_cast<SimdTier>(t);
        }
    }
};

const Tiers& tiers() {
    static const Tiers t;
    return t;
}

// The tier in use: the best the processor has, or a lower one named in
// GRIDWISE_SIMD, read once.
SimdTier initialTier() {
    const SimdTier best = bestSimdTier();
    const char* want = std::getenv("GRIDWISE_SIMD");
    if (want == nullptr) return best;
    const char* names[] = {"scalar", "sse2", "sse4", "avx2", "avx512"};
    for (int t = 0; t < kTiers; ++t)
        if (std::strcmp(want, names[t]) == 0) return static_cast<SimdTier>(t) < best ? static_cast<SimdTier>(t) : best;
    return best;
}

std::atomic<int>& tierSlot() {
    static std::atomic<int> tier{static_cast<int>(initialTier())};
    return tier;
}

} // namespace

SimdTier bestSimdTier() { return tiers().best; }

SimdTier simdTier() { return static_cast<SimdTier>(tierSlot().load(std::memory_order_relaxed)); }

SimdTier setSimdTier(SimdTier tier) {
    const SimdTier chosen = tier < bestSimdTier() ? tier : bestSimdTier();
    tierSlot().store(static_cast<int>(chosen), std::memory_order_relaxed);
    return chosen;
}

const char* simdTierName(SimdTier tier) {
    switch (tier) {
    case SimdTier::scalar: return "scalar";
    case SimdTier::sse2: return "sse2";
    case SimdTier::sse4: return "sse4";
    case SimdTier::avx2: return "avx2";
    case SimdTier::avx512: return "avx512";
    }
    return "scalar";
}

std::size_t simdBlockLanes() { return 8; }

std::size_t simdDispatchIndex(SimdTier tier) {
    const int t = static_cast<int>(tier);
    return tiers().index[t >= 0 && t < kTiers ? t : 0];
}

} // namespace gw::batch
