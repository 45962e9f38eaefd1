// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Settings values and text fields shared by the projections and the datum.
//
// Settings numbers are read as text of up to 99 characters and converted in the
// "C" locale; angles are read with strToAng and written as latitude or longitude
// text with four decimals of minutes ("N32 10.0000", "W116 15.0000"). Names and
// grid values of initialisation strings, and the unit names and distances of
// description lines, are written and read here too, so that every projection
// uses the same forms.
#ifndef GRIDWISE_UNITS_SETTINGSTEXT_H
#define GRIDWISE_UNITS_SETTINGSTEXT_H

#include <cstddef>
#include <string>

namespace gw {

// An angle read as text of up to 99 characters (def when the key is missing) by
// strToAng: 0 for text without an angle.
double iniGetAngle(const char* section, const char* key, const char* def, const char* file);

// A number read as text of up to 99 characters (def when the key is missing),
// converted in the "C" locale: 0 for text without a number.
double iniGetDouble(const char* section, const char* key, const char* def, const char* file);

// Writes value with a printf format of one double ("%.3f", "%.12f"), in the "C"
// locale. Any double is written whole with up to 100 decimals.
void iniWriteDouble(const char* section, const char* key, const char* fmt, double value,
                    const char* file);

// Writes an integer as "%d".
void iniWriteInt(const char* section, const char* key, int value, const char* file);

// Write a latitude or longitude as latText / lonText.
void iniWriteLat(const char* section, const char* key, double value, const char* file);
void iniWriteLon(const char* section, const char* key, double value, const char* file);

// Angles and names as the library keeps them: only what the settings writers and
// the initialisation string can carry back, so that a projection saved and read
// again converts as before and keeps its names.
//
// A longitude beyond +-180 degrees (E190 as written) is brought into (-180, 180]
// by whole turns; one within [-180, 180] is kept as it is. NaN gives 0.
double keptLongitude(double lon);
// A latitude within [-90, 90] is kept; one beyond the poles (532 as written) or NaN
// is refused and def, the key's default, serves instead.
double keptLatitude(double lat, double def);

// Angle keys of the settings: iniGetAngle, then kept as above (def is the default
// text, also the latitude used in place of one beyond the poles).
double iniGetLatitude(const char* section, const char* key, const char* def, const char* file);
double iniGetLongitude(const char* section, const char* key, const char* def, const char* file);

// Angle fields of an initialisation string: strToAng, then kept as above.
double latitudeField(char* text, double def);
double longitudeField(char* text);

// A name as it is kept (dst of cap bytes): blanks, ':' and ';' at its start are
// dropped (the field reader of an initialisation string skips them), the rest is
// cut to cap - 1 characters, and whitespace at its end is dropped (the settings
// reader drops it). Null gives "".
void keepName(char* dst, std::size_t cap, const char* src);
// A name read from the settings: iniGetString into dst, then kept as above.
void iniGetName(const char* section, const char* key, const char* def, char* dst,
                std::size_t cap, const char* file);

// Latitude "NDD MM.mmmm" and longitude "EDDD MM.mmmm" ('S', 'W' for negative
// values); out of range or NaN gives the zero angle of the hemisphere writer.
std::string latText(double value);
std::string lonText(double value);

// The name as it goes into an initialisation string (null gives ""): a comma
// would end the field early and shift every later field, so commas are written
// as blanks.
std::string initStringName(const char* name);

// A false northing or easting of an initialisation string: a grid value in metres
// unless the text names its unit.
double gridField(char* text);

// The name of a grid unit in description lines: "Meters", "Feet" or "US Survey
// Feet" for 0, 1, 2; null for any other index.
const char* unitLineName(int units);

// A value in metres written by Units::toStr in unit `unit` with `decimals`
// decimals (value and abbreviation) into dst of cap bytes, cut to fit. Uses the
// process-wide units object, or the default unit table when there is none. An
// index outside the ten-record table is written in metres.
void distanceText(char* dst, std::size_t cap, double meters, int unit, int decimals);

} // namespace gw

#endif
