/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Geodesy objects from EPSG codes: libgridwise-epsg.so, a library of its own
 * beside libgridwise.so (which it links), so that the core needs no SQLite.
 * See docs/threads.md for what may be shared between threads, and docs/epsg.md
 * for how each projected system maps and how well it agrees with a peer.
 *
 * The EPSG registry is read as data from the SQLite database that Debian's
 * proj-data package ships, /usr/share/proj/proj.db; the environment variable
 * GRIDWISE_EPSG_DB names another copy. The database is opened read-only once per
 * process, at the first call of this header that needs it (the variable is read
 * then); when it cannot be opened, every later call fails with the same reason.
 *
 *   gwGeodesyFromEpsg(code, transformation) gives a handle (gridwise/batch.h) on
 *     the projected CRS EPSG:code: its datum (the ellipsoid's a and 1/f, or a and
 *     b; the datum's and ellipsoid's names within 24 characters, as below), its
 *     projection with the registry's parameters turned into degrees and metres
 *     (the CRS's name within 39 characters), and its
 *     length unit as the projection's unit (metres, international feet, US survey
 *     feet), which the text forms show. Grid coordinates of the batch functions
 *     stay metres, as for every handle.
 *     Methods: Transverse Mercator (9807); Lambert conic conformal 2SP (9802);
 *     Lambert 1SP (9801) through the two standard parallels that give the same
 *     cone (exact for a scale factor below 1 at the origin; a scale factor of
 *     exactly 1 takes parallels 0.001 degree either side of the origin, within
 *     2e-10 of the tangent cone's scale); polar stereographic variants A (9810)
 *     and B (9829, the standard parallel turned into the scale at the pole); the
 *     oblique stereographic (9809) only as the RD projection of EPSG:28992.
 *     A Lambert system whose latitude of false origin lies more than 10 degrees
 *     beyond its standard parallels (at the pole for Belgium, on the equator for
 *     Croatia) has its false origin moved along the central meridian to the
 *     middle of the parallels, the false northing taking up the difference of the
 *     radii: the same grid, inside the 5000 km the projection keeps to.
 *     The shift to WGS 84: among the registry's non-deprecated Helmert
 *     transformations (methods 9603, 9606, 9607) from a CRS of the datum to a
 *     CRS of WGS 84 whose area of use meets the CRS's (all of them when none
 *     does), the most accurate (an unknown accuracy counts as the worst), ties to
 *     the widest area of use, then the lowest code; 9607's rotations are
 *     negated into the position-vector convention of the datum. A transformation
 *     code other than 0 chooses it instead and must be such a transformation.
 *     A datum without one gets no shift (gwEpsgDescribe says so). A prime
 *     meridian other than Greenwich is added to the longitudes of origin.
 *     Refused (NULL), with the reason in gwLastError: a code the registry does
 *     not hold, or holds deprecated (GW_ERROR_BAD_ARGUMENT); a geographic,
 *     geocentric, vertical or compound CRS where a projected one is needed
 *     (GW_ERROR_BAD_ARGUMENT); any other method, named ("EPSG:3857 uses Popular
 *     Visualisation Pseudo Mercator, which this library does not offer"); a
 *     polar stereographic system whose longitude of origin is not 0 or whose
 *     false origin lies outside the projection's grid frame 890000..3110000 m; a
 *     Transverse Mercator whose false easting lies beyond +-9000000 m or false
 *     northing beyond +-10000000 m (zone numbers written before the easting: the
 *     grid would lie outside the projection's frame); a
 *     Lambert 1SP with a scale factor above 1 at its origin (no pair of
 *     standard parallels gives it) or an origin on the equator; a length unit
 *     other than the three; an ellipsoid that is a sphere or lies outside the
 *     datum's ranges (all GW_ERROR_UNSUPPORTED); a transformation code that is
 *     not a Helmert transformation of that datum to WGS 84 (GW_ERROR_BAD_ARGUMENT);
 *     a database that cannot be opened or read (GW_ERROR_FILE_UNREADABLE).
 *
 *   gwEpsgDescribe(code, transformation, dst, size) writes what
 *     gwGeodesyFromEpsg(code, transformation) builds, as lines joined by '\n':
 *       EPSG:2240 NAD83 / Georgia West (ftUS)
 *       method: Transverse Mercator (EPSG:9807)
 *       unit: US survey foot
 *       general name: SPCS83 ftUS
 *       specific name: Georgia West
 *       shift: EPSG:1188 NAD83 to WGS 84 (1), accuracy 4 m
 *       init: <the initialisation string of gwGeodesyFromText>
 *       datum: <the datum text of gwGeodesyFromText>
 *     The two names are those a projection-list entry of the system shows
 *     (general at most 19 bytes, specific at most 29): UTM zones as "UTM WGS 84"
 *     and "Zone 33N", state plane zones as "SPCS83 ftUS" (NAD27's "SPCS27", a
 *     realisation kept: "SPCS83(HARN)") and "Georgia West", any other system as
 *     its base CRS and the rest of its name ("OSGB36", "British National Grid");
 *     a length unit other than the metre is added to the general name, or to the
 *     specific one when the general has no room. Names longer than their field
 *     lose a parenthesised remark or are cut after a whole word; the datum's
 *     name longer than 24 bytes gives way to the base CRS's name ("NAD83" for
 *     "North American Datum 1983").
 *     The shift line reads "shift: none, the datum is WGS 84", "shift: none, the
 *     registry has only grid-based transformations to WGS 84 for <datum>" or
 *     "shift: none, the registry has no transformation to WGS 84 for <datum>".
 *   gwEpsgSearch(text, dst, size) lists the registry's non-deprecated projected
 *     CRSs whose name holds text (ignoring ASCII case), or whose code it is
 *     ("2240" or "EPSG:2240"); the empty text lists all. One line per CRS, by
 *     code: code, name, method, unit, "yes" or "no" (whether
 *     gwGeodesyFromEpsg(code, 0) gives a handle), separated by tabs, each line
 *     ending in '\n'.
 *   Both write their text into dst (at most size - 1 characters and a
 *   terminator; nothing when dst is NULL or size 0) and return the whole text's
 *   length, as snprintf does, so a caller may ask with size 0 first. The text
 *   is the same on every call (the database is read-only). On failure they
 *   return -1, write "" into dst (when size > 0) and set gwLastError and
 *   gwLastErrorCode as above; a NULL text of gwEpsgSearch is GW_ERROR_BAD_ARGUMENT.
 *
 * Errors are reported through gwLastError and gwLastErrorCode of gridwise/batch.h,
 * per thread, as the other handle constructors report theirs; a successful call
 * leaves them as they were.
 *
 * Threads (docs/threads.md): every function may be called from any number of
 * threads at once; the database connection is shared and its reads are taken one
 * at a time under a lock of this library. Building a geodesy from a code after
 * the first takes a fraction of a millisecond (0.16 ms); a system built before is
 * kept in memory and built again in a few microseconds (bench/epsg).
 *
 * No function of this header throws or ends the process: when memory runs out
 * gwGeodesyFromEpsg returns NULL and the others -1 (GW_ERROR_OUT_OF_MEMORY). */
#ifndef GRIDWISE_EPSG_H
#define GRIDWISE_EPSG_H

#include <stddef.h>

#include "gridwise/batch.h"
#include "gridwise/export.h"

GW_C_BEGIN

GW_EXPORT GwGeodesy* gwGeodesyFromEpsg(int code, int transformation);
GW_EXPORT ptrdiff_t gwEpsgDescribe(int code, int transformation, char* dst, size_t size);
GW_EXPORT ptrdiff_t gwEpsgSearch(const char* text, char* dst, size_t size);

GW_C_END

#endif
