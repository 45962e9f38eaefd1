// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Polar stereographic projection (type code 4), by default the universal polar
// stereographic grid of the north polar area.
//
// Method: the ellipsoidal polar stereographic projection with a scale factor at
// the pole (Snyder, Map Projections - A Working Manual, USGS Professional Paper
// 1395, 1987, chapter 21), written with the isometric latitude psi
// (IsometricLatitude.h): t = exp(-psi), rho = t C scaleFactor.
//
// Grid coordinates are metres (northing, easting), angles degrees. The grid is
// oriented on the meridian 0: lonOfOrigin is stored, shown and saved but does not
// enter the conversions. geoparm derives the factor C = (2 a^2 / b)((1 - e)/(1 + e))^(e/2)
// and must run before the first conversion.
//
// Aspect: latOfOrigin 0 or more gives the north-polar aspect (grid north
// falseNorth - rho cos lon, grid east falseEast + rho sin lon); a negative
// latOfOrigin gives its mirror, the south-polar aspect (grid north
// falseNorth + rho cos lon), whose inverse returns southern latitudes. In either
// aspect a latitude of the other hemisphere is taken as its mirror image
// (|fmod(lat, 90)|), and latitudes 0 and +-90 give the false origin.
//
// geoToGrid: closed form, rho = t(phi) C scaleFactor; agrees with independent
//   implementations to 1e-8 m inside the frame. Each final coordinate (false origin included)
//   is clamped to 890000..3110000 m.
// gridToGeo: Newton iteration on the isometric latitude (at most 10 steps, step
//   tolerance 1e-10 rad); agrees with independent implementations to 6e-9
//   degrees of latitude (0.7 mm) and 1e-11 degrees of longitude. At the pole
//   (within about 1e-9 m of it) the latitude is +-90; the false origin itself
//   gives latitude 0, longitude 0.
// converge: the grid convergence in degrees: the longitude of the point in the
//   north-polar aspect, its negative in the south-polar aspect (0 at the false
//   origin).
// lineScale: Simpson's mean of the point scale scaleFactor C t(phi) / (N(phi) cos phi)
//   at the two end latitudes and their mean (k0 at the pole; relative accuracy
//   1e-10). At the false origin itself (latitude 0 by gridToGeo) it is
//   scaleFactor C / a.
//
// Settings keys, in this order: "projName" (default "Universal Polar Stereo"),
// "lonOfOrigin" (E000 00), "latOfOrigin" (N90 00), "scaleFactor" ("%.6f", .994),
// "falseNorth" and "falseEast" ("%.3f", 2000000), "units" (0), "general" (USER),
// "specific" (Polar Stereo).
//
// Threads: as every projection (gridwise/projection.h): one object from one
// thread at a time; the constructor from text reads the grid style of the
// process-wide geodesy instance and getLines the process-wide units object.
#ifndef GRIDWISE_PROJECTIONS_POLARSTEREO_H
#define GRIDWISE_PROJECTIONS_POLARSTEREO_H

#include "geodesy/Datum.h"
#include "gridwise/export.h"
#include "gridwise/projection.h"
#include <span>
#include "units/SettingKey.h"

class GW_EXPORT PolarStereo : public Projection {
public:
    char projName[40];   // zone name, at most 39 characters (longer names are cut)
    double latOfOrigin;  // latitude of origin, degrees; negative selects the south-polar aspect
    double lonOfOrigin;  // degrees; stored, shown and saved only
    double falseNorth;   // metres
    double falseEast;    // metres
    double scaleFactor;  // k0 at the pole
    int units;           // grid unit index: 0 metres, 1 feet, 2 US survey feet
    Datum datum;         // copy of the working datum, taken by geoparm
    double stereoFactor; // C in metres, set by geoparm

    // Defaults ("Universal Polar Stereo") without a text; otherwise the fields of
    // an initialisation string "4,name,lonOrigin,latOrigin,k0,fN,fE,units".
    PolarStereo(char* init = nullptr);

    // Opens the parameter dialog over parent; 1 after OK (the values are taken
    // over), 0 otherwise. The projection list is not used.
    int editDialog(CWnd* parent, ProjDataStruct** projList) override;
    void getLines(char lines[][50]) override;
    void loadData(char* section, char* file) override;
    void saveData(char* section, char* file) override;
    GW_INTERNAL void initText(gw::InitText& out) const override;
    Projection* clone() const override;
    void geoparm(Datum* d) override;
    void gridToGeo(double north, double east, double& lat, double& lon) override;
    void geoToGrid(double lat, double lon, double& north, double& east) override;
    double lineScale(double north1, double east1, double north2, double east2) override;
    double converge(double north, double east) override;
    int getUnits() override;
    int getFormat() override;

private:
    double eccentricity; // first eccentricity e of the datum (constructor, geoparm)

    bool southern() const { return latOfOrigin < 0; }
    double pointScale(double latDeg); // C t(phi) / (N cos phi), latitude in degrees
};

namespace gw {
// The settings keys of PolarStereo, in the order of a new section.
std::span<const SettingKey> polarStereoSettingKeys();
} // namespace gw

#endif
