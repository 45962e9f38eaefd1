// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The working geodetic datum: settings, description and the shift to WGS 84.
#include "geodesy/Datum.h"

#include <cmath>
#include <cstring>

#include "gridwise/angletext.h"
#include "gridwise/fields.h"
#include "numerics/Angles.h"
#include "platform/CLocale.h"
#include "platform/IniFile.h"
#include "units/SettingsText.h"

namespace {

constexpr double kWgs84A = gw::kShiftWgs84A;
constexpr double kWgs84InvF = gw::kShiftWgs84InvF;
constexpr double kWgs84E2 = gw::kShiftWgs84E2;

constexpr std::size_t kNameSize = 25; // 24 characters and the terminator
constexpr std::size_t kLineSize = 50;

const char kNorthSea[] = "ED50(N Sea)";

bool isNorthSea(const char* name) { return std::strcmp(name, kNorthSea) == 0; }

using gw::kPi;
using gw::wrapLongitude;

} // namespace

Datum::Datum()
    : aAxis(6378137.0), inverseFlattening(298.257222), secondEccSq(0.0), eccSq(0.0), deltaX(0.0),
      deltaY(0.0), deltaZ(0.0), scalar(0.0), rotX(0.0), rotY(0.0), rotZ(0.0), ellipseName(), datumName() {
    gw::copyBounded(ellipseName, "WGS 84", kNameSize);
    gw::copyBounded(datumName, "WGS 84", kNameSize);
    update();
}

bool Datum::hasNorthSeaCorrection() const { return isNorthSea(datumName); }

void Datum::update() {
    const double b = aAxis * (1 - 1 / inverseFlattening); // semi-minor axis
    const double a2 = aAxis * aAxis;
    const double b2 = b * b;
    const double a2MinusB2 = a2 - b2;
    secondEccSq = a2MinusB2 / b2;
    eccSq = a2MinusB2 / a2;
}

void Datum::setData(char* text) {
    char fields[12][30];
    if (text)
        breakFields(text, fields, 12, 1);
    else
        std::memset(fields, 0, sizeof fields);
    gw::keepName(ellipseName, kNameSize, fields[0]);
    aAxis = gw::cAtof(fields[1]);
    inverseFlattening = gw::cAtof(fields[2]);
    gw::keepName(datumName, kNameSize, fields[3]);
    deltaX = gw::cAtof(fields[4]);
    deltaY = gw::cAtof(fields[5]);
    deltaZ = gw::cAtof(fields[6]);
    scalar = gw::cAtof(fields[7]);
    if (scalar > 0.1)
        scalar = 0.0;
    rotX = gw::angleField(fields[8]);
    rotY = gw::angleField(fields[9]);
    rotZ = gw::angleField(fields[10]);
    update();
}

void Datum::getData(char* ellipseName, double& aAxis, double& inverseFlattening, char* datumName,
                    double& deltaX, double& deltaY, double& deltaZ, double& scalar, double& rotX,
                    double& rotY, double& rotZ) {
    if (ellipseName)
        gw::copyBounded(ellipseName, this->ellipseName, kNameSize);
    aAxis = this->aAxis;
    inverseFlattening = this->inverseFlattening;
    if (datumName)
        gw::copyBounded(datumName, this->datumName, kNameSize);
    deltaX = this->deltaX;
    deltaY = this->deltaY;
    deltaZ = this->deltaZ;
    scalar = this->scalar;
    rotX = this->rotX;
    rotY = this->rotY;
    rotZ = this->rotZ;
}

namespace {
// The datum's settings keys, in the order of a new section, with the defaults
// loadData reads for missing ones.
constexpr gw::SettingKey kDatumKeys[] = {
    {"aAxis", gw::Form::number, "6378137."},
    {"inverseFlattening", gw::Form::number, "298.257222"},
    {"deltaX", gw::Form::number, "0."},
    {"deltaY", gw::Form::number, "0."},
    {"deltaZ", gw::Form::number, "0."},
    {"scalar", gw::Form::number, "0."},
    {"rotX", gw::Form::number, "0."},
    {"rotY", gw::Form::number, "0."},
    {"rotZ", gw::Form::number, "0."},
    {"ellipseName", gw::Form::name, "WGS 84", kNameSize - 1},
    {"datumName", gw::Form::name, "WGS 84", kNameSize - 1},
};
} // namespace

std::span<const gw::SettingKey> gw::datumSettingKeys() { return kDatumKeys; }

void Datum::loadData(char* section, char* file) {
    // The numbers, then the two names, in the order of the key table.
    double* const numbers[] = {&aAxis,  &inverseFlattening, &deltaX, &deltaY, &deltaZ,
                               &scalar, &rotX,              &rotY,   &rotZ};
    char* const names[] = {ellipseName, datumName};
    std::size_t number = 0, name = 0;
    for (const gw::SettingKey& k : kDatumKeys) {
        if (k.form == gw::Form::number) *numbers[number++] = gw::iniGetDouble(section, k.key, k.def, file);
        else gw::iniGetName(section, k.key, k.def, names[name++], kNameSize, file);
    }
    update();
}

void Datum::saveData(char* section, char* file) {
    gw::iniWriteDouble(section, "aAxis", "%.2f", aAxis, file);
    gw::iniWriteDouble(section, "inverseFlattening", "%.6f", inverseFlattening, file);
    gw::iniWriteDouble(section, "deltaX", "%.2f", deltaX, file);
    gw::iniWriteDouble(section, "deltaY", "%.2f", deltaY, file);
    gw::iniWriteDouble(section, "deltaZ", "%.2f", deltaZ, file);
    gw::iniWriteDouble(section, "scalar", "%.10f", scalar, file);
    gw::iniWriteDouble(section, "rotX", "%.10f", rotX, file);
    gw::iniWriteDouble(section, "rotY", "%.10f", rotY, file);
    gw::iniWriteDouble(section, "rotZ", "%.10f", rotZ, file);
    gw::iniWriteString(section, "ellipseName", ellipseName, file);
    gw::iniWriteString(section, "datumName", datumName, file);
}

void Datum::getLines(char lines[][50]) {
    gw::cFormat(lines[0], kLineSize, "Datum:%s", datumName);
    gw::cFormat(lines[1], kLineSize, "Ellipse: %s", ellipseName);
    gw::cFormat(lines[2], kLineSize, "1/F:%.6lf", inverseFlattening);
    gw::cFormat(lines[3], kLineSize, "Semi Major:%.2lf", aAxis);
    gw::cFormat(lines[4], kLineSize, "Delta X:%.3lf  Y:%.3lf  Z:%.3lf", deltaX, deltaY, deltaZ);
    gw::cFormat(lines[5], kLineSize, "Rot   X:%.5lf  Y:%.5lf  Z:%.5lf", rotX * 3600, rotY * 3600, rotZ * 3600);
    gw::cFormat(lines[6], kLineSize, "Scale  :%.10lf", scalar);
}

// The small-angle Helmert seven-parameter transformation with position-vector
// rotations (EPSG method 9606): the matrix applied to (X, Y, Z) is
//     1 + k   -rz     ry
//      rz    1 + k   -rx
//     -ry     rx    1 + k
// (coordinate-frame rotations, EPSG method 9607, would have the transposed
// rotation terms). The way back applies the seven parameters with their signs
// reversed, the first-order inverse.
void Datum::trans7Param(double lat, double lon, double h, double& latOut, double& lonOut, double& hOut,
                        int direction) {
    (void)h; // the point is taken on the source ellipsoid
    const double rx = rotX * (kPi / 180);
    const double ry = rotY * (kPi / 180);
    const double rz = rotZ * (kPi / 180);
    double X, Y, Z;
    if (direction == 1)
        geoToCart(lat, lon, 0, &X, &Y, &Z, aAxis, eccSq);
    else
        geoToCart(lat, lon, 0, &X, &Y, &Z, kWgs84A, kWgs84E2);
    const double k = scalar;
    const double d = direction;
    const double X2 = X + d * (deltaX + k * X - rz * Y + ry * Z);
    const double Y2 = Y + d * (deltaY + rz * X + k * Y - rx * Z);
    const double Z2 = Z + d * (deltaZ - ry * X + rx * Y + k * Z);
    if (direction == 1)
        cartToGeo(&latOut, &lonOut, &hOut, X2, Y2, Z2, kWgs84A, kWgs84InvF, kWgs84E2);
    else
        cartToGeo(&latOut, &lonOut, &hOut, X2, Y2, Z2, aAxis, inverseFlattening, eccSq);
}

void Datum::workingToWgs84(double lat, double lon, double h, double& latOut, double& lonOut, double& hOut) {
    (void)toWgs84Checked(lat, lon, h, latOut, lonOut, hOut);
}

void Datum::wgs84ToWorking(double lat, double lon, double h, double& latOut, double& lonOut, double& hOut) {
    (void)fromWgs84Checked(lat, lon, h, latOut, lonOut, hOut);
}

bool Datum::toWgs84Checked(double lat, double lon, double h, double& latOut, double& lonOut, double& hOut) {
    (void)h; // heights are not carried through a datum conversion
    bool covered = true;
    if (isNorthSea(datumName)) {
        // The correction polynomial is in longitudes of [-180, 180]; one given
        // outside is first brought into (-180, 180]. Outside the correction's
        // area the point goes on uncorrected.
        const double lonC = (lon > 180 || lon < -180) ? wrapLongitude(lon) : lon;
        covered = gw::inNorthSeaArea(lat, lonC);
        if (covered)
            ed50ToFromEd87(lat, lonC, &lat, &lon, 1);
    }
    trans7Param(lat, lon, 0, latOut, lonOut, hOut, 1);
    // The shift gives [0, 360) (or NaN): one turn off the eastern half brings it
    // into (-180, 180]. For those values this is the longitude wrap; it is kept as
    // the one subtraction it is.
    if (lonOut > 180)
        lonOut -= 360;
    return covered;
}

bool Datum::fromWgs84Checked(double lat, double lon, double h, double& latOut, double& lonOut, double& hOut) {
    (void)hOut; // left as the caller had it
    double height;
    trans7Param(lat, lon, h, latOut, lonOut, height, -1);
    bool covered = true;
    if (isNorthSea(datumName)) {
        // The shift gives [0, 360); the correction polynomial is in (-180, 180].
        // West of Greenwich (358 for -2) it would move the point by degrees, so
        // the longitude is brought into (-180, 180] first; east of it nothing
        // changes. Outside the correction's area the point stays uncorrected.
        const double lonC = wrapLongitude(lonOut);
        covered = gw::inNorthSeaArea(latOut, lonC);
        if (covered) {
            ed50ToFromEd87(latOut, lonC, &latOut, &lonOut, -1);
            lonOut = wrapLongitude(lonOut);
        }
    }
    if (lonOut > 180) // [0, 360) into (-180, 180], as in workingToWgs84
        lonOut -= 360;
    return covered;
}
