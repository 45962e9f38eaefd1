// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// parseStrToUnit on any bytes with any default unit; Units::fromStr agrees with it;
// and the distance text Units::toStr writes, into a buffer of exactly the capacity
// it is given, reads back within half a unit of its last decimal.
#include <cmath>

#include "FuzzSupport.h"
#include "gridwise/units.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static Units units;
    const int unit = static_cast<std::int8_t>(data[0]) % 12; // -11..11: records 0..4 and beyond
    {
        fz::ExactText text(data + 1, size - 1);
        int pos = -1;
        const double v = parseStrToUnit(text.get(), &pos, unit);
        fz::check(pos >= 0 && static_cast<std::size_t>(pos) <= text.length(), "parseStrToUnit position");
        fz::ExactText again(data + 1, size - 1);
        int pos2 = -1;
        const double w = units.fromStr(again.get(), unit, &pos2);
        fz::check((std::isnan(v) ? std::isnan(w) : v == w) && pos == pos2, "Units::fromStr differs");
        parseStrToUnit(again.get(), nullptr, unit);
    }
    if (size >= 11) {
        fz::Bytes in(data + 1, size - 1);
        const int u = in.byte() % 6;
        const int decimals = in.byte() % 12; // clamped to 0..9
        const double meters = in.real();
        const int capacity = 1 + in.byte() % 40;
        fz::ExactText out(std::string(static_cast<std::size_t>(capacity - 1), 'x'));
        units.toStr(out.get(), meters, u, decimals, capacity);
        fz::check(out.length() < static_cast<std::size_t>(capacity), "toStr overran its capacity");

        fz::ExactText full(std::string(63, '\0'));
        units.toStr(full.get(), meters, u, decimals, 64);
        const std::string written = full.get();
        const std::size_t digits = written.find_first_not_of("-0123456789.");
        // Only texts whose number the reader takes whole (a run of at most 12).
        if (std::isfinite(meters) && digits != std::string::npos && digits <= 12 && digits > 0 &&
            written[0] != '-') {
            const double perUnit = u <= 4 ? units.unitTable[u].metersPerUnit : 1.0;
            const int d = decimals > 9 ? 9 : decimals;
            int pos = 0;
            const double back = units.fromStr(full.get(), u, &pos);
            const double tol = 0.5 * std::pow(10.0, -d) * perUnit * (1 + 1e-9) + std::fabs(meters) * 1e-15;
            if (!(std::fabs(back - meters) <= tol)) {
                char detail[160];
                std::snprintf(detail, sizeof detail, "%.17g u=%d d=%d -> %s -> %.17g", meters, u, decimals,
                              written.c_str(), back);
                fz::fail("distance round trip", detail);
            }
        }
    }
    return 0;
}
