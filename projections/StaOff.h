// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Station/offset system along a baseline (projection type code 6).
//
// Positions are given as station (distance along the baseline from its start)
// and offset (perpendicular distance, positive to the right looking from start to
// end), in metres, in place of northing and easting. The baseline is given by the
// geographic positions of its start and end, placed in the grid of the base
// projection (an owned envelope of any type except the affine local and
// station/offset systems); the frame is the base grid translated to the start
// and rotated to the baseline direction (sinAz, cosAz):
//   map north = startNorth + station cosAz - offset sinAz
//   map east  = startEast  + station sinAz + offset cosAz
//   station = dN cosAz + dE sinAz,  offset = dE cosAz - dN sinAz
// with dN, dE the map point minus the start. geoparm passes the datum to the base
// and derives the start and end grid positions and the direction; until then the
// direction is grid north and the start the grid origin. Start and end that
// coincide in the grid, or whose grid positions are not finite, give the
// grid-north direction (sinAz 0, cosAz 1). lineScale is the base's for the
// stations and offsets added to the start without rotation; converge is the
// base's at that point plus the baseline azimuth (degrees clockwise from grid
// north, 0 to 360), reduced with fmod by 360, so a negative sum stays negative.
//
// Accuracy: the rotation adds a few ulps; a round trip station/offset -> geo ->
// station/offset is as good as the base projection's own round trip at the map
// point. Positions outside the base projection's domain give whatever it returns.
//
// Settings keys, in this order: "localProjName" (default "StaOff", 39 characters
// kept), "localCenterLat" "localCenterLon" (the start), "localEndLat"
// "localEndLon" ("%.12f", default 0), "localGeodesyType" (the base type, "%d",
// default 0; 3 and 6 are read as 0), the base projection's own keys in the same
// section, then "general" (default "USER") and "specific" (default "StaOff"),
// read last. A flat local grid as base shares the keys "localProjName",
// "localCenterLat" and "localCenterLon" with this system, so in a settings
// section its values overwrite the start.
//
// Initialisation string: "6,name,startLat,startLon,endLat,endLon," ("%.12f")
// immediately followed by the base projection's own initialisation string.
// Fields are read back with at most 19 characters each; the base is built from
// the text behind the 6th comma (a default Transverse Mercator when that text is
// missing or blank, or when its type code is 3 or 6).
//
// Threads: as every projection (gridwise/projection.h): one object, its base
// included, from one thread at a time.
#ifndef GRIDWISE_PROJECTIONS_STAOFF_H
#define GRIDWISE_PROJECTIONS_STAOFF_H

#include "gridwise/export.h"
#include "gridwise/projection.h"
#include "projections/BaseProjection.h"
#include <span>
#include "units/SettingKey.h"

class GW_EXPORT StaOff : public Projection {
public:
    char localProjName[40]; // display name, NUL-terminated, at most 39 characters
    double startLat;        // baseline start, degrees
    double startLon;
    double startNorth;      // the start in the base grid, metres (derived)
    double startEast;
    double endLat;          // baseline end, degrees
    double endLon;
    double endNorth;        // the end in the base grid, metres (derived)
    double endEast;
    double sinAz;           // east component of the unit baseline direction (derived)
    double cosAz;           // north component (derived)
    gw::BaseProjection baseProj; // owned base projection envelope, never null

    // Without a string: empty name, start and end (0, 0), a default Transverse
    // Mercator base. Derived positions 0, direction grid north.
    explicit StaOff(char* init = nullptr);
    // Copies deep: the copy owns a copy of the base projection. A copy never
    // throws (its base is bare when memory runs out); assignment goes member by
    // member, the base last, and std::bad_alloc from the base's copy leaves this
    // system with the other's baseline and names and its own old base.
    StaOff(const StaOff& other);
    StaOff& operator=(const StaOff& other);
    ~StaOff() override;

    // Opens the system's dialog over parent (installed by the dialog layer; without
    // it 0 at once); 1 after OK, when the dialog's values are taken over, else 0.
    int editDialog(CWnd* parent, ProjDataStruct** projList) override;
    void getLines(char lines[][50]) override;
    void loadData(char* section, char* file) override;
    void saveData(char* section, char* file) override;
    void geoparm(Datum* datum) override;
    void gridToGeo(double station, double offset, double& lat, double& lon) override;
    void geoToGrid(double lat, double lon, double& station, double& offset) override;
    double lineScale(double station1, double offset1, double station2, double offset2) override;
    double converge(double station, double offset) override;
    int getUnits() override;
    int getFormat() override;
    GW_INTERNAL void initText(gw::InitText& out) const override;
    Projection* clone() const override;
};

namespace gw {
// The settings keys of StaOff, in the order of a new section.
std::span<const SettingKey> stationOffsetSettingKeys();
} // namespace gw

#endif
