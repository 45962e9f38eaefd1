// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// strToTime on any bytes; and the date and time text timeToStr writes reads back
// as the time cut to tenths of a second (for the years its two-digit form holds).
#include <cmath>

#include "FuzzSupport.h"
#include "gridwise/datetext.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fz::ExactText text(data, size);
    const double t = strToTime(text.get());
    fz::check(!std::isnan(t), "strToTime gave NaN");

    if (size >= 8) {
        fz::Bytes in(data, size);
        const double raw = in.real();
        fz::ExactText out(std::string(19, '\0')); // at most 20 bytes
        timeToStr(out.get(), raw);
        fz::check(out.length() < 20, "timeToStr length");
        // 1970-01-01 to 2049-12-31: the years written with two digits, from the
        // epoch on (times before it are split by truncation, not supported).
        const double lo = 0.0, hi = 2524521600.0;
        if (std::isfinite(raw)) {
            const double when = lo + std::fmod(std::fabs(raw), hi - lo);
            if (when == 0.0) return 0; // the empty text
            fz::ExactText text2(std::string(19, '\0'));
            timeToStr(text2.get(), when);
            const double back = strToTime(text2.get());
            if (!(back <= when + 1e-6 && back > when - 0.1 - 1e-6)) {
                char detail[120];
                std::snprintf(detail, sizeof detail, "%.17g -> %s -> %.17g", when, text2.get(), back);
                fz::fail("time round trip", detail);
            }
        }
    }
    return 0;
}
