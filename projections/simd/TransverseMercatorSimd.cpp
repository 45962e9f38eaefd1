// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The Transverse Mercator's vector kernels, compiled once per instruction set
// (platform/SimdTargets.h) and chosen at run time by the tier. Each kernel writes
// out the one-point conversion's steps in the same order of operations; only the
// vector sine and cosine differ from the C library's, by an ulp or two, and each
// lane keeps the written iteration start, step and stopping rule, so lanes stop
// at their own step.
// Products and sums stay separate roundings, as in the one-point code (compiled
// for SSE2, which has no fused multiply-add): GCC would otherwise fuse them in
// the AVX2 and AVX-512 code.
#pragma GCC optimize("fp-contract=off")

#include "platform/SimdTargets.h"
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "projections/simd/TransverseMercatorSimd.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <cmath>

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include "numerics/Angles.h"
#include "numerics/simd/VectorMath-inl.h"
#include "projections/TransverseMercatorRules.h"
#include "projections/simd/TransverseMercatorSimd.h"

#ifndef GRIDWISE_PROJECTIONS_TRANSVERSEMERCATORSIMD_ONCE
#define GRIDWISE_PROJECTIONS_TRANSVERSEMERCATORSIMD_ONCE
namespace gw::batch {
// A lane whose footpoint misses by within this of the 0.0001 m tolerance, at any
// of its steps, is converted again by the one-point steps (the vector arc differs
// from the scalar one by far less: a few nanometres).
inline constexpr double kRuleHair = 1e-7;
} // namespace gw::batch
#endif

HWY_BEFORE_NAMESPACE();
namespace gw::batch::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using DF = hn::ScalableTag<double>;
using V = hn::Vec<DF>;

// The meridian arc with the sine and cosine of phi at hand (TransverseMercator::arcOf).
HWY_INLINE V arcOf(DF d, const TmConstants& k, V phi, V s, V c) {
    const double R = k.polarRadius;
    const V s2 = s * s;
    const V s4 = s2 * s * s;
    const V s6 = s4 * s * s;
    const V s8 = s6 * s * s;
    const V one = hn::Set(d, 1.0);
    return hn::Set(d, k.c[0] * R) * phi -
           hn::Set(d, k.c[1] * R) * s * c *
               (one + hn::Set(d, k.c[2]) * s2 + hn::Set(d, k.c[3]) * s4 + hn::Set(d, k.c[4]) * s6 +
                hn::Set(d, k.c[5]) * s8);
}


HWY_INLINE V clampGrid(DF d, V v) {
    const V hi = hn::Set(d, gw::tm::kGridLimit);
    const V lo = hn::Set(d, -gw::tm::kGridLimit);
    return hn::IfThenElse(hn::Gt(v, hi), hi, hn::IfThenElse(hn::Lt(v, lo), lo, v));
}

void TmForward(const TmConstants& k, size_t n, const double* HWY_RESTRICT lat, const double* HWY_RESTRICT lon,
               double* HWY_RESTRICT north, double* HWY_RESTRICT east) {
    const DF d;
    const size_t N = hn::Lanes(d);
    const double R = k.polarRadius;
    const double x = k.x;
    const double origin = k.originLon < 0.0 ? k.originLon + 360.0 : k.originLon;
    const V vR = hn::Set(d, R), vx = hn::Set(d, x), one = hn::Set(d, 1.0);
    const V toRad = hn::Set(d, gw::kPi / 180);
    for (size_t i = 0; i < n; i += N) {
        const V la = hn::LoadU(d, lat + i);
        const V lo = hn::LoadU(d, lon + i);
        const V lo360 = hn::IfThenElse(hn::Lt(lo, hn::Zero(d)), lo + hn::Set(d, 360.0), lo);
        const V D = shiftIntoHalfTurn(d, lo360 - hn::Set(d, origin)) * toRad;
        const V phi = la * toRad;
        const V s = hn::Sin(d, phi);
        const V c = hn::Cos(d, phi);
        const V c2 = c * c;
        const V c4 = c2 * c * c;
        const V c6 = c4 * c * c;
        const V nu = vR / hn::Sqrt(one + vx * c2);

        const V T1 = nu * c;
        const V T2 = nu * s * c / hn::Set(d, 2.0);
        const V T3 = (T1 * hn::Set(d, 1.0 / 6)) * (hn::Set(d, 2.0) * c2 - one + vx * c4);
        const V T4 = (T2 * hn::Set(d, 1.0 / 12)) *
                     (hn::Set(d, 6.0) * c2 - one + hn::Set(d, 9 * x) * c4 + hn::Set(d, 4 * (x * x)) * c6);
        const V T5 = (T1 * hn::Set(d, 1.0 / 120)) * (hn::Set(d, 24.0) * c4 - hn::Set(d, 58 * x) * c4 + one -
                                                 hn::Set(d, 20.0) * c2 + hn::Set(d, 72 * x) * c6);
        const V T6 = (T2 * hn::Set(d, 1.0 / 360)) * (one - hn::Set(d, 60.0) * c2 + hn::Set(d, 120.0) * c4);

        const V D2 = D * D;
        const V D3 = D2 * D;
        const V D4 = D3 * D;
        const V D5 = D4 * D;
        const V D6 = D5 * D;

        const V k0 = hn::Set(d, k.k0);
        const V N0 = k0 * ((arcOf(d, k, phi, s, c) - hn::Set(d, k.arcOrigin)) + T2 * D2 + T4 * D4 + T6 * D6) +
                     hn::Set(d, k.falseNorth);
        const V E0 = k0 * (T1 * D + T3 * D3 + T5 * D5) + hn::Set(d, k.falseEast);
        hn::StoreU(clampGrid(d, N0), d, north + i);
        hn::StoreU(clampGrid(d, E0), d, east + i);
    }
}

void TmReverse(const TmConstants& k, size_t n, const double* HWY_RESTRICT north, const double* HWY_RESTRICT east,
               double* HWY_RESTRICT latRad, double* HWY_RESTRICT lonRad, int* HWY_RESTRICT steps) {
    const DF d;
    const size_t N = hn::Lanes(d);
    const double R = k.polarRadius;
    const double x = k.x;
    const V vR = hn::Set(d, R), vx = hn::Set(d, x), one = hn::Set(d, 1.0);
    const V invRc0 = hn::Set(d, 1 / (R * k.c[0]));
    const V invK0 = hn::Set(d, 1 / k.k0);
    const V toDeg = hn::Set(d, 180 / gw::kPi);
    const V tolerance = hn::Set(d, gw::tm::kFootpointTolerance);
    const V hair = hn::Set(d, kRuleHair);
    HWY_ALIGN double stepBuf[hn::MaxLanes(d)];
    HWY_ALIGN double settledBuf[hn::MaxLanes(d)];
    HWY_ALIGN double nearBuf[hn::MaxLanes(d)];
    for (size_t i = 0; i < n; i += N) {
        const V Mt = (hn::LoadU(d, north + i) - hn::Set(d, k.falseNorth)) * invK0 + hn::Set(d, k.arcOrigin);
        const V E = (hn::LoadU(d, east + i) - hn::Set(d, k.falseEast)) * invK0;

        // Footpoint latitude, lane by lane: a lane takes a step while it has not
        // settled and keeps the sine and cosine from the start of its last step.
        V phi = Mt * invRc0;
        V s = hn::Zero(d);
        V c = one;
        V stepCount = hn::Zero(d);
        auto active = hn::FirstN(d, N);
        auto settled = hn::Not(active);
        auto nearRule = settled;
        // The sine and cosine of the first latitude come from the vector sine and
        // cosine; those of each later one by turning the previous pair through the
        // step (a few thousandths of a radian, exact as a difference of the two
        // latitudes) with its sine and cosine as short series, within an ulp of
        // the functions' values. A vector whose step is larger takes the functions.
        V sNew = hn::Sin(d, phi);
        V cNew = hn::Cos(d, phi);
        for (int step = 0; step < gw::tm::kFootpointSteps; ++step) {
            if (hn::AllFalse(d, active)) break;
            const V delta = Mt - arcOf(d, k, phi, sNew, cNew);
            s = hn::IfThenElse(active, sNew, s);
            c = hn::IfThenElse(active, cNew, c);
            const V phiNext = hn::IfThenElse(active, phi + delta * invRc0, phi);
            const V turn = phiNext - phi;
            phi = phiNext;
            stepCount = hn::IfThenElse(active, hn::Set(d, step + 1.0), stepCount);
            // A miss within a hair of the tolerance might be decided the other
            // way by the one-point steps: such a lane is done again by them.
            nearRule = hn::Or(nearRule, hn::And(active, hn::Lt(hn::Abs(hn::Abs(delta) - tolerance), hair)));
            const auto now = hn::And(active, hn::Lt(hn::Abs(delta), tolerance));
            settled = hn::Or(settled, now);
            active = hn::AndNot(now, active);
            if (step == gw::tm::kFootpointSteps - 1 || hn::AllFalse(d, active)) break;
            if (hn::AllTrue(d, hn::Lt(hn::Abs(turn), hn::Set(d, kSmallTurn)))) {
                Turn(d, turn, sNew, cNew);
            } else {
                sNew = hn::Sin(d, phi);
                cNew = hn::Cos(d, phi);
            }
        }

        const V c2 = c * c;
        const V c4 = c2 * c * c;
        const V c6 = c4 * c * c;
        const V V2 = one + vx * c2;
        const V nu = vR / hn::Sqrt(V2);
        const V Q = one / (nu * c);
        // Far from the central meridian (Q E beyond 0.2 rad) or the footpoint near
        // a pole (cos phi below 0.1), the series turns the vector cosine's last-ulp
        // difference into more than 1e-13 degrees of longitude: such lanes are
        // done again by the one-point steps.
        nearRule = hn::Or(nearRule, hn::Or(hn::Not(hn::Lt(hn::Abs(Q * E), hn::Set(d, 0.2))),
                                           hn::Lt(hn::Abs(c), hn::Set(d, 0.1))));
        const V Q2 = Q * Q;
        const V Q3 = Q2 * Q;
        const V Q4 = Q3 * Q;
        const V Q5 = Q4 * Q;

        const V B2 = hn::Set(d, -0.5) * Q2 * s * c * V2;
        const V B3 = hn::Neg(Q3 * hn::Set(d, 1.0 / 6)) * (vx * c4 + hn::Set(d, 2.0) - c2);
        const V B4 = hn::Neg(Q2 * B2 * hn::Set(d, 1.0 / 12)) *
                     (hn::Set(d, 10 * x) * c4 + hn::Set(d, 2 - 9 * x) * c2 + hn::Set(d, 3.0) -
                      hn::Set(d, 4 * (x * x)) * c6);
        const V B5 = (Q5 * hn::Set(d, 1.0 / 120)) * (c4 * hn::Set(d, 8 * x + 1) + hn::Set(d, 24.0) -
                                                 hn::Set(d, 20.0) * c2 - hn::Set(d, 2 * x) * c6);
        const V B6 = (Q4 * B2 * hn::Set(d, 1.0 / 360)) * (hn::Set(d, 45.0) + hn::Set(d, 16.0) * c4);

        const V E2 = E * E;
        const V E3 = E2 * E;
        const V E4 = E3 * E;
        const V E5 = E4 * E;
        const V E6 = E5 * E;

        hn::StoreU((phi + B2 * E2 + B4 * E4 + B6 * E6) * toDeg, d, latRad + i);
        hn::StoreU((Q * E + B3 * E3 + B5 * E5) * toDeg + hn::Set(d, k.originLon), d, lonRad + i);
        hn::Store(stepCount, d, stepBuf);
        hn::Store(hn::IfThenElseZero(settled, one), d, settledBuf);
        hn::Store(hn::IfThenElseZero(nearRule, one), d, nearBuf);
        for (size_t j = 0; j < N && i + j < n; ++j)
            steps[i + j] = static_cast<int>(stepBuf[j]) | (settledBuf[j] != 0.0 ? 0 : kCapped) |
                           (nearBuf[j] != 0.0 ? kRedo : 0);
    }
}


// The RD series on vectors (RDProj::geoToGrid and gridToGeo), by the steps of
// gw::rd::series: the sum of c u^p v^q in table order, the powers by repeated
} // namespace gw::batch::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace gw::batch {

HWY_EXPORT(TmForward);
HWY_EXPORT(TmReverse);

void tmForwardBlock(SimdTier tier, const TmConstants& k, std::size_t n, const double* lat, const double* lon,
                    double* north, double* east) {
    GW_SIMD_DISPATCH(TmForward, tier)(k, n, lat, lon, north, east);
}

void tmReverseBlock(SimdTier tier, const TmConstants& k, std::size_t n, const double* north, const double* east,
                    double* lat, double* lon, int* steps) {
    GW_SIMD_DISPATCH(TmReverse, tier)(k, n, north, east, lat, lon, steps);
    // The last reductions of the one-point conversion, lane by lane: the latitude
    // and the longitude (with the central meridian) by whole turns, the longitude
    // then shifted into -180..180.
    // (fmod by 360 leaves a value below 360 in magnitude as it is, and NaN NaN.)
    for (std::size_t i = 0; i < n; ++i) {
        if (!(std::fabs(lat[i]) < 360.0)) lat[i] = std::fmod(lat[i], 360.0);
        const double l = std::fabs(lon[i]) < 360.0 ? lon[i] : std::fmod(lon[i], 360.0);
        lon[i] = gw::shiftIntoHalfTurn(l);
        if (steps[i] & kRedo) steps[i] = tmGridToGeo(k, north[i], east[i], lat[i], lon[i]);
    }
}

TmConstants tmConstants(const TransverseMercator& tm) {
    TmConstants k{};
    const double a = tm.datum.aAxis;
    // The polar radius as geoparm forms it, b written as (1 - f) a.
    k.polarRadius = a * a / ((1 - 1 / tm.datum.inverseFlattening) * a);
    k.x = tm.datum.secondEccSq;
    k.k0 = tm.scaleFactor;
    for (int i = 0; i < 6; ++i) k.c[i] = tm.arcCoef[i];
    k.arcOrigin = tm.arcOrigin;
    k.falseNorth = tm.falseNorth;
    k.falseEast = tm.falseEast;
    k.originLon = tm.originLon;
    k.projection = &tm;
    return k;
}

int tmGridToGeo(const TmConstants& k, double north, double east, double& lat, double& lon) {
    bool settled = false;
    const int steps = k.projection->gridToGeoSteps(north, east, lat, lon, settled);
    return steps | (settled ? 0 : kCapped);
}


} // namespace gw::batch

namespace gw {

namespace {

// The Transverse Mercator's rules for the batch conversions.
struct TmRules : NoRules {
    static constexpr bool kHasKernels = true;
    batch::TmConstants k;
    void forwardBlock(batch::SimdTier tier, std::size_t n, const double* lat, const double* lon, double* north,
                      double* east, int*) const {
        batch::tmForwardBlock(tier, k, n, lat, lon, north, east);
    }
    void reverseBlock(batch::SimdTier tier, std::size_t n, const double* north, const double* east, double* lat,
                      double* lon, int* steps) const {
        batch::tmReverseBlock(tier, k, n, north, east, lat, lon, steps);
    }
    bool gridResultInDomain(double north, double east) const { return tm::gridResultInDomain(north, east); }
    bool gridInDomain(double north, double east) const { return tm::gridInDomain(north, east); }
    int reverseOnePoint(Projection&, double north, double east, double& lat, double& lon) const {
        return batch::tmGridToGeo(k, north, east, lat, lon);
    }
};

} // namespace

std::unique_ptr<GridBatch> transverseMercatorBatch(TransverseMercator& p) {
    TmRules rules;
    rules.k = batch::tmConstants(p);
    return std::make_unique<GridBatchOf<TmRules>>(p, rules);
}

} // namespace gw
#endif
