#include "cli/Converter.h"

#include <cmath>
#include <cstring>

#include "gridwise/angletext.h"
#include "gridwise/postext.h"
#include "units/GridUnit.h"

namespace gwcli {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The text of a library writer without the blanks it aligns with.
std::string_view trimmed(const char* text) {
    std::string_view s(text);
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

bool finite(double a, double b) { return std::isfinite(a) && std::isfinite(b); }

} // namespace

Converter::Converter(const Geodetics& geodesy, const Units& units, const JobOptions& options)
    : geodesy_(geodesy), units_(units), options_(options) {
    if (options_.text && geodesy_.projection != nullptr) {
        gridUnit_ = gw::gridUnitIndex(units_, geodesy_.projection->getUnits());
        distanceUnit_ = gw::gridUnitIndex(units_, units_.distUnits);
    }
}

bool Converter::convertLine(std::string_view line, std::string& out) {
    std::size_t first = 0;
    while (first < line.size() && isBlank(line[first])) ++first;
    if (first == line.size() || line[first] == '#') {
        out.append(line);
        out += '\n';
        return true;
    }
    if (std::memchr(line.data(), '\0', line.size()) != nullptr) {
        out += "ERROR: the line holds a NUL byte\n";
        return false;
    }
    tokens_.split(line);
    const std::size_t mark = out.size();
    if (!convert(out)) {
        out.resize(mark);
        out += "ERROR: ";
        out += error_;
        out += '\n';
        return false;
    }
    out += '\n';
    return true;
}

// The separator that follows the field ending before token next.
static std::string separatorAfter(const LineTokens& tokens, std::size_t next) {
    if (next == 0 || next >= tokens.count()) return " ";
    const std::string_view gap = tokens.line().substr(tokens.end(next - 1), tokens.begin(next) - tokens.end(next - 1));
    if (gap.find(',') != std::string_view::npos) return ",";
    if (gap.find('\t') != std::string_view::npos) return "\t";
    return " ";
}

bool Converter::readLatLon(std::size_t& next, double& lat, double& lon) {
    if (!readAngle(tokens_, next, AngleKind::latitude, lat, error_)) return false;
    separator_ = separatorAfter(tokens_, next);
    return readAngle(tokens_, next, AngleKind::longitude, lon, error_);
}

bool Converter::readNorthEast(std::size_t& next, double& north, double& east) {
    if (!readGrid(tokens_, next, true, gridUnit_, *geodesy_.projection, units_, north, error_)) return false;
    separator_ = separatorAfter(tokens_, next);
    return readGrid(tokens_, next, false, gridUnit_, *geodesy_.projection, units_, east, error_);
}

bool Converter::convert(std::string& out) {
    std::size_t next = 0;
    double a = 0, b = 0, c = 0, d = 0, r1 = 0, r2 = 0, h = 0;
    const std::string& sep = separator_;
    switch (options_.job) {
    case Job::geo2grid:
    case Job::wgs2grid:
        if (!readLatLon(next, a, b)) return false;
        if (options_.job == Job::wgs2grid) geodesy_.wgs84ToWorking(a, b, 0.0, a, b, h);
        if (!finite(a, b)) break;
        geodesy_.geoToGrid(a, b, r1, r2);
        if (!finite(r1, r2)) break;
        grid(out, r1, 2);
        out += sep;
        grid(out, r2, 1);
        gridExtras(out, r1, r2);
        out.append(tokens_.line().substr(tokens_.end(next - 1)));
        return true;
    case Job::grid2geo:
    case Job::grid2wgs:
        if (!readNorthEast(next, a, b)) return false;
        geodesy_.gridToGeo(a, b, r1, r2);
        if (options_.job == Job::grid2wgs && finite(r1, r2)) geodesy_.workingToWgs84(r1, r2, 0.0, r1, r2, h);
        if (!finite(r1, r2)) break;
        latitude(out, r1);
        out += sep;
        longitude(out, r2);
        gridExtras(out, a, b);
        out.append(tokens_.line().substr(tokens_.end(next - 1)));
        return true;
    case Job::wgs2working:
    case Job::working2wgs:
        if (!readLatLon(next, a, b)) return false;
        if (options_.job == Job::wgs2working)
            geodesy_.wgs84ToWorking(a, b, 0.0, r1, r2, h);
        else
            geodesy_.workingToWgs84(a, b, 0.0, r1, r2, h);
        if (!finite(r1, r2)) break;
        latitude(out, r1);
        out += sep;
        longitude(out, r2);
        out.append(tokens_.line().substr(tokens_.end(next - 1)));
        return true;
    case Job::inverse: {
        if (!readLatLon(next, a, b)) return false;
        const std::string first = separator_;
        if (!readAngle(tokens_, next, AngleKind::latitude, c, error_) ||
            !readAngle(tokens_, next, AngleKind::longitude, d, error_))
            return false;
        geodesy_.inverse(a, b, c, d, r1, r2);
        if (!finite(r1, r2)) break;
        angle(out, r1);
        out += first;
        distance(out, r2);
        out.append(tokens_.line().substr(tokens_.end(next - 1)));
        return true;
    }
    case Job::direct: {
        if (!readLatLon(next, a, b)) return false;
        const std::string first = separator_;
        if (!readAngle(tokens_, next, AngleKind::azimuth, c, error_) ||
            !readDistance(tokens_, next, distanceUnit_, units_, d, error_))
            return false;
        geodesy_.direct(a, b, c, d, r1, r2);
        if (!finite(r1, r2)) break;
        latitude(out, r1);
        out += first;
        longitude(out, r2);
        out.append(tokens_.line().substr(tokens_.end(next - 1)));
        return true;
    }
    }
    error_ = "no result: the point is outside what the conversion covers";
    return false;
}

void Converter::gridExtras(std::string& out, double north, double east) {
    if (options_.convergence) {
        out += separator_;
        degrees(out, geodesy_.converge(north, east));
    }
    if (options_.scale) {
        out += separator_;
        appendFixed(out, geodesy_.lineScale(north, east, north, east), options_.precision + 6);
    }
}

void Converter::degrees(std::string& out, double value) { appendFixed(out, value, options_.precision + 5); }

void Converter::meters(std::string& out, double value) { appendFixed(out, value, options_.precision); }

void Converter::latitude(std::string& out, double value) {
    if (!options_.text) return degrees(out, value);
    char text[64];
    // The unit setting counts the styles the other way round from the writers.
    if (units_.latLonStyle != 0)
        latToStr(text, value, 3, 0);
    else
        latToStr(text, value, 4, 1);
    out += trimmed(text);
}

void Converter::longitude(std::string& out, double value) {
    if (!options_.text) return degrees(out, value);
    char text[64];
    if (units_.latLonStyle != 0)
        lonToStr(text, value, 3, 0);
    else
        lonToStr(text, value, 4, 1);
    out += trimmed(text);
}

void Converter::angle(std::string& out, double value) {
    if (!options_.text) return degrees(out, value);
    char text[64];
    if (units_.latLonStyle != 0)
        angToStr(text, value, 3, 0);
    else
        angToStr(text, value, 4, 1);
    out += trimmed(text);
}

void Converter::grid(std::string& out, double value, int axis) {
    if (!options_.text) return meters(out, value);
    char text[64];
    gridToStr(text, value, axis, *geodesy_.projection, units_);
    out += text;
}

void Converter::distance(std::string& out, double value) {
    if (!options_.text) return meters(out, value);
    char text[64];
    units_.toStr(text, value, distanceUnit_, units_.unitTable[distanceUnit_].decimals, sizeof text);
    out += text;
}

} // namespace gwcli
