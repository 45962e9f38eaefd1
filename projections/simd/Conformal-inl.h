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
// 80 degrees in radians: the isometric latitude's inverse beyond it is left to
// the one-point steps.
inline constexpr double kNearPole = 80 * (3.141592653589793 / 180);
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
} // namespace gw::batch::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif
