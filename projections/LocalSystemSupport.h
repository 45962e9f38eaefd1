// Helpers shared by the local coordinate systems (the flat local grid, the
// affine local system and the station/offset system): the common projection part
// of a copy, settings values as text numbers, names written into an
// initialisation string, and the base projection that the affine and
// station/offset systems build from the tail of their initialisation string.
#ifndef GRIDWISE_PROJECTIONS_LOCALSYSTEMSUPPORT_H
#define GRIDWISE_PROJECTIONS_LOCALSYSTEMSUPPORT_H

#include <string>

#include "gridwise/projection.h"

namespace gw {

// Copies type code and general and specific names (each cut to 29 characters).
void copyProjectionPart(Projection& dst, const Projection& src);

// A number read as text of up to 99 characters, def when the key is missing,
// converted in the "C" locale (0 for text without a number).
double iniGetDouble(const char* section, const char* key, const char* def, const char* file);

// Writes value with a printf format of one double ("%.12f", "%.4f"), no length limit.
void iniWriteDouble(const char* section, const char* key, const char* fmt, double value,
                    const char* file);

// Writes an integer as "%d".
void iniWriteInt(const char* section, const char* key, int value, const char* file);

// The name as it goes into an initialisation string: a comma would end the field
// early and shift every later field, so commas are written as blanks.
std::string initStringName(const char* name);

// The text behind the n-th comma of text, or null when text has fewer commas.
char* textAfterCommas(char* text, int n);

// A base projection may not be an affine local system (3) or a station/offset
// system (6): such a base would read the outer system's keys again and again.
// Returns code, or 0 (Transverse Mercator) for 3 and 6.
int acceptedBaseType(int code);

// A new base projection envelope built from the text behind a local system's own
// fields. Null, empty or blank text gives a default Transverse Mercator; so does a
// text whose type code is 3 or 6 (a local system is never the base of another).
Projection* makeBaseProjection(char* text);

} // namespace gw

#endif
