#include "projections/KestrelLocal.h"

#include "gridwise/fields.h"
#include "platform/CLocale.h"
#include "projections/InitText.h"
#include "platform/IniFile.h"
#include "projections/LocalSystemSupport.h"
#include "units/SettingsText.h"

KestrelLocal::KestrelLocal(char* init)
    : Projection(ProjectionBaseCon{}),
      eToLocalNorth(0.0), eToLocalEast(0.0), eToLocalConst(0.0),
      localToENorth(0.0), localToEEast(0.0), localToEConst(0.0),
      localToNNorth(0.0), localToNEast(0.0), localToNConst(0.0),
      nToLocalNorth(0.0), nToLocalEast(0.0), nToLocalConst(0.0),
      baseProj() {
    localProjName[0] = '\0';
    if (init) {
        char fields[17][20];
        breakFields(init, fields, 17, 1);
        gw::keepName(localProjName, sizeof localProjName, fields[1]);
        eToLocalNorth = gw::cAtof(fields[2]);
        eToLocalEast = gw::cAtof(fields[3]);
        eToLocalConst = gw::cAtof(fields[4]);
        localToENorth = gw::cAtof(fields[5]);
        localToEEast = gw::cAtof(fields[6]);
        localToEConst = gw::cAtof(fields[7]);
        nToLocalNorth = gw::cAtof(fields[8]);
        nToLocalEast = gw::cAtof(fields[9]);
        nToLocalConst = gw::cAtof(fields[10]);
        localToNNorth = gw::cAtof(fields[11]);
        localToNEast = gw::cAtof(fields[12]);
        localToNConst = gw::cAtof(fields[13]);
        baseProj.reset(gw::textAfterCommas(init, 14));
    }
    gw::setLocalSystemNames(*this, 3, "KestrelLocal");
}

KestrelLocal::KestrelLocal(const KestrelLocal& other) = default;

KestrelLocal& KestrelLocal::operator=(const KestrelLocal& other) = default;

KestrelLocal::~KestrelLocal() = default;

Projection* KestrelLocal::clone() const { return new KestrelLocal(*this); }

int KestrelLocal::editDialog(CWnd*, ProjDataStruct**) { return 0; }

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

void KestrelLocal::loadData(char* section, char* file) {
    gw::iniGetName(section, "localProjName", "KestrelLocal", localProjName, sizeof localProjName,
                     file);
    eToLocalNorth = gw::iniGetDouble(section, "eToLocalNorth", "0.", file);
    eToLocalEast = gw::iniGetDouble(section, "eToLocalEast", "1.", file);
    eToLocalConst = gw::iniGetDouble(section, "eToLocalConst", "0.", file);
    localToENorth = gw::iniGetDouble(section, "localToENorth", "0.", file);
    localToEEast = gw::iniGetDouble(section, "localToEEast", "1.", file);
    localToEConst = gw::iniGetDouble(section, "localToEConst", "0.", file);
    localToNNorth = gw::iniGetDouble(section, "localToNNorth", "1.", file);
    localToNEast = gw::iniGetDouble(section, "localToNEast", "0.", file);
    localToNConst = gw::iniGetDouble(section, "localToNConst", "0.", file);
    nToLocalNorth = gw::iniGetDouble(section, "nToLocalNorth", "1.", file);
    nToLocalEast = gw::iniGetDouble(section, "nToLocalEast", "0.", file);
    nToLocalConst = gw::iniGetDouble(section, "nToLocalConst", "0.", file);
    int baseType = gw::acceptedBaseType(gw::iniGetInt(section, "localGeodesyType", 0, file));
    baseProj->changeTo(baseType);
    baseProj->loadData(section, file);
    gw::iniGetName(section, "general", "USER", general, sizeof general, file);
    gw::iniGetName(section, "specific", "KestrelLocal", specific, sizeof specific, file);
}

void KestrelLocal::saveData(char* section, char* file) {
    gw::iniWriteString(section, "localProjName", localProjName, file);
    gw::iniWriteDouble(section, "eToLocalNorth", "%.12f", eToLocalNorth, file);
    gw::iniWriteDouble(section, "eToLocalEast", "%.12f", eToLocalEast, file);
    gw::iniWriteDouble(section, "eToLocalConst", "%.4f", eToLocalConst, file);
    gw::iniWriteDouble(section, "localToENorth", "%.12f", localToENorth, file);
    gw::iniWriteDouble(section, "localToEEast", "%.12f", localToEEast, file);
    gw::iniWriteDouble(section, "localToEConst", "%.4f", localToEConst, file);
    gw::iniWriteDouble(section, "localToNNorth", "%.12f", localToNNorth, file);
    gw::iniWriteDouble(section, "localToNEast", "%.12f", localToNEast, file);
    gw::iniWriteDouble(section, "localToNConst", "%.4f", localToNConst, file);
    gw::iniWriteDouble(section, "nToLocalNorth", "%.12f", nToLocalNorth, file);
    gw::iniWriteDouble(section, "nToLocalEast", "%.12f", nToLocalEast, file);
    gw::iniWriteDouble(section, "nToLocalConst", "%.4f", nToLocalConst, file);
    gw::iniWriteInt(section, "localGeodesyType", baseProj->type, file);
    baseProj->saveData(section, file);
    gw::iniWriteString(section, "general", general, file);
    gw::iniWriteString(section, "specific", specific, file);
}

void KestrelLocal::initText(gw::InitText& out) const {
    std::string name = gw::initStringName(localProjName);
    out.append(gw::cFormatString(
        "%d,%s,%.12f,%.12f,%.3f,%.12f,%.12f,%.3f,%.12f,%.12f,%.3f,%.12f,%.12f,%.3f,", type,
        name.c_str(), eToLocalNorth, eToLocalEast, eToLocalConst, localToENorth, localToEEast,
        localToEConst, nToLocalNorth, nToLocalEast, nToLocalConst, localToNNorth, localToNEast,
        localToNConst));
    baseProj->initText(out);
}

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
