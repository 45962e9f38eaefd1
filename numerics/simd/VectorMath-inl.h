// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Vector helpers shared by the kernels: angle reductions, the arctangent of two
// values, the C library's functions lane by lane, turning a sine and cosine through
// a small angle, clamping, and storing a lane's steps. Included once per
// instruction set from a file compiled with Highway's foreach_target (after
// <hwy/highway.h>), so it has no include guard of the usual kind but the toggle
// Highway gives each target.
#ifndef GRIDWISE_NUMERICS_SIMD_VECTORMATH_ONCE
#define GRIDWISE_NUMERICS_SIMD_VECTORMATH_ONCE
namespace gw::batch {
// Footpoint steps up to this (radians) turn the sine and cosine of the latitude
// by short series instead of the vector functions.
inline constexpr double kSmallTurn = 0.02;
} // namespace gw::batch
#endif

#if defined(GRIDWISE_NUMERICS_SIMD_VECTORMATH_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef GRIDWISE_NUMERICS_SIMD_VECTORMATH_INL_H_
#undef GRIDWISE_NUMERICS_SIMD_VECTORMATH_INL_H_
#else
#define GRIDWISE_NUMERICS_SIMD_VECTORMATH_INL_H_
#endif

#include <cmath>
#include <cstddef>

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include "numerics/Angles.h"
#include "numerics/simd/LaneFlags.h"

HWY_BEFORE_NAMESPACE();
namespace gw::batch::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// One shift of 360 towards zero when |v| exceeds 180 (gw::shiftIntoHalfTurn), on
// degrees.
template <class D, class V> HWY_INLINE V shiftIntoHalfTurn(D d, V v) {
    const V turn = hn::Set(d, 360.0);
    const auto beyond = hn::Gt(hn::Abs(v), hn::Set(d, 180.0));
    const V shifted = hn::IfThenElse(hn::Gt(v, hn::Zero(d)), v - turn,
                                     hn::IfThenElse(hn::Lt(v, hn::Zero(d)), v + turn, v));
    return hn::IfThenElse(beyond, shifted, v);
}

using DF = hn::ScalableTag<double>;
using V = hn::Vec<DF>;

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
} // namespace gw::batch::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#endif
