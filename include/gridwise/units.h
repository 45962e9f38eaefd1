/* Units of length, the process-wide unit settings and distance text.
 *
 * The unit table holds ten records, five filled: 0 metres, 1 feet, 2 US survey
 * feet, 3 kilometres, 4 nautical miles. The settings live in section "units" of the
 * settings file the caller names. Numbers are written and read in the "C" locale. */
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

    Units();
    void loadData(char* file);
    void saveData(char* file);
    /* value in metres written in unit `unit` with `decimals` decimals (clamped to
     * 0..9) followed by the unit's abbreviation; `capacity` is the caller's buffer size. */
    void toStr(char* dst, double meters, int unit, int decimals, int capacity);
    /* parseStrToUnit of text with `unit` as the default unit; metres. */
    double fromStr(char* text, int unit);
};

#else
typedef struct Units Units;
#endif

GW_C_BEGIN

GW_EXPORT int allocUnits(char* file);
GW_EXPORT void deAllocUnits(char* file);
GW_EXPORT void saveUnits(char* file);
GW_EXPORT void loadUnits(char* file);
GW_EXPORT Units* getUnits(void);
GW_EXPORT int getLatLonStyle(void);
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
