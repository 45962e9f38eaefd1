// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "cli/Converter.h"

#include <cmath>
#include <cstring>

#include "gridwise/angletext.h"
#include "gridwise/batch.h"
#include "gridwise/postext.h"
#include "numerics/Angles.h"
#include "units/GridUnit.h"

namespace gwcli {

namespace {

constexpr std::ptrdiff_t kStep = sizeof(double);

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The text of a library writer without the blanks it aligns with.
std::string_view trimmed(const char* text) {
    std::string_view s(text);
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// The separator that follows the field ending before token next.
char separatorAfter(const LineTokens& tokens, std::size_t next) {
    if (next == 0 || next >= tokens.count()) return ' ';
    const std::string_view gap = tokens.line().substr(tokens.end(next - 1), tokens.begin(next) - tokens.end(next - 1));
    if (gap.find(',') != std::string_view::npos) return ',';
    if (gap.find('\t') != std::string_view::npos) return '\t';
    return ' ';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A comma between two digits with no blank beside it, on a line whose fields are
// apart by blanks (the gap behind the first field has no comma), is a decimal
// comma ("52 4 90 1000,5"), not a field separator: read as one it would split a
// number in two and shift the fields. The token behind the first such comma that
// follows one of the tokens before `limit` (a comma in a point name is the
// name's), or -1 when there is none.
std::ptrdiff_t decimalComma(const LineTokens& tokens, std::size_t firstEnd, std::size_t limit) {
    if (separatorAfter(tokens, firstEnd) == ',') return -1;
    const std::string_view line = tokens.line();
    for (std::size_t i = 1; i < tokens.count() && i - 1 < limit; ++i) {
        const std::string_view gap = line.substr(tokens.end(i - 1), tokens.begin(i) - tokens.end(i - 1));
        if (gap == "," && tokens.end(i - 1) > tokens.begin(i - 1) && isDigit(line[tokens.end(i - 1) - 1]) &&
            tokens.begin(i) < line.size() && isDigit(line[tokens.begin(i)]))
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

bool readsGrid(Job job) { return job == Job::grid2geo || job == Job::grid2wgs; }
bool writesGrid(Job job) { return job == Job::geo2grid || job == Job::wgs2grid; }
bool writesGeo(Job job) { return job != Job::inverse && !writesGrid(job); }
std::size_t fieldCount(Job job) { return (job == Job::inverse || job == Job::direct) ? 4 : 2; }

// Keeps the first refusal of a point's steps.
void merge(std::vector<int>& status, const std::vector<int>& other) {
    for (std::size_t k = 0; k < status.size(); ++k)
        if (status[k] == 0) status[k] = other[k];
}

// A refusal of the datum shift step of a two-step job carries this mark beside
// its status, so that its line names the shift.
constexpr int kShiftStep = 0x100;
void markShift(std::vector<int>& status) {
    for (int& s : status)
        if (s != 0) s |= kShiftStep;
}

bool shiftJob(Job job) { return job == Job::wgs2working || job == Job::working2wgs; }

} // namespace

Converter::Converter(const Geodetics& geodesy, const Units& units, const JobOptions& options)
    : handle_{geodesy, units}, options_(options) {
    if (handle_.geo.projection != nullptr) {
        gridSuffix_ = gw::gridUnitIndex(handle_.units, handle_.geo.projection->getUnits());
        distanceSuffix_ = gw::gridUnitIndex(handle_.units, handle_.units.distUnits);
    }
    if (options_.text) {
        gridUnit_ = gridSuffix_;
        distanceUnit_ = distanceSuffix_;
    }
}

std::size_t Converter::convertLines(const std::vector<InputLine>& lines, std::string& out) {
    items_.clear();
    errors_.clear();
    const std::size_t fields = fieldCount(options_.job);
    for (auto& column : in_) column.clear();
    for (const InputLine& line : lines) {
        const std::string_view text = line.text;
        if (line.tooLong) {
            items_.push_back({Item::error, errors_.size(), {}, ' '});
            errors_.push_back("line longer than 65536 bytes");
            continue;
        }
        std::size_t first = 0;
        while (first < text.size() && isBlank(text[first])) ++first;
        if (first == text.size() || text[first] == '#') {
            items_.push_back({Item::passThrough, 0, text, ' '});
            continue;
        }
        if (std::memchr(text.data(), '\0', text.size()) != nullptr) {
            items_.push_back({Item::error, errors_.size(), {}, ' '});
            errors_.push_back("the line holds a NUL byte");
            continue;
        }
        tokens_.split(text);
        std::size_t next = 0;
        double values[4];
        if (!readFields(next, values)) {
            items_.push_back({Item::error, errors_.size(), {}, ' '});
            errors_.push_back(error_);
            continue;
        }
        items_.push_back({Item::point, in_[0].size(), text.substr(tokens_.end(next - 1)), separator_});
        for (std::size_t f = 0; f < fields; ++f) in_[f].push_back(values[f]);
    }

    convertPoints();

    std::size_t failed = 0;
    for (const Item& item : items_) {
        switch (item.kind) {
        case Item::passThrough:
            out.append(item.rest);
            break;
        case Item::error:
            out += "ERROR: ";
            out += errors_[item.index];
            ++failed;
            break;
        case Item::point:
            if (status_[item.index] != 0) {
                const int s = status_[item.index] & ~kShiftStep;
                const bool shift = shiftJob(options_.job) || (status_[item.index] & kShiftStep) != 0;
                out += "ERROR: ";
                if (s == 1)
                    out += "not a finite number";
                else if (s == 3)
                    out += "no result: the footpoint iteration did not settle";
                else if (options_.job == Job::inverse || options_.job == Job::direct)
                    out += "no result: outside the domain of the geodesic problem";
                else if (shift && std::strcmp(handle_.geo.datum.datumName, "ED50(N Sea)") == 0)
                    out += "no result: outside the area of the North Sea correction (51.03..62.01 N, 5.05 W..11.14 E)";
                else if (shift)
                    out += "no result: outside the domain of the datum shift";
                else
                    out += "no result: outside the projection's domain";
                ++failed;
                break;
            }
            if (writesGeo(options_.job) && !(std::fabs(out_[0][item.index]) <= 90)) {
                // Never the text writers' zero text for a latitude out of range.
                out += "ERROR: no result: the latitude lies beyond 90 degrees";
                ++failed;
                break;
            }
            separator_ = item.separator;
            writePoint(out, item.index);
            out.append(item.rest);
            break;
        }
        out += '\n';
    }
    return failed;
}

bool Converter::readFields(std::size_t& next, double* in) {
    static constexpr Field kGeo[] = {Field::latitude, Field::longitude};
    static constexpr Field kGrid[] = {Field::northing, Field::easting};
    static constexpr Field kInverse[] = {Field::latitude, Field::longitude, Field::latitude, Field::longitude};
    static constexpr Field kDirect[] = {Field::latitude, Field::longitude, Field::azimuth, Field::distance};
    const Job job = options_.job;
    const Field* fields = readsGrid(job) ? kGrid : job == Job::inverse ? kInverse : job == Job::direct ? kDirect : kGeo;
    const std::size_t count = fieldCount(job);
    const FieldUnits units{gridUnit_, distanceUnit_, gridSuffix_, distanceSuffix_, handle_.geo.projection,
                           &handle_.units};
    std::size_t ends[kMaxFields];
    const bool read = gwcli::readFields(tokens_, fields, count, units, in, ends, error_);
    if (const std::ptrdiff_t comma = decimalComma(tokens_, read ? ends[0] : 1, read ? ends[count - 1] : tokens_.count()); comma >= 0) {
        const std::size_t i = static_cast<std::size_t>(comma);
        error_ = "decimal comma: '" +
                 std::string(tokens_.line().substr(tokens_.begin(i - 1), tokens_.end(i) - tokens_.begin(i - 1))) +
                 "' (write a point as the decimal mark; fields are apart by blanks here)";
        return false;
    }
    if (!read) return false;
    separator_ = separatorAfter(tokens_, ends[0]);
    next = ends[count - 1];
    return true;
}

void Converter::convertPoints() {
    const std::size_t n = in_[0].size();
    for (auto& column : out_) column.assign(n, 0.0);
    status_.assign(n, 0);
    if (n == 0) return;
    const GwGeodesy* g = &handle_;
    const double zero = 0.0;
    double* o0 = out_[0].data();
    double* o1 = out_[1].data();
    const double* i0 = in_[0].data();
    const double* i1 = in_[1].data();
    int* st = status_.data();
    switch (options_.job) {
    case Job::geo2grid:
        gwGeoToGrid(g, n, i0, kStep, i1, kStep, o0, kStep, o1, kStep, st);
        break;
    case Job::grid2geo:
        gwGridToGeo(g, n, i0, kStep, i1, kStep, o0, kStep, o1, kStep, st);
        break;
    case Job::wgs2working:
        gwWgs84ToWorking(g, n, i0, kStep, i1, kStep, &zero, 0, o0, kStep, o1, kStep, nullptr, 0, st);
        break;
    case Job::working2wgs:
        gwWorkingToWgs84(g, n, i0, kStep, i1, kStep, &zero, 0, o0, kStep, o1, kStep, nullptr, 0, st);
        break;
    case Job::wgs2grid:
    case Job::grid2wgs: {
        for (auto& column : mid_) column.assign(n, 0.0);
        status2_.assign(n, 0);
        double* m0 = mid_[0].data();
        double* m1 = mid_[1].data();
        if (options_.job == Job::wgs2grid) {
            gwWgs84ToWorking(g, n, i0, kStep, i1, kStep, &zero, 0, m0, kStep, m1, kStep, nullptr, 0, st);
            markShift(status_);
            gwGeoToGrid(g, n, m0, kStep, m1, kStep, o0, kStep, o1, kStep, status2_.data());
        } else {
            gwGridToGeo(g, n, i0, kStep, i1, kStep, m0, kStep, m1, kStep, st);
            gwWorkingToWgs84(g, n, m0, kStep, m1, kStep, &zero, 0, o0, kStep, o1, kStep, nullptr, 0,
                             status2_.data());
            markShift(status2_);
        }
        merge(status_, status2_);
        break;
    }
    case Job::inverse:
        gwGeodesicInverse(g, n, i0, kStep, i1, kStep, in_[2].data(), kStep, in_[3].data(), kStep, o0, kStep, o1,
                          kStep, st);
        break;
    case Job::direct:
        gwGeodesicDirect(g, n, i0, kStep, i1, kStep, in_[2].data(), kStep, in_[3].data(), kStep, o0, kStep, o1,
                         kStep, st);
        break;
    }
    if (options_.convergence || options_.scale) {
        // At the grid point: the one converted to, or the one given.
        const double* north = writesGrid(options_.job) ? o0 : i0;
        const double* east = writesGrid(options_.job) ? o1 : i1;
        status2_.assign(n, 0);
        if (options_.convergence) {
            gwConvergence(g, n, north, kStep, east, kStep, out_[2].data(), kStep, status2_.data());
            merge(status_, status2_);
        }
        if (options_.scale) {
            gwPointScale(g, n, north, kStep, east, kStep, out_[3].data(), kStep, status2_.data());
            merge(status_, status2_);
        }
    }
}

void Converter::writePoint(std::string& out, std::size_t k) {
    const char sep = separator_;
    const double a = out_[0][k], b = out_[1][k];
    switch (options_.job) {
    case Job::geo2grid:
    case Job::wgs2grid:
        grid(out, a, 2);
        out += sep;
        grid(out, b, 1);
        break;
    case Job::grid2geo:
    case Job::grid2wgs:
    case Job::wgs2working:
    case Job::working2wgs:
    case Job::direct:
        latitude(out, a);
        out += sep;
        longitude(out, b);
        break;
    case Job::inverse:
        angle(out, a);
        out += sep;
        distance(out, b);
        break;
    }
    if (options_.convergence) {
        out += sep;
        degrees(out, out_[2][k]);
    }
    if (options_.scale) {
        out += sep;
        appendFixed(out, out_[3][k], options_.precision + 6);
    }
}

void Converter::degrees(std::string& out, double value) { appendFixed(out, value, options_.precision + 5); }

void Converter::meters(std::string& out, double value) { appendFixed(out, value, options_.precision); }

void Converter::latitude(std::string& out, double value) { angleText(out, value, latToStr); }

// Longitudes are written in (-180, 180], in text never as the writer's zero
// text for a value out of range.
void Converter::longitude(std::string& out, double value) { angleText(out, gw::wrapLongitude(value), lonToStr); }

void Converter::angle(std::string& out, double value) { angleText(out, value, angToStr); }

void Converter::angleText(std::string& out, double value, int (*writer)(char*, double, int, int)) {
    if (!options_.text) return degrees(out, value);
    char text[64];
    // The unit setting counts the styles the other way round from the writers:
    // non-zero is degrees, minutes and seconds (3 decimals), 0 decimal minutes (4).
    if (handle_.units.latLonStyle != 0)
        writer(text, value, 3, 0);
    else
        writer(text, value, 4, 1);
    out += trimmed(text);
}

void Converter::grid(std::string& out, double value, int axis) {
    if (!options_.text) return meters(out, value);
    char text[64];
    gridToStr(text, value, axis, *handle_.geo.projection, handle_.units);
    out += text;
}

void Converter::distance(std::string& out, double value) {
    if (!options_.text) return meters(out, value);
    char text[64];
    handle_.units.toStr(text, value, distanceUnit_, handle_.units.unitTable[distanceUnit_].decimals, sizeof text);
    out += text;
}

} // namespace gwcli
