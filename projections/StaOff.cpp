// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "projections/StaOff.h"

#include "projections/EditDialogs.h"

#include <cmath>

#include "gridwise/angleutil.h"
#include "platform/CLocale.h"
#include "projections/LocalSystemSupport.h"
#include "projections/ProjectionKeys.h"
#include "projections/ProjectionTypes.h"

namespace {

using gw::Form;

// Settings keys in the order of a new section, the base's own keys behind
// "localGeodesyType" and the names read last. The string has fields of 19
// characters and the base's own string behind the 6th comma.
constexpr gw::Key<StaOff> kKeys[] = {
    // {key, member, {settings form, default, format}, {string field, form, format}}
    {"localProjName",    &StaOff::localProjName, {Form::name, "StaOff"},        {1, Form::name}},
    {"localCenterLat",   &StaOff::startLat,      {Form::number, "0.", "%.12f"}, {2, Form::number, "%.12f"}},
    {"localCenterLon",   &StaOff::startLon,      {Form::number, "0.", "%.12f"}, {3, Form::number, "%.12f"}},
    {"localEndLat",      &StaOff::endLat,        {Form::number, "0.", "%.12f"}, {4, Form::number, "%.12f"}},
    {"localEndLon",      &StaOff::endLon,        {Form::number, "0.", "%.12f"}, {5, Form::number, "%.12f"}},
    {"localGeodesyType", &StaOff::baseProj,      {Form::base, "0"},             {6, Form::base}},
    {"general",          &StaOff::general,       {Form::name, "USER"}},
    {"specific",         &StaOff::specific,      {Form::name, "StaOff"}},
};
constexpr gw::KeyTable<StaOff> kTable{kKeys, gw::FieldWidth::narrow, false};
static_assert(gw::wellFormed(kTable));
constexpr auto kSettingKeys = gw::settingKeysOf(kKeys);

} // namespace

std::vector<gw::InitField> gw::stationOffsetFields() { return initFieldsOf(kTable); }

StaOff::StaOff(char* init)
    : Projection(ProjectionBaseCon{}),
      startLat(0.0), startLon(0.0), startNorth(0.0), startEast(0.0),
      endLat(0.0), endLon(0.0), endNorth(0.0), endEast(0.0),
      sinAz(0.0), cosAz(1.0), baseProj() {
    localProjName[0] = '\0';
    if (init) gw::readInitString(*this, kTable, init);
    gw::setLocalSystemNames(*this, gw::code(gw::ProjectionType::stationOffset), "StaOff");
}

StaOff::StaOff(const StaOff& other) = default;

StaOff& StaOff::operator=(const StaOff& other) = default;

StaOff::~StaOff() = default;

Projection* StaOff::clone() const { return new StaOff(*this); }

int StaOff::editDialog(CWnd* parent, ProjDataStruct** list) { return gw::runProjectionDialog(type, *this, parent, list); }

void StaOff::getLines(char lines[][50]) {
    gw::baseSystemLines(lines, localProjName, *baseProj, "StaOff");
}

// The ends are placed in the base grid once the base is read; the direction
// follows in geoparm, once the base has its datum.
void StaOff::loadData(char* section, char* file) {
    gw::loadKeys(*this, kTable, section, file);
    baseProj->geoToGrid(startLat, startLon, startNorth, startEast);
    baseProj->geoToGrid(endLat, endLon, endNorth, endEast);
}

void StaOff::saveData(char* section, char* file) { gw::saveKeys(*this, kTable, section, file); }

void StaOff::initText(gw::InitText& out) const { gw::writeInitString(out, *this, kTable); }

void StaOff::geoparm(Datum* datum) {
    baseProj->geoparm(datum);
    baseProj->geoToGrid(startLat, startLon, startNorth, startEast);
    baseProj->geoToGrid(endLat, endLon, endNorth, endEast);
    double dN = endNorth - startNorth;
    double dE = endEast - startEast;
    double length = std::sqrt(dN * dN + dE * dE);
    // Coinciding ends, and ends the base cannot place (NaN or infinite grid
    // values), leave the direction at grid north.
    if (length > 0.0 && std::isfinite(length)) {
        sinAz = dE / length;
        cosAz = dN / length;
    } else {
        sinAz = 0.0;
        cosAz = 1.0;
    }
}

void StaOff::gridToGeo(double station, double offset, double& lat, double& lon) {
    double mapNorth = startNorth + station * cosAz - offset * sinAz;
    double mapEast = startEast + station * sinAz + offset * cosAz;
    baseProj->gridToGeo(mapNorth, mapEast, lat, lon);
}

void StaOff::geoToGrid(double lat, double lon, double& station, double& offset) {
    double mapNorth, mapEast;
    baseProj->geoToGrid(lat, lon, mapNorth, mapEast);
    double dN = mapNorth - startNorth;
    double dE = mapEast - startEast;
    station = dN * cosAz + dE * sinAz;
    offset = dE * cosAz - dN * sinAz;
}

double StaOff::lineScale(double station1, double offset1, double station2, double offset2) {
    return baseProj->lineScale(startNorth + station1, startEast + offset1, startNorth + station2,
                               startEast + offset2);
}

double StaOff::converge(double station, double offset) {
    return std::fmod(baseProj->converge(startNorth + station, startEast + offset) +
                         arctan(sinAz, cosAz),
                     360.0);
}

int StaOff::getUnits() { return baseProj->getUnits(); }

int StaOff::getFormat() { return 2; }

std::span<const gw::SettingKey> gw::stationOffsetSettingKeys() { return kSettingKeys; }
