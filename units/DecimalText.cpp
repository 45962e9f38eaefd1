// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "units/DecimalText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace gw {

namespace {

constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

} // namespace

bool isPlainDecimal(const char* text, std::size_t length) {
    std::string_view s(text, length);
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) s.remove_prefix(1);
    bool digit = false, point = false;
    for (char c : s) {
        if (c >= '0' && c <= '9') digit = true;
        else if (c == '.' && !point) point = true;
        else return false;
    }
    return digit;
}

double plainDecimalValue(const char* text, std::size_t length) {
    std::string_view s(text, length);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    // Up to 15 digits make a whole number that a double holds exactly, and a power
    // of ten up to 1e22 is exact too, so their quotient is the correctly rounded
    // value, as std::from_chars gives it; anything else goes to from_chars.
    std::uint64_t mantissa = 0;
    int digits = 0, decimals = 0;
    bool point = false;
    for (char c : s) {
        if (c == '.') {
            point = true;
            continue;
        }
        mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
        if (mantissa != 0) ++digits;
        if (point) ++decimals;
    }
    double v;
    if (digits <= 15 && decimals <= 22) {
        v = static_cast<double>(mantissa) / kPowersOfTen[decimals];
    } else {
        v = 0.0;
        const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
        if (r.ec == std::errc::result_out_of_range) {
            // Beyond the largest double (a whole part of more than 308 digits) the
            // value is infinite, as strtod reads it; below the smallest, zero.
            const std::string_view whole = s.substr(0, s.find('.'));
            v = whole.find_first_not_of('0') != std::string_view::npos ? HUGE_VAL : 0.0;
        }
    }
    return negative ? -v : v;
}

void unsignZero(char* text, std::size_t at) {
    if (text == nullptr || std::strlen(text) <= at || text[at] != '-') return;
    std::size_t i = at + 1;
    bool digit = false;
    for (; text[i] != '\0'; ++i) {
        if (text[i] == '0') digit = true;
        else if (text[i] != '.') break;
    }
    if (!digit || (text[i] >= '1' && text[i] <= '9')) return;
    std::memmove(text + at, text + at + 1, std::strlen(text + at + 1) + 1);
}

} // namespace gw
