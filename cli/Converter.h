// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The conversions of the gridwise tool, a batch of input lines at a time.
//
// A Converter owns a geodesy handle of its own (a copy of the geodesy object the
// settings gave, and of the unit table), so one Converter per thread converts
// with nothing shared. A batch is converted in three steps: every line's fields
// are read into arrays, the arrays are converted by the handle's batch
// conversions (gridwise/batch.h), and the output lines are written, one per
// input line (ending in '\n'), in order:
//   - an empty line, a line of blanks and a line whose first non-blank character
//     is '#' pass through unchanged;
//   - otherwise the job's fields are read (see LineFields.h), converted and
//     written, followed by the rest of the line as it was (point names); the
//     fields are separated by the separator that followed the first field of the
//     input (a comma, a tab, else a blank);
//   - a line that cannot be read or converted gives "ERROR: <what is wrong>":
//     fields that cannot be read, and points the batch conversion refuses (outside
//     the projection's domain, such as a grid value the projection would clamp to
//     its frame, or an iteration that did not settle).
// Numbers are written as "%.*f" writes them in the "C" locale (but a value that
// rounds to zero has no minus): metres with `precision` decimals, degrees with
// precision + 5 (about the same step on the ground), scale factors with
// precision + 6. With `text`, the library's own text forms, with the decimals of
// the unit settings, are written instead (precision then applies to the
// convergence and scale columns only): latitudes and longitudes in the style of the unit
// settings (degrees and decimal minutes with 4 decimals, or degrees, minutes and
// seconds with 3), grid values in the projection's labels and unit, azimuths as
// angle text and distances in the distance unit of the unit settings; plain
// numbers in the input are then in the projection's unit (grid values) and the
// distance unit (distances). Convergences stay in decimal degrees, the one form
// of a small signed angle that reads back as one field.
#ifndef GRIDWISE_CLI_CONVERTER_H
#define GRIDWISE_CLI_CONVERTER_H

#include <string>
#include <string_view>
#include <vector>

#include "cli/LineFields.h"
#include "cli/LineStream.h"
#include "facade/GeodesyHandle.h"
#include "facade/Geodetics.h"
#include "gridwise/units.h"

namespace gwcli {

enum class Job { geo2grid, grid2geo, wgs2working, working2wgs, wgs2grid, grid2wgs, inverse, direct };

struct JobOptions {
    Job job = Job::geo2grid;
    int precision = 3;        // decimals of metres
    bool text = false;        // the library's text forms
    bool convergence = false; // geo2grid, grid2geo: a convergence column
    bool scale = false;       // geo2grid, grid2geo: a point scale column
};

class Converter : public LineConverter {
public:
    Converter(const Geodetics& geodesy, const Units& units, const JobOptions& options);
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    std::size_t convertLines(const std::vector<InputLine>& lines, std::string& out) override;

private:
    // What became of one input line.
    struct Item {
        enum Kind { passThrough, error, point } kind;
        std::size_t index;      // into points (point) or errors (error)
        std::string_view rest;  // the text after the fields
        char separator;         // between output fields
    };

    bool readFields(std::size_t& next, double* in);
    void convertPoints();
    void writePoint(std::string& out, std::size_t k);
    void degrees(std::string& out, double value);
    void meters(std::string& out, double value);
    void latitude(std::string& out, double value);
    void longitude(std::string& out, double value);
    void grid(std::string& out, double value, int axis);
    void angle(std::string& out, double value);
    // A latitude, longitude or angle through its library writer in the unit
    // settings' style, or decimal degrees without --text.
    void angleText(std::string& out, double value, int (*writer)(char*, double, int, int));
    void distance(std::string& out, double value);

    GwGeodesy handle_;
    JobOptions options_;
    int gridUnit_ = 0;     // unit record of plain grid numbers
    int distanceUnit_ = 0; // unit record of plain distances
    int gridSuffix_ = 0;   // the records that decide what a unit suffix means
    int distanceSuffix_ = 0;
    LineTokens tokens_;
    std::string error_;
    char separator_ = ' ';

    std::vector<Item> items_;
    std::vector<std::string> errors_;
    std::vector<double> in_[4];  // the fields of the points, by column
    std::vector<double> out_[4]; // results: two values, convergence, scale
    std::vector<double> mid_[2]; // the intermediate latitude and longitude of two-step jobs
    std::vector<int> status_, status2_;
};

} // namespace gwcli

#endif
