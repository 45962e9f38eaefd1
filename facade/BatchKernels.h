// Lane kernels of the batch conversions: the one-point conversions' own steps,
// written once more for a lane so that a batch can tell how an iteration ended.
//
// tmGridToGeo is TransverseMercator::gridToGeo itself (through gridToGeoSteps: the
// footpoint iteration from phi = M / (c c0), each step adding the missing arc over
// c c0, stopping once the arc misses by less than 0.0001 m and after five steps at
// most, the inverse series with the sine and cosine from the start of the last
// step), so its latitude and longitude are the one-point results. It returns the
// number of steps taken (1..5), plus kCapped when the fifth step still missed by
// 0.0001 m or more (or by NaN).
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

class Datum;
class Lambert;
class PolarStereo;

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
    const TransverseMercator* projection; // whose gridToGeoSteps tmGridToGeo is
};

TmConstants tmConstants(const TransverseMercator& tm);

inline constexpr int kCapped = 0x10;
// A lane that the block kernels leave to the one-point conversion: its iteration
// missed a stopping rule by a hair at some step (the vector functions might decide
// it the other way), or it came near a pole, where the one-point code keeps the
// pole on an infinite step.
inline constexpr int kRedo = 0x20;
// Longitudes (degrees) beyond which the vector sine and cosine lose accuracy: such
// lanes are converted by the one-point steps.
inline constexpr double kVectorLonLimit = 1e4;

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

// Runs the kernel of the tier (the portable one for sse2; the scalar tier never
// reaches a block kernel).
template <typename Sse2, typename Sse4, typename Avx2, typename Avx512>
void dispatch(SimdTier tier, Sse2&& sse2, Sse4&& sse4, Avx2&& avx2, Avx512&& avx512) {
    switch (tier) {
    case SimdTier::avx512: avx512(); break;
    case SimdTier::avx2: avx2(); break;
    case SimdTier::sse4: sse4(); break;
    default: sse2(); break;
    }
}

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

// The constants of one Lambert conformal conic, as its geoparm left them, and
// ln aF, which the inverse takes for n > 0.
struct LambertConstants {
    double n, aF, logAF, rho0, falseNorth, falseEast, lonOfOrigin, e, e2;
};
LambertConstants lambertConstants(const Lambert& p);

// The constants of one polar stereographic projection; logCk is ln C + ln k0.
struct PolarConstants {
    double C, k0, logCk, falseNorth, falseEast, e, e2;
    bool south;
};
PolarConstants polarConstants(const PolarStereo& p);

// The inverse of the isometric latitude as latitudeFromIsometric takes it, step
// for step: the latitude in radians and the number of Newton steps taken (1..10).
int latitudeFromIsometricSteps(double psi, double e, double e2, double& phi);

// Lambert: latitude, longitude (degrees) to grid, as Lambert::geoToGrid on
// latitudes inside +-90 (the fold of +-90 is the caller's); grid to latitude,
// longitude, as Lambert::gridToGeo on points of the cone (the apex and beyond are
// the caller's), with the steps of the isometric latitude iteration (plus kRedo).
void lambertForwardBlock(SimdTier tier, const LambertConstants& k, std::size_t n, const double* lat,
                         const double* lon, double* north, double* east);
void lambertReverseBlock(SimdTier tier, const LambertConstants& k, std::size_t n, const double* north,
                         const double* east, double* lat, double* lon, int* steps);

// Polar stereographic, as PolarStereo::geoToGrid on latitudes of its hemisphere
// inside +-90 (the pole gives the false origin) and PolarStereo::gridToGeo away from
// the false origin, with steps as above.
void polarForwardBlock(SimdTier tier, const PolarConstants& k, std::size_t n, const double* lat,
                       const double* lon, double* north, double* east);
void polarReverseBlock(SimdTier tier, const PolarConstants& k, std::size_t n, const double* north,
                       const double* east, double* lat, double* lon, int* steps);

// The seven-parameter shift of one datum in one direction (1 working datum to
// WGS 84, -1 back), as Datum::trans7Param takes it: the source ellipsoid, the
// parameters (rotations in radians), the target ellipsoid.
struct ShiftConstants {
    double srcA, srcE2;
    double d, dX, dY, dZ, k, rx, ry, rz;
    double dstA, dstInvF, dstE2, dstB, dstSqrtAB;
};
ShiftConstants shiftConstants(const Datum& datum, int direction);

// The cartesian-to-geographic latitude iteration as cartToGeo takes it, step for
// step, on the shifted point of one input: latitude, longitude in [0, 360) and
// height, and the number of steps taken (0..50).
int shiftSteps(const ShiftConstants& k, double lat, double lon, double& latOut, double& lonOut, double& hOut);

// The shift on vectors: latitude, longitude in [0, 360) (degrees) and height, with
// the steps of the latitude iteration (plus kRedo for a lane on the polar axis or
// near a stopping rule).
void shiftBlock(SimdTier tier, const ShiftConstants& k, std::size_t n, const double* lat, const double* lon,
                double* latOut, double* lonOut, double* hOut, int* steps);

// The ellipsoid of the geodesic problems, as Datum::inverse and Datum::direct
// take it (gw::ellipsoidOf).
struct GeodesicConstants {
    double a, f, e2, ep2, b;
};
GeodesicConstants geodesicConstants(const Datum& datum);

// The geodesic problems on vectors (GeodesicInverseSimd.cpp, GeodesicDirectSimd.cpp),
// for latitudes inside +-90: Datum::inverse (azimuth in degrees, distance in
// metres) and Datum::direct (latitude, longitude in degrees), lane by lane, with in
// steps the refinement steps of the short-line inverse (0 for other lanes), plus
// kRedo for a lane the caller must convert by the one-point function (its result
// is then unspecified): a lane near one of the branch or stopping rules, or where
// the vector functions' last-ulp differences would be amplified past 1e-8 m or
// 1e-13 degree.
void geodesicInverseBlock(SimdTier tier, const GeodesicConstants& k, std::size_t n, const double* lat1,
                          const double* lon1, const double* lat2, const double* lon2, double* azimuth,
                          double* distance, int* steps);
void geodesicDirectBlock(SimdTier tier, const GeodesicConstants& k, std::size_t n, const double* lat,
                         const double* lon, const double* azimuth, const double* distance, double* lat2,
                         double* lon2, int* steps);

} // namespace gw::batch

#endif
