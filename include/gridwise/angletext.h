/* Angle, latitude and longitude text.
 *
 * Writers: angToStr (signed angle), latToStr (N/S), lonToStr (E/W); style 0 writes
 * degrees, minutes and seconds, any other style degrees and decimal minutes.
 * decimals is the number of decimals of the last field, 0 to 6 (values outside
 * are clamped into that range). The writers need at most 32 characters of dst and
 * return the number of characters written. The parser reads every form the
 * writers produce, plain decimal degrees and forms with the hemisphere letter last.
 * Numbers are written and read in the "C" locale, whatever the process locale. */
#ifndef GRIDWISE_ANGLETEXT_H
#define GRIDWISE_ANGLETEXT_H

#include "gridwise/export.h"

GW_C_BEGIN

GW_EXPORT void degToDms(double degrees, int decimals, int* d, int* m, double* s);
GW_EXPORT void degToDecMin(double degrees, int decimals, int* d, double* m);
GW_EXPORT int angToStr(char* dst, double degrees, int decimals, int style);
GW_EXPORT int latToStr(char* dst, double latitude, int decimals, int style);
GW_EXPORT int lonToStr(char* dst, double longitude, int decimals, int style);
GW_EXPORT double parseStrToAng(char* text, int* pos);
GW_EXPORT double strToAng(char* text);
GW_EXPORT void pad(char* src, unsigned width, char* dst);
GW_EXPORT void stripChars(char* dst, char* src);

GW_C_END

#endif
