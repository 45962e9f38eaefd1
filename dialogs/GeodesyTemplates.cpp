// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Templates of the save-as, Geodetics, datum, projection parameter and
// data-units dialogs. Controls are in resource (tab) order; labels and frames that
// nothing addresses have id -1.
#include "dialogs/Templates.h"

namespace gw::dlg {

namespace {

using K = ControlKind;

// "Save As": the name under which the Geodetics dialog appends the working
// projection to the projection list, and a line for the message shown when the
// typed name cannot be stored.
constexpr ControlTemplate kSaveAs[] = {
    {-1, K::staticText, "User Projection Name", 7, 12, 84, 8},
    {idSaveAsName, K::edit, "", 94, 10, 86, 12},
    {idSaveAsMessage, K::staticText, "", 7, 28, 173, 16},
    {idOk, K::defPushButton, "OK", 7, 50, 50, 14},
    {idCancel, K::pushButton, "Cancel", 130, 50, 50, 14},
};

constexpr ControlTemplate kGeodetics[] = {
    {-1, K::groupBox, "General Projection", 7, 2, 104, 28},
    {idGeodeticsGeneralList, K::dropList, "", 13, 12, 92, 14},
    {-1, K::groupBox, "Specific Projection", 116, 2, 104, 28},
    {idGeodeticsSpecificList, K::dropList, "", 122, 12, 92, 14},
    {-1, K::groupBox, "Map Projection Parameters", 7, 32, 213, 66},
    {idGeodeticsProjectionLine1, K::staticText, "Projection Line 1", 13, 42, 148, 8},
    {idGeodeticsProjectionLine2, K::staticText, "Projection Line 2", 13, 50, 148, 8},
    {idGeodeticsProjectionLine3, K::staticText, "Projection Line 3", 13, 58, 148, 8},
    {idGeodeticsProjectionLine4, K::staticText, "Projection Line 4", 13, 66, 148, 8},
    {idGeodeticsProjectionLine5, K::staticText, "Projection Line 5", 13, 74, 148, 8},
    {idGeodeticsProjectionLine6, K::staticText, "Projection Line 6", 13, 82, 148, 8},
    {idGeodeticsEditProjection, K::pushButton, "Edit", 165, 78, 50, 14},
    {-1, K::groupBox, "Datum Parameters", 7, 100, 213, 94},
    {idGeodeticsDatumName, K::staticText, "Datum Name:", 13, 110, 148, 8},
    {idGeodeticsEllipsoidName, K::staticText, "Ellipsoid Name:", 13, 118, 148, 8},
    {idGeodeticsInverseFlattening, K::staticText, "Inverse Flattening:", 13, 126, 148, 8},
    {idGeodeticsSemiMajorAxis, K::staticText, "Semi Major Axis:", 13, 134, 148, 8},
    {idGeodeticsShifts, K::staticText, "DX DY DZ:", 13, 142, 148, 8},
    {idGeodeticsRotations, K::staticText, "Rotations:", 13, 150, 148, 8},
    {idGeodeticsScale, K::staticText, "Scale:", 13, 158, 148, 8},
    {idGeodeticsUser, K::radioFirst, "User", 165, 110, 50, 10},
    {idGeodeticsStandard, K::radio, "Standard", 165, 122, 50, 10},
    {idGeodeticsStandardList, K::dropList, "", 165, 136, 50, 14},
    {idGeodeticsEditDatum, K::pushButton, "Edit", 165, 174, 50, 14},
    {idOk, K::defPushButton, "OK", 7, 200, 50, 14},
    {idGeodeticsSaveAs, K::pushButton, "Save As", 88, 200, 50, 14},
    {idCancel, K::pushButton, "Cancel", 170, 200, 50, 14},
};

constexpr ControlTemplate kEditDatum[] = {
    {-1, K::groupBox, "Working Ellipsoid", 7, 4, 186, 58},
    {-1, K::staticText, "Name", 13, 16, 72, 8},
    {idDatumEllipsoidName, K::edit, "", 88, 14, 98, 12},
    {-1, K::staticText, "Semi Major Axis", 13, 31, 72, 8},
    {idDatumSemiMajorAxis, K::edit, "", 88, 29, 98, 12},
    {-1, K::staticText, "Inverse Flattening", 13, 46, 72, 8},
    {idDatumInverseFlattening, K::edit, "", 88, 44, 98, 12},
    {-1, K::groupBox, "Datum", 7, 66, 186, 133},
    {-1, K::staticText, "Name", 13, 78, 72, 8},
    {idDatumName, K::edit, "", 88, 76, 98, 12},
    {-1, K::staticText, "DX", 13, 93, 72, 8},
    {idDatumDX, K::edit, "", 88, 91, 98, 12},
    {-1, K::staticText, "DY", 13, 108, 72, 8},
    {idDatumDY, K::edit, "", 88, 106, 98, 12},
    {-1, K::staticText, "DZ", 13, 123, 72, 8},
    {idDatumDZ, K::edit, "", 88, 121, 98, 12},
    {-1, K::staticText, "Rot X", 13, 138, 72, 8},
    {idDatumRotX, K::edit, "", 88, 136, 98, 12},
    {-1, K::staticText, "Rot Y", 13, 153, 72, 8},
    {idDatumRotY, K::edit, "", 88, 151, 98, 12},
    {-1, K::staticText, "Rot Z", 13, 168, 72, 8},
    {idDatumRotZ, K::edit, "", 88, 166, 98, 12},
    {-1, K::staticText, "Scale", 13, 183, 72, 8},
    {idDatumScale, K::edit, "", 88, 181, 98, 12},
    {idOk, K::defPushButton, "OK", 7, 205, 50, 14},
    {idCancel, K::pushButton, "Cancel", 143, 205, 50, 14},
};

// The three parameter forms: labels at the left edge of the frame, each running up
// to its edit field.
constexpr ControlTemplate kUtm[] = {
    {-1, K::groupBox, "Transverse Mercator Parameters", 6, 2, 139, 116},
    {-1, K::staticText, "Central Meridian", 10, 30, 61, 8},
    {idUtmCentralMeridian, K::edit, "", 73, 28, 60, 12},
    {-1, K::staticText, "False Northing", 10, 45, 56, 8},
    {idUtmFalseNorth, K::edit, "", 68, 43, 60, 12},
    {-1, K::staticText, "False Easting", 10, 60, 47, 8},
    {idUtmFalseEast, K::edit, "", 59, 58, 60, 12},
    {-1, K::staticText, "Lat Of Origin", 10, 75, 47, 8},
    {idUtmLatOfOrigin, K::edit, "", 59, 73, 59, 12},
    {-1, K::staticText, "Scale Factor At CM", 10, 90, 67, 8},
    {idUtmScaleFactor, K::edit, "", 79, 88, 60, 12},
    {-1, K::staticText, "Name", 13, 15, 25, 8},
    {idUtmName, K::edit, "", 40, 13, 57, 12},
    {idUtmMeters, K::radioFirst, "Meters", 14, 103, 38, 10},
    {idUtmFeet, K::radio, "Feet", 54, 103, 38, 10},
    {idUtmUsFeet, K::radio, "US Feet", 94, 103, 38, 10},
    {idOk, K::defPushButton, "OK", 6, 122, 50, 14},
    {idCancel, K::pushButton, "Cancel", 95, 123, 50, 14},
};

constexpr ControlTemplate kLambert[] = {
    {-1, K::groupBox, "Lambert Parameters", 6, 1, 150, 134},
    {-1, K::staticText, "Name", 13, 15, 21, 8},
    {idLambertName, K::edit, "", 36, 13, 60, 12},
    {-1, K::staticText, "Latitude Of Origin", 10, 30, 61, 8},
    {idLambertLatOfOrigin, K::edit, "", 73, 28, 60, 12},
    {-1, K::staticText, "Longitude Of Origin", 10, 45, 64, 8},
    {idLambertLonOfOrigin, K::edit, "", 76, 43, 60, 12},
    {-1, K::staticText, "False Easting", 10, 60, 44, 8},
    {idLambertFalseEast, K::edit, "", 56, 58, 60, 12},
    {-1, K::staticText, "False Northing", 10, 75, 48, 8},
    {idLambertFalseNorth, K::edit, "", 60, 73, 59, 12},
    {-1, K::staticText, "First Standard Parallel", 10, 90, 72, 8},
    {idLambertFirstParallel, K::edit, "", 84, 88, 60, 12},
    {-1, K::staticText, "Second Standard Parallel", 10, 105, 82, 8},
    {idLambertSecondParallel, K::edit, "", 94, 103, 60, 12},
    {idLambertMeters, K::radioFirst, "Meters", 14, 119, 38, 10},
    {idLambertFeet, K::radio, "Feet", 54, 119, 38, 10},
    {idLambertUsFeet, K::radio, "US Feet", 94, 119, 38, 10},
    {idOk, K::defPushButton, "OK", 6, 139, 50, 14},
    {idCancel, K::pushButton, "Cancel", 106, 140, 50, 14},
};

constexpr ControlTemplate kPolarStereo[] = {
    {-1, K::groupBox, "Polar Sterographic Parameters", 6, 2, 139, 116},
    {-1, K::staticText, "Lon Of Origin", 10, 45, 47, 8},
    {idPolarStereoLonOfOrigin, K::edit, "", 59, 43, 60, 12},
    {-1, K::staticText, "False Northing", 10, 61, 56, 8},
    {idPolarStereoFalseNorth, K::edit, "", 68, 59, 60, 12},
    {-1, K::staticText, "False Easting", 10, 76, 47, 8},
    {idPolarStereoFalseEast, K::edit, "", 59, 74, 60, 12},
    {-1, K::staticText, "Lat Of Origin", 10, 29, 47, 8},
    {idPolarStereoLatOfOrigin, K::edit, "", 59, 27, 59, 12},
    {-1, K::staticText, "Scale Factor at Origin", 10, 90, 73, 8},
    {idPolarStereoScaleFactor, K::edit, "", 85, 88, 54, 12},
    {-1, K::staticText, "Name", 13, 15, 25, 8},
    {idPolarStereoName, K::edit, "", 40, 13, 57, 12},
    {idPolarStereoMeters, K::radioFirst, "Meters", 14, 103, 38, 10},
    {idPolarStereoFeet, K::radio, "Feet", 54, 103, 38, 10},
    {idPolarStereoUsFeet, K::radio, "US Feet", 94, 103, 38, 10},
    {idOk, K::defPushButton, "OK", 6, 121, 50, 14},
    {idCancel, K::pushButton, "Cancel", 95, 121, 50, 14},
};

constexpr ControlTemplate kDataUnits[] = {
    {-1, K::groupBox, "Distances", 7, 4, 136, 30},
    {idDataUnitsDistance, K::dropList, "", 13, 15, 124, 14},
    {-1, K::groupBox, "Lat/Lon", 7, 38, 136, 28},
    {idDataUnitsDegMin, K::radioFirst, "DD MM.MMM", 13, 50, 60, 10},
    {idDataUnitsDegMinSec, K::radio, "DD MM SS.S", 78, 50, 60, 10},
    {-1, K::groupBox, "Default Coordinate Type", 7, 70, 136, 28},
    {idDataUnitsLatLon, K::radioFirst, "Lat/Lon", 13, 82, 60, 10},
    {idDataUnitsGrid, K::radio, "Grid", 78, 82, 60, 10},
    {idOk, K::defPushButton, "OK", 7, 106, 50, 14},
    {idCancel, K::pushButton, "Cancel", 93, 106, 50, 14},
};

} // namespace

const DialogTemplate& saveAsTemplate() {
    static const DialogTemplate t{templateSaveAs, "Save As", 187, 70, kSaveAs};
    return t;
}

const DialogTemplate& geodeticsTemplate() {
    static const DialogTemplate t{templateGeodetics, "Geodetics", 227, 220, kGeodetics};
    return t;
}

const DialogTemplate& editDatumTemplate() {
    static const DialogTemplate t{templateDatum, "Geodetics", 200, 226, kEditDatum};
    return t;
}

const DialogTemplate& utmTemplate() {
    static const DialogTemplate t{templateUtm, "Transverse Mercator", 158, 142, kUtm};
    return t;
}

const DialogTemplate& lambertTemplate() {
    static const DialogTemplate t{templateLambert, "Lambert Projection", 160, 159, kLambert};
    return t;
}

const DialogTemplate& polarStereoTemplate() {
    static const DialogTemplate t{templatePolarStereo, "Polar Sterographic", 161, 139, kPolarStereo};
    return t;
}

const DialogTemplate& dataUnitsTemplate() {
    static const DialogTemplate t{templateDataUnits, "Data Units", 150, 128, kDataUnits};
    return t;
}

} // namespace gw::dlg
