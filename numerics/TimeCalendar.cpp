// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Time and calendar: Julian day numbers, DOS time, GPS time and the running clock.
#include "gridwise/timecal.h"
#include "numerics/TimeCalendar.h"

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <mutex>

namespace gw {

int truncToIntClamped(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT_MAX;
    if (v <= -2147483648.0) return INT_MIN;
    return static_cast<int>(v);
}

namespace {

// Truncation of a value known to lie well inside the 64-bit range.
inline std::int64_t trunc64(double v) { return static_cast<std::int64_t>(v); }

// Day numbers are 32-bit: larger counts are clamped to the range.
inline int clampDay(std::int64_t v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

} // namespace

void dateFromJulDay(int julDay, int* month, int* day, int* year) {
    const std::int64_t j = julDay;
    std::int64_t a = j;
    if (j >= 2299161) {
        const std::int64_t alpha = trunc64((static_cast<double>(j - 1867216) - 0.25) / 36524.25);
        a = j + 1 + alpha - trunc64(0.25 * static_cast<double>(alpha));
    }
    const std::int64_t b = a + 1524;
    // The integer part is taken of the whole expression, 6680 included: taking it
    // before adding 6680 would round toward zero on the wrong side for early dates.
    const std::int64_t c =
        trunc64((static_cast<double>(b - 2439870) - 122.1) / 365.25 + 6680);
    const std::int64_t d =
        trunc64(static_cast<double>(365 * c) + 0.25 * static_cast<double>(c));
    const std::int64_t e = trunc64(static_cast<double>(b - d) / 30.6001);
    const std::int64_t dd = b - d - trunc64(std::floor(30.6001 * static_cast<double>(e)));
    std::int64_t mm = e - 1;
    if (mm > 12) mm -= 12;
    std::int64_t yy = c - 4715;
    if (mm > 2) --yy;
    if (yy <= 0) --yy;
    if (month) *month = static_cast<int>(mm);
    if (day) *day = static_cast<int>(dd);
    if (year) *year = clampDay(yy);
}

} // namespace gw

using gw::truncToIntClamped;

int julDate(int month, int day, int year) {
    if (year == 0) return 0;
    std::int64_t y = year;
    if (y < 0) ++y; // year -1 is astronomical year 0
    std::int64_t jy, jm;
    if (month > 2) {
        jy = y;
        jm = static_cast<std::int64_t>(month) + 1;
    } else {
        jy = y - 1;
        jm = static_cast<std::int64_t>(month) + 13;
    }
    double n = std::floor(365.25 * static_cast<double>(jy)) +
               std::floor(30.6001 * static_cast<double>(jm)) + static_cast<double>(day) + 1720995;
    std::int64_t jul = gw::trunc64(n);
    // 588829 = 15 + 31 * (10 + 12 * 1582): from 15 October 1582 on the Gregorian
    // correction applies.
    if (static_cast<std::int64_t>(day) + 31 * (static_cast<std::int64_t>(month) + 12 * y) >= 588829) {
        const std::int64_t a = gw::trunc64(0.01 * static_cast<double>(jy));
        jul += 2 - a + gw::trunc64(0.25 * static_cast<double>(a));
    }
    return gw::clampDay(jul);
}

void dosToYearMonthDay(double t, int* year, int* month, int* day, int* hour, int* minute,
                       double* seconds) {
    double s = std::fmod(t, 86400.0);
    // Day number and time of day come from one split of t: the whole days t - s
    // are an exact multiple of 86400, whereas t / 86400 + 2440588 rounds up to the
    // next day number within about 20 microseconds before midnight. Times before
    // 1970 keep the truncating day number of the division.
    const double dayNumber = (t >= 0.0 && std::isfinite(t)) ? (t - s) / 86400 + 2440588
                                                             : t / 86400 + 2440588;
    gw::dateFromJulDay(truncToIntClamped(dayNumber), month, day, year);
    if (std::isnan(s)) s = 0.0; // infinite or NaN time: no time of day
    double h = std::floor(s / 3600);
    // A quotient that rounds up to the next whole hour (or minute) would leave a
    // negative remainder: that hour has not begun yet.
    if (s - 3600 * h < 0.0) h -= 1;
    s = s - 3600 * h;
    double m = std::floor(s / 60);
    if (s - 60 * m < 0.0) m -= 1;
    if (hour) *hour = truncToIntClamped(h);
    if (minute) *minute = truncToIntClamped(m);
    if (seconds) *seconds = s - 60 * m;
}

void dosToYearJulDay(double t, int* year, int* julDay, int* hour, int* minute, double* seconds) {
    int y = 0, mo = 0, d = 0;
    dosToYearMonthDay(t, &y, &mo, &d, hour, minute, seconds);
    if (year) *year = y;
    if (julDay)
        *julDay = static_cast<int>(1 - static_cast<std::int64_t>(julDate(1, 1, y)) +
                                   static_cast<std::int64_t>(julDate(mo, d, y)));
}

double yearMonthDayToDos(int year, int month, int day, int hour, int minute, double seconds) {
    const std::int64_t days = static_cast<std::int64_t>(julDate(month, day, year)) - 2440588;
    return static_cast<double>(days) * 86400 + 3600.0 * hour + 60.0 * minute + seconds;
}

double gpsToDos(double week, double secondsOfWeek) {
    return ((7 * week + 2444245 + secondsOfWeek / 86400) - 2440588) * 86400;
}

namespace {

using SteadyClock = std::chrono::steady_clock;

// The moment the library was loaded (or first asked, whichever came first).
SteadyClock::time_point processStart() {
    static const SteadyClock::time_point start = SteadyClock::now();
    return start;
}
const SteadyClock::time_point g_loadTime = processStart();

// Running clock: the synchronised DOS time and the clock reading taken then, shared
// by the threads under one lock.
std::mutex g_clockMutex;
double g_syncTime = 0.0;
double g_syncClock = 0.0;

} // namespace

double dClock(void) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() -
                                                                          processStart())
                        .count();
    const std::int64_t q = static_cast<std::int64_t>(ms) / 1000;
    return 1000.0 * static_cast<double>(q) + 100000000.0;
}

double gpsTime(double t) {
    (void)g_loadTime;
    std::lock_guard<std::mutex> lock(g_clockMutex);
    if (t != 0.0) {
        g_syncTime = t;
        g_syncClock = dClock();
    } else if (g_syncTime == 0.0) {
        // The first read seeds the clock from the system time: seconds since
        // 1970-01-01 00:00:00 UTC, whatever the process's time zone.
        const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
        g_syncTime = static_cast<double>(now);
        g_syncClock = dClock();
    }
    return g_syncTime + (dClock() - g_syncClock) / 1000;
}
