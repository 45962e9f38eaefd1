// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The power series of the RD projection: the coefficient tables, shared by the
// one-point conversion and the batch kernels (which evaluate them on vectors by the
// same steps), and their one-point evaluation.
//
// series(terms, u, v) is the sum of c u^p v^q over the table, in table order, the
// powers formed by repeated multiplication. Pure functions: any thread.
#ifndef GRIDWISE_PROJECTIONS_RDSERIES_H
#define GRIDWISE_PROJECTIONS_RDSERIES_H

#include <cstddef>

namespace gw::rd {

struct Term {
    int p;
    int q;
    double c;
};

// Easting from (dphi, dlambda) in units of 10000 arc-seconds: x - x0.
constexpr Term kEast[] = {
    {0, 1, 190066.98903}, {1, 1, -11830.85831}, {2, 1, -114.19754}, {0, 3, -32.3836},  {3, 1, -2.34078},
    {1, 3, -0.60639},     {2, 3, 0.15774},      {4, 1, -0.04158},   {0, 5, -0.00661},
};

// Northing from (dphi, dlambda): y - y0.
constexpr Term kNorth[] = {
    {1, 0, 309020.3181}, {0, 2, 3638.36193}, {1, 2, -157.95222}, {2, 0, 72.97141}, {3, 0, 59.79734},
    {2, 2, -6.43481},    {0, 4, 0.09351},    {3, 2, -0.07379},   {1, 4, -0.05419}, {4, 0, -0.03444},
};

// Latitude in arc-seconds from (dx, dy) in units of 100 km.
constexpr Term kLat[] = {
    {0, 1, 3236.0331637}, {2, 0, -32.5915821}, {0, 2, -0.2472814}, {2, 1, -0.8501341},
    {0, 3, -0.0655238},   {2, 2, -0.0171137},  {4, 0, 0.0052771},  {2, 3, -0.0003859},
    {4, 1, 0.0003314},    {0, 4, 0.0000371},   {4, 2, 0.0000143},  {2, 4, -0.000009},
};

// Longitude in arc-seconds from (dx, dy).
constexpr Term kLon[] = {
    {1, 0, 5261.3028966}, {1, 1, 105.9780241}, {1, 2, 2.4576469},  {3, 0, -0.8192156},
    {3, 1, -0.0560092},   {1, 3, 0.0560089},   {3, 2, -0.0025614}, {1, 4, 0.001277},
    {5, 0, 0.0002574},    {3, 3, -0.0000973},  {5, 1, 0.0000293},  {1, 5, 0.0000291},
};

constexpr int kMaxPower = 5;

// Sum of c u^p v^q over the table, in table order; powers by repeated multiplication.
template <std::size_t N>
double series(const Term (&terms)[N], double u, double v) {
    double up[kMaxPower + 1];
    double vp[kMaxPower + 1];
    up[0] = 1.0;
    vp[0] = 1.0;
    up[1] = u;
    vp[1] = v;
    for (int i = 2; i <= kMaxPower; ++i) {
        up[i] = up[i - 1] * u;
        vp[i] = vp[i - 1] * v;
    }
    double sum = 0.0;
    for (const Term& t : terms) sum += t.c * up[t.p] * vp[t.q];
    return sum;
}

} // namespace gw::rd

#endif
