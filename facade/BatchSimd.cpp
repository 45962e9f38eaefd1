// Vector kernels of the batch conversions, compiled once per instruction set
// (the portable baseline on SSE2, SSE4, AVX2, AVX-512) and chosen at run time. Each kernel writes out the one-point conversion's steps in the same order
// of operations; only the vector sine and cosine differ from the C library's, by
// an ulp or two, and each lane keeps the written iteration start, step and
// stopping rule, so lanes stop at their own step.
// Products and sums stay separate roundings, as in the one-point code (compiled
// for SSE2, which has no fused multiply-add): GCC would otherwise fuse them in
// the AVX2 and AVX-512 code.
#pragma GCC optimize("fp-contract=off")

// The targets compiled: AVX-512, AVX2, SSE4 and the portable code of the baseline
// (one lane, SSE2 instructions); SSSE3 would only duplicate SSE4's 128 bits.
#ifndef HWY_DISABLED_TARGETS
#define HWY_DISABLED_TARGETS (HWY_SSSE3 | HWY_AVX3_DL)
#endif
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "facade/BatchSimd.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <cmath>

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include "facade/BatchKernels.h"
#include "facade/VectorAngles-inl.h"
#include "numerics/Angles.h"
#include "projections/IsometricLatitude.h"
#include "projections/RDSeries.h"

#ifndef GRIDWISE_FACADE_BATCHSIMD_ONCE
#define GRIDWISE_FACADE_BATCHSIMD_ONCE
namespace gw::batch {
// A lane whose footpoint misses by within this of the 0.0001 m tolerance, at any
// of its steps, is converted again by the one-point steps (the vector arc differs
// from the scalar one by far less: a few nanometres).
inline constexpr double kRuleHair = 1e-7;
// The same for the isometric latitude's Newton step (1e-10 rad): the vector step
// differs from the scalar one by about 1e-15 rad.
inline constexpr double kNewtonHair = 1e-12;
// And for the cartesian-to-geographic latitude change (2e-9 rad), which differs
// by about 1e-15 rad.
inline constexpr double kCartHair = 1e-13;
// Footpoint steps up to this (radians) turn the sine and cosine of the latitude
// by short series instead of the vector functions.
inline constexpr double kSmallTurn = 0.02;
// 70 degrees in radians: below it the isometric latitude's Newton steps turn the
// sine and cosine by short series.
inline constexpr double kTurnedSineLimit = 70 * (3.141592653589793 / 180);
// 80 degrees in radians: the isometric latitude's inverse beyond it is left to
// the one-point steps.
inline constexpr double kNearPole = 80 * (3.141592653589793 / 180);
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

// Turns the sine s and cosine c of an angle through a small turn (below
// kSmallTurn radians), with the turn's sine and cosine as short series: within an
// ulp or two of the functions' values at the turned angle.
HWY_INLINE void Turn(DF d, V turn, V& s, V& c) {
    const V one = hn::Set(d, 1.0);
    const V t2 = turn * turn;
    const V sinTurn =
        turn * (one - t2 * (hn::Set(d, 1.0 / 6) - t2 * (hn::Set(d, 1.0 / 120) - t2 * hn::Set(d, 1.0 / 5040))));
    const V cosTurnLess1 = hn::Neg(t2) * (hn::Set(d, 0.5) - t2 * (hn::Set(d, 1.0 / 24) - t2 * hn::Set(d, 1.0 / 720)));
    const V sTurned = s + (s * cosTurnLess1 + c * sinTurn);
    c = c + (c * cosTurnLess1 - s * sinTurn);
    s = sTurned;
}

HWY_INLINE V clampGrid(DF d, V v) {
    const V hi = hn::Set(d, 1e7);
    const V lo = hn::Set(d, -1e7);
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
    const V tolerance = hn::Set(d, 0.0001);
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
        for (int step = 0; step < 5; ++step) {
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
            if (step == 4 || hn::AllFalse(d, active)) break;
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


// ---- The conformal projections and the datum shift -------------------------

// tan as the quotient of the vector sine and cosine.
HWY_INLINE V Tan(DF d, V x) { return hn::Sin(d, x) / hn::Cos(d, x); }

// x^y as exp(y ln x), for the positive x of the isometric latitude.
HWY_INLINE V Pow(DF d, V x, double y) { return hn::Exp(d, hn::Set(d, y) * hn::Log(d, x)); }

// atan2(y, x) in radians: the arctangent of the smaller over the larger magnitude,
// then carried into its octant with pi/2 and pi in two parts.
HWY_INLINE V Atan2(DF d, V y, V x) {
    const V ax = hn::Abs(x), ay = hn::Abs(y);
    const auto swap = hn::Gt(ay, ax);
    const V num = hn::IfThenElse(swap, ax, ay);
    const V den = hn::IfThenElse(swap, ay, ax);
    V a = hn::Atan(d, num / den);
    a = hn::IfThenElse(swap, (hn::Set(d, 1.5707963267948966) - a) + hn::Set(d, 6.123233995736766e-17), a);
    a = hn::IfThenElse(hn::Lt(x, hn::Zero(d)), (hn::Set(d, 3.141592653589793) - a) + hn::Set(d, 1.2246467991473532e-16),
                       a);
    return hn::CopySign(a, y);
}

// arctan(y, x) of gridwise/angleutil.h: degrees in [0, 360), 0 for (0, 0).
HWY_INLINE V ArctanDeg(DF d, V y, V x) {
    V r = Atan2(d, y, x) * hn::Set(d, 180.0) / hn::Set(d, gw::kPi);
    r = hn::IfThenElse(hn::Lt(r, hn::Zero(d)), r + hn::Set(d, 360.0), r);
    r = hn::IfThenElse(hn::Ge(r, hn::Set(d, 360.0)), hn::Zero(d), r);
    const auto origin = hn::And(hn::Eq(x, hn::Zero(d)), hn::Eq(y, hn::Zero(d)));
    return hn::IfThenElse(origin, hn::Zero(d), r);
}

// The C library's logarithm, lane by lane. The latitude of the inverses comes
// from ln rho (about 15) less a constant, where an ulp of the logarithm is 2e-15
// and passes 1e-13 degrees: the vector logarithm, not always the correctly rounded
// one, would not do there.
HWY_INLINE V ScalarLog(DF d, V x) {
    HWY_ALIGN double buf[hn::MaxLanes(d)];
    hn::Store(x, d, buf);
    for (size_t j = 0; j < hn::Lanes(d); ++j) buf[j] = std::log(buf[j]);
    return hn::Load(d, buf);
}

// The C library's arctangent, lane by lane: Lambert's rho = dy / cos theta comes
// from it, and an ulp of rho is, now and then, an ulp of ln rho (3e-13 degrees of
// latitude).
HWY_INLINE V ScalarAtan(DF d, V x) {
    HWY_ALIGN double buf[hn::MaxLanes(d)];
    hn::Store(x, d, buf);
    for (size_t j = 0; j < hn::Lanes(d); ++j) buf[j] = std::atan(buf[j]);
    return hn::Load(d, buf);
}

// The C library's sine, lane by lane: the Newton step of the isometric latitude
// passes an error of the sine on to the latitude over cos phi, and the vector
// sine is off by some tens of ulps at times.
HWY_INLINE V ScalarSin(DF d, V x) {
    HWY_ALIGN double buf[hn::MaxLanes(d)];
    hn::Store(x, d, buf);
    for (size_t j = 0; j < hn::Lanes(d); ++j) buf[j] = std::sin(buf[j]);
    return hn::Load(d, buf);
}

// The C library's cosine, lane by lane: Lambert's rho = dy / cos theta passes an
// error of the cosine on to the latitude in full, and the vector cosine of small
// angles is off by some tens of ulps.
HWY_INLINE V ScalarCos(DF d, V x) {
    HWY_ALIGN double buf[hn::MaxLanes(d)];
    hn::Store(x, d, buf);
    for (size_t j = 0; j < hn::Lanes(d); ++j) buf[j] = std::cos(buf[j]);
    return hn::Load(d, buf);
}

// The isometric latitude (gw::conformal::isometricLatitude).
HWY_INLINE V IsometricLatitude(DF d, V phi, double e) {
    const V one = hn::Set(d, 1.0);
    const V es = hn::Set(d, e) * hn::Sin(d, phi);
    return hn::Log(d, Tan(d, phi / hn::Set(d, 2.0) + hn::Set(d, gw::conformal::kQuarterPi)) *
                          Pow(d, (one - es) / (one + es), e / 2));
}

// exp(-psi) of the isometric latitude psi, without the logarithm and exponent:
// tan(phi/2 + pi/4) is (1 + sin phi) / cos phi and ((1 - es) / (1 + es))^(e/2) is
// exp(-e atanh(es)), so exp(-psi) = cos phi / (1 + sin phi) exp(e atanh(es)), with
// atanh and exp as short series (es is below 0.09, e atanh(es) below 0.01). Within
// a few ulps of the exact value; the C library's tan near the pole is off by up
// to tan(phi/2 + pi/4) ulps, which the one-point result carries (2.5e-12 of rho at
// 89.99 degrees).
HWY_INLINE V ExpMinusIsometric(DF d, V phi, double e) {
    const V one = hn::Set(d, 1.0);
    const V s = hn::Sin(d, phi);
    const V c = hn::Cos(d, phi);
    const V a = hn::Set(d, e) * s;
    const V a2 = a * a;
    V atanh = hn::Set(d, 1.0 / 15);
    for (const double inv : {1.0 / 13, 1.0 / 11, 1.0 / 9, 1.0 / 7, 1.0 / 5, 1.0 / 3, 1.0}) atanh = atanh * a2 + hn::Set(d, inv);
    const V y = hn::Set(d, e) * (atanh * a);
    V ex = hn::Set(d, 1.0 / 5040);
    for (const double inv : {1.0 / 720, 1.0 / 120, 1.0 / 24, 1.0 / 6, 0.5, 1.0, 1.0}) ex = ex * y + hn::Set(d, inv);
    return c / (one + s) * ex;
}

// Its inverse (gw::conformal::latitudeFromIsometric), lane by lane: Newton's
// method from 2 atan(exp psi) - pi/2, a lane stopping on a non-finite step or a
// step below 1e-10 rad (keeping the latitude before it), at most 10 steps. steps
// receives the steps each lane took; redo marks lanes whose step came within a
// hair of the tolerance, and lanes beyond 80 degrees of latitude: there the
// step's ln(1 - sin phi) turns an ulp of the sine into 1e-16 / cos phi radians of
// latitude, so that an ulp of the start value (vector arctangent and exponent)
// or of a logarithm, which moves the sine by an ulp now and then, moves the
// latitude by more than 1e-13 degrees.
HWY_INLINE V LatitudeFromIsometric(DF d, V psi, double e, double e2, V& steps, hn::Mask<DF>& redo) {
    const V one = hn::Set(d, 1.0);
    const V ve = hn::Set(d, e);
    const V tolerance = hn::Set(d, 1e-10);
    V phi = hn::Set(d, 2.0) * hn::Atan(d, hn::Exp(d, psi)) - hn::Set(d, gw::conformal::kHalfPi);
    redo = hn::Not(hn::Lt(hn::Abs(phi), hn::Set(d, kNearPole)));
    // Lanes left to the one-point steps from the start do not iterate here.
    auto active = hn::Not(redo);
    steps = hn::Zero(d);
    // The sine and cosine of the first latitude are vector ones; below 70 degrees
    // those of later ones come from turning the previous pair through the step
    // taken, with the step's sine and cosine as short series (an ulp or two from
    // the functions' values, 6e-14 degrees of latitude at most there); beyond, the
    // sine is the C library's.
    V s = hn::Sin(d, phi);
    V c = hn::Cos(d, phi);
    for (int i = 0; i < 10; ++i) {
        if (hn::AllFalse(d, active)) break;
        const V es = ve * s;
        // ln(1 + s) - ln(1 - s) and ln(1 - es) - ln(1 + es) each as the logarithm of
        // the quotient: within an ulp of the sum at these magnitudes.
        const V r = hn::Set(d, 0.5) * (hn::Log(d, (one + s) / (one - s)) + ve * hn::Log(d, (one - es) / (one + es))) -
                    psi;
        const V step = r * c * (one - hn::Set(d, e2) * (s * s)) / hn::Set(d, 1 - e2);
        steps = hn::IfThenElse(active, hn::Set(d, i + 1.0), steps);
        const auto finite = hn::IsFinite(step);
        const auto small = hn::Lt(hn::Abs(step), tolerance);
        redo = hn::Or(redo, hn::And(active, hn::Or(hn::Not(finite), hn::Lt(hn::Abs(hn::Abs(step) - tolerance),
                                                                             hn::Set(d, kNewtonHair)))));
        const auto stop = hn::Or(hn::Not(finite), small);
        const V phiNext = hn::IfThenElse(hn::AndNot(stop, active), phi - step, phi);
        const V turn = phiNext - phi;
        phi = phiNext;
        active = hn::AndNot(stop, active);
        if (hn::AllFalse(d, active)) break;
        if (hn::AllTrue(d, hn::And(hn::Lt(hn::Abs(phi), hn::Set(d, kTurnedSineLimit)),
                                   hn::Lt(hn::Abs(turn), hn::Set(d, kSmallTurn))))) {
            Turn(d, turn, s, c);
        } else {
            s = ScalarSin(d, phi);
            c = hn::Cos(d, phi);
        }
    }
    redo = hn::Or(redo, hn::Not(hn::Lt(hn::Abs(phi), hn::Set(d, kNearPole))));
    return phi;
}

HWY_INLINE void StoreSteps(DF d, V steps, hn::Mask<DF> redo, size_t n, size_t i, int* HWY_RESTRICT out) {
    HWY_ALIGN double stepBuf[hn::MaxLanes(d)];
    HWY_ALIGN double redoBuf[hn::MaxLanes(d)];
    hn::Store(steps, d, stepBuf);
    hn::Store(hn::IfThenElseZero(redo, hn::Set(d, 1.0)), d, redoBuf);
    const size_t N = hn::Lanes(d);
    for (size_t j = 0; j < N && i + j < n; ++j)
        out[i + j] = static_cast<int>(stepBuf[j]) | (redoBuf[j] != 0.0 ? kRedo : 0);
}

HWY_INLINE V Clamp(DF d, V v, double lo, double hi) {
    return hn::IfThenElse(hn::Gt(v, hn::Set(d, hi)), hn::Set(d, hi),
                          hn::IfThenElse(hn::Lt(v, hn::Set(d, lo)), hn::Set(d, lo), v));
}

void LambertForward(const LambertConstants& k, size_t n, const double* HWY_RESTRICT lat,
                    const double* HWY_RESTRICT lon, double* HWY_RESTRICT north, double* HWY_RESTRICT east) {
    const DF d;
    const size_t N = hn::Lanes(d);
    const V pi = hn::Set(d, gw::kPi), r180 = hn::Set(d, 180.0);
    for (size_t i = 0; i < n; i += N) {
        const V phi = hn::LoadU(d, lat + i) * pi / r180;
        const V rho = hn::Set(d, k.aF) * hn::Exp(d, hn::Set(d, -k.n) * IsometricLatitude(d, phi, k.e));
        const V theta = hn::Set(d, k.n) * ((hn::LoadU(d, lon + i) - hn::Set(d, k.lonOfOrigin)) * pi / r180);
        const V no = hn::Set(d, k.rho0) - rho * hn::Cos(d, theta);
        const V ea = rho * hn::Sin(d, theta);
        hn::StoreU(Clamp(d, no, -5000000.0, 5000000.0) + hn::Set(d, k.falseNorth), d, north + i);
        hn::StoreU(Clamp(d, ea, -5000000.0, 5000000.0) + hn::Set(d, k.falseEast), d, east + i);
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
        hn::StoreU(hn::IfThenElse(pole, fN, Clamp(d, no, 890000.0, 3110000.0)), d, north + i);
        hn::StoreU(hn::IfThenElse(pole, fE, Clamp(d, ea, 890000.0, 3110000.0)), d, east + i);
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
        const V phi = LatitudeFromIsometric(d, psi, k.e, k.e2, steps, redo);
        const V la = phi * r180 / pi;
        hn::StoreU(k.south ? hn::Neg(la) : la, d, lat + i);
        StoreSteps(d, steps, redo, n, i, stepsOut);
    }
}

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
#include <cstdlib>
#include <cstring>
#include <atomic>

namespace gw::batch {

namespace {

SimdTier detectTier() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
        __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512bw"))
        return SimdTier::avx512;
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") && __builtin_cpu_supports("bmi2") &&
        __builtin_cpu_supports("bmi"))
        return SimdTier::avx2;
    if (__builtin_cpu_supports("sse4.2") && __builtin_cpu_supports("ssse3") && __builtin_cpu_supports("popcnt"))
        return SimdTier::sse4;
    return SimdTier::sse2;
}

// The tier in use: the best the processor has, or a lower one named in
// GRIDWISE_SIMD (scalar, sse2, sse4, avx2, avx512), read once.
SimdTier initialTier() {
    const SimdTier best = detectTier();
    const char* want = std::getenv("GRIDWISE_SIMD");
    if (want == nullptr) return best;
    const char* names[] = {"scalar", "sse2", "sse4", "avx2", "avx512"};
    for (int t = 0; t < 5; ++t)
        if (std::strcmp(want, names[t]) == 0) return static_cast<SimdTier>(t) < best ? static_cast<SimdTier>(t) : best;
    return best;
}

std::atomic<int>& tierSlot() {
    static std::atomic<int> tier{static_cast<int>(initialTier())};
    return tier;
}

} // namespace

SimdTier bestSimdTier() {
    static const SimdTier best = detectTier();
    return best;
}

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


void tmForwardBlock(SimdTier tier, const TmConstants& k, std::size_t n, const double* lat, const double* lon,
                    double* north, double* east) {
    dispatch(
        tier, [&] { N_SCALAR::TmForward(k, n, lat, lon, north, east); },
        [&] { N_SSE4::TmForward(k, n, lat, lon, north, east); },
        [&] { N_AVX2::TmForward(k, n, lat, lon, north, east); },
        [&] { N_AVX3::TmForward(k, n, lat, lon, north, east); });
}

void tmReverseBlock(SimdTier tier, const TmConstants& k, std::size_t n, const double* north, const double* east,
                    double* lat, double* lon, int* steps) {
    dispatch(
        tier, [&] { N_SCALAR::TmReverse(k, n, north, east, lat, lon, steps); },
        [&] { N_SSE4::TmReverse(k, n, north, east, lat, lon, steps); },
        [&] { N_AVX2::TmReverse(k, n, north, east, lat, lon, steps); },
        [&] { N_AVX3::TmReverse(k, n, north, east, lat, lon, steps); });
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

void rdForwardBlock(SimdTier tier, const RdConstants& k, std::size_t n, const double* lat, const double* lon,
                    double* north, double* east) {
    dispatch(
        tier, [&] { N_SCALAR::RdForward(k, n, lat, lon, north, east); },
        [&] { N_SSE4::RdForward(k, n, lat, lon, north, east); },
        [&] { N_AVX2::RdForward(k, n, lat, lon, north, east); },
        [&] { N_AVX3::RdForward(k, n, lat, lon, north, east); });
}

void rdReverseBlock(SimdTier tier, const RdConstants& k, std::size_t n, const double* north, const double* east,
                    double* lat, double* lon) {
    dispatch(
        tier, [&] { N_SCALAR::RdReverse(k, n, north, east, lat, lon); },
        [&] { N_SSE4::RdReverse(k, n, north, east, lat, lon); },
        [&] { N_AVX2::RdReverse(k, n, north, east, lat, lon); },
        [&] { N_AVX3::RdReverse(k, n, north, east, lat, lon); });
}

void lambertForwardBlock(SimdTier tier, const LambertConstants& k, std::size_t n, const double* lat,
                         const double* lon, double* north, double* east) {
    dispatch(
        tier, [&] { N_SCALAR::LambertForward(k, n, lat, lon, north, east); },
        [&] { N_SSE4::LambertForward(k, n, lat, lon, north, east); },
        [&] { N_AVX2::LambertForward(k, n, lat, lon, north, east); },
        [&] { N_AVX3::LambertForward(k, n, lat, lon, north, east); });
}

void lambertReverseBlock(SimdTier tier, const LambertConstants& k, std::size_t n, const double* north,
                         const double* east, double* lat, double* lon, int* steps) {
    dispatch(
        tier, [&] { N_SCALAR::LambertReverse(k, n, north, east, lat, lon, steps); },
        [&] { N_SSE4::LambertReverse(k, n, north, east, lat, lon, steps); },
        [&] { N_AVX2::LambertReverse(k, n, north, east, lat, lon, steps); },
        [&] { N_AVX3::LambertReverse(k, n, north, east, lat, lon, steps); });
}

void polarForwardBlock(SimdTier tier, const PolarConstants& k, std::size_t n, const double* lat,
                       const double* lon, double* north, double* east) {
    dispatch(
        tier, [&] { N_SCALAR::PolarForward(k, n, lat, lon, north, east); },
        [&] { N_SSE4::PolarForward(k, n, lat, lon, north, east); },
        [&] { N_AVX2::PolarForward(k, n, lat, lon, north, east); },
        [&] { N_AVX3::PolarForward(k, n, lat, lon, north, east); });
}

void polarReverseBlock(SimdTier tier, const PolarConstants& k, std::size_t n, const double* north,
                       const double* east, double* lat, double* lon, int* steps) {
    dispatch(
        tier, [&] { N_SCALAR::PolarReverse(k, n, north, east, lat, lon, steps); },
        [&] { N_SSE4::PolarReverse(k, n, north, east, lat, lon, steps); },
        [&] { N_AVX2::PolarReverse(k, n, north, east, lat, lon, steps); },
        [&] { N_AVX3::PolarReverse(k, n, north, east, lat, lon, steps); });
}

void shiftBlock(SimdTier tier, const ShiftConstants& k, std::size_t n, const double* lat, const double* lon,
                double* latOut, double* lonOut, double* hOut, int* steps) {
    dispatch(
        tier, [&] { N_SCALAR::Shift(k, n, lat, lon, latOut, lonOut, hOut, steps); },
        [&] { N_SSE4::Shift(k, n, lat, lon, latOut, lonOut, hOut, steps); },
        [&] { N_AVX2::Shift(k, n, lat, lon, latOut, lonOut, hOut, steps); },
        [&] { N_AVX3::Shift(k, n, lat, lon, latOut, lonOut, hOut, steps); });
}

} // namespace gw::batch
#endif
