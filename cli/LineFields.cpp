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

constexpr std::size_t kRunMax = 12;    // longest run of digits the angle parser reads
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

bool letterFits(char letter, AngleKind kind) {
    const char u = upper(letter);
    if (kind == AngleKind::latitude) return u == 'N' || u == 'S';
    if (kind == AngleKind::longitude) return u == 'E' || u == 'W';
    return false;
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

bool readAngle(const LineTokens& tokens, std::size_t& next, AngleKind kind, double& degrees, std::string& error) {
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
    char letter = '\0';
    std::string_view parts[3];
    std::size_t nparts = 0;
    std::size_t j = next;
    if (isHemisphere(first[0])) {
        // The letter first: the degrees in the rest of the token or in the next one.
        letter = first[0];
        std::string_view degreesText = first.substr(1);
        ++j;
        if (degreesText.empty() && j < count) degreesText = tokens.text(j++);
        if (!isUnsigned(degreesText)) {
            error = "not " + aName(kindName(kind)) + ": " + quoted(first);
            return false;
        }
        parts[nparts++] = degreesText;
        while (nparts < 3 && j < count && isSubField(parts[nparts - 1], tokens.text(j))) parts[nparts++] = tokens.text(j++);
    } else if (isUnsigned(first) || (first.size() > 1 && isHemisphere(first.back()) &&
                                     isUnsigned(first.substr(0, first.size() - 1)))) {
        // The letter last, within the token or after at most three numbers.
        if (isHemisphere(first.back())) {
            letter = first.back();
            parts[nparts++] = first.substr(0, first.size() - 1);
            j = next + 1;
        } else {
            parts[nparts++] = first;
            j = next + 1;
            while (j < count) {
                const std::string_view t = tokens.text(j);
                if (t.size() == 1 && isHemisphere(t[0])) {
                    letter = t[0];
                    ++j;
                    break;
                }
                if (nparts == 3) break;
                if (t.size() > 1 && isHemisphere(t.back()) && isSubField(parts[nparts - 1], t.substr(0, t.size() - 1))) {
                    letter = t.back();
                    parts[nparts++] = t.substr(0, t.size() - 1);
                    ++j;
                    break;
                }
                if (!isSubField(parts[nparts - 1], t)) break;
                parts[nparts++] = t;
                ++j;
            }
            if (letter == '\0') {  // no letter: the first token alone, decimal degrees
                nparts = 1;
                j = next + 1;
            }
        }
    } else if (isPlainNumber(first)) {
        parts[nparts++] = first;
        j = next + 1;
    } else {
        error = "not " + aName(kindName(kind)) + ": " + quoted(first);
        return false;
    }

    if (letter == '\0' && nparts == 1) {
        // A plain number, read exactly whatever its length.
        const std::string text(parts[0]);
        gwReadAngle(text.c_str(), GW_ANGLE_EXACT_DECIMAL, &degrees, nullptr);
    } else {
        if (!letterFits(letter, kind)) {
            error = std::string(kindName(kind)) + " with the letter " + std::string(1, letter) + ": " +
                    quoted(tokens.line().substr(tokens.begin(next), tokens.end(j - 1) - tokens.begin(next)));
            return false;
        }
        char text[3 * (kRunMax + 1) + 3];
        std::size_t n = 0;
        text[n++] = letter;
        for (std::size_t k = 0; k < nparts; ++k) {
            if (parts[k].size() > kRunMax) {
                error = "number too long in " + std::string(kindName(kind)) + ": " + quoted(parts[k]);
                return false;
            }
            text[n++] = ' ';
            std::memcpy(text + n, parts[k].data(), parts[k].size());
            n += parts[k].size();
        }
        text[n] = '\0';
        // The tokens were checked above; the value is what the reader reads (a
        // degrees field that starts with a point reads as 0).
        gwReadAngle(text, 0, &degrees, nullptr);
    }
    const double limit = kind == AngleKind::latitude ? 90.0 : (kind == AngleKind::longitude ? 540.0 : 1e9);
    if (!(std::fabs(degrees) <= limit)) {
        error = std::string(kindName(kind)) + " out of range: " +
                quoted(tokens.line().substr(tokens.begin(next), tokens.end(j - 1) - tokens.begin(next)));
        return false;
    }
    next = j;
    return true;
}

bool readGrid(const LineTokens& tokens, std::size_t& next, bool northing, int defaultUnit, Projection& projection,
              Units& units, double& meters, std::string& error) {
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
    const double value = parseStrToGridCoord(text, &pos, defaultUnit, projection, units);
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
                  std::string& error) {
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
    const double value = units.fromStr(text, defaultUnit, &pos);
    if (pos <= 0 || text[pos] != '\0' || !std::isfinite(value)) {
        error = "not a distance: " + quoted(t);
        return false;
    }
    meters = value;
    ++next;
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
                if (std::signbit(value)) *--p = '-';
                out.append(p, end);
                return;
            }
        }
    }
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    out.append(buffer, r.ptr);
}

} // namespace gwcli
