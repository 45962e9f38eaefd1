// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Geodesic problems, datum conversion and cartesian conversion, each beside
// GeographicLib's Geodesic and Geocentric on the same ellipsoid.
#include <GeographicLib/Geocentric.hpp>
#include <GeographicLib/Geodesic.hpp>
#include <benchmark/benchmark.h>

#include "RatioReporter.h"

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "geodesy/Datum.h"
#include "numerics/Angles.h"

namespace {

struct Line {
    double lat1, lon1, azimuth, distance, lat2, lon2;
};

// 1024 lines of one length range from random starts and azimuths, with the exact
// end points, so that every call of a run sees other input.
std::vector<Line> makeLines(double minDist, double maxDist, unsigned seed) {
    Datum datum;
    const GeographicLib::Geodesic exact(datum.aAxis, 1 / datum.inverseFlattening);
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> u(0, 1);
    std::vector<Line> lines;
    while (lines.size() < 1024) {
        Line l;
        l.lat1 = (u(rng) * 2 - 1) * 70;
        l.lon1 = (u(rng) * 2 - 1) * 180;
        l.azimuth = u(rng) * 360;
        l.distance = minDist + u(rng) * (maxDist - minDist);
        exact.Direct(l.lat1, l.lon1, l.azimuth, l.distance, l.lat2, l.lon2);
        if (std::fabs(l.lat2) <= 70)
            lines.push_back(l);
    }
    return lines;
}

const std::vector<Line>& shortLines() {
    static const std::vector<Line> lines = makeLines(100, 39000, 1);
    return lines;
}
const std::vector<Line>& longLines() {
    static const std::vector<Line> lines = makeLines(100000, 9000000, 2);
    return lines;
}

const std::vector<Line>& linesOf(int which) { return which == 0 ? shortLines() : longLines(); }

void ourDirect(benchmark::State& state) {
    Datum datum;
    const auto& lines = linesOf(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        const Line& l = lines[i++ & 1023];
        double lat2, lon2;
        datum.direct(l.lat1, l.lon1, l.azimuth, l.distance, lat2, lon2);
        benchmark::DoNotOptimize(lat2);
        benchmark::DoNotOptimize(lon2);
    }
}

void peerDirect(benchmark::State& state) {
    Datum datum;
    const GeographicLib::Geodesic geod(datum.aAxis, 1 / datum.inverseFlattening);
    const auto& lines = linesOf(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        const Line& l = lines[i++ & 1023];
        double lat2, lon2;
        geod.Direct(l.lat1, l.lon1, l.azimuth, l.distance, lat2, lon2);
        benchmark::DoNotOptimize(lat2);
        benchmark::DoNotOptimize(lon2);
    }
}

void ourInverse(benchmark::State& state) {
    Datum datum;
    const auto& lines = linesOf(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        const Line& l = lines[i++ & 1023];
        double az, s;
        datum.inverse(l.lat1, l.lon1, l.lat2, l.lon2, az, s);
        benchmark::DoNotOptimize(az);
        benchmark::DoNotOptimize(s);
    }
}

void peerInverse(benchmark::State& state) {
    Datum datum;
    const GeographicLib::Geodesic geod(datum.aAxis, 1 / datum.inverseFlattening);
    const auto& lines = linesOf(static_cast<int>(state.range(0)));
    std::size_t i = 0;
    for (auto _ : state) {
        const Line& l = lines[i++ & 1023];
        double az1, az2, s;
        geod.Inverse(l.lat1, l.lon1, l.lat2, l.lon2, s, az1, az2);
        benchmark::DoNotOptimize(az1);
        benchmark::DoNotOptimize(s);
    }
}

Datum shiftedDatum() {
    Datum d;
    d.aAxis = 6378388.0;
    d.inverseFlattening = 297.0;
    d.deltaX = -87;
    d.deltaY = -98;
    d.deltaZ = -121;
    d.scalar = 1.5e-6;
    d.rotX = 0.5 / 3600;
    d.rotY = -0.3 / 3600;
    d.rotZ = 1.2 / 3600;
    std::strcpy(d.datumName, "ED50");
    d.update();
    return d;
}

void ourWorkingToWgs84(benchmark::State& state) {
    Datum datum = shiftedDatum();
    const auto& lines = shortLines();
    std::size_t i = 0;
    for (auto _ : state) {
        const Line& l = lines[i++ & 1023];
        double lat, lon, h;
        datum.workingToWgs84(l.lat1, l.lon1, 0, lat, lon, h);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
    }
}

// The same work done with the peer: geographic to cartesian on the working
// ellipsoid, the shift, cartesian to geographic on WGS 84.
void peerWorkingToWgs84(benchmark::State& state) {
    Datum datum = shiftedDatum();
    const GeographicLib::Geocentric working(datum.aAxis, 1 / datum.inverseFlattening);
    const GeographicLib::Geocentric wgs84(6378137.0, 1 / 298.2572221);
    const double rx = datum.rotX * gw::kPi / 180, ry = datum.rotY * gw::kPi / 180, rz = datum.rotZ * gw::kPi / 180;
    const double k = datum.scalar;
    const auto& lines = shortLines();
    std::size_t i = 0;
    for (auto _ : state) {
        const Line& l = lines[i++ & 1023];
        double X, Y, Z, lat, lon, h;
        working.Forward(l.lat1, l.lon1, 0, X, Y, Z);
        const double X2 = X + datum.deltaX + k * X - rz * Y + ry * Z;
        const double Y2 = Y + datum.deltaY + rz * X + k * Y - rx * Z;
        const double Z2 = Z + datum.deltaZ - ry * X + rx * Y + k * Z;
        wgs84.Reverse(X2, Y2, Z2, lat, lon, h);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
    }
}

constexpr double kA = 6378137.0, kInvF = 298.2572221, kE2 = 0.006694380022923155;

void ourGeoToCart(benchmark::State& state) {
    const auto& lines = shortLines();
    std::size_t i = 0;
    for (auto _ : state) {
        const Line& l = lines[i++ & 1023];
        double X, Y, Z;
        geoToCart(l.lat1, l.lon1, l.distance * 0.01, &X, &Y, &Z, kA, kE2);
        benchmark::DoNotOptimize(X);
        benchmark::DoNotOptimize(Y);
        benchmark::DoNotOptimize(Z);
    }
}

void peerGeoToCart(benchmark::State& state) {
    const GeographicLib::Geocentric geo(kA, 1 / kInvF);
    const auto& lines = shortLines();
    std::size_t i = 0;
    for (auto _ : state) {
        const Line& l = lines[i++ & 1023];
        double X, Y, Z;
        geo.Forward(l.lat1, l.lon1, l.distance * 0.01, X, Y, Z);
        benchmark::DoNotOptimize(X);
        benchmark::DoNotOptimize(Y);
        benchmark::DoNotOptimize(Z);
    }
}

std::vector<double> cartesianPoints() {
    const GeographicLib::Geocentric geo(kA, 1 / kInvF);
    std::vector<double> xyz;
    for (const Line& l : shortLines()) {
        double X, Y, Z;
        geo.Forward(l.lat1, l.lon1, l.distance * 0.01, X, Y, Z);
        xyz.insert(xyz.end(), {X, Y, Z});
    }
    return xyz;
}

void ourCartToGeo(benchmark::State& state) {
    const std::vector<double> xyz = cartesianPoints();
    std::size_t i = 0;
    for (auto _ : state) {
        const double* p = &xyz[3 * (i++ & 1023)];
        double lat, lon, h;
        cartToGeo(&lat, &lon, &h, p[0], p[1], p[2], kA, kInvF, kE2);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
        benchmark::DoNotOptimize(h);
    }
}

void peerCartToGeo(benchmark::State& state) {
    const GeographicLib::Geocentric geo(kA, 1 / kInvF);
    const std::vector<double> xyz = cartesianPoints();
    std::size_t i = 0;
    for (auto _ : state) {
        const double* p = &xyz[3 * (i++ & 1023)];
        double lat, lon, h;
        geo.Reverse(p[0], p[1], p[2], lat, lon, h);
        benchmark::DoNotOptimize(lat);
        benchmark::DoNotOptimize(lon);
        benchmark::DoNotOptimize(h);
    }
}

} // namespace

// Argument 0: short lines (100 m to 39 km), 1: long lines (100 km to 9000 km).
BENCHMARK(ourDirect)->Arg(0)->Arg(1);
BENCHMARK(peerDirect)->Arg(0)->Arg(1);
BENCHMARK(ourInverse)->Arg(0)->Arg(1);
BENCHMARK(peerInverse)->Arg(0)->Arg(1);
BENCHMARK(ourWorkingToWgs84);
BENCHMARK(peerWorkingToWgs84);
BENCHMARK(ourGeoToCart);
BENCHMARK(peerGeoToCart);
BENCHMARK(ourCartToGeo);
BENCHMARK(peerCartToGeo);

int main(int argc, char** argv) {
    return gwbench::runWithRatios(argc, argv, {
        {"ourDirect/0", "peerDirect/0"},
        {"ourDirect/1", "peerDirect/1"},
        {"ourInverse/0", "peerInverse/0"},
        {"ourInverse/1", "peerInverse/1"},
        {"ourWorkingToWgs84", "peerWorkingToWgs84"},
        {"ourGeoToCart", "peerGeoToCart"},
        {"ourCartToGeo", "peerCartToGeo"}
    });
}
