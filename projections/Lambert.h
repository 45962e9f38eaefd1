// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Lambert conformal conic projection with two standard parallels (type code 1).
//
// Method: the ellipsoidal Lambert conformal conic with two standard parallels
// (Snyder, Map Projections - A Working Manual, USGS Professional Paper 1395,
// 1987, chapter 15), written with the isometric latitude psi (IsometricLatitude.h):
// rho = aF exp(-n psi).
//
// Grid coordinates are metres (northing, easting), angles degrees. The cone
// constant n, the radius factor aF and the radius of the latitude of origin rho0
// are derived from the standard parallels and the working ellipsoid by geoparm,
// which must run after every change of datum or parameters and before the first
// conversion.
//
// geoToGrid: closed form; agrees with independent implementations to 5e-8 m
//   within 15 degrees of the origin. The latitude is
//   reduced with fmod(lat, 90), so +-90 maps like 0; the longitude difference
//   from the central meridian is brought into (-180, 180] (a zone spanning the
//   180 degree meridian takes longitudes on either side). Each grid coordinate is
//   clamped to +-5000000 m before the false origin is added.
// gridToGeo: Newton iteration on the isometric latitude (at most 10 steps, step
//   tolerance 1e-10 rad); latitudes agree with independent implementations to
//   6e-9 degrees (0.7 mm), longitudes to 1e-11 degrees. The longitude is the
//   central meridian's plus the cone's angle, unwrapped (the geodesy object and
//   the batch conversions bring it into (-180, 180]). A point on or beyond the
//   apex of the cone (rho of the wrong sign, or the apex itself) gives latitude 0,
//   longitude 0.
// converge: (lon - lonOfOrigin) * n in degrees, at the point given by gridToGeo.
// lineScale: Simpson's mean of the point scale at the two end latitudes and their
//   mean; longitudes do not enter.
//
// Southern zones (both standard parallels south, n < 0) use the same forward
// formulas; the inverse then takes rho with the sign of n. Equal standard
// parallels are moved apart by geoparm: the second becomes the first plus one
// degree (the stored field changes).
//
// Settings keys, in this order: "projName" (default "California 6"),
// "latOfOrigin" (N32 10), "lonOfOrigin" (W116 15), "falseNorth" and "falseEast"
// ("%.3f", 0), "firstParallel" (N32 47), "secondParallel" (N33 53), "units" (0),
// "general" (USER), "specific" (LAMBERT).
//
// Threads: as every projection (gridwise/projection.h): one object from one
// thread at a time; the constructor from text reads the grid style of the
// process-wide geodesy instance and getLines the process-wide units object.
#ifndef GRIDWISE_PROJECTIONS_LAMBERT_H
#define GRIDWISE_PROJECTIONS_LAMBERT_H

#include "geodesy/Datum.h"
#include "gridwise/export.h"
#include "gridwise/projection.h"
#include <span>
#include "units/SettingKey.h"

class GW_EXPORT Lambert : public Projection {
public:
    char projName[40];     // zone name, at most 39 characters (longer names are cut)
    double latOfOrigin;    // latitude of origin, degrees
    double lonOfOrigin;    // central meridian, degrees east
    double falseNorth;     // metres
    double falseEast;      // metres
    double firstParallel;  // first standard parallel, degrees
    double secondParallel; // second standard parallel, degrees
    int units;             // grid unit index: 0 metres, 1 feet, 2 US survey feet
    Datum datum;           // copy of the working datum, taken by geoparm
    double coneConstant;   // n, set by geoparm
    double radiusFactor;   // a F in metres, set by geoparm
    double originRadius;   // rho0 in metres, set by geoparm

    // Defaults ("California 6") without a text; otherwise the fields of an
    // initialisation string "1,name,first,second,lonOrigin,latOrigin,fN,fE,units".
    Lambert(char* init = nullptr);

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

    double pointScale(double latDeg); // k at a latitude in degrees
};

namespace gw {
// The settings keys of Lambert, in the order of a new section.
std::span<const SettingKey> lambertSettingKeys();
} // namespace gw

#endif
