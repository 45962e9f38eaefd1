// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// gwGeodesyFromText on any initialisation string and datum text (the input split
// at its first line break; a missing second part is a NULL datum text): a handle
// or NULL with a reason, never a fault. A handle converts a few points with every
// batch call, each point with a status from 0 to 3 and finite results for status 0.
#include <cmath>

#include "FuzzSupport.h"
#include "gridwise/batch.h"

namespace {

void checkStatus(const int* status, const double* out, std::size_t n, std::size_t converted) {
    std::size_t zeros = 0;
    for (std::size_t i = 0; i < n; ++i) {
        fz::check(status[i] >= 0 && status[i] <= 3, "status out of range");
        if (status[i] == 0) {
            ++zeros;
            fz::check(std::isfinite(out[i]), "status 0 with a non-finite result");
        } else {
            fz::check(std::isnan(out[i]), "bad point without NaN");
        }
    }
    fz::check(zeros == converted, "count of converted points");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\n');
    fz::ExactText init(input.substr(0, cut));
    std::unique_ptr<fz::ExactText> datum;
    if (cut != std::string::npos) datum.reset(new fz::ExactText(input.substr(cut + 1)));

    GwGeodesy* g = gwGeodesyFromText(init.get(), datum ? datum->get() : nullptr);
    if (!g) {
        const char* why = gwLastError();
        fz::check(why != nullptr && *why != '\0', "refused without a reason");
        return 0;
    }
    constexpr std::size_t n = 6;
    const double lat[n] = {0.0, 45.0, -33.9, 89.9, 52.1, NAN};
    const double lon[n] = {0.0, 3.0, 151.2, -170.0, 5.3, 1.0};
    const double north[n] = {0.0, 5000000.0, 2000000.0, -1000.0, 1e7, INFINITY};
    const double east[n] = {500000.0, 500000.0, 100.0, 2e6, -3e5, 0.0};
    double a[n], b[n], c[n];
    int status[n];
    std::size_t k;
    k = gwGeoToGrid(g, n, lat, sizeof(double), lon, sizeof(double), a, sizeof(double), b, sizeof(double), status);
    checkStatus(status, a, n, k);
    k = gwGridToGeo(g, n, north, sizeof(double), east, sizeof(double), a, sizeof(double), b, sizeof(double), status);
    checkStatus(status, a, n, k);
    k = gwWorkingToWgs84(g, n, lat, sizeof(double), lon, sizeof(double), lat, 0, a, sizeof(double), b,
                         sizeof(double), c, sizeof(double), status);
    checkStatus(status, a, n, k);
    k = gwWgs84ToWorking(g, n, lat, sizeof(double), lon, sizeof(double), lat, 0, a, sizeof(double), b,
                         sizeof(double), nullptr, 0, status);
    checkStatus(status, a, n, k);
    k = gwConvergence(g, n, north, sizeof(double), east, sizeof(double), a, sizeof(double), status);
    checkStatus(status, a, n, k);
    k = gwPointScale(g, n, north, sizeof(double), east, sizeof(double), a, sizeof(double), status);
    checkStatus(status, a, n, k);
    k = gwGeodesicInverse(g, n, lat, sizeof(double), lon, sizeof(double), lon, sizeof(double), lat, sizeof(double), a,
                          sizeof(double), b, sizeof(double), status);
    checkStatus(status, a, n, k);
    k = gwGeodesicDirect(g, n, lat, sizeof(double), lon, sizeof(double), lon, sizeof(double), east, sizeof(double),
                         a, sizeof(double), b, sizeof(double), status);
    checkStatus(status, a, n, k);

    GwGeodesy* copy = gwGeodesyCopy(g);
    fz::check(copy != nullptr, "copy of a handle");
    gwGeodesyFree(copy);
    gwGeodesyFree(g);
    return 0;
}
