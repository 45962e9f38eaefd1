// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The geodesy object: one working datum and one map projection.
//
// Geodetics holds the working Datum by value and a Projection envelope by an
// owning pointer, and keeps the projection's ellipsoid constants in step with the
// datum: after every change of either, the projection's geoparm has run with the
// datum. It forwards grid conversions to the projection and datum conversions and
// geodesic problems to the datum (units and accuracy as stated there: degrees,
// metres).
//
// Copying or assigning a Geodetics copies its projection (the envelope clones its
// concrete projection), so every Geodetics owns and destroys only its own.
//
// Construction, copying and assignment never throw. When memory runs out:
//   - a constructor that cannot make the envelope leaves `projection` null. Such
//     a Geodetics keeps its datum and track memory and answers the grid
//     operations as an envelope without its concrete projection does (gridToGeo
//     and geoToGrid give 0, 0; lineScale 1; converge, getUnits and getFormat 0);
//     loadData first tries again to make the envelope (reading only the datum
//     when that fails too); saveData writes nothing, since what it would write
//     could not be read back as this object. A copy of such a Geodetics is one too.
//   - an envelope that is made but cannot make its concrete projection is itself
//     usable and answers in the same way (see gridwise/projection.h).
//   - an assignment whose copy of the projection cannot be made changes nothing.
// allocGeodetics refuses (returns 0, no instance) a Geodetics that is not whole.
//
// A track memory (two latitude/longitude pairs and the active pair) is kept for
// the host; no computation uses it.
//
// Settings (loadData / saveData, section then file): "GeodesyType" (the
// projection type code, "%d", default 0; codes outside 1 and 3..7 give a Transverse
// Mercator), then the projection's own keys, then the datum's eleven keys. A
// missing file, section or key reads as its default. Section and key names match
// without regard to case. A saveData that does not reach the disk leaves the file
// as it was and sets gwLastErrorCode to GW_ERROR_FILE_UNWRITABLE, with gwLastError
// naming the file and the reason (GW_ERROR_INTERNAL without a projection).
#ifndef GRIDWISE_FACADE_GEODETICS_H
#define GRIDWISE_FACADE_GEODETICS_H

#include "geodesy/Datum.h"
#include "gridwise/export.h"
#include "gridwise/geodetics.h"
#include "gridwise/projection.h"

class GW_EXPORT Geodetics {
public:
    double lat1;           // first track pair, degrees
    double lon1;
    double lat2;           // second track pair, degrees
    double lon2;
    int activePair;        // pair written by setLatLonTrack: 0 the first, other values the second
    Projection* projection; // the envelope; owned; null only when it could not be made
    Datum datum;           // the working datum

    // WGS 84, a default Transverse Mercator, a zeroed track memory.
    Geodetics() noexcept;
    Geodetics(const Geodetics& other) noexcept;
    Geodetics& operator=(const Geodetics& other) noexcept;
    ~Geodetics();

    void gridToGeo(double north, double east, double& lat, double& lon);
    void geoToGrid(double lat, double lon, double& north, double& east);
    double lineScale(double north1, double east1, double north2, double east2);
    double converge(double north, double east);
    int getUnits();
    int getFormat();

    void wgs84ToWorking(double lat, double lon, double h, double& latOut, double& lonOut, double& hOut);
    void workingToWgs84(double lat, double lon, double h, double& latOut, double& lonOut, double& hOut);
    void direct(double lat1, double lon1, double azimuth, double distance, double& lat2, double& lon2);
    void inverse(double lat1, double lon1, double lat2, double lon2, double& azimuth, double& distance);

    // "GeodesyType", changeTo, the projection's keys, the datum's keys, geoparm.
    void loadData(char* section, char* file);
    // "GeodesyType", the projection's keys, the datum's keys.
    void saveData(char* section, char* file);

    // Runs the Geodetics dialog on copies of the projection and the datum (the
    // module's own state selected for the call); 1 when the user accepted: the
    // projection is replaced by the one chosen (named as chosen in the form), the
    // datum takes the edited values and is updated, and the projection's geoparm
    // runs with it. 0, with nothing changed, after Cancel, when no dialog can be
    // shown (no display) and when a copy cannot be made. parent is not used.
    int editDialog(void* parent);
};

namespace gw {

// The geodesy instance behind the C functions (null when there is none).
Geodetics* geodesyInstance();

} // namespace gw

#endif
