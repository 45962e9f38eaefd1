// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The working geodetic datum.
//
// A Datum is the working ellipsoid (semi-major axis aAxis in metres and inverse
// flattening, with the derived first and second eccentricities squared) and the
// seven-parameter shift that takes positions on it to WGS 84, plus the names of
// ellipsoid and datum (at most 24 characters each; longer names are cut to 24).
// Latitudes, longitudes, azimuths and rotations are in degrees, lengths in metres.
//
// The shift (trans7Param) works on earth-centred cartesian coordinates of points
// taken on the source ellipsoid (height 0) and is the Helmert seven-parameter
// transformation in its small-angle form, with rotations in the position-vector
// convention (EPSG method 9606, "Position Vector transformation (geocentric
// domain)"):
//     X' = X + d (deltaX + k X - rz Y + ry Z)
//     Y' = Y + d (deltaY + rz X + k Y - rx Z)
//     Z' = Z + d (deltaZ - ry X + rx Y + k Z)
// with k = scalar (a pure fraction), rx, ry, rz = rotX, rotY, rotZ in radians and
// d = 1 from the working datum to WGS 84, d = -1 back (the first-order inverse, so
// a round trip returns to within about (k + |r|)^2 times the earth radius).
// Parameters published in the coordinate-frame convention (EPSG method 9607,
// "Coordinate Frame rotation (geocentric domain)") have rotations of the
// opposite sign: their three rotations must be negated before they are stored
// here, or positions come out off by twice the rotation (about 60 m for each
// arc-second). The WGS 84 side uses a = 6378137, 1/f = 298.2572221 and
// e2 = 0.006694380022923155.
// hOut is the height of the shifted point above the target ellipsoid; heights of
// the input are not carried through.
//
// workingToWgs84 and wgs84ToWorking return longitudes in (-180, 180]. For a datum
// named exactly "ED50(N Sea)" they add the North Sea correction (ed50ToFromEd87)
// before the shift to WGS 84 and after the shift back, within the area the
// correction was made for (gw::inNorthSeaArea, 51.03..62.01 N, 5.05 W..11.14 E,
// tested at the ED50(N Sea) point going to WGS 84 and at the shifted point coming
// back); outside it they convert without the correction (the batch conversions
// refuse such points).
//
// direct and inverse solve the geodesic problems on the working ellipsoid: lines
// under 40000 m by Puissant's short-line formulas (L. Puissant, Traité de
// géodésie; the inverse refines them in at most four steps), longer lines by
// Sodano's non-iterative solution (E. M. Sodano, Bulletin Géodésique 75, 1965). The
// inverse chooses the method by the length on a sphere of radius 6378206.4 m. The
// direct takes Sodano's formulas for a short line too when its start or its end
// (by Puissant's series) lies beyond 80 degrees of latitude, where Puissant's terms
// in tan(lat) grow without bound; Sodano's hold over the poles and past the
// start's antipode. Azimuths are clockwise from north in [0, 360). Worst errors on
// WGS 84 against exact geodesics (end-point position of direct; distance and
// azimuth of inverse), both ends within the latitudes given:
//     length            |lat| <= 60        |lat| <= 80         inverse azimuth
//     under 1 km        0.1 mm             0.1 mm              0.001"
//     1 km to 40 km     0.009 m            0.23 m (0.027 m     0.02"
//                                          up to 70 deg)
//     40 km to 1000 km  0.04 m             0.09 m              0.004"
//     1000 to 10000 km  0.6 m              0.62 m              0.005"
//     10000 to 18000 km 1.7 m (direct), 2.8 m (inverse), 1.1" (azimuth)
// Direct lines from any start latitude: within 4 mm under 40 km with an end
// beyond 80 degrees, 1.9 m up to 20000 km, 4 m up to 40000 km; the error grows
// with the length beyond (the batch conversions refuse lines over 40000 km).
// Inverse distances of lines under 40 km are within 0.01 m up to 80 degrees. Near
// the antipode (beyond about 18000 km) the long-line inverse loses accuracy (tens
// of metres and arc-seconds); at latitudes of exactly +-90 the results are not
// defined. direct returns latitudes within +-90 and longitudes in (-180, 180]; a
// negative distance runs backwards (the line of |distance| in azimuth + 180).
//
// No operation reports errors; NaN or infinite input gives NaN or infinite results
// and every iteration has a fixed cap.
//
// A Datum keeps no state outside itself: distinct objects may be used in several
// threads at once, and one object by several threads while none of them changes it.
#ifndef GRIDWISE_GEODESY_DATUM_H
#define GRIDWISE_GEODESY_DATUM_H

#include "gridwise/datum.h"
#include "gridwise/export.h"
#include "units/SettingKey.h"

#include <span>

namespace gw {
// WGS 84 as the shift takes it (not the defaults of a Datum, whose inverse
// flattening is 298.257222).
inline constexpr double kShiftWgs84A = 6378137.0;
inline constexpr double kShiftWgs84InvF = 298.2572221;
inline constexpr double kShiftWgs84E2 = 0.006694380022923155;

// The area the North Sea correction (ed50ToFromEd87) was made for: the area of use
// of the EPSG registry's transformation "ED50 to ED87 (1)" (the same polynomial,
// from the Norwegian Mapping Authority's publication 1990:1), EPSG area 2330
// "Europe - North Sea" (Denmark, Germany and the Netherlands offshore, Norway and
// the UK North Sea south of 62 N), whose bounding box proj-data's proj.db gives as
// 51.03..62.01 N, 5.05 W..11.14 E. The polynomial itself is not in proj.db.
inline constexpr double kNorthSeaSouth = 51.03;
inline constexpr double kNorthSeaNorth = 62.01;
inline constexpr double kNorthSeaWest = -5.05;
inline constexpr double kNorthSeaEast = 11.14;
// Whether (lat, lon) in degrees, edges included, lies in that area (NaN: no).
inline bool inNorthSeaArea(double lat, double lon) {
    return lat >= kNorthSeaSouth && lat <= kNorthSeaNorth && lon >= kNorthSeaWest && lon <= kNorthSeaEast;
}
} // namespace gw

class GW_EXPORT Datum {
public:
    double aAxis;             // semi-major axis, metres
    double inverseFlattening; // 1/f
    double secondEccSq;       // (a^2 - b^2) / b^2, set by update()
    double eccSq;             // (a^2 - b^2) / a^2, set by update()
    double deltaX;            // shift to WGS 84 along X, metres
    double deltaY;            // along Y, metres
    double deltaZ;            // along Z, metres
    double scalar;            // scale difference as a pure fraction (1 ppm = 1e-6)
    double rotX;              // rotation about X, degrees
    double rotY;              // rotation about Y, degrees
    double rotZ;              // rotation about Z, degrees
    char ellipseName[25];     // NUL-terminated, at most 24 characters
    char datumName[25];       // NUL-terminated, at most 24 characters; "ED50(N Sea)" adds the North Sea correction

    // WGS 84 ellipsoid (aAxis 6378137.0, inverseFlattening 298.257222), no shift,
    // both names "WGS 84".
    Datum();
    Datum(const Datum&) = default;
    Datum& operator=(const Datum&) = default;

    // Derives secondEccSq and eccSq from aAxis and inverseFlattening.
    void update();
    // Whether the shifts add the North Sea correction (the datum named
    // "ED50(N Sea)"): a shift of its own beside the seven parameters.
    __attribute__((visibility("hidden"))) bool hasNorthSeaCorrection() const;

    // Sets the whole datum from "ellipse,a,1/f,datum,dX,dY,dZ,scale,rX,rY,rZ" (the
    // rotations as angle text in degrees); fields of at most 29 characters; a scale
    // above 0.1 is taken as 0; missing fields give 0 or empty names.
    void setData(char* text);

    // Copies the eleven stored values out; the name buffers need 25 characters.
    void getData(char* ellipseName, double& aAxis, double& inverseFlattening, char* datumName,
                 double& deltaX, double& deltaY, double& deltaZ, double& scalar, double& rotX,
                 double& rotY, double& rotZ);

    // Reads / writes the keys "aAxis" "inverseFlattening" "deltaX" "deltaY" "deltaZ"
    // "scalar" "rotX" "rotY" "rotZ" "ellipseName" "datumName" of section in file.
    void loadData(char* section, char* file);
    void saveData(char* section, char* file);

    // Seven description lines of at most 49 characters for display.
    void getLines(char lines[][50]);

    // The seven-parameter shift; direction 1 working datum -> WGS 84, -1 back.
    // h is not used; lonOut lies in [0, 360).
    void trans7Param(double lat, double lon, double h, double& latOut, double& lonOut, double& hOut,
                     int direction);

    // Datum conversions; h is not used. wgs84ToWorking does not write hOut.
    void workingToWgs84(double lat, double lon, double h, double& latOut, double& lonOut, double& hOut);
    void wgs84ToWorking(double lat, double lon, double h, double& latOut, double& lonOut, double& hOut);
    // The same two conversions, returning false when the datum has the North Sea
    // correction and the point it applies at (the given point to WGS 84, the
    // shifted one from it) lies outside the correction's area, where the
    // conversion goes on without it; true otherwise.
    __attribute__((visibility("hidden"))) bool toWgs84Checked(double lat, double lon, double h, double& latOut,
                                                               double& lonOut, double& hOut);
    __attribute__((visibility("hidden"))) bool fromWgs84Checked(double lat, double lon, double h, double& latOut,
                                                                 double& lonOut, double& hOut);

    // Geodesic direct problem: the end point of the line from (lat1, lon1) in the
    // given azimuth over the given distance (negative: backwards). Distances
    // within 0.0001 m of zero give the start.
    void direct(double lat1, double lon1, double azimuth, double distance, double& lat2, double& lon2);

    // Geodesic inverse problem: azimuth at the first point and distance; (0, 0) for
    // coincident points.
    void inverse(double lat1, double lon1, double lat2, double lon2, double& azimuth, double& distance);
    // The same, returning the refinement steps the short-line formulas took (1..4;
    // 0 for coincident points and lines on Sodano's formulas).
    int inverseSteps(double lat1, double lon1, double lat2, double lon2, double& azimuth, double& distance);
};

namespace gw {
// The datum's settings keys, in the order of a new section, with their defaults.
std::span<const SettingKey> datumSettingKeys();
} // namespace gw

#endif
