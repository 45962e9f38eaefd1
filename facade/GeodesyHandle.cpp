// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Geodesy objects by handle: creation from a settings section or from the two
// texts of a projection-list entry, copies, and the per-thread failure reason.
#include "facade/GeodesyHandle.h"
#include "facade/SettingsCheck.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "gridwise/angletext.h"
#include "platform/CLocale.h"
#include "platform/IniFile.h"
#include "platform/LastError.h"
#include "projections/InitText.h"
#include "projections/ProjectionKeys.h"
#include "projections/ProjectionTypes.h"
#include "units/FieldRules.h"
#include "units/GridText.h"
#include "units/SettingsText.h"

namespace {

static_assert(GW_ERROR_FILE_UNWRITABLE == gw::kErrorFileUnwritable);

// The fields of a comma-separated line, as written (no trimming).
std::vector<std::string> splitFields(const char* text) {
    std::vector<std::string> fields(1);
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == ',')
            fields.emplace_back();
        else
            fields.back() += *p;
    }
    return fields;
}

std::string trimmed(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && gw::cIsSpace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && gw::cIsSpace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

// The field count without trailing empty fields (a local system writes one).
std::size_t meaningfulFields(const std::vector<std::string>& fields) {
    std::size_t n = fields.size();
    while (n > 1 && trimmed(fields[n - 1]).empty()) --n;
    return n;
}

// A plain decimal integer, optionally signed, between blanks.
bool plainInteger(const std::string& field) {
    const std::string t = trimmed(field);
    std::size_t i = (!t.empty() && (t[0] == '+' || t[0] == '-')) ? 1 : 0;
    if (i >= t.size() || t.size() > 9) return false;
    for (; i < t.size(); ++i)
        if (!gw::cIsDigit(static_cast<unsigned char>(t[i]))) return false;
    return true;
}

// A whole finite number in the "C" locale, between blanks, short enough to be read
// whole (the datum reads fields of at most 29 characters).
bool wholeNumber(const std::string& field, double& value) {
    const std::string t = trimmed(field);
    if (t.empty() || field.size() > 29) return false;
    char* end = nullptr;
    value = gw::cStrtod(t.c_str(), &end);
    return end == t.c_str() + t.size() && std::isfinite(value);
}

// Angle text read whole (a plain number of degrees, or degrees, minutes and seconds;
// a sign letter alone reads as no rotation, as the datum reads it).
bool wholeAngle(const std::string& field, double& value) {
    const std::string t = trimmed(field);
    value = 0.0;
    if (t.empty()) return true; // an empty rotation is no rotation
    if (field.size() > 29) return false;
    if (gw::exactTexts() && gw::exactDecimal(t.c_str(), value)) return std::isfinite(value);
    return gwReadAngle(t.c_str(), GW_ANGLE_SIGN_ALONE, &value, nullptr) == 1 && std::isfinite(value);
}

bool knownType(int code) { return gw::projectionType(code) != nullptr; }

GwGeodesy* fail(int code, const std::string& reason) {
    gw::setBatchError(code, reason.c_str());
    return nullptr;
}

// Why an exception ended a creation: memory that ran out (a string or array too
// long to allocate included), else a failure no check foresaw.
GwGeodesy* failOnException() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    } catch (const std::exception& e) {
        gw::setBatchError(GW_ERROR_INTERNAL, e.what());
        return nullptr;
    } catch (...) {
        gw::setBatchError(GW_ERROR_INTERNAL, "unexpected failure");
        return nullptr;
    }
    gw::setBatchError(GW_ERROR_OUT_OF_MEMORY, "out of memory");
    return nullptr;
}

// Whether the handle's geodesy object was made whole.
bool whole(const GwGeodesy& g) { return g.geo.projection != nullptr && g.geo.projection->inner != nullptr; }

struct Problem {
    int code = GW_ERROR_NONE;
    std::string reason;
};

// Checks the datum text; code GW_ERROR_NONE when it can be taken. A field that does
// not read is unreadable text, a number that reads but lies outside its range a bad
// argument.
Problem datumProblem(const char* text) {
    const std::vector<std::string> f = splitFields(text);
    if (f.size() != 11)
        return {GW_ERROR_TEXT_UNREADABLE, "datum text has " + std::to_string(f.size()) +
                                              " fields, not 11 (ellipse,a,1/f,datum,dX,dY,dZ,scale,rX,rY,rZ)"};
    double a = 0.0, invf = 0.0, v = 0.0;
    if (!wholeNumber(f[1], a) || !(a >= 6.0e6 && a <= 7.0e6))
        return {wholeNumber(f[1], a) ? GW_ERROR_BAD_ARGUMENT : GW_ERROR_TEXT_UNREADABLE,
                "datum text: semi-major axis '" + f[1] + "' is not a number of metres in 6e6..7e6"};
    if (!wholeNumber(f[2], invf) || !(invf >= 100.0 && invf <= 1000.0))
        return {wholeNumber(f[2], invf) ? GW_ERROR_BAD_ARGUMENT : GW_ERROR_TEXT_UNREADABLE,
                "datum text: inverse flattening '" + f[2] + "' is not a number in 100..1000"};
    const char* names[] = {"dX", "dY", "dZ", "scale"};
    for (int i = 0; i < 4; ++i) {
        if (!wholeNumber(f[4 + i], v))
            return {GW_ERROR_TEXT_UNREADABLE,
                    std::string("datum text: ") + names[i] + " '" + f[4 + i] + "' is not a number"};
        if (i < 3 && !(std::fabs(v) <= gw::kDatumShiftMax))
            return {GW_ERROR_BAD_ARGUMENT, std::string("datum text: ") + names[i] + " '" + f[4 + i] +
                                               "' is beyond 100000 m"};
    }
    wholeNumber(f[7], v);
    if (std::fabs(v) > gw::kDatumScaleMax)
        return {GW_ERROR_BAD_ARGUMENT, "datum text: scale '" + f[7] + "' is not a fraction (beyond 0.1)"};
    const char* rotations[] = {"rX", "rY", "rZ"};
    for (int i = 0; i < 3; ++i) {
        if (!wholeAngle(f[8 + i], v))
            return {GW_ERROR_TEXT_UNREADABLE,
                    std::string("datum text: ") + rotations[i] + " '" + f[8 + i] + "' is not an angle"};
        if (!(std::fabs(v) <= gw::kDatumRotationMax))
            return {GW_ERROR_BAD_ARGUMENT, std::string("datum text: ") + rotations[i] + " '" + f[8 + i] +
                                               "' is beyond 180 degrees"};
    }
    return {};
}

// What a field of an initialisation string is called in a refusal.
std::string fieldLabel(const gw::InitField& f) {
    static const struct {
        const char* key;
        const char* label;
    } labels[] = {
        {"projName", "projection name"},
        {"localProjName", "name"},
        {"originLon", "longitude of origin"},
        {"lonOfOrigin", "longitude of origin"},
        {"originLat", "latitude of origin"},
        {"latOfOrigin", "latitude of origin"},
        {"falseNorth", "false northing"},
        {"falseEast", "false easting"},
        {"scaleFactor", "scale factor"},
        {"units", "units"},
        {"firstParallel", "first standard parallel"},
        {"secondParallel", "second standard parallel"},
        {"localCenterLat", "latitude of the centre or start"},
        {"localCenterLon", "longitude of the centre or start"},
        {"localEndLat", "latitude of the end"},
        {"localEndLon", "longitude of the end"},
        {"localGeodesyType", "base projection"},
    };
    if (f.key == nullptr) return f.form == gw::Form::name ? "projection name" : "field";
    for (const auto& l : labels)
        if (std::strcmp(l.key, f.key) == 0) return l.label;
    return f.key; // the affine factors and constants go by their settings keys
}

// A field as the string reader takes it: blanks, ':' and ';' skipped where it starts.
std::string fieldText(const std::string& raw) {
    std::size_t b = 0;
    while (b < raw.size() && (raw[b] == ':' || raw[b] == ';' || gw::cIsSpace(static_cast<unsigned char>(raw[b])))) ++b;
    return raw.substr(b);
}

// Why the text of field f does not read as the forms read it ("" when it reads):
// whole, in its form, within its range. A decimal read to the last bit (as the
// string reader reads it here) is checked as a number of its form's range.
std::string fieldProblem(int code, const gw::InitField& f, const std::string& text) {
    constexpr std::size_t kFieldChars = static_cast<std::size_t>(gw::FieldWidth::wide) - 1;
    if (f.form == gw::Form::name) return std::string(); // names are kept as they come (no comma can reach one)
    if (text.size() > kFieldChars) return "is longer than " + std::to_string(kFieldChars) + " characters";
    double exact = 0.0;
    const bool decimal = gw::exactDecimal(text.c_str(), exact);
    gw::FieldReading r;
    switch (f.form) {
    case gw::Form::none:
    case gw::Form::name:
    case gw::Form::base: return std::string();
    case gw::Form::latitude:
        r = decimal ? gw::readNumberField(text, -90.0, 90.0) : gw::readLatitudeField(text);
        break;
    case gw::Form::longitude:
        r = decimal ? gw::readNumberField(text, -180.0, 180.0) : gw::readLongitudeField(text);
        break;
    case gw::Form::number:
    case gw::Form::scale: {
        const gw::NumberRange range = f.key != nullptr ? gw::numberRange(code, f.key) : gw::NumberRange{-gw::kAnyValue, gw::kAnyValue};
        r = gw::readNumberField(text, range.lo, range.hi);
        break;
    }
    case gw::Form::grid:
        r = decimal ? gw::readNumberField(text, -gw::kFalseValueMax, gw::kFalseValueMax)
                    : gw::readDistanceField(text, 0, gw::currentGridStyle() == gw::gridStyleStation,
                                            -gw::kFalseValueMax, gw::kFalseValueMax,
                                            f.key != nullptr && std::string_view(f.key) == "falseNorth"  ? gw::DistanceAxis::north
                                            : f.key != nullptr && std::string_view(f.key) == "falseEast" ? gw::DistanceAxis::east
                                                                                                         : gw::DistanceAxis::none);
        break;
    case gw::Form::integer: {
        // A unit code: metres, feet or US survey feet.
        if (!plainInteger(text)) return "is not a whole number";
        const int unit = gw::cAtoi(text.c_str());
        if (unit < 0 || unit > 2) return "must be 0, 1 or 2 (metres, feet, US survey feet)";
        return std::string();
    }
    }
    return r.ok ? std::string() : r.problem;
}

// Checks the fields of the string fields[first..] of a projection of type code
// (fields[first] holds the code); positions in refusals count the whole string's
// fields from 1. Code GW_ERROR_NONE when every field reads.
Problem initFieldsProblem(const std::vector<std::string>& fields, std::size_t first, int code) {
    const gw::ProjectionTypeInfo* type = gw::projectionType(code);
    if (type == nullptr || type->fields == nullptr) return {};
    for (const gw::InitField& f : type->fields()) {
        const std::size_t at = first + static_cast<std::size_t>(f.index);
        if (at >= fields.size()) break; // the field count is checked on the whole string
        const std::string where = "field " + std::to_string(at + 1) + " (" + fieldLabel(f) + ")";
        if (f.form == gw::Form::base) {
            const std::string t = trimmed(fields[at]);
            const int base = plainInteger(t) ? gw::cAtoi(t.c_str()) : -1;
            if (base < 0 || gw::projectionType(base) == nullptr || gw::acceptedBaseType(base) != base)
                return {GW_ERROR_TEXT_UNREADABLE, where + " does not read as the type code of a base projection (0, 1, 4, 5, 7): " + fields[at]};
            const Problem inner = initFieldsProblem(fields, at, base);
            if (inner.code != GW_ERROR_NONE) return inner;
            continue;
        }
        const std::string text = fieldText(fields[at]);
        const std::string problem = fieldProblem(code, f, text);
        if (!problem.empty())
            return {GW_ERROR_TEXT_UNREADABLE, where + " does not read: " + text + " (it " + problem + ")"};
    }
    return {};
}

// Copies text into dst of size bytes (cut, always terminated when size > 0) and
// gives its whole length, as snprintf does.
std::size_t giveText(const std::string& text, char* dst, std::size_t size) noexcept {
    if (dst != nullptr && size > 0) {
        const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
        std::memcpy(dst, text.data(), n);
        dst[n] = '\0';
    }
    return text.size();
}

// A number as the shortest "C"-locale text that reads back to the same double.
std::string exactNumber(double v) {
    std::string text;
    for (int digits = 1; digits <= 17; ++digits) {
        text = gw::cFormatString("%.*g", digits, v);
        if (gw::cStrtod(text.c_str(), nullptr) == v) break;
    }
    return text;
}

// A rotation as angle text that the datum's angle reader takes back. The reader
// takes runs of digits and points of at most twelve characters and no exponent:
// plain decimal degrees are used when some such run reads back exactly (settings
// keep rotations with ten decimals, which always fits below ten degrees);
// otherwise degrees, minutes and seconds with as many decimals of the seconds as
// fit, within about 1e-10 arc-second.
//
// Inside an ExactTextScope a rotation that no such run carries is written as the
// shortest decimal that reads back exactly (fixed while it fits the datum text's
// 29-character fields, with an exponent otherwise).
std::string rotationText(double deg) {
    if (!std::isfinite(deg) || deg == 0.0) return "0";
    const char* sign = deg < 0 ? "-" : "";
    const double a = std::fabs(deg);
    for (int decimals = 0; decimals <= 11; ++decimals) {
        const std::string digits = gw::cFormatString("%.*f", decimals, a);
        if (digits.size() > 12) break;
        std::string text = std::string(sign) + digits;
        if (strToAng(text.data()) == deg) return text;
    }
    if (gw::exactTexts()) {
        char text[400];
        auto r = std::to_chars(text, text + sizeof text, deg, std::chars_format::fixed);
        if (r.ec == std::errc() && r.ptr - text <= 29) return std::string(text, r.ptr);
        r = std::to_chars(text, text + sizeof text, deg);
        if (r.ec == std::errc()) return std::string(text, r.ptr);
    }
    double d = std::floor(a);
    double rest = (a - d) * 60.0;
    double m = std::floor(rest);
    double s = (rest - m) * 60.0;
    if (s < 0) s = 0;
    int sd = 10; // "ss." and ten decimals make twelve characters
    if (s >= 10) sd = 9;
    return gw::cFormatString("%s%.0f %.0f %.*f", sign, d, m, sd, s);
}

std::string datumText(const Datum& d) {
    // A name's commas are written as blanks, as in an initialisation string, so that
    // the text keeps its eleven fields.
    std::string t = gw::initStringName(d.ellipseName);
    t += ',' + exactNumber(d.aAxis) + ',' + exactNumber(d.inverseFlattening) + ',' + gw::initStringName(d.datumName);
    t += ',' + exactNumber(d.deltaX) + ',' + exactNumber(d.deltaY) + ',' + exactNumber(d.deltaZ);
    t += ',' + exactNumber(d.scalar);
    t += ',' + rotationText(d.rotX) + ',' + rotationText(d.rotY) + ',' + rotationText(d.rotZ);
    return t;
}

// A description line without the blanks and line ends behind it.
std::string trimmedLine(const char* line) {
    std::size_t len = strnlen(line, 49);
    while (len > 0 && (line[len - 1] == ' ' || line[len - 1] == '\r' || line[len - 1] == '\n')) --len;
    return std::string(line, len);
}

// The description lines of the projection (six) or of the datum (seven), joined
// by line breaks.
std::string description(const GwGeodesy& g, int part) {
    char lines[7][50];
    std::memset(lines, 0, sizeof lines);
    int count = 6;
    if (part == GW_DESCRIBE_PROJECTION) {
        g.geo.projection->getLines(lines);
    } else {
        Datum datum = g.geo.datum; // getLines is not const; the copy keeps the handle as it is
        datum.getLines(lines);
        count = 7;
    }
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i > 0) text += '\n';
        text += trimmedLine(lines[i]);
    }
    return text;
}

} // namespace

void gw::setBatchError(int code, const char* reason) noexcept { gw::setLastError(code, reason); }

void gw::setBatchError(const char* reason) noexcept { setBatchError(GW_ERROR_BAD_ARGUMENT, reason); }

extern "C" {

GwGeodesy* gwGeodesyFromSettings(const char* file, const char* section) {
    return gwGeodesyFromSettingsWith(file, section, 0);
}

GwGeodesy* gwGeodesyFromSettingsWith(const char* file, const char* section, int flags) {
    try {
        if (file == nullptr || *file == '\0') return fail(GW_ERROR_BAD_ARGUMENT, "no settings file named");
        if (section == nullptr || *section == '\0') return fail(GW_ERROR_BAD_ARGUMENT, "no settings section named");
        if (!gw::iniFileReadable(file))
            return fail(GW_ERROR_FILE_UNREADABLE, std::string("settings file '") + file + "' cannot be read (resolved as '" +
                        gw::resolveSettingsPath(file) + "')");
        if (!gw::iniHasSection(section, file))
            return fail(GW_ERROR_SECTION_MISSING, std::string("settings file '") + file + "' has no section [" + section + "]");
        if ((flags & GW_SETTINGS_LENIENT) == 0) {
            const std::vector<gw::SettingsProblem> problems = gw::checkGeodesySection(file, section);
            int code = GW_ERROR_NONE;
            std::string reason;
            for (const gw::SettingsProblem& p : problems) {
                if (p.kind != gw::SettingsProblem::Kind::error) continue;
                if (code == GW_ERROR_NONE) code = p.code != GW_ERROR_NONE ? p.code : GW_ERROR_TEXT_UNREADABLE;
                if (!reason.empty()) reason += '\n';
                reason += gw::problemLine(file, p);
            }
            if (code != GW_ERROR_NONE) return fail(code, reason);
        }
        std::unique_ptr<GwGeodesy> g(new (std::nothrow) GwGeodesy());
        if (g == nullptr || !whole(*g)) return fail(GW_ERROR_OUT_OF_MEMORY, "out of memory");
        std::vector<char> sec(section, section + std::strlen(section) + 1);
        std::vector<char> fil(file, file + std::strlen(file) + 1);
        g->geo.loadData(sec.data(), fil.data());
        if (!whole(*g)) return fail(GW_ERROR_OUT_OF_MEMORY, "out of memory");
        return g.release();
    } catch (...) {
        return failOnException();
    }
}

long gwSettingsProblems(const char* file, const char* section, int flags, char* dst, size_t size, int* refusing) {
    if (dst != nullptr && size > 0) dst[0] = '\0';
    if (refusing != nullptr) *refusing = 0;
    try {
        if (file == nullptr || *file == '\0') {
            fail(GW_ERROR_BAD_ARGUMENT, "no settings file named");
            return -1;
        }
        const std::vector<gw::SettingsProblem> problems = (flags & GW_CHECK_UNITS) != 0 ? gw::checkUnitsSection(file)
                                                          : section != nullptr        ? gw::checkGeodesySection(file, section)
                                                                                      : gw::checkSettingsFile(file);
        std::string all;
        std::size_t fits = 0; // whole lines that fit into dst
        int errors = 0;
        for (const gw::SettingsProblem& p : problems) {
            all += gw::problemLine(file, p);
            all += '\n';
            if (dst != nullptr && size > 0 && all.size() <= size - 1) fits = all.size();
            if (p.kind == gw::SettingsProblem::Kind::error) ++errors;
        }
        if (dst != nullptr && size > 0) {
            std::memcpy(dst, all.data(), fits);
            dst[fits] = '\0';
        }
        if (refusing != nullptr) *refusing = errors;
        return static_cast<long>(all.size());
    } catch (...) {
        failOnException();
        return -1;
    }
}

GwGeodesy* gwGeodesyFromText(const char* initString, const char* datumText) {
    try {
        const gw::ExactTextScope exact; // decimal fields read to the last bit
        if (initString == nullptr || trimmed(initString).empty()) return fail(GW_ERROR_BAD_ARGUMENT, "no initialisation string");
        const std::vector<std::string> fields = splitFields(initString);
        if (!plainInteger(fields[0]))
            return fail(GW_ERROR_TEXT_UNREADABLE, "initialisation string does not start with a projection type code: '" + fields[0] + "'");
        const int code = gw::cAtoi(fields[0].c_str());
        if (!knownType(code))
            return fail(GW_ERROR_UNSUPPORTED, "projection type code " + std::to_string(code) + " names no projection (0, 1, 3..7)");
        if (datumText != nullptr && *datumText != '\0') {
            const Problem problem = datumProblem(datumText);
            if (problem.code != GW_ERROR_NONE) return fail(problem.code, problem.reason);
        }

        // The grid texts of the string are read in the form of the projection being
        // built (the station form for a station/offset system), whatever the
        // process-wide geodesy instance holds.
        const gw::GridStyleScope style(code == gw::code(gw::ProjectionType::stationOffset) ? gw::gridStyleStation
                                                                                   : gw::gridStyleNorthEast);
        std::unique_ptr<GwGeodesy> g(new (std::nothrow) GwGeodesy());
        if (g == nullptr || !whole(*g)) return fail(GW_ERROR_OUT_OF_MEMORY, "out of memory");
        std::vector<char> init(initString, initString + std::strlen(initString) + 1);
        std::unique_ptr<Projection> made(new (std::nothrow) Projection(init.data()));
        if (made == nullptr || made->inner == nullptr) return fail(GW_ERROR_OUT_OF_MEMORY, "out of memory");

        // The string must have the fields the projection writes: a string of
        // another shape would leave fields unread or read them as zeros.
        std::vector<char> written(GW_INIT_STR_MAX, '\0');
        made->getInitStr(written.data(), written.size());
        const std::size_t expected = meaningfulFields(splitFields(written.data()));
        const std::size_t given = meaningfulFields(fields);
        if (given != expected)
            return fail(GW_ERROR_TEXT_UNREADABLE, "initialisation string of type " + std::to_string(code) + " has " +
                        std::to_string(given) + " fields, the projection writes " + std::to_string(expected));
        // Every field must read as the parameter forms read it: the projection's
        // own reader would take what it cannot read as a default or a zero.
        const Problem fieldsProblem = initFieldsProblem(fields, 0, code);
        if (fieldsProblem.code != GW_ERROR_NONE) return fail(fieldsProblem.code, fieldsProblem.reason);

        if (datumText != nullptr && *datumText != '\0') {
            std::vector<char> dt(datumText, datumText + std::strlen(datumText) + 1);
            g->geo.datum.setData(dt.data());
        }
        delete g->geo.projection;
        g->geo.projection = made.release();
        g->geo.projection->geoparm(&g->geo.datum);
        return g.release();
    } catch (...) {
        return failOnException();
    }
}

GwGeodesy* gwGeodesyCopy(const GwGeodesy* g) {
    if (g == nullptr) return fail(GW_ERROR_BAD_ARGUMENT, "no handle to copy");
    try {
        std::unique_ptr<GwGeodesy> copy(new (std::nothrow) GwGeodesy(*g));
        if (copy == nullptr || !whole(*copy)) return fail(GW_ERROR_OUT_OF_MEMORY, "out of memory");
        return copy.release();
    } catch (...) {
        return failOnException();
    }
}

GwGeodesy* gwGeodesyNew(void) {
    try {
        std::unique_ptr<GwGeodesy> g(new (std::nothrow) GwGeodesy());
        if (g == nullptr || !whole(*g)) return fail(GW_ERROR_OUT_OF_MEMORY, "out of memory");
        return g.release();
    } catch (...) {
        return failOnException();
    }
}

void gwGeodesyFree(GwGeodesy* g) { delete g; }

size_t gwGeodesyInitString(const GwGeodesy* g, char* dst, size_t size) {
    giveText(std::string(), dst, size);
    if (g == nullptr) {
        fail(GW_ERROR_BAD_ARGUMENT, "no handle");
        return 0;
    }
    try {
        std::vector<char> init(GW_INIT_STR_MAX, '\0');
        const gw::GridStyleScope style(g->geo.projection->getFormat() == gw::gridStyleStation
                                           ? gw::gridStyleStation
                                           : gw::gridStyleNorthEast);
        g->geo.projection->getInitStr(init.data(), init.size());
        return giveText(init.data(), dst, size);
    } catch (...) {
        failOnException();
        return 0;
    }
}

size_t gwGeodesyDatumText(const GwGeodesy* g, char* dst, size_t size) {
    giveText(std::string(), dst, size);
    if (g == nullptr) {
        fail(GW_ERROR_BAD_ARGUMENT, "no handle");
        return 0;
    }
    try {
        return giveText(datumText(g->geo.datum), dst, size);
    } catch (...) {
        failOnException();
        return 0;
    }
}

size_t gwGeodesyExactText(const GwGeodesy* g, int part, char* dst, size_t size) {
    giveText(std::string(), dst, size);
    if (g == nullptr || (part != GW_DESCRIBE_PROJECTION && part != GW_DESCRIBE_DATUM)) {
        fail(GW_ERROR_BAD_ARGUMENT, g == nullptr ? "no handle" : "no such part of a geodesy's text");
        return 0;
    }
    try {
        const gw::ExactTextScope exact;
        if (part == GW_DESCRIBE_DATUM) return giveText(datumText(g->geo.datum), dst, size);
        return giveText(gw::initString(*g->geo.projection), dst, size);
    } catch (...) {
        failOnException();
        return 0;
    }
}

size_t gwGeodesyDescription(const GwGeodesy* g, int part, char* dst, size_t size) {
    giveText(std::string(), dst, size);
    if (g == nullptr || (part != GW_DESCRIBE_PROJECTION && part != GW_DESCRIBE_DATUM)) {
        fail(GW_ERROR_BAD_ARGUMENT, g == nullptr ? "no handle" : "no such part of a description");
        return 0;
    }
    try {
        return giveText(description(*g, part), dst, size);
    } catch (...) {
        failOnException();
        return 0;
    }
}

int gwSettingsSectionCheck(const char* file, const char* section) {
    try {
        int code = GW_ERROR_NONE;
        std::string reason;
        if (file == nullptr || *file == '\0') {
            code = GW_ERROR_BAD_ARGUMENT;
            reason = "no settings file named";
        } else if (section == nullptr || *section == '\0') {
            code = GW_ERROR_BAD_ARGUMENT;
            reason = "no settings section named";
        } else if (!gw::iniFileReadable(file)) {
            code = GW_ERROR_FILE_UNREADABLE;
            reason = std::string("settings file '") + file + "' cannot be read (resolved as '" +
                     gw::resolveSettingsPath(file) + "')";
        } else if (!gw::iniHasSection(section, file)) {
            code = GW_ERROR_SECTION_MISSING;
            reason = std::string("settings file '") + file + "' has no section [" + section + "]";
        }
        if (code != GW_ERROR_NONE) fail(code, reason);
        return code;
    } catch (...) {
        failOnException();
        return gw::lastErrorCode();
    }
}

const char* gwLastError(void) { return gw::lastErrorText(); }

int gwLastErrorCode(void) { return gw::lastErrorCode(); }

void gwSetLastError(int code, const char* text) { gw::setBatchError(code, text); }

} // extern "C"
