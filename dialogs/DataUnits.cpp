// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "dialogs/DataUnits.h"

#include <string>

#include "dialogs/ControlIds.h"
#include "gridwise/units.h"
#include "platform/LastError.h"
#include "units/GridUnit.h"
#include "units/UnitsFileName.h"

namespace gw::dlg {

DataUnits::DataUnits(void* parent) : Dialog(templateDataUnits, parent) {}

bool DataUnits::onInitDialog() {
    DialogWindow* w = window();
    if (w == nullptr) return false;
    w->resetList(idDataUnitsDistance);
    distanceUnit = latLonStyle = coordinateType = -1;
    distCalcFirst = false;
    if (const Units* units = getUnits()) {
        for (int i = 0; i < kUnitTableSize && units->unitTable[i].name[0] != '\0'; ++i)
            w->addItem(idDataUnitsDistance, units->unitTable[i].name);
        distanceUnit = units->distUnits;
        latLonStyle = units->latLonStyle != 0 ? 1 : 0;
        coordinateType = units->defaultEntry != 0 ? 1 : 0;
        distCalcFirst = units->defaultDistCalc == 0;
    }
    return updateData(false);
}

void DataUnits::doDataExchange(DataExchange& dx) {
    dx.listSelection(idDataUnitsDistance, distanceUnit);
    dx.radio(idDataUnitsDegMin, latLonStyle);
    dx.radio(idDataUnitsLatLon, coordinateType);
}

void DataUnits::onOK() {
    if (!updateData(true)) return;
    if (Units* units = getUnits()) {
        if (distanceUnit >= 0) units->distUnits = distanceUnit;
        units->latLonStyle = latLonStyle == 1 ? 1 : 0;
        units->defaultEntry = coordinateType == 0 ? 0 : 1;
        units->defaultDistCalc = distCalcFirst ? 0 : 1;
    }
    std::string file = unitsFileName();
    // The settings are taken either way; a save that did not reach the file is told.
    const int beforeCode = lastErrorCode();
    const std::string beforeText = lastErrorText();
    setLastError(0, "");
    saveUnits(file.data());
    if (lastErrorCode() == kErrorFileUnwritable) {
        if (DialogWindow* w = window())
            w->messageBox("Data Units", std::string("The unit settings are in use but were not saved: ") + lastErrorText());
    } else {
        setLastError(beforeCode, beforeText); // a save that worked leaves the last failure as it was
    }
    endDialog(idOk);
}

} // namespace gw::dlg
