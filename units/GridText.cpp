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

void foldStation(char* text) {
    if (char* plus = std::strchr(text, '+')) {
        std::memmove(plus, plus + 1, std::strlen(plus + 1) + 1);
        return;
    }
    const std::size_t n = std::strlen(text);
    const bool stationMinus = n >= 2 && text[0] == 'S' && text[1] == '-';
    const bool offsetMinus = n >= 4 && text[2] == 'O' && text[3] == '-';
    if (!stationMinus && !offsetMinus)
        return;
    char* first = std::strchr(text, '-');
    char* second = first ? std::strchr(first + 1, '-') : nullptr;
    if (second)
        std::memmove(second, second + 1, std::strlen(second + 1) + 1);
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
