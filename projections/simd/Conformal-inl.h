// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The isometric latitude and its inverse on vectors, shared by the conformal
// projections' kernels (Lambert, polar stereographic). Included once per
// instruction set from a file compiled with Highway's foreach_target, after
// numerics/simd/VectorMath-inl.h.
#ifndef GRIDWISE_PROJECTIONS_SIMD_CONFORMAL_ONCE
#define GRIDWISE_PROJECTIONS_SIMD_CONFORMAL_ONCE
namespace gw::batch {
// The same for the isometric latitude's Newton step (1e-10 rad): the vector step
// differs from the scalar one by about 1e-15 rad.
inline constexpr double kNewtonHair = 1e-12;
// 70 degrees in radians: below it the isometric latitude's Newton steps turn the
// sine and cosine by short series.
inline constexpr double kTurnedSineLimit = 70 * (3.141592653589793 / 180);
// 80 degrees in radians: LatitudeFromIsometric leaves latitudes beyond it to the
// one-point steps (LatitudeFromIsometricToPole takes them).
inline constexpr double kNearPole = 80 * (3.141592653589793 / 180);
// Isometric latitudes up to this magnitude start below 75 degrees and end below
// kNearPole on ellipsoids of the usual eccentricities: LatitudeFromIsometric holds
// for them.
inline constexpr double kIsometricBelowNearPole = 2.0;
// Colatitudes (radians) up to which SineNearPole holds, and the error it and the
// C library's sine may have there.
inline constexpr double kSineSeriesLimit = 0.55;
inline constexpr double kSineDoubt = 3e-18;
// Colatitudes (radians) within which LatitudeFromIsometricToPole keeps each
// latitude on the one-point one: farther out an ulp of the sine moves the step by
// 1.1e-16 / colatitude, below 9.2e-16 rad (5.3e-14 degrees; with two ulps of the
// latitude and the rounding into degrees, below 1e-13 degrees).
inline constexpr double kExactColatitude = 0.12;
} // namespace gw::batch
#endif

#if defined(GRIDWISE_PROJECTIONS_SIMD_CONFORMAL_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef GRIDWISE_PROJECTIONS_SIMD_CONFORMAL_INL_H_
#undef GRIDWISE_PROJECTIONS_SIMD_CONFORMAL_INL_H_
#else
#define GRIDWISE_PROJECTIONS_SIMD_CONFORMAL_INL_H_
#endif

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include "numerics/simd/VectorMath-inl.h"
#include "projections/IsometricLatitude.h"

HWY_BEFORE_NAMESPACE();
namespace gw::batch::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;
using DF = hn::ScalableTag<double>;
using V = hn::Vec<DF>;

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

// The start value 2 atan(exp psi) - pi/2 with the C library's functions, lane by
// lane: the one-point start to the bit.
HWY_INLINE V ScalarIsometricStart(DF d, V psi) {
    HWY_ALIGN double buf[hn::MaxLanes(d)];
    hn::Store(psi, d, buf);
    for (size_t j = 0; j < hn::Lanes(d); ++j) buf[j] = 2 * std::atan(std::exp(buf[j])) - gw::conformal::kHalfPi;
    return hn::Load(d, buf);
}

// sin phi rounded to the nearest double, for phi within kSineSeriesLimit of +-pi/2:
// 1 - (chi^2/2 - chi^4/24 + ...) of the colatitude chi = pi/2 - |phi| (exact in
// two parts: pi/2 less |phi| is exact, pi/2 less its double is the second), chi^2
// in two parts by Dekker's product and the sum in two parts, within
// 1e-18 + 2e-17 chi^4 of the exact sine (measured against quadruple precision).
// margin receives how far the exact sine lies from the nearest midpoint between
// doubles (2^-54 less the sum's remainder, less that error), c the cosine (sin chi
// as a series, within an ulp or two). Where margin exceeds kSineDoubt the sine is
// the C library's to the bit (its own error stays below 1e-18 there); where it
// exceeds that and colatitude * k ulps of a latitude in [1, 2), the C library's
// sine of any latitude within k ulps of phi is this one too.
HWY_INLINE V SineNearPole(DF d, V phi, V& c, V& margin) {
    const V one = hn::Set(d, 1.0);
    const V chi = hn::Set(d, gw::conformal::kHalfPi) - hn::Abs(phi);
    const V chiLo = hn::Set(d, 6.123233995736766e-17);
    const V q = chi * chi;
    const V big = hn::Set(d, 134217729.0) * chi;
    const V hi = big - (big - chi);
    const V lo = chi - hi;
    const V qLo = (((hi * hi - q) + hi * lo + lo * hi) + lo * lo) + hn::Set(d, 2.0) * chi * chiLo;
    V tail = hn::Set(d, 1.0 / 6402373705728000.0);
    for (const double k : {-1.0 / 20922789888000.0, 1.0 / 87178291200.0, -1.0 / 479001600, 1.0 / 3628800,
                           -1.0 / 40320, 1.0 / 720, -1.0 / 24})
        tail = tail * q + hn::Set(d, k);
    tail = tail * (q * q);
    const V half = hn::Set(d, 0.5);
    const V xHi = q * half;
    const V xLo = qLo * half + tail;
    const V u = one - xHi;
    const V w = ((one - u) - xHi) - xLo;
    const V s = u + w;
    // The series' rounding grows with chi^4 / 24.
    const V q2 = q * q;
    margin = hn::Set(d, 0x1p-54) - hn::Abs((u - s) + w) - hn::Set(d, 2e-17) * q2;
    const V x = chi + chiLo;
    const V x2 = x * x;
    V sc = one;
    for (const double k : {1.0 / 272, 1.0 / 210, 1.0 / 156, 1.0 / 110, 1.0 / 72, 1.0 / 42, 1.0 / 20, 1.0 / 6})
        sc = one - x2 * hn::Set(d, k) * sc;
    c = x * sc;
    return hn::CopySign(s, phi);
}

// The inverse of the isometric latitude for every latitude up to the poles, as
// latitudeFromIsometric takes it. Near a pole a Newton step moves by
// 1e-16 / cos phi radians for an ulp of the sine (through ln(1 - sin phi)), 3e-12
// degrees at 89.9: the one-point result there carries the rounding of each sine
// it took, and of each latitude, which decides the next sine. So the start value
// is the C library's, lane by lane, and the sines are rounded as the C library
// rounds them (SineNearPole, or the C library's sine where the series does not
// reach or the rounding is in doubt). doubt counts the ulps by which a lane's
// latitude may differ from the one-point one: a step is off the one-point step
// by a few ulps of its logarithms times cos phi, which may round the next
// latitude the other way. Within kExactColatitude of the pole a lane whose next
// sine could differ for that is brought onto the one-point latitude (its steps
// taken again with the C library's functions) before the step; farther out an
// ulp of the sine moves the latitude by less than 1e-15 rad. A lane stops on a
// step below 1e-10 rad or at the pole, where the sine rounds to +-1 and the step
// is infinite; other non-finite steps (a NaN psi) and steps within a hair of the
// tolerance (1e-12 cos phi, many times what the step may be off) go to redo.
HWY_INLINE V LatitudeFromIsometricToPole(DF d, V psi, double e, double e2, V& steps, hn::Mask<DF>& redo) {
    const size_t N = hn::Lanes(d);
    const V one = hn::Set(d, 1.0);
    const V zero = hn::Zero(d);
    const V ve = hn::Set(d, e);
    const V tolerance = hn::Set(d, 1e-10);
    const V halfPi = hn::Set(d, gw::conformal::kHalfPi);
    const V ulp = hn::Set(d, 0x1p-52); // of a latitude in [1, 2)
    V phi = ScalarIsometricStart(d, psi);
    auto active = hn::Not(hn::IsNaN(phi));
    redo = hn::Not(active);
    steps = hn::IfThenElseZero(redo, one);
    V doubt = zero, prevPhi = phi, prevS = zero, prevDoubt = zero;
    HWY_ALIGN double phiBuf[hn::MaxLanes(d)], sBuf[hn::MaxLanes(d)], flagBuf[hn::MaxLanes(d)],
        psiBuf[hn::MaxLanes(d)], prevPhiBuf[hn::MaxLanes(d)], prevSBuf[hn::MaxLanes(d)], prevDoubtBuf[hn::MaxLanes(d)];
    // ln((1 - es) / (1 + es)) = -2 atanh(es) as a series where e is below 0.1 (the
    // terms beyond fall under 1e-19 of it), the vector logarithm otherwise.
    const bool atanhSeries = e < 0.1;
    const auto newtonStep = [&](V s, V c, V& t1) {
        const V es = ve * s;
        t1 = hn::Log(d, (one + s) / (one - s));
        V l2;
        if (atanhSeries) {
            const V a2 = es * es;
            V t = hn::Set(d, 1.0 / 17);
            for (const double k : {1.0 / 15, 1.0 / 13, 1.0 / 11, 1.0 / 9, 1.0 / 7, 1.0 / 5, 1.0 / 3, 1.0})
                t = t * a2 + hn::Set(d, k);
            l2 = hn::Set(d, -2.0) * (t * es);
        } else {
            l2 = hn::Log(d, (one - es) / (one + es));
        }
        const V r = hn::Set(d, 0.5) * (t1 + ve * l2) - psi;
        return r * c * (one - hn::Set(d, e2) * (s * s)) * hn::Set(d, 1 / (1 - e2));
    };
    // The sine as the C library rounds it (and the cosine) for the lanes of
    // which; sure marks the lanes whose series sine is certain.
    const auto sine = [&](V p, hn::Mask<DF> which, V& c, V& margin, V& chi, hn::Mask<DF>& sure) {
        V s = SineNearPole(d, p, c, margin);
        chi = hn::Abs(halfPi - hn::Abs(p));
        const auto series = hn::Lt(chi, hn::Set(d, kSineSeriesLimit));
        sure = hn::And(series, hn::Gt(margin, hn::Set(d, kSineDoubt)));
        const auto library = hn::AndNot(sure, which);
        if (!hn::AllFalse(d, library)) {
            if (!hn::AllTrue(d, series)) c = hn::IfThenElse(series, c, hn::Cos(d, p));
            hn::Store(p, d, phiBuf);
            hn::Store(s, d, sBuf);
            hn::Store(hn::IfThenElseZero(library, one), d, flagBuf);
            for (size_t j = 0; j < N; ++j)
                if (flagBuf[j] != 0) sBuf[j] = std::sin(phiBuf[j]);
            s = hn::Load(d, sBuf);
        }
        return s;
    };
    V prevStep = hn::Set(d, 1.0);
    for (int i = 0; i < 10; ++i) {
        // Newton's next step is about step^2 / (2 cos phi) of the last one (within
        // 0.82..1.01 of it from 55 degrees to the pole), and a step is off the exact
        // one by its sine's rounding, below 1.2e-16 / cos phi: where the step that
        // bound leaves is below the tolerance with room to spare in every lane, the
        // one-point steps stop here and the step is not taken.
        {
            const V colat = hn::Abs(halfPi - hn::Abs(phi));
            const V bound = (hn::Set(d, 0.65) * (prevStep * prevStep) + hn::Set(d, 2.6e-16)) / colat +
                            hn::Set(d, 1e-15);
            const auto ends = hn::And(hn::Lt(colat, hn::Set(d, kSineSeriesLimit)), hn::Lt(bound, tolerance));
            if (hn::AllTrue(d, hn::Or(hn::Not(active), ends))) {
                steps = hn::IfThenElse(active, hn::Set(d, i + 1.0), steps);
                break;
            }
        }
        V c, margin, chi;
        hn::Mask<DF> sure;
        V s = sine(phi, active, c, margin, chi, sure);
        // Lanes brought onto the one-point latitude (their steps taken again with
        // the C library's functions): those whose sine may not be the one-point one
        // (an ulp of it moves the step by 1.2e-16 / cos phi): before the second step
        // (which ends the iteration only within metres of the pole), after the step
        // otherwise, where it may not end the iteration.
        const auto robust = hn::Or(hn::Eq(doubt, zero),
                                   hn::And(sure, hn::Gt(margin - hn::Set(d, kSineDoubt), chi * doubt * ulp)));
        const auto candidates = hn::And(hn::And(active, hn::Lt(chi, hn::Set(d, kExactColatitude))),
                                        hn::Or(hn::Not(robust), hn::Ge(doubt, hn::Set(d, 4.0))));
        const auto realign = [&](hn::Mask<DF> which) {
            hn::Store(psi, d, psiBuf);
            hn::Store(prevPhi, d, prevPhiBuf);
            hn::Store(prevS, d, prevSBuf);
            hn::Store(prevDoubt, d, prevDoubtBuf);
            hn::Store(hn::IfThenElseZero(which, one), d, flagBuf);
            for (size_t j = 0; j < N; ++j) {
                if (flagBuf[j] == 0) continue;
                double p = 0;
                if (i > 0 && prevDoubtBuf[j] == 0) {
                    p = prevPhiBuf[j] -
                        gw::conformal::isometricNewtonStep(prevPhiBuf[j], prevSBuf[j], psiBuf[j], e, e2);
                } else {
                    p = 2 * std::atan(std::exp(psiBuf[j])) - gw::conformal::kHalfPi;
                    for (int k = 0; k < i; ++k)
                        p = p - gw::conformal::isometricNewtonStep(p, std::sin(p), psiBuf[j], e, e2);
                }
                phiBuf[j] = p;
            }
            phi = hn::IfThenElse(which, hn::Load(d, phiBuf), phi);
            V c2, margin2, chi2;
            hn::Mask<DF> sure2;
            const V s2 = sine(phi, which, c2, margin2, chi2, sure2);
            s = hn::IfThenElse(which, s2, s);
            c = hn::IfThenElse(which, c2, c);
            doubt = hn::IfThenElseZero(hn::Not(which), doubt);
        };
        const auto early = hn::And(candidates, hn::Eq(hn::Set(d, i == 1 ? 1.0 : 0.0), one));
        if (!hn::AllFalse(d, early)) realign(early);
        V t1;
        V step = newtonStep(s, c, t1);
        const V hair = hn::Set(d, kNewtonHair) * hn::Abs(c);
        const auto stops = hn::Gt((tolerance - hn::Abs(step) - hair) * hn::Abs(c), hn::Set(d, 1.2e-16));
        const auto late = hn::AndNot(stops, hn::AndNot(early, candidates));
        if (!hn::AllFalse(d, late)) {
            realign(late);
            step = newtonStep(s, c, t1);
        }
        steps = hn::IfThenElse(active, hn::Set(d, i + 1.0), steps);
        // ln(1 -+ sin phi) is infinite: the one-point steps keep the pole.
        const auto pole = hn::Eq(hn::Abs(s), one);
        const auto finite = hn::IsFinite(step);
        const auto nearTolerance = hn::Lt(hn::Abs(hn::Abs(step) - tolerance), hair);
        redo = hn::Or(redo, hn::And(active, hn::AndNot(pole, hn::Or(hn::Not(finite), nearTolerance))));
        const auto stop = hn::Or(hn::Or(pole, hn::Not(finite)), hn::Lt(hn::Abs(step), tolerance));
        const auto go = hn::AndNot(stop, active);
        prevPhi = phi;
        prevS = s;
        prevDoubt = doubt;
        const V next = phi - step;
        // The rounding of the next latitude is in doubt when its remainder comes
        // within what the step may be off (a few ulps of t1, times cos phi) of half
        // an ulp.
        const V remainder = (phi - next) - step;
        const V stepDoubt = hn::Abs(c) * (hn::Set(d, 1.5e-15) * hn::Abs(t1) + hn::Set(d, 2e-16)) +
                            hn::Abs(step) * hn::Set(d, 1e-13);
        const auto turned = hn::Lt(hn::Set(d, 0x1p-53) - hn::Abs(remainder), stepDoubt);
        doubt = hn::IfThenElse(hn::And(go, turned), doubt + one, doubt);
        phi = hn::IfThenElse(go, next, phi);
        prevStep = hn::Abs(step);
        active = go;
        if (hn::AllFalse(d, active)) break;
    }
    return phi;
}
} // namespace gw::batch::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif
