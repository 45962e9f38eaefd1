// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Batch conversions on a geodesy handle (gridwise/batch.h): strided arrays in and
// out, a status per point, and the domain rules that turn a projection's fallback
// values into statuses.
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "facade/GeodesyHandle.h"
#include "geodesy/GeodesicRules.h"
#include "geodesy/simd/DatumShiftSimd.h"
#include "geodesy/simd/GeodesicSimd.h"
#include "numerics/Angles.h"
#include "platform/SimdTier.h"
#include "projections/GridBatch.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A strided array of doubles; records may be unaligned.
struct In {
    const double* base;
    std::ptrdiff_t stride;
    double at(std::size_t i) const {
        double v;
        std::memcpy(&v, reinterpret_cast<const char*>(base) + static_cast<std::ptrdiff_t>(i) * stride, sizeof v);
        return v;
    }
};

struct Out {
    double* base;
    std::ptrdiff_t stride;
    bool required;
    void put(std::size_t i, double v) const {
        if (base == nullptr) return;
        std::memcpy(reinterpret_cast<char*>(base) + static_cast<std::ptrdiff_t>(i) * stride, &v, sizeof v);
    }
};

// Points are taken in blocks: a block's inputs are read into contiguous arrays
// (padded with zeros to whole vectors), `block` may convert the whole block at
// once (into res, with one int per point in aux), then each point's inputs are
// checked and `point` gives its status and results (from res or by itself), and
// its outputs and status are written.
constexpr std::size_t kBlock = 256;

struct NoBlock {
    template <typename... A> void operator()(A&&...) const {}
};

template <std::size_t NIn, std::size_t NOut> struct BlockData {
    alignas(64) double in[NIn][kBlock];
    alignas(64) double res[NOut][kBlock];
    int aux[kBlock];
};

struct NoneAccepted {
    template <typename B> void operator()(const B&, std::size_t m, bool* accepted) const {
        for (std::size_t j = 0; j < m; ++j) accepted[j] = false;
    }
};

// accept(b, m, accepted) tells for each of the block's m points whether its
// results res[.][j] are its converted values as they stand (its inputs finite and
// in the domain, its results finite and inside their limits): such a point skips
// the checks of `point`.
template <std::size_t NIn, std::size_t NOut, typename Block, typename F, typename Accept = NoneAccepted>
std::size_t run(const char* call, const GwGeodesy* g, std::size_t n, const std::array<In, NIn>& in,
                const std::array<Out, NOut>& out, int* status, Block&& block, F&& point,
                Accept&& accept = NoneAccepted{}) noexcept {
    if (n == 0) return 0;
    if (g == nullptr) {
        gw::setBatchError((std::string(call) + ": no handle").c_str());
        return 0;
    }
    for (const In& a : in)
        if (a.base == nullptr) {
            gw::setBatchError((std::string(call) + ": an input array is missing").c_str());
            return 0;
        }
    for (const Out& a : out)
        if (a.required && a.base == nullptr) {
            gw::setBatchError((std::string(call) + ": an output array is missing").c_str());
            return 0;
        }
    const std::size_t lanes = gw::batch::simdBlockLanes();
    BlockData<NIn, NOut> b;
    std::size_t converted = 0;
    for (std::size_t base = 0; base < n; base += kBlock) {
        const std::size_t m = n - base < kBlock ? n - base : kBlock;
        const std::size_t padded = (m + lanes - 1) / lanes * lanes;
        for (std::size_t k = 0; k < NIn; ++k) {
            if (in[k].stride == static_cast<std::ptrdiff_t>(sizeof(double)))
                std::memcpy(b.in[k], in[k].base + base, m * sizeof(double));
            else
                for (std::size_t j = 0; j < m; ++j) b.in[k][j] = in[k].at(base + j);
            for (std::size_t j = m; j < padded; ++j) b.in[k][j] = 0.0;
        }
        block(padded, b);
        // A block whose every point stands as the kernels left it is written whole.
        bool accepted[kBlock];
        accept(b, m, accepted);
        bool all = true;
        for (std::size_t j = 0; j < m; ++j) all = all && accepted[j];
        if (all) {
            for (std::size_t k = 0; k < NOut; ++k) {
                if (out[k].base == nullptr) continue;
                if (out[k].stride == static_cast<std::ptrdiff_t>(sizeof(double)))
                    std::memcpy(out[k].base + base, b.res[k], m * sizeof(double));
                else
                    for (std::size_t j = 0; j < m; ++j) out[k].put(base + j, b.res[k][j]);
            }
            if (status != nullptr)
                for (std::size_t j = 0; j < m; ++j) status[base + j] = GW_STATUS_OK;
            converted += m;
            continue;
        }
        for (std::size_t j = 0; j < m; ++j) {
            if (accepted[j]) {
                for (std::size_t k = 0; k < NOut; ++k) out[k].put(base + j, b.res[k][j]);
                if (status != nullptr) status[base + j] = GW_STATUS_OK;
                ++converted;
                continue;
            }
            std::array<double, NIn> v;
            std::array<double, NOut> r;
            bool finite = true;
            for (std::size_t k = 0; k < NIn; ++k) {
                v[k] = b.in[k][j];
                finite = finite && std::isfinite(v[k]);
            }
            int st = GW_STATUS_NOT_FINITE;
            if (finite) {
                try {
                    st = point(v, r, b, j);
                } catch (...) {
                    st = GW_STATUS_OUT_OF_DOMAIN;
                }
                if (st == GW_STATUS_OK)
                    for (double x : r)
                        if (!std::isfinite(x)) st = GW_STATUS_OUT_OF_DOMAIN;
            }
            if (st != GW_STATUS_OK) r.fill(kNaN);
            else ++converted;
            for (std::size_t k = 0; k < NOut; ++k) out[k].put(base + j, r[k]);
            if (status != nullptr) status[base + j] = st;
        }
    }
    return converted;
}

// The same, every point converted by itself.
template <std::size_t NIn, std::size_t NOut, typename F>
std::size_t run(const char* call, const GwGeodesy* g, std::size_t n, const std::array<In, NIn>& in,
                const std::array<Out, NOut>& out, int* status, F&& f) noexcept {
    return run<NIn, NOut>(call, g, n, in, out, status, NoBlock{},
                          [&](const std::array<double, NIn>& v, std::array<double, NOut>& r,
                              const BlockData<NIn, NOut>&, std::size_t) { return f(v, r); });
}

const Geodetics& geo(const GwGeodesy* g) { return g->geo; }
Projection* innerOf(const GwGeodesy* g) { return g != nullptr ? geo(g).projection->inner : nullptr; }

// The batch operations of the handle's projection (null without a handle).
std::unique_ptr<gw::GridBatch> gridBatch(const GwGeodesy* g) {
    Projection* inner = innerOf(g);
    return inner != nullptr ? gw::gridBatchOf(*inner) : nullptr;
}

int statusOf(gw::PointRule rule) {
    switch (rule) {
    case gw::PointRule::ok: return GW_STATUS_OK;
    case gw::PointRule::iterationCap: return GW_STATUS_ITERATION_CAP;
    case gw::PointRule::outOfDomain: break;
    }
    return GW_STATUS_OUT_OF_DOMAIN;
}

// The datum conversions: the seven-parameter shift on vectors, the longitude of
// [0, 360) then brought into (-180, 180] as the one-point conversions do; a datum
// with a correction of its own, a lane on the polar axis or near a stopping
// rule, and longitudes beyond the vector sine's range take the one-point
// conversion (onePoint, false for a point outside the area of the datum's North
// Sea correction, which is refused).
template <typename F>
std::size_t shift(const char* call, const GwGeodesy* g, std::size_t n, int direction, const std::array<In, 3>& in,
                  const std::array<Out, 3>& out, int* status, F&& onePoint) noexcept {
    const gw::batch::SimdTier tier = gw::batch::simdTier();
    const bool vector =
        g != nullptr && tier != gw::batch::SimdTier::scalar && !geo(g).datum.hasNorthSeaCorrection();
    gw::batch::ShiftConstants k{};
    if (vector) k = gw::batch::shiftConstants(geo(g).datum, direction);
    using B = BlockData<3, 3>;
    return run<3, 3>(
        call, g, n, in, out, status,
        [&](std::size_t m, B& b) {
            if (vector) gw::batch::shiftBlock(tier, k, m, b.in[0], b.in[1], b.res[0], b.res[1], b.res[2], b.aux);
        },
        [&](const std::array<double, 3>& v, std::array<double, 3>& r, const B& b, std::size_t j) {
            if (std::fabs(v[0]) > 90) return GW_STATUS_OUT_OF_DOMAIN;
            if (vector && !(b.aux[j] & gw::batch::kRedo) && std::fabs(v[1]) <= gw::batch::kVectorLonLimit) {
                r[0] = b.res[0][j];
                r[1] = b.res[1][j] > 180 ? b.res[1][j] - 360 : b.res[1][j];
                r[2] = b.res[2][j];
            } else if (!onePoint(v, r)) {
                // Outside the area of the datum's North Sea correction.
                return GW_STATUS_OUT_OF_DOMAIN;
            }
            return GW_STATUS_OK;
        });
}

// The vector tier in use and the ellipsoid of the geodesic kernels.
struct GeodesicKernels {
    gw::batch::SimdTier tier;
    bool vector;
    gw::batch::GeodesicConstants k{};

    explicit GeodesicKernels(const GwGeodesy* g)
        : tier(gw::batch::simdTier()), vector(g != nullptr && tier != gw::batch::SimdTier::scalar) {
        if (vector) k = gw::batch::geodesicConstants(geo(g).datum);
    }
};

} // namespace

extern "C" {

size_t gwGeoToGrid(const GwGeodesy* g, size_t n, const double* lat, ptrdiff_t latStride, const double* lon,
                   ptrdiff_t lonStride, double* north, ptrdiff_t northStride, double* east,
                   ptrdiff_t eastStride, int* status) {
    std::unique_ptr<gw::GridBatch> ops;
    try {
        ops = gridBatch(g);
    } catch (...) {
        gw::setBatchError("gwGeoToGrid: out of memory");
        return 0;
    }
    using B = BlockData<2, 2>;
    return run<2, 2>(
        "gwGeoToGrid", g, n, {In{lat, latStride}, In{lon, lonStride}},
        {Out{north, northStride, true}, Out{east, eastStride, true}}, status,
        [&](std::size_t m, B& b) { ops->forwardBlock(m, b.in[0], b.in[1], b.res[0], b.res[1], b.aux); },
        [&](const std::array<double, 2>& v, std::array<double, 2>& r, const B& b, std::size_t j) {
            const double block[2] = {b.res[0][j], b.res[1][j]};
            return statusOf(ops->forward(v[0], v[1], block, b.aux[j], r[0], r[1]));
        },
        [&](const B& b, std::size_t m, bool* accepted) {
            ops->forwardAccepted(m, b.in[0], b.in[1], b.res[0], b.res[1], b.aux, accepted);
        });
}

size_t gwGridToGeo(const GwGeodesy* g, size_t n, const double* north, ptrdiff_t northStride,
                   const double* east, ptrdiff_t eastStride, double* lat, ptrdiff_t latStride, double* lon,
                   ptrdiff_t lonStride, int* status) {
    std::unique_ptr<gw::GridBatch> ops;
    try {
        ops = gridBatch(g);
    } catch (...) {
        gw::setBatchError("gwGridToGeo: out of memory");
        return 0;
    }
    using B = BlockData<2, 2>;
    return run<2, 2>(
        "gwGridToGeo", g, n, {In{north, northStride}, In{east, eastStride}},
        {Out{lat, latStride, true}, Out{lon, lonStride, true}}, status,
        // Longitudes come out in (-180, 180], whatever turn the projection's
        // formulas leave them in.
        [&](std::size_t m, B& b) {
            ops->reverseBlock(m, b.in[0], b.in[1], b.res[0], b.res[1], b.aux);
            if (ops->vector())
                for (std::size_t j = 0; j < m; ++j) b.res[1][j] = gw::wrapLongitude(b.res[1][j]);
        },
        [&](const std::array<double, 2>& v, std::array<double, 2>& r, const B& b, std::size_t j) {
            const double block[2] = {b.res[0][j], b.res[1][j]};
            const int st = statusOf(ops->reverse(v[0], v[1], block, b.aux[j], r[0], r[1]));
            r[1] = gw::wrapLongitude(r[1]);
            return st;
        },
        [&](const B& b, std::size_t m, bool* accepted) {
            ops->reverseAccepted(m, b.in[0], b.in[1], b.res[0], b.res[1], b.aux, accepted);
        });
}

size_t gwConvergence(const GwGeodesy* g, size_t n, const double* north, ptrdiff_t northStride,
                     const double* east, ptrdiff_t eastStride, double* out, ptrdiff_t outStride, int* status) {
    Projection* inner = innerOf(g);
    std::unique_ptr<gw::GridBatch> ops;
    try {
        ops = gridBatch(g);
    } catch (...) {
        gw::setBatchError("gwConvergence: out of memory");
        return 0;
    }
    return run<2, 1>("gwConvergence", g, n, {In{north, northStride}, In{east, eastStride}},
                     {Out{out, outStride, true}}, status,
                     [&](const std::array<double, 2>& v, std::array<double, 1>& r) {
                         if (!ops->gridPointInDomain(v[0], v[1])) return GW_STATUS_OUT_OF_DOMAIN;
                         r[0] = inner->converge(v[0], v[1]);
                         return GW_STATUS_OK;
                     });
}

size_t gwPointScale(const GwGeodesy* g, size_t n, const double* north, ptrdiff_t northStride,
                    const double* east, ptrdiff_t eastStride, double* out, ptrdiff_t outStride, int* status) {
    Projection* inner = innerOf(g);
    std::unique_ptr<gw::GridBatch> ops;
    try {
        ops = gridBatch(g);
    } catch (...) {
        gw::setBatchError("gwPointScale: out of memory");
        return 0;
    }
    return run<2, 1>("gwPointScale", g, n, {In{north, northStride}, In{east, eastStride}},
                     {Out{out, outStride, true}}, status,
                     [&](const std::array<double, 2>& v, std::array<double, 1>& r) {
                         if (!ops->gridPointInDomain(v[0], v[1])) return GW_STATUS_OUT_OF_DOMAIN;
                         r[0] = inner->lineScale(v[0], v[1], v[0], v[1]);
                         return GW_STATUS_OK;
                     });
}

size_t gwWorkingToWgs84(const GwGeodesy* g, size_t n, const double* lat, ptrdiff_t latStride,
                        const double* lon, ptrdiff_t lonStride, const double* h, ptrdiff_t hStride,
                        double* latOut, ptrdiff_t latOutStride, double* lonOut, ptrdiff_t lonOutStride,
                        double* hOut, ptrdiff_t hOutStride, int* status) {
    // The conversions run on a copy of the handle's datum: the handle stays as it is.
    Datum datum = g != nullptr ? geo(g).datum : Datum();
    return shift("gwWorkingToWgs84", g, n, 1, {In{lat, latStride}, In{lon, lonStride}, In{h, hStride}},
                 {Out{latOut, latOutStride, true}, Out{lonOut, lonOutStride, true}, Out{hOut, hOutStride, false}},
                 status, [&](const std::array<double, 3>& v, std::array<double, 3>& r) {
                     return datum.toWgs84Checked(v[0], v[1], v[2], r[0], r[1], r[2]);
                 });
}

size_t gwWgs84ToWorking(const GwGeodesy* g, size_t n, const double* lat, ptrdiff_t latStride,
                        const double* lon, ptrdiff_t lonStride, const double* h, ptrdiff_t hStride,
                        double* latOut, ptrdiff_t latOutStride, double* lonOut, ptrdiff_t lonOutStride,
                        double* hOut, ptrdiff_t hOutStride, int* status) {
    const bool wantHeight = hOut != nullptr;
    Datum datum = g != nullptr ? geo(g).datum : Datum();
    return shift("gwWgs84ToWorking", g, n, -1, {In{lat, latStride}, In{lon, lonStride}, In{h, hStride}},
                 {Out{latOut, latOutStride, true}, Out{lonOut, lonOutStride, true}, Out{hOut, hOutStride, false}},
                 status, [&](const std::array<double, 3>& v, std::array<double, 3>& r) {
                     Datum& d = datum;
                     r[2] = 0.0;
                     const bool covered = d.fromWgs84Checked(v[0], v[1], v[2], r[0], r[1], r[2]);
                     if (wantHeight) {
                         // The height of the shifted point, which the one-point
                         // conversion computes and drops.
                         double la = 0.0, lo = 0.0;
                         d.trans7Param(v[0], v[1], v[2], la, lo, r[2], -1);
                     }
                     return covered;
                 });
}

size_t gwGeodesicInverse(const GwGeodesy* g, size_t n, const double* lat1, ptrdiff_t lat1Stride,
                         const double* lon1, ptrdiff_t lon1Stride, const double* lat2, ptrdiff_t lat2Stride,
                         const double* lon2, ptrdiff_t lon2Stride, double* azimuth, ptrdiff_t azimuthStride,
                         double* distance, ptrdiff_t distanceStride, int* status) {
    const GeodesicKernels kernels(g);
    Datum datum = g != nullptr ? geo(g).datum : Datum();
    using B = BlockData<4, 2>;
    return run<4, 2>(
        "gwGeodesicInverse", g, n,
        {In{lat1, lat1Stride}, In{lon1, lon1Stride}, In{lat2, lat2Stride}, In{lon2, lon2Stride}},
        {Out{azimuth, azimuthStride, true}, Out{distance, distanceStride, true}}, status,
        [&](std::size_t m, B& b) {
            if (kernels.vector)
                gw::batch::geodesicInverseBlock(kernels.tier, kernels.k, m, b.in[0], b.in[1], b.in[2], b.in[3],
                                                b.res[0], b.res[1], b.aux);
        },
        [&](const std::array<double, 4>& v, std::array<double, 2>& r, const B& b, std::size_t j) {
            if (!(std::fabs(v[0]) < 90) || !(std::fabs(v[2]) < 90)) return GW_STATUS_OUT_OF_DOMAIN;
            if (kernels.vector && !(b.aux[j] & gw::batch::kRedo)) {
                r[0] = b.res[0][j];
                r[1] = b.res[1][j];
            } else {
                datum.inverse(v[0], v[1], v[2], v[3], r[0], r[1]);
            }
            return GW_STATUS_OK;
        });
}

size_t gwGeodesicDirect(const GwGeodesy* g, size_t n, const double* lat, ptrdiff_t latStride,
                        const double* lon, ptrdiff_t lonStride, const double* azimuth, ptrdiff_t azimuthStride,
                        const double* distance, ptrdiff_t distanceStride, double* lat2, ptrdiff_t lat2Stride,
                        double* lon2, ptrdiff_t lon2Stride, int* status) {
    const GeodesicKernels kernels(g);
    Datum datum = g != nullptr ? geo(g).datum : Datum();
    using B = BlockData<4, 2>;
    return run<4, 2>(
        "gwGeodesicDirect", g, n,
        {In{lat, latStride}, In{lon, lonStride}, In{azimuth, azimuthStride}, In{distance, distanceStride}},
        {Out{lat2, lat2Stride, true}, Out{lon2, lon2Stride, true}}, status,
        [&](std::size_t m, B& b) {
            if (kernels.vector)
                gw::batch::geodesicDirectBlock(kernels.tier, kernels.k, m, b.in[0], b.in[1], b.in[2], b.in[3],
                                               b.res[0], b.res[1], b.aux);
        },
        [&](const std::array<double, 4>& v, std::array<double, 2>& r, const B& b, std::size_t j) {
            if (!(std::fabs(v[0]) < 90)) return GW_STATUS_OUT_OF_DOMAIN;
            // Beyond a turn round the earth the long-line series drift past their
            // stated accuracy.
            if (!(std::fabs(v[3]) <= gw::geodesic::kLongestDirect)) return GW_STATUS_OUT_OF_DOMAIN;
            if (kernels.vector && !(b.aux[j] & gw::batch::kRedo)) {
                r[0] = b.res[0][j];
                r[1] = gw::wrapLongitude(b.res[1][j]); // as the one-point function wraps it
            } else {
                datum.direct(v[0], v[1], v[2], v[3], r[0], r[1]);
            }
            return GW_STATUS_OK;
        });
}

} // extern "C"
