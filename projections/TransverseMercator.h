// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Transverse Mercator by the classic series (projection type code 0).
//
// The default projection of the library: every envelope built without an
// initialisation string, and every type code without a class, holds one. Its
// defaults describe UTM zone 11 north: "UTM Zone 11", central meridian -117,
// false northing 0 m, false easting 500000 m, scale factor 0.9996, latitude of
// origin 0, grid text in metres.
//
// Method: the classic series of the Transverse Mercator in powers of the longitude
// difference and of the easting, of the Redfearn and Thomas type (Snyder, Map
// Projections - A Working Manual, USGS Professional Paper 1395, 1987, chapter 8),
// written in powers of cos(lat) and the second eccentricity squared e'^2.
//  - Meridian arc: the polar radius of curvature c = a^2/b times a series in
//    e'^2, c (c0 phi - c1 sin(phi) cos(phi) (1 + c2 sin^2 + c3 sin^4 + c4 sin^6 +
//    c5 sin^8)), a rearrangement of the meridian distance (Snyder 1987, chapter 3);
//    geoparm derives c and c0..c5 from the datum.
//  - Forward: terms up to the sixth power of the longitude difference.
//  - Footpoint latitude: iterated from the start phi = M / (c c0); each step adds
//    the arc still missing divided by c c0. The iteration stops once the arc misses
//    by less than 0.0001 m (the step that finds this still adds its correction)
//    and after five steps at most; the inverse terms then use the sine and cosine
//    of the footpoint from the beginning of the last step.
//  - Inverse: terms up to the sixth power of the easting.
//  - Convergence: the series in the longitude difference at the point; line scale:
//    the mean-latitude formula along the grid line.
//
// The innermost factor of c0 is 0.010000000000000009, not 1. This shortens the
// meridian arc by 1.37e-9 of its length: 0.68 cm of northing at 45 degrees, 1.28 cm
// at 84 degrees, 1.37 cm at the poles. Grid coordinates that hosts have stored
// were computed with it, so it is kept.
//
// Units: latitudes and longitudes in degrees, grid coordinates (northing, easting,
// false values) in metres; `units` changes only the text forms of grid values.
//
// Accuracy against an exact Transverse Mercator with the same a, f and k0 (WGS 84,
// k0 0.9996), latitudes -80..84, worst errors by distance from the central
// meridian (gridToGeo and converge evaluated at the exact grid point):
//   distance   northing   easting    latitude    longitude   convergence
//   0-1 deg    1.28 cm    0.1 um     1.2e-7 deg  1.9e-8 deg  1.9e-8 deg
//   1-2 deg    1.28 cm    7 um       1.2e-7 deg  3.9e-8 deg  3.9e-8 deg
//   2-3 deg    1.28 cm    0.1 mm     1.2e-7 deg  6.6e-8 deg  6.6e-8 deg
// The northing and latitude figures, and most of the longitude and convergence
// figures (reached near 84 degrees), are the c0 factor above; with an exact c0 the
// series itself is within 0.09 mm in northing and 1e-9 degree in latitude.
// The round trip gridToGeo(geoToGrid(p)) returns p to 2.6e-11 degree within 1
// degree of the central meridian, 5e-10 within 2 and 9e-9 within 3. Farther out
// (tens of degrees) the series loses accuracy; such points are converted all the
// same and no error is reported.
//
// Outside the domain: northing and easting are limited to -1e7..1e7 m (NaN stays
// NaN); gridToGeo reduces latitude and longitude with fmod and brings the
// longitude into -180..180. Nothing throws and every loop has a fixed cap.
//
// geoparm must run after every change of datum, of originLat and before the first
// conversion. (The constructor already derives the constants from the default
// WGS 84 datum, so a conversion before geoparm uses that datum.)
//
// Threads: as every projection (gridwise/projection.h): one object from one
// thread at a time; the constructor from text reads the grid style of the
// process-wide geodesy instance and getLines the process-wide units object.
#ifndef GRIDWISE_PROJECTIONS_TRANSVERSEMERCATOR_H
#define GRIDWISE_PROJECTIONS_TRANSVERSEMERCATOR_H

#include "geodesy/Datum.h"
#include "gridwise/export.h"
#include "gridwise/projection.h"
#include <span>
#include "units/SettingKey.h"

class GW_EXPORT TransverseMercator : public Projection {
public:
    char projName[40];  // name shown to the user, at most 39 characters
    double originLon;   // central meridian, degrees east
    double falseNorth;  // metres
    double falseEast;   // metres
    double scaleFactor; // k0 on the central meridian
    double originLat;   // latitude of origin, degrees
    int units;          // unit of the grid text: 0 metres, 1 feet, 2 US survey feet
    double arcCoef[6];  // c0..c5 of the meridian arc (geoparm)
    double arcOrigin;   // meridian arc at originLat, metres (geoparm)
    Datum datum;        // copy of the working datum (geoparm)

    // Defaults without text; otherwise the eight comma-separated fields of an
    // initialisation string (type code, projName, originLon as longitude text,
    // falseNorth, falseEast, scaleFactor, originLat as latitude text, units).
    // The false values are read as grid text (a unit suffix such as "ft" is
    // honoured, metres otherwise; the station form when the geodesy instance holds
    // a station/offset system), the angles as angle text. Any text is accepted:
    // missing or unreadable fields read as 0; the name, the angles and the scale
    // factor are kept as the settings keep them (leading blanks, ':' and ';' of the
    // name dropped, the name cut to 39 characters without trailing blanks; a
    // longitude beyond +-180 brought into (-180, 180], a latitude beyond the poles
    // read as 0; a scale factor below 0.5, 0 and not a number included, read as
    // 0.5), so that the string written again carries the projection in use.
    explicit TransverseMercator(char* init = nullptr);

    // Opens the parameter dialog over parent (installed by the dialog layer; without
    // it 0 at once); 1 after OK, when the values are taken over, else 0.
    int editDialog(CWnd* parent, ProjDataStruct** projList) override;
    // Six lines of at most 49 characters: the name, "CM ...", "Lat Origin: ...",
    // "False N:... E:...:", "S F at CM: ...", "Units: ...".
    void getLines(char lines[][50]) override;
    // Keys "projName" "originLon" "originLat" "falseNorth" "falseEast"
    // "scaleFactor" "units" "general" "specific"; missing keys give the defaults.
    // Names, angles and the scale factor are kept as for an initialisation string
    // (a latitude beyond the poles reads as the key's default).
    void loadData(char* section, char* file) override;
    void saveData(char* section, char* file) override;
    void geoparm(Datum* datum) override;
    void gridToGeo(double north, double east, double& lat, double& lon) override;
    void geoToGrid(double lat, double lon, double& north, double& east) override;
    // Scale of the grid line between two grid points (mean-latitude formula).
    double lineScale(double north1, double east1, double north2, double east2) override;
    // Grid convergence at a grid point, degrees, positive east of the central
    // meridian in the northern hemisphere.
    double converge(double north, double east) override;
    int getUnits() override;
    int getFormat() override; // 0: northing and easting
    // "0,name,lon,%.2f,%.2f,%.6f,lat,%d"; a comma in the name is written as a blank
    // so that the fields read back.
    GW_INTERNAL void initText(gw::InitText& out) const override;
    Projection* clone() const override;

    // The meridian arc from the equator to latitude phi (radians), metres.
    double meridianArc(double phi) const;

    // gridToGeo itself, telling how its footpoint iteration ended: the number of
    // steps taken (1 to 5), and settled false when the fifth step still missed the
    // 0.1 mm rule (the batch conversions report that point as not converted).
    int gridToGeoSteps(double north, double east, double& lat, double& lon, bool& settled) const;

private:
    // The polar radius of curvature c = a^2/b of the datum, metres (geoparm).
    double polarRadius;

    // The same with the sine and cosine of phi already at hand.
    double arcOf(double phi, double s, double c) const;
    double arcWith(double phi, double s, double c) const;
};

namespace gw {
// The settings keys of TransverseMercator, in the order of a new section.
std::span<const SettingKey> transverseMercatorSettingKeys();
} // namespace gw

#endif
