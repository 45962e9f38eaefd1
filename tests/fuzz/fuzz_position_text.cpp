// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// strToPsn on any bytes, geographic and grid (the grid form through the geodesy
// instance, with a projection of each grid format); and the geographic position
// psnToStr writes reads back within half a unit of its last decimal.
#include <cmath>

#include "FuzzSupport.h"
#include "gridwise/geodetics.h"
#include "gridwise/postext.h"
#include "gridwise/units.h"

namespace {

const char* settingsFile() {
    static const std::string path = fz::writeFile(
        "position.ini",
        "[tm]\nGeodesyType=0\n[local]\nGeodesyType=5\n[staoff]\nGeodesyType=6\n"
        "[lambert]\nGeodesyType=1\nunits=1\n");
    return path.c_str();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool ready = [] {
        allocUnits(nullptr);
        allocGeodetics();
        return true;
    }();
    (void)ready;
    static int loaded = -1;
    if (size < 1) return 0;
    const int mode = data[0] % 5;
    if (mode > 0 && mode != loaded) {
        static const char* sections[] = {"", "tm", "local", "staoff", "lambert"};
        loadGeoData(const_cast<char*>(sections[mode]), const_cast<char*>(settingsFile()));
        loaded = mode;
    }
    double lat = 1.5, lon = 2.5;
    fz::ExactText text(data + 1, size - 1);
    strToPsn(text.get(), mode == 0, &lat, &lon);
    strToPsn(text.get(), mode == 0, nullptr, nullptr);

    if (mode == 0 && size >= 17) {
        fz::Bytes in(data + 1, size - 1);
        const double la = std::fmod(in.real(), 90.0);
        const double lo = std::fmod(in.real(), 180.0);
        if (std::isfinite(la) && std::isfinite(lo)) {
            fz::ExactText out(std::string(64, '\0')); // psnToStr writes at most 65 bytes
            psnToStr(out.get(), 1, la, lo);
            double rla = 0, rlo = 0;
            strToPsn(out.get(), 1, &rla, &rlo);
            const double tol = 0.5e-4 / 60.0 * (1 + 1e-9) + 1e-12; // four decimals of minutes
            if (!(std::fabs(rla - la) <= tol && std::fabs(rlo - lo) <= tol)) {
                char detail[200];
                std::snprintf(detail, sizeof detail, "%.17g %.17g -> %s -> %.17g %.17g", la, lo,
                              fz::hex(out.get()).c_str(), rla, rlo);
                fz::fail("position round trip", detail);
            }
        }
    }
    return 0;
}
