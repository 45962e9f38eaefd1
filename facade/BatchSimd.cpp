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

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include "facade/BatchKernels.h"
#include "numerics/Angles.h"
#include "projections/RDSeries.h"

#ifndef GRIDWISE_FACADE_BATCHSIMD_ONCE
#define GRIDWISE_FACADE_BATCHSIMD_ONCE
namespace gw::batch {
// A lane whose footpoint misses by within this of the 0.0001 m tolerance, at any
// of its steps, is converted again by the one-point steps (the vector arc differs
// from the scalar one by far less: a few nanometres).
inline constexpr double kRuleHair = 1e-7;
inline constexpr int kRedo = 0x20;
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
    const V hi = hn::Set(d, 1e7);
    const V lo = hn::Set(d, -1e7);
    return hn::IfThenElse(hn::Gt(v, hi), hi, hn::IfThenElse(hn::Lt(v, lo), lo, v));
}

// One shift of 360 towards zero when |v| exceeds 180 (gw::shiftIntoHalfTurn).
HWY_INLINE V shiftIntoHalfTurn(DF d, V v) {
    const V turn = hn::Set(d, 360.0);
    const auto beyond = hn::Gt(hn::Abs(v), hn::Set(d, 180.0));
    const V shifted = hn::IfThenElse(hn::Gt(v, hn::Zero(d)), v - turn,
                                     hn::IfThenElse(hn::Lt(v, hn::Zero(d)), v + turn, v));
    return hn::IfThenElse(beyond, shifted, v);
}

void TmForward(const TmConstants& k, size_t n, const double* HWY_RESTRICT lat, const double* HWY_RESTRICT lon,
               double* HWY_RESTRICT north, double* HWY_RESTRICT east) {
    const DF d;
    const size_t N = hn::Lanes(d);
    const double R = k.polarRadius;
    const double x = k.x;
    const double origin = k.originLon < 0.0 ? k.originLon + 360.0 : k.originLon;
    const V vR = hn::Set(d, R), vx = hn::Set(d, x), one = hn::Set(d, 1.0);
    for (size_t i = 0; i < n; i += N) {
        const V la = hn::LoadU(d, lat + i);
        const V lo = hn::LoadU(d, lon + i);
        const V lo360 = hn::IfThenElse(hn::Lt(lo, hn::Zero(d)), lo + hn::Set(d, 360.0), lo);
        const V D = shiftIntoHalfTurn(d, lo360 - hn::Set(d, origin)) * hn::Set(d, gw::kPi) / hn::Set(d, 180.0);
        const V phi = la * hn::Set(d, gw::kPi) / hn::Set(d, 180.0);
        const V s = hn::Sin(d, phi);
        const V c = hn::Cos(d, phi);
        const V c2 = c * c;
        const V c4 = c2 * c * c;
        const V c6 = c4 * c * c;
        const V nu = vR / hn::Sqrt(one + vx * c2);

        const V T1 = nu * c;
        const V T2 = nu * s * c / hn::Set(d, 2.0);
        const V T3 = (T1 / hn::Set(d, 6.0)) * (hn::Set(d, 2.0) * c2 - one + vx * c4);
        const V T4 = (T2 / hn::Set(d, 12.0)) *
                     (hn::Set(d, 6.0) * c2 - one + hn::Set(d, 9 * x) * c4 + hn::Set(d, 4 * (x * x)) * c6);
        const V T5 = (T1 / hn::Set(d, 120.0)) * (hn::Set(d, 24.0) * c4 - hn::Set(d, 58 * x) * c4 + one -
                                                 hn::Set(d, 20.0) * c2 + hn::Set(d, 72 * x) * c6);
        const V T6 = (T2 / hn::Set(d, 360.0)) * (one - hn::Set(d, 60.0) * c2 + hn::Set(d, 120.0) * c4);

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
    const V Rc0 = hn::Set(d, R * k.c[0]);
    const V tolerance = hn::Set(d, 0.0001);
    const V hair = hn::Set(d, kRuleHair);
    HWY_ALIGN double stepBuf[hn::MaxLanes(d)];
    HWY_ALIGN double settledBuf[hn::MaxLanes(d)];
    HWY_ALIGN double nearBuf[hn::MaxLanes(d)];
    for (size_t i = 0; i < n; i += N) {
        const V k0 = hn::Set(d, k.k0);
        const V Mt = (hn::LoadU(d, north + i) - hn::Set(d, k.falseNorth)) / k0 + hn::Set(d, k.arcOrigin);
        const V E = (hn::LoadU(d, east + i) - hn::Set(d, k.falseEast)) / k0;

        // Footpoint latitude, lane by lane: a lane takes a step while it has not
        // settled and keeps the sine and cosine from the start of its last step.
        V phi = Mt / Rc0;
        V s = hn::Zero(d);
        V c = one;
        V stepCount = hn::Zero(d);
        auto active = hn::FirstN(d, N);
        auto settled = hn::Not(active);
        auto nearRule = settled;
        for (int step = 0; step < 5; ++step) {
            if (hn::AllFalse(d, active)) break;
            const V sNew = hn::Sin(d, phi);
            const V cNew = hn::Cos(d, phi);
            const V delta = Mt - arcOf(d, k, phi, sNew, cNew);
            s = hn::IfThenElse(active, sNew, s);
            c = hn::IfThenElse(active, cNew, c);
            phi = hn::IfThenElse(active, phi + delta / Rc0, phi);
            stepCount = hn::IfThenElse(active, hn::Set(d, step + 1.0), stepCount);
            // A miss within a hair of the tolerance might be decided the other
            // way by the one-point steps: such a lane is done again by them.
            nearRule = hn::Or(nearRule, hn::And(active, hn::Lt(hn::Abs(hn::Abs(delta) - tolerance), hair)));
            const auto now = hn::And(active, hn::Lt(hn::Abs(delta), tolerance));
            settled = hn::Or(settled, now);
            active = hn::AndNot(now, active);
        }

        const V c2 = c * c;
        const V c4 = c2 * c * c;
        const V c6 = c4 * c * c;
        const V V2 = one + vx * c2;
        const V nu = vR / hn::Sqrt(V2);
        const V Q = one / (nu * c);
        const V Q2 = Q * Q;
        const V Q3 = Q2 * Q;
        const V Q4 = Q3 * Q;
        const V Q5 = Q4 * Q;

        const V B2 = hn::Set(d, -0.5) * Q2 * s * c * V2;
        const V B3 = hn::Neg(Q3 / hn::Set(d, 6.0)) * (vx * c4 + hn::Set(d, 2.0) - c2);
        const V B4 = hn::Neg(Q2 * B2 / hn::Set(d, 12.0)) *
                     (hn::Set(d, 10 * x) * c4 + hn::Set(d, 2 - 9 * x) * c2 + hn::Set(d, 3.0) -
                      hn::Set(d, 4 * (x * x)) * c6);
        const V B5 = (Q5 / hn::Set(d, 120.0)) * (c4 * hn::Set(d, 8 * x + 1) + hn::Set(d, 24.0) -
                                                 hn::Set(d, 20.0) * c2 - hn::Set(d, 2 * x) * c6);
        const V B6 = (Q4 * B2 / hn::Set(d, 360.0)) * (hn::Set(d, 45.0) + hn::Set(d, 16.0) * c4);

        const V E2 = E * E;
        const V E3 = E2 * E;
        const V E4 = E3 * E;
        const V E5 = E4 * E;
        const V E6 = E5 * E;

        const V r2d = hn::Set(d, 180.0);
        const V pi = hn::Set(d, gw::kPi);
        hn::StoreU((phi + B2 * E2 + B4 * E4 + B6 * E6) * r2d / pi, d, latRad + i);
        hn::StoreU((Q * E + B3 * E3 + B5 * E5) * r2d / pi + hn::Set(d, k.originLon), d, lonRad + i);
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

} // namespace gw::batch::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
#include <cmath>
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

namespace {

// Runs a kernel of the tier on n points (n a multiple of 8: the widest vector).
template <typename Sse2, typename Sse4, typename Avx2, typename Avx512>
void dispatch(SimdTier tier, Sse2&& sse2, Sse4&& sse4, Avx2&& avx2, Avx512&& avx512) {
    switch (tier) {
    case SimdTier::avx512: avx512(); break;
    case SimdTier::avx2: avx2(); break;
    case SimdTier::sse4: sse4(); break;
    default: sse2(); break;
    }
}

} // namespace

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

} // namespace gw::batch
#endif
