// Text helpers of the projections: initialisation-string fields and description lines.
#ifndef GRIDWISE_PROJECTIONS_INITTEXT_H
#define GRIDWISE_PROJECTIONS_INITTEXT_H

#include <cstddef>
#include <string>

#include "gridwise/units.h"
#include "platform/CLocale.h"

namespace gw::inittext {

// An integer read the way atoi reads it (leading C whitespace, an optional sign,
// decimal digits up to the first other character, 0 without digits), saturating
// at the int range instead of overflowing.
inline int readIntField(const char* text) {
    if (text == nullptr) return 0;
    std::size_t i = 0;
    while (gw::cIsSpace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    long long v = 0;
    for (; gw::cIsDigit(static_cast<unsigned char>(text[i])); ++i) {
        if (v < 10000000000LL) v = v * 10 + (text[i] - '0');
    }
    if (negative) v = -v;
    if (v > 2147483647LL) return 2147483647;
    if (v < -2147483648LL) return -2147483647 - 1;
    return static_cast<int>(v);
}

// Copies a projection name into a comma-separated initialisation string: a comma
// inside the name would split it into two fields and shift every field after it,
// so commas are written as ';'.
inline void appendNameField(std::string& out, const char* name) {
    for (std::size_t i = 0; name[i] != '\0'; ++i) out += name[i] == ',' ? ';' : name[i];
}

// The name of a grid unit in description lines: "Meters", "Feet" or "US Survey
// Feet" for 0, 1, 2; null for any other index.
inline const char* unitLineName(int units) {
    switch (units) {
    case 0: return "Meters";
    case 1: return "Feet";
    case 2: return "US Survey Feet";
    default: return nullptr;
    }
}

// A value in metres written by Units::toStr in unit `unit` with `decimals`
// decimals (value and abbreviation) into dst of cap bytes, cut to fit. Uses the
// process-wide units object, or the default unit table when there is none. An
// index outside the ten-record table is written in metres.
inline void distanceText(char* dst, std::size_t cap, double meters, int unit, int decimals) {
    static Units fallback;
    Units* u = ::getUnits();
    if (u == nullptr) u = &fallback;
    if (unit < 0 || unit >= 10) unit = 0;
    char text[512]; // "%.3f" of the largest double and an abbreviation fit
    text[0] = '\0';
    u->toStr(text, meters, unit, decimals, static_cast<int>(sizeof text));
    text[sizeof text - 1] = '\0';
    gw::copyBounded(dst, text, cap);
}

} // namespace gw::inittext

#endif
