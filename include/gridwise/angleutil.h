/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Angle utilities on directions in degrees.
 * See docs/threads.md for what may be shared between threads.
 *
 * Threads: the functions work only on their arguments and may be called from
 * several threads at once. */
#ifndef GRIDWISE_ANGLEUTIL_H
#define GRIDWISE_ANGLEUTIL_H

#include "gridwise/export.h"

GW_C_BEGIN

/* Direction of the vector (x, y) in degrees clockwise from the x axis when y is
 * the east component: [0, 360); 0 for (0, 0). Never returns 360: a tiny negative
 * direction that would round up to 360 gives 0. NaN input gives NaN. */
GW_EXPORT double arctan(double y, double x);
/* a - b brought into [-180, 180] by at most one shift of 360. */
GW_EXPORT double deltaAngle(double a, double b);
/* -1 when heading `to` lies clockwise of `from` by less than a half turn, else +1.
 * Both headings are first brought into [-180, 180] by one shift of 360; when
 * either is then exactly 0 (or the two are equal) the result is +1. */
GW_EXPORT int curveDirection(double from, double to);

GW_C_END

#ifdef __cplusplus
/* arctan(y, x) - ref brought into [-180, 180]. */
GW_EXPORT double deltaAngle(double y, double x, double ref);
#endif

#endif
