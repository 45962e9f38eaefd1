// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// Templates of the local-system dialogs.
//
// Labels sit left of their fields, edit fields are 12 units high, text lines 8
// units high and wide enough for a 49-character description line; a drop-down
// list's height is that of its dropped list (closed, it is as high as an edit
// field); OK (default) at the lower left, Cancel at the lower right, 50 by 14.
#include "dialogs/Templates.h"

namespace gw::dlg {

namespace {

using K = ControlKind;

// The affine local system. Four groups of three coefficients in two rows,
// then the base projection's description, its Edit button and the candidate
// bases.
constexpr ControlTemplate kKestrelLocal[] = {
    {-1, K::groupBox, "Local To Map Northing", 7, 7, 110, 66},
    {-1, K::staticText, "North", 15, 23, 24, 8},
    {idKestrelLocalToNNorth, K::edit, "", 41, 21, 68, 12},
    {-1, K::staticText, "East", 15, 39, 24, 8},
    {idKestrelLocalToNEast, K::edit, "", 41, 37, 68, 12},
    {-1, K::staticText, "Const", 15, 55, 24, 8},
    {idKestrelLocalToNConst, K::edit, "", 41, 53, 68, 12},

    {-1, K::groupBox, "Local To Map Easting", 123, 7, 110, 66},
    {-1, K::staticText, "North", 131, 23, 24, 8},
    {idKestrelLocalToENorth, K::edit, "", 157, 21, 68, 12},
    {-1, K::staticText, "East", 131, 39, 24, 8},
    {idKestrelLocalToEEast, K::edit, "", 157, 37, 68, 12},
    {-1, K::staticText, "Const", 131, 55, 24, 8},
    {idKestrelLocalToEConst, K::edit, "", 157, 53, 68, 12},

    {-1, K::groupBox, "Map To Local Northing", 7, 79, 110, 66},
    {-1, K::staticText, "North", 15, 95, 24, 8},
    {idKestrelNToLocalNorth, K::edit, "", 41, 93, 68, 12},
    {-1, K::staticText, "East", 15, 111, 24, 8},
    {idKestrelNToLocalEast, K::edit, "", 41, 109, 68, 12},
    {-1, K::staticText, "Const", 15, 127, 24, 8},
    {idKestrelNToLocalConst, K::edit, "", 41, 125, 68, 12},

    {-1, K::groupBox, "Map To Local Easting", 123, 79, 110, 66},
    {-1, K::staticText, "North", 131, 95, 24, 8},
    {idKestrelEToLocalNorth, K::edit, "", 157, 93, 68, 12},
    {-1, K::staticText, "East", 131, 111, 24, 8},
    {idKestrelEToLocalEast, K::edit, "", 157, 109, 68, 12},
    {-1, K::staticText, "Const", 131, 127, 24, 8},
    {idKestrelEToLocalConst, K::edit, "", 157, 125, 68, 12},

    {-1, K::groupBox, "", 7, 151, 226, 96},
    {idKestrelLine1, K::staticText, "", 15, 162, 210, 8},
    {idKestrelLine2, K::staticText, "", 15, 172, 210, 8},
    {idKestrelLine3, K::staticText, "", 15, 182, 210, 8},
    {idKestrelLine4, K::staticText, "", 15, 192, 210, 8},
    {idKestrelLine5, K::staticText, "", 15, 202, 210, 8},
    {idKestrelLine6, K::staticText, "", 15, 212, 210, 8},
    {idKestrelEdit, K::pushButton, "Edit", 15, 226, 50, 14},
    {idKestrelBases, K::dropList, "", 71, 227, 154, 80},

    {idOk, K::defPushButton, "OK", 7, 254, 50, 14},
    {idCancel, K::pushButton, "Cancel", 183, 254, 50, 14},
};

// The flat local grid's origin.
constexpr ControlTemplate kLocal[] = {
    {-1, K::groupBox, "Local System Center", 7, 7, 146, 52},
    {-1, K::staticText, "Lat", 15, 23, 20, 8},
    {idLocalLat, K::edit, "", 39, 21, 106, 12},
    {-1, K::staticText, "Lon", 15, 39, 20, 8},
    {idLocalLon, K::edit, "", 39, 37, 106, 12},
    {idOk, K::defPushButton, "OK", 7, 66, 50, 14},
    {idCancel, K::pushButton, "Cancel", 103, 66, 50, 14},
};

// The station/offset baseline, then the base projection's description,
// its Edit button and a list that stays empty.
constexpr ControlTemplate kStationOffset[] = {
    {-1, K::groupBox, "Baseline Start", 7, 7, 106, 52},
    {-1, K::staticText, "Lat", 15, 23, 20, 8},
    {idStaOffStartLat, K::edit, "", 39, 21, 66, 12},
    {-1, K::staticText, "Lon", 15, 39, 20, 8},
    {idStaOffStartLon, K::edit, "", 39, 37, 66, 12},

    {-1, K::groupBox, "Baseline End", 119, 7, 106, 52},
    {-1, K::staticText, "Lat", 127, 23, 20, 8},
    {idStaOffEndLat, K::edit, "", 151, 21, 66, 12},
    {-1, K::staticText, "Lon", 127, 39, 20, 8},
    {idStaOffEndLon, K::edit, "", 151, 37, 66, 12},

    {-1, K::groupBox, "", 7, 65, 218, 96},
    {idStaOffLine1, K::staticText, "", 15, 76, 202, 8},
    {idStaOffLine2, K::staticText, "", 15, 86, 202, 8},
    {idStaOffLine3, K::staticText, "", 15, 96, 202, 8},
    {idStaOffLine4, K::staticText, "", 15, 106, 202, 8},
    {idStaOffLine5, K::staticText, "", 15, 116, 202, 8},
    {idStaOffLine6, K::staticText, "", 15, 126, 202, 8},
    {idStaOffEdit, K::pushButton, "Edit", 15, 140, 50, 14},
    {idStaOffList, K::dropList, "", 71, 141, 146, 80},

    {idOk, K::defPushButton, "OK", 7, 168, 50, 14},
    {idCancel, K::pushButton, "Cancel", 175, 168, 50, 14},
};

} // namespace

const DialogTemplate& kestrelLocalTemplate() {
    static const DialogTemplate t{templateKestrelLocal, "Kestrel Local Coordinate System", 240, 275, kKestrelLocal};
    return t;
}

const DialogTemplate& localTemplate() {
    static const DialogTemplate t{templateLocal, "Local Coordinate System", 160, 87, kLocal};
    return t;
}

const DialogTemplate& stationOffsetTemplate() {
    static const DialogTemplate t{templateStationOffset, "Station/Offset System", 232, 189, kStationOffset};
    return t;
}

} // namespace gw::dlg
