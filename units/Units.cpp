// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "gridwise/units.h"

#include "platform/CLocale.h"
#include "platform/ModuleState.h"
#include "platform/IniFile.h"
#include "platform/IniWriter.h"
#include "units/CurrentUnits.h"
#include "units/DecimalText.h"
#include "units/GridUnit.h"
#include "units/SettingKey.h"
#include "units/UnitsFileName.h"

#include <climits>
#include <cstddef>
#include <cstring>
#include <new>
#include <iterator>
#include <span>
#include <utility>

namespace {

// The process-wide units object (null when there is none) and the units file name.
Units* g_units = nullptr;
char g_unitsFileName[256] = "";

constexpr const char* kSection = "units";
// distToStr and wpDistToStr write at most this many bytes, terminator included.
constexpr std::size_t kDistTextSize = 50;

// The record a unit index stands for. An index outside the filled records (a value
// read from a settings file is kept as read) converts as metres.
const Unit& unitRecord(const Units& units, int index) { return units.unitTable[gw::filledUnitIndex(index)]; }

// Without a units object the functions act as a freshly built one would: metres,
// latitudes and longitudes in degrees and decimal minutes, entry in latitude/longitude.
const Units& current() { return gw::currentUnits(); }

// Writes meters in `unit` with `decimals` decimals (clamped to 0..9) and the unit's
// abbreviation.
void formatDistance(char* dst, std::size_t cap, double meters, const Unit& unit, int decimals) {
    if (dst == nullptr || cap == 0) return;
    if (decimals < 0) decimals = 0;
    if (decimals > 9) decimals = 9;
    gw::cFormat(dst, cap, "%.*f%s", decimals, meters / unit.metersPerUnit, unit.abbrev);
    gw::unsignZero(dst, 0);  // "0.00m", never "-0.00m"

}

// Distance text to metres with the factors of `units`' table (see parseStrToUnit).
double parseDistance(const Units& units, const char* text, int* pos, int unit) {
    int ignored = 0;
    if (pos == nullptr) pos = &ignored;
    *pos = 0;
    if (unit < 0) unit = 0;
    if (text == nullptr) return 0.0;
    const std::size_t length = std::strlen(text);
    std::size_t p = 0;
    auto finish = [&](double value) {
        *pos = p > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(p);
        return value;
    };
    auto skipSpace = [&] {
        while (p < length && gw::cIsSpace(static_cast<unsigned char>(text[p]))) ++p;
    };
    if (length == 0) return finish(0.0);

    skipSpace();
    if (p >= length) return finish(0.0);

    // An axis label in front of a grid value.
    if (std::strchr("NnEeYyXxSsOo", text[p]) != nullptr) {
        ++p;
        skipSpace();
    }

    double sign = 1.0;
    if (text[p] == '+') {
        ++p;
        skipSpace();
    } else if (text[p] == '-') {
        ++p;
        sign = -1.0;
        skipSpace();
    }

    auto isNumberChar = [](char c) { return gw::cIsDigit(static_cast<unsigned char>(c)) || c == '.'; };
    if (!isNumberChar(text[p])) return finish(0.0);

    // Digits with at most one point, read whole as the correctly rounded decimal
    // whatever their length. A second point is no part of the number: "1.2.3"
    // reads 1.2 and stops at ".3", where no unit can follow.
    const std::size_t start = p;
    bool point = false;
    while (p < length && isNumberChar(text[p]) && !(text[p] == '.' && point)) {
        if (text[p] == '.') point = true;
        ++p;
    }
    const double number = gw::plainDecimalValue(text + start, p - start);
    if (text[p] == '.') return finish(sign * number * unitRecord(units, unit).metersPerUnit);

    skipSpace();

    double factor = 0.0;
    bool suffix = false;
    if (text[p] != '\0' && std::strchr("mMfFkKnNyY", text[p]) != nullptr) {
        auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
        char s[3] = {upper(text[p]), '\0', '\0'};
        std::size_t letters = 1;
        if (gw::cIsAlpha(static_cast<unsigned char>(text[p + 1]))) {
            s[1] = upper(text[p + 1]);
            letters = 2;
        }
        suffix = true;
        if (std::strcmp(s, "M") == 0)
            factor = 1.0;
        else if (std::strcmp(s, "KM") == 0)
            factor = 1000.0;
        else if (std::strcmp(s, "NM") == 0)
            factor = 1852.0;
        else if (std::strcmp(s, "FT") == 0)
            factor = unit == 1 ? 0.3048 : 0.30480060960121924;
        else if (std::strcmp(s, "YD") == 0)
            factor = 0.9144;
        else
            suffix = false;
        if (suffix) p += letters;
    }
    if (!suffix) factor = unitRecord(units, unit).metersPerUnit;

    return finish(sign * number * factor);
}

} // namespace

namespace gw {
const char* unitsFileName() { return g_unitsFileName; }

Units& currentUnits() {
    static Units fresh;
    return g_units != nullptr ? *g_units : fresh;
}
} // namespace gw

Unit::Unit() : name{}, abbrev{}, metersPerUnit(0.0), decimals(2) {}

Units::Units()
    : distUnits(0), wpUnits(0), latLonStyle(0), defaultLatHemi(0), defaultLonHemi(0), defaultEntry(0),
      defaultDistCalc(0) {
    struct Row {
        const char* name;
        const char* abbrev;
        double metersPerUnit;
        int decimals;
    };
    static const Row rows[gw::kFilledUnits] = {
        {"meters", "m", 1.0, 2},
        {"feet", "ft", 0.3048, 2},
        {"US survey feet", "ft", 0.30480060960121924, 2}, // 12 / 39.37
        {"kilometers", "km", 1000.0, 5},
        {"nautical miles", "nm", 1852.0, 5},
    };
    for (int i = 0; i < gw::kFilledUnits; ++i) {
        gw::copyBounded(unitTable[i].name, rows[i].name, sizeof unitTable[i].name);
        gw::copyBounded(unitTable[i].abbrev, rows[i].abbrev, sizeof unitTable[i].abbrev);
        unitTable[i].metersPerUnit = rows[i].metersPerUnit;
        unitTable[i].decimals = rows[i].decimals;
    }
}

namespace {
// The seven unit settings of the section "units", in the order they are saved;
// every one an integer, 0 when missing.
constexpr gw::SettingKey kUnitsKeys[] = {
    {"distUnits", gw::Form::integer, "0"},      {"wpUnits", gw::Form::integer, "0"},
    {"latLonStyle", gw::Form::integer, "0"},    {"defaultLatHemi", gw::Form::integer, "0"},
    {"defaultLonHemi", gw::Form::integer, "0"}, {"defaultEntry", gw::Form::integer, "0"},
    {"defaultDistCalc", gw::Form::integer, "0"},
};
} // namespace

std::span<const gw::SettingKey> gw::unitsSettingKeys() { return kUnitsKeys; }

void Units::loadData(char* file) {
    if (file == nullptr) return;
    int* const values[] = {&distUnits,      &wpUnits,      &latLonStyle,    &defaultLatHemi,
                           &defaultLonHemi, &defaultEntry, &defaultDistCalc};
    for (std::size_t i = 0; i < std::size(kUnitsKeys); ++i)
        *values[i] = gw::iniGetInt(kSection, kUnitsKeys[i].key, gw::cAtoi(kUnitsKeys[i].def), file);
}

void Units::saveData(char* file) {
    if (file == nullptr) return;
    const std::pair<const char*, int> settings[] = {
        {"distUnits", distUnits},           {"wpUnits", wpUnits},
        {"latLonStyle", latLonStyle},       {"defaultLatHemi", defaultLatHemi},
        {"defaultLonHemi", defaultLonHemi}, {"defaultEntry", defaultEntry},
        {"defaultDistCalc", defaultDistCalc},
    };
    // All seven keys in one locked replacement of the file; a save that does not
    // reach the disk is reported (gwLastError).
    gw::IniBatch batch(file);
    bool named = true;
    for (const auto& [key, value] : settings) {
        char text[16];
        gw::cFormat(text, sizeof text, "%d", value);
        named = gw::iniWriteString(kSection, key, text, file) && named;
    }
    if (!batch.commit() || !named) gw::reportUnsaved("unit settings", file);
}

void Units::toStr(char* dst, double meters, int unit, int decimals, int capacity) {
    if (capacity <= 0) return;
    formatDistance(dst, static_cast<std::size_t>(capacity), meters, unitRecord(*this, unit), decimals);
}

double Units::fromStr(char* text, int unit) {
    int pos = 0;
    return parseDistance(*this, text, &pos, unit);
}

double Units::fromStr(char* text, int unit, int* pos) { return parseDistance(*this, text, pos, unit); }

extern "C" {

int allocUnits(char* file) {
    if (!gw::moduleReady()) return 0;
    try {
        if (g_units != nullptr) {
            // A second allocUnits starts the existing object afresh, so pointers the
            // host took from getUnits stay valid.
            *g_units = Units();
        } else {
            g_units = new (std::nothrow) Units();
            if (g_units == nullptr) return 0;
        }
        g_units->loadData(file);
        return 1;
    } catch (...) {
        return 0;
    }
}

void deAllocUnits(char* file) {
    if (g_units == nullptr) return;
    try {
        g_units->saveData(file);
    } catch (...) {
    }
    delete g_units;
    g_units = nullptr;
}

void saveUnits(char* file) {
    if (g_units == nullptr) return;
    try {
        g_units->saveData(file);
    } catch (...) {
    }
}

void loadUnits(char* file) {
    if (file == nullptr) return;
    // A name that does not fit the 256-character buffer is not remembered.
    if (strnlen(file, sizeof g_unitsFileName) < sizeof g_unitsFileName)
        gw::copyBounded(g_unitsFileName, file, sizeof g_unitsFileName);
    if (g_units == nullptr) return;
    try {
        g_units->loadData(file);
    } catch (...) {
    }
}

Units* getUnits(void) { return g_units; }

int getLatLonStyle(void) { return current().latLonStyle; }

int defaultEntry(void) { return current().defaultEntry; }

// The same function under its second name.
int geoOrGrid(void) __attribute__((alias("defaultEntry")));

double metersToDist(void) { return 1.0 / unitRecord(current(), current().distUnits).metersPerUnit; }

double distToMeters(void) { return unitRecord(current(), current().distUnits).metersPerUnit; }

void distToStr(char* dst, double meters) {
    const Unit& unit = unitRecord(current(), current().distUnits);
    formatDistance(dst, kDistTextSize, meters, unit, unit.decimals);
}

void wpDistToStr(char* dst, double meters, int decimals) {
    formatDistance(dst, kDistTextSize, meters, unitRecord(current(), current().wpUnits), decimals);
}

double parseStrToDist(char* text) {
    int pos = 0;
    return parseDistance(current(), text, &pos, current().distUnits);
}

double parseStrToUnit(char* text, int* pos, int unit) { return parseDistance(current(), text, pos, unit); }

} // extern "C"
