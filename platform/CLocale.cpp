// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "platform/CLocale.h"

#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace gw {

namespace {
locale_t classicLocale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}
} // namespace

CLocaleScope::CLocaleScope() : previous_(nullptr) {
    locale_t c = classicLocale();
    if (c != static_cast<locale_t>(nullptr)) previous_ = uselocale(c);
}

CLocaleScope::~CLocaleScope() {
    if (previous_ != nullptr) uselocale(static_cast<locale_t>(previous_));
}

int cAtoi(const char* text) {
    if (text == nullptr) return 0;
    const char* p = text;
    while (cIsSpace(static_cast<unsigned char>(*p))) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long value = 0; // magnitude, saturated just past the int range
    const long long limit = static_cast<long long>(INT_MAX) + 1;
    for (; cIsDigit(static_cast<unsigned char>(*p)); ++p)
        if (value < limit) value = value * 10 + (*p - '0');
    if (value > limit) value = limit;
    if (negative) return static_cast<int>(-value); // -(INT_MAX + 1) == INT_MIN fits
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

int cVFormat(char* dst, std::size_t cap, const char* fmt, std::va_list args) {
    CLocaleScope scope;
    return std::vsnprintf(cap == 0 ? nullptr : dst, cap, fmt, args);
}

int cFormat(char* dst, std::size_t cap, const char* fmt, ...) {
    std::va_list args;
    va_start(args, fmt);
    int n = cVFormat(dst, cap, fmt, args);
    va_end(args);
    return n;
}

std::string cFormatString(const char* fmt, ...) {
    CLocaleScope scope;
    std::va_list args;
    va_start(args, fmt);
    std::va_list copy;
    va_copy(copy, args);
    char small[256];
    int n = std::vsnprintf(small, sizeof small, fmt, args);
    va_end(args);
    std::string out;
    if (n < 0) {
        va_end(copy);
        return out;
    }
    if (static_cast<std::size_t>(n) < sizeof small) {
        out.assign(small, static_cast<std::size_t>(n));
    } else {
        out.resize(static_cast<std::size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, copy);
        out.resize(static_cast<std::size_t>(n));
    }
    va_end(copy);
    return out;
}

double cStrtod(const char* text, char** end) {
    if (text == nullptr) {
        if (end != nullptr) *end = nullptr;
        return 0.0;
    }
    locale_t c = classicLocale();
    if (c == static_cast<locale_t>(nullptr)) return std::strtod(text, end);
    return strtod_l(text, end, c);
}

double cAtof(const char* text) { return cStrtod(text, nullptr); }

char* copyBounded(char* dst, const char* src, std::size_t cap) {
    if (cap == 0 || dst == nullptr) return dst;
    std::size_t n = 0;
    if (src != nullptr) {
        while (n + 1 < cap && src[n] != '\0') ++n;
        std::memmove(dst, src, n);
    }
    dst[n] = '\0';
    return dst;
}

} // namespace gw
