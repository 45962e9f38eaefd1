/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Filters and statistics for navigation data: a running median filter that
 * See docs/threads.md for what may be shared between threads.
 * rejects spikes (FilterData), medians and a robust straight-line fit (centTend,
 * centTendFit), Gaussian random numbers (gasdev), a file-name key ordered by the
 * numbers in the name (FLClass) and a plain record (CalcBaseStation).
 *
 * Threads: the random generator with gasdev's spare value, and the line fit, keep
 * process-wide state without locks: gasdev must not run in two threads at once,
 * nor centTendFit. centTend works only on its arguments and may run in several
 * threads at once on distinct arrays; FilterData and FLClass objects hold their
 * own state, so distinct objects may be used in several threads at once (one
 * object by one thread at a time). */
#ifndef GRIDWISE_FILTERS_H
#define GRIDWISE_FILTERS_H

#include "gridwise/export.h"

GW_C_BEGIN

/* Sorts a[0..n-1] ascending and writes the median (the mean of the two middle
 * values for even n). n <= 0 writes 0.0. */
GW_EXPORT void centTend(double* a, int n, double* median);

/* Straight line y = a + b x by least absolute deviation (bracketing and bisection
 * of the slope, starting from the least-squares line; the intercept is the median
 * of y - b x). abdev is the mean absolute deviation of the points from the line.
 * Points on an exact line give that line and abdev 0. When the x values do not
 * vary (n Sxx - Sx^2 below 1e-8 in magnitude) the result is the mean of y as
 * intercept, slope 0 and abdev 0; n <= 0 gives 0, 0, 0. The bracketing is capped
 * at 1000 steps and the bisection at 2000. Keeps x, y and n as process-wide state
 * during the call. */
GW_EXPORT void centTendFit(double* x, double* y, int n, double* a, double* b, double* abdev);

/* Normally distributed value (mean 0, variance 1) by the polar Box-Muller method
 * from a three-sequence shuffled congruential generator. A negative *seed (or the
 * first call) re-seeds the generator and sets *seed to 1; values come in pairs,
 * the second of a pair being returned by the next call whatever its seed. */
GW_EXPORT double gasdev(int* seed);

GW_C_END

#ifdef __cplusplus

/* Running median filter over a ring of time-stamped samples.
 *
 * addData stores a sample and looks back over at most 20 non-zero samples (and at
 * most maxSamples of them, when maxSamples > 0) no older than maxAge before the
 * newest. With fewer than 3 such samples, or when the newest value is not within
 * tol of their median, output is the raw value and the result is 0. Otherwise
 * output is the median and the result 1 (flag 1 for 3 or 4 samples, which also
 * need 3 of them within tol of the median; flag 2 for 5 or more). Sample values of
 * exactly 0.0 are never used. */
class GW_EXPORT FilterData {
public:
    double values[30]; /* ring of sample values */
    double times[30];  /* ring of sample times, same slots */
    int index;         /* slot of the newest sample */
    int count;         /* samples stored, at most size */
    double output;     /* filtered value of the last addData */
    double spare;      /* always 0.0 */
    int flag;          /* 0 raw value, 1 median of 3 or 4, 2 median of 5 or more */
    int size;          /* ring length in use, 1 to 30 */
    double maxAge;     /* samples older than this before the newest are not used */

    /* size is brought into 1 to 30. */
    FilterData(int size = 20, double maxAge = 500.0);
    int addData(double value, double time, double tol, int maxSamples);
};

/* A path name (at most 259 characters kept) compared by its file name: equal when
 * the file names without directory and extension are equal; ordered by the number
 * at the start of the file name, then by the number from its fifth character on
 * (numbers read as atoi reads them, clamped to the int range). Both '/' and '\\'
 * separate directories; "X:" at the start is a drive.
 * Construction and assignment never throw: when memory runs out the buffer is null
 * and the key compares as an empty name (an assignment tries to allocate it again). */
class GW_EXPORT FLClass {
public:
    char* fileName; /* owned buffer of 260 characters, or null (see above) */

    FLClass() noexcept;
    FLClass(const char* text) noexcept;
    FLClass(const FLClass& other) noexcept;
    FLClass& operator=(const FLClass& other) noexcept;
    ~FLClass();
    int operator==(const FLClass& other) const;
    int operator<(const FLClass& other) const;
};

/* A plain record: three doubles, two integers, three doubles. The library itself
 * never reads it. */
class GW_EXPORT CalcBaseStation {
public:
    double d1, d2, d3;
    int i1, i2;
    double d4, d5, d6;

    /* Clears every field. */
    CalcBaseStation();
    CalcBaseStation(const CalcBaseStation& other);
    CalcBaseStation& operator=(const CalcBaseStation& other);
};

#endif

#endif
