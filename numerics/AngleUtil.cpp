// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Angle utilities on directions in degrees.
#include "gridwise/angleutil.h"

#include "numerics/Angles.h"

#include <cmath>

extern "C" {

double arctan(double y, double x) {
    if (x == 0.0 && y == 0.0) return 0.0;
    double r = std::atan2(y, x) * 180.0 / gw::kPi;
    if (r < 0.0) r += 360.0;
    // A tiny negative angle rounds up to 360 when 360 is added: that is 0.
    if (r >= 360.0) r = 0.0;
    return r;
}

double deltaAngle(double a, double b) { return gw::shiftIntoHalfTurn(a - b); }

int curveDirection(double from, double to) {
    double a = gw::shiftIntoHalfTurn(from);
    double b = gw::shiftIntoHalfTurn(to);
    if (a > 0.0 && b > 0.0 && b > a) return -1;
    if (a < 0.0 && b < 0.0 && b > a) return -1;
    if (a < 0.0 && b > 0.0 && b - a < 180.0) return -1;
    if (a > 0.0 && b < 0.0 && a - b > 180.0) return -1;
    return 1;
}

} // extern "C"

double deltaAngle(double y, double x, double ref) { return gw::shiftIntoHalfTurn(arctan(y, x) - ref); }
