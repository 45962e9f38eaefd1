// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The Lambert conformal conic's vector kernels, compiled once per instruction set
// (platform/SimdTargets.h) and chosen at run time by the tier.
// Products and sums stay separate roundings, as in the one-point code (compiled
// for SSE2, which has no fused multiply-add): GCC would otherwise fuse them in
// the AVX2 and AVX-512 code.
#pragma GCC optimize("fp-contract=off")

#include "platform/SimdTargets.h"
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "projections/simd/LambertSimd.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <cmath>

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include "numerics/Angles.h"
#include "numerics/simd/VectorMath-inl.h"
#include "projections/LambertRules.h"
#include "projections/simd/Conformal-inl.h"
#include "projections/simd/LambertSimd.h"

HWY_BEFORE_NAMESPACE();
namespace gw::batch::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using DF = hn::ScalableTag<double>;
using V = hn::Vec<DF>;

void LambertForward(const LambertConstants& k, size_t n, const double* HWY_RESTRICT lat,
                    const double* HWY_RESTRICT lon, double* HWY_RESTRICT north, double* HWY_RESTRICT east) {
    const DF d;
    const size_t N = hn::Lanes(d);
    const V pi = hn::Set(d, gw::kPi), r180 = hn::Set(d, 180.0);
    for (size_t i = 0; i < n; i += N) {
        const V phi = hn::LoadU(d, lat + i) * pi / r180;
        const V rho = hn::Set(d, k.aF) * hn::Exp(d, hn::Set(d, -k.n) * IsometricLatitude(d, phi, k.e));
        // The longitude difference into (-180, 180] as gw::wrapLongitude takes it
        // (one turn suffices: the batch gives the kernel differences within 540).
        const V dLon = shiftIntoHalfTurn(d, hn::LoadU(d, lon + i) - hn::Set(d, k.lonOfOrigin));
        const V wrapped = hn::IfThenElse(hn::Eq(dLon, hn::Set(d, -180.0)), hn::Set(d, 180.0), dLon);
        const V theta = hn::Set(d, k.n) * (wrapped * pi / r180);
        const V no = hn::Set(d, k.rho0) - rho * hn::Cos(d, theta);
        const V ea = rho * hn::Sin(d, theta);
        hn::StoreU(Clamp(d, no, -gw::lambert::kGridLimit, gw::lambert::kGridLimit) + hn::Set(d, k.falseNorth), d, north + i);
        hn::StoreU(Clamp(d, ea, -gw::lambert::kGridLimit, gw::lambert::kGridLimit) + hn::Set(d, k.falseEast), d, east + i);
    }
}

void LambertReverse(const LambertConstants& k, size_t n, const double* HWY_RESTRICT north,
                    const double* HWY_RESTRICT east, double* HWY_RESTRICT lat, double* HWY_RESTRICT lon,
                    int* HWY_RESTRICT stepsOut) {
    const DF d;
    const size_t N = hn::Lanes(d);
    const V pi = hn::Set(d, gw::kPi), r180 = hn::Set(d, 180.0), vn = hn::Set(d, k.n);
    for (size_t i = 0; i < n; i += N) {
        const V dy = hn::Set(d, k.rho0 + k.falseNorth) - hn::LoadU(d, north + i);
        const V dx = hn::LoadU(d, east + i) - hn::Set(d, k.falseEast);
        const V theta = ScalarAtan(d, dx / dy);
        const V rho = dy / ScalarCos(d, theta);
        const V psi = k.n > 0 ? (hn::Set(d, k.logAF) - ScalarLog(d, rho)) / vn
                              : ScalarLog(d, hn::Set(d, k.aF) / rho) / vn;
        V steps;
        hn::Mask<DF> redo;
        const V phi = LatitudeFromIsometric(d, psi, k.e, k.e2, steps, redo);
        // Beyond 45 degrees from the grid's axis, rho = dy / cos theta takes a
        // cosine whose ulp grows with tan theta: such lanes (far off any real
        // zone) are left to the one-point steps.
        redo = hn::Or(redo, hn::Gt(hn::Abs(dx), hn::Abs(dy)));
        hn::StoreU(phi * r180 / pi, d, lat + i);
        hn::StoreU(theta / vn * r180 / pi + hn::Set(d, k.lonOfOrigin), d, lon + i);
        StoreSteps(d, steps, redo, n, i, stepsOut);
    }
}
} // namespace gw::batch::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace gw::batch {

HWY_EXPORT(LambertForward);
HWY_EXPORT(LambertReverse);

void lambertForwardBlock(SimdTier tier, const LambertConstants& k, std::size_t n, const double* lat,
                         const double* lon, double* north, double* east) {
    GW_SIMD_DISPATCH(LambertForward, tier)(k, n, lat, lon, north, east);
}

void lambertReverseBlock(SimdTier tier, const LambertConstants& k, std::size_t n, const double* north,
                         const double* east, double* lat, double* lon, int* steps) {
    GW_SIMD_DISPATCH(LambertReverse, tier)(k, n, north, east, lat, lon, steps);
}

LambertConstants lambertConstants(const Lambert& p) {
    LambertConstants k{};
    k.n = p.coneConstant;
    k.aF = p.radiusFactor;
    k.logAF = std::log(p.radiusFactor);
    k.rho0 = p.originRadius;
    k.falseNorth = p.falseNorth;
    k.falseEast = p.falseEast;
    k.lonOfOrigin = p.lonOfOrigin;
    // The eccentricity as geoparm takes it.
    k.e = std::sqrt(p.datum.eccSq);
    k.e2 = p.datum.eccSq;
    return k;
}


} // namespace gw::batch

namespace gw {

namespace {

// The Lambert conformal conic's rules for the batch conversions.
struct LambertRules : NoRules {
    static constexpr bool kHasKernels = true;
    batch::LambertConstants k;
    void forwardBlock(batch::SimdTier tier, std::size_t n, const double* lat, const double* lon, double* north,
                      double* east, int*) const {
        batch::lambertForwardBlock(tier, k, n, lat, lon, north, east);
    }
    void reverseBlock(batch::SimdTier tier, std::size_t n, const double* north, const double* east, double* lat,
                      double* lon, int* steps) const {
        batch::lambertReverseBlock(tier, k, n, north, east, lat, lon, steps);
    }
    bool geoInDomain(double lat, double) const { return lambert::geoInDomain(lat); }
    // The vector sine and cosine of the longitude hold for longitudes of the usual
    // range; the kernel's one turn brings differences within 540 into (-180, 180].
    bool forwardVectorHolds(double, double lon) const {
        return std::fabs(lon) <= batch::kVectorLonLimit && std::fabs(lon - k.lonOfOrigin) <= 540;
    }
    bool gridResultInDomain(double north, double east) const {
        return lambert::gridResultInDomain(north - k.falseNorth, east - k.falseEast);
    }
    bool gridInDomain(double north, double) const { return lambert::onCone(k.n, k.rho0 + k.falseNorth - north); }
    bool gridPointInDomain(double north, double east) const { return gridInDomain(north, east); }
    bool reverseVectorHolds(int steps) const { return !(steps & batch::kRedo); }
};

} // namespace

std::unique_ptr<GridBatch> lambertBatch(Lambert& p) {
    LambertRules rules;
    rules.k = batch::lambertConstants(p);
    return std::make_unique<GridBatchOf<LambertRules>>(p, rules);
}

} // namespace gw
#endif
