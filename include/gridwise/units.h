/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Units of length, the process-wide unit settings and distance text.
 * See docs/threads.md for what may be shared between threads.
 *
 * The unit table holds ten records, five filled: 0 metres, 1 feet, 2 US survey
 * feet, 3 kilometres, 4 nautical miles. The settings live in section "units" of the
 * settings file the caller names. Numbers are written and read in the "C" locale.
 *
 * Unit indices (distUnits, wpUnits, the `unit` arguments): records 0 to 4. An index
 * outside them (a settings file may hold any number; it is kept as read and saved back
 * unchanged) converts as metres, with the metres abbreviation and decimals.
 *
 * Without a units object (before allocUnits, after deAllocUnits) the functions act as
 * a freshly built Units would: metersToDist and distToMeters give 1.0, distToStr and
 * wpDistToStr write metres, parseStrToDist and parseStrToUnit read numbers without a
 * suffix as metres (or in the given unit), getLatLonStyle and defaultEntry give 0.
 * saveUnits, loadUnits and deAllocUnits then leave every file alone.
 *
 * Threads: the units object is process-wide and has no lock. The functions that
 * only read it (getUnits, getLatLonStyle, defaultEntry/geoOrGrid, metersToDist,
 * distToMeters, distToStr, wpDistToStr, parseStrToDist, parseStrToUnit) may run
 * in several threads at once while nothing changes it. allocUnits, deAllocUnits,
 * loadUnits and saveUnits, and any change a host makes through getUnits, need
 * every other call of this header to have finished. A Units object of the host's
 * own is used by one thread at a time, or by several that only read it. */
#ifndef GRIDWISE_UNITS_H
#define GRIDWISE_UNITS_H

#include "gridwise/export.h"

#ifdef __cplusplus

/* One unit of length. */
class GW_EXPORT Unit {
public:
    char name[20];        /* display name; empty marks a record not in use */
    char abbrev[12];      /* abbreviation written directly behind a number */
    double metersPerUnit; /* metres in one unit */
    int decimals;         /* decimals used by distToStr for this unit */

    Unit();
};

/* The unit table and the seven unit settings. */
class GW_EXPORT Units {
public:
    Unit unitTable[10];
    int distUnits;
    int wpUnits;
    int latLonStyle;
    int defaultLatHemi;
    int defaultLonHemi;
    int defaultEntry;
    int defaultDistCalc;

    /* The five filled records, records 5 to 9 empty, all settings 0. */
    Units();
    /* Reads the seven settings from section "units" of file (integers, 0 when missing).
     * A null file changes nothing. */
    void loadData(char* file);
    /* Writes the seven settings ("%d") to section "units" of file. */
    void saveData(char* file);
    /* value in metres written in unit `unit` with `decimals` decimals (clamped to
     * 0..9) followed by the unit's abbreviation, no space ("328.083ft"); at most
     * `capacity` bytes are written, terminator included (nothing when capacity <= 0). */
    void toStr(char* dst, double meters, int unit, int decimals, int capacity);
    /* parseStrToUnit of text with `unit` as the default unit, with this object's
     * unit table; metres. The second form also gives the index of the first
     * character not read (pos may be null). */
    double fromStr(char* text, int unit);
    double fromStr(char* text, int unit, int* pos);
};

#else
typedef struct Units Units;
#endif

GW_C_BEGIN

/* allocUnits: creates the units object and loads it from file; 1, or 0 when it cannot
 * be allocated. Called again, it starts the existing object afresh and reloads it (a
 * pointer taken from getUnits stays valid). deAllocUnits saves to file and destroys.
 * saveUnits (and the save of deAllocUnits) with a file that cannot be written
 * leaves it as it was and reports it through gwLastErrorCode
 * (GW_ERROR_FILE_UNWRITABLE) and gwLastError (gridwise/batch.h); a null file
 * saves nothing and reports nothing.
 * loadUnits remembers file as the units file name (a name of 256 characters or more
 * is not remembered; the old name stays) and reloads the object when there is one.
 *
 * distToStr, wpDistToStr: distance in the distance (waypoint) unit followed by its
 * abbreviation, no space ("1234.57m"); a distance that rounds to zero has no minus
 * ("0.00m"); at most 50 bytes are written, terminator included. wpDistToStr's
 * decimals are clamped to 0..9.
 *
 * parseStrToUnit: distance text in metres. Optional axis label (N E Y X S O), sign,
 * a run of at most 12 digits and points, optional suffix m, km, nm, ft, yd (any
 * case; "ft" is international feet when unit is 1, US survey feet otherwise); without
 * a suffix the number is in unit `unit` (negative counts as 0). *pos (may be null)
 * receives the index of the first character not read. 0.0 for text without a number
 * (and for a null text). parseStrToDist: the same with distUnits, position dropped. */
GW_EXPORT int allocUnits(char* file);
GW_EXPORT void deAllocUnits(char* file);
GW_EXPORT void saveUnits(char* file);
GW_EXPORT void loadUnits(char* file);
GW_EXPORT Units* getUnits(void);
GW_EXPORT int getLatLonStyle(void);
/* defaultEntry (0 latitude/longitude, 1 grid), under two names. */
GW_EXPORT int geoOrGrid(void);
GW_EXPORT int defaultEntry(void);
GW_EXPORT double metersToDist(void);
GW_EXPORT double distToMeters(void);
GW_EXPORT void distToStr(char* dst, double meters);
GW_EXPORT void wpDistToStr(char* dst, double meters, int decimals);
GW_EXPORT double parseStrToDist(char* text);
GW_EXPORT double parseStrToUnit(char* text, int* pos, int unit);

GW_C_END

#endif
