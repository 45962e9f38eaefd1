// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// parseStrToAng and strToAng on any bytes; and every angle, latitude and longitude
// text the writers produce reads back within half a unit of its last decimal.
#include <cmath>

#include "FuzzSupport.h"
#include "gridwise/angletext.h"

namespace {

// Half a unit of the last field in degrees: seconds (style 0) or minutes.
double halfUnit(int decimals, int style) {
    const int d = decimals < 0 ? 0 : (decimals > 6 ? 6 : decimals);
    return 0.5 * std::pow(10.0, -d) / (style == 0 ? 3600.0 : 60.0);
}

void roundTrip(int which, double value, int decimals, int style) {
    fz::ExactText text(std::string(32, '\0'));
    int written = 0;
    if (which == 0)
        written = angToStr(text.get(), value, decimals, style);
    else if (which == 1)
        written = latToStr(text.get(), value, decimals, style);
    else
        written = lonToStr(text.get(), value, decimals, style);
    fz::check(written >= 0 && written < 32 && static_cast<std::size_t>(written) == text.length(),
              "writer length", fz::hex(text.get()));

    fz::ExactText exact(std::string(text.get()));
    int pos = -1;
    const double read = parseStrToAng(exact.get(), &pos);
    fz::check(pos >= 0 && static_cast<std::size_t>(pos) <= exact.size(), "position");

    double expected = value;
    if (which == 0) {
        // Written modulo 360 (NaN and infinities as the zero angle).
        if (!std::isfinite(value)) return;
        expected = std::fmod(value, 360.0);
    } else if (!(std::fabs(value) <= (which == 1 ? 90.0 : 180.0))) {
        fz::check(read == 0.0, "out-of-range text", fz::hex(text.get()));
        return;
    }
    double diff = read - expected;
    if (which == 0) diff = std::remainder(diff, 360.0);
    const double tol = halfUnit(decimals, style) * (1 + 1e-9) + 1e-12;
    if (!(std::fabs(diff) <= tol)) {
        char detail[160];
        std::snprintf(detail, sizeof detail, "%.17g d=%d s=%d -> %s -> %.17g", value, decimals, style,
                      text.get(), read);
        fz::fail("angle round trip", detail);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        fz::ExactText text(data, size);
        int pos = -1;
        const double a = parseStrToAng(text.get(), &pos);
        fz::check(pos >= 0 && static_cast<std::size_t>(pos) <= text.length(), "parseStrToAng position");
        (void)a;
        fz::ExactText again(data, size);
        const double b = strToAng(again.get());
        fz::check(std::isnan(a) ? std::isnan(b) : a == b, "strToAng differs from parseStrToAng");
        parseStrToAng(again.get(), nullptr);
    }
    if (size >= 11) {
        fz::Bytes in(data, size);
        const int which = in.byte() % 3;
        const int decimals = static_cast<std::int8_t>(in.byte()) % 9; // -8..8, clamped by the writers
        const int style = in.byte() % 3;
        const double value = in.real();
        roundTrip(which, value, decimals, style);
        // The same value scaled into a sensible range, where the bits above rarely land.
        if (std::isfinite(value)) {
            const double range = which == 1 ? 90.0 : (which == 2 ? 180.0 : 720.0);
            roundTrip(which, std::fmod(value, range), decimals, style);
        }
    }
    return 0;
}
