// The conversions of the gridwise tool, one input line at a time.
//
// A Converter owns its geodesy object (a copy of the one the settings gave) and
// its unit table, so one Converter per thread converts without anything shared.
// convertLine writes exactly one output line (ending in '\n') for every input
// line (given without its line break):
//   - an empty line, a line of blanks and a line whose first non-blank character
//     is '#' pass through unchanged;
//   - otherwise the job's fields are read (see LineFields.h), converted and
//     written, followed by the rest of the line as it was (point names); the
//     fields are separated by the separator that followed the first field of the
//     input (a comma, a tab, else a blank);
//   - a line that cannot be read or converted gives "ERROR: <what is wrong>".
// Numbers are written as "%.*f" writes them in the "C" locale: metres with
// `precision` decimals, degrees with precision + 5 (about the same step on the
// ground), scale factors with precision + 6. With `text`, the library's own text
// forms are written instead: latitudes and longitudes in the style of the unit
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

#include "cli/LineFields.h"
#include "cli/LineStream.h"
#include "facade/Geodetics.h"
#include "gridwise/units.h"

namespace gwcli {

enum class Job { geo2grid, grid2geo, wgs2working, working2wgs, wgs2grid, grid2wgs, inverse, direct };

struct JobOptions {
    Job job = Job::geo2grid;
    int precision = 3;       // decimals of metres
    bool text = false;       // the library's text forms
    bool convergence = false; // geo2grid, grid2geo: a convergence column
    bool scale = false;       // geo2grid, grid2geo: a point scale column
};

class Converter : public LineConverter {
public:
    Converter(const Geodetics& geodesy, const Units& units, const JobOptions& options);
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Appends the output line of line to out; false when the line gave ERROR.
    bool convertLine(std::string_view line, std::string& out) override;

private:
    bool convert(std::string& out);
    void degrees(std::string& out, double value);
    void meters(std::string& out, double value);
    void latitude(std::string& out, double value);
    void longitude(std::string& out, double value);
    void grid(std::string& out, double value, int axis);
    void angle(std::string& out, double value);
    void distance(std::string& out, double value);
    void gridExtras(std::string& out, double north, double east);
    bool readLatLon(std::size_t& next, double& lat, double& lon);
    bool readNorthEast(std::size_t& next, double& north, double& east);

    Geodetics geodesy_;
    Units units_;
    JobOptions options_;
    int gridUnit_ = 0;     // unit record of plain grid numbers
    int distanceUnit_ = 0; // unit record of plain distances
    LineTokens tokens_;
    std::string error_;
    std::string separator_;
};

} // namespace gwcli

#endif
