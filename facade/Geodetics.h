// The geodesy object: one working datum and one map projection.
//
// Geodetics holds the working Datum by value and a Projection envelope by an
// owning pointer (never null), and keeps the projection's ellipsoid constants in
// step with the datum: after every change of either, the projection's geoparm has
// run with the datum. It forwards grid conversions to the projection and datum
// conversions and geodesic problems to the datum (units and accuracy as stated
// there: degrees, metres).
//
// Copying or assigning a Geodetics copies its projection (the envelope clones its
// concrete projection), so every Geodetics owns and destroys only its own.
//
// A track memory (two latitude/longitude pairs and the active pair) is kept for
// the host; no computation uses it.
//
// Settings (loadData / saveData, section then file): "GeodesyType" (the
// projection type code, "%d", default 0; codes outside 1 and 3..7 give a Transverse
// Mercator), then the projection's own keys, then the datum's eleven keys. A
// missing file, section or key reads as its default. Section and key names match
// without regard to case.
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
    Projection* projection; // the envelope; owned, never null
    Datum datum;           // the working datum

    // WGS 84, a default Transverse Mercator, a zeroed track memory.
    Geodetics();
    Geodetics(const Geodetics& other);
    Geodetics& operator=(const Geodetics& other);
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

    // Runs the Geodetics dialog on copies of the projection and the datum; 1 when
    // the user accepted and both were replaced, 0 (nothing changed) otherwise.
    // The dialog is not part of this build yet: it returns 0.
    int editDialog(void* parent);
};

namespace gw {

// The geodesy instance behind the C functions (null when there is none).
Geodetics* geodesyInstance();

} // namespace gw

#endif
