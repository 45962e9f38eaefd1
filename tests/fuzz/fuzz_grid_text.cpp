// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// parseStrToGridCoord on any bytes for every grid format (north/east, Y/X and the
// station form), through the overload that takes the caller's projection and unit
// table and through the process-wide one; and every grid text gridToStr writes
// reads back within half a unit of its last decimal.
#include <cmath>

#include "FuzzSupport.h"
#include "gridwise/postext.h"
#include "gridwise/projection.h"
#include "gridwise/units.h"

namespace {

// A projection of each grid format and unit: Transverse Mercator (north/east) in
// each unit, a local tangent system (Y/X) and a station/offset system.
Projection& projectionFor(int format, int unit) {
    static Projection* tm[6] = {};
    static Projection local(const_cast<char*>("5,Local,0,0,"));
    static Projection staOff(const_cast<char*>(
        "6,StaOff,0,0,0,0,0,UTM Zone 11,W117 00.0000,0.00,500000.00,0.999600,N00 00.0000,0"));
    if (format == 1) return local;
    if (format == 2) return staOff;
    if (!tm[unit]) {
        char init[96];
        std::snprintf(init, sizeof init, "0,n,E003 00.0000,0.00,0.00,1.000000,N00 00.0000,%d", unit);
        tm[unit] = new Projection(init);
    }
    return *tm[unit];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    static Units units;
    const int format = data[0] % 3;
    const int projUnit = (data[0] / 3) % 6;
    const int unit = static_cast<std::int8_t>(data[1]) % 8;
    Projection& projection = projectionFor(format, projUnit);
    {
        fz::ExactText text(data + 2, size - 2);
        int pos = -1;
        parseStrToGridCoord(text.get(), &pos, unit, projection, units);
        fz::check(pos >= 0 && static_cast<std::size_t>(pos) <= text.length(), "grid position");
        fz::ExactText again(data + 2, size - 2);
        pos = -1;
        parseStrToGridCoord(again.get(), &pos, unit); // no geodesy instance: a plain value
        fz::check(pos >= 0 && static_cast<std::size_t>(pos) <= again.length(), "plain grid position");
    }
    if (size >= 11) {
        fz::Bytes in(data + 2, size - 2);
        const int axis = in.byte() % 3;
        const double meters = in.real();
        fz::ExactText out(std::string(31, '\0')); // gridToStr writes at most 32 bytes
        gridToStr(out.get(), meters, axis, projection, units);
        const std::string written = out.get();
        const std::size_t point = written.rfind('.');
        // Values the reader takes whole: finite, within its 12-character runs.
        if (std::isfinite(meters) && std::fabs(meters) < 1e8 && point != std::string::npos) {
            std::size_t decimals = 0;
            while (point + 1 + decimals < written.size() &&
                   std::isdigit(static_cast<unsigned char>(written[point + 1 + decimals])))
                ++decimals;
            const int pu = projection.getUnits();
            const double perUnit = pu >= 0 && pu <= 4 ? units.unitTable[pu].metersPerUnit : 1.0;
            fz::ExactText back(written);
            int pos = 0;
            const double read = parseStrToGridCoord(back.get(), &pos, pu, projection, units);
            const double tol = 0.5 * std::pow(10.0, -static_cast<double>(decimals)) * perUnit * (1 + 1e-9) +
                               std::fabs(meters) * 1e-15;
            if (!(std::fabs(read - meters) <= tol)) {
                char detail[160];
                std::snprintf(detail, sizeof detail, "%.17g axis=%d format=%d -> %s -> %.17g", meters, axis,
                              format, written.c_str(), read);
                fz::fail("grid round trip", detail);
            }
        }
    }
    return 0;
}
