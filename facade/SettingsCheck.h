// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The settings check: every mistake in a settings file that the readers would
// otherwise turn into a default or a stand-in value without a word, named with
// its file, line, section and key.
//
// The readers of the settings (loadGeoData, Units::loadData) take a default for
// every key that is missing and read what they can of the others: a scale factor
// "0,9996" reads as 0 and is raised to 0.5, "falseEasting" is not a key and the
// false easting stays 500000. The check reads the same lines with the readers of
// the forms (units/FieldRules.h), which take a value only when the whole of it
// reads in its key's form and lies within the range the dialogs allow, and says
// what it finds. Three kinds:
//
//   error    the section would not convert as written: a value that does not
//            read in its key's form (a decimal comma, angle text where degrees
//            are expected, an empty value, text after the number), a value out
//            of its range (a scale factor of 0, a latitude beyond 90 degrees, a
//            semi-major axis in kilometres), a type code that names no
//            projection ("GeodesyType=9"), a unit index outside the five units
//            of the table, a base type that may not be a base (3, 6), and what
//            the polar stereographic grid cannot do (an origin off the pole or
//            off the meridian 0, a false origin outside its frame). A missing
//            or unreadable file or section is an error too.
//   warning  what is read but probably not what was meant: a key that is no
//            settings key (named with the nearest key, "falseEasting": did you
//            mean falseEast?), a key or section that comes again (the first
//            key wins), a name that is cut, holds a comma or a control
//            character.
//   note     what a section written by the library itself may hold: a key of
//            another projection type holding something other than its default
//            (keys of an earlier type stay in a section), a UTF-8 byte-order
//            mark at the start of the file (read as nothing).
//
// A section without problems of the kind error loads as it reads: every key
// that is present reads whole in its form, so loadGeoData gives the values the
// check read. Missing keys take their defaults, as the readers take them.
//
// Threads: the functions read the file through the settings cache and keep no
// state; any thread may call them.
#ifndef GRIDWISE_FACADE_SETTINGSCHECK_H
#define GRIDWISE_FACADE_SETTINGSCHECK_H

#include <string>
#include <string_view>
#include <vector>

namespace gw {

struct SettingsProblem {
    enum class Kind { error, warning, note };
    Kind kind = Kind::error;
    int line = 0;        // 1 for the first line of the file; 0: the file or section as a whole
    std::string section; // as the file spells it; empty for the file as a whole
    std::string key;     // as the file spells it; empty when no key is concerned
    std::string text;    // what is wrong, a sentence that follows "key=value" or the section
    int code = 0;        // the GW_ERROR_* class of an error (gridwise/batch.h)
};

// "FILE:LINE: KIND: [SECTION] TEXT", with file the name the caller gave; a NUL
// byte of a section or key name is shown as "\x00", so the line is whole text.
std::string problemLine(const std::string& file, const SettingsProblem& p);

// The problems of a geodesy section of file (a settings file name as the readers
// take it: a bare name is one of the settings folder). A missing file or section
// is one error.
std::vector<SettingsProblem> checkGeodesySection(const char* file, const char* section);

// The problems of the unit settings: the section "units" of file. A file without
// that section is an error (a caller that names a units file means its section).
std::vector<SettingsProblem> checkUnitsSection(const char* file);

// The problems of every section of file: "units" as unit settings, every other
// as a geodesy section, and the file's own (a byte-order mark, a section that
// comes again).
std::vector<SettingsProblem> checkSettingsFile(const char* file);

// The range the forms allow for a number key of a projection of type code `type`
// (-1 for the datum's keys), by the key's name: scale factors, the polar
// stereographic frame of the false values, the local systems' degrees, factors
// and constants, the datum's axis, flattening, shifts, scale and rotations.
// Keys without a range of their own take any number.
struct NumberRange {
    double lo;
    double hi;
};
NumberRange numberRange(int type, std::string_view key);

// Whether any of the problems is of the kind error.
bool refuses(const std::vector<SettingsProblem>& problems);

} // namespace gw

#endif
