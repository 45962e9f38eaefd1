// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "projections/KestrelLocal.h"

#include "projections/EditDialogs.h"

#include "platform/CLocale.h"
#include "projections/LocalSystemSupport.h"
#include "projections/ProjectionKeys.h"
#include "projections/ProjectionTypes.h"

namespace {

using gw::Form;
using KL = KestrelLocal;

// Settings keys in the order of a new section, the base's own keys behind
// "localGeodesyType" and the names read last, so that they win over the same keys
// of the base. The string carries the twelve coefficients in another order
// (eToLocal, localToE, nToLocal, localToN), fields of 19 characters, and the
// base's own string behind the 14th comma.
constexpr gw::Key<KL> kKeys[] = {
    // {key, member, {settings form, default, format}, {string field, form, format}}
    {"localProjName",    &KL::localProjName, {Form::name, "KestrelLocal"},  {1, Form::name}},
    {"eToLocalNorth",    &KL::eToLocalNorth, {Form::number, "0.", "%.12f"}, {2, Form::number, "%.12f"}},
    {"eToLocalEast",     &KL::eToLocalEast,  {Form::number, "1.", "%.12f"}, {3, Form::number, "%.12f"}},
    {"eToLocalConst",    &KL::eToLocalConst, {Form::number, "0.", "%.4f"},  {4, Form::number, "%.3f"}},
    {"localToENorth",    &KL::localToENorth, {Form::number, "0.", "%.12f"}, {5, Form::number, "%.12f"}},
    {"localToEEast",     &KL::localToEEast,  {Form::number, "1.", "%.12f"}, {6, Form::number, "%.12f"}},
    {"localToEConst",    &KL::localToEConst, {Form::number, "0.", "%.4f"},  {7, Form::number, "%.3f"}},
    {"localToNNorth",    &KL::localToNNorth, {Form::number, "1.", "%.12f"}, {11, Form::number, "%.12f"}},
    {"localToNEast",     &KL::localToNEast,  {Form::number, "0.", "%.12f"}, {12, Form::number, "%.12f"}},
    {"localToNConst",    &KL::localToNConst, {Form::number, "0.", "%.4f"},  {13, Form::number, "%.3f"}},
    {"nToLocalNorth",    &KL::nToLocalNorth, {Form::number, "1.", "%.12f"}, {8, Form::number, "%.12f"}},
    {"nToLocalEast",     &KL::nToLocalEast,  {Form::number, "0.", "%.12f"}, {9, Form::number, "%.12f"}},
    {"nToLocalConst",    &KL::nToLocalConst, {Form::number, "0.", "%.4f"},  {10, Form::number, "%.3f"}},
    {"localGeodesyType", &KL::baseProj,      {Form::base, "0"},             {14, Form::base}},
    {"general",          &KL::general,       {Form::name, "USER"}},
    {"specific",         &KL::specific,      {Form::name, "KestrelLocal"}},
};
constexpr gw::KeyTable<KL> kTable{kKeys, gw::FieldWidth::narrow, false};
static_assert(gw::wellFormed(kTable));
constexpr auto kSettingKeys = gw::settingKeysOf(kKeys);

} // namespace

std::vector<gw::InitField> gw::kestrelLocalFields() { return initFieldsOf(kTable); }

KestrelLocal::KestrelLocal(char* init)
    : Projection(ProjectionBaseCon{}),
      eToLocalNorth(0.0), eToLocalEast(0.0), eToLocalConst(0.0),
      localToENorth(0.0), localToEEast(0.0), localToEConst(0.0),
      localToNNorth(0.0), localToNEast(0.0), localToNConst(0.0),
      nToLocalNorth(0.0), nToLocalEast(0.0), nToLocalConst(0.0),
      baseProj() {
    localProjName[0] = '\0';
    if (init) gw::readInitString(*this, kTable, init);
    gw::setLocalSystemNames(*this, gw::code(gw::ProjectionType::kestrelLocal), "KestrelLocal");
}

KestrelLocal::KestrelLocal(const KestrelLocal& other) = default;

KestrelLocal& KestrelLocal::operator=(const KestrelLocal& other) = default;

KestrelLocal::~KestrelLocal() = default;

Projection* KestrelLocal::clone() const { return new KestrelLocal(*this); }

int KestrelLocal::editDialog(CWnd* parent, ProjDataStruct** list) { return gw::runProjectionDialog(type, *this, parent, list); }

void KestrelLocal::localToMap(double north, double east, double& mapNorth, double& mapEast) const {
    mapEast = localToENorth * north + localToEEast * east + localToEConst;
    mapNorth = localToNNorth * north + localToNEast * east + localToNConst;
}

void KestrelLocal::mapToLocal(double mapNorth, double mapEast, double& north, double& east) const {
    east = eToLocalNorth * mapNorth + eToLocalEast * mapEast + eToLocalConst;
    north = nToLocalNorth * mapNorth + nToLocalEast * mapEast + nToLocalConst;
}

void KestrelLocal::getLines(char lines[][50]) {
    gw::baseSystemLines(lines, localProjName, *baseProj, "Local");
}

void KestrelLocal::loadData(char* section, char* file) { gw::loadKeys(*this, kTable, section, file); }

void KestrelLocal::saveData(char* section, char* file) { gw::saveKeys(*this, kTable, section, file); }

void KestrelLocal::initText(gw::InitText& out) const { gw::writeInitString(out, *this, kTable); }

void KestrelLocal::geoparm(Datum* datum) { baseProj->geoparm(datum); }

void KestrelLocal::gridToGeo(double north, double east, double& lat, double& lon) {
    double mapNorth, mapEast;
    localToMap(north, east, mapNorth, mapEast);
    baseProj->gridToGeo(mapNorth, mapEast, lat, lon);
}

void KestrelLocal::geoToGrid(double lat, double lon, double& north, double& east) {
    double mapNorth, mapEast;
    baseProj->geoToGrid(lat, lon, mapNorth, mapEast);
    mapToLocal(mapNorth, mapEast, north, east);
}

double KestrelLocal::lineScale(double north1, double east1, double north2, double east2) {
    double mapNorth1, mapEast1, mapNorth2, mapEast2;
    localToMap(north1, east1, mapNorth1, mapEast1);
    localToMap(north2, east2, mapNorth2, mapEast2);
    return baseProj->lineScale(mapNorth1, mapEast1, mapNorth2, mapEast2);
}

double KestrelLocal::converge(double north, double east) {
    double mapNorth, mapEast;
    localToMap(north, east, mapNorth, mapEast);
    return baseProj->converge(mapNorth, mapEast);
}

int KestrelLocal::getUnits() { return baseProj->getUnits(); }

int KestrelLocal::getFormat() { return 1; }

std::span<const gw::SettingKey> gw::kestrelLocalSettingKeys() { return kSettingKeys; }
