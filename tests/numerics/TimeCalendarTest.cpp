// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Calendar and time functions against std::chrono civil dates and known values.
#include "gridwise/timecal.h"
#include "numerics/TimeCalendar.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono;

TEST(JulDate, KnownDays) {
    struct Case {
        int month, day, year;
        int expected;
    };
    const Case cases[] = {
        {1, 1, 1970, 2440588},  {1, 6, 1980, 2444245},  {10, 15, 1582, 2299161},
        {10, 4, 1582, 2299160}, {1, 1, 2000, 2451545},  {5, 17, 0, 0},
        {1, 1, -4713, 0},        // day 0 of the Julian period, 4713 BC
        {3, 1, 2100, 2488129},   {12, 31, 9999, 5373484},
    };
    for (const Case& c : cases)
        EXPECT_EQ(julDate(c.month, c.day, c.year), c.expected) << c.year << '-' << c.month << '-' << c.day;
}

TEST(JulDate, JulianCalendarBeforeTheSwitch) {
    // 1500 is a leap year in the Julian calendar, 1700 is not in the Gregorian one.
    EXPECT_EQ(julDate(3, 1, 1500) - julDate(2, 28, 1500), 2);
    EXPECT_EQ(julDate(3, 1, 1700) - julDate(2, 28, 1700), 1);
    // No year 0: 1 BC is followed by AD 1.
    EXPECT_EQ(julDate(1, 1, 1) - julDate(12, 31, -1), 1);
    // Every day from day 0 to the switch maps back to its own date.
    for (int j = 0; j < 2299161; j += 7) {
        int m = 0, d = 0, y = 0;
        gw::dateFromJulDay(j, &m, &d, &y);
        ASSERT_NE(y, 0);
        ASSERT_EQ(julDate(m, d, y), j) << y << '-' << m << '-' << d;
    }
}

// Every Gregorian day from the switch to 9999 against std::chrono, both ways, and
// the DOS-time functions on the same days.
TEST(Calendar, MatchesChronoCivilDates) {
    const sys_days first = year{1582} / October / 15;
    const sys_days last = year{9999} / December / 31;
    for (sys_days sd = first; sd <= last; sd += days{1}) {
        const year_month_day ymd{sd};
        const int y = int(ymd.year()), m = int(unsigned(ymd.month())), d = int(unsigned(ymd.day()));
        const long long dayCount = sd.time_since_epoch().count();
        ASSERT_EQ(julDate(m, d, y), dayCount + 2440588) << y << '-' << m << '-' << d;

        int mm = 0, dd = 0, yy = 0;
        gw::dateFromJulDay(int(dayCount + 2440588), &mm, &dd, &yy);
        ASSERT_EQ(yy, y);
        ASSERT_EQ(mm, m);
        ASSERT_EQ(dd, d);

        if (y >= 1970 && dayCount % 13 == 0) {
            const double t = double(dayCount) * 86400 + 3 * 3600 + 25 * 60 + 45.5;
            ASSERT_EQ(yearMonthDayToDos(y, m, d, 3, 25, 45.5), t);
            int year = 0, month = 0, day = 0, hour = 0, minute = 0, doy = 0;
            double seconds = 0;
            dosToYearMonthDay(t, &year, &month, &day, &hour, &minute, &seconds);
            ASSERT_EQ(year, y);
            ASSERT_EQ(month, m);
            ASSERT_EQ(day, d);
            ASSERT_EQ(hour, 3);
            ASSERT_EQ(minute, 25);
            ASSERT_EQ(seconds, 45.5);
            dosToYearJulDay(t, &year, &doy, &hour, &minute, &seconds);
            const sys_days newYear = ymd.year() / January / 1;
            ASSERT_EQ(doy, (sd - newYear).count() + 1);
        }
    }
}

TEST(DosTime, KnownValues) {
    EXPECT_EQ(yearMonthDayToDos(2014, 1, 1, 0, 0, 0), 1388534400.0);
    EXPECT_EQ(yearMonthDayToDos(1970, 1, 1, 0, 0, 0), 0.0);
    // Past the 32-bit second count.
    EXPECT_EQ(yearMonthDayToDos(2038, 1, 19, 3, 14, 8), 2147483648.0);
    EXPECT_EQ(yearMonthDayToDos(2106, 2, 7, 6, 28, 16), 4294967296.0);
    // Fields out of range count on.
    EXPECT_EQ(yearMonthDayToDos(2014, 1, 32, 0, 0, 0), yearMonthDayToDos(2014, 2, 1, 0, 0, 0));
    EXPECT_EQ(yearMonthDayToDos(2014, 1, 1, 25, 0, 0), yearMonthDayToDos(2014, 1, 2, 1, 0, 0));
    EXPECT_EQ(yearMonthDayToDos(2014, 1, 1, 0, 61, 0), yearMonthDayToDos(2014, 1, 1, 1, 1, 0));

    int y = -1, mo = -1, d = -1, h = -1, mi = -1, doy = -1;
    double s = -1;
    dosToYearMonthDay(0.0, &y, &mo, &d, &h, &mi, &s);
    EXPECT_EQ(y, 1970);
    EXPECT_EQ(mo, 1);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(mi, 0);
    EXPECT_EQ(s, 0.0);
    dosToYearJulDay(yearMonthDayToDos(2016, 12, 31, 23, 59, 59.9), &y, &doy, &h, &mi, &s);
    EXPECT_EQ(y, 2016);
    EXPECT_EQ(doy, 366);
    EXPECT_EQ(h, 23);
    EXPECT_EQ(mi, 59);
    EXPECT_NEAR(s, 59.9, 1e-6);
}

TEST(GpsTime, GpsToDos) {
    EXPECT_EQ(gpsToDos(0, 0), 315964800.0);
    EXPECT_EQ(gpsToDos(2500, 0), (7.0 * 2500 + 3657) * 86400);
    EXPECT_EQ(gpsToDos(1777, 0), yearMonthDayToDos(2014, 1, 26, 0, 0, 0));
    // The sum is formed in days, so seconds carry a rounding of about 2e-5 s.
    EXPECT_NEAR(gpsToDos(1777, 345600.5), (7.0 * 1777 + 3657) * 86400 + 345600.5, 1e-4);
}

TEST(GpsTime, ClockAndSynchronisation) {
    const double c1 = dClock();
    EXPECT_GE(c1, 1e8);
    EXPECT_EQ(std::fmod(c1, 1000.0), 0.0);
    EXPECT_GE(dClock(), c1);

    // The first read seeds from the system time and leaves the environment alone.
    const char* tz = std::getenv("TZ");
    const std::string tzBefore = tz != nullptr ? tz : "(unset)";
    const double now = double(std::time(nullptr));
    const double first = gpsTime(0);
    EXPECT_NEAR(first, now, 2.0);
    tz = std::getenv("TZ");
    EXPECT_EQ(tz != nullptr ? tz : "(unset)", tzBefore);

    // Within one second of the process clock the running clock does not move;
    // a synchronised time is returned as given.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const double before = dClock();
        const double a = gpsTime(0);
        const double b = gpsTime(0);
        const double x = gpsTime(1234567890.25);
        const double y = gpsTime(0);
        if (dClock() != before) continue; // crossed a second: try again
        EXPECT_EQ(a, b);
        EXPECT_EQ(x, 1234567890.25);
        EXPECT_EQ(y, 1234567890.25);
        break;
    }
}

// Threads that read and synchronise the one clock at once: every read is the common
// synchronised time plus whole seconds of the process clock.
TEST(GpsTime, ThreadsReadAndSynchroniseAtOnce) {
    constexpr double kSync = 1500000000.0;
    gpsTime(kSync);
    std::vector<std::thread> threads;
    std::vector<int> bad(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&bad, t] {
            for (int i = 0; i < 2000; ++i) {
                const double v = i % 10 == 0 ? gpsTime(kSync) : gpsTime(0);
                if (!(v >= kSync && v <= kSync + 60 && std::floor(v) == v)) ++bad[t];
            }
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(bad, std::vector<int>(4, 0));
}

// Out-of-range input gives some answer without undefined behaviour.
TEST(Calendar, ExtremeInputIsHandled) {
    const double inf = std::numeric_limits<double>::infinity();
    const double times[] = {std::nan(""), inf, -inf, 1e300, -1e300, -1.0, 9.2e18};
    for (double t : times) {
        int y, mo, d, h, mi, doy;
        double s;
        dosToYearMonthDay(t, &y, &mo, &d, &h, &mi, &s);
        dosToYearJulDay(t, &y, &doy, &h, &mi, &s);
    }
    EXPECT_EQ(julDate(1, 1, INT_MAX), INT_MAX);
    EXPECT_EQ(julDate(INT_MIN, INT_MIN, INT_MIN), INT_MIN);
    (void)julDate(INT_MAX, INT_MAX, -1);
    (void)yearMonthDayToDos(INT_MAX, INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0);
    int m, d, y;
    gw::dateFromJulDay(INT_MAX, &m, &d, &y);
    gw::dateFromJulDay(INT_MIN, &m, &d, &y);
    EXPECT_EQ(gw::truncToIntClamped(std::nan("")), 0);
    EXPECT_EQ(gw::truncToIntClamped(-1e300), INT_MIN);
    EXPECT_EQ(gw::truncToIntClamped(-2.7), -2);
}

} // namespace
