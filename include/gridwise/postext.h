/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Position and grid text in the style and unit of the current projection.
 * See docs/threads.md for what may be shared between threads.
 *
 * These functions work on the projection of the geodesy instance and the unit
 * table of the units object. Values handed in and out are metres and degrees;
 * the text carries the projection's unit (its getUnits record; an index outside
 * the filled unit records counts as metres). Numbers are written and read in the
 * "C" locale.
 *
 * The grid forms need the geodesy instance and the units object. Without either:
 * gridToStr and a grid psnToStr write an empty text, a grid strToPsn leaves
 * latitude and longitude as they were, metersToPos returns 1.0.
 * parseStrToGridCoord then reads the text as a plain (not a station) value, as
 * parseStrToUnit does, and leaves it untouched. The geographic forms need
 * neither object.
 *
 * Room: gridToStr writes at most 32 bytes (terminator included; longer values,
 * beyond about 1e20 units, are cut), psnToStr at most 65. strToPsn reads at most
 * the first 79 characters of its text.
 *
 * Threads: the grid forms use the process-wide geodesy instance and units object,
 * neither of which has a lock: call them from one thread at a time, as the
 * functions of geodetics.h, and not while another thread changes the units object.
 * The geographic forms of psnToStr and strToPsn work only on their arguments and
 * may be called from several threads at once. */
#ifndef GRIDWISE_POSTEXT_H
#define GRIDWISE_POSTEXT_H

#include "gridwise/export.h"

GW_C_BEGIN

/* One grid value: axis 0 the bare number, 1 the easting (E, X or offset), any
 * other axis the northing (N, Y or station). A station is rounded to the two
 * printed decimals before it is split into hundreds and the rest ("S1+00.00m"
 * for 99.996 m), so every text reads back within half a unit of its last
 * decimal. A value that rounds to zero has no minus ("O0.00m"; the station of
 * zero is "S0+00.00m"). */
GW_EXPORT void gridToStr(char* dst, double meters, int axis);
/* A grid value in metres; folds the station form in place for station/offset
 * systems; pos receives the index of the first character not consumed. */
GW_EXPORT double parseStrToGridCoord(char* text, int* pos, int unit);
/* A position as two lines separated by "\r\n": latitude and longitude when
 * geographic is non-zero, northing and easting otherwise. */
GW_EXPORT void psnToStr(char* dst, int geographic, double latitude, double longitude);
/* Reads a position written as by psnToStr (either form) into degrees. */
GW_EXPORT void strToPsn(char* text, int geographic, double* latitude, double* longitude);
/* Grid units in one metre of the current projection's unit. */
GW_EXPORT double metersToPos(void);

GW_C_END

#ifdef __cplusplus
class Projection;
class Units;
/* The same grid forms for a projection and a unit table the caller keeps (one of
 * each per thread lets several threads write and read grid text at once):
 * gridToStr writes as above with the style and unit of projection and the records
 * of units; parseStrToGridCoord folds the station form when projection is a
 * station/offset system and reads the value with the unit table of units. Nothing
 * process-wide is used. Exported under their C++ names. */
GW_EXPORT void gridToStr(char* dst, double meters, int axis, Projection& projection, const Units& units);
GW_EXPORT double parseStrToGridCoord(char* text, int* pos, int unit, Projection& projection, Units& units);
#endif

#endif
