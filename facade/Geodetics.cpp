// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "facade/Geodetics.h"

#include "dialogs/DataUnits.h"
#include "dialogs/Install.h"
#include "dialogs/NewGeod.h"
#include "gridwise/batch.h"
#include "gridwise/units.h"
#include "numerics/Angles.h"
#include "platform/ModuleState.h"
#include "platform/CLocale.h"
#include "platform/IniFile.h"
#include "platform/IniWriter.h"
#include "platform/LastError.h"
#include "units/CurrentUnits.h"
#include "units/GridText.h"
#include "units/GridUnit.h"

#include <memory>
#include <new>

namespace {

// The projections' parameter dialogs are installed when the library is loaded.
[[maybe_unused]] const bool dialogsInstalled = (gw::dlg::installDialogs(), true);

// A new envelope, a copy of `from` or (from null) a default one; null when it
// cannot be made.
Projection* makeEnvelope(const Projection* from) noexcept {
    Projection* made = nullptr;
    try {
        made = from != nullptr ? new (std::nothrow) Projection(*from) : new (std::nothrow) Projection();
    } catch (...) {
        return nullptr;
    }
    // An envelope left bare because its concrete projection could not be made is
    // no copy of one that has a concrete projection (nor a new default one).
    if (made != nullptr && made->inner == nullptr && (from == nullptr || from->inner != nullptr)) {
        delete made;
        return nullptr;
    }
    return made;
}

// Hands the datum's ellipsoid to the projection, where there is one.
void fitToDatum(Projection* projection, Datum& datum) noexcept {
    if (projection == nullptr)
        return;
    try {
        projection->geoparm(&datum);
    } catch (...) {
    }
}

} // namespace

Geodetics::Geodetics() noexcept
    : lat1(0.0), lon1(0.0), lat2(0.0), lon2(0.0), activePair(0), projection(makeEnvelope(nullptr)),
      datum() {
    fitToDatum(projection, datum);
}

Geodetics::Geodetics(const Geodetics& other) noexcept
    : lat1(other.lat1), lon1(other.lon1), lat2(other.lat2), lon2(other.lon2),
      activePair(other.activePair),
      projection(other.projection != nullptr ? makeEnvelope(other.projection) : nullptr),
      datum(other.datum) {
    fitToDatum(projection, datum);
}

Geodetics& Geodetics::operator=(const Geodetics& other) noexcept {
    if (this == &other)
        return *this;
    // The copy is made first, so a failed copy leaves this object whole.
    Projection* copy = nullptr;
    if (other.projection != nullptr) {
        copy = makeEnvelope(other.projection);
        if (copy == nullptr)
            return *this;
    }
    delete projection;
    projection = copy;
    lat1 = other.lat1;
    lon1 = other.lon1;
    lat2 = other.lat2;
    lon2 = other.lon2;
    activePair = other.activePair;
    datum = other.datum;
    fitToDatum(projection, datum);
    return *this;
}

Geodetics::~Geodetics() { delete projection; }

// Without its envelope a Geodetics answers as an envelope without its concrete
// projection does: zeros, a line scale of 1.

void Geodetics::gridToGeo(double north, double east, double& lat, double& lon) {
    if (projection == nullptr) {
        lat = 0.0;
        lon = 0.0;
        return;
    }
    projection->gridToGeo(north, east, lat, lon);
    lon = gw::wrapLongitude(lon); // whatever turn the projection's formulas leave it in
}

void Geodetics::geoToGrid(double lat, double lon, double& north, double& east) {
    if (projection == nullptr) {
        north = 0.0;
        east = 0.0;
        return;
    }
    projection->geoToGrid(lat, lon, north, east);
}

double Geodetics::lineScale(double north1, double east1, double north2, double east2) {
    return projection != nullptr ? projection->lineScale(north1, east1, north2, east2) : 1.0;
}

double Geodetics::converge(double north, double east) {
    return projection != nullptr ? projection->converge(north, east) : 0.0;
}

int Geodetics::getUnits() { return projection != nullptr ? projection->getUnits() : 0; }

int Geodetics::getFormat() { return projection != nullptr ? projection->getFormat() : 0; }

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
    // A Geodetics that lost its envelope tries once more to make one.
    if (projection == nullptr)
        projection = makeEnvelope(nullptr);
    if (projection == nullptr) {
        datum.loadData(section, file);
        return;
    }
    const int code = gw::iniGetInt(section, "GeodesyType", 0, file);
    projection->changeTo(code);
    projection->loadData(section, file);
    datum.loadData(section, file);
    projection->geoparm(&datum);
}

void Geodetics::saveData(char* section, char* file) {
    // Without its projection the settings could not be read back as this object.
    if (projection == nullptr) {
        gw::setLastError(GW_ERROR_INTERNAL, "geodesy settings not saved: the geodesy object has no projection");
        return;
    }
    // One save is one locked replacement of the file: other writers and readers see
    // all of its keys or none. A save that does not reach the disk is reported
    // (gwLastError, GW_ERROR_FILE_UNWRITABLE); the first key also checks the names.
    gw::IniBatch batch(file);
    char text[16];
    gw::cFormat(text, sizeof text, "%d", projection->type);
    const bool named = gw::iniWriteString(section, "GeodesyType", text, file);
    projection->saveData(section, file);
    datum.saveData(section, file);
    const bool written = batch.commit();
    if (!named && written && file != nullptr && *file != '\0') {
        gw::setLastError(GW_ERROR_FILE_UNWRITABLE, std::string("geodesy settings not saved: the section name '") +
                                                       (section != nullptr ? section : "") + "' cannot be written");
        return;
    }
    if (!named || !written) gw::reportUnsaved("geodesy settings", file);
}

int Geodetics::editDialog(void* /*parent*/) {
    // The dialog templates live in this module: select its state for the call.
    gw::ModuleStateScope moduleState;
    if (projection == nullptr)
        return 0;
    try {
        // The form works on copies: a copy of the datum and of the projection
        // (names included); nothing here changes until the user confirms.
        Datum working = datum;
        Projection* copy = makeEnvelope(projection);
        if (copy == nullptr)
            return 0;
        gw::dlg::NewGeod form(nullptr);
        form.setWorking(copy, &working);
        if (form.doModal() != 1)
            return 0;
        std::unique_ptr<Projection> chosen(form.commit(working));
        if (chosen == nullptr)
            return 0;
        delete projection;
        projection = chosen.release();
        datum = working;
        datum.update();
        fitToDatum(projection, datum);
        return 1;
    } catch (...) {
        return 0;
    }
}

// ---------------------------------------------------------------------------
// The geodesy instance and the C interface.

namespace {

Geodetics* instance = nullptr;

// A dummy for an out-argument the caller did not give.
template <typename T> T& outRef(T* p, T& dummy) { return p ? *p : dummy; }

// The guard of the C functions: body(instance) and its result; the fallback
// without an instance and when the body throws.
template <typename R, typename Body> R withInstance(R fallback, Body&& body) noexcept {
    if (!instance)
        return fallback;
    try {
        return body(*instance);
    } catch (...) {
        return fallback;
    }
}

// The same for a body without a result: nothing happens without an instance, and
// an exception ends the body where it was thrown.
template <typename Body> void withInstance(Body&& body) noexcept {
    if (!instance)
        return;
    try {
        body(*instance);
    } catch (...) {
    }
}

// The grid style of the instance's projection, for the text readers below it.
int instanceGridStyle() {
    return withInstance(-1, [](Geodetics& g) { return g.getFormat(); });
}

// Whether g was made whole: its envelope and the envelope's concrete projection.
bool complete(const Geodetics& g) { return g.projection != nullptr && g.projection->inner != nullptr; }

} // namespace

Geodetics* gw::geodesyInstance() { return instance; }

extern "C" {

int allocGeodetics(void) {
    if (!gw::moduleReady())
        return 0;
    gw::setGridStyleSource(&instanceGridStyle);
    Geodetics* created = new (std::nothrow) Geodetics();
    if (created != nullptr && !complete(*created)) {
        delete created;
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
    withInstance([&](Geodetics& g) { g.loadData(section, file); });
}

void saveGeoData(char* section, char* file) {
    withInstance([&](Geodetics& g) { g.saveData(section, file); });
}

int editDialog(void* parent) {
    return withInstance(0, [&](Geodetics& g) { return g.editDialog(parent); });
}

int dataUnitsDialog(void* parent) {
    gw::ModuleStateScope moduleState;
    try {
        gw::dlg::DataUnits form(parent);
        return form.doModal() == 1 ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

void gridToGeo(double north, double east, double* lat, double* lon) {
    withInstance([&](Geodetics& g) {
        double dummy[2];
        g.gridToGeo(north, east, outRef(lat, dummy[0]), outRef(lon, dummy[1]));
    });
}

void geoToGrid(double lat, double lon, double* north, double* east) {
    withInstance([&](Geodetics& g) {
        double dummy[2];
        g.geoToGrid(lat, lon, outRef(north, dummy[0]), outRef(east, dummy[1]));
    });
}

double lineScale(double north1, double east1, double north2, double east2) {
    return withInstance(0.0, [&](Geodetics& g) { return g.lineScale(north1, east1, north2, east2); });
}

double converge(double north, double east) {
    return withInstance(0.0, [&](Geodetics& g) { return g.converge(north, east); });
}

void wgs84ToWorking(double lat, double lon, double h, double* latOut, double* lonOut, double* hOut) {
    withInstance([&](Geodetics& g) {
        double dummy[3];
        g.wgs84ToWorking(lat, lon, h, outRef(latOut, dummy[0]), outRef(lonOut, dummy[1]),
                         outRef(hOut, dummy[2]));
    });
}

void workingToWgs84(double lat, double lon, double h, double* latOut, double* lonOut, double* hOut) {
    withInstance([&](Geodetics& g) {
        double dummy[3];
        g.workingToWgs84(lat, lon, h, outRef(latOut, dummy[0]), outRef(lonOut, dummy[1]),
                         outRef(hOut, dummy[2]));
    });
}

void direct(double lat1, double lon1, double azimuth, double distance, double* lat2, double* lon2) {
    withInstance([&](Geodetics& g) {
        double dummy[2];
        g.direct(lat1, lon1, azimuth, distance, outRef(lat2, dummy[0]), outRef(lon2, dummy[1]));
    });
}

void inverse(double lat1, double lon1, double lat2, double lon2, double* azimuth, double* distance) {
    withInstance([&](Geodetics& g) {
        double dummy[2];
        g.inverse(lat1, lon1, lat2, lon2, outRef(azimuth, dummy[0]), outRef(distance, dummy[1]));
    });
}

int getInfo(char* general, char* specific) {
    // The names are taken into ample buffers first and handed out cut to 29
    // characters, whatever the projection holds; a projection that fails gives
    // empty names.
    return withInstance(0, [&](Geodetics& g) {
        char gn[256] = "";
        char sn[256] = "";
        try {
            if (g.projection != nullptr)
                g.projection->getTypeStr(gn, sn);
        } catch (...) {
            gn[0] = sn[0] = '\0';
        }
        gn[sizeof gn - 1] = sn[sizeof sn - 1] = '\0';
        if (general)
            gw::copyBounded(general, gn, 30);
        if (specific)
            gw::copyBounded(specific, sn, 30);
        return 1;
    });
}

int getPlotUnits(void) {
    return withInstance(0, [](Geodetics& g) { return g.getUnits(); });
}

double getConversion(void) {
    return withInstance(0.0, [](Geodetics& g) {
        return gw::gridUnit(gw::currentUnits(), g.getUnits()).metersPerUnit;
    });
}

void getLatLonTrack(double* lat, double* lon) {
    withInstance([&](Geodetics& g) {
        if (lat)
            *lat = g.lat1;
        if (lon)
            *lon = g.lon1;
    });
}

void setLatLonTrack(double lat, double lon, int pair) {
    withInstance([&](Geodetics& g) {
        if (pair != -1 && pair != g.activePair) {
            g.activePair = pair;
            return;
        }
        if (g.activePair != 0) {
            g.lat2 = lat;
            g.lon2 = lon;
        } else {
            g.lat1 = lat;
            g.lon1 = lon;
        }
    });
}

} // extern "C"

void getLatLonTrack(double& lat1, double& lon1, double& lat2, double& lon2, int& activePair) {
    withInstance([&](Geodetics& g) {
        lat1 = g.lat1;
        lon1 = g.lon1;
        lat2 = g.lat2;
        lon2 = g.lon2;
        activePair = g.activePair;
    });
}
