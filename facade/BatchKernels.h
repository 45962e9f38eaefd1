// Lane kernels of the batch conversions: the one-point conversions' own steps,
// written once more for a lane so that a batch can tell how an iteration ended.
//
// tmGridToGeo follows TransverseMercator::gridToGeo step for step (the footpoint
// iteration from phi = M / (c c0), each step adding the missing arc over c c0,
// stopping once the arc misses by less than 0.0001 m and after five steps at most,
// the inverse series with the sine and cosine from the start of the last step), so
// its latitude and longitude equal the one-point results bit for bit. It returns
// false when the fifth step still missed by 0.0001 m or more (or by NaN).
//
// Pure functions of their arguments: any thread.
#ifndef GRIDWISE_FACADE_BATCHKERNELS_H
#define GRIDWISE_FACADE_BATCHKERNELS_H

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

// Grid to latitude/longitude; false when the footpoint iteration reached its cap.
bool tmGridToGeo(const TmConstants& k, double north, double east, double& lat, double& lon);

} // namespace gw::batch

#endif
