// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The geodesic direct problem on vectors: Datum::direct lane by lane, compiled once
// per instruction set (the portable baseline on SSE2, SSE4, AVX2, AVX-512) and
// chosen at run time. Each lane takes the one-point function's branch (the start
// point under 0.0001 m, Puissant's series under 40000 m, Sodano's solution beyond)
// and its formulas in the same order of operations; only the vector sine, cosine
// and arc tangent differ from the C library's, by up to three ulps (the tangent
// is the sine over the cosine, w^1.5 is w sqrt(w)).
//
// Sodano's longitude is ill-conditioned where those ulps could change a branch or
// be amplified past 1e-13 degree: the quadrant when the sine of the arc or of the
// azimuth is within a hair of zero (the sign of R decides a half turn), the end
// point near a pole (R's numerator and denominator both small; the margin widens
// with the arc), or the longitude before its shift reaching 256 degrees. Such
// fragile lanes are gathered, a vector at a time, and solved once more with the C
// library's sine, cosine, tangent and arc tangent in every place the one-point
// function takes them: the rest is the same arithmetic in the same order, so they
// come out bit for bit.
//
// A lane is left to the one-point function (kRedo):
// - Puissant's series where its terms grow large, or with an end beyond 80
//   degrees of latitude (the one-point function takes Sodano's formulas there);
// - negative distances (the line backwards);
// - azimuths outside [-180, 360] (the one-point code folds them by fmod), start
//   longitudes beyond +-500 degrees (an ulp of the sum passes 1e-13 degree), lines
//   longer than 25000 km, and any lane whose result is not finite.
// Products and sums stay separate roundings, as in the one-point code.
#pragma GCC optimize("fp-contract=off")

#include "platform/SimdTargets.h"
#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "geodesy/simd/GeodesicDirectSimd.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep

#include <cmath>

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include "geodesy/GeodesicRules.h"
#include "geodesy/simd/GeodesicSimd.h"
#include "numerics/Angles.h"
#include "numerics/simd/VectorMath-inl.h"

#ifndef GRIDWISE_GEODESY_GEODESICDIRECTSIMD_ONCE
#define GRIDWISE_GEODESY_GEODESICDIRECTSIMD_ONCE
namespace gw::batch::direct_detail {
using gw::geodesic::kMinDistance; // the one-point function's rules (geodesy/GeodesicRules.h)
using gw::geodesic::kShortLine;
using gw::geodesic::kPuissantLatitude;
// Puissant's end latitude within this (degrees) of kPuissantLatitude: the vector
// functions' ulps could change the one-point function's choice of formulas.
inline constexpr double kLatitudeHair = 1e-9;
// Sodano's lines longer than this are left to the one-point function: the arc's
// ulp grows with its length.
inline constexpr double kLongestLine = 2.5e7;
// Start longitudes beyond this are left to the one-point function.
inline constexpr double kLonLimit = 500.0;
// The sine of the arc or of the azimuth within this of zero: the sign of R is not
// sure (both differ from the one-point values by about 1e-16).
inline constexpr double kSignHair = 1e-12;
// Sodano: the longitude on the auxiliary sphere is atan(num / D) with num and D
// known to a few 1e-16; its error grows as 1 / |(num, D)|, the cosine of the end
// point's reduced latitude, and with the arc ss (radians). A lane whose |(num, D)|
// is below kNearPoleRadius (1 + ss / 2) is solved again with the C library's
// functions.
inline constexpr double kNearPoleRadius = 0.3;
// Sodano: the longitude before its shift into [-180, 180] at or beyond 256 degrees,
// where one ulp is 5.7e-14 degree (two such ulps pass 1e-13 degree).
inline constexpr double kSumLimit = 256.0;
// Puissant: latitude terms (degrees) larger than this are left to the one-point
// function.
inline constexpr double kShortLatTerms = 10.0;
// Puissant's longitude difference divides by cos phi2, whose relative error is
// tan phi2 times the end latitude's ulp: the longitude difference (degrees) times
// 1 + |tan phi2| at or above this is left to the one-point function.
inline constexpr double kShortLonTerm = 50.0;
} // namespace gw::batch::direct_detail
#endif

HWY_BEFORE_NAMESPACE();
namespace gw::batch::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

namespace direct_vec {
using DF = hn::ScalableTag<double>;
using V = hn::Vec<DF>;
using M = hn::Mask<DF>;
namespace dd = gw::batch::direct_detail;

struct Result {
    V lat, lon;
    M redo;    // lanes for the one-point function
    M fragile; // lanes whose longitude the vector functions' ulps could move past the bound
};

// fn(x) of the C library, lane by lane.
template <class F> HWY_INLINE V Libm(DF d, V x, F fn) {
    HWY_ALIGN double xs[hn::MaxLanes(d)];
    hn::Store(x, d, xs);
    for (size_t j = 0; j < hn::Lanes(d); ++j) xs[j] = fn(xs[j]);
    return hn::Load(d, xs);
}
inline double LibmSin(double x) { return std::sin(x); }
inline double LibmCos(double x) { return std::cos(x); }
inline double LibmTan(double x) { return std::tan(x); }
inline double LibmAtan(double x) { return std::atan(x); }

// The sine, cosine and arctangent of Sodano's solution: the vector functions, or
// with kExact the C library's.
template <bool kExact> HWY_INLINE V SinOf(DF d, V x) {
    if constexpr (kExact) return Libm(d, x, LibmSin);
    else return hn::Sin(d, x);
}
template <bool kExact> HWY_INLINE V CosOf(DF d, V x) {
    if constexpr (kExact) return Libm(d, x, LibmCos);
    else return hn::Cos(d, x);
}
template <bool kExact> HWY_INLINE V AtanOf(DF d, V x) {
    if constexpr (kExact) return Libm(d, x, LibmAtan);
    else return hn::Atan(d, x);
}

// Puissant's series from the start latitude (its sine, cosine, tangent) and the
// azimuth's sine and cosine.
HWY_INLINE Result puissant(DF d, const GeodesicConstants& k, V lat1, V lon1, V s, V sinPhi, V cosPhi, V tanP1,
                           V sinA, V cosA) {
    const V one = hn::Set(d, 1.0);
    const V a = hn::Set(d, k.a);
    const V e2 = hn::Set(d, k.e2);
    const V w = one - e2 * (sinPhi * sinPhi);
    const V m1 = hn::Set(d, k.a * (1 - k.e2)) / (w * hn::Sqrt(w));
    const V n1 = a / hn::Sqrt(w);
    const V kk = hn::Set(d, 3 * k.e2) * sinPhi * cosPhi / (hn::Set(d, 2.0) * w);
    const V sin2A = sinA * sinA;
    const V A = s * cosA;
    const V B = s * s * tanP1 * sin2A;
    const V C = (one + hn::Set(d, 3.0) * (tanP1 * tanP1)) * (s * s * s) * cosA * sin2A;
    const V n1n1 = n1 * n1;
    const V delta = A / n1 - B / (hn::Set(d, 2.0) * n1n1) - C / (hn::Set(d, 6.0) * (n1n1 * n1));
    const V tA = A / m1;
    const V tB = B / (hn::Set(d, 2.0) * m1 * n1);
    const V tC = C / (hn::Set(d, 6.0) * m1 * n1n1);
    const V dPhi = (tA - tB - tC) * (one - kk * delta);
    const V rad2deg = hn::Set(d, gw::kRadToDeg);
    Result r;
    r.lat = lat1 + dPhi * rad2deg;

    const V phi2 = r.lat * hn::Set(d, gw::kDegToRad);
    const V sinP2 = hn::Sin(d, phi2);
    const V cosP2 = hn::Cos(d, phi2);
    const V n2 = a / hn::Sqrt(one - e2 * (sinP2 * sinP2));
    const V dLambda = (s * sinA / (n2 * cosP2)) *
                      (one - (s * s / (hn::Set(d, 6.0) * (n2 * n2))) * (one - sin2A / (cosP2 * cosP2)));
    const V dLambdaDeg = dLambda * rad2deg;
    r.lon = lon1 + dLambdaDeg;

    const V terms = (hn::Abs(tA) + hn::Abs(tB) + hn::Abs(tC)) * rad2deg;
    const V lonTerm = hn::Abs(dLambdaDeg) * (one + hn::Abs(sinP2 / cosP2));
    r.redo = hn::Or(hn::Not(hn::Lt(terms, hn::Set(d, dd::kShortLatTerms))),
                    hn::Not(hn::Lt(lonTerm, hn::Set(d, dd::kShortLonTerm))));
    // Lines with an end beyond Puissant's latitude (or within a hair of it) are
    // the one-point function's, which takes Sodano's formulas for them.
    r.redo = hn::Or(r.redo, hn::Gt(hn::Abs(lat1), hn::Set(d, dd::kPuissantLatitude)));
    r.redo = hn::Or(r.redo, hn::Not(hn::Lt(hn::Abs(r.lat), hn::Set(d, dd::kPuissantLatitude - dd::kLatitudeHair))));
    return r;
}

// Sodano's solution from the start point's tangent of latitude and the azimuth.
// With kExact every transcendental is the C library's (the caller's tangent,
// sine and cosine too), and the lanes give the one-point function's result bit
// for bit.
template <bool kExact>
HWY_INLINE Result sodano(DF d, const GeodesicConstants& k, V lon1, V az, V s, V tanP1, V sinA, V cosA) {
    const double f = k.f;
    const double ep2 = k.ep2;
    const double ep4 = ep2 * ep2;
    const double f2 = f * f;
    const V one = hn::Set(d, 1.0);
    const V vep2 = hn::Set(d, ep2);
    const V vep4 = hn::Set(d, ep4);
    const V two = hn::Set(d, 2.0);
    const V four = hn::Set(d, 4.0);
    const V eight = hn::Set(d, 8.0);

    const V t1f = hn::Set(d, 1 - f) * tanP1;
    const V beta1 = AtanOf<kExact>(d, t1f);
    const V sinB1 = SinOf<kExact>(d, beta1);
    const V cosB1 = CosOf<kExact>(d, beta1);
    const V sin2B1 = sinB1 * sinB1;
    const V c = sinA * cosB1;
    const V g = cosA * cosB1;
    const V m = (one - c * c) * (one + vep2 * sin2B1 / two);
    const V ss = s / hn::Set(d, k.b);
    const V sinS = SinOf<kExact>(d, ss);
    const V cosS = CosOf<kExact>(d, ss);
    const V cos2S = cosS * cosS;
    const V a1 = sin2B1 * cosS + g * sinB1 * sinS;
    const V t1 = (one + vep2 * sin2B1 / two) * a1 * (hn::Set(d, -ep2) * sinS / two);
    const V t2 = m * (vep2 * sinS * cosS / four - vep2 * ss / four);
    const V t3 = (a1 * a1) * hn::Set(d, 5.0) * vep4 * sinS * cosS / eight;
    const V t4 = (m * m) * (hn::Set(d, 11 * ep4) * ss / hn::Set(d, 64.0) -
                            hn::Set(d, 13 * ep4) * sinS * cosS / hn::Set(d, 64.0) - vep4 * ss * cos2S / eight +
                            hn::Set(d, 5 * ep4) * sinS * (cos2S * cosS) / hn::Set(d, 32.0));
    const V t5 = m * a1 *
                 (hn::Set(d, 3 * ep4) * sinS / eight + vep4 * ss * cosS / four -
                  hn::Set(d, 5 * ep4) * sinS * cos2S / eight);
    const V sigma0 = ss + t1 + t2 + t3 + t4 + t5;
    const V sinS0 = SinOf<kExact>(d, sigma0);
    const V cosS0 = CosOf<kExact>(d, sigma0);
    const V D = cosS0 * cosB1 - sinB1 * sinS0 * cosA;

    // The quadrant: azimuths of [0, 180] east, the others west (every lane here
    // has its azimuth inside [-180, 360], so the one-point fold leaves it).
    const V zero = hn::Zero(d);
    const V pi = hn::Set(d, gw::kPi);
    const M meridian = hn::Or(hn::Eq(az, zero), hn::Eq(az, hn::Set(d, 180.0)));
    const V num = sinS0 * sinA;
    const V R = num / D;
    const V atanR = AtanOf<kExact>(d, R);
    // Past the antipode of the start (a negative sine of the arc) the sides swap.
    const M eastSide = hn::And(hn::Ge(az, zero), hn::Le(az, hn::Set(d, 180.0)));
    const M beyond = hn::Lt(sinS0, zero);
    const M east = hn::Or(hn::AndNot(beyond, eastSide), hn::AndNot(eastSide, beyond));
    const V sideLambda = hn::IfThenElse(east, hn::IfThenElse(hn::Lt(R, zero), atanR + pi, atanR),
                                        hn::IfThenElse(hn::Gt(R, zero), atanR - pi, atanR));
    const V meridianLambda = hn::IfThenElseZero(hn::Lt(D, zero), pi);
    const V lambdaS = hn::IfThenElse(meridian, meridianLambda, sideLambda);

    const V vf = hn::Set(d, f);
    const V f3 = hn::Set(d, 3 * f2);
    const V delta = c * (m * (f3 * ss / four - f3 * sinS * cosS / four) + f3 * a1 * sinS / two - vf * ss);
    Result r;
    const V sum = lon1 + (lambdaS + delta) * hn::Set(d, gw::kRadToDeg);
    r.lon = shiftIntoHalfTurn(d, sum);
    const V u = g * cosS0 - sinB1 * sinS0;
    const V tanB2 = (sinB1 * cosS0 + g * sinS0) / (hn::Set(d, 1 - f) * hn::Sqrt(c * c + u * u));
    r.lat = AtanOf<kExact>(d, tanB2) * hn::Set(d, gw::kRadToDeg);

    const V hair = hn::Set(d, dd::kSignHair);
    const V rmin = hn::Set(d, dd::kNearPoleRadius) * (one + ss / two);
    r.fragile = hn::Or(hn::Lt(hn::Abs(sinS0), hair), hn::Lt(num * num + D * D, rmin * rmin));
    r.fragile = hn::Or(r.fragile, hn::AndNot(meridian, hn::Lt(hn::Abs(sinA), hair)));
    r.fragile = hn::Or(r.fragile, hn::Not(hn::Lt(hn::Abs(sum), hn::Set(d, dd::kSumLimit))));
    r.redo = hn::Not(hn::Le(s, hn::Set(d, dd::kLongestLine)));
    return r;
}

// Sodano's solution once more for the fragile lanes at the indices idx (count of
// them, up to a vector), gathered into one vector, with the C library's functions:
// the one-point function's result bit for bit. A lane whose result is not finite
// goes to the one-point function.
HWY_NOINLINE void exactLanes(DF d, const GeodesicConstants& k, const size_t* idx, size_t count,
                             const double* HWY_RESTRICT lat, const double* HWY_RESTRICT lon,
                             const double* HWY_RESTRICT azimuth, const double* HWY_RESTRICT distance,
                             double* HWY_RESTRICT lat2, double* HWY_RESTRICT lon2, int* HWY_RESTRICT steps) {
    HWY_ALIGN double la[hn::MaxLanes(d)], lo[hn::MaxLanes(d)], az[hn::MaxLanes(d)], s[hn::MaxLanes(d)];
    for (size_t j = 0; j < hn::Lanes(d); ++j) {
        const size_t at = idx[j < count ? j : 0];
        la[j] = lat[at];
        lo[j] = lon[at];
        az[j] = azimuth[at];
        s[j] = distance[at];
    }
    const V lat1 = hn::Load(d, la);
    const V azV = hn::Load(d, az);
    const V phi1 = lat1 * hn::Set(d, gw::kDegToRad);
    const V alpha = azV * hn::Set(d, gw::kDegToRad);
    const V sinA = Libm(d, alpha, LibmSin);
    const V cosA = Libm(d, alpha, LibmCos);
    const V tanP1 = Libm(d, phi1, LibmTan);
    const Result r = sodano<true>(d, k, hn::Load(d, lo), azV, hn::Load(d, s), tanP1, sinA, cosA);
    hn::Store(r.lat, d, la);
    hn::Store(r.lon, d, lo);
    for (size_t j = 0; j < count; ++j) {
        const size_t at = idx[j];
        lat2[at] = la[j];
        lon2[at] = lo[j];
        steps[at] = std::fabs(la[j]) < 1e300 && std::fabs(lo[j]) < 1e300 ? 0 : kRedo;
    }
}

void GeodesicDirect(const GeodesicConstants& k, size_t n, const double* HWY_RESTRICT lat,
                    const double* HWY_RESTRICT lon, const double* HWY_RESTRICT azimuth,
                    const double* HWY_RESTRICT distance, double* HWY_RESTRICT lat2, double* HWY_RESTRICT lon2,
                    int* HWY_RESTRICT steps) {
    const DF d;
    const size_t N = hn::Lanes(d);
    const hn::RebindToSigned<DF> di;
    // Fragile lanes wait here until a whole vector of them can be solved again.
    size_t queue[hn::MaxLanes(d)];
    size_t queued = 0;
    for (size_t i = 0; i < n; i += N) {
        const V lat1 = hn::LoadU(d, lat + i);
        const V lon1 = hn::LoadU(d, lon + i);
        const V az = hn::LoadU(d, azimuth + i);
        const V s = hn::LoadU(d, distance + i);

        // A negative distance (the line backwards) is the one-point function's;
        // one shorter than the least distance gives the start point either way.
        const M still = hn::And(hn::Lt(s, hn::Set(d, dd::kMinDistance)), hn::Gt(s, hn::Set(d, -dd::kMinDistance)));
        const M backwards = hn::Not(hn::Gt(s, hn::Set(d, -dd::kMinDistance)));
        const M shortLine = hn::AndNot(still, hn::Lt(s, hn::Set(d, dd::kShortLine)));
        const M longLine = hn::Not(hn::Or(still, shortLine));

        V outLat = lat1;
        V outLon = lon1;
        M fragile = hn::FirstN(d, 0);
        M redo = hn::Or(hn::Not(hn::Lt(hn::Abs(lat1), hn::Set(d, 90.0))), backwards);
        // Lanes that move: azimuths the one-point code would fold, far longitudes.
        const M moving = hn::Not(still);
        const M azIn = hn::And(hn::Ge(az, hn::Set(d, -180.0)), hn::Le(az, hn::Set(d, 360.0)));
        const M lonIn = hn::Le(hn::Abs(lon1), hn::Set(d, dd::kLonLimit));
        redo = hn::Or(redo, hn::AndNot(hn::And(azIn, lonIn), moving));

        if (!hn::AllTrue(d, still)) {
            const V phi1 = lat1 * hn::Set(d, gw::kDegToRad);
            const V alpha = az * hn::Set(d, gw::kDegToRad);
            const V sinA = hn::Sin(d, alpha);
            const V cosA = hn::Cos(d, alpha);
            const V sinPhi = hn::Sin(d, phi1);
            const V cosPhi = hn::Cos(d, phi1);
            const V tanP1 = sinPhi / cosPhi;
            if (!hn::AllFalse(d, shortLine)) {
                const Result p = puissant(d, k, lat1, lon1, s, sinPhi, cosPhi, tanP1, sinA, cosA);
                outLat = hn::IfThenElse(shortLine, p.lat, outLat);
                outLon = hn::IfThenElse(shortLine, p.lon, outLon);
                redo = hn::Or(redo, hn::And(shortLine, p.redo));
            }
            if (!hn::AllFalse(d, longLine)) {
                const Result q = sodano<false>(d, k, lon1, az, s, tanP1, sinA, cosA);
                outLat = hn::IfThenElse(longLine, q.lat, outLat);
                outLon = hn::IfThenElse(longLine, q.lon, outLon);
                redo = hn::Or(redo, hn::And(longLine, q.redo));
                fragile = hn::AndNot(redo, hn::And(longLine, q.fragile));
            }
        }
        // Not finite (NaN inputs included): the one-point function decides.
        const V limit = hn::Set(d, 1e300);
        redo = hn::Or(redo, hn::Not(hn::And(hn::Lt(hn::Abs(outLat), limit), hn::Lt(hn::Abs(outLon), limit))));
        redo = hn::Or(redo, hn::Not(hn::Lt(hn::Abs(az), limit)));
        hn::StoreU(outLat, d, lat2 + i);
        hn::StoreU(outLon, d, lon2 + i);
        const auto flags = hn::IfThenElseZero(hn::RebindMask(di, redo), hn::Set(di, kRedo));
        alignas(64) int64_t tmp[HWY_MAX_BYTES / sizeof(int64_t)];
        hn::Store(flags, di, tmp);
        for (size_t j = 0; j < N; ++j) steps[i + j] = static_cast<int>(tmp[j]);
        if (!hn::AllFalse(d, fragile)) {
            hn::Store(hn::IfThenElseZero(hn::RebindMask(di, fragile), hn::Set(di, 1)), di, tmp);
            for (size_t j = 0; j < N; ++j) {
                if (tmp[j] == 0) continue;
                queue[queued++] = i + j;
                if (queued == N) {
                    exactLanes(d, k, queue, queued, lat, lon, azimuth, distance, lat2, lon2, steps);
                    queued = 0;
                }
            }
        }
    }
    if (queued > 0) exactLanes(d, k, queue, queued, lat, lon, azimuth, distance, lat2, lon2, steps);
}

} // namespace direct_vec

void GeodesicDirectBlock(const GeodesicConstants& k, size_t n, const double* lat, const double* lon,
                         const double* azimuth, const double* distance, double* lat2, double* lon2, int* steps) {
    direct_vec::GeodesicDirect(k, n, lat, lon, azimuth, distance, lat2, lon2, steps);
}

} // namespace gw::batch::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace gw::batch {

HWY_EXPORT(GeodesicDirectBlock);

void geodesicDirectBlock(SimdTier tier, const GeodesicConstants& k, std::size_t n, const double* lat,
                         const double* lon, const double* azimuth, const double* distance, double* lat2,
                         double* lon2, int* steps) {
    GW_SIMD_DISPATCH(GeodesicDirectBlock, tier)(k, n, lat, lon, azimuth, distance, lat2, lon2, steps);
}

} // namespace gw::batch
#endif
