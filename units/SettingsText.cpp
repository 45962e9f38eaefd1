// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "units/SettingsText.h"

#include "gridwise/angletext.h"
#include "gridwise/units.h"
#include "units/CurrentUnits.h"
#include "units/GridText.h"
#include "units/GridUnit.h"
#include "numerics/Angles.h"
#include "platform/CLocale.h"
#include "platform/IniFile.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>
#include <vector>

namespace gw {

namespace {
constexpr std::size_t kNumberText = 100; // settings numbers are read as text of up to 99 characters
constexpr std::size_t kAngleText = 64;   // the hemisphere writer needs at most 32

thread_local bool exactScope = false;

// Whether a equals b to the bit (any NaN equals any NaN).
bool sameBits(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

bool exactDecimal(const char* text, double& value) {
    if (text == nullptr) return false;
    std::string_view s(text);
    while (!s.empty() && cIsSpace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && cIsSpace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    bool negative = false;
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    std::size_t i = 0;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t exponent = 0;
        while (i < s.size() && isDigit(s[i])) ++i, ++exponent;
        if (exponent == 0) return false;
    }
    if (i != s.size()) return false;
    double v = 0.0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size()) return false;
    value = negative ? -v : v;
    return true;
}

namespace {

// The shortest decimal that reads back to value (from_chars), fixed or with an
// exponent, whichever is shorter; "nan", "inf", "-inf" for the others.
std::string shortestText(double value, std::chars_format format) {
    char text[400]; // the longest fixed text of a double has 327 characters
    const auto r = std::to_chars(text, text + sizeof text, value, format);
    if (r.ec != std::errc()) return cFormatString("%.17g", value);
    return std::string(text, r.ptr);
}

// The number of decimals a printf format of one double asks for ("%.6f" 6), 6
// when it states none.
int formatDecimals(const char* fmt) {
    const char* point = fmt != nullptr ? std::strchr(fmt, '.') : nullptr;
    if (point == nullptr) return 6;
    return cAtoi(point + 1);
}

double readNumber(const std::string& text, NumberReader reader) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    if (reader == NumberReader::plain) return cAtof(buffer.data());
    int pos = 0;
    return readGridValue(buffer.data(), &pos, 0, false);
}

// An angle text as strToAng reads it (the reader takes a writable text).
double angleOf(const std::string& text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return strToAng(buffer.data());
}

// Whether every run of digits and points in text holds at most twelve characters.
// Angle and grid texts are chosen among such texts (the stated form aside), which
// readers of earlier releases, taking twelve characters of a run, read the same
// way: files keep the texts they always had and read the same everywhere.
bool shortRuns(const std::string& text) {
    std::size_t run = 0;
    for (char c : text) {
        run = (isDigit(c) || c == '.') ? run + 1 : 0;
        if (run > 12) return false;
    }
    return true;
}

// Of the candidate texts (in order of preference), the first that reads back to
// value, or else the first of those that come closest. With shortOnly, a text
// after the first is a candidate only when shortRuns holds for it.
template <class Read>
std::string firstExact(const std::vector<std::string>& candidates, double value, Read read, bool shortOnly) {
    std::size_t best = 0;
    double bestError = HUGE_VAL;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (shortOnly && i > 0 && !shortRuns(candidates[i])) continue;
        const double back = read(candidates[i]);
        if (sameBits(back, value)) return candidates[i];
        const double error = std::fabs(back - value);
        if (error < bestError) {
            bestError = error;
            best = i;
        }
    }
    return candidates.empty() ? std::string() : candidates[best];
}

// Angle texts of a latitude (limit 90) or longitude (180): the hemisphere forms
// with more and more decimals, read back by strToAng.
std::string hemisphereText(double value, bool latitude) {
    char text[kAngleText];
    auto write = [&](int decimals, int style) {
        if (latitude) latToStr(text, value, decimals, style);
        else lonToStr(text, value, decimals, style);
        return std::string(text);
    };
    std::string first = write(4, 1);
    if (sameBits(angleOf(first), value) || !std::isfinite(value) || std::fabs(value) > (latitude ? 90.0 : 180.0))
        return first;
    if (exactTexts()) return shortestText(value, std::chars_format::general);
    std::vector<std::string> candidates{first, write(5, 1), write(6, 1)};
    for (int decimals = 0; decimals <= 6; ++decimals) candidates.push_back(write(decimals, 0));
    // Plain signed degrees of at most twelve digits and points.
    const double a = std::fabs(value);
    for (int decimals = 0; decimals <= 11; ++decimals) {
        const std::string digits = cFormatString("%.*f", decimals, a);
        if (digits.size() > 12) break;
        candidates.push_back((value < 0 ? "-" : "") + digits);
    }
    // Seconds with 7 to 9 decimals still fit twelve characters.
    for (int decimals = 7; decimals <= 9; ++decimals) {
        int d = 0, m = 0;
        double s = 0.0;
        degToDms(value, decimals, &d, &m, &s);
        const char letter = value >= 0.0 ? (latitude ? 'N' : 'E') : (latitude ? 'S' : 'W');
        candidates.push_back(cFormatString("%c%0*d %02d %0*.*f", letter, latitude ? 2 : 3, d, m, decimals + 3,
                                           decimals, s));
    }
    return firstExact(candidates, value, angleOf, true);
}
} // namespace

ExactTextScope::ExactTextScope() noexcept : previous_(exactScope) { exactScope = true; }

ExactTextScope::~ExactTextScope() { exactScope = previous_; }

bool exactTexts() noexcept { return exactScope; }

std::string numberText(const char* fmt, double value, NumberReader reader, std::size_t maxLength) {
    // A zero is written without a sign ("0.000", never "-0.000").
    if (value == 0.0) value = 0.0;
    const std::string first = cFormatString(fmt, value);
    if (sameBits(readNumber(first, reader), value) || !std::isfinite(value)) return first;
    if (exactTexts()) {
        double back = 0.0;
        std::string text = shortestText(value, std::chars_format::general);
        if (exactDecimal(text.c_str(), back) && sameBits(back, value)) return text;
        return first;
    }
    // More decimals, one at a time (a grid text keeps to runs of twelve digits
    // and points, see shortRuns: beyond those the first of the closest stays),
    // then the shortest text with an exponent for values far below the decimals.
    std::vector<std::string> candidates{first};
    for (int more = formatDecimals(fmt) + 1; more <= 40; ++more) {
        std::string text = cFormatString("%.*f", more, value);
        if (text.size() > maxLength) break;
        const bool exact = sameBits(readNumber(text, reader), value);
        candidates.push_back(std::move(text));
        if (exact) break;
    }
    std::string general = shortestText(value, std::chars_format::general);
    if (general.size() <= maxLength) candidates.push_back(std::move(general));
    return firstExact(candidates, value, [reader](const std::string& t) { return readNumber(t, reader); },
                      reader == NumberReader::grid);
}

std::string angleNumberText(const char* fmt, double value, std::size_t maxLength) {
    const std::string first = cFormatString(fmt, value);
    if (sameBits(angleOf(first), value) || !std::isfinite(value)) return first;
    if (exactTexts()) {
        std::string text = shortestText(value, std::chars_format::fixed);
        return text.size() <= maxLength ? text : shortestText(value, std::chars_format::general);
    }
    // Runs of at most twelve digits and points (see shortRuns): plain degrees with
    // more decimals, then degrees, minutes and seconds with as many decimals as fit.
    const char* sign = value < 0 ? "-" : "";
    const double a = std::fabs(value);
    std::vector<std::string> candidates{first};
    for (int decimals = formatDecimals(fmt) + 1; decimals <= 11; ++decimals) {
        const std::string digits = cFormatString("%.*f", decimals, a);
        if (digits.size() > 12) break;
        candidates.push_back(sign + digits);
    }
    for (int decimals = 0; decimals <= 9; ++decimals) {
        int d = 0, m = 0;
        double sec = 0.0;
        degToDms(a, decimals, &d, &m, &sec);
        candidates.push_back(cFormatString("%s%d %d %.*f", sign, d, m, decimals, sec));
    }
    return firstExact(candidates, value, angleOf, true);
}

std::string latitudeText(double value) { return hemisphereText(value, true); }

std::string longitudeText(double value) { return hemisphereText(value, false); }

double numberField(const char* text) {
    double value = 0.0;
    if (exactTexts() && exactDecimal(text, value)) return value;
    return cAtof(text);
}

double angleField(char* text) {
    double value = 0.0;
    if (exactTexts() && exactDecimal(text, value)) return value;
    return strToAng(text);
}

double iniGetAngle(const char* section, const char* key, const char* def, const char* file) {
    char text[kNumberText];
    iniGetString(section, key, def, text, sizeof text, file);
    return strToAng(text);
}

double iniGetDouble(const char* section, const char* key, const char* def, const char* file) {
    char text[kNumberText];
    iniGetString(section, key, def, text, sizeof text, file);
    return cAtof(text);
}

double keptLongitude(double lon) {
    if (std::isnan(lon)) return 0.0;
    // -180 stays as written; only values beyond either meridian are wrapped.
    return lon >= -180.0 && lon <= 180.0 ? lon : wrapLongitude(lon);
}

double keptLatitude(double lat, double def) { return (lat >= -90.0 && lat <= 90.0) ? lat : def; }

double iniGetLatitude(const char* section, const char* key, const char* def, const char* file) {
    char fallback[kNumberText];
    copyBounded(fallback, def ? def : "", sizeof fallback);
    return keptLatitude(iniGetAngle(section, key, def, file), strToAng(fallback));
}

double iniGetLongitude(const char* section, const char* key, const char* def, const char* file) {
    return keptLongitude(iniGetAngle(section, key, def, file));
}

double latitudeField(char* text, double def) { return keptLatitude(angleField(text), def); }

double longitudeField(char* text) { return keptLongitude(angleField(text)); }

std::size_t nameCut(const char* src, std::size_t max) {
    if (src == nullptr) return 0;
    const std::size_t length = strnlen(src, max + 1);
    if (length <= max) return length;
    auto byte = [src](std::size_t i) { return static_cast<unsigned char>(src[i]); };
    std::size_t cut = max;
    // A UTF-8 character has at most three continuation bytes (10xxxxxx) behind its
    // lead byte; back up over those before the cut to the lead byte.
    for (int back = 0; back < 3 && cut > 0 && (byte(cut) & 0xC0) == 0x80; ++back) --cut;
    if (cut == max || (byte(cut) & 0xC0) != 0xC0) return max; // no character straddles the cut
    const std::size_t bytes = (byte(cut) & 0xE0) == 0xC0 ? 2 : (byte(cut) & 0xF0) == 0xE0 ? 3 : 4;
    return cut + bytes > max ? cut : max;
}

void copyName(char* dst, const char* src, std::size_t cap) {
    if (dst == nullptr || cap == 0) return;
    if (src == nullptr) src = "";
    const std::size_t n = nameCut(src, cap - 1);
    std::memcpy(dst, src, n);
    dst[n] = '\0';
}

void keepName(char* dst, std::size_t cap, const char* src) {
    if (dst == nullptr || cap == 0) return;
    if (src == nullptr) src = "";
    while (*src == ' ' || *src == ':' || *src == ';' || cIsSpace(static_cast<unsigned char>(*src))) ++src;
    copyName(dst, src, cap);
    std::size_t n = std::strlen(dst);
    while (n > 0 && cIsSpace(static_cast<unsigned char>(dst[n - 1]))) dst[--n] = '\0';
}

void iniGetName(const char* section, const char* key, const char* def, char* dst, std::size_t cap,
                const char* file) {
    if (dst == nullptr || cap == 0) return;
    const std::string text = iniGetString(section, key, def, file);
    keepName(dst, cap, text.c_str());
}

void iniWriteDouble(const char* section, const char* key, const char* fmt, double value,
                    const char* file) {
    iniWriteString(section, key, numberText(fmt, value, NumberReader::plain, kNumberText - 1).c_str(), file);
}

void iniWriteInt(const char* section, const char* key, int value, const char* file) {
    char text[16];
    cFormat(text, sizeof text, "%d", value);
    iniWriteString(section, key, text, file);
}

void iniWriteLat(const char* section, const char* key, double value, const char* file) {
    iniWriteString(section, key, latitudeText(value).c_str(), file);
}

void iniWriteLon(const char* section, const char* key, double value, const char* file) {
    iniWriteString(section, key, longitudeText(value).c_str(), file);
}

std::string latText(double value) {
    char text[kAngleText];
    latToStr(text, value, 4, 1);
    return text;
}

std::string lonText(double value) {
    char text[kAngleText];
    lonToStr(text, value, 4, 1);
    return text;
}

std::string initStringName(const char* name) {
    std::string out = name ? name : "";
    for (char& c : out)
        if (c == ',') c = ' ';
    return out;
}

double gridField(char* text) {
    double value = 0.0;
    if (exactTexts() && exactDecimal(text, value)) return value;
    int pos = 0;
    return readGridValue(text, &pos, 0, currentGridStyle() == gridStyleStation);
}

const char* unitLineName(int units) {
    switch (units) {
    case 0: return "Meters";
    case 1: return "Feet";
    case 2: return "US Survey Feet";
    default: return nullptr;
    }
}

void distanceText(char* dst, std::size_t cap, double meters, int unit, int decimals) {
    Units* u = &currentUnits();
    unit = unitTableIndex(unit);
    char text[512]; // "%.3f" of the largest double and an abbreviation fit
    text[0] = '\0';
    u->toStr(text, meters, unit, decimals, static_cast<int>(sizeof text));
    text[sizeof text - 1] = '\0';
    copyBounded(dst, text, cap);
}

} // namespace gw
