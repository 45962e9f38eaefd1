// Angle utilities on directions in degrees.
#include "gridwise/angleutil.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;

// One shift of 360 towards zero when |d| exceeds 180; exactly +-180 stays.
double oneShift(double d) {
    if (std::fabs(d) > 180.0) {
        if (d > 0.0)
            d -= 360.0;
        else if (d < 0.0)
            d += 360.0;
    }
    return d;
}

} // namespace

extern "C" {

double arctan(double y, double x) {
    if (x == 0.0 && y == 0.0) return 0.0;
    double r = std::atan2(y, x) * 180.0 / kPi;
    if (r < 0.0) r += 360.0;
    // A tiny negative angle rounds up to 360 when 360 is added: that is 0.
    if (r >= 360.0) r = 0.0;
    return r;
}

double deltaAngle(double a, double b) { return oneShift(a - b); }

int curveDirection(double from, double to) {
    double a = oneShift(from);
    double b = oneShift(to);
    if (a > 0.0 && b > 0.0 && b > a) return -1;
    if (a < 0.0 && b < 0.0 && b > a) return -1;
    if (a < 0.0 && b > 0.0 && b - a < 180.0) return -1;
    if (a > 0.0 && b < 0.0 && a - b > 180.0) return -1;
    return 1;
}

} // extern "C"

double deltaAngle(double y, double x, double ref) { return oneShift(arctan(y, x) - ref); }
