#include "projections/StaOff.h"

#include <cmath>

#include "gridwise/angleutil.h"
#include "gridwise/fields.h"
#include "platform/CLocale.h"
#include "projections/InitText.h"
#include "platform/IniFile.h"
#include "projections/LocalSystemSupport.h"
#include "units/SettingsText.h"

StaOff::StaOff(char* init)
    : Projection(ProjectionBaseCon{}),
      startLat(0.0), startLon(0.0), startNorth(0.0), startEast(0.0),
      endLat(0.0), endLon(0.0), endNorth(0.0), endEast(0.0),
      sinAz(0.0), cosAz(1.0), baseProj() {
    localProjName[0] = '\0';
    if (init) {
        char fields[17][20];
        breakFields(init, fields, 17, 1);
        gw::keepName(localProjName, sizeof localProjName, fields[1]);
        startLat = gw::cAtof(fields[2]);
        startLon = gw::cAtof(fields[3]);
        endLat = gw::cAtof(fields[4]);
        endLon = gw::cAtof(fields[5]);
        baseProj.reset(gw::textAfterCommas(init, 6));
    }
    gw::setLocalSystemNames(*this, 6, "StaOff");
}

StaOff::StaOff(const StaOff& other) = default;

StaOff& StaOff::operator=(const StaOff& other) = default;

StaOff::~StaOff() = default;

Projection* StaOff::clone() const { return new StaOff(*this); }

int StaOff::editDialog(CWnd*, ProjDataStruct**) { return 0; }

void StaOff::getLines(char lines[][50]) {
    gw::baseSystemLines(lines, localProjName, *baseProj, "StaOff");
}

void StaOff::loadData(char* section, char* file) {
    gw::iniGetName(section, "localProjName", "StaOff", localProjName, sizeof localProjName, file);
    startLat = gw::iniGetDouble(section, "localCenterLat", "0.", file);
    startLon = gw::iniGetDouble(section, "localCenterLon", "0.", file);
    endLat = gw::iniGetDouble(section, "localEndLat", "0.", file);
    endLon = gw::iniGetDouble(section, "localEndLon", "0.", file);
    int baseType = gw::acceptedBaseType(gw::iniGetInt(section, "localGeodesyType", 0, file));
    baseProj->changeTo(baseType);
    baseProj->loadData(section, file);
    // The direction follows in geoparm, once the base has its datum.
    baseProj->geoToGrid(startLat, startLon, startNorth, startEast);
    baseProj->geoToGrid(endLat, endLon, endNorth, endEast);
    gw::iniGetName(section, "general", "USER", general, sizeof general, file);
    gw::iniGetName(section, "specific", "StaOff", specific, sizeof specific, file);
}

void StaOff::saveData(char* section, char* file) {
    gw::iniWriteString(section, "localProjName", localProjName, file);
    gw::iniWriteDouble(section, "localCenterLat", "%.12f", startLat, file);
    gw::iniWriteDouble(section, "localCenterLon", "%.12f", startLon, file);
    gw::iniWriteDouble(section, "localEndLat", "%.12f", endLat, file);
    gw::iniWriteDouble(section, "localEndLon", "%.12f", endLon, file);
    gw::iniWriteInt(section, "localGeodesyType", baseProj->type, file);
    baseProj->saveData(section, file);
    gw::iniWriteString(section, "general", general, file);
    gw::iniWriteString(section, "specific", specific, file);
}

void StaOff::initText(gw::InitText& out) const {
    std::string name = gw::initStringName(localProjName);
    out.append(gw::cFormatString("%d,%s,%.12f,%.12f,%.12f,%.12f,", type, name.c_str(),
                                 startLat, startLon, endLat, endLon));
    baseProj->initText(out);
}

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
