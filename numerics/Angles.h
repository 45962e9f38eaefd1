// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Angle constants and the folds of directions and longitudes, in degrees.
//
// pi is 3.141592653589793 everywhere in the library; degrees become radians by
// multiplying with pi and dividing by 180 in the order each formula writes it (the
// two orders may differ in the last bit, so a formula keeps its own).
#ifndef GRIDWISE_NUMERICS_ANGLES_H
#define GRIDWISE_NUMERICS_ANGLES_H

#include <cmath>

namespace gw {

inline constexpr double kPi = 3.141592653589793;
inline constexpr double kDegToRad = kPi / 180.0;
inline constexpr double kRadToDeg = 180.0 / kPi;

// One shift of 360 towards zero when |d| exceeds 180: a difference of two
// directions within [-360, 360] comes into [-180, 180]; exactly +-180 stays, and
// NaN stays NaN.
inline double shiftIntoHalfTurn(double d) {
    if (std::fabs(d) > 180.0) {
        if (d > 0.0)
            d -= 360.0;
        else if (d < 0.0)
            d += 360.0;
    }
    return d;
}

// A longitude brought into (-180, 180]: values outside are reduced by fmod, exact
// for every finite value, then shifted once; -180 becomes 180. NaN and infinities
// give NaN.
inline double wrapLongitude(double lon) {
    if (lon > 180 || lon <= -180) {
        lon = std::fmod(lon, 360.0);
        if (lon > 180)
            lon -= 360;
        else if (lon <= -180)
            lon += 360;
    }
    return lon;
}

} // namespace gw

#endif
