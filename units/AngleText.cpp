// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Angle, latitude and longitude text.
//
// The writers split the absolute value of the angle into whole degrees, whole
// minutes and a last field rounded half up to the requested decimals (with carry
// into the fields before it), and print the last field zero-padded with precision
// P = decimals and width W = P + 3 (two integer digits, the point and the
// decimals), W = 2 when P = 0. The parser reads the hemisphere letter or sign
// first or last and up to three numeric fields separated by whitespace.
#include "gridwise/angletext.h"

#include "platform/CLocale.h"
#include "units/DecimalText.h"

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace {

// Every writer text fits here (at most 17 characters are ever written).
constexpr std::size_t kTextCap = 32;

// Whole degrees that still leave room for one carry in an int.
constexpr double kMaxWholeDegrees = 2147483647.0;

int clampDecimals(int decimals) {
    if (decimals < 0) return 0;
    if (decimals > 6) return 6;
    return decimals;
}

// 10 to the power decimals (exact up to 22 decimals).
double powerOfTen(int decimals) {
    static const double table[7] = {1.0, 10.0, 100.0, 1000.0, 10000.0, 100000.0, 1000000.0};
    if (decimals >= 0 && decimals <= 6) return table[decimals];
    return std::pow(10.0, decimals);
}

// Rounds a non-negative last field half up to `decimals` decimals: times the
// scale, plus one half, integer part, divided by the scale. Any number of
// decimals splits; only far beyond the range of a double, where that arithmetic
// overflows, the field is kept as it is (too many decimals) or rounds to 0 (a
// scale that underflows to 0).
double roundHalfUp(double value, int decimals) {
    const double scale = powerOfTen(decimals);
    const double rounded = std::trunc(value * scale + 0.5) / scale;
    if (std::isfinite(rounded)) return rounded;
    return scale == 0.0 ? 0.0 : value;
}

// Width of the zero-padded last field: two integer digits, the point and the
// decimals; without decimals just the two digits.
int lastFieldWidth(int decimals) { return decimals == 0 ? 2 : decimals + 3; }

// Splits |degrees| into whole degrees and the fraction of a degree. Returns false,
// with zero degrees, for a NaN and, with INT_MAX degrees, for a magnitude whose
// whole degrees do not fit an int (infinity too): nothing is left to split.
bool splitDegrees(double degrees, int& whole, double& fraction) {
    const double a = std::fabs(degrees);
    fraction = 0.0;
    if (std::isnan(a)) {
        whole = 0;
        return false;
    }
    if (a >= kMaxWholeDegrees) {
        whole = INT_MAX;
        return false;
    }
    const double w = std::trunc(a);
    fraction = a - w;
    whole = static_cast<int>(w);
    return true;
}

int finish(char* dst, int written) {
    if (written < 0) {
        dst[0] = '\0';
        return 0;
    }
    return written < static_cast<int>(kTextCap) ? written : static_cast<int>(kTextCap) - 1;
}

bool isPositiveLetter(unsigned char c) {
    return c == 'N' || c == 'n' || c == 'E' || c == 'e' || c == '+';
}
bool isNegativeLetter(unsigned char c) {
    return c == 'S' || c == 's' || c == 'W' || c == 'w' || c == '-';
}
bool isRunChar(unsigned char c) { return gw::cIsDigit(c) || c == '.'; }

// Steps over whitespace; never beyond the terminating NUL.
std::size_t skipSpace(const char* text, std::size_t pos) {
    while (text[pos] != '\0' && gw::cIsSpace(static_cast<unsigned char>(text[pos]))) ++pos;
    return pos;
}

// Converts the run of digits at pos, with at most one point, to the correctly
// rounded double, whatever its length, and moves pos past it. A second point ends
// the run there ("1.2.3" reads 1.2 and stops at ".3"): the caller stops reading.
double readRun(const char* text, std::size_t& pos) {
    const std::size_t start = pos;
    bool point = false;
    for (;; ++pos) {
        const unsigned char c = static_cast<unsigned char>(text[pos]);
        if (gw::cIsDigit(c)) continue;
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        break;
    }
    return gw::plainDecimalValue(text + start, pos - start);
}

// The angle reader behind parseStrToAng and gwReadAngle: reads from text[0] and
// leaves pos at the first character not consumed; read tells whether degrees
// were read (a digit began them).
double readAngleText(const char* text, std::size_t& pos, bool& read) {
    std::size_t p = 0;
    double result = 0.0;
    read = false;
    if (text != nullptr && text[0] != '\0') {
        do {
            int sign = 0;  // not yet given
            p = skipSpace(text, p);
            if (text[p] == '\0') break;
            unsigned char c = static_cast<unsigned char>(text[p]);
            if (isPositiveLetter(c) || isNegativeLetter(c)) {
                sign = isPositiveLetter(c) ? 1 : -1;
                p = skipSpace(text, p + 1);
            }
            if (!gw::cIsDigit(static_cast<unsigned char>(text[p]))) break;
            read = true;
            double deg = readRun(text, p);
            double min = 0.0, sec = 0.0;
            // A run with a second point is no number: reading stops at that point.
            bool broken = text[p] == '.';
            if (!broken) {
                p = skipSpace(text, p);
                if (isRunChar(static_cast<unsigned char>(text[p]))) {
                    min = readRun(text, p);
                    broken = text[p] == '.';
                    if (!broken) {
                        p = skipSpace(text, p);
                        if (isRunChar(static_cast<unsigned char>(text[p]))) {
                            sec = readRun(text, p);
                            broken = text[p] == '.';
                        }
                    }
                }
            }
            if (broken) {
                result = (sign == 0 ? 1 : sign) * (deg + min / 60.0 + sec / 3600.0);
                break;
            }
            if (sign == 0) {
                sign = 1;
                p = skipSpace(text, p);
                c = static_cast<unsigned char>(text[p]);
                if (c != '\0' && (isPositiveLetter(c) || isNegativeLetter(c))) {
                    sign = isPositiveLetter(c) ? 1 : -1;
                    ++p;
                }
            }
            result = sign * (deg + min / 60.0 + sec / 3600.0);
        } while (false);
    }
    pos = p;
    return result;
}

// The text without the C blanks around it.
std::string_view trimmedText(const char* text) {
    std::string_view s(text);
    while (!s.empty() && gw::cIsSpace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && gw::cIsSpace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

// Latitude and longitude share one writer: hemisphere letters, range limit and
// the degree width differ. Out of range (or NaN) the fixed zero text of the style
// is written, whatever the decimals.
int writeHemisphere(char* dst, double value, int decimals, int style, double limit,
                    char positive, char negativeLetter, int degreeWidth, const char* zeroDms,
                    const char* zeroDecMin) {
    if (dst == nullptr) return 0;
    int written;
    if (!(value >= -limit && value <= limit)) {  // out of range, or NaN
        written = gw::cFormat(dst, kTextCap, "%s", style == 0 ? zeroDms : zeroDecMin);
        return finish(dst, written);
    }
    // A value that rounds to zero takes the positive letter: there is no south or
    // west of zero.
    const bool negative = value < 0.0;
    int p = clampDecimals(decimals);
    if (style == 0) {
        int d, m;
        double s;
        degToDms(value, p, &d, &m, &s);
        const char letter = negative && (d != 0 || m != 0 || s != 0.0) ? negativeLetter : positive;
        written = gw::cFormat(dst, kTextCap, "%c%0*d %02d %0*.*f", letter, degreeWidth, d, m,
                              lastFieldWidth(p), p, s);
    } else {
        int d;
        double m;
        degToDecMin(value, p, &d, &m);
        const char letter = negative && (d != 0 || m != 0.0) ? negativeLetter : positive;
        written = gw::cFormat(dst, kTextCap, "%c%0*d %0*.*f", letter, degreeWidth, d, lastFieldWidth(p), p, m);
    }
    return finish(dst, written);
}

} // namespace

extern "C" {

void degToDms(double degrees, int decimals, int* d, int* m, double* s) {
    int dd, mm = 0;
    double ss = 0.0;
    double f;
    if (splitDegrees(degrees, dd, f)) {
        double minutes = f * 60.0;
        double wholeMinutes = std::trunc(minutes);
        mm = static_cast<int>(wholeMinutes);
        ss = (minutes - wholeMinutes) * 60.0;
        ss = roundHalfUp(ss, decimals);
        if (ss >= 60.0) {
            ss -= 60.0;
            mm += 1;
        }
        if (mm >= 60) {
            mm -= 60;
            dd += 1;
        }
    }
    if (d != nullptr) *d = dd;
    if (m != nullptr) *m = mm;
    if (s != nullptr) *s = ss;
}

void degToDecMin(double degrees, int decimals, int* d, double* m) {
    int dd;
    double mm = 0.0;
    double f;
    if (splitDegrees(degrees, dd, f)) {
        mm = roundHalfUp(f * 60.0, decimals);
        if (mm >= 60.0) {
            mm -= 60.0;
            dd += 1;
        }
    }
    if (d != nullptr) *d = dd;
    if (m != nullptr) *m = mm;
}

int angToStr(char* dst, double degrees, int decimals, int style) {
    if (dst == nullptr) return 0;
    int p = clampDecimals(decimals);
    bool negative = degrees < 0.0;
    double a = std::fabs(degrees);
    if (!std::isfinite(a)) {
        a = 0.0;  // NaN and infinities print as the zero angle
        negative = false;
    } else if (a >= kMaxWholeDegrees) {
        // Too large to split into int degrees. Such values have no fraction and
        // fmod is exact, so this prints the same degrees modulo 360.
        a = std::fmod(a, 360.0);
    }
    int written;
    bool zero;  // every printed field is zero: no minus
    if (style == 0) {
        int d, m;
        double s;
        degToDms(a, p, &d, &m, &s);
        zero = d % 360 == 0 && m == 0 && s == 0.0;
        written = gw::cFormat(dst, kTextCap, " %3d %2d %0*.*f", d % 360, m, lastFieldWidth(p), p, s);
    } else {
        int d;
        double m;
        degToDecMin(a, p, &d, &m);
        zero = d % 360 == 0 && m == 0.0;
        written = gw::cFormat(dst, kTextCap, " %3d %0*.*f", d % 360, lastFieldWidth(p), p, m);
    }
    if (negative && !zero && written > 0) dst[0] = '-';
    return finish(dst, written);
}

int latToStr(char* dst, double latitude, int decimals, int style) {
    return writeHemisphere(dst, latitude, decimals, style, 90.0, 'N', 'S', 2, "N00 00 00.000", "N00 00.000");
}

int lonToStr(char* dst, double longitude, int decimals, int style) {
    // The zero texts keep two degree digits, as they always have.
    return writeHemisphere(dst, longitude, decimals, style, 180.0, 'E', 'W', 3, "E00 00 00.000", "E00 00.000");
}

double parseStrToAng(char* text, int* pos) {
    std::size_t p = 0;
    bool read = false;
    const double result = readAngleText(text, p, read);
    if (pos != nullptr) *pos = p > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(p);
    return result;
}

int gwReadAngle(const char* text, int flags, double* degrees, size_t* stop) {
    if (text == nullptr) text = "";
    std::size_t p = 0;
    double value = 0.0;
    int verdict;
    const std::string_view whole = trimmedText(text);
    if ((flags & GW_ANGLE_EXACT_DECIMAL) != 0 && gw::isPlainDecimal(whole)) {
        value = gw::plainDecimalValue(whole);
        p = static_cast<std::size_t>(whole.data() - text) + whole.size();
        verdict = 1;
    } else if ((flags & GW_ANGLE_SIGN_ALONE) != 0 && whole.size() == 1 &&
               (isPositiveLetter(static_cast<unsigned char>(whole[0])) ||
                isNegativeLetter(static_cast<unsigned char>(whole[0])))) {
        p = static_cast<std::size_t>(whole.data() - text) + 1;
        verdict = 1;
    } else {
        bool read = false;
        value = readAngleText(text, p, read);
        if (!read) verdict = 0;
        else verdict = text[skipSpace(text, p)] == '\0' ? 1 : -1;
    }
    if (degrees != nullptr) *degrees = value;
    if (stop != nullptr) *stop = p;
    return verdict;
}

double strToAng(char* text) {
    int pos;
    return parseStrToAng(text, &pos);
}

void pad(char* src, unsigned width, char* dst) {
    if (dst == nullptr) return;
    const char* s = src != nullptr ? src : "";
    std::size_t w = width;
    std::size_t len = strnlen(s, w + 1);
    if (len > w) {
        std::memmove(dst, s, w);
    } else {
        std::memmove(dst + (w - len), s, len);  // src and dst may overlap
        std::memset(dst, ' ', w - len);
    }
    dst[w] = '\0';
}

void stripChars(char* dst, char* src) {
    if (dst == nullptr) return;
    std::size_t n = 0;
    if (src != nullptr) {
        for (std::size_t i = 0; src[i] != '\0'; ++i)
            if (!gw::cIsSpace(static_cast<unsigned char>(src[i]))) dst[n++] = src[i];
    }
    dst[n] = '\0';
}

} // extern "C"
