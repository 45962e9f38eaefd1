/* Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT */
/* Record fields, sentence checksums and file-name stems.
 * See docs/threads.md for what may be shared between threads.
 *
 * breakFields splits a text into a caller-owned array of fixed-width fields; a
 * field keeps at most width - 1 characters (longer ones are cut), surplus fields
 * are not read, and the result is the number of fields found. The C function has
 * 20-wide fields; C++ adds overloads for 30- and 80-wide fields and the 25-wide
 * comma-only form with 115 fields.
 *
 * mode 0 splits at any run of blanks, ':', ';' and ','; another mode splits at
 * commas only (keeping empty fields between consecutive commas), and skips
 * blanks, ':' and ';' where a field starts. The 25-wide form splits at commas
 * only and skips blanks and ':' where a field starts. A trailing separator leaves
 * one empty last field ("a,b," gives 3 fields). Skipping at a field start stops
 * at the last character of the text; when that character is a separator it
 * closes one more empty field too ("a,," in mode 0 gives "a", "", ""). All fields
 * are emptied first; maxFields <= 0 gives 0 and writes nothing. The text is never
 * read past its NUL, nor a field written past its width.
 *
 * Threads: the functions work only on their arguments and may be called from
 * several threads at once on distinct texts and field arrays. */
#ifndef GRIDWISE_FIELDS_H
#define GRIDWISE_FIELDS_H

#include "gridwise/export.h"

GW_C_BEGIN

GW_EXPORT int breakFields(char* text, char fields[][20], int maxFields, int mode);
/* Appends '*', two upper-case hexadecimal digits and CR LF; the buffer must hold
 * six more characters than the text. The checksum is the exclusive-or of the
 * characters after the first, each as a signed 8-bit value, remainder by 255;
 * the two digits are its low byte (for 7-bit text, the plain exclusive-or). */
GW_EXPORT void checkSum(char* sentence);
/* 1 when the sentence starts with '$' and the hexadecimal number after its last
 * '*' equals the checksum of the characters between them (as an int; for bytes of
 * 0x80 and above also its low byte as checkSum writes it); otherwise 0.
 * Lower-case digits and a trailing CR LF are accepted. */
GW_EXPORT int checkCheckSum(const char* sentence);
/* Cleans a name in place into a file-name stem: cut at the first '.', the
 * characters " / \ [ } : ; = , and blank left out, at most 151 characters kept.
 * 1 when something remains, 0 when the stem is empty. */
GW_EXPORT int checkDosFileName(char* name);

GW_C_END

#ifdef __cplusplus
GW_EXPORT int breakFields(char* text, char fields[][30], int maxFields, int mode);
GW_EXPORT int breakFields(char* text, char fields[][80], int maxFields, int mode);
GW_EXPORT int breakFields(char* text, char fields[][25]);
#endif

#endif
