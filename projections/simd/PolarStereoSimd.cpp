// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The polar stereographic projection's vector kernels, compiled once per
// instruction set (platform/SimdTargets.h) and chosen at run time by the tier.
// Products and sums stay separate roundings, as in the one-point code (compiled
// for SSE2, which has no fused multiply-add): GCC would otherwise fuse them in
// the AVX2 and AVX-512 code.
#pragma GCC optimize("fp-contract=off")

#include "platform/SimdTargets.h"
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "projections/simd/PolarStereoSimd.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <cmath>

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include "numerics/Angles.h"
#include "numerics/simd/VectorMath-inl.h"
#include "projections/PolarStereoRules.h"
#include "projections/simd/Conformal-inl.h"
#include "projections/simd/PolarStereoSimd.h"

HWY_BEFORE_NAMESPACE();
namespace gw::batch::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using DF = hn::ScalableTag<double>;
using V = hn::Vec<DF>;

void PolarForward(const PolarConstants& k, size_t n, const double* HWY_RESTRICT lat, const double* HWY_RESTRICT lon,
                  double* HWY_RESTRICT north, double* HWY_RESTRICT east) {
    const DF d;
    const size_t N = hn::Lanes(d);
    const V pi = hn::Set(d, gw::kPi), r180 = hn::Set(d, 180.0);
    const V fN = hn::Set(d, k.falseNorth), fE = hn::Set(d, k.falseEast);
    for (size_t i = 0; i < n; i += N) {
        const V phiDeg = hn::Abs(hn::LoadU(d, lat + i));
        const auto pole = hn::Eq(phiDeg, hn::Set(d, 90.0)); // fmod by 90 makes it 0: the false origin
        const V phi = phiDeg * pi / r180;
        const V rho = ExpMinusIsometric(d, phi, k.e) * hn::Set(d, k.C) * hn::Set(d, k.k0);
        const V lambda = hn::LoadU(d, lon + i) * pi / r180;
        const V rc = rho * hn::Cos(d, lambda);
        const V no = k.south ? fN + rc : fN - rc;
        const V ea = fE + rho * hn::Sin(d, lambda);
        hn::StoreU(hn::IfThenElse(pole, fN, Clamp(d, no, gw::polar::kFrameLow, gw::polar::kFrameHigh)), d, north + i);
        hn::StoreU(hn::IfThenElse(pole, fE, Clamp(d, ea, gw::polar::kFrameLow, gw::polar::kFrameHigh)), d, east + i);
    }
}

void PolarReverse(const PolarConstants& k, size_t n, const double* HWY_RESTRICT north,
                  const double* HWY_RESTRICT east, double* HWY_RESTRICT lat, double* HWY_RESTRICT lon,
                  int* HWY_RESTRICT stepsOut) {
    const DF d;
    const size_t N = hn::Lanes(d);
    const V pi = hn::Set(d, gw::kPi), r180 = hn::Set(d, 180.0);
    for (size_t i = 0; i < n; i += N) {
        const V dN = hn::LoadU(d, north + i) - hn::Set(d, k.falseNorth);
        const V dE = hn::LoadU(d, east + i) - hn::Set(d, k.falseEast);
        hn::StoreU(hn::Set(d, 180.0) - ArctanDeg(d, dE, k.south ? hn::Neg(dN) : dN), d, lon + i);
        const V psi = hn::Set(d, k.logCk) - ScalarLog(d, hn::Sqrt(dN * dN + dE * dE));
        V steps;
        hn::Mask<DF> redo;
        const V phi = hn::AllTrue(d, hn::Lt(hn::Abs(psi), hn::Set(d, kIsometricBelowNearPole)))
                          ? LatitudeFromIsometric(d, psi, k.e, k.e2, steps, redo)
                          : LatitudeFromIsometricToPole(d, psi, k.e, k.e2, steps, redo);
        const V la = phi * r180 / pi;
        hn::StoreU(k.south ? hn::Neg(la) : la, d, lat + i);
        StoreSteps(d, steps, redo, n, i, stepsOut);
    }
}
} // namespace gw::batch::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace gw::batch {

HWY_EXPORT(PolarForward);
HWY_EXPORT(PolarReverse);

void polarForwardBlock(SimdTier tier, const PolarConstants& k, std::size_t n, const double* lat,
                       const double* lon, double* north, double* east) {
    GW_SIMD_DISPATCH(PolarForward, tier)(k, n, lat, lon, north, east);
}

void polarReverseBlock(SimdTier tier, const PolarConstants& k, std::size_t n, const double* north,
                       const double* east, double* lat, double* lon, int* steps) {
    GW_SIMD_DISPATCH(PolarReverse, tier)(k, n, north, east, lat, lon, steps);
}

PolarConstants polarConstants(const PolarStereo& p) {
    PolarConstants k{};
    k.C = p.stereoFactor;
    k.k0 = p.scaleFactor;
    k.logCk = std::log(p.stereoFactor) + std::log(p.scaleFactor);
    k.falseNorth = p.falseNorth;
    k.falseEast = p.falseEast;
    k.e = std::sqrt(p.datum.eccSq);
    k.e2 = p.datum.eccSq;
    k.south = p.latOfOrigin < 0;
    return k;
}


} // namespace gw::batch

namespace gw {

namespace {

// The polar stereographic projection's rules for the batch conversions.
struct PolarRules : NoRules {
    static constexpr bool kHasKernels = true;
    batch::PolarConstants k;
    void forwardBlock(batch::SimdTier tier, std::size_t n, const double* lat, const double* lon, double* north,
                      double* east, int*) const {
        batch::polarForwardBlock(tier, k, n, lat, lon, north, east);
    }
    void reverseBlock(batch::SimdTier tier, std::size_t n, const double* north, const double* east, double* lat,
                      double* lon, int* steps) const {
        batch::polarReverseBlock(tier, k, n, north, east, lat, lon, steps);
    }
    bool geoInDomain(double lat, double) const { return polar::geoInDomain(lat, k.south); }
    // The vector sine and cosine of the longitude hold for longitudes of the usual range.
    bool forwardVectorHolds(double, double lon) const { return std::fabs(lon) <= batch::kVectorLonLimit; }
    bool gridResultInDomain(double north, double east) const {
        return !polar::onFrame(north) && !polar::onFrame(east);
    }
    // The false origin is the pole itself.
    bool fixedPoint(double north, double east, double& lat, double& lon) const {
        if (!polar::atOrigin(north - k.falseNorth, east - k.falseEast)) return false;
        lat = k.south ? -90.0 : 90.0;
        lon = 0.0;
        return true;
    }
    bool gridPointInDomain(double north, double east) const {
        return !polar::atOrigin(north - k.falseNorth, east - k.falseEast);
    }
    bool reverseVectorHolds(int steps) const { return !(steps & batch::kRedo); }
};

} // namespace

std::unique_ptr<GridBatch> polarStereoBatch(PolarStereo& p) {
    PolarRules rules;
    rules.k = batch::polarConstants(p);
    return std::make_unique<GridBatchOf<PolarRules>>(p, rules);
}

} // namespace gw
#endif
