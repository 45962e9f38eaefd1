// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The Dutch national grid RD (type code 7), by fixed power series.
//
// Method: the approximation series between RD coordinates and Bessel 1841
// latitude and longitude of Schreutelkamp and Strang van Hees, "Benaderingsformules
// voor de transformatie tussen RD- en WGS84-kaartcoördinaten", Geodesia 43 (2001):
// sums of c dphi^p dlambda^q forward and of c dx^p dy^q inverse.
//
// Grid coordinates are metres, labelled "Y" (north, the first coordinate) and "X"
// (east); angles are degrees on the Bessel 1841 geographic system of the grid. The
// series are written around the grid's origin (52.15616056 N, 5.38763889 E at
// x 155000 m, y 463000 m) in units of 10000 arc-seconds and 100 km; the projection
// has no parameters, ignores the working datum (geoparm does nothing) and applies
// no datum shift.
//
// Accuracy against the rigorous oblique stereographic RD projection over the
// Netherlands (50.75..53.6 N, 3.3..7.3 E): forward within 1 mm, inverse within
// 1e-8 degrees; the two series are independent approximations, so a round trip
// returns to within 2e-9 degrees there. Far from the origin the errors grow
// without a check.
// lineScale returns 1.0 and converge 0.0.
//
// Settings keys, in this order: "general" (default "USER") and "specific"
// (default "RDProj"); the name is not in the settings. Initialisation string:
// "7,name".
//
// Threads: as every projection (gridwise/projection.h): one object from one
// thread at a time.
#ifndef GRIDWISE_PROJECTIONS_RDPROJ_H
#define GRIDWISE_PROJECTIONS_RDPROJ_H

#include "geodesy/Datum.h"
#include "gridwise/export.h"
#include "gridwise/projection.h"
#include <span>
#include "units/SettingKey.h"

class GW_EXPORT RDProj : public Projection {
public:
    char projName[40]; // display name, at most 39 characters (longer names are cut)
    Datum datum;       // not used
    double lat0;       // latitude of the origin, degrees
    double lon0;       // longitude of the origin, degrees
    double x0;         // grid x (east) of the origin, metres
    double y0;         // grid y (north) of the origin, metres

    // "RD Projection" without a text; otherwise the name of "7,name".
    RDProj(char* init = nullptr);

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
};

namespace gw {
// The settings keys of RDProj, in the order of a new section.
std::span<const SettingKey> rdSettingKeys();
} // namespace gw

#endif
