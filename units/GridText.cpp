// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "units/GridText.h"

#include "gridwise/units.h"

#include <cstring>

namespace gw {

namespace {
GridStyleSource gridStyleSource = nullptr;
constexpr int kNoOverride = -2;
thread_local int threadGridStyle = kNoOverride; // set by a GridStyleScope of this thread
} // namespace

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Whether the separator at text[at] joins whole hundreds and a remainder as the
// station writer writes them: digits (no point) before it, exactly two digits
// after it, then optionally a point and decimals, and then nothing that would go
// on the number.
bool stationSeparator(const char* text, std::size_t at) {
    std::size_t i = at;
    while (i > 0 && isDigit(text[i - 1])) --i;
    if (i == at || (i > 0 && text[i - 1] == '.')) return false;
    const char* r = text + at + 1;
    if (!isDigit(r[0]) || !isDigit(r[1])) return false;
    r += 2;
    if (*r == '.')
        for (++r; isDigit(*r);) ++r;
    return !isDigit(*r) && *r != '.';
}

void removeAt(char* text, std::size_t at) { std::memmove(text + at, text + at + 1, std::strlen(text + at + 1) + 1); }

} // namespace

void foldStation(char* text) {
    if (char* plus = std::strchr(text, '+')) {
        const std::size_t at = static_cast<std::size_t>(plus - text);
        if (at > 0 && isDigit(text[at - 1]) && stationSeparator(text, at)) removeAt(text, at);
        return;
    }
    const std::size_t n = std::strlen(text);
    const bool stationMinus = n >= 2 && text[0] == 'S' && text[1] == '-';
    const bool offsetMinus = n >= 4 && text[2] == 'O' && text[3] == '-';
    if (!stationMinus && !offsetMinus)
        return;
    char* first = std::strchr(text, '-');
    char* second = first ? std::strchr(first + 1, '-') : nullptr;
    if (!second)
        return;
    const std::size_t at = static_cast<std::size_t>(second - text);
    if (at > 0 && isDigit(text[at - 1]) && stationSeparator(text, at)) removeAt(text, at);
}

double readGridValue(char* text, int* pos, int unit, bool station) {
    int ignored = 0;
    int& at = pos ? *pos : ignored;
    at = 0;
    if (!text)
        return 0.0;
    if (station)
        foldStation(text);
    return parseStrToUnit(text, &at, unit);
}

void setGridStyleSource(GridStyleSource source) { gridStyleSource = source; }

int currentGridStyle() {
    if (threadGridStyle != kNoOverride) return threadGridStyle;
    return gridStyleSource ? gridStyleSource() : -1;
}

GridStyleScope::GridStyleScope(int style) noexcept : previous_(threadGridStyle) { threadGridStyle = style; }

GridStyleScope::~GridStyleScope() { threadGridStyle = previous_; }

} // namespace gw
