/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* The geodesy instance and its C interface.
 * See docs/threads.md for what may be shared between threads.
 *
 * The library keeps one process-wide geodesy object (a working datum and a map
 * projection). allocGeodetics creates it: WGS 84 and a default Transverse
 * Mercator (UTM zone 11 north); loadGeoData/saveGeoData read and write it in a
 * section of a settings file; the conversions below forward to it.
 *
 * Angles are degrees (latitude positive north, longitude positive east, azimuths
 * clockwise from north in [0, 360)); grid coordinates are northing and easting in
 * metres, whatever unit the projection shows them in as text.
 *
 * Without an instance (before allocGeodetics, after deAllocGeodetics, or when the
 * host refused this build at start-up) every function here does nothing: results
 * are 0, out-arguments are left as they were, buffers are not touched. A null
 * out-pointer is allowed; that result is then dropped.
 *
 * Settings layout of one section: "GeodesyType" (the projection type code, "%d"),
 * then the projection's own keys, then the datum's keys ("aAxis" ... "datumName").
 * A missing file, section or key reads as its default.
 *
 * Threads: the instance is process-wide and has no lock, and every function here
 * reads or changes it: call them from one thread at a time (the host's
 * user-interface thread). Settings files are read through a cache with a lock, so
 * loadGeoData does not disturb other threads that read settings files at the same
 * time; two writes of one settings file at once (saveGeoData beside another
 * writer) may lose one of them, since each replaces the whole file. */
#ifndef GRIDWISE_GEODETICS_H
#define GRIDWISE_GEODETICS_H

#include "gridwise/export.h"

GW_C_BEGIN

/* Creates the geodesy instance (replacing and destroying an existing one).
 * 1 on success; 0 when it cannot be created, or the host refused this build, and
 * then there is no instance. */
GW_EXPORT int allocGeodetics(void);
/* Destroys the instance, if there is one. */
GW_EXPORT void deAllocGeodetics(void);
/* Reads / writes the geodesy settings of section in file. A save that does not
 * reach the disk (a read-only file or folder, a folder in place of the file, a
 * missing folder, a section name that cannot be written) leaves the file as it
 * was and is reported through gwLastErrorCode (GW_ERROR_FILE_UNWRITABLE) and
 * gwLastError (gridwise/batch.h), which a successful save leaves as they were. */
GW_EXPORT void loadGeoData(char* section, char* file);
GW_EXPORT void saveGeoData(char* section, char* file);
/* Runs the Geodetics dialog (parent is not used); 1 when the user accepted with
 * OK and the instance took the new projection and datum, 0 otherwise (nothing
 * changes). Also 0 at once when no dialog can be shown (no display). */
GW_EXPORT int editDialog(void* parent);
/* Runs the Data Units dialog over the window handle parent (a toolkit window, or
 * null) on the units object: 1 after OK, which stores the chosen distance unit,
 * latitude/longitude style and default coordinate type and saves the unit
 * settings to the file last given to loadUnits; 0 after Cancel, and at once when
 * no dialog can be shown, changing and writing nothing. Without a units object
 * the dialog opens empty and OK changes nothing. */
GW_EXPORT int dataUnitsDialog(void* parent);

/* Grid (metres) to latitude/longitude on the working datum (degrees) and back;
 * gridToGeo gives longitudes in (-180, 180]. */
GW_EXPORT void gridToGeo(double north, double east, double* lat, double* lon);
GW_EXPORT void geoToGrid(double lat, double lon, double* north, double* east);
/* Scale factor of the grid line between two grid points. */
GW_EXPORT double lineScale(double north1, double east1, double north2, double east2);
/* Grid convergence at a grid point, degrees. */
GW_EXPORT double converge(double north, double east);

/* Datum shift between WGS 84 and the working datum; h is not used, and
 * wgs84ToWorking leaves *hOut as it was. Longitudes come out in (-180, 180]. For
 * the datum "ED50(N Sea)" the North Sea correction is applied only within its
 * area, 51.03..62.01 N, 5.05 W..11.14 E (see gridwise/datum.h); outside it the
 * point is shifted without the correction (the batch conversions of
 * gridwise/batch.h refuse it with status 2). */
GW_EXPORT void wgs84ToWorking(double lat, double lon, double h, double* latOut, double* lonOut,
                              double* hOut);
GW_EXPORT void workingToWgs84(double lat, double lon, double h, double* latOut, double* lonOut,
                              double* hOut);

/* Geodesic direct and inverse problems on the working ellipsoid. direct gives
 * latitudes within +-90 and longitudes in (-180, 180], also for lines over a
 * pole; a negative distance runs backwards (the line of |distance| in azimuth +
 * 180). Their accuracy is shown in docs/accuracy.md. */
GW_EXPORT void direct(double lat1, double lon1, double azimuth, double distance, double* lat2,
                      double* lon2);
GW_EXPORT void inverse(double lat1, double lon1, double lat2, double lon2, double* azimuth,
                       double* distance);

/* The projection's general and specific names, each cut to 29 characters plus
 * the terminator (never more than 30 bytes written into either buffer; a null
 * buffer is skipped). 1, or 0 without an instance (buffers untouched). */
GW_EXPORT int getInfo(char* general, char* specific);
/* Unit-table index of the projection's grid unit (0 metres, 1 feet, 2 US survey
 * feet). */
GW_EXPORT int getPlotUnits(void);
/* Metres in one grid unit of the projection (an index outside the filled unit
 * records counts as metres). */
GW_EXPORT double getConversion(void);

/* Track memory, kept for the host and used by no computation. The first pair,
 * whatever pair is active: */
GW_EXPORT void getLatLonTrack(double* lat, double* lon);
/* A pair that is not -1 and differs from the active pair only makes it the
 * active pair; otherwise (lat, lon) is stored into the active pair (0 the first,
 * any other value the second). */
GW_EXPORT void setLatLonTrack(double lat, double lon, int pair);

GW_C_END

#ifdef __cplusplus
/* All five track values (exported under its C++ name). */
GW_EXPORT void getLatLonTrack(double& lat1, double& lon1, double& lat2, double& lon2,
                              int& activePair);
#endif

#endif
