// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Lambert conformal conic projection with two standard parallels.
#include "projections/Lambert.h"

#include "projections/EditDialogs.h"

#include <cmath>

#include "gridwise/angletext.h"
#include "numerics/Angles.h"
#include "platform/CLocale.h"
#include "projections/IsometricLatitude.h"
#include "projections/LambertRules.h"
#include "projections/ProjectionKeys.h"
#include "projections/ProjectionTypes.h"
#include "units/SettingsText.h"

namespace {

using gw::Form;
using gw::kPi;

constexpr std::size_t kNameSize = 40;
constexpr std::size_t kTypeNameSize = 30;
constexpr std::size_t kLineSize = 50;
constexpr double kGridLimit = gw::lambert::kGridLimit;

// Settings keys in the order of a new section; the string is
// "1,projName,firstParallel,secondParallel,lonOfOrigin,latOfOrigin,falseNorth,falseEast,units".
constexpr gw::Key<Lambert> kKeys[] = {
    // {key, member, {settings form, default, format}, {string field, form, format}}
    {"projName",       &Lambert::projName,       {Form::name, "California 6"}, {1, Form::name}},
    {"latOfOrigin",    &Lambert::latOfOrigin,    {Form::latitude, "N32 10"},   {5, Form::latitude}},
    {"lonOfOrigin",    &Lambert::lonOfOrigin,    {Form::longitude, "W116 15"}, {4, Form::longitude}},
    {"falseNorth",     &Lambert::falseNorth,     {Form::number, "0", "%.3f"},  {6, Form::grid, "%.2f"}},
    {"falseEast",      &Lambert::falseEast,      {Form::number, "0", "%.3f"},  {7, Form::grid, "%.2f"}},
    {"firstParallel",  &Lambert::firstParallel,  {Form::latitude, "N32 47"},   {2, Form::latitude}},
    {"secondParallel", &Lambert::secondParallel, {Form::latitude, "N33 53"},   {3, Form::latitude}},
    {"units",          &Lambert::units,          {Form::integer, "0"},         {8, Form::integer}},
    {"general",        &Lambert::general,        {Form::name, "USER"}},
    {"specific",       &Lambert::specific,       {Form::name, "LAMBERT"}},
};
constexpr gw::KeyTable<Lambert> kTable{kKeys, gw::FieldWidth::wide, false};
static_assert(gw::wellFormed(kTable));
constexpr auto kSettingKeys = gw::settingKeysOf(kKeys);

} // namespace

std::vector<gw::InitField> gw::lambertFields() { return initFieldsOf(kTable); }

Lambert::Lambert(char* init)
    : Projection(ProjectionBaseCon{}), projName(), datum(), coneConstant(0.0), radiusFactor(0.0),
      originRadius(0.0), eccentricity(std::sqrt(datum.eccSq)) {
    gw::applyDefaults(*this, kTable);
    if (init != nullptr) gw::readInitString(*this, kTable, init);
    gw::copyBounded(general, "USER", kTypeNameSize);
    gw::copyBounded(specific, "Lambert", kTypeNameSize);
    type = gw::code(gw::ProjectionType::lambert);
}

Projection* Lambert::clone() const { return new Lambert(*this); }

int Lambert::editDialog(CWnd* parent, ProjDataStruct** list) { return gw::runProjectionDialog(type, *this, parent, list); }

void Lambert::getLines(char lines[][50]) {
    gw::copyBounded(lines[0], projName, kLineSize);
    gw::cFormat(lines[1], kLineSize, "First Parallel: %s", gw::latText(firstParallel).c_str());
    gw::cFormat(lines[2], kLineSize, "Second Parallel: %s", gw::latText(secondParallel).c_str());
    gw::cFormat(lines[3], kLineSize, "Origin Lat: %s Lon: %s", gw::latText(latOfOrigin).c_str(),
                gw::lonText(lonOfOrigin).c_str());
    char north[kLineSize];
    char east[kLineSize];
    gw::distanceText(north, sizeof north, falseNorth, units, 3);
    gw::distanceText(east, sizeof east, falseEast, units, 3);
    gw::cFormat(lines[4], kLineSize, "False N:%s E:%s:", north, east);
    if (const char* name = gw::unitLineName(units)) gw::copyBounded(lines[5], name, kLineSize);
}

void Lambert::loadData(char* section, char* file) { gw::loadKeys(*this, kTable, section, file); }

void Lambert::saveData(char* section, char* file) { gw::saveKeys(*this, kTable, section, file); }

void Lambert::initText(gw::InitText& out) const { gw::writeInitString(out, *this, kTable); }

// The derived constants. With phi1, phi2 the standard parallels:
//   n   = (ln N(phi1) - ln N(phi2) + ln cos phi1 - ln cos phi2) / (psi(phi2) - psi(phi1))
//   aF  = cos phi1 N(phi1) / (exp(-psi(phi1) n) n)
//   rho0 = aF exp(-n psi(latOfOrigin))
void Lambert::geoparm(Datum* d) {
    if (d != nullptr) datum = *d;
    if (secondParallel == firstParallel) secondParallel = firstParallel + 1.0;
    eccentricity = std::sqrt(datum.eccSq);
    const double a = datum.aAxis;
    const double e2 = datum.eccSq;
    const double e = eccentricity;
    const double phi1 = firstParallel * kPi / 180.0;
    const double phi2 = secondParallel * kPi / 180.0;
    const double phi0 = latOfOrigin * kPi / 180.0;
    const double s1 = std::sin(phi1);
    const double s2 = std::sin(phi2);
    const double n1 = a / std::sqrt(1 - e2 * (s1 * s1));
    const double n2 = a / std::sqrt(1 - e2 * (s2 * s2));
    const double psi1 = gw::conformal::isometricLatitude(phi1, e);
    const double psi2 = gw::conformal::isometricLatitude(phi2, e);
    const double n = (std::log(n1) - std::log(n2) + std::log(std::cos(phi1)) - std::log(std::cos(phi2))) /
                     (psi2 - psi1);
    const double aF = std::cos(phi1) * n1 / (std::exp(-psi1 * n) * n);
    coneConstant = n;
    radiusFactor = aF;
    originRadius = aF * std::exp(-n * gw::conformal::isometricLatitude(phi0, e));
}

void Lambert::geoToGrid(double lat, double lon, double& north, double& east) {
    const double n = coneConstant;
    const double e = eccentricity;
    const double phi = std::fmod(lat, 90.0) * kPi / 180.0;
    const double rho = radiusFactor * std::exp(-n * gw::conformal::isometricLatitude(phi, e));
    // The longitude difference from the central meridian in (-180, 180]: a point
    // across the 180 degree meridian is taken on the nearer side of the cone.
    const double theta = n * (gw::wrapLongitude(lon - lonOfOrigin) * kPi / 180.0);
    north = originRadius - rho * std::cos(theta);
    east = rho * std::sin(theta);
    if (east > kGridLimit) east = kGridLimit;
    if (east < -kGridLimit) east = -kGridLimit;
    if (north > kGridLimit) north = kGridLimit;
    if (north < -kGridLimit) north = -kGridLimit;
    north += falseNorth;
    east += falseEast;
}

void Lambert::gridToGeo(double north, double east, double& lat, double& lon) {
    const double n = coneConstant;
    const double dy = originRadius + falseNorth - north;
    const double dx = east - falseEast;
    if (dx == 0 && dy == 0) { // the apex itself
        lat = 0;
        lon = 0;
        return;
    }
    const double theta = std::atan(dx / dy);
    const double rho = dy / std::cos(theta);
    // rho carries the sign of n on the cone; the apex and the far side of it
    // (and a degenerate cone, n of 0 or NaN) give (0, 0).
    const bool onCone = n > 0 ? rho > 0 : (n < 0 ? rho < 0 : false);
    if (!onCone) {
        lat = 0;
        lon = 0;
        return;
    }
    const double psi = n > 0 ? (std::log(radiusFactor) - std::log(rho)) / n : std::log(radiusFactor / rho) / n;
    const double phi = gw::conformal::latitudeFromIsometric(psi, eccentricity, datum.eccSq);
    lat = phi * 180.0 / kPi;
    lon = theta / n * 180.0 / kPi + lonOfOrigin;
}

// k(phi) = n aF exp(-n psi(phi)) / (N(phi) cos phi); the isometric latitude is
// formed from the angle phi/2 + 45 degrees.
double Lambert::pointScale(double latDeg) {
    const double n = coneConstant;
    const double a = datum.aAxis;
    const double e2 = datum.eccSq;
    const double e = eccentricity;
    const double phi = latDeg * kPi / 180.0;
    const double s = std::sin(phi);
    const double es = e * s;
    const double psi = std::log(std::tan((latDeg / 2 + 45.0) * kPi / 180.0) * std::pow((1 - es) / (1 + es), e / 2));
    const double nu = a / std::sqrt(1 - e2 * (s * s));
    return n * radiusFactor * std::exp(-n * psi) / (nu * std::cos(phi));
}

double Lambert::lineScale(double north1, double east1, double north2, double east2) {
    double latA = 0, lonA = 0, latB = 0, lonB = 0;
    gridToGeo(north1, east1, latA, lonA);
    gridToGeo(north2, east2, latB, lonB);
    const double latM = (latA + latB) / 2;
    return (pointScale(latA) + 4 * pointScale(latM) + pointScale(latB)) / 6;
}

double Lambert::converge(double north, double east) {
    double lat = 0, lon = 0;
    gridToGeo(north, east, lat, lon);
    return (lon - lonOfOrigin) * coneConstant;
}

int Lambert::getUnits() { return units; }

int Lambert::getFormat() { return 0; }

std::span<const gw::SettingKey> gw::lambertSettingKeys() { return kSettingKeys; }
