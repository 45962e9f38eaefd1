// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "projections/TransverseMercator.h"

#include "projections/EditDialogs.h"

#include <cmath>

#include "gridwise/angletext.h"
#include "numerics/Angles.h"
#include "platform/CLocale.h"
#include "projections/ProjectionKeys.h"
#include "projections/ProjectionTypes.h"
#include "projections/TransverseMercatorRules.h"
#include "units/SettingsText.h"

namespace {

using TM = TransverseMercator;
using gw::Form;

constexpr double gridLimit = gw::tm::kGridLimit;

constexpr const char* defaultName = "UTM Zone 11";
constexpr const char* defaultSpecific = "Transverse Mercator";

// Settings keys in the order of a new section; the string is
// "0,projName,originLon,falseNorth,falseEast,scaleFactor,originLat,units".
constexpr gw::Key<TM> kKeys[] = {
    // {key, member, {settings form, default, format}, {string field, form, format}}
    {"projName",    &TM::projName,    {Form::name, defaultName},         {1, Form::name}},
    {"originLon",   &TM::originLon,   {Form::longitude, "W117"},         {2, Form::longitude}},
    {"originLat",   &TM::originLat,   {Form::latitude, "0."},            {6, Form::latitude}},
    {"falseNorth",  &TM::falseNorth,  {Form::number, "0.", "%.3f"},      {3, Form::grid, "%.2f"}},
    {"falseEast",   &TM::falseEast,   {Form::number, "500000.", "%.3f"}, {4, Form::grid, "%.2f"}},
    {"scaleFactor", &TM::scaleFactor, {Form::scale, ".9996", "%.6f"},    {5, Form::scale, "%.6f"}},
    {"units",       &TM::units,       {Form::integer, "0"},              {7, Form::integer}},
    {"general",     &TM::general,     {Form::name, "USER"}},
    {"specific",    &TM::specific,    {Form::name, defaultSpecific}},
};
constexpr gw::KeyTable<TM> kTable{kKeys, gw::FieldWidth::wide, false};
static_assert(gw::wellFormed(kTable));
constexpr auto kSettingKeys = gw::settingKeysOf(kKeys);

double clampGrid(double v) {
    if (v > gridLimit) return gridLimit;
    if (v < -gridLimit) return -gridLimit;
    return v;
}

// Longitude difference lon - origin in degrees, both taken into 0..360 first and
// the difference then brought into -180..180 by one turn.
double lonDifference(double lon, double origin) {
    return gw::shiftIntoHalfTurn((lon < 0.0 ? lon + 360.0 : lon) - (origin < 0.0 ? origin + 360.0 : origin));
}

} // namespace

std::vector<gw::InitField> gw::transverseMercatorFields() { return initFieldsOf(kTable); }

TransverseMercator::TransverseMercator(char* init)
    : Projection(ProjectionBaseCon{}), arcCoef{0.0, 0.0, 0.0, 0.0, 0.0, 0.0}, arcOrigin(0.0), datum(),
      polarRadius(0.0) {
    gw::applyDefaults(*this, kTable);
    if (init != nullptr) gw::readInitString(*this, kTable, init);
    type = gw::code(gw::ProjectionType::transverseMercator);
    gw::copyBounded(general, "USER", sizeof general);
    gw::copyBounded(specific, defaultSpecific, sizeof specific);
    // Constants of the default datum, so that nothing is left undefined before
    // the holder's geoparm.
    TransverseMercator::geoparm(nullptr);
}

int TransverseMercator::editDialog(CWnd* parent, ProjDataStruct** list) { return gw::runProjectionDialog(type, *this, parent, list); }

void TransverseMercator::getLines(char lines[][50]) {
    if (lines == nullptr) return;
    gw::copyBounded(lines[0], projName, 50);
    gw::cFormat(lines[1], 50, "CM %s", gw::lonText(originLon).c_str());
    gw::cFormat(lines[2], 50, "Lat Origin: %s", gw::latText(originLat).c_str());

    // Units outside the filled records of the unit table show metres.
    char north[50];
    char east[50];
    gw::distanceText(north, sizeof north, falseNorth, units, 3);
    gw::distanceText(east, sizeof east, falseEast, units, 3);
    gw::cFormat(lines[3], 50, "False N:%s E:%s:", north, east);

    gw::cFormat(lines[4], 50, "S F at CM: %lf", scaleFactor);

    if (const char* name = gw::unitLineName(units))
        gw::cFormat(lines[5], 50, "Units: %s", name);
    else
        gw::cFormat(lines[5], 50, "Units: %d", units);
}

// A null section is read and written as the empty name (a "[]" section of the
// file), as it always has been; the other projections read and write nothing then.
void TransverseMercator::loadData(char* section, char* file) {
    char empty[] = "";
    gw::loadKeys(*this, kTable, section != nullptr ? section : empty, file);
}

void TransverseMercator::saveData(char* section, char* file) {
    char empty[] = "";
    gw::saveKeys(*this, kTable, section != nullptr ? section : empty, file);
}

void TransverseMercator::initText(gw::InitText& out) const { gw::writeInitString(out, *this, kTable); }

Projection* TransverseMercator::clone() const { return new TransverseMercator(*this); }

// The constants of the datum: the polar radius of curvature c = a^2/b (b written
// as (1 - f) a), the coefficients c0..c5 of the meridian arc in powers of e'^2, and
// the arc at the latitude of origin.
void TransverseMercator::geoparm(Datum* d) {
    if (d != nullptr) datum = *d;
    const double a = datum.aAxis;
    polarRadius = a * a / ((1 - 1 / datum.inverseFlattening) * a);
    const double x = datum.secondEccSq;
    arcCoef[0] = 1 - 0.75 * x * (1 - 0.9375 * x * (1 - 0.9722222222222222 * x * (1 - 0.984375 * 0.010000000000000009 * x)));
    arcCoef[1] = 0.75 * x * (1 - 1.5625 * x * (1 - 1.2833333333333334 * x * (1 - 1.1889204545454546 * x * (1 - 1.1413978494623656 * x))));
    arcCoef[2] = 0.625 * x * (1 - 0.9652777777777778 * x * (1 - 0.9775179856115108 * x * (1 - 0.9840290555044465 * x)));
    arcCoef[3] = 0.4861111111111111 * (x * x) * (1 - 1.953125 * x * (1 - 1.4737933333333333 * x));
    arcCoef[4] = 0.41015625 * (x * x * x) * (1 - 2.9475 * x);
    arcCoef[5] = 0.3609375 * (x * x * x * x);
    arcOrigin = meridianArc(originLat * gw::kPi / 180.0);
}

double TransverseMercator::meridianArc(double phi) const {
    return arcOf(phi, std::sin(phi), std::cos(phi));
}

namespace {

// The sine s and cosine c of an angle turned into those of the angle plus t,
// |t| < 0.02 rad: the series of sin t and cos t - 1 end below 1e-19 (two terms
// each below 1e-4 rad, the later footpoint steps).
inline void turnBy(double t, double& s, double& c) {
    const double t2 = t * t;
    double sinT, cosT1;
    if (std::fabs(t) < 1e-4) {
        sinT = t - t * t2 * (1.0 / 6);
        cosT1 = t2 * (-0.5) + t2 * t2 * (1.0 / 24);
    } else {
        // The terms paired in powers of t^4, to shorten the chain.
        const double t4 = t2 * t2;
        sinT = t + t * t2 * ((-1.0 / 6 + t2 * (1.0 / 120)) + t4 * (-1.0 / 5040 + t2 * (1.0 / 362880)));
        cosT1 = t2 * ((-0.5 + t2 * (1.0 / 24)) + t4 * (-1.0 / 720 + t2 * (1.0 / 40320)));
    }
    const double sNew = s + (s * cosT1 + c * sinT);
    c = c + (c * cosT1 - s * sinT);
    s = sNew;
}

} // namespace

// The meridian arc as arcOf, inline for the footpoint steps: the same terms,
// the powers of s paired to shorten the chain.
inline double TransverseMercator::arcWith(double phi, double s, double c) const {
    const double R = polarRadius;
    const double s2 = s * s;
    const double s4 = s2 * s2;
    const double tail = (1 + arcCoef[2] * s2) + s4 * ((arcCoef[3] + arcCoef[4] * s2) + arcCoef[5] * s4);
    return arcCoef[0] * R * phi - arcCoef[1] * R * s * c * tail;
}

double TransverseMercator::arcOf(double phi, double s, double c) const {
    const double R = polarRadius;
    // Powers by repeated multiplication: s^k = s^(k-1) * s.
    const double s2 = s * s;
    const double s4 = s2 * s * s;
    const double s6 = s4 * s * s;
    const double s8 = s6 * s * s;
    return arcCoef[0] * R * phi -
           arcCoef[1] * R * s * c * (1 + arcCoef[2] * s2 + arcCoef[3] * s4 + arcCoef[4] * s6 + arcCoef[5] * s8);
}

void TransverseMercator::geoToGrid(double lat, double lon, double& north, double& east) {
    const double R = polarRadius;
    const double x = datum.secondEccSq;
    const double k0 = scaleFactor;

    const double D = lonDifference(lon, originLon) * gw::kPi / 180.0;
    const double phi = lat * gw::kPi / 180.0;
    const double s = std::sin(phi);
    const double c = std::cos(phi);
    const double c2 = c * c;
    const double c4 = c2 * c * c;
    const double c6 = c4 * c * c;
    const double nu = R / std::sqrt(1 + x * c2);

    const double T1 = nu * c;
    const double T2 = nu * s * c / 2;
    const double T3 = (T1 / 6) * (2 * c2 - 1 + x * c4);
    const double T4 = (T2 / 12) * (6 * c2 - 1 + 9 * x * c4 + 4 * (x * x) * c6);
    const double T5 = (T1 / 120) * (24 * c4 - 58 * x * c4 + 1 - 20 * c2 + 72 * x * c6);
    const double T6 = (T2 / 360) * (1 - 60 * c2 + 120 * c4);

    const double D2 = D * D;
    const double D3 = D2 * D;
    const double D4 = D3 * D;
    const double D5 = D4 * D;
    const double D6 = D5 * D;

    north = k0 * ((arcOf(phi, s, c) - arcOrigin) + T2 * D2 + T4 * D4 + T6 * D6) + falseNorth;
    east = k0 * (T1 * D + T3 * D3 + T5 * D5) + falseEast;
    north = clampGrid(north);
    east = clampGrid(east);
}

void TransverseMercator::gridToGeo(double north, double east, double& lat, double& lon) {
    bool settled = false;
    gridToGeoSteps(north, east, lat, lon, settled);
}

int TransverseMercator::gridToGeoSteps(double north, double east, double& lat, double& lon, bool& settled) const {
    const double R = polarRadius;
    const double x = datum.secondEccSq;
    const double k0 = scaleFactor;
    const double c0 = arcCoef[0];

    const double Mt = (north - falseNorth) / k0 + arcOrigin;
    const double E = (east - falseEast) / k0;

    // Footpoint latitude: from the arc over the arc per radian, corrected by the
    // arc still missing until it misses by less than 0.1 mm, five steps at most;
    // s and c stay those of the start of the last step.
    //
    // The steps after the first turn the sine and cosine by the step's angle
    // (short series, the angle below 0.02 rad) instead of calling sin and cos:
    // an error of an ulp there is taken up by the next step, since only the arc
    // still missing moves the latitude. The terms after the loop take the sine
    // and cosine of the last step's start from those of the first (sin and cos),
    // turned once by the whole way: within an ulp or two of sin and cos there.
    const double perArc = 1 / (R * c0);
    const double phi0 = Mt * perArc;
    const double sin0 = std::sin(phi0);
    const double cos0 = std::cos(phi0);
    double phi = phi0;
    double s = sin0;
    double c = cos0;
    double start = phi;
    bool turned = false; // s and c come from a turn, not from sin and cos
    int steps = 0;
    settled = false;
    for (int step = 0; step < gw::tm::kFootpointSteps; ++step) {
        ++steps;
        start = phi;
        const double delta = Mt - arcWith(phi, s, c);
        const double turn = delta * perArc;
        phi = phi + turn;
        if (std::fabs(delta) < gw::tm::kFootpointTolerance) {
            settled = true;
            break;
        }
        if (step + 1 == gw::tm::kFootpointSteps) break;
        if (std::fabs(turn) < 0.02) {
            turnBy(turn, s, c);
            turned = true;
        } else {
            s = std::sin(phi);
            c = std::cos(phi);
            turned = false;
        }
    }
    if (turned) {
        s = sin0;
        c = cos0;
        turnBy(start - phi0, s, c);
    }

    const double c2 = c * c;
    const double c4 = c2 * c * c;
    const double c6 = c4 * c * c;
    const double V2 = 1 + x * c2;
    const double nu = R / std::sqrt(V2);
    const double Q = 1 / (nu * c);
    const double Q2 = Q * Q;
    const double Q3 = Q2 * Q;
    const double Q4 = Q3 * Q;
    const double Q5 = Q4 * Q;

    // The divisions by 6, 12, 120 and 360 as products with their reciprocals:
    // these terms are corrections, an ulp of theirs is below the result's.
    const double B2 = -0.5 * Q2 * s * c * V2;
    const double B3 = -(Q3 * (1.0 / 6)) * (x * c4 + 2 - c2);
    const double B4 = -(Q2 * B2 * (1.0 / 12)) * (10 * x * c4 + (2 - 9 * x) * c2 + 3 - 4 * (x * x) * c6);
    const double B5 = (Q5 * (1.0 / 120)) * (c4 * (8 * x + 1) + 24 - 20 * c2 - 2 * x * c6);
    const double B6 = (Q4 * B2 * (1.0 / 360)) * (45 + 16 * c4);

    const double E2 = E * E;
    const double E3 = E2 * E;
    const double E4 = E3 * E;
    const double E5 = E4 * E;
    const double E6 = E5 * E;

    // fmod leaves a value below a full turn as it is: the call only beyond one.
    auto turnRemainder = [](double v) { return std::fabs(v) < 360.0 ? v : std::fmod(v, 360.0); };
    lat = turnRemainder((phi + B2 * E2 + B4 * E4 + B6 * E6) * 180 / gw::kPi);
    lon = gw::shiftIntoHalfTurn(turnRemainder((Q * E + B3 * E3 + B5 * E5) * 180 / gw::kPi + originLon));
    return steps;
}

double TransverseMercator::lineScale(double north1, double east1, double north2, double east2) {
    const double a = datum.aAxis;
    const double E1 = east1 - falseEast;
    const double E2 = east2 - falseEast;
    const double phim = ((north1 - falseNorth) + (north2 - falseNorth)) / 2 / a;
    const double sinm = std::sin(phim);
    const double nu = a / std::sqrt(1 - datum.eccSq * (sinm * sinm));
    const double X = (E1 * E1 + E1 * E2 + E2 * E2) / (6 * (nu * nu));
    return scaleFactor * (1 + X * (1 + X / 6));
}

double TransverseMercator::converge(double north, double east) {
    double lat = 0.0;
    double lon = 0.0;
    gridToGeo(north, east, lat, lon);
    const double D = lonDifference(lon, originLon) * gw::kPi / 180.0;
    const double phi = lat * gw::kPi / 180.0;
    const double s = std::sin(phi);
    const double c = std::cos(phi);
    const double t = std::tan(phi);
    const double c2 = c * c;
    const double c4 = c2 * c * c;
    const double eta2 = datum.secondEccSq * c2;
    const double D2 = D * D;
    const double D4 = D2 * D * D;
    return D * s * (1 + (c2 * D2 / 3) * (1 + 3 * eta2 + 2 * eta2 * eta2) + (c4 * D4 / 15) * (2 - t * t)) * 180 / gw::kPi;
}

int TransverseMercator::getUnits() { return units; }

int TransverseMercator::getFormat() { return 0; }

std::span<const gw::SettingKey> gw::transverseMercatorSettingKeys() { return kSettingKeys; }
