/* Record fields, sentence checksums and file-name stems.
 *
 * breakFields splits a text into a caller-owned array of fixed-width fields; a
 * field keeps at most width - 1 characters (longer ones are cut), surplus fields
 * are not read, and the result is the number of fields found. The C function has
 * 20-wide fields; C++ adds overloads for 30- and 80-wide fields and the 25-wide
 * comma-only form with 115 fields. */
#ifndef GRIDWISE_FIELDS_H
#define GRIDWISE_FIELDS_H

#include "gridwise/export.h"

GW_C_BEGIN

GW_EXPORT int breakFields(char* text, char fields[][20], int maxFields, int mode);
/* Appends '*', two upper-case hexadecimal digits and CR LF; the buffer must hold
 * six more characters than the text. */
GW_EXPORT void checkSum(char* sentence);
GW_EXPORT int checkCheckSum(const char* sentence);
/* Cleans a name in place into a file-name stem (at most 151 characters kept). */
GW_EXPORT int checkDosFileName(char* name);

GW_C_END

#ifdef __cplusplus
GW_EXPORT int breakFields(char* text, char fields[][30], int maxFields, int mode);
GW_EXPORT int breakFields(char* text, char fields[][80], int maxFields, int mode);
GW_EXPORT int breakFields(char* text, char fields[][25]);
#endif

#endif
