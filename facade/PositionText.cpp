// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Position and grid text in the style and unit of the current projection.
//
// The grid forms need both process-wide objects, the geodesy instance (for the
// projection's format, unit and conversions) and the units object (for the unit
// table and the parser's default unit). Without either of them (an instance whose
// projection could not be made counts as none):
//   - gridToStr and a grid psnToStr write an empty text;
//   - parseStrToGridCoord reads the text as a plain (non-station) grid value,
//     exactly as parseStrToUnit does, and leaves the text as it is (projections
//     built from initialisation strings before the instance exists rely on it);
//   - a grid strToPsn leaves latitude and longitude as they were;
//   - metersToPos returns 1.0 (metres).
// The geographic forms of psnToStr and strToPsn need neither object.
//
// The projection's unit index selects a record of the unit table; an index
// outside the table or of an unused record (factor 0) counts as metres.
//
// Buffer sizes: gridToStr writes at most gridTextMax bytes, terminator included
// (a value too long for it, such as a grid value beyond 1e20, is cut); psnToStr
// writes at most two such lines and "\r\n", 2 * gridTextMax + 1 bytes. strToPsn
// reads at most the first 79 characters of its text.
#include "gridwise/postext.h"

#include "facade/Geodetics.h"
#include "gridwise/angletext.h"
#include "gridwise/units.h"
#include "platform/CLocale.h"
#include "units/DecimalText.h"
#include "units/GridText.h"
#include "units/GridUnit.h"

#include <cmath>
#include <cstring>

namespace {

constexpr std::size_t gridTextMax = 32;

// The projection of the geodesy instance, or null (also when the instance has
// none: see Geodetics.h).
Projection* currentProjection() {
    Geodetics* g = gw::geodesyInstance();
    return g ? g->projection : nullptr;
}

// Writes one grid value into dst (at most gridTextMax bytes); empty when the
// format is not one of the three styles.
void formatGrid(char* dst, const Unit& unit, int format, double meters, int axis) {
    const double v = meters / unit.metersPerUnit;
    const char* a = unit.abbrev;
    dst[0] = '\0';
    // A value that rounds to zero is written without a minus ("O0.00m", never
    // "O-0.00m"; the station of zero is "S0+00.00m").
    if (axis == 0) {
        gw::cFormat(dst, gridTextMax, "%.2f", v);
        gw::unsignZero(dst, 0);
    } else if (format == 0) {
        gw::cFormat(dst, gridTextMax, "%c%.2f%s", axis == 1 ? 'E' : 'N', v, a);
        gw::unsignZero(dst, 1);
    } else if (format == 1) {
        gw::cFormat(dst, gridTextMax, "%c%.2f%s", axis == 1 ? 'X' : 'Y', v, a);
        gw::unsignZero(dst, 1);
    } else if (format == 2) {
        if (axis == 1) {
            gw::cFormat(dst, gridTextMax, "O%.2f%s", v, a);
            gw::unsignZero(dst, 1);
        } else {
            // Station: the value is rounded to the two printed decimals first and
            // then split into hundreds and remainder, so the remainder never
            // reaches 100 (99.996 gives "S1+00.00", which reads back as 100.00).
            // Counted in hundredths, the split is exact: fmod is exact and the
            // hundreds are a difference of two whole numbers.
            const double cents = std::round(std::fabs(v) * 100);
            const double rc = std::fmod(cents, 10000.0);
            const double h = (cents - rc) / 10000;
            const double r = rc / 100;
            if (v > 0 || cents == 0)
                gw::cFormat(dst, gridTextMax, "S%.0f+%05.2f%s", h, r, a);
            else
                gw::cFormat(dst, gridTextMax, "S-%.0f-%05.2f%s", h, r, a);
        }
    }
}

// The guard of the grid forms: body(projection, units) and its result; the
// fallback without the geodesy instance's projection or the units object, and when
// the body throws.
template <typename R, typename Body> R withGrid(R fallback, Body&& body) noexcept {
    Projection* p = currentProjection();
    const Units* units = getUnits();
    if (!p || !units)
        return fallback;
    try {
        return body(*p, *units);
    } catch (...) {
        return fallback;
    }
}

// A parser's end position, kept within the text.
int clampPos(const char* text, int pos) {
    const int n = static_cast<int>(std::strlen(text));
    return pos < 0 ? 0 : (pos > n ? n : pos);
}

} // namespace

extern "C" {

void gridToStr(char* dst, double meters, int axis) {
    if (!dst)
        return;
    dst[0] = '\0';
    // The projection is asked before anything is written, so a failure leaves the
    // empty text.
    withGrid(false, [&](Projection& p, const Units& units) {
        formatGrid(dst, gw::gridUnit(units, p.getUnits()), p.getFormat(), meters, axis);
        return true;
    });
}

double parseStrToGridCoord(char* text, int* pos, int unit) {
    if (pos)
        *pos = 0;
    Projection* p = currentProjection();
    try {
        return gw::readGridValue(text, pos, unit, p && p->getFormat() == gw::gridStyleStation);
    } catch (...) {
        return 0.0;
    }
}

void psnToStr(char* dst, int geographic, double latitude, double longitude) {
    if (!dst)
        return;
    char first[64] = "";
    char second[64] = "";
    dst[0] = '\0';
    if (geographic) {
        latToStr(first, latitude, 4, 1);
        lonToStr(second, longitude, 4, 1);
    } else if (!withGrid(false, [&](Projection& p, const Units& units) {
                   double north = 0.0;
                   double east = 0.0;
                   p.geoToGrid(latitude, longitude, north, east);
                   const Unit& u = gw::gridUnit(units, p.getUnits());
                   const int format = p.getFormat();
                   formatGrid(first, u, format, north, 2);
                   formatGrid(second, u, format, east, 1);
                   return true;
               })) {
        return;
    }
    first[gridTextMax - 1] = second[gridTextMax - 1] = '\0';
    const std::size_t n1 = std::strlen(first);
    const std::size_t n2 = std::strlen(second);
    std::memcpy(dst, first, n1);
    std::memcpy(dst + n1, "\r\n", 2);
    std::memcpy(dst + n1 + 2, second, n2 + 1);
}

void strToPsn(char* text, int geographic, double* latitude, double* longitude) {
    if (!text)
        return;
    // A working copy of at most 79 characters: the parsers may fold it in place.
    char buffer[80];
    gw::copyBounded(buffer, text, sizeof buffer);
    int pos = 0;
    int rest = 0;
    if (geographic) {
        const double lat = parseStrToAng(buffer, &pos);
        pos = clampPos(buffer, pos);
        const double lon = parseStrToAng(buffer + pos, &rest);
        if (latitude)
            *latitude = lat;
        if (longitude)
            *longitude = lon;
        return;
    }
    withGrid(false, [&](Projection& p, const Units& units) {
        const int unit = gw::gridUnitIndex(units, p.getUnits());
        const double north = parseStrToGridCoord(buffer, &pos, unit);
        pos = clampPos(buffer, pos);
        const double east = parseStrToGridCoord(buffer + pos, &rest, unit);
        double lat = 0.0;
        double lon = 0.0;
        p.gridToGeo(north, east, lat, lon);
        if (latitude)
            *latitude = lat;
        if (longitude)
            *longitude = lon;
        return true;
    });
}

double metersToPos(void) {
    return withGrid(1.0, [](Projection& p, const Units& units) {
        return 1.0 / gw::gridUnit(units, p.getUnits()).metersPerUnit;
    });
}

} // extern "C"

void gridToStr(char* dst, double meters, int axis, Projection& projection, const Units& units) {
    if (!dst)
        return;
    dst[0] = '\0';
    try {
        formatGrid(dst, gw::gridUnit(units, projection.getUnits()), projection.getFormat(), meters, axis);
    } catch (...) {
        dst[0] = '\0';
    }
}

double parseStrToGridCoord(char* text, int* pos, int unit, Projection& projection, Units& units) {
    int ignored = 0;
    int& at = pos ? *pos : ignored;
    at = 0;
    if (!text)
        return 0.0;
    try {
        if (projection.getFormat() == gw::gridStyleStation)
            gw::foldStation(text);
        return units.fromStr(text, unit, &at);
    } catch (...) {
        return 0.0;
    }
}
