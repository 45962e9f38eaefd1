/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Geodesy objects by handle and conversions of whole arrays.
 * See docs/threads.md for what may be shared between threads.
 *
 * A GwGeodesy is a geodesy object of the caller's own: a working datum, a map
 * projection (or local system) and a unit table, independent of the process-wide
 * geodesy instance of gridwise/geodetics.h and of the units object. Any number of
 * handles may exist; the process-wide instance stays as it is.
 *
 * Creation:
 *   gwGeodesyFromSettings(file, section) reads a geodesy section exactly as
 *     loadGeoData does ("GeodesyType", the projection's keys, the datum's keys).
 *     A file that cannot be read, or a file without that section, gives NULL (no
 *     silent defaults); keys missing inside an existing section read as their
 *     defaults, as for loadGeoData. A bare file name (no '/') is one of the
 *     settings folder (see gridwise/geodetics.h); name a file of the working
 *     folder as "./file". A section that gwSettingsProblems finds an error in (a
 *     value that does not read whole in its key's form or lies outside its range,
 *     a type code or unit index that names nothing) is refused too, with the class
 *     of its first error (GW_ERROR_TEXT_UNREADABLE, GW_ERROR_BAD_ARGUMENT,
 *     GW_ERROR_UNSUPPORTED) and every error's line in gwLastError.
 *   gwGeodesyFromSettingsWith(file, section, flags) is the same; with the flag
 *     GW_SETTINGS_LENIENT a section with errors is read as loadGeoData reads it
 *     (what does not read takes the reader's stand-in), for a host that must
 *     convert what it has always converted.
 *   gwGeodesyFromText(initString, datumText) builds one from the two parts of a
 *     projection-list entry: the projection's initialisation string (type code
 *     first, comma-separated fields, as Projection's text constructor reads it)
 *     and the datum text "ellipse,a,1/f,datum,dX,dY,dZ,scale,rX,rY,rZ" (as
 *     Datum::setData reads it). A NULL or empty datumText gives WGS 84 without a
 *     shift. Refused (NULL) are: a NULL or empty initString; a type code that is
 *     not a plain integer naming a projection (0, 1, 3, 4, 5, 6, 7); a field
 *     count other than the one the projection writes (a local system's string
 *     carries its base projection's fields behind its own); a datum text with
 *     other than eleven fields, a non-number in a numeric field (a, 1/f, dX, dY,
 *     dZ, scale), a semi-major axis outside 6e6..7e6 m or an inverse flattening
 *     outside 100..1000, shifts beyond +-100000 m, rotations beyond +-180
 *     degrees (these as GW_ERROR_BAD_ARGUMENT). Every field of the
 *     initialisation string is read as the parameter forms read it and refused
 *     (GW_ERROR_TEXT_UNREADABLE, the text naming the field by its position, the
 *     type code being field 1: "field 6 (scale factor) does not read: abc") when
 *     it does not read whole or reads outside the forms' range: latitudes within
 *     +-90 and longitudes within +-180 degrees, false northings and eastings
 *     within +-1e8 m, a Transverse Mercator scale factor in 0.5..10, a polar
 *     stereographic one in 0.1..10, the factors of an affine local system within
 *     +-1e6 and its constants within +-1e7 m, a unit code 0, 1 or 2; names are
 *     taken as they are (a name holds no comma: the writers put a blank for it).
 *     NaN and infinities never read. Projection's own text constructor is not
 *     checked this way: it keeps reading what it cannot read as its defaults.
 *     False northings and eastings are read as grid text:
 *     "1234.5", "4050ft"; in the station form for a station/offset system (type
 *     6), whatever the process-wide geodesy instance holds. A field that is one
 *     decimal number, [+-]digits[.digits][e[+-]digits], is read to the last bit
 *     whatever its length, with an exponent too (which angle and grid text does
 *     not take), so the exact texts below read back to the bit.
 *   gwGeodesyCopy(g) gives an independent copy (NULL for a NULL g or when memory
 *     runs out).
 *   gwGeodesyNew() gives a handle on WGS 84 and the default Transverse Mercator
 *     (NULL when memory runs out).
 *   gwGeodesyFree(g) destroys a handle; NULL is allowed and ignored.
 *
 * What a handle holds, as text: each writes its text into dst (at most size - 1
 * characters and a terminator; nothing when dst is NULL or size 0) and returns
 * the whole text's length, as snprintf does; a NULL handle gives "" and 0.
 *   gwGeodesyInitString(g, dst, size): the projection's initialisation string,
 *     which gwGeodesyFromText reads back (at most GW_INIT_STR_MAX - 1 characters).
 *   gwGeodesyDatumText(g, dst, size): the datum text
 *     "ellipse,a,1/f,datum,dX,dY,dZ,scale,rX,rY,rZ" that gwGeodesyFromText reads
 *     back to the same datum: numbers as the shortest "C"-locale text that reads
 *     back to the same double, rotations as plain degrees when some text of at
 *     most twelve characters reads back exactly, otherwise degrees, minutes and
 *     seconds within about 1e-10 arc-second.
 *   gwGeodesyExactText(g, part, dst, size): the initialisation string
 *     (GW_DESCRIBE_PROJECTION) or the datum text (GW_DESCRIBE_DATUM) as the two
 *     functions above write them, except that a value their forms cannot carry
 *     (a scale factor of more than six decimals, an angle that "N34 07.4074" does
 *     not hold) is written as the shortest decimal that reads back to the same
 *     double, an angle as plain signed degrees ("-117.12345678901234"); without a
 *     length limit. gwGeodesyFromText reads the pair back to the bit: every
 *     conversion of the copy gives the same bits. What a geodesy's text form is
 *     for transport (to another process, a file of the caller's, a pickle).
 *     "" and 0 for an unknown part.
 *   gwGeodesyDescription(g, part, dst, size): the description lines of the
 *     projection (GW_DESCRIBE_PROJECTION, six lines) or of the datum
 *     (GW_DESCRIBE_DATUM, seven lines), joined by '\n', each without the blanks
 *     behind it; as on the dialogs, they use the process-wide units object.
 *   gwSettingsSectionCheck(file, section) tells whether a settings section can
 *     be read, as gwGeodesyFromSettings first checks it: GW_ERROR_NONE, or the
 *     class of the refusal (bad argument, file unreadable, section missing),
 *     with its text in gwLastError.
 *   gwSettingsProblems(file, section, flags, dst, size, refusing) names every
 *     problem of a settings section, one line each:
 *       "FILE:LINE: KIND: [SECTION] TEXT"
 *     (no ":LINE" for the file or a missing section as a whole), KIND one of
 *       error    the section does not convert as written: a value that does not
 *                read whole in its key's form (a decimal comma, angle text where
 *                degrees are expected, text behind a number, an empty value), a
 *                value out of the range the dialogs allow, a type code, base type
 *                or unit index that names nothing, a polar stereographic origin
 *                off the pole or the meridian 0, a file or section that cannot
 *                be read;
 *       warning  read, but probably not as meant: a key that is no settings key
 *                (with the nearest key), a key or section that comes again, a
 *                name that is cut or holds a comma or control character;
 *       note     a key of another projection type that holds something other
 *                than its default, a byte-order mark.
 *     section names the geodesy section; NULL checks every section of the file
 *     ("units" as unit settings). The flag GW_CHECK_UNITS checks the section
 *     "units" of the file instead (section is then ignored); a file without it
 *     is an error. The lines, each ending in '\n', go into dst as far as whole
 *     lines fit (size - 1 characters and a terminator; nothing when dst is NULL
 *     or size 0); returns the length of all of them, as snprintf does, or -1
 *     for a NULL or empty file name (gwLastError says why). *refusing (when not
 *     NULL) receives the number of errors. loadGeoData itself reads as it always
 *     has, defaults for what does not read; this is where a host asks what that
 *     was.
 *   gwLastError() gives, for the calling thread, why its last call of this header
 *     that failed returned NULL or refused a batch ("" when none failed yet). The
 *     text stays valid until the thread's next failing call of this header.
 *   gwLastErrorCode() gives the class of that same failure (GW_ERROR_NONE when
 *     none failed yet), so that a caller can tell kinds apart without reading
 *     the text:
 *       GW_ERROR_BAD_ARGUMENT     a NULL or empty argument where one is needed,
 *                                 a number that reads but lies outside its range
 *                                 (semi-major axis, inverse flattening, scale);
 *       GW_ERROR_FILE_UNREADABLE  the settings file cannot be read;
 *       GW_ERROR_SECTION_MISSING  the settings file has no such section;
 *       GW_ERROR_TEXT_UNREADABLE  an initialisation string or datum text that
 *                                 does not read (a type code that is not an
 *                                 integer, a field count or a field that does
 *                                 not read);
 *       GW_ERROR_UNSUPPORTED      a type code that names no projection;
 *       GW_ERROR_OUT_OF_MEMORY    memory ran out ("out of memory");
 *       GW_ERROR_INTERNAL         a failure none of the checks foresaw (none is
 *                                 known; the text says what failed);
 *       GW_ERROR_FILE_UNWRITABLE  a settings file that could not be written:
 *                                 set by saveGeoData (gridwise/geodetics.h) and
 *                                 saveUnits (gridwise/units.h), which return
 *                                 nothing, when their save did not reach the
 *                                 disk (a read-only file or folder, a folder in
 *                                 place of the file, a missing folder); the
 *                                 text names the file and the reason.
 *     A successful call leaves both as they were.
 *   gwSetLastError(code, text) sets both for the calling thread (a NULL text as
 *     ""): for the companion libraries built on this header (libgridwise-epsg,
 *     gridwise/epsg.h), whose failures a caller reads here as those of the other
 *     constructors. A host has no need of it.
 *
 * Batch conversions: every call takes a handle, a count n, and for every
 * coordinate array a pointer and a stride in bytes between consecutive values
 * (sizeof(double) for a plain array, the record size for interleaved records, 0
 * to use one value for every point: broadcast). Input and output arrays may be the
 * same memory (a point's inputs are all read before its outputs are written), and
 * outputs of one point may overlap inputs of the same point only. An optional
 * status array (stride sizeof(int)) receives per point:
 *   0  converted;
 *   1  an input is not a finite number (NaN, +-infinity);
 *   2  outside the domain: a latitude beyond +-90 degrees (given, or coming out
 *      of gwGridToGeo beyond a pole); a grid result that the projection would
 *      clamp to its frame (Transverse Mercator +-1e7 m, Lambert +-5e6 m from the
 *      false origin, polar stereographic 890000..3110000 m), and for the
 *      Transverse Mercator a grid input beyond +-1e7 m; for Lambert a
 *      latitude of +-90 (the formula folds it onto the equator) and a grid point on
 *      or beyond the apex of the cone; for the polar stereographic projection the
 *      equator and the other hemisphere (a latitude of 0 or of the other sign),
 *      and the pole itself for gwConvergence and gwPointScale; for the geodesic
 *      problems a latitude of exactly +-90, where their formulas are not defined,
 *      and for gwGeodesicDirect a distance beyond 40000 km (about once round the
 *      earth; the series' error grows with the length beyond); for the datum
 *      "ED50(N Sea)", a point outside the area of its North Sea correction
 *      (51.03..62.01 N, 5.05 W..11.14 E; the ED50(N Sea) point in
 *      gwWorkingToWgs84, the shifted one in gwWgs84ToWorking), where the
 *      one-point functions convert without the correction;
 *      any result that comes out as NaN or infinite;
 *   3  an iteration reached its cap before its stopping rule held: the footpoint
 *      latitude of the Transverse Mercator in gwGridToGeo (five steps, 0.1 mm).
 *      On ellipsoids like the earth's (1/f near 300) it settles within the cap
 *      everywhere in the grid frame; on much flatter ones (1/f of 100) it does
 *      not in many places. Such a point is not converted (NaN), although the
 *      one-point function returns the latitude of its fifth step. The other
 *      iterations (the conformal latitude of Lambert and the polar stereographic
 *      projection, the cartesian-to-geographic step of the datum shift, the
 *      short-line geodesic inverse) are not watched: they give their one-point
 *      results and status 0.
 * Every output of a point with status 1, 2 or 3 is NaN; a bad point never stops
 * the batch. The result is the number of points with status 0.
 *
 * Bad calls: a NULL handle, or a NULL array that the call needs (n > 0), makes the
 * call return 0 without writing anything (gwLastError tells why). n = 0 returns 0
 * and touches nothing. A NULL status array is allowed. Nothing is ever written
 * outside the n strided elements of the output and status arrays; outputs and
 * statuses must not be broadcast (a 0 output stride with n > 1 leaves the last
 * point's value).
 *
 * Units and conventions are those of the one-point functions of
 * gridwise/geodetics.h: degrees (latitude positive north, longitude positive
 * east, azimuths clockwise from north in [0, 360)), metres for grid coordinates
 * and distances. Converted points (status 0) carry the one-point functions'
 * results bit for bit (within the table below for the vector kernels), with two
 * deliberate differences: the polar stereographic
 * gwGridToGeo at the false origin gives the pole (+-90, longitude 0), where the
 * one-point function gives (0, 0), and the statuses above turn the one-point
 * functions' clamped or folded fallbacks into NaN.
 *   gwGeoToGrid: lat, lon in; north, east out (geoToGrid).
 *   gwGridToGeo: north, east in; lat, lon out (gridToGeo); longitudes in
 *     (-180, 180].
 *   gwWorkingToWgs84 / gwWgs84ToWorking: lat, lon, h in; lat, lon, h out. The
 *     input height is not used (as in the one-point functions); hOut receives the
 *     height above the target ellipsoid of the shifted point taken at height 0
 *     (a few metres to hundreds of metres for real datums), in both directions.
 *     hOut may be NULL. Longitudes come out in (-180, 180].
 *   gwConvergence: north, east in; grid convergence in degrees out (converge).
 *   gwPointScale: north, east in; the point scale factor out (lineScale of the
 *     zero-length line at that point).
 *   gwGeodesicInverse: lat1, lon1, lat2, lon2 in; azimuth at the first point and
 *     distance out (inverse); coincident points give 0, 0.
 *   gwGeodesicDirect: lat, lon, azimuth, distance in; lat2, lon2 out (direct):
 *     latitudes within +-90, longitudes in (-180, 180]; a negative distance runs
 *     backwards.
 *
 * Kernels: gwGeoToGrid and gwGridToGeo of a Transverse Mercator, RD, Lambert and
 * the polar stereographic projection, gwWorkingToWgs84 and gwWgs84ToWorking
 * (except for the datum "ED50(N Sea)"), gwGeodesicInverse and gwGeodesicDirect
 * run on vectors of 8, 4, 2 or 1 lanes, by the best instruction set the processor
 * has (AVX-512, AVX2, SSE4, else the portable code on SSE2), chosen at run time;
 * the environment variable GRIDWISE_SIMD ("scalar", "sse2", "sse4", "avx2",
 * "avx512"), read once, selects a lower one. The vector kernels take the one-point
 * conversion's steps in the same order, products and sums rounded apart as there;
 * each lane of an iteration starts, steps and stops by the one-point rule on its
 * own. They differ from the one-point results only where a function is evaluated
 * otherwise: Highway's vector sine, cosine, arctangent, logarithm and exponent
 * (an ulp or two from the C library's; tan as sine over cosine, x^y as
 * exp(y ln x), w^1.5 as w sqrt(w)), products with reciprocals of constants for
 * divisions by them, the sine and cosine of a later iteration step turned from
 * the previous ones through the (small) step by short series, the logarithms of
 * quotients for differences of logarithms in the isometric latitude's Newton
 * step, and exp(-psi) of the polar stereographic forward as
 * cos phi / (1 + sin phi) exp(e atanh(e sin phi)). RD's series use no function at
 * all and give the one-point results bit for bit.
 * Where the one-point result hangs on the last ulp of a function, the C library's
 * own is taken lane by lane: ln rho of the Lambert and polar inverses and Lambert's
 * theta = atan(dx / dy) and cos theta before it (an ulp of ln rho is 3e-13 degree
 * of latitude); the geodesic inverse's reduced latitudes with their sine and
 * cosine, the sine and cosine of the longitude difference, the arc cosine of
 * sigma and the cosine of lambda (cos sigma near 1 and the azimuth's denominator
 * cancel: sigma, lambda and the long-line distance come out bit for bit).
 * Lanes are left to the one-point function where the vector functions would not
 * reproduce it within the table below: a lane within a hair of an iteration's
 * stopping rule at any step (footpoint 1e-7 m of its 0.1 mm, Newton step 1e-12
 * rad of its 1e-10, cartesian latitude 1e-13 rad of its 2e-9, the geodesic
 * refinement's 0.1 mm and 1.7453e-6 degree) or of a branch (the geodesic inverse's
 * length estimate within 0.01 m of 40 km, its east-west rule, the direct's
 * quadrant of the longitude); a Transverse Mercator footpoint beyond cos phi = 0.1
 * or more than 0.2 rad of longitude from the central meridian; latitudes beyond
 * 80 degrees in the isometric latitude's inverse, where an ulp of the sine moves
 * the latitude by 1e-16 / cos phi rad (so the polar stereographic inverse of the
 * UPS zones runs on the one-point steps); Lambert grid points more than 45
 * degrees off the grid's axis; latitudes beyond 70 degrees in the datum shift
 * (whose height p / cos phi - N turns an ulp of the latitude into N tan phi
 * 1e-16 m); geodesic direct lines whose end comes near a pole (where the
 * longitude's error grows as 1 / cos of the end's reduced latitude), short
 * direct lines with an end beyond 80 degrees (the one-point function takes the
 * long-line formulas for them) and direct lines of negative distance, short
 * inverse lines across +-180 or beyond 89 degrees; longitudes beyond 1e4 degrees.
 * Largest differences from the one-point results, measured on 10 million random
 * points a case (one run, AVX2 machine: AVX-512 was not at hand), with the lanes
 * whose iteration ended at another step, the lanes left to the one-point
 * function and the lanes with another status. Cases: WGS 84 UTM zone 32, latitudes
 * -80..84, up to 6 degrees from the central meridian, grid points of the same
 * region; Lambert "California 6", latitudes 25..45, longitudes -126..-106; UPS
 * north, latitudes 81..89.9; the shift ED50 on the international ellipsoid to WGS
 * 84 and back, latitudes 35..70, longitudes -10..30; geodesics on WGS 84: "bench"
 * start latitudes -80..80, ends within 10 degrees, direct distances 1..2000 km;
 * "global" any two points, distances up to 20000 km; "short" ends within 0.4
 * degree, distances up to 60 km.
 *     kernels case               grid/dist  lat/az     lon        height    other step one-point other status
 *     sse2    Transverse Merc.   3.7e-9 m   5.7e-14    2.0e-14    -         0          -         0
 *     sse4    Transverse Merc.   3.7e-9 m   5.7e-14    2.0e-14    -         0          -         0
 *     avx2    Transverse Merc.   3.7e-9 m   5.7e-14    2.0e-14    -         0          -         0
 *     all     Lambert            7.5e-9 m   3.6e-14    0          -         0          0         0
 *     all     polar              2.8e-9 m   0          0          -         0          all       0
 *     all     shift to WGS       -          4.3e-14    5.7e-14    8.4e-9 m  0          192       0
 *     all     shift from WGS     -          5.0e-14    5.7e-14    7.5e-9 m  0          200       0
 *     all     inverse, bench     5.5e-11 m  5.7e-14    -          -         0          0         0
 *     all     inverse, global    1.1e-11 m  5.7e-14    -          -         0          7         0
 *     all     inverse, short     1.2e-10 m  5.7e-14    -          -         0          79120     0
 *     all     direct, bench      -          5.0e-14    5.7e-14    -         -          972252    0
 *     all     direct, global     -          5.7e-14    8.5e-14    -         -          2777096   0
 *     all     direct, short      -          5.7e-14    2.8e-14    -         -          822971    0
 * (angles in degrees; "all": sse2, sse4 and avx2 alike, within 7e-15 degree;
 * the Transverse Mercator's grid column is the forward's northing, its easting
 * differs by 2.3e-10 m; "all" one-point: the UPS latitudes lie beyond 80 degrees.)
 * With GRIDWISE_SIMD=scalar, and for the other projections and calls, the results
 * are the one-point results bit for bit.
 *
 * Threads (docs/threads.md): a handle is only read by the batch conversions, so any number of
 * threads may convert at the same time on the same or different handles. Nothing
 * process-wide is read or written while converting. Creating, copying and
 * converting may run beside each other; gwGeodesyFree must not run while another
 * thread still uses that handle. gwGeodesyFromSettings reads the settings file
 * through the settings cache, which has its own lock.
 *
 * No function of this header throws or ends the process: when memory runs out a
 * creation returns NULL. */
#ifndef GRIDWISE_BATCH_H
#define GRIDWISE_BATCH_H

#include <stddef.h>

#include "gridwise/export.h"

GW_C_BEGIN

typedef struct GwGeodesy GwGeodesy;

GW_EXPORT GwGeodesy* gwGeodesyFromSettings(const char* file, const char* section);
GW_EXPORT GwGeodesy* gwGeodesyFromText(const char* initString, const char* datumText);
GW_EXPORT GwGeodesy* gwGeodesyCopy(const GwGeodesy* g);
GW_EXPORT GwGeodesy* gwGeodesyNew(void);
GW_EXPORT void gwGeodesyFree(GwGeodesy* g);
GW_EXPORT size_t gwGeodesyInitString(const GwGeodesy* g, char* dst, size_t size);
GW_EXPORT size_t gwGeodesyDatumText(const GwGeodesy* g, char* dst, size_t size);
GW_EXPORT size_t gwGeodesyExactText(const GwGeodesy* g, int part, char* dst, size_t size);
GW_EXPORT size_t gwGeodesyDescription(const GwGeodesy* g, int part, char* dst, size_t size);
GW_EXPORT int gwSettingsSectionCheck(const char* file, const char* section);
GW_EXPORT GwGeodesy* gwGeodesyFromSettingsWith(const char* file, const char* section, int flags);
GW_EXPORT long gwSettingsProblems(const char* file, const char* section, int flags, char* dst, size_t size,
                                  int* refusing);

/* Flags of gwGeodesyFromSettingsWith and gwSettingsProblems. */
enum { GW_SETTINGS_LENIENT = 1, GW_CHECK_UNITS = 2 };

/* Parts of gwGeodesyDescription and gwGeodesyExactText. */
enum { GW_DESCRIBE_PROJECTION = 0, GW_DESCRIBE_DATUM = 1 };
GW_EXPORT const char* gwLastError(void);
GW_EXPORT int gwLastErrorCode(void);
GW_EXPORT void gwSetLastError(int code, const char* text);

/* Classes of the failures that gwLastErrorCode reports (see above). */
enum {
    GW_ERROR_NONE = 0,
    GW_ERROR_BAD_ARGUMENT = 1,
    GW_ERROR_FILE_UNREADABLE = 2,
    GW_ERROR_SECTION_MISSING = 3,
    GW_ERROR_TEXT_UNREADABLE = 4,
    GW_ERROR_UNSUPPORTED = 5,
    GW_ERROR_OUT_OF_MEMORY = 6,
    GW_ERROR_INTERNAL = 7,
    GW_ERROR_FILE_UNWRITABLE = 8
};

/* Status codes of the batch conversions. */
enum {
    GW_STATUS_OK = 0,
    GW_STATUS_NOT_FINITE = 1,
    GW_STATUS_OUT_OF_DOMAIN = 2,
    GW_STATUS_ITERATION_CAP = 3
};

GW_EXPORT size_t gwGeoToGrid(const GwGeodesy* g, size_t n, const double* lat, ptrdiff_t latStride,
                             const double* lon, ptrdiff_t lonStride, double* north, ptrdiff_t northStride,
                             double* east, ptrdiff_t eastStride, int* status);
GW_EXPORT size_t gwGridToGeo(const GwGeodesy* g, size_t n, const double* north, ptrdiff_t northStride,
                             const double* east, ptrdiff_t eastStride, double* lat, ptrdiff_t latStride,
                             double* lon, ptrdiff_t lonStride, int* status);
GW_EXPORT size_t gwWorkingToWgs84(const GwGeodesy* g, size_t n, const double* lat, ptrdiff_t latStride,
                                  const double* lon, ptrdiff_t lonStride, const double* h,
                                  ptrdiff_t hStride, double* latOut, ptrdiff_t latOutStride,
                                  double* lonOut, ptrdiff_t lonOutStride, double* hOut,
                                  ptrdiff_t hOutStride, int* status);
GW_EXPORT size_t gwWgs84ToWorking(const GwGeodesy* g, size_t n, const double* lat, ptrdiff_t latStride,
                                  const double* lon, ptrdiff_t lonStride, const double* h,
                                  ptrdiff_t hStride, double* latOut, ptrdiff_t latOutStride,
                                  double* lonOut, ptrdiff_t lonOutStride, double* hOut,
                                  ptrdiff_t hOutStride, int* status);
GW_EXPORT size_t gwConvergence(const GwGeodesy* g, size_t n, const double* north, ptrdiff_t northStride,
                               const double* east, ptrdiff_t eastStride, double* out,
                               ptrdiff_t outStride, int* status);
GW_EXPORT size_t gwPointScale(const GwGeodesy* g, size_t n, const double* north, ptrdiff_t northStride,
                              const double* east, ptrdiff_t eastStride, double* out, ptrdiff_t outStride,
                              int* status);
GW_EXPORT size_t gwGeodesicInverse(const GwGeodesy* g, size_t n, const double* lat1,
                                   ptrdiff_t lat1Stride, const double* lon1, ptrdiff_t lon1Stride,
                                   const double* lat2, ptrdiff_t lat2Stride, const double* lon2,
                                   ptrdiff_t lon2Stride, double* azimuth, ptrdiff_t azimuthStride,
                                   double* distance, ptrdiff_t distanceStride, int* status);
GW_EXPORT size_t gwGeodesicDirect(const GwGeodesy* g, size_t n, const double* lat, ptrdiff_t latStride,
                                  const double* lon, ptrdiff_t lonStride, const double* azimuth,
                                  ptrdiff_t azimuthStride, const double* distance,
                                  ptrdiff_t distanceStride, double* lat2, ptrdiff_t lat2Stride,
                                  double* lon2, ptrdiff_t lon2Stride, int* status);

GW_C_END

#endif
