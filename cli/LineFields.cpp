// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "cli/LineFields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "gridwise/angletext.h"
#include "gridwise/postext.h"
#include "gridwise/projection.h"
#include "gridwise/units.h"
#include "units/DecimalText.h"

namespace gwcli {

namespace {

constexpr std::size_t kTokenMax = 63;  // longest token handed to the library's parsers

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isHemisphere(char c) {
    switch (c) {
    case 'N': case 'S': case 'E': case 'W': case 'n': case 's': case 'e': case 'w': return true;
    default: return false;
    }
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Digits with at most one point and at least one digit.
bool isUnsigned(std::string_view s) {
    bool digit = false, point = false;
    for (char c : s) {
        if (isDigit(c)) digit = true;
        else if (c == '.' && !point) point = true;
        else return false;
    }
    return digit;
}

bool isPlainNumber(std::string_view s) {
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
    return isUnsigned(s);
}

bool isWhole(std::string_view s) { return s.find('.') == std::string_view::npos; }

// Whether a value's text ends in a unit suffix ("12.5ft"): a letter after its digits.
bool hasSuffix(std::string_view s) {
    return s.size() > 1 && ((s.back() >= 'a' && s.back() <= 'z') || (s.back() >= 'A' && s.back() <= 'Z'));
}

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

} // namespace

double plainValue(std::string_view s) { return gw::plainDecimalValue(s); }

namespace {

std::string quoted(std::string_view s) {
    constexpr std::size_t shown = 40;
    std::string out = "'";
    for (std::size_t i = 0; i < s.size() && i < shown; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        out += (c < 0x20 || c == 0x7f) ? '?' : static_cast<char>(c);
    }
    if (s.size() > shown) out += "...";
    return out + "'";
}

// "a latitude", "an easting": the name of a field with its article.
std::string aName(const char* name) { return (name[0] == 'a' || name[0] == 'e' ? "an " : "a ") + std::string(name); }

const char* kindName(AngleKind kind) {
    switch (kind) {
    case AngleKind::latitude: return "latitude";
    case AngleKind::longitude: return "longitude";
    default: return "azimuth";
    }
}

// The largest value an angle of the kind may have (a longitude may go once
// round and a half; an azimuth is only kept finite).
double angleLimit(AngleKind kind) {
    return kind == AngleKind::latitude ? 90.0 : (kind == AngleKind::longitude ? 540.0 : 1e9);
}

bool letterFits(char letter, AngleKind kind) {
    const char u = upper(letter);
    if (kind == AngleKind::latitude) return u == 'N' || u == 'S';
    if (kind == AngleKind::longitude) return u == 'E' || u == 'W';
    return true;  // an azimuth takes any: N and E count positive, S and W negative
}

// The angle kind of an angle field.
AngleKind angleKind(Field field) {
    return field == Field::latitude    ? AngleKind::latitude
         : field == Field::longitude ? AngleKind::longitude
                                     : AngleKind::azimuth;
}

// Whether candidate may follow a field `previous` as its minutes or seconds.
bool isSubField(std::string_view previous, std::string_view candidate) {
    return isWhole(previous) && isUnsigned(candidate) && plainValue(candidate) < 60.0;
}

} // namespace

void LineTokens::split(std::string_view line) {
    line_ = line;
    tokens_.clear();
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n && isBlank(line[i])) ++i;
    while (i < n) {
        const std::size_t start = i;
        while (i < n && !isBlank(line[i]) && line[i] != ',') ++i;
        tokens_.push_back({start, i - start});
        while (i < n && isBlank(line[i])) ++i;
        if (i < n && line[i] == ',') {
            ++i;
            while (i < n && isBlank(line[i])) ++i;
        }
    }
}

namespace {

// What the tokens from `next` on hold as an angle: its letter ('\0' for none),
// its numeric parts and the token behind them. Without a letter the parts are the
// longest run that can be one angle (the degrees, then minutes and seconds), and
// the angle may end after any of them.
struct AngleScan {
    char letter = '\0';
    std::string_view parts[3];
    std::size_t nparts = 0;
    std::size_t end = 0;  // with a letter, the token behind the angle
};

bool scanAngle(const LineTokens& tokens, std::size_t next, AngleKind kind, AngleScan& scan, std::string& error) {
    const std::size_t count = tokens.count();
    if (next >= count) {
        error = std::string("missing ") + kindName(kind);
        return false;
    }
    const std::string_view first = tokens.text(next);
    if (first.empty()) {
        error = std::string("empty ") + kindName(kind);
        return false;
    }
    std::size_t j = next;
    // The minutes and seconds that may follow the last part.
    auto subFields = [&]() {
        while (scan.nparts < 3 && j < count && isSubField(scan.parts[scan.nparts - 1], tokens.text(j)))
            scan.parts[scan.nparts++] = tokens.text(j++);
    };
    if (isHemisphere(first[0])) {
        // The letter first: the degrees in the rest of the token or in the next one.
        scan.letter = first[0];
        std::string_view degreesText = first.substr(1);
        ++j;
        if (degreesText.empty() && j < count) degreesText = tokens.text(j++);
        if (!isUnsigned(degreesText)) {
            error = "not " + aName(kindName(kind)) + ": " + quoted(first);
            return false;
        }
        scan.parts[scan.nparts++] = degreesText;
        subFields();
    } else if (isUnsigned(first) || (first.size() > 1 && isHemisphere(first.back()) &&
                                     isUnsigned(first.substr(0, first.size() - 1)))) {
        // The letter last, within the token or after at most three numbers.
        if (isHemisphere(first.back())) {
            scan.letter = first.back();
            scan.parts[scan.nparts++] = first.substr(0, first.size() - 1);
            j = next + 1;
        } else {
            scan.parts[scan.nparts++] = first;
            j = next + 1;
            while (j < count) {
                const std::string_view t = tokens.text(j);
                if (t.size() == 1 && isHemisphere(t[0])) {
                    scan.letter = t[0];
                    ++j;
                    break;
                }
                if (scan.nparts == 3) break;
                if (t.size() > 1 && isHemisphere(t.back()) &&
                    isSubField(scan.parts[scan.nparts - 1], t.substr(0, t.size() - 1))) {
                    scan.letter = t.back();
                    scan.parts[scan.nparts++] = t.substr(0, t.size() - 1);
                    ++j;
                    break;
                }
                if (!isSubField(scan.parts[scan.nparts - 1], t)) break;
                scan.parts[scan.nparts++] = t;
                ++j;
            }
            if (scan.letter != '\0' && !letterFits(scan.letter, kind) && scan.nparts > 1) {
                // A letter of the next angle ("34 30 W" is latitude 34 and longitude
                // 30 W): this angle has none, and its run ends before the numbers
                // that letter marks.
                const bool suffixed = !isHemisphere(tokens.text(j - 1)[0]);
                scan.letter = '\0';
                if (suffixed) --scan.nparts;
                j = next + scan.nparts;
            }
        }
    } else if (isPlainNumber(first)) {
        // A signed number: the sign stands for the letter, minutes and seconds may follow.
        scan.parts[scan.nparts++] = first;
        j = next + 1;
        subFields();
    } else {
        error = "not " + aName(kindName(kind)) + ": " + quoted(first);
        return false;
    }
    scan.end = j;
    return true;
}

} // namespace

std::size_t angleRun(const LineTokens& tokens, std::size_t next, AngleKind kind) {
    AngleScan scan;
    std::string error;
    if (!scanAngle(tokens, next, kind, scan, error) || scan.letter != '\0') return 0;
    return scan.nparts;
}

bool readAngle(const LineTokens& tokens, std::size_t& next, AngleKind kind, double& degrees, std::string& error,
               std::size_t parts) {
    AngleScan scan;
    if (!scanAngle(tokens, next, kind, scan, error)) return false;
    std::size_t nparts = scan.nparts;
    std::size_t j = scan.end;
    if (scan.letter == '\0') {
        nparts = std::min(std::max<std::size_t>(parts, 1), scan.nparts);
        j = next + nparts;
    }
    if (scan.letter == '\0' && nparts == 1) {
        // A plain number, read exactly whatever its length.
        const std::string text(scan.parts[0]);
        gwReadAngle(text.c_str(), GW_ANGLE_EXACT_DECIMAL, &degrees, nullptr);
    } else {
        if (scan.letter != '\0' && !letterFits(scan.letter, kind)) {
            error = std::string(kindName(kind)) + " with the letter " + std::string(1, scan.letter) + ": " +
                    quoted(tokens.line().substr(tokens.begin(next), tokens.end(j - 1) - tokens.begin(next)));
            return false;
        }
        // The letter (or the sign of the degrees) first, then the numbers; the
        // parser reads each of them whole, however long.
        std::string text;
        if (scan.letter != '\0') text += scan.letter;
        for (std::size_t k = 0; k < nparts; ++k) {
            if (!text.empty()) text += ' ';
            text += scan.parts[k];
        }
        // The tokens were checked above; the reader still refuses degrees that
        // start with a point ("N.5").
        if (gwReadAngle(text.c_str(), 0, &degrees, nullptr) != 1) {
            error = "not " + aName(kindName(kind)) + ": " +
                    quoted(tokens.line().substr(tokens.begin(next), tokens.end(j - 1) - tokens.begin(next)));
            return false;
        }
    }
    if (!(std::fabs(degrees) <= angleLimit(kind))) {
        error = std::string(kindName(kind)) + " out of range: " +
                quoted(tokens.line().substr(tokens.begin(next), tokens.end(j - 1) - tokens.begin(next)));
        return false;
    }
    next = j;
    return true;
}

bool readGrid(const LineTokens& tokens, std::size_t& next, bool northing, int defaultUnit, Projection& projection,
              Units& units, double& meters, std::string& error, int suffixUnit) {
    const char* axis = northing ? "northing" : "easting";
    if (next >= tokens.count()) {
        error = std::string("missing ") + axis;
        return false;
    }
    const std::string_view t = tokens.text(next);
    if (t.empty()) {
        error = std::string("empty ") + axis;
        return false;
    }
    if (defaultUnit == 0 && isPlainNumber(t)) {
        meters = plainValue(t);
        ++next;
        return true;
    }
    const char label = upper(t[0]);
    const bool labelled = label >= 'A' && label <= 'Z';
    if (labelled) {
        const bool fits = northing ? (label == 'N' || label == 'Y' || label == 'S')
                                   : (label == 'E' || label == 'X' || label == 'O');
        if (!fits) {
            error = "not " + aName(axis) + ": " + quoted(t);
            return false;
        }
    }
    if (t.size() > kTokenMax) {
        error = std::string(axis) + " too long: " + quoted(t);
        return false;
    }
    char text[kTokenMax + 1];
    std::memcpy(text, t.data(), t.size());
    text[t.size()] = '\0';
    int pos = 0;
    const double value = parseStrToGridCoord(text, &pos, hasSuffix(t) ? suffixUnit : defaultUnit, projection, units);
    // The parser stops at the first character it does not take; the whole token
    // must be a value (a station text is folded in place, so it is shorter).
    const bool digits = std::find_if(t.begin(), t.end(), isDigit) != t.end();
    if (!digits || pos <= 0 || text[pos] != '\0' || !std::isfinite(value)) {
        error = "not " + aName(axis) + ": " + quoted(t);
        return false;
    }
    meters = value;
    ++next;
    return true;
}

bool readDistance(const LineTokens& tokens, std::size_t& next, int defaultUnit, Units& units, double& meters,
                  std::string& error, int suffixUnit) {
    if (next >= tokens.count()) {
        error = "missing distance";
        return false;
    }
    const std::string_view t = tokens.text(next);
    if (defaultUnit == 0 && isPlainNumber(t)) {
        meters = plainValue(t);
        ++next;
        return true;
    }
    // A sign alone is no number (and its token has no second character to look at).
    const bool signedNumber = !t.empty() && (t[0] == '-' || t[0] == '+');
    const std::size_t lead = signedNumber ? 1 : 0;
    if (t.size() <= lead || t.size() > kTokenMax || !(isDigit(t[lead]) || t[lead] == '.')) {
        error = "not a distance: " + quoted(t);
        return false;
    }
    char text[kTokenMax + 1];
    std::memcpy(text, t.data(), t.size());
    text[t.size()] = '\0';
    int pos = 0;
    const double value = units.fromStr(text, hasSuffix(t) ? suffixUnit : defaultUnit, &pos);
    if (pos <= 0 || text[pos] != '\0' || !std::isfinite(value)) {
        error = "not a distance: " + quoted(t);
        return false;
    }
    meters = value;
    ++next;
    return true;
}

namespace {

// The search for the readings of a line: every way its tokens can be the fields,
// one field after the other, an angle without a letter ending after its degrees,
// minutes or seconds.
class FieldSearch {
public:
    FieldSearch(const LineTokens& tokens, const Field* fields, std::size_t count, const FieldUnits& units,
                bool oneTokenEach)
        : tokens_(tokens), fields_(fields), count_(count), units_(units), oneTokenEach_(oneTokenEach) {}

    // Visits the readings of fields f... from token i; runEnd is the token behind
    // the run of the angle before, when that angle ended inside its run.
    void visit(std::size_t f, std::size_t i, std::size_t runEnd) {
        if (f == count_) {
            // The first reading, and the last so far (the one whose angles take the
            // most tokens, first): two that differ most, for the error.
            Reading& r = readings_[found_ == 0 ? 0 : 1];
            std::copy(current_, current_ + count_, r.values);
            std::copy(ends_, ends_ + count_, r.ends);
            ++found_;
            return;
        }
        const Field field = fields_[f];
        const bool angle = field == Field::latitude || field == Field::longitude || field == Field::azimuth;
        // Only a further angle may start inside an angle's run: a grid value or a
        // distance there would take the angle's minutes or seconds.
        if (!angle && i < runEnd) return;
        std::string error;
        if (angle) {
            const AngleKind kind = angleKind(field);
            const std::size_t run = oneTokenEach_ ? 1 : angleRun(tokens_, i, kind);
            for (std::size_t parts = 1; parts <= std::max<std::size_t>(run, 1); ++parts) {
                std::size_t next = i;
                if (!readAngle(tokens_, next, kind, current_[f], error, parts)) {
                    fail(f, error);
                    continue;
                }
                ends_[f] = next;
                visit(f + 1, next, parts < run ? i + run : 0);
            }
            return;
        }
        std::size_t next = i;
        const bool ok = field == Field::distance
                            ? readDistance(tokens_, next, units_.distance, *units_.units, current_[f], error,
                                           units_.distanceSuffix)
                            : readGrid(tokens_, next, field == Field::northing, units_.grid, *units_.projection,
                                       *units_.units, current_[f], error, units_.gridSuffix);
        if (!ok) return fail(f, error);
        ends_[f] = next;
        visit(f + 1, next, 0);
    }

    struct Reading {
        double values[kMaxFields];
        std::size_t ends[kMaxFields];
    };
    std::size_t found() const { return found_; }
    const Reading& reading(std::size_t k) const { return readings_[k]; }
    const std::string& error() const { return error_; }

private:
    // The error of the reading that got furthest (the first of them).
    void fail(std::size_t f, const std::string& error) {
        if (error_.empty() || f > errorField_) {
            error_ = error;
            errorField_ = f;
        }
    }

    const LineTokens& tokens_;
    const Field* fields_;
    std::size_t count_;
    const FieldUnits& units_;
    bool oneTokenEach_;
    double current_[kMaxFields] = {};
    std::size_t ends_[kMaxFields] = {};
    Reading readings_[2] = {};
    std::size_t found_ = 0;
    std::string error_;
    std::size_t errorField_ = 0;
};

const char* fieldName(Field field) {
    switch (field) {
    case Field::latitude: return "latitude";
    case Field::longitude: return "longitude";
    case Field::azimuth: return "azimuth";
    case Field::northing: return "northing";
    case Field::easting: return "easting";
    default: return "distance";
    }
}

// "latitude 34, longitude -117 12 and the name '30'": a reading in words.
std::string describeReading(const LineTokens& tokens, const Field* fields, std::size_t count,
                            const FieldSearch::Reading& r) {
    std::string text;
    std::size_t begin = 0;
    for (std::size_t f = 0; f < count; ++f) {
        const std::size_t last = r.ends[f] - 1;
        if (f > 0) text += ", ";
        text += std::string(fieldName(fields[f])) + " " +
                quoted(tokens.line().substr(tokens.begin(begin), tokens.end(last) - tokens.begin(begin)));
        begin = r.ends[f];
    }
    if (begin < tokens.count()) text += " and the name " + quoted(tokens.line().substr(tokens.begin(begin)));
    return text;
}

} // namespace

namespace {

// A line of plain numbers, one per field, read at once: what the search below
// finds for it, without the search. False (nothing decided) when a field needs
// the search: an angle out of range (for its error), a grid value or distance
// in a unit other than metres.
bool readPlainFields(const LineTokens& tokens, const Field* fields, std::size_t count, const FieldUnits& units,
                     double* values, std::size_t* ends) {
    for (std::size_t f = 0; f < count; ++f) {
        const double v = plainValue(tokens.text(f));
        switch (fields[f]) {
        case Field::latitude:
        case Field::longitude:
        case Field::azimuth:
            if (!(std::fabs(v) <= angleLimit(angleKind(fields[f])))) return false;
            break;
        case Field::northing:
        case Field::easting:
            if (units.grid != 0) return false;
            break;
        case Field::distance:
            if (units.distance != 0) return false;
            break;
        }
        values[f] = v;
        ends[f] = f + 1;
    }
    return true;
}

} // namespace

bool readFields(const LineTokens& tokens, const Field* fields, std::size_t count, const FieldUnits& units,
                double* values, std::size_t* ends, std::string& error) {
    // A line of exactly as many plain numbers as there are fields: one each.
    bool oneTokenEach = tokens.count() == count;
    for (std::size_t i = 0; oneTokenEach && i < tokens.count(); ++i) oneTokenEach = isPlainNumber(tokens.text(i));
    if (oneTokenEach && readPlainFields(tokens, fields, count, units, values, ends)) return true;
    FieldSearch search(tokens, fields, count, units, oneTokenEach);
    search.visit(0, 0, 0);
    if (search.found() == 0) {
        error = search.error();
        return false;
    }
    if (search.found() > 1) {
        error = "ambiguous: " + quoted(tokens.line().substr(tokens.begin(0))) + " reads as " +
                describeReading(tokens, fields, count, search.reading(0)) + ", or as " +
                describeReading(tokens, fields, count, search.reading(1)) +
                " (mark the angles with letters, N34 30 W117 15 30, or write decimal degrees)";
        return false;
    }
    std::copy(search.reading(0).values, search.reading(0).values + count, values);
    std::copy(search.reading(0).ends, search.reading(0).ends + count, ends);
    return true;
}

void appendFixed(std::string& out, double value, int decimals) {
    char buffer[400];
    if (!std::isfinite(value)) {
        out += std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
        return;
    }
    if (decimals >= 0 && decimals <= 17) {
        // value * 10^decimals rounded to a whole number, written with the point put
        // back. The product in double is within half an ulp of the exact one, so
        // when its fraction is clearly away from one half, rounding it gives the
        // digits of the exact value; near a half (and beyond 2^52) the exact
        // conversion decides.
        const double scaled = std::fabs(value) * kPowersOfTen[decimals];
        if (scaled < 4503599627370496.0) {  // 2^52
            const double whole = std::nearbyint(scaled);
            const double fromHalf = std::fabs(std::fabs(scaled - whole) - 0.5);
            if (fromHalf > scaled * 4.5e-16) {
                std::uint64_t n = static_cast<std::uint64_t>(whole);
                char* end = buffer + sizeof buffer;
                char* p = end;
                for (int i = 0; i < decimals; ++i) {
                    *--p = static_cast<char>('0' + n % 10);
                    n /= 10;
                }
                if (decimals > 0) *--p = '.';
                do {
                    *--p = static_cast<char>('0' + n % 10);
                    n /= 10;
                } while (n != 0);
                if (std::signbit(value) && whole != 0) *--p = '-';  // no "-0.000"
                out.append(p, end);
                return;
            }
        }
    }
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    const std::string_view written(buffer, static_cast<std::size_t>(r.ptr - buffer));
    // A value that shows as zero has no sign.
    const bool zero = written.find_first_of("123456789") == std::string_view::npos;
    out.append(zero && !written.empty() && written[0] == '-' ? written.substr(1) : written);
}

} // namespace gwcli
