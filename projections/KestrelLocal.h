// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Affine local system over a base projection (projection type code 3).
//
// A local site grid defined by two affine transformations on top of a full map
// projection, the base projection (an owned envelope of any type except the
// affine local and station/offset systems):
//   local to map:  map east  = localToENorth n + localToEEast e + localToEConst
//                  map north = localToNNorth n + localToNEast e + localToNConst
//   map to local:  local east  = eToLocalNorth N + eToLocalEast E + eToLocalConst
//                  local north = nToLocalNorth N + nToLocalEast E + nToLocalConst
// gridToGeo applies local-to-map and then the base's gridToGeo; geoToGrid the
// base's geoToGrid and then map-to-local. The two transformations are entered
// independently and never checked against each other: a singular or
// non-inverse pair is used as it stands (it never divides, so any finite
// coefficients give finite results; all zero maps every point to (0, 0)).
// lineScale and converge are the base projection's at the map point(s), without
// the scale or rotation of the affine transformation. Constants are metres,
// factors plain numbers; grid values are labelled Y and X in text.
//
// Accuracy: the affine steps add a few ulps; a round trip local -> geo -> local
// with mutually inverse transformations is as good as the base projection's own
// round trip at the map point (a Transverse Mercator base: about 1e-9 m near the
// central meridian, about 0.1 mm 500 km from it).
//
// Settings keys, in this order: "localProjName" (default "KestrelLocal", 39
// characters kept), "eToLocalNorth" "eToLocalEast" "eToLocalConst"
// "localToENorth" "localToEEast" "localToEConst" "localToNNorth" "localToNEast"
// "localToNConst" "nToLocalNorth" "nToLocalEast" "nToLocalConst" (factors "%.12f",
// constants "%.4f"; defaults make both transformations the identity),
// "localGeodesyType" (the base type, "%d", default 0; 3 and 6 are read as 0),
// then the base projection's own keys in the same section, then "general"
// (default "USER") and "specific" (default "KestrelLocal"), read last so that
// they win over the same keys the base projection reads. Numbers are read as
// text of up to 99 characters, so values of 1e87 and more do not survive a
// settings round trip.
//
// Initialisation string: "3,name," then the twelve coefficients in the order
// eToLocal (N, E, C), localToE (N, E, C), nToLocal (N, E, C), localToN (N, E, C),
// factors "%.12f", constants "%.3f", each followed by a comma, and immediately
// after them the base projection's own initialisation string. Fields are read
// back with at most 19 characters each (the name and any number whose text is
// longer are cut); the base is built from the text behind the 14th comma (a
// default Transverse Mercator when that text is missing or blank, or when its type
// code is 3 or 6).
//
// Threads: as every projection (gridwise/projection.h): one object, its base
// included, from one thread at a time.
#ifndef GRIDWISE_PROJECTIONS_KESTRELLOCAL_H
#define GRIDWISE_PROJECTIONS_KESTRELLOCAL_H

#include "gridwise/export.h"
#include "gridwise/projection.h"
#include "projections/BaseProjection.h"
#include <span>
#include "units/SettingKey.h"

class GW_EXPORT KestrelLocal : public Projection {
public:
    char localProjName[40]; // display name, NUL-terminated, at most 39 characters
    double eToLocalNorth;   // map-to-local easting: factor of the map northing
    double eToLocalEast;    // map-to-local easting: factor of the map easting
    double eToLocalConst;   // map-to-local easting: constant, metres
    double localToENorth;   // local-to-map easting: factor of the local northing
    double localToEEast;    // local-to-map easting: factor of the local easting
    double localToEConst;   // local-to-map easting: constant, metres
    double localToNNorth;   // local-to-map northing: factor of the local northing
    double localToNEast;    // local-to-map northing: factor of the local easting
    double localToNConst;   // local-to-map northing: constant, metres
    double nToLocalNorth;   // map-to-local northing: factor of the map northing
    double nToLocalEast;    // map-to-local northing: factor of the map easting
    double nToLocalConst;   // map-to-local northing: constant, metres
    gw::BaseProjection baseProj; // owned base projection envelope, never null

    // Without a string: empty name, all coefficients 0 (every point maps to
    // (0, 0) until settings are loaded), a default Transverse Mercator base.
    explicit KestrelLocal(char* init = nullptr);
    // Copies deep: the copy owns a copy of the base projection. A copy never
    // throws (its base is bare when memory runs out); assignment goes member by
    // member, the base last, and std::bad_alloc from the base's copy leaves this
    // system with the other's coefficients and names and its own old base.
    KestrelLocal(const KestrelLocal& other);
    KestrelLocal& operator=(const KestrelLocal& other);
    ~KestrelLocal() override;

    // Opens the system's dialog over parent (installed by the dialog layer; without
    // it 0 at once); 1 after OK, when the dialog's values are taken over, else 0.
    int editDialog(CWnd* parent, ProjDataStruct** projList) override;
    void getLines(char lines[][50]) override;
    void loadData(char* section, char* file) override;
    void saveData(char* section, char* file) override;
    void geoparm(Datum* datum) override;
    void gridToGeo(double north, double east, double& lat, double& lon) override;
    void geoToGrid(double lat, double lon, double& north, double& east) override;
    double lineScale(double north1, double east1, double north2, double east2) override;
    double converge(double north, double east) override;
    int getUnits() override;
    int getFormat() override;
    GW_INTERNAL void initText(gw::InitText& out) const override;
    Projection* clone() const override;

    // The two transformations on their own (metres in, metres out).
    void localToMap(double north, double east, double& mapNorth, double& mapEast) const;
    void mapToLocal(double mapNorth, double mapEast, double& north, double& east) const;
};

namespace gw {
// The settings keys of KestrelLocal, in the order of a new section.
std::span<const SettingKey> kestrelLocalSettingKeys();
} // namespace gw

#endif
