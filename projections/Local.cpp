// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "projections/Local.h"

#include "projections/EditDialogs.h"

#include <cmath>

#include "numerics/Angles.h"
#include "platform/CLocale.h"
#include "projections/LocalSystemSupport.h"
#include "projections/ProjectionKeys.h"
#include "projections/ProjectionTypes.h"
#include "units/SettingsText.h"

namespace {

using gw::Form;
using gw::kPi;

// Settings keys in the order of a new section; the string is
// "5,localProjName,centerLat,centerLon," with fields of 19 characters.
constexpr gw::Key<Local> kKeys[] = {
    // {key, member, {settings form, default, format}, {string field, form, format}}
    {"localProjName",  &Local::localProjName, {Form::name, "Local"},         {1, Form::name}},
    {"localCenterLat", &Local::centerLat,     {Form::number, "0.", "%.12f"}, {2, Form::number, "%.12f"}},
    {"localCenterLon", &Local::centerLon,     {Form::number, "0.", "%.12f"}, {3, Form::number, "%.12f"}},
};
constexpr gw::KeyTable<Local> kTable{kKeys, gw::FieldWidth::narrow, true};
static_assert(gw::wellFormed(kTable));
constexpr auto kSettingKeys = gw::settingKeysOf(kKeys);

} // namespace

std::vector<gw::InitField> gw::localFields() { return initFieldsOf(kTable); }

Local::Local(char* init) : Projection(ProjectionBaseCon{}), centerLat(0.0), centerLon(0.0) {
    localProjName[0] = '\0';
    if (init) gw::readInitString(*this, kTable, init);
    gw::setLocalSystemNames(*this, gw::code(gw::ProjectionType::local), "Local");
}

Local::Local(const Local& other) = default;

Local& Local::operator=(const Local& other) = default;

Local::~Local() = default;

Projection* Local::clone() const { return new Local(*this); }

int Local::editDialog(CWnd* parent, ProjDataStruct** list) { return gw::runProjectionDialog(type, *this, parent, list); }

void Local::getLines(char lines[][50]) {
    gw::cFormat(lines[0], 50, "%s", localProjName);
    gw::cFormat(lines[1], 50, "Lat Origin: %s", gw::latText(centerLat).c_str());
    gw::cFormat(lines[2], 50, "Lon Origin: %s", gw::lonText(centerLon).c_str());
    gw::cFormat(lines[3], 50, " ");
    gw::cFormat(lines[4], 50, " ");
    gw::cFormat(lines[5], 50, " ");
}

void Local::loadData(char* section, char* file) { gw::loadKeys(*this, kTable, section, file); }

void Local::saveData(char* section, char* file) { gw::saveKeys(*this, kTable, section, file); }

void Local::initText(gw::InitText& out) const { gw::writeInitString(out, *this, kTable); }

void Local::geoparm(Datum*) {}

double Local::metersPerDegLat(double lat) {
    return 111132.09 - 566.05 * std::cos(2.0 * lat * kPi / 180.0) + 1.2 * std::cos(4.0 * lat * kPi / 180.0) -
           0.002 * std::cos(6.0 * lat * kPi / 180.0);
}

double Local::metersPerDegLon(double lat) {
    return 111415.13 * std::cos(lat * kPi / 180.0) - 94.55 * std::cos(3.0 * lat * kPi / 180.0) +
           0.12 * std::cos(5.0 * lat * kPi / 180.0);
}

void Local::geoToGrid(double lat, double lon, double& north, double& east) {
    double dLat = std::fmod(lat - centerLat, 180.0);
    // The longitude difference the shorter way round, in (-180, 180]: a point just
    // across the 180 degree meridian from the origin lies just east or west of it.
    double dLon = gw::wrapLongitude(lon - centerLon);
    north = dLat * metersPerDegLat(centerLat);
    east = dLon * metersPerDegLon(centerLat);
    if (north == 0.0 && east == 0.0) {
        north = 0.0;
        east = 0.0;
    }
}

void Local::gridToGeo(double north, double east, double& lat, double& lon) {
    if (north == 0.0 && east == 0.0) {
        lat = centerLat;
        lon = centerLon;
        return;
    }
    lat = centerLat + north / metersPerDegLat(centerLat);
    lon = centerLon + east / metersPerDegLon(centerLat);
}

double Local::lineScale(double, double, double, double) { return 1.0; }

double Local::converge(double, double) { return 0.0; }

int Local::getUnits() { return 0; }

int Local::getFormat() { return 1; }

std::span<const gw::SettingKey> gw::localSettingKeys() { return kSettingKeys; }
