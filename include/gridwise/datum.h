/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Earth-centred cartesian coordinates, the North Sea correction and vector rotation.
 * See docs/threads.md for what may be shared between threads.
 *
 * Angles are in degrees (latitude positive north, longitude positive east),
 * lengths in metres. The ellipsoid is given by its semi-major axis a, its first
 * eccentricity squared e2 and, for cartToGeo, its inverse flattening invf.
 *
 * geoToCart: geographic position with height h above the ellipsoid to earth-centred
 *   X, Y, Z. Exact (closed form); NaN or infinite input gives NaN or infinite output.
 * cartToGeo: the reverse. The longitude lies in [0, 360) (0 when X and Y are both
 *   0). The latitude iteration stops when a step changes the latitude by at most
 *   2e-9 radians or after 50 steps, whichever comes first; for points within a few
 *   hundred kilometres of the ellipsoid it ends after three or four steps, with the
 *   latitude within 1e-10 degree. The height is that of the step before the last,
 *   so it may be off by up to N tan(lat) 2e-9 m: about 2 mm at 15 degrees, 0.5 m
 *   at 89. On the polar axis (X and Y both 0) the latitude is +90 or -90 (the sign
 *   of Z; +90 at the centre) and the height is |Z| minus the semi-minor axis. A
 *   coordinate that is NaN or infinite gives NaN latitude and longitude and a NaN
 *   or infinite height, never a hang.
 * ed50ToFromEd87: the polynomial correction between the "ED50(N Sea)" datum and
 *   ED50 (direction 1: from the North Sea datum; -1: back, with the same polynomial
 *   evaluated at the given point, so the two directions are inverse only to about
 *   4e-8 degree, a few millimetres, in the North Sea). Corrections are a few
 *   hundredths of an arc-second. The polynomial holds in the area it was made
 *   for, the bounding box of the North Sea (51.03..62.01 N, 5.05 W..11.14 E, edges
 *   included, longitudes as given); outside it (and for NaN) the point is returned
 *   unchanged, with no correction.
 * transRot: rotates (x, y, z) in place about Z by angle1, then about the new X by
 *   angle2, then about the new Y by angle3 (degrees).
 *
 * The functions have plain C names and take addresses for their results. C++
 * callers also have geoToCart, cartToGeo and ed50ToFromEd87 with references for
 * the results, exported under their decorated names; both forms give the same
 * values.
 *
 * Threads: the functions work only on their arguments and may be called from
 * several threads at once (transRot on distinct vectors). */
#ifndef GRIDWISE_DATUM_H
#define GRIDWISE_DATUM_H

#include "gridwise/export.h"

GW_C_BEGIN

GW_EXPORT void geoToCart(double lat, double lon, double h, double* X, double* Y, double* Z, double a,
                         double e2);
GW_EXPORT void cartToGeo(double* lat, double* lon, double* h, double X, double Y, double Z, double a,
                         double invf, double e2);
GW_EXPORT void ed50ToFromEd87(double lat, double lon, double* latOut, double* lonOut, int direction);
GW_EXPORT void transRot(double angle1, double angle2, double angle3, double* x, double* y, double* z);

GW_C_END

#ifdef __cplusplus
GW_EXPORT void geoToCart(double lat, double lon, double h, double& X, double& Y, double& Z, double a,
                         double e2);
GW_EXPORT void cartToGeo(double& lat, double& lon, double& h, double X, double Y, double Z, double a,
                         double invf, double e2);
GW_EXPORT void ed50ToFromEd87(double lat, double lon, double& latOut, double& lonOut, int direction);
#endif

#endif
