/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Time and calendar: DOS time, calendar dates, Julian day numbers, GPS time and a
 * See docs/threads.md for what may be shared between threads.
 * running clock.
 *
 * DOS time is seconds since 1970-01-01 00:00:00 as a double; every day has 86400
 * seconds and no leap seconds are counted. The calendar is Julian up to 4 October
 * 1582 and Gregorian from 15 October 1582; years before the common era are
 * negative and there is no year 0. Day and second counts are computed in 64-bit
 * integer or double arithmetic, so dates far beyond 2038 come out right.
 *
 * Accuracy: exact (integer day and second arithmetic) for years -4712 to 100000;
 * the seconds of a split DOS time carry the rounding of the double (about 2.4e-7 s
 * around the year 2014). Times before 1970 are split with truncating conversions,
 * so the time of day of a negative DOS time comes out negative (not supported).
 * Day numbers beyond the 32-bit range are clamped to it; a NaN time splits as
 * day number 0 with time of day 0.
 *
 * Threads: julDate, the DOS time splitters and builders and gpsToDos work only on
 * their arguments, and dClock only reads a steady clock; they may be called from
 * several threads at once. gpsTime keeps the running clock in process-wide state
 * under a lock and may be called from several threads at once too. */
#ifndef GRIDWISE_TIMECAL_H
#define GRIDWISE_TIMECAL_H

#include "gridwise/export.h"

GW_C_BEGIN

/* Julian day number of a calendar date (2440588 for 1970-01-01, 2299161 for
 * 1582-10-15); 0 when year is 0. Out-of-range months and days count on. A result
 * beyond the 32-bit range is clamped to it. */
GW_EXPORT int julDate(int month, int day, int year);

/* Splits a DOS time into year, day of year (1 to 366), hour, minute and seconds. */
GW_EXPORT void dosToYearJulDay(double dosTime, int* year, int* julDay, int* hour, int* minute,
                               double* seconds);

/* Splits a DOS time into year, month, day, hour, minute and seconds. Day and
 * time of day come from one split, so they agree up to the last moment before
 * midnight (times before 1970 keep the truncating day number). */
GW_EXPORT void dosToYearMonthDay(double dosTime, int* year, int* month, int* day, int* hour,
                                 int* minute, double* seconds);

/* DOS time of a date and time; fields out of range count on (day 32 is the first
 * of the next month, hour 25 one o'clock the next day). */
GW_EXPORT double yearMonthDayToDos(int year, int month, int day, int hour, int minute,
                                   double seconds);

/* DOS time of a GPS week and seconds of week (GPS seconds taken as DOS seconds,
 * no leap-second offset); gpsToDos(0, 0) is 315964800. */
GW_EXPORT double gpsToDos(double week, double secondsOfWeek);

/* Process clock in milliseconds with whole-second steps, offset by 100000000:
 * 1000 * (whole seconds since the library was loaded) + 1e8. Monotonic. */
GW_EXPORT double dClock(void);

/* Running clock. t = 0 reads the current DOS time; any other t synchronises the
 * clock to t. The first read before any synchronisation seeds the clock from the
 * system time (seconds since 1970-01-01 00:00:00 UTC; the process's time zone and
 * environment are neither read nor changed). Later reads advance with dClock in
 * whole seconds. One clock serves the whole process: a synchronisation by one
 * thread moves the clock that the others read. */
GW_EXPORT double gpsTime(double t);

GW_C_END

#endif
