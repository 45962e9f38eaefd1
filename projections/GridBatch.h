// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// What a projection gives the batch conversions: its block kernels and its domain
// rules. The batch layer reads a block of points into arrays, lets the projection
// convert the whole block (forwardBlock, reverseBlock: vector kernels where the
// projection has them, nothing otherwise), asks which points' block results stand
// as they are (forwardAccepted, reverseAccepted), and asks for each other point its
// rule and result (forward, reverse), by the block result where the kernels' result
// holds for it and by the one-point conversion otherwise.
//
// GridBatchOf<Rules> states that decision once for a projection's rules; a Rules
// type has the members of NoRules below. The rules hold the projection's constants
// as its geoparm left them: an object serves one batch call on an unchanged
// projection, from one thread.
#ifndef GRIDWISE_PROJECTIONS_GRIDBATCH_H
#define GRIDWISE_PROJECTIONS_GRIDBATCH_H

#include <cmath>
#include <cstddef>
#include <memory>

#include "gridwise/projection.h"
#include "numerics/simd/LaneFlags.h"
#include "platform/SimdTier.h"

namespace gw {

enum class PointRule { ok, outOfDomain, iterationCap };

class GridBatch {
public:
    virtual ~GridBatch() = default;
    // Whether the block operations convert (the vector tier is not the scalar one
    // and the projection has kernels).
    virtual bool vector() const = 0;
    // n is a multiple of simdBlockLanes(); aux receives one int per point.
    virtual void forwardBlock(std::size_t n, const double* lat, const double* lon, double* north, double* east,
                              int* aux) const = 0;
    virtual void reverseBlock(std::size_t n, const double* north, const double* east, double* lat, double* lon,
                              int* aux) const = 0;
    // accepted[j] for the m points of a converted block: the inputs are finite
    // and in the domain, and the block's results (finite, inside their limits)
    // are the conversion's.
    virtual void forwardAccepted(std::size_t m, const double* lat, const double* lon, const double* north,
                                 const double* east, const int* aux, bool* accepted) const = 0;
    virtual void reverseAccepted(std::size_t m, const double* north, const double* east, const double* lat,
                                 const double* lon, const int* aux, bool* accepted) const = 0;
    // One point with finite inputs; block holds its two block results and aux its
    // int when the block was converted.
    virtual PointRule forward(double lat, double lon, const double* block, int aux, double& north,
                              double& east) const = 0;
    virtual PointRule reverse(double north, double east, const double* block, int aux, double& lat,
                              double& lon) const = 0;
    // Whether grid convergence and point scale exist at a grid point.
    virtual bool gridPointInDomain(double north, double east) const = 0;
};

// The rules of a projection without kernels or domain rules of its own.
struct NoRules {
    static constexpr bool kHasKernels = false;
    void forwardBlock(batch::SimdTier, std::size_t, const double*, const double*, double*, double*, int*) const {}
    void reverseBlock(batch::SimdTier, std::size_t, const double*, const double*, double*, double*, int*) const {}
    // Inputs in the projection's domain (latitudes beyond +-90 are nobody's).
    bool geoInDomain(double, double) const { return true; }
    // Whether the kernel's forward result holds for these inputs.
    bool forwardVectorHolds(double, double) const { return true; }
    // A forward result inside the projection's limits.
    bool gridResultInDomain(double, double) const { return true; }
    // A grid point whose reverse conversion exists.
    bool gridInDomain(double, double) const { return true; }
    // A grid point whose geographic position is fixed (false otherwise).
    bool fixedPoint(double, double, double&, double&) const { return false; }
    // A grid point with grid convergence and point scale.
    bool gridPointInDomain(double, double) const { return true; }
    // Whether the kernel's reverse result holds, by the lane's aux.
    bool reverseVectorHolds(int) const { return true; }
    // The one-point reverse conversion; the steps of its iteration (kCapped when
    // it reached its cap), 0 when it has none.
    int reverseOnePoint(Projection& p, double north, double east, double& lat, double& lon) const {
        p.gridToGeo(north, east, lat, lon);
        return 0;
    }
};

template <class Rules> class GridBatchOf final : public GridBatch {
public:
    GridBatchOf(Projection& p, Rules rules)
        : p_(p), rules_(rules), tier_(batch::simdTier()),
          vector_(Rules::kHasKernels && tier_ != batch::SimdTier::scalar) {}

    bool vector() const override { return vector_; }

    void forwardBlock(std::size_t n, const double* lat, const double* lon, double* north, double* east,
                      int* aux) const override {
        if (vector_) rules_.forwardBlock(tier_, n, lat, lon, north, east, aux);
    }
    void reverseBlock(std::size_t n, const double* north, const double* east, double* lat, double* lon,
                      int* aux) const override {
        if (vector_) rules_.reverseBlock(tier_, n, north, east, lat, lon, aux);
    }

    void forwardAccepted(std::size_t m, const double* lat, const double* lon, const double* north,
                         const double* east, const int* aux, bool* accepted) const override {
        (void)aux;
        for (std::size_t j = 0; j < m; ++j)
            accepted[j] = vector_ && std::isfinite(lat[j]) && std::isfinite(lon[j]) && geoUsable(lat[j], lon[j]) &&
                          rules_.forwardVectorHolds(lat[j], lon[j]) && std::isfinite(north[j]) &&
                          std::isfinite(east[j]) && rules_.gridResultInDomain(north[j], east[j]);
    }

    void reverseAccepted(std::size_t m, const double* north, const double* east, const double* lat,
                         const double* lon, const int* aux, bool* accepted) const override {
        double fixedLat = 0.0, fixedLon = 0.0;
        for (std::size_t j = 0; j < m; ++j)
            accepted[j] = vector_ && std::isfinite(north[j]) && std::isfinite(east[j]) &&
                          rules_.gridInDomain(north[j], east[j]) &&
                          !rules_.fixedPoint(north[j], east[j], fixedLat, fixedLon) &&
                          rules_.reverseVectorHolds(aux[j]) && !(aux[j] & batch::kCapped) &&
                          std::fabs(lat[j]) <= 90 && std::isfinite(lon[j]);
    }

    PointRule forward(double lat, double lon, const double* block, int aux, double& north,
                      double& east) const override {
        (void)aux;
        if (!geoUsable(lat, lon)) return PointRule::outOfDomain;
        if (vector_ && rules_.forwardVectorHolds(lat, lon)) {
            north = block[0];
            east = block[1];
        } else {
            p_.geoToGrid(lat, lon, north, east);
        }
        return rules_.gridResultInDomain(north, east) ? PointRule::ok : PointRule::outOfDomain;
    }

    PointRule reverse(double north, double east, const double* block, int aux, double& lat,
                      double& lon) const override {
        if (!rules_.gridInDomain(north, east)) return PointRule::outOfDomain;
        if (rules_.fixedPoint(north, east, lat, lon)) return PointRule::ok;
        int steps = 0;
        if (vector_ && rules_.reverseVectorHolds(aux)) {
            lat = block[0];
            lon = block[1];
            steps = aux;
        } else {
            steps = rules_.reverseOnePoint(p_, north, east, lat, lon);
        }
        if (steps & batch::kCapped) return PointRule::iterationCap;
        return std::fabs(lat) > 90 ? PointRule::outOfDomain : PointRule::ok;
    }

    bool gridPointInDomain(double north, double east) const override {
        return rules_.gridPointInDomain(north, east);
    }

private:
    bool geoUsable(double lat, double lon) const { return std::fabs(lat) <= 90 && rules_.geoInDomain(lat, lon); }

    Projection& p_;
    Rules rules_;
    batch::SimdTier tier_;
    bool vector_;
};

// The batch operations of a concrete projection (of its class's type code, from
// the registry of projection types); a projection without kernels or rules of
// its own gets those of NoRules.
std::unique_ptr<GridBatch> gridBatchOf(Projection& concrete);

} // namespace gw

#endif
