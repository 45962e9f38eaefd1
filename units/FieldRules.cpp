// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "units/FieldRules.h"

#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

#include "gridwise/angletext.h"
#include "platform/CLocale.h"
#include "units/GridText.h"

namespace gw {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && cIsSpace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && cIsSpace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool hasDigit(std::string_view s) {
    for (char c : s)
        if (cIsDigit(static_cast<unsigned char>(c))) return true;
    return false;
}

// Whether a reader that stopped at pos read the whole of text (up to its NUL: the
// station form is folded in place, shorter).
bool restIsBlank(const std::string& text, int pos) {
    const std::size_t end = std::strlen(text.c_str());
    if (pos < 0 || static_cast<std::size_t>(pos) > end) return false;
    for (std::size_t i = static_cast<std::size_t>(pos); i < end; ++i)
        if (!cIsSpace(static_cast<unsigned char>(text[i]))) return false;
    return true;
}

bool hasNul(std::string_view s) { return s.find('\0') != std::string_view::npos; }

FieldReading refused(std::string problem) {
    FieldReading r;
    r.problem = std::move(problem);
    return r;
}

FieldReading accepted(double value) {
    FieldReading r;
    r.ok = true;
    r.value = value;
    return r;
}

std::string number(double v) { return cFormatString("%.10g", v); }

// A comma where a decimal point belongs: said apart from other faults, since it is
// the usual way to write a number in many countries.
const char* const kCommaProblem = "has a decimal comma: type a point as the decimal mark (1.5, not 1,5)";

FieldReading inRange(double value, double lo, double hi, const char* what) {
    if (!std::isfinite(value)) return refused(std::string("is not a finite ") + what);
    if (value < lo || value > hi)
        return refused("must lie between " + number(lo) + " and " + number(hi) + " (" + number(value) + " was typed)");
    return accepted(value);
}

// Whole-text "C" number: [sign] digits [. digits] [e [sign] digits].
bool plainNumber(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && cIsDigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && cIsDigit(static_cast<unsigned char>(s[i]))) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t exponent = 0;
        while (i < s.size() && cIsDigit(static_cast<unsigned char>(s[i]))) ++i, ++exponent;
        if (exponent == 0) return false;
    }
    return i == s.size();
}

// The runs of digits and points of an angle text: degrees, minutes, seconds.
std::vector<std::string> angleRuns(std::string_view s) {
    std::vector<std::string> runs;
    std::string run;
    for (char c : s) {
        if (cIsDigit(static_cast<unsigned char>(c)) || c == '.') {
            run += c;
        } else if (!run.empty()) {
            runs.push_back(run);
            run.clear();
        }
    }
    if (!run.empty()) runs.push_back(run);
    return runs;
}

// Angle text read whole by the angle reader; letters other than `allowed` (the
// hemisphere letters of the field) are refused, as are minutes or seconds of 60
// or more.
FieldReading readAngleText(const std::string& text, const char* allowed, const char* form) {
    const std::string_view t = trimmed(text);
    if (t.empty()) return refused(std::string("is empty: type ") + form);
    if (!hasDigit(t) || hasNul(t)) return refused(std::string("is not readable: type ") + form);
    for (char c : t) {
        if (c == ',') return refused(kCommaProblem);
        if (cIsAlpha(static_cast<unsigned char>(c)) && std::string_view(allowed).find(c) == std::string_view::npos)
            return refused(std::string("has the letter '") + c + "', which this field does not take: type " + form);
    }
    std::string copy(t);
    int pos = 0;
    const double value = parseStrToAng(copy.data(), &pos);
    if (!restIsBlank(copy, pos)) return refused(std::string("is not readable: type ") + form);
    const std::vector<std::string> runs = angleRuns(t);
    for (std::size_t i = 1; i < runs.size(); ++i)
        if (cAtof(runs[i].c_str()) >= 60.0)
            return refused(std::string(i == 1 ? "has minutes" : "has seconds") + " of 60 or more: type " + form);
    return accepted(value);
}

} // namespace

FieldReading readNumberField(const std::string& text, double lo, double hi) {
    const std::string_view t = trimmed(text);
    if (t.empty()) return refused("is empty: type a number such as 0.9996");
    if (!plainNumber(t)) {
        if (t.find(',') != std::string_view::npos && hasDigit(t)) return refused(kCommaProblem);
        return refused("is not a number: type digits with a point as the decimal mark, such as 0.9996");
    }
    const std::string copy(t);
    return inRange(cStrtod(copy.c_str(), nullptr), lo, hi, "number");
}

FieldReading readLatitudeField(const std::string& text) {
    const char* form = "a latitude such as N34 00.0000, S12 30 15.5 or -12.5";
    FieldReading r = readAngleText(text, "NnSs", form);
    if (!r.ok) return r;
    if (!(std::fabs(r.value) <= 90.0)) return refused(std::string("lies beyond the poles: type ") + form);
    return r;
}

FieldReading readLongitudeField(const std::string& text) {
    const char* form = "a longitude within 180 degrees such as W084 10.0000, E004 52 07.0 or -84.2";
    FieldReading r = readAngleText(text, "EeWw", form);
    if (!r.ok) return r;
    if (!(std::fabs(r.value) <= 180.0)) return refused(std::string("lies beyond 180 degrees: type ") + form);
    return r;
}

FieldReading readAngleField(const std::string& text, double lo, double hi) {
    FieldReading r = readAngleText(text, "", "an angle in degrees, minutes and seconds such as 0 00 01.50000 or -0.5");
    if (!r.ok) return r;
    return inRange(r.value, lo, hi, "angle");
}

FieldReading readDistanceField(const std::string& text, int unit, bool station, double lo, double hi,
                               DistanceAxis axis) {
    const char* form = "a number, with a unit (m, km, ft) or without one, such as 500000.00m";
    const std::string_view t = trimmed(text);
    if (t.empty()) return refused(std::string("is empty: type ") + form);
    if (!hasDigit(t) || hasNul(t)) return refused(std::string("is not a distance: type ") + form);
    if (t.find(',') != std::string_view::npos) return refused(kCommaProblem);
    // The reader takes any axis label in front; the field only its own.
    if (std::strchr("NnEeYyXxSsOo", t.front()) != nullptr) {
        // S and O label a station and an offset: only in the station form.
        const char* own = axis == DistanceAxis::north ? (station ? "NnYySs" : "NnYy")
                          : axis == DistanceAxis::east ? (station ? "EeXxOo" : "EeXx")
                                                       : "";
        if (std::strchr(own, t.front()) == nullptr)
            return refused(std::string("has the axis label '") + t.front() + "', which this field does not take: type " +
                           (axis == DistanceAxis::north  ? "a northing such as N500000.00m or 500000.00m"
                            : axis == DistanceAxis::east ? "an easting such as E500000.00m or 500000.00m"
                                                         : form));
    }
    std::string copy(t);
    int pos = 0;
    const double value = readGridValue(copy.data(), &pos, unit, station);
    if (!restIsBlank(copy, pos)) return refused(std::string("is not a distance: type ") + form);
    return inRange(value, lo, hi, "distance");
}

FieldReading readNameField(const std::string& text, std::size_t width, std::string& name) {
    const std::string_view t = trimmed(text);
    if (t.empty()) return refused("is empty: type a name");
    if (t.find(',') != std::string_view::npos) return refused("holds a comma, which would split the name: leave it out");
    for (char c : t)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return refused("holds a control character");
    if (t.front() == ':' || t.front() == ';') return refused("starts with ':' or ';', which a name may not start with");
    if (t.size() > width) return refused("is longer than " + std::to_string(width) + " characters: shorten it");
    name.assign(t);
    return accepted(0.0);
}

} // namespace gw
