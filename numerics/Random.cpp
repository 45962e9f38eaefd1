// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Uniform deviates from three shuffled congruential sequences, and Gaussian
// deviates by the polar Box-Muller method.
#include "gridwise/filters.h"
#include "numerics/Statistics.h"

#include <cmath>
#include <cstdint>

namespace {

// The three sequences: modulus, multiplier, increment.
constexpr std::int32_t kM1 = 259200, kA1 = 7141, kC1 = 54773;
constexpr std::int32_t kM2 = 134456, kA2 = 8121, kC2 = 28411;
constexpr std::int32_t kM3 = 243000, kA3 = 4561, kC3 = 51349;

// 32-bit two's-complement wrap of an intermediate value.
inline std::int32_t wrap32(std::int64_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

// One step of a sequence in signed 32-bit arithmetic; the remainder takes the sign
// of the dividend, so a negative state stays negative until it climbs out.
inline std::int32_t advance(std::int32_t s, std::int32_t a, std::int32_t c, std::int32_t m) {
    return wrap32(static_cast<std::int64_t>(a) * s + c) % m;
}

inline float tableEntry(std::int32_t s1, std::int32_t s2) {
    return static_cast<float>((s1 + s2 / static_cast<double>(kM2)) / kM1);
}

std::int32_t g_s1 = 0, g_s2 = 0, g_s3 = 0;
float g_table[98]; // slots 1 to 97
bool g_seeded = false;

bool g_haveSpare = false;
double g_spare = 0.0;

} // namespace

namespace gw {

double uniformDeviate(int* seed) {
    int dummy = 0;
    if (!seed) seed = &dummy;
    if (*seed < 0 || !g_seeded) {
        g_seeded = true;
        g_s1 = wrap32(static_cast<std::int64_t>(kC1) - *seed) % kM1;
        g_s1 = advance(g_s1, kA1, kC1, kM1);
        g_s2 = g_s1 % kM2;
        g_s1 = advance(g_s1, kA1, kC1, kM1);
        g_s3 = g_s1 % kM3;
        for (int j = 1; j <= 97; ++j) {
            g_s1 = advance(g_s1, kA1, kC1, kM1);
            g_s2 = advance(g_s2, kA2, kC2, kM2);
            g_table[j] = tableEntry(g_s1, g_s2);
        }
        *seed = 1;
    }
    g_s1 = advance(g_s1, kA1, kC1, kM1);
    g_s2 = advance(g_s2, kA2, kC2, kM2);
    g_s3 = advance(g_s3, kA3, kC3, kM3);
    const std::int32_t j = 1 + (97 * g_s3) / kM3;
    if (j < 1 || j > 97) return 0.0;
    const double result = g_table[j];
    g_table[j] = tableEntry(g_s1, g_s2);
    return result;
}

} // namespace gw

double gasdev(int* seed) {
    if (g_haveSpare) {
        g_haveSpare = false;
        return g_spare;
    }
    double p, q, r;
    do {
        p = 2.0 * gw::uniformDeviate(seed) - 1.0;
        q = 2.0 * gw::uniformDeviate(seed) - 1.0;
        r = p * p + q * q;
    } while (r >= 1.0 || r == 0.0);
    const double fac = std::sqrt(-2.0 * std::log(r) / r);
    g_spare = p * fac;
    g_haveSpare = true;
    return q * fac;
}
