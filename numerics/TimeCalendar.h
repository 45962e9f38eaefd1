// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Internal calendar helpers shared by the time functions and their tests.
#ifndef GRIDWISE_NUMERICS_TIMECALENDAR_H
#define GRIDWISE_NUMERICS_TIMECALENDAR_H

namespace gw {

// Calendar date of a Julian day number: Julian calendar before day 2299161
// (1582-10-15), Gregorian from it; years before the common era are negative
// (no year 0). Exact for every 32-bit day number from 0 on.
void dateFromJulDay(int julDay, int* month, int* day, int* year);

// Integer part (truncation toward zero) of a double, clamped to the int range;
// NaN gives 0.
int truncToIntClamped(double v);

} // namespace gw

#endif
