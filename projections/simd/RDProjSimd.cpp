// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The RD projection's vector kernels, compiled once per instruction set
// (platform/SimdTargets.h) and chosen at run time by the tier.
// Products and sums stay separate roundings, as in the one-point code (compiled
// for SSE2, which has no fused multiply-add): GCC would otherwise fuse them in
// the AVX2 and AVX-512 code.
#pragma GCC optimize("fp-contract=off")

#include "platform/SimdTargets.h"
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "projections/simd/RDProjSimd.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <cmath>

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include "numerics/Angles.h"
#include "numerics/simd/VectorMath-inl.h"
#include "projections/RDSeries.h"
#include "projections/simd/RDProjSimd.h"

HWY_BEFORE_NAMESPACE();
namespace gw::batch::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using DF = hn::ScalableTag<double>;
using V = hn::Vec<DF>;

// The RD series on vectors (RDProj::geoToGrid and gridToGeo), by the steps of
// gw::rd::series: the sum of c u^p v^q in table order, the powers by repeated
// multiplication. No function of the C library enters, so every lane gives the
// one-point result bit for bit.
template <size_t NT> HWY_INLINE V RdSeries(DF d, const gw::rd::Term (&terms)[NT], V u, V v) {
    V up[gw::rd::kMaxPower + 1];
    V vp[gw::rd::kMaxPower + 1];
    up[0] = hn::Set(d, 1.0);
    vp[0] = hn::Set(d, 1.0);
    up[1] = u;
    vp[1] = v;
    for (int i = 2; i <= gw::rd::kMaxPower; ++i) {
        up[i] = up[i - 1] * u;
        vp[i] = vp[i - 1] * v;
    }
    V sum = hn::Zero(d);
    for (const gw::rd::Term& t : terms) sum = sum + hn::Set(d, t.c) * up[t.p] * vp[t.q];
    return sum;
}

void RdForward(const RdConstants& k, size_t n, const double* HWY_RESTRICT lat, const double* HWY_RESTRICT lon,
               double* HWY_RESTRICT north, double* HWY_RESTRICT east) {
    const DF d;
    const size_t N = hn::Lanes(d);
    for (size_t i = 0; i < n; i += N) {
        const V dphi = hn::Set(d, 0.36) * (hn::LoadU(d, lat + i) - hn::Set(d, k.lat0));
        const V dlam = hn::Set(d, 0.36) * (hn::LoadU(d, lon + i) - hn::Set(d, k.lon0));
        hn::StoreU(hn::Set(d, k.x0) + RdSeries(d, gw::rd::kEast, dphi, dlam), d, east + i);
        hn::StoreU(hn::Set(d, k.y0) + RdSeries(d, gw::rd::kNorth, dphi, dlam), d, north + i);
    }
}

void RdReverse(const RdConstants& k, size_t n, const double* HWY_RESTRICT north, const double* HWY_RESTRICT east,
               double* HWY_RESTRICT lat, double* HWY_RESTRICT lon) {
    const DF d;
    const size_t N = hn::Lanes(d);
    for (size_t i = 0; i < n; i += N) {
        const V dx = (hn::LoadU(d, east + i) - hn::Set(d, k.x0)) * hn::Set(d, 1e-5);
        const V dy = (hn::LoadU(d, north + i) - hn::Set(d, k.y0)) * hn::Set(d, 1e-5);
        const V seconds = hn::Set(d, 3600.0);
        hn::StoreU(hn::Set(d, k.lat0) + RdSeries(d, gw::rd::kLat, dx, dy) / seconds, d, lat + i);
        hn::StoreU(hn::Set(d, k.lon0) + RdSeries(d, gw::rd::kLon, dx, dy) / seconds, d, lon + i);
    }
}
} // namespace gw::batch::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace gw::batch {

HWY_EXPORT(RdForward);
HWY_EXPORT(RdReverse);

void rdForwardBlock(SimdTier tier, const RdConstants& k, std::size_t n, const double* lat, const double* lon,
                    double* north, double* east) {
    GW_SIMD_DISPATCH(RdForward, tier)(k, n, lat, lon, north, east);
}

void rdReverseBlock(SimdTier tier, const RdConstants& k, std::size_t n, const double* north, const double* east,
                    double* lat, double* lon) {
    GW_SIMD_DISPATCH(RdReverse, tier)(k, n, north, east, lat, lon);
}

} // namespace gw::batch

namespace gw {

namespace {

// The RD projection's rules for the batch conversions: no domain of its own.
struct RdRules : NoRules {
    static constexpr bool kHasKernels = true;
    batch::RdConstants k;
    void forwardBlock(batch::SimdTier tier, std::size_t n, const double* lat, const double* lon, double* north,
                      double* east, int*) const {
        batch::rdForwardBlock(tier, k, n, lat, lon, north, east);
    }
    void reverseBlock(batch::SimdTier tier, std::size_t n, const double* north, const double* east, double* lat,
                      double* lon, int* steps) const {
        batch::rdReverseBlock(tier, k, n, north, east, lat, lon);
        // The series has no iteration: every lane stands.
        for (std::size_t i = 0; i < n; ++i) steps[i] = 0;
    }
};

} // namespace

std::unique_ptr<GridBatch> rdBatch(RDProj& p) {
    RdRules rules;
    rules.k = batch::RdConstants{p.lat0, p.lon0, p.x0, p.y0};
    return std::make_unique<GridBatchOf<RdRules>>(p, rules);
}

} // namespace gw
#endif
