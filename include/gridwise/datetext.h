/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Date and time text: "MM-DD-YY hh:mm:ss.s", month first, two-digit year.
 * See docs/threads.md for what may be shared between threads.
 *
 * timeToStr writes a DOS time (seconds since 1970-01-01, see timecal.h) with the
 * format "%02d-%02d-%02d %02d:%02d:%04.1f", seconds cut (not rounded) to tenths;
 * a time of 0.0 gives the empty text. It writes at most 20 characters including
 * the terminator, whatever the time (NaN, infinities and times outside the years
 * 1900 to 2099 give text cut to that size).
 *
 * strToTime reads month, day, year and an optional hour, minute and seconds, with
 * any separators other than digits and points between the fields. Two-digit years
 * 50-99 are 19xx and 00-49 are 20xx; years outside 1900 to 2100, months outside
 * 1 to 12 and days outside 1 to 32 are refused (result 0.0). Hour, minute and
 * seconds wrap (modulo 24, 60 and 60). Any byte string is accepted as input; the
 * scan never reads past the terminator. Numbers are read in the "C" locale.
 *
 * Threads: both functions work only on their arguments and may be called from
 * several threads at once on distinct buffers. */
#ifndef GRIDWISE_DATETEXT_H
#define GRIDWISE_DATETEXT_H

#include "gridwise/export.h"

GW_C_BEGIN

GW_EXPORT void timeToStr(char* dst, double dosTime);
GW_EXPORT double strToTime(const char* text);

GW_C_END

#endif
