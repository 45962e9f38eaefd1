#include "facade/Geodetics.h"

#include "gridwise/units.h"
#include "platform/ModuleState.h"
#include "platform/CLocale.h"
#include "platform/IniFile.h"
#include "units/CurrentUnits.h"
#include "units/GridText.h"
#include "units/GridUnit.h"

#include <new>

Geodetics::Geodetics()
    : lat1(0.0), lon1(0.0), lat2(0.0), lon2(0.0), activePair(0), projection(new Projection()),
      datum() {
    projection->geoparm(&datum);
}

Geodetics::Geodetics(const Geodetics& other)
    : lat1(other.lat1), lon1(other.lon1), lat2(other.lat2), lon2(other.lon2),
      activePair(other.activePair), projection(new Projection(*other.projection)),
      datum(other.datum) {
    projection->geoparm(&datum);
}

Geodetics& Geodetics::operator=(const Geodetics& other) {
    if (this == &other)
        return *this;
    // The copy is made first, so a failed copy leaves this object whole.
    Projection* copy = new Projection(*other.projection);
    delete projection;
    projection = copy;
    lat1 = other.lat1;
    lon1 = other.lon1;
    lat2 = other.lat2;
    lon2 = other.lon2;
    activePair = other.activePair;
    datum = other.datum;
    projection->geoparm(&datum);
    return *this;
}

Geodetics::~Geodetics() { delete projection; }

void Geodetics::gridToGeo(double north, double east, double& lat, double& lon) {
    projection->gridToGeo(north, east, lat, lon);
}

void Geodetics::geoToGrid(double lat, double lon, double& north, double& east) {
    projection->geoToGrid(lat, lon, north, east);
}

double Geodetics::lineScale(double north1, double east1, double north2, double east2) {
    return projection->lineScale(north1, east1, north2, east2);
}

double Geodetics::converge(double north, double east) { return projection->converge(north, east); }

int Geodetics::getUnits() { return projection->getUnits(); }

int Geodetics::getFormat() { return projection->getFormat(); }

void Geodetics::wgs84ToWorking(double lat, double lon, double h, double& latOut, double& lonOut,
                               double& hOut) {
    datum.wgs84ToWorking(lat, lon, h, latOut, lonOut, hOut);
}

void Geodetics::workingToWgs84(double lat, double lon, double h, double& latOut, double& lonOut,
                               double& hOut) {
    datum.workingToWgs84(lat, lon, h, latOut, lonOut, hOut);
}

void Geodetics::direct(double lat1, double lon1, double azimuth, double distance, double& lat2,
                       double& lon2) {
    datum.direct(lat1, lon1, azimuth, distance, lat2, lon2);
}

void Geodetics::inverse(double lat1, double lon1, double lat2, double lon2, double& azimuth,
                        double& distance) {
    datum.inverse(lat1, lon1, lat2, lon2, azimuth, distance);
}

void Geodetics::loadData(char* section, char* file) {
    const int code = gw::iniGetInt(section, "GeodesyType", 0, file);
    projection->changeTo(code);
    projection->loadData(section, file);
    datum.loadData(section, file);
    projection->geoparm(&datum);
}

void Geodetics::saveData(char* section, char* file) {
    char text[16];
    gw::cFormat(text, sizeof text, "%d", projection->type);
    gw::iniWriteString(section, "GeodesyType", text, file);
    projection->saveData(section, file);
    datum.saveData(section, file);
}

int Geodetics::editDialog(void* /*parent*/) {
    // The dialog templates live in this module: select its state for the call.
    gw::ModuleStateScope moduleState;
    // The Geodetics form is not built into this library yet; without it the
    // user cannot accept anything, so the call ends as a cancelled dialog does:
    // projection and datum stay as they are.
    return 0;
}

// ---------------------------------------------------------------------------
// The geodesy instance and the C interface.

namespace {

Geodetics* instance = nullptr;

// A dummy for an out-argument the caller did not give.
template <typename T> T& outRef(T* p, T& dummy) { return p ? *p : dummy; }

} // namespace

Geodetics* gw::geodesyInstance() { return instance; }

namespace {
// The grid style of the instance's projection, for the text readers below it.
int instanceGridStyle() {
    try {
        return instance ? instance->projection->getFormat() : -1;
    } catch (...) {
        return -1;
    }
}
} // namespace

extern "C" {

int allocGeodetics(void) {
    if (!gw::moduleReady())
        return 0;
    gw::setGridStyleSource(&instanceGridStyle);
    Geodetics* created = nullptr;
    try {
        created = new Geodetics();
    } catch (...) {
        created = nullptr;
    }
    // An existing instance is replaced (and destroyed) either way; after a
    // failure there is no instance.
    delete instance;
    instance = created;
    return created ? 1 : 0;
}

void deAllocGeodetics(void) {
    delete instance;
    instance = nullptr;
}

void loadGeoData(char* section, char* file) {
    if (!instance)
        return;
    try {
        instance->loadData(section, file);
    } catch (...) {
    }
}

void saveGeoData(char* section, char* file) {
    if (!instance)
        return;
    try {
        instance->saveData(section, file);
    } catch (...) {
    }
}

int editDialog(void* parent) {
    if (!instance)
        return 0;
    try {
        return instance->editDialog(parent);
    } catch (...) {
        return 0;
    }
}

void gridToGeo(double north, double east, double* lat, double* lon) {
    if (!instance)
        return;
    double dummy[2];
    try {
        instance->gridToGeo(north, east, outRef(lat, dummy[0]), outRef(lon, dummy[1]));
    } catch (...) {
    }
}

void geoToGrid(double lat, double lon, double* north, double* east) {
    if (!instance)
        return;
    double dummy[2];
    try {
        instance->geoToGrid(lat, lon, outRef(north, dummy[0]), outRef(east, dummy[1]));
    } catch (...) {
    }
}

double lineScale(double north1, double east1, double north2, double east2) {
    if (!instance)
        return 0.0;
    try {
        return instance->lineScale(north1, east1, north2, east2);
    } catch (...) {
        return 0.0;
    }
}

double converge(double north, double east) {
    if (!instance)
        return 0.0;
    try {
        return instance->converge(north, east);
    } catch (...) {
        return 0.0;
    }
}

void wgs84ToWorking(double lat, double lon, double h, double* latOut, double* lonOut, double* hOut) {
    if (!instance)
        return;
    double dummy[3];
    try {
        instance->wgs84ToWorking(lat, lon, h, outRef(latOut, dummy[0]), outRef(lonOut, dummy[1]),
                                 outRef(hOut, dummy[2]));
    } catch (...) {
    }
}

void workingToWgs84(double lat, double lon, double h, double* latOut, double* lonOut, double* hOut) {
    if (!instance)
        return;
    double dummy[3];
    try {
        instance->workingToWgs84(lat, lon, h, outRef(latOut, dummy[0]), outRef(lonOut, dummy[1]),
                                 outRef(hOut, dummy[2]));
    } catch (...) {
    }
}

void direct(double lat1, double lon1, double azimuth, double distance, double* lat2, double* lon2) {
    if (!instance)
        return;
    double dummy[2];
    try {
        instance->direct(lat1, lon1, azimuth, distance, outRef(lat2, dummy[0]), outRef(lon2, dummy[1]));
    } catch (...) {
    }
}

void inverse(double lat1, double lon1, double lat2, double lon2, double* azimuth, double* distance) {
    if (!instance)
        return;
    double dummy[2];
    try {
        instance->inverse(lat1, lon1, lat2, lon2, outRef(azimuth, dummy[0]),
                          outRef(distance, dummy[1]));
    } catch (...) {
    }
}

int getInfo(char* general, char* specific) {
    if (!instance)
        return 0;
    // The names are taken into ample buffers first and handed out cut to 29
    // characters, whatever the projection holds.
    char g[256] = "";
    char s[256] = "";
    try {
        instance->projection->getTypeStr(g, s);
    } catch (...) {
        g[0] = s[0] = '\0';
    }
    g[sizeof g - 1] = s[sizeof s - 1] = '\0';
    if (general)
        gw::copyBounded(general, g, 30);
    if (specific)
        gw::copyBounded(specific, s, 30);
    return 1;
}

int getPlotUnits(void) {
    if (!instance)
        return 0;
    try {
        return instance->getUnits();
    } catch (...) {
        return 0;
    }
}

double getConversion(void) {
    if (!instance)
        return 0.0;
    try {
        const int index = instance->getUnits();
        return gw::gridUnit(gw::currentUnits(), index).metersPerUnit;
    } catch (...) {
        return 0.0;
    }
}

void getLatLonTrack(double* lat, double* lon) {
    if (!instance)
        return;
    if (lat)
        *lat = instance->lat1;
    if (lon)
        *lon = instance->lon1;
}

void setLatLonTrack(double lat, double lon, int pair) {
    if (!instance)
        return;
    if (pair != -1 && pair != instance->activePair) {
        instance->activePair = pair;
        return;
    }
    if (instance->activePair != 0) {
        instance->lat2 = lat;
        instance->lon2 = lon;
    } else {
        instance->lat1 = lat;
        instance->lon1 = lon;
    }
}

} // extern "C"

void getLatLonTrack(double& lat1, double& lon1, double& lat2, double& lon2, int& activePair) {
    if (!instance)
        return;
    lat1 = instance->lat1;
    lon1 = instance->lon1;
    lat2 = instance->lat2;
    lon2 = instance->lon2;
    activePair = instance->activePair;
}
