// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Geodesic direct and inverse problems on the working ellipsoid.
//
// Lines under 40000 m use Puissant's short-line formulas (L. Puissant, Traité de
// géodésie): the latitude difference as a series to the third order in the
// distance, with a first-order correction for the change of the meridian radius
// along the line, and the longitude difference from the prime-vertical radius at
// the end point. The short-line inverse takes the first-order components
// x = dLambda N2 cos(phi2), y = dPhi M1 / (1 - k dPhi) and refines the distance and
// azimuth with the second- and third-order terms by fixed-point steps; it stops
// when a step changes the distance by at most 0.1 mm or the azimuth by at most
// 1.7453e-6 degree, and after four steps at the latest.
//
// Longer lines use Sodano's non-iterative solution (E. M. Sodano, "General
// non-iterative solution of the inverse and direct geodetic problems", Bulletin
// Géodésique 75, 1965): closed series on the auxiliary sphere of reduced latitudes,
// carried to the square of the flattening (f^2 and e'^4 terms).
#include <cmath>

#include "geodesy/Datum.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/GeodesicRules.h"
#include "gridwise/angleutil.h"
#include "numerics/Angles.h"

namespace {

using gw::kDegToRad;
using gw::kPi;
using gw::kRadToDeg;

using gw::geodesic::kEastWest;
using gw::geodesic::kEstimateRadius;
using gw::geodesic::kMinDistance;
using gw::geodesic::kPuissantLatitude;
using gw::geodesic::kRefineAzimuth;
using gw::geodesic::kRefineDistance;
using gw::geodesic::kRefineSteps;
using gw::geodesic::kShortLine;

// An azimuth of a short line with its sine and cosine, and the distance formed
// from the line's components with the better-conditioned one.
struct Heading {
    double azimuth; // degrees, [0, 360)
    double sinA, cosA;
    double distance;
};

// The quantities of Puissant's formulas at the start latitude phi.
struct PuissantStart {
    double sinPhi, cosPhi, tanPhi;
    double w; // 1 - e^2 sin^2 phi
    double m; // meridian radius of curvature, a (1 - e^2) / w^1.5
    double n; // prime-vertical radius of curvature, a / sqrt(w)
    double k; // 3 e^2 sin phi cos phi / (2 w), which is (dM / dphi) / (2 M)
};

inline PuissantStart puissantStart(double phi, double a, double e2) {
    PuissantStart p;
    p.sinPhi = std::sin(phi);
    p.cosPhi = std::cos(phi);
    p.tanPhi = std::tan(phi);
    p.w = 1 - e2 * (p.sinPhi * p.sinPhi);
    p.m = a * (1 - e2) / std::pow(p.w, 1.5);
    p.n = a / std::sqrt(p.w);
    p.k = 3 * e2 * p.sinPhi * p.cosPhi / (2 * p.w);
    return p;
}

inline Heading heading(double x, double y) {
    Heading h;
    h.azimuth = arctan(x, y);
    const double alpha = h.azimuth * kDegToRad;
    h.sinA = std::sin(alpha);
    h.cosA = std::cos(alpha);
    h.distance = std::fabs(h.sinA) <= 0.5 ? y / h.cosA : x / h.sinA;
    return h;
}

} // namespace

namespace {

// Puissant's short-line direct: the end point's latitude and its longitude
// difference (degrees, not wrapped).
void puissantDirect(const gw::Ellipsoid& el, double lat1, double s, double sinA, double cosA, double& lat2,
                    double& dLon) {
    const double a = el.a;
    const double e2 = el.e2;
    const double phi1 = lat1 * kDegToRad;
    const PuissantStart p1 = puissantStart(phi1, a, e2);
    const double tanP1 = p1.tanPhi;
    const double m1 = p1.m;
    const double n1 = p1.n;
    const double sin2A = sinA * sinA;
    const double A = s * cosA;
    const double B = s * s * tanP1 * sin2A;
    const double C = (1 + 3 * (tanP1 * tanP1)) * (s * s * s) * cosA * sin2A;
    const double delta = A / n1 - B / (2 * (n1 * n1)) - C / (6 * (n1 * n1 * n1));
    const double dPhi = (A / m1 - B / (2 * m1 * n1) - C / (6 * m1 * (n1 * n1))) * (1 - p1.k * delta);
    lat2 = lat1 + dPhi * kRadToDeg;

    const double phi2 = lat2 * kDegToRad;
    const double sinP2 = std::sin(phi2);
    const double cosP2 = std::cos(phi2);
    const double n2 = gw::primeVerticalRadius(a, e2, sinP2);
    const double dLambda =
        (s * sinA / (n2 * cosP2)) * (1 - (s * s / (6 * (n2 * n2))) * (1 - sin2A / (cosP2 * cosP2)));
    dLon = dLambda * kRadToDeg;
}

// Sodano's direct: the end point's latitude and its longitude before the wrap
// (lon1 plus the longitude difference, degrees).
void sodanoDirect(const gw::Ellipsoid& el, double lat1, double lon1, double azimuth, double s, double sinA,
                  double cosA, double& lat2, double& lonSum) {
    const double f = el.f;
    const double ep2 = el.ep2;
    const double ep4 = ep2 * ep2;
    const double f2 = f * f;
    const double b = el.b;
    const double phi1 = lat1 * kDegToRad;
    const double beta1 = std::atan((1 - f) * std::tan(phi1));
    const double sinB1 = std::sin(beta1);
    const double cosB1 = std::cos(beta1);
    const double sin2B1 = sinB1 * sinB1;
    const double c = sinA * cosB1;
    const double g = cosA * cosB1;
    const double m = (1 - c * c) * (1 + ep2 * sin2B1 / 2);
    const double ss = s / b;
    const double sinS = std::sin(ss);
    const double cosS = std::cos(ss);
    const double a1 = sin2B1 * cosS + g * sinB1 * sinS;
    const double sigma0 = ss + (1 + ep2 * sin2B1 / 2) * a1 * (-ep2 * sinS / 2) +
                          m * (ep2 * sinS * cosS / 4 - ep2 * ss / 4) + (a1 * a1) * 5 * ep4 * sinS * cosS / 8 +
                          (m * m) * (11 * ep4 * ss / 64 - 13 * ep4 * sinS * cosS / 64 - ep4 * ss * (cosS * cosS) / 8 +
                                     5 * ep4 * sinS * (cosS * cosS * cosS) / 32) +
                          m * a1 * (3 * ep4 * sinS / 8 + ep4 * ss * cosS / 4 - 5 * ep4 * sinS * (cosS * cosS) / 8);
    const double sinS0 = std::sin(sigma0);
    const double cosS0 = std::cos(sigma0);
    const double D = cosS0 * cosB1 - sinB1 * sinS0 * cosA;

    // The quadrant of the longitude on the auxiliary sphere follows the side of
    // the azimuth: [0, 180] east, anything else west. That holds for azimuths in
    // [-180, 360]; one given further out is first brought into [0, 360). (This is
    // a fold of its own: neither the longitude wrap nor the half-turn shift keeps
    // the side of the azimuth for every value.)
    double az = azimuth;
    if (az < -180 || az > 360) {
        az = std::fmod(az, 360.0);
        if (az < 0)
            az += 360;
    }
    double lambdaS;
    if (az == 0.0 || az == 180.0) {
        lambdaS = 0;
        if (D < 0)
            lambdaS += kPi; // over a pole
    } else {
        const double R = sinS0 * sinA / D;
        lambdaS = std::atan(R);
        // Past the antipode of the start (sigma0 beyond a half turn, where the
        // sine of the arc turns negative) a line has gone round to the other side.
        const bool eastSide = az >= 0 && az <= 180;
        if (eastSide != (sinS0 < 0)) {
            if (R < 0)
                lambdaS = std::atan(R) + kPi;
        } else if (R > 0) {
            lambdaS = std::atan(R) - kPi;
        }
    }
    const double delta = c * (m * (3 * f2 * ss / 4 - 3 * f2 * sinS * cosS / 4) + 3 * f2 * a1 * sinS / 2 - f * ss);
    lonSum = lon1 + (lambdaS + delta) * kRadToDeg;
    const double u = g * cosS0 - sinB1 * sinS0;
    lat2 = std::atan((sinB1 * cosS0 + g * sinS0) / ((1 - f) * std::sqrt(c * c + u * u))) * kRadToDeg;
}

} // namespace

void Datum::direct(double lat1, double lon1, double azimuth, double distance, double& lat2, double& lon2) {
    // A negative distance runs backwards: the line of |distance| in the opposite
    // azimuth.
    if (distance < 0) {
        distance = -distance;
        azimuth += 180;
    }
    if (distance < kMinDistance) {
        lat2 = lat1;
        lon2 = gw::wrapLongitude(lon1);
        return;
    }
    const gw::Ellipsoid el = gw::ellipsoidOf(*this);
    const double s = distance;
    const double alpha = azimuth * kDegToRad;
    const double sinA = std::sin(alpha);
    const double cosA = std::cos(alpha);

    if (s < kShortLine) {
        // Puissant's series, while both ends stay within kPuissantLatitude: closer
        // to a pole (and over it) their terms in tan phi grow without bound, and
        // the line is left to Sodano's formulas, which hold there.
        double la = 0, dLon = 0;
        puissantDirect(el, lat1, s, sinA, cosA, la, dLon);
        if (std::fabs(lat1) <= kPuissantLatitude && std::fabs(la) <= kPuissantLatitude) {
            lat2 = la;
            lon2 = gw::wrapLongitude(lon1 + dLon);
            return;
        }
    }
    double lonSum = 0;
    sodanoDirect(el, lat1, lon1, azimuth, s, sinA, cosA, lat2, lonSum);
    lon2 = gw::wrapLongitude(lonSum);
}

void Datum::inverse(double lat1, double lon1, double lat2, double lon2, double& azimuth, double& distance) {
    inverseSteps(lat1, lon1, lat2, lon2, azimuth, distance);
}

int Datum::inverseSteps(double lat1, double lon1, double lat2, double lon2, double& azimuth, double& distance) {
    const double dLatDeg = lat2 - lat1;
    const double dLonDeg = lon2 - lon1;
    if (dLatDeg == 0 && dLonDeg == 0) {
        azimuth = 0;
        distance = 0;
        return 0;
    }
    const double dPhi = dLatDeg * kDegToRad;
    const double dLambda = dLonDeg * kDegToRad;
    const double estimate = kEstimateRadius * std::acos(std::cos(dPhi) * std::cos(dLambda));

    const gw::Ellipsoid el = gw::ellipsoidOf(*this);
    const double a = el.a;
    const double f = el.f;
    const double e2 = el.e2;
    const double phi1 = lat1 * kDegToRad;
    const double phi2 = lat2 * kDegToRad;

    if (estimate < kShortLine) {
        // Puissant, inverted. The longitude difference is taken across the
        // nearer side of the +-180 meridian, as the estimate does. (remainder
        // takes off any number of turns, where the half-turn shift takes off one,
        // and an odd multiple of 180 may come out as -180, where the longitude
        // wrap gives 180: this fold stays as it is.)
        const double dLambdaEast = std::fabs(dLonDeg) > 180 ? std::remainder(dLonDeg, 360.0) * kDegToRad : dLambda;
        const PuissantStart p1 = puissantStart(phi1, a, e2);
        const double tanP1 = p1.tanPhi;
        const double sinP2 = std::sin(phi2);
        const double cosP2 = std::cos(phi2);
        const double m1 = p1.m;
        const double n1 = p1.n;
        const double n2 = gw::primeVerticalRadius(a, e2, sinP2);
        const double x = dLambdaEast * n2 * cosP2;
        const double y = dPhi * m1 / (1 - p1.k * dPhi);

        Heading cur = heading(x, y);
        int steps = 0;
        for (int step = 0; step < kRefineSteps; ++step) {
            const double s = cur.distance;
            const double sin2A = cur.sinA * cur.sinA;
            const double t = s * s * s * cur.sinA / (6 * (n2 * n2));
            const double xr = x + t - t * sin2A / (cosP2 * cosP2);
            const double yr = y + s * s * tanP1 * sin2A / (2 * n1) +
                              (1 + 3 * (tanP1 * tanP1)) * (s * s * s) * cur.cosA * sin2A / (6 * (n1 * n1));
            const Heading next = heading(xr, yr);
            const bool settled = std::fabs(next.distance - s) <= kRefineDistance ||
                                 std::fabs(next.azimuth - cur.azimuth) <= kRefineAzimuth;
            cur = next;
            steps = step + 1;
            if (settled)
                break;
        }
        azimuth = cur.azimuth;
        distance = cur.distance;
        return steps;
    }

    // Sodano, inverse.
    if (std::fabs(lat2 - lat1) + std::fabs(lon2 - lon1) < 1e-5) {
        azimuth = 0;
        distance = 0;
        return 0;
    }
    // Both longitudes are first taken into [0, 360) by one turn at most (a fold
    // of its own, kept because the difference is formed from the shifted values).
    double l1 = lon1, l2 = lon2;
    if (l1 < 0)
        l1 += 360;
    if (l2 < 0)
        l2 += 360;
    double L = gw::shiftIntoHalfTurn(l2 - l1);
    L *= kDegToRad;

    const double f2 = f * f;
    const double F1 = f + f2;
    const double b = el.b;
    const double beta1 = std::atan((1 - f) * std::tan(phi1));
    const double beta2 = std::atan((1 - f) * std::tan(phi2));
    const double sinB1 = std::sin(beta1), cosB1 = std::cos(beta1);
    const double sinB2 = std::sin(beta2), cosB2 = std::cos(beta2);
    const double P = sinB1 * sinB2;
    const double Q = cosB1 * cosB2;
    const double sinL = std::sin(L), cosL = std::cos(L);
    const double cosSigma = P + Q * cosL;
    // Rounding can take the cosine a hair beyond +-1 for nearly antipodal points.
    const double sigma = std::acos(cosSigma > 1 ? 1.0 : (cosSigma < -1 ? -1.0 : cosSigma));
    const double u = sinL * cosB2;
    const double v = sinB2 * cosB1 - sinB1 * cosB2 * cosL;
    const double sinSigma = std::sqrt(u * u + v * v);
    const double c = Q * sinL / sinSigma;
    const double m = 1 - c * c;
    const double sigma2 = sigma * sigma;
    const double cos2S = cosSigma * cosSigma;

    distance = b * ((1 + f + f2) * sigma + P * (F1 * sinSigma - f2 * sigma2 / (2 * sinSigma)) -
                    (m / 2) * (F1 * (sigma + sinSigma * cosSigma) - f2 * sigma2 * cosSigma / sinSigma) -
                    (P * P / 2) * f2 * sinSigma * cosSigma +
                    (m * m / 16) * (f2 * sigma + f2 * sinSigma * cosSigma - 8 * f2 * sigma2 * cosSigma / sinSigma -
                                    2 * f2 * sinSigma * (cos2S * cosSigma)) +
                    (P * m / 2) * (f2 * sinSigma * cos2S + f2 * sigma2 / sinSigma));

    const double lambda = L + c * (F1 * sigma - (P / 2) * (f2 * sinSigma + 2 * f2 * sigma2 / sinSigma) +
                                   (m / 4) * (f2 * sinSigma * cosSigma - 5 * f2 * sigma + 4 * f2 * sigma2 * cosSigma / sinSigma));

    const double D = sinB2 * cosB1 - std::cos(lambda) * sinB1 * cosB2;
    if (L == 0) {
        azimuth = D < 0 ? 180 : 0;
    } else if (std::fabs(D) <= kEastWest) {
        azimuth = L > 0 ? 90 : 270;
    } else {
        const double X = cosB2 * std::sin(lambda) / D;
        const double A = std::atan(X) * kRadToDeg;
        if (L > 0) {
            azimuth = A;
            if (X < 0)
                azimuth += 180;
        } else {
            azimuth = A + 360;
            if (X > 0)
                azimuth -= 180;
        }
    }
    return 0;
}
