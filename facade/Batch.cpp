// Batch conversions on a geodesy handle (gridwise/batch.h): strided arrays in and
// out, a status per point, and the domain rules that turn a projection's fallback
// values into statuses.
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "facade/BatchKernels.h"
#include "facade/GeodesyHandle.h"
#include "projections/Lambert.h"
#include "projections/PolarStereo.h"
#include "projections/RDProj.h"
#include "projections/TransverseMercator.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The grid frames the projections clamp to (metres).
constexpr double kTmGridLimit = 1e7;
constexpr double kLambertGridLimit = 5000000.0;
constexpr double kPolarFrameLow = 890000.0;
constexpr double kPolarFrameHigh = 3110000.0;

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

enum class Kind { transverseMercator, lambert, polar, rd, other };

Kind kindOf(const Projection* inner) {
    if (dynamic_cast<const TransverseMercator*>(inner) != nullptr) return Kind::transverseMercator;
    if (dynamic_cast<const RDProj*>(inner) != nullptr) return Kind::rd;
    if (dynamic_cast<const Lambert*>(inner) != nullptr) return Kind::lambert;
    if (dynamic_cast<const PolarStereo*>(inner) != nullptr) return Kind::polar;
    return Kind::other;
}

// Whether a grid point is on the Lambert cone (not its apex, not beyond it).
// Lambert::gridToGeo takes rho = dy / cos(atan(dx / dy)); the cosine of an angle
// within +-pi/2 is positive (6e-17 at the ends), so rho has the sign of dy and is
// zero with it (the apex, dx and dy both 0, included): the point is on the cone
// when dy has the sign of n.
bool onLambertCone(const Lambert& p, double north, double east) {
    (void)east;
    const double n = p.coneConstant;
    const double dy = p.originRadius + p.falseNorth - north;
    return n > 0 ? dy > 0 : (n < 0 ? dy < 0 : false);
}

bool atPolarOrigin(const PolarStereo& p, double north, double east) {
    return north - p.falseNorth == 0 && east - p.falseEast == 0;
}

bool onPolarFrame(double v) { return v == kPolarFrameLow || v == kPolarFrameHigh; }

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
    template <typename B> bool operator()(const B&, std::size_t) const { return false; }
};

// accept(b, j) tells that the block's results res[.][j] are point j's converted
// values as they stand (its inputs finite and in the domain, its results finite
// and inside their limits): such a point skips the checks of `point`.
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
        bool all = true;
        for (std::size_t j = 0; j < m; ++j) {
            accepted[j] = accept(b, j);
            all = all && accepted[j];
        }
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

gw::batch::RdConstants rdConstants(const Projection* inner) {
    const RDProj* p = dynamic_cast<const RDProj*>(inner);
    return p != nullptr ? gw::batch::RdConstants{p->lat0, p->lon0, p->x0, p->y0} : gw::batch::RdConstants{};
}

Geodetics& geo(const GwGeodesy* g) { return const_cast<GwGeodesy*>(g)->geo; }
Projection* innerOf(const GwGeodesy* g) { return g != nullptr ? geo(g).projection->inner : nullptr; }

// Grid convergence and point scale share their domain: a Lambert point off the
// cone and the polar stereographic pole have neither.
bool gridPointInDomain(Kind kind, Projection* inner, double north, double east) {
    if (kind == Kind::lambert) return onLambertCone(*static_cast<Lambert*>(inner), north, east);
    if (kind == Kind::polar) return !atPolarOrigin(*static_cast<PolarStereo*>(inner), north, east);
    return true;
}

// The datum conversions: the seven-parameter shift on vectors, the longitude of
// [0, 360) then brought into (-180, 180] as the one-point conversions do; a datum
// with the North Sea correction, a lane on the polar axis or near a stopping
// rule, and longitudes beyond the vector sine's range take the one-point
// conversion (onePoint).
template <typename F>
std::size_t shift(const char* call, const GwGeodesy* g, std::size_t n, int direction, const std::array<In, 3>& in,
                  const std::array<Out, 3>& out, int* status, F&& onePoint) noexcept {
    const gw::batch::SimdTier tier = gw::batch::simdTier();
    const bool vector = g != nullptr && tier != gw::batch::SimdTier::scalar &&
                        std::strcmp(geo(g).datum.datumName, "ED50(N Sea)") != 0;
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
            } else {
                onePoint(v, r);
            }
            return GW_STATUS_OK;
        });
}

// The projection's kind, the vector tier in use and the constants its block kernels
// take, for the two grid conversions.
struct GridKernels {
    Kind kind;
    gw::batch::SimdTier tier;
    bool vector;
    gw::batch::TmConstants tm{};
    gw::batch::RdConstants rd{};
    gw::batch::LambertConstants lcc{};
    gw::batch::PolarConstants ps{};

    explicit GridKernels(Projection* inner)
        : kind(kindOf(inner)), tier(gw::batch::simdTier()),
          vector(kind != Kind::other && tier != gw::batch::SimdTier::scalar), rd(rdConstants(inner)) {
        if (kind == Kind::transverseMercator) tm = gw::batch::tmConstants(*static_cast<TransverseMercator*>(inner));
        if (kind == Kind::lambert) lcc = gw::batch::lambertConstants(*static_cast<Lambert*>(inner));
        if (kind == Kind::polar) ps = gw::batch::polarConstants(*static_cast<PolarStereo*>(inner));
    }
};

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
    Projection* inner = innerOf(g);
    const GridKernels kernels(inner);
    const Kind kind = kernels.kind;
    const gw::batch::SimdTier tier = kernels.tier;
    const bool vector = kernels.vector;
    using B = BlockData<2, 2>;
    return run<2, 2>(
        "gwGeoToGrid", g, n, {In{lat, latStride}, In{lon, lonStride}},
        {Out{north, northStride, true}, Out{east, eastStride, true}}, status,
        [&](std::size_t m, B& b) {
            if (!vector) return;
            if (kind == Kind::rd)
                gw::batch::rdForwardBlock(tier, kernels.rd, m, b.in[0], b.in[1], b.res[0], b.res[1]);
            else if (kind == Kind::lambert)
                gw::batch::lambertForwardBlock(tier, kernels.lcc, m, b.in[0], b.in[1], b.res[0], b.res[1]);
            else if (kind == Kind::polar)
                gw::batch::polarForwardBlock(tier, kernels.ps, m, b.in[0], b.in[1], b.res[0], b.res[1]);
            else
                gw::batch::tmForwardBlock(tier, kernels.tm, m, b.in[0], b.in[1], b.res[0], b.res[1]);
        },
        [&](const std::array<double, 2>& v, std::array<double, 2>& r, const B& b, std::size_t j) {
            const double la = v[0];
            if (std::fabs(la) > 90) return GW_STATUS_OUT_OF_DOMAIN;
            if (kind == Kind::lambert && std::fabs(la) == 90) return GW_STATUS_OUT_OF_DOMAIN;
            if (kind == Kind::polar) {
                const bool south = static_cast<PolarStereo*>(inner)->latOfOrigin < 0;
                if (la == 0 || (south ? la > 0 : la < 0)) return GW_STATUS_OUT_OF_DOMAIN;
            }
            // The conformal projections' vector sine and cosine of the longitude
            // hold for longitudes of the usual range.
            const bool lonInRange =
                (kind != Kind::lambert && kind != Kind::polar) || std::fabs(v[1]) <= gw::batch::kVectorLonLimit;
            if (vector && lonInRange) {
                r[0] = b.res[0][j];
                r[1] = b.res[1][j];
            } else {
                inner->geoToGrid(la, v[1], r[0], r[1]);
            }
            switch (kind) {
            case Kind::transverseMercator:
                if (std::fabs(r[0]) >= kTmGridLimit || std::fabs(r[1]) >= kTmGridLimit)
                    return GW_STATUS_OUT_OF_DOMAIN;
                break;
            case Kind::lambert: {
                const Lambert& p = *static_cast<Lambert*>(inner);
                // The clamp acts before the false origin is added.
                const double edge = kLambertGridLimit * (1 - 1e-15);
                if (std::fabs(r[0] - p.falseNorth) >= edge || std::fabs(r[1] - p.falseEast) >= edge)
                    return GW_STATUS_OUT_OF_DOMAIN;
                break;
            }
            case Kind::polar:
                if (onPolarFrame(r[0]) || onPolarFrame(r[1])) return GW_STATUS_OUT_OF_DOMAIN;
                break;
            case Kind::rd:
            case Kind::other:
                break;
            }
            return GW_STATUS_OK;
        },
        [&](const B& b, std::size_t j) {
            if (!vector || !(std::fabs(b.in[0][j]) <= 90) || !std::isfinite(b.in[1][j])) return false;
            if (kind == Kind::transverseMercator)
                return std::fabs(b.res[0][j]) < kTmGridLimit && std::fabs(b.res[1][j]) < kTmGridLimit;
            if (kind == Kind::rd) return std::isfinite(b.res[0][j]) && std::isfinite(b.res[1][j]);
            if (std::fabs(b.in[1][j]) > gw::batch::kVectorLonLimit) return false;
            if (kind == Kind::lambert) {
                const Lambert& p = *static_cast<Lambert*>(inner);
                const double edge = kLambertGridLimit * (1 - 1e-15);
                return std::fabs(b.in[0][j]) < 90 && std::fabs(b.res[0][j] - p.falseNorth) < edge &&
                       std::fabs(b.res[1][j] - p.falseEast) < edge;
            }
            if (kind == Kind::polar) {
                const double la = b.in[0][j];
                const bool south = static_cast<PolarStereo*>(inner)->latOfOrigin < 0;
                return (south ? la < 0 : la > 0) && std::isfinite(b.res[0][j]) && std::isfinite(b.res[1][j]) &&
                       !onPolarFrame(b.res[0][j]) && !onPolarFrame(b.res[1][j]);
            }
            return false;
        });
}

size_t gwGridToGeo(const GwGeodesy* g, size_t n, const double* north, ptrdiff_t northStride,
                   const double* east, ptrdiff_t eastStride, double* lat, ptrdiff_t latStride, double* lon,
                   ptrdiff_t lonStride, int* status) {
    Projection* inner = innerOf(g);
    const GridKernels kernels(inner);
    const Kind kind = kernels.kind;
    const gw::batch::SimdTier tier = kernels.tier;
    const bool vector = kernels.vector;
    using B = BlockData<2, 2>;
    return run<2, 2>(
        "gwGridToGeo", g, n, {In{north, northStride}, In{east, eastStride}},
        {Out{lat, latStride, true}, Out{lon, lonStride, true}}, status,
        [&](std::size_t m, B& b) {
            if (!vector) return;
            if (kind == Kind::rd)
                gw::batch::rdReverseBlock(tier, kernels.rd, m, b.in[0], b.in[1], b.res[0], b.res[1]);
            else if (kind == Kind::lambert)
                gw::batch::lambertReverseBlock(tier, kernels.lcc, m, b.in[0], b.in[1], b.res[0], b.res[1], b.aux);
            else if (kind == Kind::polar)
                gw::batch::polarReverseBlock(tier, kernels.ps, m, b.in[0], b.in[1], b.res[0], b.res[1], b.aux);
            else
                gw::batch::tmReverseBlock(tier, kernels.tm, m, b.in[0], b.in[1], b.res[0], b.res[1], b.aux);
        },
        [&](const std::array<double, 2>& v, std::array<double, 2>& r, const B& b, std::size_t j) {
            switch (kind) {
            case Kind::transverseMercator: {
                // The forward conversion never leaves its frame; beyond the pole
                // the latitude would exceed 90 degrees.
                if (std::fabs(v[0]) > kTmGridLimit || std::fabs(v[1]) > kTmGridLimit)
                    return GW_STATUS_OUT_OF_DOMAIN;
                int steps = 0;
                if (vector) {
                    r[0] = b.res[0][j];
                    r[1] = b.res[1][j];
                    steps = b.aux[j];
                } else {
                    steps = gw::batch::tmGridToGeo(kernels.tm, v[0], v[1], r[0], r[1]);
                }
                if (steps & gw::batch::kCapped) return GW_STATUS_ITERATION_CAP;
                return std::fabs(r[0]) > 90 ? GW_STATUS_OUT_OF_DOMAIN : GW_STATUS_OK;
            }
            case Kind::lambert:
                if (!onLambertCone(*static_cast<Lambert*>(inner), v[0], v[1])) return GW_STATUS_OUT_OF_DOMAIN;
                if (vector && !(b.aux[j] & gw::batch::kRedo)) {
                    r[0] = b.res[0][j];
                    r[1] = b.res[1][j];
                    return std::fabs(r[0]) > 90 ? GW_STATUS_OUT_OF_DOMAIN : GW_STATUS_OK;
                }
                break;
            case Kind::polar: {
                const PolarStereo& p = *static_cast<PolarStereo*>(inner);
                if (atPolarOrigin(p, v[0], v[1])) { // the pole itself
                    r[0] = p.latOfOrigin < 0 ? -90.0 : 90.0;
                    r[1] = 0.0;
                    return GW_STATUS_OK;
                }
                if (vector && !(b.aux[j] & gw::batch::kRedo)) {
                    r[0] = b.res[0][j];
                    r[1] = b.res[1][j];
                    return std::fabs(r[0]) > 90 ? GW_STATUS_OUT_OF_DOMAIN : GW_STATUS_OK;
                }
                break;
            }
            case Kind::rd:
                if (vector) {
                    r[0] = b.res[0][j];
                    r[1] = b.res[1][j];
                    return std::fabs(r[0]) > 90 ? GW_STATUS_OUT_OF_DOMAIN : GW_STATUS_OK;
                }
                break;
            case Kind::other:
                break;
            }
            inner->gridToGeo(v[0], v[1], r[0], r[1]);
            return std::fabs(r[0]) > 90 ? GW_STATUS_OUT_OF_DOMAIN : GW_STATUS_OK;
        },
        [&](const B& b, std::size_t j) {
            if (!vector || !(std::fabs(b.res[0][j]) <= 90) || !std::isfinite(b.res[1][j])) return false;
            if (kind == Kind::transverseMercator)
                return std::fabs(b.in[0][j]) <= kTmGridLimit && std::fabs(b.in[1][j]) <= kTmGridLimit &&
                       !(b.aux[j] & gw::batch::kCapped);
            if (kind == Kind::rd) return std::isfinite(b.in[0][j]) && std::isfinite(b.in[1][j]);
            if (kind == Kind::lambert)
                return std::isfinite(b.in[1][j]) && !(b.aux[j] & gw::batch::kRedo) &&
                       onLambertCone(*static_cast<Lambert*>(inner), b.in[0][j], b.in[1][j]);
            return false;
        });
}

size_t gwConvergence(const GwGeodesy* g, size_t n, const double* north, ptrdiff_t northStride,
                     const double* east, ptrdiff_t eastStride, double* out, ptrdiff_t outStride, int* status) {
    Projection* inner = innerOf(g);
    const Kind kind = kindOf(inner);
    return run<2, 1>("gwConvergence", g, n, {In{north, northStride}, In{east, eastStride}},
                     {Out{out, outStride, true}}, status,
                     [&](const std::array<double, 2>& v, std::array<double, 1>& r) {
                         if (!gridPointInDomain(kind, inner, v[0], v[1])) return GW_STATUS_OUT_OF_DOMAIN;
                         r[0] = inner->converge(v[0], v[1]);
                         return GW_STATUS_OK;
                     });
}

size_t gwPointScale(const GwGeodesy* g, size_t n, const double* north, ptrdiff_t northStride,
                    const double* east, ptrdiff_t eastStride, double* out, ptrdiff_t outStride, int* status) {
    Projection* inner = innerOf(g);
    const Kind kind = kindOf(inner);
    return run<2, 1>("gwPointScale", g, n, {In{north, northStride}, In{east, eastStride}},
                     {Out{out, outStride, true}}, status,
                     [&](const std::array<double, 2>& v, std::array<double, 1>& r) {
                         if (!gridPointInDomain(kind, inner, v[0], v[1])) return GW_STATUS_OUT_OF_DOMAIN;
                         r[0] = inner->lineScale(v[0], v[1], v[0], v[1]);
                         return GW_STATUS_OK;
                     });
}

size_t gwWorkingToWgs84(const GwGeodesy* g, size_t n, const double* lat, ptrdiff_t latStride,
                        const double* lon, ptrdiff_t lonStride, const double* h, ptrdiff_t hStride,
                        double* latOut, ptrdiff_t latOutStride, double* lonOut, ptrdiff_t lonOutStride,
                        double* hOut, ptrdiff_t hOutStride, int* status) {
    return shift("gwWorkingToWgs84", g, n, 1, {In{lat, latStride}, In{lon, lonStride}, In{h, hStride}},
                 {Out{latOut, latOutStride, true}, Out{lonOut, lonOutStride, true}, Out{hOut, hOutStride, false}},
                 status, [&](const std::array<double, 3>& v, std::array<double, 3>& r) {
                     geo(g).datum.workingToWgs84(v[0], v[1], v[2], r[0], r[1], r[2]);
                 });
}

size_t gwWgs84ToWorking(const GwGeodesy* g, size_t n, const double* lat, ptrdiff_t latStride,
                        const double* lon, ptrdiff_t lonStride, const double* h, ptrdiff_t hStride,
                        double* latOut, ptrdiff_t latOutStride, double* lonOut, ptrdiff_t lonOutStride,
                        double* hOut, ptrdiff_t hOutStride, int* status) {
    const bool wantHeight = hOut != nullptr;
    return shift("gwWgs84ToWorking", g, n, -1, {In{lat, latStride}, In{lon, lonStride}, In{h, hStride}},
                 {Out{latOut, latOutStride, true}, Out{lonOut, lonOutStride, true}, Out{hOut, hOutStride, false}},
                 status, [&](const std::array<double, 3>& v, std::array<double, 3>& r) {
                     Datum& d = geo(g).datum;
                     r[2] = 0.0;
                     d.wgs84ToWorking(v[0], v[1], v[2], r[0], r[1], r[2]);
                     if (wantHeight) {
                         // The height of the shifted point, which the one-point
                         // conversion computes and drops.
                         double la = 0.0, lo = 0.0;
                         d.trans7Param(v[0], v[1], v[2], la, lo, r[2], -1);
                     }
                 });
}

size_t gwGeodesicInverse(const GwGeodesy* g, size_t n, const double* lat1, ptrdiff_t lat1Stride,
                         const double* lon1, ptrdiff_t lon1Stride, const double* lat2, ptrdiff_t lat2Stride,
                         const double* lon2, ptrdiff_t lon2Stride, double* azimuth, ptrdiff_t azimuthStride,
                         double* distance, ptrdiff_t distanceStride, int* status) {
    const GeodesicKernels kernels(g);
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
                geo(g).datum.inverse(v[0], v[1], v[2], v[3], r[0], r[1]);
            }
            return GW_STATUS_OK;
        });
}

size_t gwGeodesicDirect(const GwGeodesy* g, size_t n, const double* lat, ptrdiff_t latStride,
                        const double* lon, ptrdiff_t lonStride, const double* azimuth, ptrdiff_t azimuthStride,
                        const double* distance, ptrdiff_t distanceStride, double* lat2, ptrdiff_t lat2Stride,
                        double* lon2, ptrdiff_t lon2Stride, int* status) {
    const GeodesicKernels kernels(g);
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
            if (kernels.vector && !(b.aux[j] & gw::batch::kRedo)) {
                r[0] = b.res[0][j];
                r[1] = b.res[1][j];
            } else {
                geo(g).datum.direct(v[0], v[1], v[2], v[3], r[0], r[1]);
            }
            return GW_STATUS_OK;
        });
}

} // extern "C"
