// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Polar stereographic projection.
#include "projections/PolarStereo.h"

#include "projections/EditDialogs.h"

#include <cmath>

#include "gridwise/angletext.h"
#include "gridwise/angleutil.h"
#include "numerics/Angles.h"
#include "platform/CLocale.h"
#include "projections/IsometricLatitude.h"
#include "projections/PolarStereoRules.h"
#include "projections/ProjectionKeys.h"
#include "projections/ProjectionTypes.h"
#include "units/SettingsText.h"

namespace {

using gw::Form;
using gw::kPi;

constexpr std::size_t kNameSize = 40;
constexpr std::size_t kTypeNameSize = 30;
constexpr std::size_t kLineSize = 50;
constexpr double kFrameLow = gw::polar::kFrameLow;
constexpr double kFrameHigh = gw::polar::kFrameHigh;

// Settings keys in the order of a new section; the string is
// "4,projName,lonOfOrigin,latOfOrigin,scaleFactor,falseNorth,falseEast,units".
constexpr gw::Key<PolarStereo> kKeys[] = {
    // {key, member, {settings form, default, format}, {string field, form, format}}
    {"projName",    &PolarStereo::projName,    {Form::name, "Universal Polar Stereo"}, {1, Form::name}},
    {"lonOfOrigin", &PolarStereo::lonOfOrigin, {Form::longitude, "E000 00"},           {2, Form::longitude}},
    {"latOfOrigin", &PolarStereo::latOfOrigin, {Form::latitude, "N90 00"},             {3, Form::latitude}},
    {"scaleFactor", &PolarStereo::scaleFactor, {Form::number, ".994", "%.6f"},         {4, Form::number, "%.6f"}},
    {"falseNorth",  &PolarStereo::falseNorth,  {Form::number, "2000000", "%.3f"},      {5, Form::grid, "%.3f"}},
    {"falseEast",   &PolarStereo::falseEast,   {Form::number, "2000000", "%.3f"},      {6, Form::grid, "%.3f"}},
    {"units",       &PolarStereo::units,       {Form::integer, "0"},                   {7, Form::integer}},
    {"general",     &PolarStereo::general,     {Form::name, "USER"}},
    {"specific",    &PolarStereo::specific,    {Form::name, "Polar Stereo"}},
};
constexpr gw::KeyTable<PolarStereo> kTable{kKeys, gw::FieldWidth::wide, false};
static_assert(gw::wellFormed(kTable));
constexpr auto kSettingKeys = gw::settingKeysOf(kKeys);

double clampToFrame(double v) {
    if (v > kFrameHigh) return kFrameHigh;
    if (v < kFrameLow) return kFrameLow;
    return v;
}

} // namespace

std::vector<gw::InitField> gw::polarStereoFields() { return initFieldsOf(kTable); }

PolarStereo::PolarStereo(char* init)
    : Projection(ProjectionBaseCon{}), projName(), datum(), stereoFactor(0.0), eccentricity(std::sqrt(datum.eccSq)) {
    gw::applyDefaults(*this, kTable);
    if (init != nullptr) gw::readInitString(*this, kTable, init);
    gw::copyBounded(general, "USER", kTypeNameSize);
    gw::copyBounded(specific, "Polar Stereo", kTypeNameSize);
    type = gw::code(gw::ProjectionType::polarStereo);
}

Projection* PolarStereo::clone() const { return new PolarStereo(*this); }

int PolarStereo::editDialog(CWnd* parent, ProjDataStruct** list) { return gw::runProjectionDialog(type, *this, parent, list); }

void PolarStereo::getLines(char lines[][50]) {
    gw::copyBounded(lines[0], projName, kLineSize);
    gw::cFormat(lines[1], kLineSize, "Origin Lat: %s ", gw::latText(latOfOrigin).c_str());
    gw::cFormat(lines[2], kLineSize, "Origin Lon: %s ", gw::lonText(lonOfOrigin).c_str());
    char value[kLineSize];
    gw::distanceText(value, sizeof value, falseNorth, units, 1);
    gw::cFormat(lines[3], kLineSize, "False N:%s  ", value);
    gw::distanceText(value, sizeof value, falseEast, units, 1);
    gw::cFormat(lines[4], kLineSize, "False E:%s  ", value);
    const char* name = gw::unitLineName(units);
    gw::cFormat(lines[5], kLineSize, "SF: %lf , Units:%s", scaleFactor, name != nullptr ? name : "");
}

void PolarStereo::loadData(char* section, char* file) { gw::loadKeys(*this, kTable, section, file); }

void PolarStereo::saveData(char* section, char* file) { gw::saveKeys(*this, kTable, section, file); }

void PolarStereo::initText(gw::InitText& out) const { gw::writeInitString(out, *this, kTable); }

// C = (2 a^2 / b) ((1 - e) / (1 + e))^(e/2), b = a - a / (1/f).
void PolarStereo::geoparm(Datum* d) {
    if (d != nullptr) datum = *d;
    const double a = datum.aAxis;
    const double b = a - a / datum.inverseFlattening;
    eccentricity = std::sqrt(datum.eccSq);
    const double e = eccentricity;
    stereoFactor = (2 * a * a / b) * std::pow((1 - e) / (1 + e), e / 2);
}

void PolarStereo::geoToGrid(double lat, double lon, double& north, double& east) {
    // A latitude of the other hemisphere is taken as its mirror image.
    const double phiDeg = std::fabs(std::fmod(lat, 90.0));
    if (phiDeg == 0) {
        north = falseNorth;
        east = falseEast;
        return;
    }
    const double e = eccentricity;
    const double phi = phiDeg * kPi / 180.0;
    const double t = std::exp(-gw::conformal::isometricLatitude(phi, e));
    const double rho = t * stereoFactor * scaleFactor;
    const double lambda = lon * kPi / 180.0;
    const double cosLambda = std::cos(lambda);
    const double sinLambda = std::sin(lambda);
    if (southern())
        north = falseNorth + rho * cosLambda;
    else
        north = falseNorth - rho * cosLambda;
    east = falseEast + rho * sinLambda;
    east = clampToFrame(east);
    north = clampToFrame(north);
}

void PolarStereo::gridToGeo(double north, double east, double& lat, double& lon) {
    const double dN = north - falseNorth;
    const double dE = east - falseEast;
    if (dN == 0 && dE == 0) {
        lat = 0;
        lon = 0;
        return;
    }
    // The south-polar grid is the north-polar one mirrored in the easting axis.
    lon = 180 - arctan(dE, southern() ? -dN : dN);
    const double psi = std::log(stereoFactor) + std::log(scaleFactor) - std::log(std::sqrt(dN * dN + dE * dE));
    const double phi = gw::conformal::latitudeFromIsometric(psi, eccentricity, datum.eccSq);
    lat = phi * 180.0 / kPi;
    if (southern()) lat = -lat;
}

double PolarStereo::converge(double north, double east) {
    double lat = 0, lon = 0;
    gridToGeo(north, east, lat, lon);
    return southern() ? 0.0 - lon : lon;
}

// C t(phi) / (N(phi) cos phi) at a latitude of the north-polar aspect.
double PolarStereo::pointScale(double latDeg) {
    const double a = datum.aAxis;
    const double e2 = datum.eccSq;
    const double e = eccentricity;
    const double phi = latDeg * kPi / 180.0;
    const double s = std::sin(phi);
    const double nu = a / std::sqrt(1 - e2 * (s * s));
    if (gw::conformal::kHalfPi - phi < 1e-8) {
        // Within a few centimetres of the pole t and cos phi both vanish and
        // tan(phi/2 + pi/4) loses its digits; t / cos phi equals
        // ((1 + e sin phi) / (1 - e sin phi))^(e/2) / (1 + sin phi) there.
        const double es = e * s;
        return stereoFactor * std::pow((1 + es) / (1 - es), e / 2) / (1 + s) / nu;
    }
    const double t = std::exp(-gw::conformal::isometricLatitude(phi, e));
    return stereoFactor * t / (nu * std::cos(phi));
}

double PolarStereo::lineScale(double north1, double east1, double north2, double east2) {
    double latA = 0, lonA = 0, latB = 0, lonB = 0;
    gridToGeo(north1, east1, latA, lonA);
    gridToGeo(north2, east2, latB, lonB);
    if (southern()) { // the point scale of the mirrored north-polar latitudes
        latA = -latA;
        latB = -latB;
    }
    const double latM = (latA + latB) / 2;
    return scaleFactor * ((pointScale(latA) + 4 * pointScale(latM) + pointScale(latB)) / 6);
}

int PolarStereo::getUnits() { return units; }

int PolarStereo::getFormat() { return 0; }

std::span<const gw::SettingKey> gw::polarStereoSettingKeys() { return kSettingKeys; }
