// Lane kernels of the batch conversions: the one-point conversions' own steps,
// written once more for a lane so that a batch can tell how an iteration ended.
//
// tmGridToGeo follows TransverseMercator::gridToGeo step for step (the footpoint
// iteration from phi = M / (c c0), each step adding the missing arc over c c0,
// stopping once the arc misses by less than 0.0001 m and after five steps at most,
// the inverse series with the sine and cosine from the start of the last step), so
// its latitude and longitude equal the one-point results bit for bit. It returns
// the number of steps taken (1..5), plus kCapped when the fifth step still missed
// by 0.0001 m or more (or by NaN).
//
// The block kernels (BatchSimd.cpp) do the same on vectors of 2, 4 or 8 lanes, by
// the instruction set of the tier: the same operations in the same order, with a
// vector sine and cosine within two ulps of the C library's; each lane of the
// footpoint iteration starts, steps and stops by the rule above on its own. n must
// be a multiple of simdBlockLanes() (the arrays hold that many values).
//
// The tier: the best the processor has (AVX-512, AVX2, SSE4, else the portable
// code of one lane on SSE2), or a lower one named in the environment variable
// GRIDWISE_SIMD ("scalar", "sse2", "sse4", "avx2", "avx512"), read once;
// setSimdTier changes it for the whole process (for tests and measurements: not
// while other threads convert). The scalar tier runs the one-point steps.
//
// Pure functions of their arguments: any thread.
#ifndef GRIDWISE_FACADE_BATCHKERNELS_H
#define GRIDWISE_FACADE_BATCHKERNELS_H

#include <cstddef>

#include "projections/TransverseMercator.h"

namespace gw::batch {

// The constants of one Transverse Mercator, as its geoparm left them.
struct TmConstants {
    double polarRadius; // c = a^2 / b
    double x;           // e'^2
    double k0;
    double c[6];        // meridian arc coefficients c0..c5
    double arcOrigin;
    double falseNorth;
    double falseEast;
    double originLon;
};

TmConstants tmConstants(const TransverseMercator& tm);

inline constexpr int kCapped = 0x10;

// Grid to latitude/longitude; the steps of the footpoint iteration (kCapped added
// when it reached its cap).
int tmGridToGeo(const TmConstants& k, double north, double east, double& lat, double& lon);

enum class SimdTier { scalar = 0, sse2, sse4, avx2, avx512 };

SimdTier bestSimdTier();
SimdTier simdTier();
// Sets the tier (at most the best one); returns the tier set.
SimdTier setSimdTier(SimdTier tier);
const char* simdTierName(SimdTier tier);
std::size_t simdBlockLanes();

// Latitudes, longitudes in degrees to northings, eastings in metres (clamped to
// +-1e7 m), as TransverseMercator::geoToGrid.
void tmForwardBlock(SimdTier tier, const TmConstants& k, std::size_t n, const double* lat, const double* lon,
                    double* north, double* east);
// Grid to latitude, longitude (degrees), as TransverseMercator::gridToGeo; steps as
// tmGridToGeo returns them.
void tmReverseBlock(SimdTier tier, const TmConstants& k, std::size_t n, const double* north, const double* east,
                    double* lat, double* lon, int* steps);

// The RD projection's origin, as its one-point conversions take it.
struct RdConstants {
    double lat0, lon0, x0, y0;
};

// The RD series on vectors: the one-point results bit for bit (no function of the
// C library enters).
void rdForwardBlock(SimdTier tier, const RdConstants& k, std::size_t n, const double* lat, const double* lon,
                    double* north, double* east);
void rdReverseBlock(SimdTier tier, const RdConstants& k, std::size_t n, const double* north, const double* east,
                    double* lat, double* lon);

} // namespace gw::batch

#endif
