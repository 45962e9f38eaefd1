#include "projections/Local.h"

#include <cmath>

#include "gridwise/fields.h"
#include "numerics/Angles.h"
#include "platform/CLocale.h"
#include "projections/InitText.h"
#include "platform/IniFile.h"
#include "projections/LocalSystemSupport.h"
#include "units/SettingsText.h"

namespace {
using gw::kPi;
} // namespace

Local::Local(char* init) : Projection(ProjectionBaseCon{}), centerLat(0.0), centerLon(0.0) {
    localProjName[0] = '\0';
    if (init) {
        char fields[17][20];
        breakFields(init, fields, 17, 1);
        gw::keepName(localProjName, sizeof localProjName, fields[1]);
        centerLat = gw::cAtof(fields[2]);
        centerLon = gw::cAtof(fields[3]);
    }
    gw::setLocalSystemNames(*this, 5, "Local");
}

Local::Local(const Local& other) = default;

Local& Local::operator=(const Local& other) = default;

Local::~Local() = default;

Projection* Local::clone() const { return new Local(*this); }

int Local::editDialog(CWnd*, ProjDataStruct**) { return 0; }

void Local::getLines(char lines[][50]) {
    gw::cFormat(lines[0], 50, "%s", localProjName);
    gw::cFormat(lines[1], 50, "Lat Origin: %s", gw::latText(centerLat).c_str());
    gw::cFormat(lines[2], 50, "Lon Origin: %s", gw::lonText(centerLon).c_str());
    gw::cFormat(lines[3], 50, " ");
    gw::cFormat(lines[4], 50, " ");
    gw::cFormat(lines[5], 50, " ");
}

void Local::loadData(char* section, char* file) {
    gw::iniGetName(section, "localProjName", "Local", localProjName, sizeof localProjName, file);
    centerLat = gw::iniGetDouble(section, "localCenterLat", "0.", file);
    centerLon = gw::iniGetDouble(section, "localCenterLon", "0.", file);
}

void Local::saveData(char* section, char* file) {
    gw::iniWriteString(section, "localProjName", localProjName, file);
    gw::iniWriteDouble(section, "localCenterLat", "%.12f", centerLat, file);
    gw::iniWriteDouble(section, "localCenterLon", "%.12f", centerLon, file);
}

void Local::initText(gw::InitText& out) const {
    std::string name = gw::initStringName(localProjName);
    out.append(gw::cFormatString("%d,%s,%.12f,%.12f,", type, name.c_str(), centerLat, centerLon));
}

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
    double dLon = std::fmod(lon - centerLon, 360.0);
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
