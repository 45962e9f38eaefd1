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

// Writes value as numberText(fmt, value, NumberReader::plain, 99): the text of a
// printf format of one double ("%.3f", "%.12f") in the "C" locale, or more
// decimals when the value needs them to read back.
void iniWriteDouble(const char* section, const char* key, const char* fmt, double value,
                    const char* file);

// Writes an integer as "%d".
void iniWriteInt(const char* section, const char* key, int value, const char* file);

// Write a latitude or longitude as latitudeText / longitudeText.
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

// Stored numbers and angles that read back to the last bit.
//
// Settings values and the fields of an initialisation string are written in the
// forms each key states ("%.6f", "N32 10.0000"), and a value those forms cannot
// carry would move when it is saved and read again (a scale factor 0.9996012717
// written "0.999601" moves a grid by 0.29 m). So every number is written in its
// stated form when that text reads back to the same double, and otherwise with
// more decimals: the shortest such text, never fewer decimals than the stated
// form. Files whose values fit their forms stay byte for byte as they were, and
// every text is one the readers always took.
//
// Angles and grid values are read whole (strToAng, the grid reader), but are
// written in texts whose runs of digits and points hold at most twelve
// characters, which readers of earlier releases read the same way; such texts
// cannot carry every double: an angle is written "N32 10.0000" when that reads
// back exactly, otherwise in the first of degrees and minutes with 5 or 6
// decimals, or degrees, minutes and seconds with 0 to 9 decimals, that does, and
// when none does in the one that comes closest (within 3e-13 degree, 0.03
// micrometre on the ground). A grid value gets as many decimals as twelve
// characters hold (within 1e-6 m below 1e6 m). Files written so stay byte for
// byte as they were.
//
// Exact texts (ExactTextScope): what the handle's text form carries from one
// process to another must read back to the bit. Inside the scope the writers give
// any value that its stated form cannot carry as the shortest decimal that reads
// back exactly (an angle as plain signed degrees, "-117.12345678901234"), and the
// field readers read a field that is one such decimal number, [+-]digits[.digits]
// [e[+-]digits] between blanks, to the last bit, whatever its length; any other
// field is read as without the scope. The scope is the calling thread's.
class ExactTextScope {
public:
    ExactTextScope() noexcept;
    ~ExactTextScope();
    ExactTextScope(const ExactTextScope&) = delete;
    ExactTextScope& operator=(const ExactTextScope&) = delete;

private:
    bool previous_;
};

// A text that is one decimal number, [+-]digits[.digits][e[+-]digits] between C
// blanks, read to the last bit into value; false (value unchanged) for any other
// text or a number beyond the range of a double.
bool exactDecimal(const char* text, double& value);

// Whether this thread is inside an ExactTextScope.
bool exactTexts() noexcept;

// How a number field is read back: with cAtof (settings numbers and the number
// fields of initialisation strings) or as a grid value (gridField).
enum class NumberReader { plain, grid };

// The text of value in the printf format fmt (one double, "%.2f"), or a longer one
// as described above, at most maxLength characters when one fits (the fields of
// the local systems' strings are read 19 characters wide).
std::string numberText(const char* fmt, double value, NumberReader reader, std::size_t maxLength);

// An angle written as a plain signed number in the printf format fmt ("%f"), read
// back by strToAng (a datum rotation of a projection-list entry): that text when
// it reads back exactly, otherwise plain degrees with more decimals or degrees,
// minutes and seconds, the first exact or else the closest; inside an
// ExactTextScope the shortest decimal (fixed within maxLength characters).
std::string angleNumberText(const char* fmt, double value, std::size_t maxLength);

// A latitude or longitude of the settings or an initialisation string, as above.
std::string latitudeText(double value);
std::string longitudeText(double value);

// A number field of an initialisation string or datum text: cAtof, or to the last
// bit inside an ExactTextScope.
double numberField(const char* text);
// An angle of a datum text (a rotation): strToAng, or to the last bit inside an
// ExactTextScope when the text is one decimal number.
double angleField(char* text);

// A name as it is kept (dst of cap bytes): blanks, ':' and ';' at its start are
// dropped (the field reader of an initialisation string skips them), the rest is
// cut to at most cap - 1 bytes (nameCut), and whitespace at its end is dropped
// (the settings reader drops it). Null gives "".
void keepName(char* dst, std::size_t cap, const char* src);

// How many bytes of the text src to keep when at most max may be kept: max, or
// fewer so that no UTF-8 character is cut in two (a cut that would fall before a
// continuation byte, 10xxxxxx, moves back to the start of that character, at most
// three bytes). Bytes that are not UTF-8 (a Latin-1 name) are kept one by one: only
// a continuation byte right behind the cut moves it. The whole length when it fits.
std::size_t nameCut(const char* src, std::size_t max);

// copyBounded for names: at most cap - 1 bytes, cut at a character (nameCut).
void copyName(char* dst, const char* src, std::size_t cap);
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
