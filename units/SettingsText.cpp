// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "units/SettingsText.h"

#include "gridwise/angletext.h"
#include "gridwise/units.h"
#include "units/CurrentUnits.h"
#include "units/GridText.h"
#include "units/GridUnit.h"
#include "numerics/Angles.h"
#include "platform/CLocale.h"
#include "platform/IniFile.h"

#include <cmath>
#include <cstring>

namespace gw {

namespace {
constexpr std::size_t kNumberText = 100; // settings numbers are read as text of up to 99 characters
constexpr std::size_t kAngleText = 64;   // the hemisphere writer needs at most 32
} // namespace

double iniGetAngle(const char* section, const char* key, const char* def, const char* file) {
    char text[kNumberText];
    iniGetString(section, key, def, text, sizeof text, file);
    return strToAng(text);
}

double iniGetDouble(const char* section, const char* key, const char* def, const char* file) {
    char text[kNumberText];
    iniGetString(section, key, def, text, sizeof text, file);
    return cAtof(text);
}

double keptLongitude(double lon) {
    if (std::isnan(lon)) return 0.0;
    // -180 stays as written; only values beyond either meridian are wrapped.
    return lon >= -180.0 && lon <= 180.0 ? lon : wrapLongitude(lon);
}

double keptLatitude(double lat, double def) { return (lat >= -90.0 && lat <= 90.0) ? lat : def; }

double iniGetLatitude(const char* section, const char* key, const char* def, const char* file) {
    char fallback[kNumberText];
    copyBounded(fallback, def ? def : "", sizeof fallback);
    return keptLatitude(iniGetAngle(section, key, def, file), strToAng(fallback));
}

double iniGetLongitude(const char* section, const char* key, const char* def, const char* file) {
    return keptLongitude(iniGetAngle(section, key, def, file));
}

double latitudeField(char* text, double def) { return keptLatitude(strToAng(text), def); }

double longitudeField(char* text) { return keptLongitude(strToAng(text)); }

void keepName(char* dst, std::size_t cap, const char* src) {
    if (dst == nullptr || cap == 0) return;
    if (src == nullptr) src = "";
    while (*src == ' ' || *src == ':' || *src == ';' || cIsSpace(static_cast<unsigned char>(*src))) ++src;
    copyBounded(dst, src, cap);
    std::size_t n = std::strlen(dst);
    while (n > 0 && cIsSpace(static_cast<unsigned char>(dst[n - 1]))) dst[--n] = '\0';
}

void iniGetName(const char* section, const char* key, const char* def, char* dst, std::size_t cap,
                const char* file) {
    if (dst == nullptr || cap == 0) return;
    const std::string text = iniGetString(section, key, def, file);
    keepName(dst, cap, text.c_str());
}

void iniWriteDouble(const char* section, const char* key, const char* fmt, double value,
                    const char* file) {
    char text[512]; // "%.100f" of the largest double needs 411 characters
    cFormat(text, sizeof text, fmt, value);
    iniWriteString(section, key, text, file);
}

void iniWriteInt(const char* section, const char* key, int value, const char* file) {
    char text[16];
    cFormat(text, sizeof text, "%d", value);
    iniWriteString(section, key, text, file);
}

void iniWriteLat(const char* section, const char* key, double value, const char* file) {
    char text[kAngleText];
    latToStr(text, value, 4, 1);
    iniWriteString(section, key, text, file);
}

void iniWriteLon(const char* section, const char* key, double value, const char* file) {
    char text[kAngleText];
    lonToStr(text, value, 4, 1);
    iniWriteString(section, key, text, file);
}

std::string latText(double value) {
    char text[kAngleText];
    latToStr(text, value, 4, 1);
    return text;
}

std::string lonText(double value) {
    char text[kAngleText];
    lonToStr(text, value, 4, 1);
    return text;
}

std::string initStringName(const char* name) {
    std::string out = name ? name : "";
    for (char& c : out)
        if (c == ',') c = ' ';
    return out;
}

double gridField(char* text) {
    int pos = 0;
    return readGridValue(text, &pos, 0, currentGridStyle() == gridStyleStation);
}

const char* unitLineName(int units) {
    switch (units) {
    case 0: return "Meters";
    case 1: return "Feet";
    case 2: return "US Survey Feet";
    default: return nullptr;
    }
}

void distanceText(char* dst, std::size_t cap, double meters, int unit, int decimals) {
    Units* u = &currentUnits();
    unit = unitTableIndex(unit);
    char text[512]; // "%.3f" of the largest double and an abbreviation fit
    text[0] = '\0';
    u->toStr(text, meters, unit, decimals, static_cast<int>(sizeof text));
    text[sizeof text - 1] = '\0';
    copyBounded(dst, text, cap);
}

} // namespace gw
