// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The fields of one input line of the gridwise tool, and the numbers it writes.
//
// A line is split into tokens at runs of blanks and tabs and at single commas
// (blanks around a comma belong to it; two commas in a row leave an empty token
// between them). The expected fields are then read from the tokens, in order:
//
//   - An angle (latitude, longitude, azimuth) is a form of the library's angle
//     parser, the degrees, minutes and seconds in tokens of their own: with a
//     hemisphere letter first ("N52 05.1240", "N 52 05 07.44", "W117.5") or last
//     ("52 05 07.44 N", "52 05.1240N"), or without one ("52.0854", "-117 15 30",
//     "195 26 08.203"). After the degrees, a following token can be minutes (and
//     one after that seconds) only when the field before it is whole and it is
//     below 60: those tokens are the angle's run. With the letter first the angle
//     takes its whole run; with the letter last it ends at the letter, which must
//     follow at most three such numbers. Without a letter it may end after any
//     token of its run, and readFields chooses (below). So "34 -117 1001" is
//     latitude 34, longitude -117 and the point name "1001". Latitudes take N or
//     S, longitudes E or W, azimuths any of the four. Every number is read
//     exactly whatever its length (one token of decimal degrees by
//     std::from_chars, the other forms by the library's parser, which reads its
//     runs whole), so every reading of a line counts, however long its numbers.
//   - A grid value is one token: a plain number ("5765432.10") or a form of the
//     library's grid parser ("N5765432.10m", "1234.5ft", "S12+34.56m", "O-5.00m"
//     for a station/offset system). An axis letter must fit the field (N, Y or S
//     for a northing, E, X or O for an easting). A plain number is in the default
//     unit (metres, or the projection's unit with --text).
//   - A distance is one token, a plain number or a number with a unit suffix.
//
// Reading never depends on the process locale, never reads beyond the line and
// never writes beyond its buffers. Each reader gives false and an explanation for
// a field it cannot read.
#ifndef GRIDWISE_CLI_LINEFIELDS_H
#define GRIDWISE_CLI_LINEFIELDS_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class Projection;
class Units;

namespace gwcli {

class LineTokens {
public:
    // Splits line into tokens (see above).
    void split(std::string_view line);
    std::size_t count() const { return tokens_.size(); }
    std::string_view text(std::size_t i) const { return line_.substr(tokens_[i].begin, tokens_[i].size); }
    // The offset just behind token i, and where token i starts.
    std::size_t end(std::size_t i) const { return tokens_[i].begin + tokens_[i].size; }
    std::size_t begin(std::size_t i) const { return tokens_[i].begin; }
    std::string_view line() const { return line_; }

private:
    struct Span {
        std::size_t begin, size;
    };
    std::string_view line_;
    std::vector<Span> tokens_;
};

enum class AngleKind { latitude, longitude, azimuth };

// Reads the angle starting at token next and moves next past its last token. An
// angle without a letter takes `parts` tokens (its degrees, minutes, seconds) or
// as many as it has, when fewer.
bool readAngle(const LineTokens& tokens, std::size_t& next, AngleKind kind, double& degrees, std::string& error,
               std::size_t parts = 1);

// The number of tokens (1 to 3) an angle without a letter at token next may take:
// its degrees and the minutes and seconds that may follow; 0 when the angle there
// has a letter or is no number. A letter last that does not fit the kind belongs
// to the next angle ("34 30 W": the latitude's run is "34 30", and the longitude
// may be "30 W").
std::size_t angleRun(const LineTokens& tokens, std::size_t next, AngleKind kind);

// The grid value of token next (then next + 1) in metres; defaultUnit is the unit
// record of a number without a unit suffix, suffixUnit the one that decides what a
// suffix means; northing selects the axis letters that fit.
bool readGrid(const LineTokens& tokens, std::size_t& next, bool northing, int defaultUnit, Projection& projection,
              Units& units, double& meters, std::string& error, int suffixUnit = 0);

// A distance in metres; a number without a unit suffix is in unit defaultUnit,
// suffixUnit decides what a suffix means.
bool readDistance(const LineTokens& tokens, std::size_t& next, int defaultUnit, Units& units, double& meters,
                  std::string& error, int suffixUnit = 0);

// The fields of a command, in order.
enum class Field { latitude, longitude, azimuth, northing, easting, distance };
constexpr std::size_t kMaxFields = 4;

// What the readers need: the unit records of plain grid numbers and distances,
// the records that decide what a unit suffix means (the projection's unit and the
// distance unit of the unit settings: "ft" is the international foot there when
// that unit is, else the US survey foot), the projection (its grid style) and the
// unit table.
struct FieldUnits {
    int grid = 0;
    int distance = 0;
    int gridSuffix = 0;
    int distanceSuffix = 0;
    Projection* projection = nullptr;
    Units* units = nullptr;
};

// Reads the `count` fields of a line (at most kMaxFields) from its first token,
// considering every reading of the angles without a letter (see above). values[f]
// is field f, ends[f] the token behind it. Exactly one reading must fit:
//   - a grid value or a distance never starts inside the run of an angle without
//     a letter (it would take the angle's minutes or seconds); only a further
//     angle may;
//   - a line that still reads in more than one way is refused as ambiguous, with
//     two of its readings in the error (the first, whose angles take the fewest
//     tokens, and the last); a point name that would start inside an angle's run
//     is one such way ("34 -117 12": the name "12", or 12 minutes);
//   - but a line of exactly `count` plain numbers is read one number per field.
// A line whose fields cannot be read gives the error of the reading that got
// furthest.
bool readFields(const LineTokens& tokens, const Field* fields, std::size_t count, const FieldUnits& units,
                double* values, std::size_t* ends, std::string& error);

// The value of a plain number (an optional sign, digits with at most one point),
// correctly rounded as std::from_chars reads it.
double plainValue(std::string_view text);

// Appends value with exactly `decimals` decimals, as "%.*f" writes it in the "C"
// locale (NaN and infinities as "nan", "inf", "-inf"), except that a value that
// rounds to zero is written without a minus ("0.000", never "-0.000").
void appendFixed(std::string& out, double value, int decimals);

} // namespace gwcli

#endif
