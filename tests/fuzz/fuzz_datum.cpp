// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Datum::setData on any bytes: the names stay terminated within their 25
// characters, and the datum so set describes itself (seven lines of exactly 50
// characters each) and converts without a fault.
#include "FuzzSupport.h"
#include "geodesy/Datum.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fz::ExactText text(data, size);
    Datum datum;
    datum.setData(text.get());
    fz::check(std::memchr(datum.ellipseName, '\0', sizeof datum.ellipseName) != nullptr, "ellipse name");
    fz::check(std::memchr(datum.datumName, '\0', sizeof datum.datumName) != nullptr, "datum name");
    fz::check(datum.scalar <= 0.1 || std::isnan(datum.scalar), "scale above 0.1 kept");

    std::unique_ptr<char[][50]> lines(new char[7][50]);
    for (int i = 0; i < 7; ++i) std::memset(lines[i], 'x', 50), lines[i][49] = '\0';
    datum.update();
    datum.getLines(lines.get());
    for (int i = 0; i < 7; ++i) fz::check(std::memchr(lines[i], '\0', 50) != nullptr, "line not terminated");

    std::unique_ptr<char[]> ellipse(new char[25]), name(new char[25]);
    double a, f, dx, dy, dz, k, rx, ry, rz;
    datum.getData(ellipse.get(), a, f, name.get(), dx, dy, dz, k, rx, ry, rz);

    double lat, lon, h, az, dist;
    datum.workingToWgs84(52.0, 5.0, 0.0, lat, lon, h);
    datum.wgs84ToWorking(-33.0, 151.0, 0.0, lat, lon, h);
    datum.inverse(52.0, 5.0, 48.0, 2.0, az, dist);
    datum.direct(52.0, 5.0, 45.0, 100000.0, lat, lon);
    return 0;
}
