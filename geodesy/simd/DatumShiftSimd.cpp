// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The seven-parameter datum shift on vectors, compiled once per instruction set
// (platform/SimdTargets.h) and chosen at run time by the tier: geographic to
// cartesian on the source ellipsoid, the shift, and the latitude iteration back
// on the target ellipsoid, each lane stopping at its own step.
// Products and sums stay separate roundings, as in the one-point code (compiled
// for SSE2, which has no fused multiply-add): GCC would otherwise fuse them in
// the AVX2 and AVX-512 code.
#pragma GCC optimize("fp-contract=off")

#include "platform/SimdTargets.h"
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "geodesy/simd/DatumShiftSimd.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <cmath>

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include "geodesy/Datum.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/simd/DatumShiftSimd.h"
#include "gridwise/angleutil.h"
#include "numerics/Angles.h"
#include "numerics/simd/VectorMath-inl.h"

#ifndef GRIDWISE_GEODESY_DATUMSHIFTSIMD_ONCE
#define GRIDWISE_GEODESY_DATUMSHIFTSIMD_ONCE
namespace gw::batch {
// And for the cartesian-to-geographic latitude change (2e-9 rad), which differs
// by about 1e-15 rad.
inline constexpr double kCartHair = 1e-13;
// Beyond 70 degrees of latitude the height p / cos phi - N of the datum shift
// turns an ulp of the latitude into N tan phi 1e-16 m, which passes 1e-8 m: such
// lanes are left to the one-point steps.
inline constexpr double kShiftHighLat = 70.0;
} // namespace gw::batch
#endif

HWY_BEFORE_NAMESPACE();
namespace gw::batch::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using DF = hn::ScalableTag<double>;
using V = hn::Vec<DF>;

void Shift(const ShiftConstants& k, size_t n, const double* HWY_RESTRICT lat, const double* HWY_RESTRICT lon,
           double* HWY_RESTRICT latOut, double* HWY_RESTRICT lonOut, double* HWY_RESTRICT hOut,
           int* HWY_RESTRICT stepsOut) {
    const DF d;
    const size_t N = hn::Lanes(d);
    const V pi = hn::Set(d, gw::kPi), r180 = hn::Set(d, 180.0), one = hn::Set(d, 1.0);
    const V a = hn::Set(d, k.dstA), e2 = hn::Set(d, k.dstE2);
    const V tolerance = hn::Set(d, 2e-9);
    for (size_t i = 0; i < n; i += N) {
        // Geographic to cartesian on the source ellipsoid, at height 0.
        const V la = hn::LoadU(d, lat + i);
        const V phi0 = la * pi / r180;
        const V lambda = hn::LoadU(d, lon + i) * pi / r180;
        const V sinPhi = hn::Sin(d, phi0);
        const V cosPhi = hn::Cos(d, phi0);
        const V nu = hn::Set(d, k.srcA) / hn::Sqrt(one - hn::Set(d, k.srcE2) * (sinPhi * sinPhi));
        const V X = nu * cosPhi * hn::Cos(d, lambda);
        const V Y = nu * cosPhi * hn::Sin(d, lambda);
        const V Z = hn::Set(d, 1 - k.srcE2) * nu * sinPhi;
        // The seven parameters.
        const V kk = hn::Set(d, k.k), rx = hn::Set(d, k.rx), ry = hn::Set(d, k.ry), rz = hn::Set(d, k.rz);
        const V dd = hn::Set(d, k.d);
        const V X2 = X + dd * (hn::Set(d, k.dX) + kk * X - rz * Y + ry * Z);
        const V Y2 = Y + dd * (hn::Set(d, k.dY) + rz * X + kk * Y - rx * Z);
        const V Z2 = Z + dd * (hn::Set(d, k.dZ) - ry * X + rx * Y + kk * Z);
        // Cartesian to geographic on the target ellipsoid.
        hn::StoreU(ArctanDeg(d, Y2, X2), d, lonOut + i);
        const V p = hn::Sqrt(X2 * X2 + Y2 * Y2);
        const V r = hn::Sqrt(Z2 * Z2 + p * p);
        V height = r - hn::Set(d, k.dstSqrtAB);
        const V zp = Z2 / p;
        V phi = hn::Atan(d, zp / (one - hn::Set(d, k.dstE2 * k.dstA) / (a + height)));
        V steps = hn::Zero(d);
        auto active = hn::FirstN(d, N);
        // The polar axis and high latitudes are the one-point steps'.
        auto redo = hn::Or(hn::Eq(p, hn::Zero(d)), hn::Gt(hn::Abs(la), hn::Set(d, kShiftHighLat)));
        for (int step = 0; step < 50; ++step) {
            if (hn::AllFalse(d, active)) break;
            const V s = hn::Sin(d, phi);
            const V nN = a / hn::Sqrt(one - e2 * (s * s));
            const V hNew = p / hn::Cos(d, phi) - nN;
            const V phiNew = hn::Atan(d, zp / (one - nN * e2 / (nN + hNew)));
            const V change = hn::Abs(phiNew - phi);
            steps = hn::IfThenElse(active, hn::Set(d, step + 1.0), steps);
            redo = hn::Or(redo, hn::And(active, hn::Lt(hn::Abs(change - tolerance), hn::Set(d, kCartHair))));
            height = hn::IfThenElse(active, hNew, height);
            phi = hn::IfThenElse(active, phiNew, phi);
            active = hn::And(active, hn::Gt(change, tolerance));
        }
        hn::StoreU(phi * r180 / pi, d, latOut + i);
        hn::StoreU(height, d, hOut + i);
        StoreSteps(d, steps, redo, n, i, stepsOut);
    }
}

} // namespace gw::batch::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace gw::batch {

HWY_EXPORT(Shift);

void shiftBlock(SimdTier tier, const ShiftConstants& k, std::size_t n, const double* lat, const double* lon,
                double* latOut, double* lonOut, double* hOut, int* steps) {
    GW_SIMD_DISPATCH(Shift, tier)(k, n, lat, lon, latOut, lonOut, hOut, steps);
}

ShiftConstants shiftConstants(const Datum& datum, int direction) {
    ShiftConstants k{};
    const bool toWgs84 = direction == 1;
    k.srcA = toWgs84 ? datum.aAxis : gw::kShiftWgs84A;
    k.srcE2 = toWgs84 ? datum.eccSq : gw::kShiftWgs84E2;
    k.d = direction;
    k.dX = datum.deltaX;
    k.dY = datum.deltaY;
    k.dZ = datum.deltaZ;
    k.k = datum.scalar;
    k.rx = datum.rotX * (gw::kPi / 180);
    k.ry = datum.rotY * (gw::kPi / 180);
    k.rz = datum.rotZ * (gw::kPi / 180);
    k.dstA = toWgs84 ? gw::kShiftWgs84A : datum.aAxis;
    k.dstInvF = toWgs84 ? gw::kShiftWgs84InvF : datum.inverseFlattening;
    k.dstE2 = toWgs84 ? gw::kShiftWgs84E2 : datum.eccSq;
    k.dstB = k.dstA - k.dstA / k.dstInvF;
    k.dstSqrtAB = std::sqrt(k.dstA * k.dstB);
    return k;
}

int shiftSteps(const ShiftConstants& k, double lat, double lon, double& latOut, double& lonOut, double& hOut) {
    double X, Y, Z;
    geoToCart(lat, lon, 0, &X, &Y, &Z, k.srcA, k.srcE2);
    const double X2 = X + k.d * (k.dX + k.k * X - k.rz * Y + k.ry * Z);
    const double Y2 = Y + k.d * (k.dY + k.rz * X + k.k * Y - k.rx * Z);
    const double Z2 = Z + k.d * (k.dZ - k.ry * X + k.rx * Y + k.k * Z);
    lonOut = arctan(Y2, X2);
    const double a = k.dstA, e2 = k.dstE2;
    const double p = std::sqrt(X2 * X2 + Y2 * Y2);
    const double r = std::sqrt(Z2 * Z2 + p * p);
    double height = r - k.dstSqrtAB;
    double phi = std::atan((Z2 / p) / (1 - e2 * a / (a + height)));
    int steps = 0;
    for (int step = 0; step < 50; ++step) {
        ++steps;
        const double phiPrev = phi;
        const double s = std::sin(phiPrev);
        const double n = gw::primeVerticalRadius(a, e2, s);
        height = p / std::cos(phiPrev) - n;
        phi = std::atan((Z2 / p) / (1 - n * e2 / (n + height)));
        if (!(std::fabs(phi - phiPrev) > 2e-9)) break;
    }
    latOut = phi * 180 / gw::kPi;
    hOut = height;
    return steps;
}

} // namespace gw::batch
#endif
