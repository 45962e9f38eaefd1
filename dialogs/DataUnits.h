// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
// The data-units form (7016, "Data Units"): the display settings of the
// process-wide units object.
//
// Opening lists the names of the unit table's records (up to the first unused
// one) in list 7105 and selects distUnits (nothing when it is outside the list);
// checks "DD MM SS.S" for a non-zero latLonStyle, else "DD MM.MMM", and "Grid"
// for a non-zero defaultEntry, else "Lat/Lon". Without a units object the form
// opens empty.
//
// OK (with a units object) stores the selected position as distUnits (with no
// item selected distUnits stays), latLonStyle 1 or 0, defaultEntry 1 or 0 and
// defaultDistCalc 0 or 1 (any non-zero value comes back as 1); wpUnits and the
// default hemispheres are kept. Then the settings are saved to the units file
// (the file last given to loadUnits). Cancel changes and writes nothing.
//
// Threads: the host's user-interface thread only.
#ifndef GRIDWISE_DIALOGS_DATAUNITS_H
#define GRIDWISE_DIALOGS_DATAUNITS_H

#include "dialogs/Dialog.h"

namespace gw::dlg {

class DataUnits : public Dialog {
public:
    explicit DataUnits(void* parent);

    int distanceUnit = -1;   // selected position of list 7105
    int latLonStyle = -1;    // checked position in the "Lat/Lon" group
    int coordinateType = -1; // checked position in the "Default Coordinate Type" group
    bool distCalcFirst = false; // defaultDistCalc is 0 (no control shows it)

protected:
    bool onInitDialog() override;
    void doDataExchange(DataExchange& dx) override;
    void onOK() override;
};

} // namespace gw::dlg

#endif
