// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Flat local grid around an origin (projection type code 5).
//
// A geographic offset from the origin (centerLat, centerLon) becomes metres by
// multiplying the latitude difference by the length of one degree of latitude at
// the origin and the longitude difference by the length of one degree of
// longitude at the origin; gridToGeo divides. The lengths of a degree come from
// two fixed cosine series (metersPerDegLat, metersPerDegLon) that do not depend on
// the working ellipsoid, so geoparm does nothing. The grid is neither rotated nor
// offset: the origin is grid (0, 0), north along its meridian, east along its
// parallel. Grid values are metres, labelled Y (north) and X (east) in text.
//
// Accuracy: a round trip geoToGrid -> gridToGeo returns the input to a few ulps
// of the degree values. The series give the length of a degree within 7.1 m
// (latitude) and 2.4 m (longitude) of the WGS 84 values, latitudes 0 to 90
// (relative 6.4e-5 and 2.2e-5 away from the poles). As a map the system is a
// plate carree scaled at the origin: east-west distances are off by the change
// of cos(latitude) from the origin, about tan(lat0) * 1.6e-4 per km north or
// south (2e-4 per km at 52 degrees).
//
// Outside the domain: nothing is refused. The latitude difference is reduced by
// fmod with 180, keeping its sign; the longitude difference is brought into
// (-180, 180], so a point just across the 180 degree meridian from the origin
// lies just east or west of it. gridToGeo gives the origin's longitude plus the
// grid's, unwrapped (the geodesy object and the batch conversions bring it into
// (-180, 180]). At an origin latitude of +-90 the length of a degree of longitude
// is nearly 0 and gridToGeo gives huge meaningless longitudes. NaN or infinite
// input gives NaN results.
//
// Settings keys (in this order): "localProjName" (default "Local", at most 39
// characters kept), "localCenterLat" and "localCenterLon" ("%.12f", default 0).
// The general and specific names are neither read nor written.
//
// Initialisation string: "5,<name>,<lat %.12f>,<lon %.12f>,". It is read back in
// fields of at most 19 characters, so longer names are cut to 19; commas in the
// name are written as blanks (a comma would end the field).
//
// Threads: as every projection (gridwise/projection.h): one object from one
// thread at a time.
#ifndef GRIDWISE_PROJECTIONS_LOCAL_H
#define GRIDWISE_PROJECTIONS_LOCAL_H

#include "gridwise/export.h"
#include "gridwise/projection.h"
#include <span>
#include "units/SettingKey.h"

class GW_EXPORT Local : public Projection {
public:
    char localProjName[40]; // display name, NUL-terminated, at most 39 characters
    double centerLat;       // origin latitude, degrees, positive north
    double centerLon;       // origin longitude, degrees, positive east

    // Without a string: empty name, origin (0, 0). With one: "5,name,lat,lon,".
    explicit Local(char* init = nullptr);
    Local(const Local& other);
    Local& operator=(const Local& other);
    ~Local() override;

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

    // Length of one degree of latitude, metres, at latitude lat (degrees):
    // 111132.09 - 566.05 cos 2lat + 1.2 cos 4lat - 0.002 cos 6lat.
    static double metersPerDegLat(double lat);
    // Length of one degree of longitude, metres, at latitude lat (degrees):
    // 111415.13 cos lat - 94.55 cos 3lat + 0.12 cos 5lat.
    static double metersPerDegLon(double lat);
};

namespace gw {
// The settings keys of Local, in the order of a new section.
std::span<const SettingKey> localSettingKeys();
} // namespace gw

#endif
