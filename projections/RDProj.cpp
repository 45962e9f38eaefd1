// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The Dutch national grid RD by fixed power series.
#include "projections/RDProj.h"

#include "platform/CLocale.h"
#include "projections/ProjectionKeys.h"
#include "projections/ProjectionTypes.h"
#include "projections/RDSeries.h"

namespace {

using gw::Form;

constexpr std::size_t kNameSize = 40;
constexpr std::size_t kTypeNameSize = 30;
constexpr std::size_t kLineSize = 50;

// The settings carry the two names only, the string "7,projName" the name only.
constexpr gw::Key<RDProj> kKeys[] = {
    // {key, member, {settings form, default, format}, {string field, form, format}}
    {nullptr,    &RDProj::projName, {}, {1, Form::name}},
    {"general",  &RDProj::general,  {Form::name, "USER"}},
    {"specific", &RDProj::specific, {Form::name, "RDProj"}},
};
constexpr gw::KeyTable<RDProj> kTable{kKeys, gw::FieldWidth::wide, false};
static_assert(gw::wellFormed(kTable));
constexpr auto kSettingKeys = gw::settingKeysOf(kKeys);

} // namespace

std::vector<gw::InitField> gw::rdFields() { return initFieldsOf(kTable); }

RDProj::RDProj(char* init)
    : Projection(ProjectionBaseCon{}), projName(), datum(), lat0(52.15616056), lon0(5.38763889), x0(155000.0),
      y0(463000.0) {
    gw::copyBounded(projName, "RD Projection", kNameSize);
    if (init != nullptr) gw::readInitString(*this, kTable, init);
    gw::copyBounded(general, "USER", kTypeNameSize);
    gw::copyBounded(specific, "RD Projection", kTypeNameSize);
    type = gw::code(gw::ProjectionType::rd);
}

Projection* RDProj::clone() const { return new RDProj(*this); }

void RDProj::getLines(char lines[][50]) {
    gw::copyBounded(lines[0], "RD - coordinates", kLineSize);
    gw::copyBounded(lines[1], "central point in map :", kLineSize);
    gw::copyBounded(lines[2], "x0 = 155000 m", kLineSize);
    gw::copyBounded(lines[3], "y0 = 463000 m", kLineSize);
    lines[4][0] = '\0';
    lines[5][0] = '\0';
}

void RDProj::loadData(char* section, char* file) { gw::loadKeys(*this, kTable, section, file); }

void RDProj::saveData(char* section, char* file) { gw::saveKeys(*this, kTable, section, file); }

void RDProj::initText(gw::InitText& out) const { gw::writeInitString(out, *this, kTable); }

void RDProj::geoparm(Datum*) {}

void RDProj::geoToGrid(double lat, double lon, double& north, double& east) {
    const double dphi = 0.36 * (lat - lat0);
    const double dlam = 0.36 * (lon - lon0);
    east = x0 + gw::rd::series(gw::rd::kEast, dphi, dlam);
    north = y0 + gw::rd::series(gw::rd::kNorth, dphi, dlam);
}

void RDProj::gridToGeo(double north, double east, double& lat, double& lon) {
    const double dx = (east - x0) * 1e-5;
    const double dy = (north - y0) * 1e-5;
    lat = lat0 + gw::rd::series(gw::rd::kLat, dx, dy) / 3600;
    lon = lon0 + gw::rd::series(gw::rd::kLon, dx, dy) / 3600;
}

double RDProj::lineScale(double, double, double, double) { return 1.0; }

double RDProj::converge(double, double) { return 0.0; }

int RDProj::getUnits() { return 0; }

int RDProj::getFormat() { return 1; }

std::span<const gw::SettingKey> gw::rdSettingKeys() { return kSettingKeys; }
