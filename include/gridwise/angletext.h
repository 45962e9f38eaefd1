/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Angle, latitude and longitude text.
 * See docs/threads.md for what may be shared between threads.
 *
 * Writers: angToStr (signed angle), latToStr (N/S), lonToStr (E/W); style 0 writes
 * degrees, minutes and seconds, any other style degrees and decimal minutes.
 * For the writers, decimals is the number of decimals of the last field, 0 to 6
 * (values outside are clamped into that range). The writers need at most 32 characters of dst and
 * return the number of characters written. The parser reads every form the
 * writers produce, plain decimal degrees and forms with the hemisphere letter last;
 * every text written reads back to within half a unit of its last decimal (angles
 * from angToStr modulo 360).
 * Numbers are written and read in the "C" locale, whatever the process locale.
 *
 * degToDms / degToDecMin split |degrees| into whole degrees, whole minutes and
 * the last field rounded half up to `decimals` (times 10^decimals, plus one
 * half, integer part, divided by 10^decimals; any count of decimals, a negative
 * one rounding to tens and beyond), with carry (a last field that rounds to 60
 * or more loses 60 and adds one to the field before it). Degrees are not reduced. A NaN
 * splits into zeros; a magnitude of 2147483647 degrees or more (infinity too),
 * whose whole degrees do not fit an int, gives d = 2147483647 and zero minutes
 * and seconds.
 *
 * angToStr writes " DDD MM SS.sss" (style 0) or " DDD MM.mmmm" (other styles):
 * degrees right-aligned in three places and printed modulo 360 (a carry to 360
 * prints as 0; 400 prints as 40), minutes space-padded in two places, the last
 * field zero-padded to two integer digits; a negative angle puts '-' in place of
 * the leading space, unless every printed field is zero. Any finite value prints its degrees modulo 360, however
 * large (the exact remainder: 2147483648 prints 128 degrees); NaN and
 * infinities print as the zero angle. At most 17 characters.
 *
 * latToStr writes "NDD MM SS.sss" / "NDD MM.mmmm" ('S' for negative values) and
 * lonToStr "EDDD MM SS.sss" / "EDDD MM.mmmm" ('W' for negative values), from the
 * absolute value; a value that rounds to zero takes 'N' or 'E'. A latitude outside [-90, 90], a longitude outside [-180, 180],
 * and NaN are written as the fixed zero texts "N00 00 00.000" / "N00 00.000" and
 * "E00 00 00.000" / "E00 00.000" whatever `decimals` is.
 *
 * parseStrToAng reads an optional sign letter (N n E e + positive, S s W w -
 * negative), then up to three whitespace-separated runs of digits and '.'
 * (degrees, minutes, seconds), then, only when no sign came first, an optional
 * trailing sign letter. Each run is read whole, whatever its length, as the
 * correctly rounded decimal ("34.03333333333333" is that double); a run with a
 * second point is no number, and reading stops at that point ("1.2.3" gives 1.2
 * with *pos at 3). The text must start (after
 * whitespace and the sign letter) with a digit; otherwise the result is 0.0.
 * *pos receives the index of the first character not consumed (0 for an empty
 * text, the end for an all-whitespace one). pos may be null. The parser never
 * reads past the terminating NUL.
 *
 * gwReadAngle is the strict reader of a whole angle text, used wherever one text
 * must be one angle (the gridwise tool, the datum rotations of a handle, the
 * Python package). It reads text as parseStrToAng does and returns 1 when
 * degrees were read (a digit began them) and nothing but C whitespace follows,
 * 0 when no degrees were read, -1 when text follows the angle. *degrees (may be
 * null) receives what the reader read (0 when nothing), *stop (may be null) the
 * index of the first character not read. flags, or-ed, widen what is taken:
 *   GW_ANGLE_EXACT_DECIMAL  a text that is, C whitespace around it aside, a plain
 *                           decimal number ([+-] digits [. digits]) is read as
 *                           the correctly rounded double, as the parser reads
 *                           it; the flag adds a leading point (".5");
 *   GW_ANGLE_SIGN_ALONE     a text that is, C whitespace around it aside, one
 *                           sign letter (N n E e + S s W w -) reads as 0.
 * A NULL text is the empty text (0 is returned).
 *
 * pad writes src right-justified (or cut) in exactly `width` characters plus the
 * terminator; src and dst may overlap. stripChars copies src leaving out every
 * C whitespace character; dst may be src.
 *
 * Threads: every function here works only on its arguments (the "C" locale is
 * selected for the calling thread alone), so they may be called from several
 * threads at once on distinct buffers. */
#ifndef GRIDWISE_ANGLETEXT_H
#define GRIDWISE_ANGLETEXT_H

#include <stddef.h>

#include "gridwise/export.h"

GW_C_BEGIN

/* Flags of gwReadAngle. */
enum { GW_ANGLE_EXACT_DECIMAL = 1, GW_ANGLE_SIGN_ALONE = 2 };

GW_EXPORT void degToDms(double degrees, int decimals, int* d, int* m, double* s);
GW_EXPORT void degToDecMin(double degrees, int decimals, int* d, double* m);
GW_EXPORT int angToStr(char* dst, double degrees, int decimals, int style);
GW_EXPORT int latToStr(char* dst, double latitude, int decimals, int style);
GW_EXPORT int lonToStr(char* dst, double longitude, int decimals, int style);
GW_EXPORT double parseStrToAng(char* text, int* pos);
GW_EXPORT double strToAng(char* text);
GW_EXPORT int gwReadAngle(const char* text, int flags, double* degrees, size_t* stop);
GW_EXPORT void pad(char* src, unsigned width, char* dst);
GW_EXPORT void stripChars(char* dst, char* src);

GW_C_END

#endif
