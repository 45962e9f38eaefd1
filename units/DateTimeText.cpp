// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Date and time text: "MM-DD-YY hh:mm:ss.s" from and to DOS time.
#include "gridwise/datetext.h"
#include "gridwise/timecal.h"
#include "platform/CLocale.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Callers of timeToStr provide 20 characters, terminator included.
constexpr std::size_t kTimeTextSize = 20;

// Left-to-right scan of a text of known length: never looks at or past text[n].
class DateScanner {
public:
    DateScanner(const char* text, std::size_t n) : text_(text), n_(n) {}

    bool atDigit() const { return p_ < n_ && gw::cIsDigit(static_cast<unsigned char>(text_[p_])); }
    bool atDigitOrPoint() const { return atDigit() || (p_ < n_ && text_[p_] == '.'); }
    bool atLast() const { return n_ > 0 && p_ == n_ - 1; }

    // Advances to the next decimal digit (or to the end); true when one was found.
    bool skipToDigit() {
        while (p_ < n_ && !gw::cIsDigit(static_cast<unsigned char>(text_[p_]))) ++p_;
        return atDigit();
    }

    // Copies at most max consecutive digits (points too when withPoint) into buf,
    // which holds max + 1 characters; returns the number copied.
    std::size_t copy(char* buf, std::size_t max, bool withPoint) {
        std::size_t k = 0;
        while (k < max && (withPoint ? atDigitOrPoint() : atDigit())) buf[k++] = text_[p_++];
        buf[k] = '\0';
        return k;
    }

private:
    const char* text_;
    std::size_t n_;
    std::size_t p_ = 0;
};

// Integer value of at most four decimal digits.
int digitsValue(const char* digits) {
    int v = 0;
    for (; *digits; ++digits) v = 10 * v + (*digits - '0');
    return v;
}

} // namespace

void timeToStr(char* dst, double t) {
    if (!dst) return;
    if (t == 0.0) {
        dst[0] = '\0';
        return;
    }
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double seconds = 0.0;
    dosToYearMonthDay(t, &year, &month, &day, &hour, &minute, &seconds);
    seconds = std::floor(10 * seconds) / 10;
    // Seconds just below 60 may round to 60 in the product: they print as 59.9.
    if (seconds >= 60.0) seconds = 59.9;
    // Text that would not fit (times far outside 1900 to 2099, NaN) is cut.
    gw::cFormat(dst, kTimeTextSize, "%02d-%02d-%02d %02d:%02d:%04.1f", month, day, year % 100, hour,
                minute, seconds);
}

double strToTime(const char* text) {
    if (!text) return 0.0;
    const std::size_t n = std::strlen(text);
    DateScanner scan(text, n);

    // Month: digits and points, up to 15 characters, read as a decimal number.
    if (!scan.skipToDigit() || scan.atLast()) return 0.0;
    char monthText[16];
    scan.copy(monthText, 15, true);
    const double monthValue = gw::cAtof(monthText);
    if (!(monthValue >= 1 && monthValue <= 12)) return 0.0;
    const int month = static_cast<int>(monthValue);

    // Day: up to 2 digits, 1 to 32 (day 32 counts on into the next month).
    if (!scan.skipToDigit()) return 0.0;
    char dayText[3];
    scan.copy(dayText, 2, false);
    const int day = digitsValue(dayText);
    if (day < 1 || day > 32) return 0.0;

    // Year: 2 to 4 digits; two-digit years 50-99 are 19xx, 00-49 are 20xx.
    if (!scan.skipToDigit()) return 0.0;
    char yearText[5];
    if (scan.copy(yearText, 4, false) < 2) return 0.0;
    int year = digitsValue(yearText);
    if (year < 100) year += (year >= 50) ? 1900 : 2000;
    if (year < 1900 || year > 2100) return 0.0;

    // Hour, minute and seconds are optional and wrap.
    int hour = 0, minute = 0;
    double seconds = 0.0;
    char field[7];
    if (scan.skipToDigit()) {
        scan.copy(field, 2, false);
        hour = digitsValue(field) % 24;
    }
    if (scan.skipToDigit()) {
        scan.copy(field, 2, false);
        minute = digitsValue(field) % 60;
    }
    if (scan.skipToDigit() && scan.copy(field, 6, true) > 0) seconds = std::fmod(gw::cAtof(field), 60);
    return yearMonthDayToDos(year, month, day, hour, minute, seconds);
}
