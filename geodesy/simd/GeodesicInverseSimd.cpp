// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The geodesic inverse problem on vectors (Datum::inverse lane by lane), compiled
// once per instruction set (the portable baseline on SSE2, SSE4, AVX2, AVX-512) and
// chosen at run time.
//
// Both branches run here: Sodano's formulas and, for short lines, Puissant's
// formulas with their refinement, each lane stopping at its own step. Lanes near
// a branch or stopping rule, short lines across the +-180 meridian or near a pole,
// and longitudes beyond kVectorLonLimit are left to the one-point function (kRedo).
//
// On Sodano's formulas cos(sigma) = P + Q cos L is ill-conditioned for short
// arcs: one ulp of it moves sigma by 1.1e-16 / sin(sigma), and the distance by b
// times that (0.1 micrometre at 40 km); and the azimuth's denominator
// D = sin B2 cos B1 - cos(lambda) sin B1 cos B2 cancels, so an ulp of lambda can
// turn the azimuth by 1e-13 degree. So the transcendentals feeding them (the
// reduced latitudes' tangent, arctangent, sine and cosine, the sine and cosine of
// L, the arc cosine of sigma and the cosine of lambda) are taken per lane from
// the C library, as the one-point function takes them, and the rest runs on
// vectors in the same order of operations: sigma, lambda, D and the distance come
// out bit for bit. Only the sine of lambda and the arctangent of the azimuth are
// vector functions (an ulp of the ratio X turns the azimuth by at most half an ulp
// of a radian). The short-line formulas are well-conditioned: their sines,
// cosines and w^1.5 are vector ones, and the azimuth of each step is the
// one-point function's own arctan, lane by lane.
// Products and sums stay separate roundings, as in the one-point code (compiled
// for SSE2, which has no fused multiply-add): GCC would otherwise fuse them in
// the AVX2 and AVX-512 code.
#pragma GCC optimize("fp-contract=off")

#include "platform/SimdTargets.h"
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "geodesy/simd/GeodesicInverseSimd.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <cmath>

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include "geodesy/Datum.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/GeodesicRules.h"
#include "geodesy/simd/GeodesicSimd.h"
#include "gridwise/angleutil.h"
#include "numerics/Angles.h"
#include "numerics/simd/VectorMath-inl.h"

#ifndef GRIDWISE_GEODESY_GEODESICINVERSESIMD_ONCE
#define GRIDWISE_GEODESY_GEODESICINVERSESIMD_ONCE
namespace gw::batch {
// The one-point function's rules (geodesy/GeodesicRules.h).
using gw::geodesic::kEastWest;
using gw::geodesic::kEstimateRadius;
using gw::geodesic::kRefineAzimuth;
using gw::geodesic::kRefineDistance;
using gw::geodesic::kRefineSteps;
using gw::geodesic::kShortLine;
// Lanes whose estimate lies within 0.01 m of 40000 m go to the one-point
// function: the estimate (an arc cosine near 1) of the vector cosines differs
// from the scalar one by up to about 1e-6 m there.
inline constexpr double kInvLongLine = kShortLine + 0.01;
// The azimuth's denominator within this of the east-west rule goes to the
// one-point function (it is the scalar one; the margin only guards that).
inline constexpr double kInvEastWestHair = 1e-13;
// Both components of the azimuth's direction this small (lines near a pole or
// the antipode) go to the one-point function too.
inline constexpr double kInvAzimuthFlat = 1e-3;
// Lanes within these of a stopping rule at some step, of the rule |sin A| <= 0.5
// that picks the distance's component, or of the azimuth's wrap at 0 / 360, go to
// the one-point function (the vector steps differ from the scalar ones by about
// 1e-11 m and 1e-13 degree).
inline constexpr double kInvRefineDistanceHair = 1e-8;
inline constexpr double kInvRefineAzimuthHair = 1e-10;
inline constexpr double kInvHalfSineHair = 1e-12;
inline constexpr double kInvWrapHair = 1e-9;
} // namespace gw::batch
#endif

HWY_BEFORE_NAMESPACE();
namespace gw::batch::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using DF = hn::ScalableTag<double>;
using V = hn::Vec<DF>;

// The heading of a short line from its components (x east, y north): the
// azimuth by the one-point function's own arctan, lane by lane, its sine and
// cosine, and the distance from the better-conditioned component.
struct Heading {
    V azimuth, sinA, cosA, distance;
    hn::Mask<DF> nearRule; // near |sin A| = 0.5 or the wrap at 0 / 360
};

HWY_INLINE Heading heading(DF d, V x, V y, double* xBuf, double* yBuf) {
    const size_t N = hn::Lanes(d);
    hn::Store(x, d, xBuf);
    hn::Store(y, d, yBuf);
    for (size_t j = 0; j < N; ++j) xBuf[j] = arctan(xBuf[j], yBuf[j]);
    Heading h;
    h.azimuth = hn::Load(d, xBuf);
    const V alpha = h.azimuth * hn::Set(d, gw::kDegToRad);
    h.sinA = hn::Sin(d, alpha);
    h.cosA = hn::Cos(d, alpha);
    const V half = hn::Set(d, 0.5);
    const V absSin = hn::Abs(h.sinA);
    h.distance = hn::IfThenElse(hn::Le(absSin, half), y / h.cosA, x / h.sinA);
    const V wrap = hn::Set(d, kInvWrapHair);
    const auto nearWrap = hn::And(hn::Or(hn::Lt(h.azimuth, wrap), hn::Gt(h.azimuth, hn::Set(d, 360.0) - wrap)),
                                  hn::Ne(x, hn::Zero(d)));
    h.nearRule = hn::Or(hn::Lt(hn::Abs(absSin - half), hn::Set(d, kInvHalfSineHair)), nearWrap);
    return h;
}

// Puissant's formulas inverted, with the refinement (the one-point function's
// short-line branch). Returns the lanes to leave to the one-point function; steps
// as the number of refinement steps taken.
HWY_INLINE hn::Mask<DF> shortLine(DF d, const GeodesicConstants& k, V la1, V la2, V dPhi, V dLambda, V& azimuth,
                                  V& distance, V& steps, double* xBuf, double* yBuf) {
    const V deg = hn::Set(d, gw::kDegToRad);
    const V one = hn::Set(d, 1.0);
    const V a = hn::Set(d, k.a);
    const V e2 = hn::Set(d, k.e2);
    const V phi1 = la1 * deg;
    const V phi2 = la2 * deg;
    const V sinP1 = hn::Sin(d, phi1);
    const V cosP1 = hn::Cos(d, phi1);
    const V tanP1 = sinP1 / cosP1;
    const V w = one - e2 * (sinP1 * sinP1);
    // w^1.5 as w sqrt(w), within an ulp or two of pow's.
    const V m1 = hn::Set(d, k.a * (1 - k.e2)) / (w * hn::Sqrt(w));
    const V n1 = a / hn::Sqrt(w);
    const V kk = hn::Set(d, 3 * k.e2) * sinP1 * cosP1 / (hn::Set(d, 2.0) * w);
    const V sinP2 = hn::Sin(d, phi2);
    const V cosP2 = hn::Cos(d, phi2);
    const V n2 = a / hn::Sqrt(one - e2 * (sinP2 * sinP2));
    const V x = dLambda * n2 * cosP2;
    const V y = dPhi * m1 / (one - kk * dPhi);

    const V sixN2 = hn::Set(d, 6.0) * (n2 * n2);
    const V cos2P2 = cosP2 * cosP2;
    const V twoN1 = hn::Set(d, 2.0) * n1;
    const V sixN1 = hn::Set(d, 6.0) * (n1 * n1);
    const V tanTerm = one + hn::Set(d, 3.0) * (tanP1 * tanP1);
    const V distHair = hn::Set(d, kInvRefineDistanceHair);
    const V azHair = hn::Set(d, kInvRefineAzimuthHair);
    const V ruleDist = hn::Set(d, kRefineDistance);
    const V ruleAz = hn::Set(d, kRefineAzimuth);

    Heading cur = heading(d, x, y, xBuf, yBuf);
    auto redo = cur.nearRule;
    auto done = hn::Lt(one, hn::Zero(d)); // no lane
    steps = hn::Zero(d);
    for (int step = 0; step < kRefineSteps; ++step) {
        const V s = cur.distance;
        const V sin2A = cur.sinA * cur.sinA;
        const V t = s * s * s * cur.sinA / sixN2;
        const V xr = x + t - t * sin2A / cos2P2;
        const V yr = y + s * s * tanP1 * sin2A / twoN1 + tanTerm * (s * s * s) * cur.cosA * sin2A / sixN1;
        const Heading next = heading(d, xr, yr, xBuf, yBuf);
        const V dDist = hn::Abs(next.distance - s);
        const V dAz = hn::Abs(next.azimuth - cur.azimuth);
        const auto settled = hn::Or(hn::Le(dDist, ruleDist), hn::Le(dAz, ruleAz));
        const auto nearStop = hn::Or(hn::Lt(hn::Abs(dDist - ruleDist), distHair), hn::Lt(hn::Abs(dAz - ruleAz), azHair));
        const auto live = hn::Not(done);
        redo = hn::Or(redo, hn::And(live, hn::Or(nearStop, next.nearRule)));
        cur.azimuth = hn::IfThenElse(live, next.azimuth, cur.azimuth);
        cur.sinA = hn::IfThenElse(live, next.sinA, cur.sinA);
        cur.cosA = hn::IfThenElse(live, next.cosA, cur.cosA);
        cur.distance = hn::IfThenElse(live, next.distance, cur.distance);
        steps = hn::IfThenElse(live, hn::Set(d, static_cast<double>(step + 1)), steps);
        done = hn::Or(done, settled);
        if (hn::AllTrue(d, done)) break;
    }
    azimuth = cur.azimuth;
    distance = cur.distance;
    return redo;
}

void GeodesicInverse(const GeodesicConstants& k, size_t n, const double* HWY_RESTRICT lat1,
                     const double* HWY_RESTRICT lon1, const double* HWY_RESTRICT lat2,
                     const double* HWY_RESTRICT lon2, double* HWY_RESTRICT azimuth, double* HWY_RESTRICT distance,
                     int* HWY_RESTRICT steps) {
    const DF d;
    const size_t N = hn::Lanes(d);
    const double f = k.f;
    const double f2 = f * f;
    const double F1 = f + f2;
    const double oneMinusF = 1 - f;
    const V zero = hn::Zero(d);
    const V one = hn::Set(d, 1.0);
    const V deg = hn::Set(d, gw::kDegToRad);
    const V vf2 = hn::Set(d, f2);
    const V vF1 = hn::Set(d, F1);
    const V longCos = hn::Set(d, std::cos(kInvLongLine / kEstimateRadius));
    const V shortCos = hn::Set(d, std::cos((2 * kShortLine - kInvLongLine) / kEstimateRadius));
    HWY_ALIGN double la1Buf[hn::MaxLanes(d)], la2Buf[hn::MaxLanes(d)], LBuf[hn::MaxLanes(d)];
    HWY_ALIGN double redoBuf[hn::MaxLanes(d)];
    HWY_ALIGN double sinB1Buf[hn::MaxLanes(d)], cosB1Buf[hn::MaxLanes(d)];
    HWY_ALIGN double sinB2Buf[hn::MaxLanes(d)], cosB2Buf[hn::MaxLanes(d)];
    HWY_ALIGN double sinLBuf[hn::MaxLanes(d)], cosLBuf[hn::MaxLanes(d)];
    HWY_ALIGN double sigmaBuf[hn::MaxLanes(d)];
    HWY_ALIGN double lambdaBuf[hn::MaxLanes(d)], cosLamBuf[hn::MaxLanes(d)];
    HWY_ALIGN double xBuf[hn::MaxLanes(d)], yBuf[hn::MaxLanes(d)], stepsBuf[hn::MaxLanes(d)];
    for (size_t i = 0; i < n; i += N) {
        const V la1 = hn::LoadU(d, lat1 + i);
        const V lo1 = hn::LoadU(d, lon1 + i);
        const V la2 = hn::LoadU(d, lat2 + i);
        const V lo2 = hn::LoadU(d, lon2 + i);
        const V dLatDeg = la2 - la1;
        const V dLonDeg = lo2 - lo1;
        const auto same = hn::And(hn::Eq(dLatDeg, zero), hn::Eq(dLonDeg, zero));
        const V dPhi = dLatDeg * deg;
        const V dLambda = dLonDeg * deg;
        // The estimate's cosine: the arc cosine falls as it rises, so the
        // estimate's thresholds become thresholds of the cosine.
        const V estimateCos = hn::Cos(d, dPhi) * hn::Cos(d, dLambda);

        // The lines of each branch: Sodano's formulas from the estimate's 40000 m
        // on, Puissant's below; the estimate within a hair of 40000 m (or NaN),
        // latitudes not inside +-90, longitudes beyond the reach of the vector
        // sine and short lines across the +-180 meridian go to the one-point
        // function.
        const V lonLimit = hn::Set(d, kVectorLonLimit);
        const V ninety = hn::Set(d, 90.0);
        const auto valid = hn::AndNot(
            same, hn::And(hn::And(hn::Lt(hn::Abs(la1), ninety), hn::Lt(hn::Abs(la2), ninety)),
                          hn::And(hn::Le(hn::Abs(lo1), lonLimit), hn::Le(hn::Abs(lo2), lonLimit))));
        const auto sodano = hn::And(valid, hn::Lt(estimateCos, longCos));
        // Short lines only where the estimate is short because the line is:
        // within a degree of latitude and half a turn of longitude, off the polar
        // caps (where the refinement of a line across a pole runs wild).
        const V polarCap = hn::Set(d, 89.0);
        const auto puissant = hn::And(
            hn::And(hn::And(valid, hn::Gt(estimateCos, shortCos)),
                    hn::And(hn::Le(hn::Abs(dLonDeg), hn::Set(d, 180.0)), hn::Le(hn::Abs(dLatDeg), one))),
            hn::And(hn::Le(hn::Abs(la1), polarCap), hn::Le(hn::Abs(la2), polarCap)));
        auto redo = hn::AndNot(same, hn::Not(hn::Or(sodano, puissant)));

        V azShort = zero, distShort = zero, stepsShort = zero;
        if (!hn::AllFalse(d, puissant)) {
            const auto redoShort = shortLine(d, k, la1, la2, dPhi, dLambda, azShort, distShort, stepsShort, xBuf, yBuf);
            redo = hn::Or(redo, hn::And(puissant, redoShort));
        }

        // Both longitudes into [0, 360) by one turn at most, then the difference
        // shifted into the half turn.
        const V turn = hn::Set(d, 360.0);
        const V l1 = hn::IfThenElse(hn::Lt(lo1, zero), lo1 + turn, lo1);
        const V l2 = hn::IfThenElse(hn::Lt(lo2, zero), lo2 + turn, lo2);
        const V L = shiftIntoHalfTurn(d, l2 - l1) * deg;

        hn::Store(la1, d, la1Buf);
        hn::Store(la2, d, la2Buf);
        hn::Store(L, d, LBuf);
        hn::Store(hn::IfThenElseZero(hn::Not(sodano), one), d, redoBuf);
        bool any = false;
        for (size_t j = 0; j < N; ++j) {
            if (redoBuf[j] != 0.0) {
                sinB1Buf[j] = 0.0;
                cosB1Buf[j] = 1.0;
                sinB2Buf[j] = 0.0;
                cosB2Buf[j] = 1.0;
                sinLBuf[j] = 0.0;
                cosLBuf[j] = 1.0;
                sigmaBuf[j] = 0.0;
                continue;
            }
            any = true;
            const double beta1 = std::atan(oneMinusF * std::tan(la1Buf[j] * gw::kDegToRad));
            const double beta2 = std::atan(oneMinusF * std::tan(la2Buf[j] * gw::kDegToRad));
            sinB1Buf[j] = std::sin(beta1);
            cosB1Buf[j] = std::cos(beta1);
            sinB2Buf[j] = std::sin(beta2);
            cosB2Buf[j] = std::cos(beta2);
            sinLBuf[j] = std::sin(LBuf[j]);
            cosLBuf[j] = std::cos(LBuf[j]);
            // cos(sigma) as the vector code below forms it, for its arc cosine.
            const double cosSigma = sinB1Buf[j] * sinB2Buf[j] + cosB1Buf[j] * cosB2Buf[j] * cosLBuf[j];
            sigmaBuf[j] = std::acos(cosSigma > 1 ? 1.0 : (cosSigma < -1 ? -1.0 : cosSigma));
        }
        if (!any) {
            // No lane on Sodano's formulas.
            const V az = hn::IfThenElseZero(puissant, azShort);
            const V dist = hn::IfThenElseZero(puissant, distShort);
            redo = hn::Or(redo, hn::AndNot(same, hn::Not(hn::And(hn::Eq(dist, dist), hn::Eq(az, az)))));
            hn::StoreU(az, d, azimuth + i);
            hn::StoreU(dist, d, distance + i);
            hn::Store(hn::IfThenElse(redo, hn::Set(d, -1.0), hn::IfThenElseZero(puissant, stepsShort)), d, stepsBuf);
            for (size_t j = 0; j < N; ++j) steps[i + j] = stepsBuf[j] < 0.0 ? kRedo : static_cast<int>(stepsBuf[j]);
            continue;
        }

        const V sinB1 = hn::Load(d, sinB1Buf), cosB1 = hn::Load(d, cosB1Buf);
        const V sinB2 = hn::Load(d, sinB2Buf), cosB2 = hn::Load(d, cosB2Buf);
        const V sinL = hn::Load(d, sinLBuf), cosL = hn::Load(d, cosLBuf);
        const V sigma = hn::Load(d, sigmaBuf);
        const V P = sinB1 * sinB2;
        const V Q = cosB1 * cosB2;
        const V cosSigma = P + Q * cosL;
        const V u = sinL * cosB2;
        const V v = sinB2 * cosB1 - sinB1 * cosB2 * cosL;
        const V sinSigma = hn::Sqrt(u * u + v * v);
        const V c = Q * sinL / sinSigma;
        const V m = one - c * c;
        const V sigma2 = sigma * sigma;
        const V cos2S = cosSigma * cosSigma;
        const V two = hn::Set(d, 2.0);

        const V dist =
            hn::Set(d, k.b) *
            (hn::Set(d, 1 + f + f2) * sigma + P * (vF1 * sinSigma - vf2 * sigma2 / (two * sinSigma)) -
             (m / two) * (vF1 * (sigma + sinSigma * cosSigma) - vf2 * sigma2 * cosSigma / sinSigma) -
             (P * P / two) * vf2 * sinSigma * cosSigma +
             (m * m / hn::Set(d, 16.0)) *
                 (vf2 * sigma + vf2 * sinSigma * cosSigma - hn::Set(d, 8 * f2) * sigma2 * cosSigma / sinSigma -
                  hn::Set(d, 2 * f2) * sinSigma * (cos2S * cosSigma)) +
             (P * m / two) * (vf2 * sinSigma * cos2S + vf2 * sigma2 / sinSigma));

        const V lambda =
            L + c * (vF1 * sigma - (P / two) * (vf2 * sinSigma + hn::Set(d, 2 * f2) * sigma2 / sinSigma) +
                     (m / hn::Set(d, 4.0)) * (vf2 * sinSigma * cosSigma - hn::Set(d, 5 * f2) * sigma +
                                              hn::Set(d, 4 * f2) * sigma2 * cosSigma / sinSigma));

        hn::Store(lambda, d, lambdaBuf);
        for (size_t j = 0; j < N; ++j) {
            cosLamBuf[j] = redoBuf[j] != 0.0 ? 1.0 : std::cos(lambdaBuf[j]);
        }
        const V sinLam = hn::Sin(d, lambda);
        const V cosLam = hn::Load(d, cosLamBuf);
        const V D = sinB2 * cosB1 - cosLam * sinB1 * cosB2;
        const V num = cosB2 * sinLam;
        const V X = num / D;
        const V A = hn::Atan(d, X) * hn::Set(d, gw::kRadToDeg);
        const auto east = hn::Gt(L, zero);
        const V ninetyDeg = hn::Set(d, 90.0);
        const V halfTurn = hn::Set(d, 180.0);
        // L > 0: A, plus 180 for X < 0; otherwise A + 360, less 180 for X > 0.
        const auto compose = [&](V angle, V ratio) {
            const V eastAz = hn::IfThenElse(hn::Lt(ratio, zero), angle + halfTurn, angle);
            const V westBase = angle + turn;
            const V westAz = hn::IfThenElse(hn::Gt(ratio, zero), westBase - halfTurn, westBase);
            return hn::IfThenElse(east, eastAz, westAz);
        };
        V az = compose(A, X);

        const auto eastWest = hn::Le(hn::Abs(D), hn::Set(d, kEastWest));
        az = hn::IfThenElse(eastWest, hn::IfThenElse(east, ninetyDeg, hn::Set(d, 270.0)), az);
        const auto meridian = hn::Eq(L, zero);
        az = hn::IfThenElse(meridian, hn::IfThenElseZero(hn::Lt(D, zero), halfTurn), az);

        // Near the east-west rule, or with the azimuth's direction itself tiny:
        // the one-point function.
        const auto nearEastWest =
            hn::Lt(hn::Abs(hn::Abs(D) - hn::Set(d, kEastWest)), hn::Set(d, kInvEastWestHair));
        const auto flat = hn::Lt(hn::Abs(num) + hn::Abs(D), hn::Set(d, kInvAzimuthFlat));
        redo = hn::Or(redo, hn::And(sodano, hn::AndNot(meridian, hn::Or(nearEastWest, flat))));
        az = hn::IfThenElse(puissant, azShort, hn::IfThenElseZero(sodano, az));
        const V distAll = hn::IfThenElse(puissant, distShort, hn::IfThenElseZero(sodano, dist));
        // A NaN anywhere in the formulas (a lane out of the usual range).
        redo = hn::Or(redo, hn::AndNot(same, hn::Not(hn::And(hn::Eq(distAll, distAll), hn::Eq(az, az)))));

        hn::StoreU(az, d, azimuth + i);
        hn::StoreU(distAll, d, distance + i);
        hn::Store(hn::IfThenElse(redo, hn::Set(d, -1.0), hn::IfThenElseZero(puissant, stepsShort)), d, stepsBuf);
        for (size_t j = 0; j < N; ++j) steps[i + j] = stepsBuf[j] < 0.0 ? kRedo : static_cast<int>(stepsBuf[j]);
    }
}

} // namespace gw::batch::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace gw::batch {

HWY_EXPORT(GeodesicInverse);

GeodesicConstants geodesicConstants(const Datum& datum) {
    const gw::Ellipsoid el = gw::ellipsoidOf(datum);
    return GeodesicConstants{el.a, el.f, el.e2, el.ep2, el.b};
}

void geodesicInverseBlock(SimdTier tier, const GeodesicConstants& k, std::size_t n, const double* lat1,
                          const double* lon1, const double* lat2, const double* lon2, double* azimuth,
                          double* distance, int* steps) {
    GW_SIMD_DISPATCH(GeodesicInverse, tier)(k, n, lat1, lon1, lat2, lon2, azimuth, distance, steps);
}

} // namespace gw::batch
#endif
