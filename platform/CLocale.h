// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Text numbers in the classic "C" locale.
//
// Every number the library writes or reads as text (settings files, angle and
// distance text, initialisation strings, dates) uses the "C" locale: a '.' decimal
// point, no grouping, C whitespace. A host that has set another process locale
// (say one with a decimal comma) gets the same texts as any other host. The
// helpers below switch the calling thread to the "C" locale for the duration of
// one call (uselocale), which leaves the host's process locale untouched.
#ifndef GRIDWISE_PLATFORM_CLOCALE_H
#define GRIDWISE_PLATFORM_CLOCALE_H

#include <cstdarg>
#include <cstddef>
#include <string>

namespace gw {

// Switches the calling thread to the "C" locale while it lives.
class CLocaleScope {
public:
    CLocaleScope();
    ~CLocaleScope();
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    void* previous_;
};

// snprintf in the "C" locale: writes at most cap bytes including the terminator
// (nothing when cap is 0) and returns what snprintf returns.
int cFormat(char* dst, std::size_t cap, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
int cVFormat(char* dst, std::size_t cap, const char* fmt, std::va_list args);

// The same into a std::string (no length limit).
std::string cFormatString(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// atof in the "C" locale: leading C whitespace, the longest prefix that strtod
// accepts, 0.0 when there is none. Never reads past the terminating NUL.
double cAtof(const char* text);

// The leading integer of a text, read as the platform's integer readers read it:
// leading whitespace, an optional sign and decimal digits (0 without digits,
// null included); values beyond the int range saturate at INT_MIN / INT_MAX.
int cAtoi(const char* text);

// strtod in the "C" locale (end may be null).
double cStrtod(const char* text, char** end);

// C-locale isspace of one byte (0x80 and above are never whitespace).
inline bool cIsSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// C-locale isdigit / isalpha / isxdigit of one byte.
inline bool cIsDigit(int c) { return c >= '0' && c <= '9'; }
inline bool cIsAlpha(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline bool cIsXDigit(int c) {
    return cIsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Copies at most cap - 1 bytes of src and terminates (nothing when cap is 0).
// A null src gives an empty text. Returns dst.
char* copyBounded(char* dst, const char* src, std::size_t cap);

} // namespace gw

#endif
